#include "actors/creatures/mine.h"

#include "actors/box_overlap.h"
#include "actors/effects/explosion.h"
#include "core/draw.h"
#include "core/media.h"
#include "world/factory.h"
#include "world/systphysical.h"

namespace {

constexpr u32 TouchPeriod = 3;  // characters are looked for every third frame
constexpr u32 MineFlags = FlagDamagable | 0x8;  // hurtable, and marked like the first half of a shot

Physical* makeMine(const ObjectArgs& a)
{
    return new Mine(a.x, a.y);
}
ObjectRegistrar mineRegistrar(10, 10, makeMine);

} // namespace

Mine::Mine(i32 x, i32 y) : PhysicalDamagable(MineFlags, x - 3, y - 3, 6, 6, 2)
{
    health = 1;
    image = loadGraphic("resource/mine.gif", true, 0, 255, 0, false);
}

// Any character will do, of any team, dead or alive.
bool Mine::touched()
{
    for (Physical* p = owner->firstOfType(FlagCharacter); owner->hasMoreOfType(); p = owner->nextOfType()) {
        if (boxesOverlap(*p, *this))
            return true;
    }
    return false;
}

void Mine::update()
{
    if (owner->frame() % TouchPeriod == 0 && touched())
        health = 0;
    if (health > 0)
        return;
    removeSelf();
    owner->add(new Explosion(x + 3, y + 3, 0));
}

void Mine::draw(SDL_Surface* screen)
{
    blitSurfaceOffset(x - 1, y - 1, image, screen, nullptr);
}
