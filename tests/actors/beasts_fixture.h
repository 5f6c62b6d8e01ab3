#pragma once
#include "tests/actors/actor_fixture.h"

#include "core/media.h"

#include <SDL/SDL_mixer.h>
#include <set>

// A level for the wildlife tests. While the test runs the audio lock is held, so every sound
// started stays on its channel and the channels tell which sounds were started.
class BeastWorld : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        ASSERT_TRUE(audioOpen);
        Mix_AllocateChannels(64);
        SDL_LockAudio();
    }
    void TearDown() override
    {
        SDL_UnlockAudio();
        Mix_HaltChannel(-1);
        ActorWorld::TearDown();
    }

    // Channels playing the named sound.
    int playing(const char* name)
    {
        Mix_Chunk* chunk = loadSound(name);
        int n = 0;
        for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel) {
            if (Mix_Playing(channel) && Mix_GetChunk(channel) == chunk)
                ++n;
        }
        return n;
    }
    void silence() { Mix_HaltChannel(-1); }

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
