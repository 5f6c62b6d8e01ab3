#include "actors/creatures/corpse_sinker.h"

#include "actors/box_overlap.h"
#include "world/factory.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

namespace {

constexpr u32 SinkPeriod = 4;  // one pixel every fourth frame

Physical* makeCorpseSinker(const ObjectArgs& a)
{
    return new Corpse_Sinker(a.x, a.y, a.w, a.h);
}
ObjectRegistrar sinkerRegistrar(31, 31, makeCorpseSinker);

} // namespace

Corpse_Sinker::Corpse_Sinker(i32 x, i32 y, i32 w, i32 h) : Physical(0, x, y, w, h, 0) {}

bool Corpse_Sinker::sinks(Physical* body) const
{
    return !(body->typeFlags & (FlagPlayer | FlagBoss)) && boxesOverlap(*body, *this);
}

void Corpse_Sinker::update()
{
    if (owner->frame() % SinkPeriod != 0)
        return;
    for (Character* c = owner->firstIn<Character>(); owner->hasMoreInCategory(); c = owner->nextIn<Character>()) {
        Physical* body = owner->currentInCategory();
        if (!c->dead || !sinks(body))
            continue;
        // The sinking body's update stops through the same count the pause menu raises and
        // lowers, so closing the menu never wakes a corpse that is being sunk.
        if (body->frozenCount == 0)
            body->frozenCount = 1;
        ++body->y;
        if (y + h <= body->y)
            owner->remove(body);
    }
}
