#include "actors/chaser.h"

#include "core/draw.h"
#include "core/media.h"
#include "world/factory.h"
#include "world/systphysical.h"

namespace {
constexpr u8 JumpFrame = 5;
constexpr u8 FallFrame = 1;
constexpr u8 DeadFrame = 9;

Physical* makeChaser(const ObjectArgs& args)
{
    return new Chaser(args.x, args.y);
}
const ObjectRegistrar chaserRegistrar(1, 1, makeChaser);
} // namespace

Chaser::Chaser(i32 x, i32 y) : Smart_Actor(x, y)
{
    this->x = x - 4;
    this->y = y - 12;
    w = 8;
    h = 24;
    depth = -6;
    team = 2;
    kind = 3;
    health = 100;
    image = loadGraphic("resource/Ikan.gif", true, 0, 255, 0, false);
    animFrame = 0;
    flip = 0;
}

void Chaser::act()
{
    if (owner->frame() % 30 == 0) {
        // The last player in walk order is the target; with none it aims just above itself.
        i32 targetX = x;
        i32 targetY = y - 32;
        for (Physical* p = owner->firstOfType(FlagPlayer); owner->hasMoreOfType(); p = owner->nextOfType()) {
            targetX = p->x;
            targetY = p->y;
        }
        planPath(targetX, targetY);
    }
    if (!standing())
        animFrame = velY < 0 ? JumpFrame : FallFrame;
    if (belowView())
        removeSelf();
    if (dead)
        animFrame = DeadFrame;
}

void Chaser::jump(bool onGround)
{
    if (onGround)
        velY = -8;
}

void Chaser::walk(bool onGround, i8 dir)
{
    if (!onGround) {
        steerInAir(dir);
        return;
    }
    u32 frame = owner->frame();
    if (dir == 0) {
        animFrame = 0;
        velX = 0;
        return;
    }
    velX = dir > 0 ? 3 : -3;
    if (frame % 2 == 0)
        animFrame = (animFrame & 7) + 1;
    flip = dir > 0 ? 0 : 1;
}

void Chaser::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(16 * animFrame), 8, 16, 24};
    blitSurfaceExOffset(x - 4, y, image, screen, flip != 0, false, &source, false, 0);
}
