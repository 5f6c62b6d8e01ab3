#include "actors/smart_actor.h"

#include "actors/surface_planner.h"
#include "world/systphysical.h"

Smart_Actor::Smart_Actor(i32 x, i32 y) : Actor(x, y), framesPlayed(0)
{
}

// Each entry's controls hold until the replay has passed its end frame; at most one entry
// is dropped per frame.
Controls Smart_Actor::think()
{
    if (path.empty())
        return Controls();
    auto entry = path.begin();
    if (framesPlayed > entry->first) {
        path.erase(entry);
        if (path.empty())
            return Controls();
        entry = path.begin();
    }
    ++framesPlayed;
    return entry->second;
}

void Smart_Actor::act()
{
    if (owner->frame() % 30 == 0)
        planPath(owner->mouseWorldX(), owner->mouseWorldY());
}

// The target is handed on for the planner still to come; the analysis does not read it yet.
void Smart_Actor::planPath(i32 targetX, i32 targetY)
{
    path.clear();
    framesPlayed = 0;
    planActorSurfaces(*this, owner);
}
