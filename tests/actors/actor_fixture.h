#pragma once
#include <gtest/gtest.h>

#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "tests/support/on_screen.h"
#include "tests/support/sdl_env.h"
#include "world/interfaces.h"
#include "world/systphysical.h"

#include <SDL/SDL_mixer.h>
#include <memory>
#include <optional>
#include <vector>

// A solid box that stops movers from every side and can be moved by the test between frames.
class Wall : public PhysicalBlock {
public:
    Wall(i32 x, i32 y, i32 w, i32 h) : PhysicalBlock(FlagBlock, x, y, w, h, -1) {}

    void update() override
    {
        x += moveX;
        y += moveY;
    }
    bool hitFloor(Physical* m, i32* limit, bool) override
    {
        return overlapsX(m) && m->y + m->h <= y && *limit > y && set(limit, y);
    }
    bool hitCeiling(Physical* m, i32* limit, bool) override
    {
        return overlapsX(m) && m->y >= y + h && *limit < y + h && set(limit, y + h);
    }
    bool hitWallLeft(Physical* m, i32* limit, bool) override
    {
        return overlapsY(m) && m->x >= x + w && *limit < x + w && set(limit, x + w);
    }
    bool hitWallRight(Physical* m, i32* limit, bool) override
    {
        return overlapsY(m) && m->x + m->w <= x && *limit > x && set(limit, x);
    }

    i32 moveX = 0;
    i32 moveY = 0;

private:
    bool overlapsX(const Physical* m) const { return m->x < x + w && m->x + m->w > x; }
    bool overlapsY(const Physical* m) const { return m->y < y + h && m->y + m->h > y; }
    static bool set(i32* limit, i32 value)
    {
        *limit = value;
        return true;
    }
};

// A hurtable character of a team, standing still.
class Target : public PhysicalCharacter {
public:
    Target(i32 x, i32 y, u8 team) : PhysicalCharacter(FlagDamagable | FlagCharacter, x, y, 16, 16, 0)
    {
        health = 100;
        this->team = team;
    }
    void hurt(i16 amount, i32 kind) override
    {
        PhysicalCharacter::hurt(amount, kind);
        lastKind = kind;
    }
    i32 lastKind = 0;  // the damage kind of the last hurt
};

// A hurtable thing that is not a character (a stone, a mine).
class Stone : public PhysicalDamagable {
public:
    Stone(i32 x, i32 y) : PhysicalDamagable(FlagDamagable, x, y, 16, 16, 0) { health = 100; }
};

// Holds the mixer still, so that every sound played stays on its channel and the channels list
// the sounds in the order they were played.
class SoundTap {
public:
    static constexpr int Channels = 256;
    SoundTap()
    {
        Mix_AllocateChannels(Channels);
        Mix_HaltChannel(-1);
        SDL_LockAudio();
    }
    ~SoundTap()
    {
        SDL_UnlockAudio();
        Mix_HaltChannel(-1);
    }
    std::vector<Mix_Chunk*> played() const
    {
        std::vector<Mix_Chunk*> sounds;
        for (int i = 0; i < Channels && Mix_Playing(i); ++i)
            sounds.push_back(Mix_GetChunk(i));
        return sounds;
    }
};

// A level world over SDL's dummy video; the test adds objects and steps frames.
class ActorWorld : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
        // Sounds load only with audio open; SDL's dummy driver plays them into nothing.
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        audioOpen = Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 1024) == 0;
        seedStream(0, 77);
        world = std::make_unique<SystPhysical>();
    }
    void TearDown() override
    {
        soundTap.reset();
        world.reset();
        releaseAllStreams();
        freeAllSounds();
        freeAllMusic();  // the boss fight caches its music
        freeAllSurfaces();
        if (audioOpen)
            Mix_CloseAudio();
        cleanupResourcePack();
        SdlTest::TearDown();
    }

    template <class T> T* add(T* object)
    {
        world->add(object);
        return object;
    }

    void step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            world->update();
    }

    // Steps until the number of the next frame is a multiple of n.
    void alignFrame(u32 n)
    {
        while (world->frame() % n != 0)
            step();
    }

    template <class T> std::vector<T*> all()
    {
        std::vector<T*> found;
        for (Physical* p = world->firstOfType(FlagAll); world->hasMoreOfType(); p = world->nextOfType()) {
            if (T* t = dynamic_cast<T*>(p))
                found.push_back(t);
        }
        return found;
    }

    // Holds the mixer still until the test ends, so the channels tell which sounds were started.
    void holdSounds()
    {
        ASSERT_TRUE(audioOpen);
        soundTap.emplace();
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

    // Draws the object alone on a plain screen with no camera offset; success when the sheet's
    // cell shows at (x, y) (see showsCell).
    ::testing::AssertionResult drawsCell(Physical* object, SDL_Surface* sheet, SDL_Rect cell, i32 x, i32 y,
                                         bool mirrored, const u32* silhouette = nullptr)
    {
        drawOffsetX = drawOffsetY = 0;
        SDL_FillRect(backBuffer, nullptr, 0x123456);
        object->draw(backBuffer);
        return showsCell(backBuffer, sheet, cell, x, y, mirrored, silhouette);
    }

    std::unique_ptr<SystPhysical> world;
    bool audioOpen = false;
    std::optional<SoundTap> soundTap;
};
