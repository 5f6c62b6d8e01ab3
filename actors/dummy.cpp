#include "actors/dummy.h"

#include "actors/effects/explosion.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/objects/breakblock.h"
#include "world/systphysical.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int ExplosionCount = 20;
constexpr double FullTurn = 6.284;

Physical* makeDummy(const ObjectArgs& args)
{
    return new Dummy(args.x, args.y);
}
// The practice target, and what any id without a class of its own becomes.
const ObjectRegistrar dummyRegistrar(5, 5, makeDummy);
const DefaultObjectRegistrar defaultRegistrar(makeDummy);
} // namespace

Dummy::Dummy(i32 x, i32 y) : Actor(x, y)
{
    this->x = x - 8;
    this->y = y - 8;
    w = 16;
    h = 16;
    depth = 0;
    team = 0;
    kind = 0;
    health = 20;
    image = loadGraphic("resource/dummy.bmp", false, 0, 0, 0, false);
}

void Dummy::act()
{
    // Four frames in fifteen it rises; gravity brings it back down.
    if (owner->frame() % 15 > 10)
        y = std::max(y - 3, ceilingLimit);
    if (health < 1)
        burst();
}

// The explosions go off one after another, each further out than the last.
void Dummy::burst()
{
    removeSelf();
    leaveStone();
    i32 centreX = x + w / 2;
    i32 centreY = y + h / 2;
    for (int i = 0; i < ExplosionCount; ++i) {
        double angleX = randomReal(FullTurn);
        i32 dx = i32(std::cos(angleX) * randomSigned(2 * i + 16));
        double angleY = randomReal(FullTurn);
        i32 dy = i32(std::sin(angleY) * randomSigned(2 * i + 16));
        owner->add(new Explosion(centreX + dx, centreY + dy, u8(4 * i + 10)));
    }
}

void Dummy::leaveStone()
{
    owner->add(new BreakBlock(x, y, 0));
}

void Dummy::draw(SDL_Surface* screen)
{
    blitSurfaceOffset(x, y, image, screen, nullptr);
}
