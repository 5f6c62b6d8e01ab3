#include "actors/follower.h"

#include "core/draw.h"
#include "core/media.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {
constexpr u8 JumpFrame = 3;
constexpr u8 FallFrame = 1;
constexpr u8 FirstStepFrame = 4;

Physical* makeFollower(const ObjectArgs& args)
{
    return new Follower(args.x, args.y);
}
const ObjectRegistrar followerRegistrar(2, 2, makeFollower);
} // namespace

Follower::Follower(i32 x, i32 y) : Actor(x, y)
{
    this->x = x - 4;
    this->y = y - 8;
    w = 8;
    h = 16;
    depth = 0;
    team = 1;
    kind = 2;
    health = 100;
    image = loadGraphic("resource/ostrevanian.gif", true, 0, 255, 0, false);
    animFrame = 0;
    flip = 0;
}

void Follower::act()
{
    if (!standing())
        animFrame = velY < 0 ? JumpFrame : FallFrame;
    if (belowView())
        removeSelf();
}

void Follower::jump(bool onGround)
{
    if (onGround)
        velY = -6;
}

void Follower::walk(bool onGround, i8 dir)
{
    if (!onGround) {
        steerInAir(dir);
        return;
    }
    u32 frame = owner->frame();
    if (dir == 0) {
        if (animFrame < FirstStepFrame)
            animFrame = 0;
        // Released, it slides to a stop.
        if (frame % 2 == 0 && velX > 0)
            --velX;
        else if (frame % 2 == 0 && velX < 0)
            ++velX;
        return;
    }
    velX = dir > 0 ? 2 : -2;
    if (frame % 4 == 0)
        animFrame = animFrame % 3 + 1;
    flip = dir > 0 ? 1 : 0;
}

void Follower::stepFrame()
{
    if (animFrame < FirstStepFrame)
        animFrame = FirstStepFrame;
    else if (owner->frame() % 2 == 0)
        animFrame = (animFrame - 3) % 7 + FirstStepFrame;
}

// The scripted walk's seven steps show the columns 0, 1, 2, 1, 0, 0, 0 of the lower row.
void Follower::draw(SDL_Surface* screen)
{
    i16 column = animFrame;
    i16 row = 0;
    if (animFrame >= FirstStepFrame) {
        int step = animFrame - FirstStepFrame;
        column = i16(step <= 2 ? step : std::max(4 - step, 0));
        row = 32;
    }
    SDL_Rect source{i16(16 * column), row, 16, 16};
    blitSurfaceExOffset(x - 4, y, image, screen, flip != 0, false, &source, false, 0);
}
