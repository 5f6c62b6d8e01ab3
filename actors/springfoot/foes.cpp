#include "actors/springfoot/foes.h"

#include "world/systphysical.h"

namespace {

// Squared pixels. Distances are taken in 64 bits so that a far-off foe cannot wrap round to
// "near"; a foe this far off on either axis is beyond the limit whatever the other axis says,
// which keeps the squares small.
constexpr i64 SightLimit = 10000000;
constexpr i64 SightReach = 3163;  // the first whole number whose square exceeds SightLimit

bool overlap(const Physical& a, const Physical& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

} // namespace

FoeSight lookForFoes(const Physical& self, u8 team, i32 fromX, i32 fromY)
{
    FoeSight sight;
    i64 nearest = SightLimit;
    SystPhysical* world = self.owner;
    for (Physical* p = world->firstOfType(FlagCharacter); world->hasMoreOfType(); p = world->nextOfType()) {
        Character* foe = world->currentOfTypeAs<Character>();
        if (!foe || foe->team == team || foe->isDead())
            continue;
        const i64 centreX = i64(p->x) + p->w / 2;
        const i64 centreY = i64(p->y) + p->h / 2;
        const i64 dx = centreX - fromX;
        const i64 dy = centreY - fromY;
        const bool inReach = dx > -SightReach && dx < SightReach && dy > -SightReach && dy < SightReach;
        const i64 distance = inReach ? dx * dx + dy * dy : SightLimit;
        if (distance < nearest) {
            nearest = distance;
            sight.found = true;
            sight.x = i32(centreX);
            sight.y = i32(centreY);
        }
        if (overlap(self, *p))
            sight.touching.push_back(foe);
    }
    return sight;
}
