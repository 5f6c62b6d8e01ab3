#include "actors/actor.h"
#include "actors/bossfight.h"
#include "actors/springfoot/springfoot_boss.h"
#include "core/draw.h"
#include "tests/actors/actor_fixture.h"

namespace {

// A boss whose answers the test sets, counting its wake-ups.
class FakeBoss : public Physical, public Boss {
public:
    FakeBoss(float fraction, u16 shake) : Physical(FlagBoss, 0, 0, 1, 1, 0), fraction(fraction), shake(shake) {}
    float healthFraction() override { return fraction; }
    u16 shakeAmount() override { return shake; }
    void activate() override { ++activations; }
    bool isFinished() override { return finished; }

    float fraction;
    u16 shake;
    bool finished = false;
    int activations = 0;
};

// A pillar stand-in counting its cues.
class FakePillar : public Physical, public Cued {
public:
    FakePillar() : Physical(FlagCued, 0, 0, 1, 1, 0) {}
    void cueLock() override { ++locks; }
    void cueEscape() override { ++escapes; }

    int locks = 0;
    int escapes = 0;
};

constexpr i32 ArenaX = 500;
constexpr i32 ArenaY = 400;

class BossFightTest : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        pillar = add(new FakePillar());
    }

    BossFight* addFight()
    {
        BossFight* fight = add(new BossFight(ArenaX, ArenaY));
        fight->makeRef(&fightRef);
        step();  // joins the level
        return fight;
    }

    void arrive()
    {
        world->cameraX = ArenaX - 160;
        world->cameraY = ArenaY - 120;
    }

    // One frame with the camera held on the arena (as the level runner keeps it there).
    void stepOnArena(int frames = 1)
    {
        for (int i = 0; i < frames; ++i) {
            arrive();
            step();
        }
    }

    FakePillar* pillar = nullptr;
    PhysicalRef fightRef;
};

TEST_F(BossFightTest, StartsOnlyInTheFrameTheCameraLandsExactlyOnTheArena)
{
    ASSERT_TRUE(audioOpen);
    playMusic(loadMusic("resource/chip.it"), -1);
    FakeBoss* boss = add(new FakeBoss(1.0f, 0));
    BossFight* fight = addFight();
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT) << "the level music fades as the director arrives";
    Mix_HaltMusic();
    const struct {
        i32 x;
        i32 y;
    } nearly[] = {{ArenaX - 161, ArenaY - 120}, {ArenaX - 160, ArenaY - 119}, {ArenaX - 159, ArenaY - 121}};
    for (const auto& camera : nearly) {
        world->cameraX = camera.x;
        world->cameraY = camera.y;
        step();
        EXPECT_EQ(fight->started, 0);
    }
    EXPECT_EQ(boss->activations, 0);
    EXPECT_EQ(pillar->locks, 0);

    EXPECT_FALSE(Mix_PlayingMusic());
    stepOnArena();
    EXPECT_EQ(fight->started, 1);
    EXPECT_EQ(boss->activations, 1);
    EXPECT_EQ(pillar->locks, 1);
    EXPECT_TRUE(Mix_PlayingMusic()) << "the boss music starts with the fight";
    EXPECT_EQ(Mix_FadingMusic(), MIX_NO_FADING);
    stepOnArena(5);
    EXPECT_EQ(boss->activations, 1) << "the fight never restarts";
    EXPECT_EQ(pillar->locks, 1);
    EXPECT_EQ(pillar->escapes, 0);
}

TEST_F(BossFightTest, WalksPlayersInAndHoldsOtherCreaturesUntilTheFightStarts)
{
    auto body = [this](i32 centreX, u32 extraFlags) {
        Actor* actor = add(new Actor(centreX - 4, ArenaY));
        actor->w = 8;
        actor->h = 8;
        actor->typeFlags |= extraFlags;
        return actor;
    };
    Actor* farLeft = body(ArenaX - 17, FlagPlayer);
    Actor* close = body(ArenaX + 16, FlagPlayer);
    Actor* farRight = body(ArenaX + 17, FlagPlayer);
    Actor* creature = body(ArenaX, 0);
    Actor* bossBody = add(new Springfoot_Boss(ArenaX, ArenaY));
    world->cameraX = ArenaX - 170;
    world->cameraY = ArenaY - 120;
    addFight();
    step();
    EXPECT_EQ(farLeft->controlsForced, 1);
    EXPECT_EQ(farLeft->controls.bits, Controls(1, false).bits);
    EXPECT_EQ(close->controlsForced, 1);
    EXPECT_EQ(close->controls.bits, 0);
    EXPECT_EQ(farRight->controls.bits, Controls(-1, false).bits);
    EXPECT_EQ(creature->controlsForced, 1);
    EXPECT_EQ(creature->controls.bits, 0);
    EXPECT_EQ(bossBody->controlsForced, 0) << "bosses are left alone";

    stepOnArena(2);
    EXPECT_EQ(creature->controlsForced, 0) << "free again once the fight runs";
}

TEST_F(BossFightTest, WithoutABossTheWayOutOpensAtOnceAndTheDirectorLeaves60FramesLater)
{
    BossFight* fight = addFight();
    stepOnArena();
    ASSERT_EQ(fight->started, 1);
    EXPECT_EQ(pillar->escapes, 0);
    stepOnArena();
    EXPECT_EQ(pillar->escapes, 1);
    EXPECT_EQ(fight->ended, 1);
    EXPECT_EQ(fight->barFraction, 0.0f);
    stepOnArena(59);
    EXPECT_TRUE(world->isAlive(fightRef));
    EXPECT_EQ(pillar->escapes, 1) << "cued exactly once";
    stepOnArena();
    EXPECT_FALSE(world->isAlive(fightRef));
}

TEST_F(BossFightTest, TwoBossesAverageTheirClampedBarsAndAddTheirShakes)
{
    FakeBoss* first = add(new FakeBoss(0.8f, 2));
    FakeBoss* second = add(new FakeBoss(-0.2f, 3));
    BossFight* fight = addFight();
    stepOnArena();
    bool shookX = false;
    bool shookY = false;
    for (int i = 0; i < 30; ++i) {
        stepOnArena();
        EXPECT_FLOAT_EQ(fight->barFraction, 0.4f);
        EXPECT_EQ(fight->shakeTotal, 5);
        const i32 dx = world->cameraX - (ArenaX - 160);
        const i32 dy = world->cameraY - (ArenaY - 120);
        EXPECT_LE(std::abs(dx), 5);
        EXPECT_LE(std::abs(dy), 5);
        shookX |= dx != 0;
        shookY |= dy != 0;
    }
    EXPECT_TRUE(shookX);
    EXPECT_TRUE(shookY);
    EXPECT_EQ(fight->barY, 0) << "slid in within 24 frames";

    first->finished = true;
    stepOnArena();
    EXPECT_EQ(pillar->escapes, 0);
    second->finished = true;
    first->shake = second->shake = 0;
    stepOnArena();
    EXPECT_EQ(pillar->escapes, 1);
    EXPECT_EQ(world->cameraX, ArenaX - 160) << "no shake left";
    stepOnArena(10);
    EXPECT_EQ(fight->barY, -10) << "slides out";
}

// The editor shows where the screen and its safe area (16 pixels inside) will lie in the fight.
TEST_F(BossFightTest, BeforeItJoinsALevelItOutlinesTheScreenAndTheSafeAreaAroundItsCentre)
{
    SDL_Surface* canvas = SDL_CreateRGBSurface(SDL_SWSURFACE, 360, 280, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    drawOffsetX = drawOffsetY = 0;
    BossFight(180, 140).draw(canvas);
    const u32 edges[][2] = {{100, 20}, {100, 260}, {20, 100}, {340, 100}, {100, 36}, {100, 244}, {36, 100}, {324, 100}};
    for (const auto& at : edges)
        EXPECT_EQ(getPixel(canvas, at[0], at[1]), 0xFFFFFFFFu) << at[0] << "," << at[1];
    EXPECT_EQ(getPixel(canvas, 100, 100), 0u);
    SDL_FreeSurface(canvas);
}

class BossBarTest : public BossFightTest {
protected:
    void SetUp() override
    {
        BossFightTest::SetUp();
        screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, 91, 48, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        fillRect(sheet, 0, 0, 91, 24, Full);
        fillRect(sheet, 0, 24, 91, 24, Empty);
        add(new FakeBoss(0.5f, 0));
        fight = addFight();
        stepOnArena(30);
        fight->barSheet = sheet;
    }
    void TearDown() override
    {
        SDL_FreeSurface(screen);
        SDL_FreeSurface(sheet);
        BossFightTest::TearDown();
    }

    // The bar column at x from the bar's left edge, in the frame with the blink bit as asked.
    u32 drawnAt(float fraction, i32 x, bool blinkFrame)
    {
        while (((world->frame() & 4) == 0) != blinkFrame)
            stepOnArena();
        fillRect(screen, 0, 0, 320, 240, 0);
        fight->barFraction = fraction;
        fight->draw(screen);
        return getPixel(screen, u32(229 + x), 12);
    }

    static constexpr u32 Full = 0xCC0000;
    static constexpr u32 Empty = 0x0000CC;
    SDL_Surface* screen = nullptr;
    SDL_Surface* sheet = nullptr;
    BossFight* fight = nullptr;
};

TEST_F(BossBarTest, FillSpans65PixelsAfterTheEmblemAndBlinksWhenLow)
{
    EXPECT_EQ(drawnAt(1.0f, 90, false), Full);
    EXPECT_EQ(drawnAt(0.99f, 14 + 63, false), Full) << "n = 64";
    EXPECT_EQ(drawnAt(0.99f, 14 + 64, false), Empty);
    EXPECT_EQ(drawnAt(0.5f, 14 + 31, false), Full);
    EXPECT_EQ(drawnAt(0.5f, 14 + 32, false), Empty);
    EXPECT_EQ(drawnAt(0.5f, 90, false), Empty);

    EXPECT_EQ(drawnAt(0.1f, 50, true) & 0xFFFFFF, 0xFFFFFFu) << "white on blink frames";
    EXPECT_EQ(drawnAt(0.1f, 14 + 5, false), Full) << "n = 6 between blinks";
    EXPECT_EQ(drawnAt(0.1f, 14 + 6, false), Empty);
    EXPECT_EQ(drawnAt(0.0f, 5, false), Empty) << "the emblem too is empty at 0";
    EXPECT_EQ(drawnAt(-1.0f, 0, true) & 0xFFFFFF, 0xFFFFFFu);
}

} // namespace
