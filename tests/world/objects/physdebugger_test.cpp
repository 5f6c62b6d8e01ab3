#include <gtest/gtest.h>

#include "actors/blood.h"
#include "actors/blood_particle.h"
#include "actors/dahlia_bullet.h"
#include "core/engine.h"
#include "core/input.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "tests/support/fake_input.h"
#include "tests/support/sdl_env.h"
#include "world/factory.h"
#include "world/objects/physdebugger.h"
#include "world/systphysical.h"

#include <memory>
#include <vector>

namespace {

class Target : public PhysicalCharacter {
public:
    Target(i32 x, i32 y) : PhysicalCharacter(FlagDamagable | FlagCharacter, x, y, 8, 8, 0) { health = 50; }
};

class Still : public Physical {
public:
    Still(i32 x, i32 y) : Physical(0, x, y, 4, 4, 0) {}
};

class PhysDebuggerTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
        fake_input::install();
        initInput();
        world = std::make_unique<SystPhysical>();
        world->add(new PhysDebugger());
        world->cameraX = 100;
        world->cameraY = 20;
        fake_input::setMousePosition(30, 40);
        frame();
    }
    void TearDown() override
    {
        world.reset();
        shutdownInput();
        fake_input::uninstall();
        releaseAllStreams();
        freeAllSurfaces();
        cleanupResourcePack();
        setFramesPerSecond(30);
        SdlTest::TearDown();
    }

    void frame()
    {
        updateInput();
        world->update();
    }

    // Frames run while the key is held, then it is let go.
    void holdFor(u16 key, int frames)
    {
        fake_input::holdKey(key);
        for (int i = 0; i < frames; ++i)
            frame();
        fake_input::releaseKey(key);
        frame();
    }

    template <class T> std::vector<T*> all()
    {
        std::vector<T*> found;
        for (Physical* p = world->firstOfType(FlagAll); world->hasMoreOfType(); p = world->nextOfType())
            if (T* t = dynamic_cast<T*>(p))
                found.push_back(t);
        return found;
    }

    std::unique_ptr<SystPhysical> world;
};

} // namespace

TEST_F(PhysDebuggerTest, F1HeldSlowsTheGameToThreeFramesASecond)
{
    fake_input::holdKey(SDLK_F1);
    frame();
    EXPECT_EQ(frameDelayMs, 1000u / 3);
    fake_input::releaseKey(SDLK_F1);
    frame();
    EXPECT_EQ(frameDelayMs, 1000u / 30);
}

TEST_F(PhysDebuggerTest, F10HurtsEveryHurtableThingOnceAndFlashesTheScreen)
{
    Target* a = new Target(0, 0);
    Target* b = new Target(500, 500);
    world->add(a);
    world->add(b);
    frame();

    fake_input::holdKey(SDLK_F10);
    updateInput();
    world->update();
    SDL_FillRect(backBuffer, nullptr, 0);
    world->draw(backBuffer);
    EXPECT_EQ(static_cast<u32*>(backBuffer->pixels)[0] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(a->health, -950);
    EXPECT_EQ(b->health, -950);
    EXPECT_TRUE(a->isDead());

    frame();  // still held, no longer pressed
    EXPECT_EQ(a->health, -950);
    SDL_FillRect(backBuffer, nullptr, 0);
    world->draw(backBuffer);
    EXPECT_EQ(static_cast<u32*>(backBuffer->pixels)[0], 0u);
}

TEST_F(PhysDebuggerTest, F3HeldJittersEverythingByAtMostAPixel)
{
    std::vector<Still*> stills;
    for (int i = 0; i < 20; ++i) {
        stills.push_back(new Still(10 * i, 50));
        world->add(stills.back());
    }
    frame();
    fake_input::holdKey(SDLK_F3);
    frame();
    bool moved = false;
    for (int i = 0; i < 20; ++i) {
        EXPECT_LE(std::abs(stills[i]->x - 10 * i), 1);
        EXPECT_LE(std::abs(stills[i]->y - 50), 1);
        moved = moved || stills[i]->x != 10 * i || stills[i]->y != 50;
    }
    EXPECT_TRUE(moved);
}

TEST_F(PhysDebuggerTest, F6RainsShotsDownFromThePointerEverySecondFrame)
{
    holdFor(SDLK_F6, 4);
    auto shots = all<Dahlia_Bullet>();
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_EQ(shots[0]->velX, 0);
    EXPECT_EQ(shots[0]->velY, 10);
}

TEST_F(PhysDebuggerTest, F5HeldPoursBloodAtThePointer)
{
    holdFor(SDLK_F5, 3);
    auto blobs = all<Blood>();
    // A blob may leave only its first droplet behind, so count what was made, not what stayed.
    EXPECT_LE(blobs.size(), 3u);
    EXPECT_FALSE(all<Blood_Particle>().empty()) << "every blob made leaves a droplet";
    for (Blood* b : blobs) {
        EXPECT_GE(b->velX, -4);
        EXPECT_LE(b->velX, 4);
        EXPECT_GE(b->velY, -5);
        EXPECT_LE(b->velY, 3 + 2);  // the oldest blob has fallen through two odd frames since
    }
}

namespace {

// Stands in for the creature classes the debugger asks the factory for.
template <u16 Id> class Spawned : public Physical {
public:
    Spawned(i32 x, i32 y) : Physical(0, x, y, 1, 1, 0) {}
    static Physical* make(const ObjectArgs& a) { return new Spawned(a.x, a.y); }
};

class StandInClasses {
public:
    StandInClasses()
        : turret(registerObjectClass(7, Spawned<7>::make)), springfoot(registerObjectClass(8, Spawned<8>::make)),
          bird(registerObjectClass(28, Spawned<28>::make))
    {
    }
    ~StandInClasses()
    {
        registerObjectClass(7, turret);
        registerObjectClass(8, springfoot);
        registerObjectClass(28, bird);
    }

private:
    ObjectCreator turret, springfoot, bird;
};

} // namespace

TEST_F(PhysDebuggerTest, PressedKeysSpawnOnceHeldKeysEveryFrameAtThePointer)
{
    StandInClasses standIns;
    holdFor(SDLK_F8, 3);
    holdFor(SDLK_F7, 3);
    holdFor(SDLK_F9, 3);
    ASSERT_EQ(all<Spawned<7>>().size(), 1u);
    ASSERT_EQ(all<Spawned<28>>().size(), 1u);
    ASSERT_EQ(all<Spawned<8>>().size(), 3u);
    // The pointer at (30, 40) on the screen is (130, 60) in the world.
    EXPECT_EQ(all<Spawned<7>>()[0]->x, 130);
    EXPECT_EQ(all<Spawned<7>>()[0]->y, 60);
    EXPECT_EQ(all<Spawned<28>>()[0]->x, 130);
    EXPECT_EQ(all<Spawned<8>>()[2]->y, 60);
}
