#pragma once
#include "tests/actors/actor_fixture.h"

#include "core/media.h"

#include <SDL/SDL_mixer.h>
#include <set>

// A level for the wildlife tests, with the sounds held for the whole test.
class BeastWorld : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        holdSounds();
    }

    // Serials of the objects of a class seen so far, gathered by watch() after each step.
    template <class T> void watch(std::set<u32>* seen)
    {
        for (T* t : all<T>())
            seen->insert(t->serial);
    }
};

// A dead character of a team, lying still.
class Corpse : public Target {
public:
    Corpse(i32 x, i32 y, u32 extraFlags = 0) : Target(x, y, 2)
    {
        typeFlags |= extraFlags;
        dead = 1;
        health = 0;
    }
};
