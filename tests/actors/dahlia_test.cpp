#include "actors/dahlia.h"
#include "actors/dahlia_bullet.h"
#include "actors/effects/dust.h"
#include "core/controlpad.h"
#include "core/engine.h"
#include "story/cutaway.h"
#include "story/pause_menu.h"
#include "tests/actors/actor_fixture.h"
#include "tests/support/fake_input.h"

namespace {

class DahliaTest : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        fake_input::install();
        initInput();
        floor = add(new Wall(-64, 200, 448, 16));
    }
    void TearDown() override
    {
        world.reset();
        shutdownInput();
        fake_input::uninstall();
        ActorWorld::TearDown();
    }

    // One frame as the game runs it: the input sample, then the level.
    void frame(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            updateInput();
            world->update();
        }
    }

    // Player 0 standing on the floor (top at 200), her box at x 96.
    Dahlia* addStandingDahlia(u8 playerNo = 0, i32 x = 100)
    {
        Dahlia* dahlia = add(new Dahlia(x, 189, playerNo));
        frame(12);
        EXPECT_EQ(dahlia->y + dahlia->h, 200);
        return dahlia;
    }

    void hold(u8 control) { fake_input::holdControl(0, control); }
    void release(u8 control) { fake_input::releaseControl(0, control); }

    std::vector<Dahlia_Bullet*> shots() { return all<Dahlia_Bullet>(); }

    Wall* floor = nullptr;
};

TEST_F(DahliaTest, BoxTeamsAndSheetsByPlayer)
{
    Dahlia zero(100, 50, 0);
    EXPECT_EQ(zero.x, 96);
    EXPECT_EQ(zero.y, 42);
    EXPECT_EQ(zero.w, 8);
    EXPECT_EQ(zero.h, 19);
    EXPECT_EQ(zero.typeFlags, 0x46u);
    EXPECT_EQ(zero.kind, 1);
    EXPECT_EQ(zero.respawnX, 100);
    EXPECT_EQ(zero.respawnY, 50);
    EXPECT_EQ(zero.team, 1);
    EXPECT_EQ(zero.pad, primaryPad);
    EXPECT_NE(zero.sheet, nullptr);
    for (u8 player = 1; player <= 5; ++player) {
        Dahlia other(0, 0, player);
        EXPECT_EQ(other.team, player + 4);
        EXPECT_EQ(other.pad, getControlPad(player));
        EXPECT_NE(other.sheet, nullptr) << "player " << int(player);
    }
    EXPECT_EQ(Dahlia(0, 0, 1).sheet, zero.sheet) << "players 0 and 1 share a sheet";
    EXPECT_NE(Dahlia(0, 0, 2).sheet, zero.sheet);
}

TEST_F(DahliaTest, PlayerInterfaceReportsHealthAndCentre)
{
    Dahlia dahlia(100, 50, 0);
    EXPECT_FLOAT_EQ(dahlia.healthFraction(), 1.0f);
    dahlia.health = 35;
    EXPECT_FLOAT_EQ(dahlia.healthFraction(), 0.35f);
    dahlia.health = -4;
    EXPECT_FLOAT_EQ(dahlia.healthFraction(), 0.0f);
    EXPECT_FLOAT_EQ(dahlia.secondBarFraction(), 1.0f);
    EXPECT_EQ(dahlia.centerX(), 100);
    EXPECT_EQ(dahlia.centerY(), 51);
}

TEST_F(DahliaTest, RunsAtThreeAndJumpsOnlyFromTheGround)
{
    Dahlia* dahlia = addStandingDahlia();
    hold(ControlRight);
    frame(3);
    EXPECT_EQ(dahlia->velX, 3);
    EXPECT_EQ(dahlia->facing, 1);
    EXPECT_GE(dahlia->walkFrame, 0);
    release(ControlRight);

    hold(ControlA);
    frame();
    EXPECT_EQ(dahlia->velY, -6);
    release(ControlA);
    frame(2);
    hold(ControlA);  // a second press in the air
    frame();
    EXPECT_GT(dahlia->velY, -6);
    EXPECT_EQ(dahlia->walkFrame, Dahlia::LegsRising);
}

TEST_F(DahliaTest, FiresOnEveryFourthLevelFrameWhileFireIsHeld)
{
    addStandingDahlia();
    while (world->frame() % 4 != 2)
        frame();
    hold(ControlB);
    const u32 pressed = world->frame();
    std::vector<u32> fired;
    for (int i = 0; i < 12; ++i) {
        const u32 number = world->frame();
        const size_t before = shots().size();
        frame();
        if (shots().size() > before)
            fired.push_back(number);
    }
    ASSERT_EQ(fired.size(), 3u);
    for (u32 number : fired)
        EXPECT_EQ(number % 4, 0u);
    EXPECT_EQ(fired[0] - pressed, 2u) << "the first shot waits for the level's beat, not 4 frames";
    EXPECT_EQ(fired[1] - fired[0], 4u);
    EXPECT_EQ(fired[2] - fired[1], 4u);
}

TEST_F(DahliaTest, ShotsLeaveTheWayShesAiming)
{
    Dahlia* dahlia = addStandingDahlia();
    alignFrame(4);
    hold(ControlB);
    frame();
    ASSERT_EQ(shots().size(), 1u);
    Dahlia_Bullet* forward = shots()[0];
    EXPECT_EQ(forward->velX, 10);
    EXPECT_EQ(forward->velY, 0);
    EXPECT_EQ(forward->x + 2, dahlia->x + 12) << "from the muzzle, 8 ahead of her middle";

    hold(ControlUp);
    alignFrame(4);
    const i32 top = dahlia->y;
    frame();
    Dahlia_Bullet* up = shots().back();
    EXPECT_EQ(up->velX, 0);
    EXPECT_EQ(up->velY, -10);
    EXPECT_EQ(dahlia->pose, Dahlia::PoseUp);
    // The shot was made at (x + 6, y - 1) and has flown one step (and may have drifted).
    EXPECT_LE(up->y + 2, top - 1);
    release(ControlUp);

    hold(ControlDown);
    alignFrame(4);
    frame();
    EXPECT_EQ(shots().back()->velY, 10);
    release(ControlDown);
    release(ControlB);
}

TEST_F(DahliaTest, BackpedalsFiveFramesAndTurnsOnTheSixth)
{
    Dahlia* dahlia = addStandingDahlia();
    hold(ControlLeft);
    for (int i = 1; i <= 5; ++i) {
        frame();
        EXPECT_EQ(dahlia->facing, 1) << "frame " << i;
        EXPECT_EQ(dahlia->backpedal, 1);
        EXPECT_EQ(dahlia->pose, Dahlia::PoseBackpedal);
        EXPECT_EQ(dahlia->velX, -3);
    }
    frame();
    EXPECT_EQ(dahlia->facing, -1);
    EXPECT_EQ(dahlia->backpedal, 0);
    EXPECT_EQ(dahlia->pose, Dahlia::PoseForward);
}

TEST_F(DahliaTest, ABackpedallingShotGoesTheWaySheWalks)
{
    Dahlia* dahlia = addStandingDahlia();
    while (world->frame() % 4 != 2)
        frame();
    hold(ControlLeft);
    frame(2);
    hold(ControlB);
    frame();
    ASSERT_EQ(shots().size(), 1u);
    EXPECT_EQ(dahlia->facing, 1);
    EXPECT_EQ(shots()[0]->velX, -10);
    EXPECT_EQ(shots()[0]->x + 2, dahlia->x + 2) << "from the gun held back, 2 behind her middle";
}

TEST_F(DahliaTest, LandingFasterThanThreeSoundsAndOnlyAHardFastOneThrowsDust)
{
    holdSounds();
    Dahlia* dahlia = addStandingDahlia();
    int thuds = 0;
    auto landAt = [&](i8 fall, i8 run) {
        silence();
        dahlia->y = 200 - dahlia->h - fall;  // one step above the floor
        dahlia->velY = fall;
        dahlia->velX = run;
        frame();
        EXPECT_EQ(dahlia->y + dahlia->h, 200);
        EXPECT_EQ(dahlia->velY, 0);
        thuds = playing("resource/land.wav");
        frame();  // the dust joins the level
        return all<Dust>().size();
    };
    EXPECT_EQ(landAt(3, 3), 0u);
    EXPECT_EQ(thuds, 0);
    EXPECT_EQ(landAt(4, 0), 0u);
    EXPECT_EQ(thuds, 1);
    EXPECT_EQ(landAt(7, 3), 0u);
    EXPECT_EQ(landAt(8, 2), 0u);
    EXPECT_EQ(landAt(8, 3), 1u);
    EXPECT_EQ(thuds, 1);
    EXPECT_EQ(landAt(8, -3), 2u);
}

TEST_F(DahliaTest, StepsSoundAtWalkFramesSevenAndFifteenAndBackpedallingAtOneAndNine)
{
    holdSounds();
    Dahlia* dahlia = addStandingDahlia();
    // The walk frames in which a step was heard, over a number of frames.
    auto stepFrames = [&](int frames) {
        std::vector<int> heard;
        for (int i = 0; i < frames; ++i) {
            silence();
            frame();
            const int steps = playing("resource/step_1.wav") + playing("resource/step_2.wav") +
                              playing("resource/step_3.wav");
            EXPECT_LE(steps, 1);
            if (steps)
                heard.push_back(dahlia->walkFrame);
        }
        return heard;
    };
    hold(ControlRight);
    EXPECT_EQ(stepFrames(32), (std::vector<int>{7, 15, 7, 15}));
    release(ControlRight);
    for (i16 start : {2, 10}) {
        frame();
        dahlia->walkFrame = start;
        hold(ControlLeft);
        EXPECT_EQ(stepFrames(3), (std::vector<int>{start - 1})) << "backwards from " << start;
        release(ControlLeft);
    }
}

TEST_F(DahliaTest, CutawayFollowsHerUntilItIsGone)
{
    Dahlia* dahlia = addStandingDahlia();
    Cutaway* cutaway = add(new Cutaway(0));
    frame();  // joins the level
    cutaway->makeRef(&dahlia->cutaway);
    frame();
    EXPECT_EQ(cutaway->x + cutaway->anchorX, dahlia->x + 4);
    EXPECT_EQ(cutaway->y + cutaway->anchorY, dahlia->y + 8);
    cutaway->kill();
    frame(3);  // deleted; she must not touch it any more
    EXPECT_FALSE(world->isAlive(dahlia->cutaway));
}

TEST_F(DahliaTest, RegeneratesOnePointEveryThirtyFramesBelowThirtyFive)
{
    Dahlia* dahlia = addStandingDahlia();
    dahlia->health = 20;
    alignFrame(30);
    frame();
    EXPECT_EQ(dahlia->health, 21);
    frame(29);
    EXPECT_EQ(dahlia->health, 21);
    frame();
    EXPECT_EQ(dahlia->health, 22);

    dahlia->health = 35;
    frame(60);
    EXPECT_EQ(dahlia->health, 35);
}

TEST_F(DahliaTest, HurtBlinksAndRestsBeforeTheNextHurtSound)
{
    holdSounds();
    Dahlia* dahlia = addStandingDahlia();
    auto hitSoundsOfLast = [&] {
        return playing(("resource/dahliahit" + std::to_string(dahlia->lastHitSound + 1) + ".wav").c_str());
    };
    dahlia->hurt(5, 1);
    frame();
    EXPECT_EQ(dahlia->hurtCooldown, 15);
    EXPECT_EQ(hitSoundsOfLast(), 1);
    const u8 firstSound = dahlia->lastHitSound;
    EXPECT_NE(firstSound, 0) << "a hurt sound never repeats the one before";
    dahlia->hurt(5, 1);
    frame();
    EXPECT_EQ(dahlia->hurtCooldown, 14) << "no new blink while the last one is young";
    EXPECT_EQ(dahlia->lastHitSound, firstSound) << "and no new sound either";
    frame(10);
    dahlia->hurt(5, 1);
    frame();
    EXPECT_EQ(dahlia->hurtCooldown, 15);
    EXPECT_NE(dahlia->lastHitSound, firstSound);
    EXPECT_EQ(hitSoundsOfLast(), 1);
}

TEST_F(DahliaTest, RespawnsAtHerRespawnPointAfterOneHundredTwentyFrames)
{
    Dahlia* dahlia = addStandingDahlia();
    dahlia->hurt(100, 2);
    hold(ControlB);
    frame(119);
    ASSERT_EQ(all<Dahlia>().size(), 1u);
    EXPECT_TRUE(shots().empty()) << "a dead heroine does not fire";
    EXPECT_EQ(dahlia->respawnCountdown, 1);
    EXPECT_EQ(dahlia->deathFrame, 11);
    EXPECT_EQ(dahlia->velX, 0);
    frame();
    std::vector<Dahlia*> bodies = all<Dahlia>();
    ASSERT_EQ(bodies.size(), 2u);
    Dahlia* fresh = bodies[0] == dahlia ? bodies[1] : bodies[0];
    EXPECT_EQ(fresh->x, 96);
    EXPECT_EQ(fresh->y, 181);
    EXPECT_EQ(fresh->dead, 0);
    EXPECT_EQ(dahlia->typeFlags & FlagPlayer, 0u) << "the old body is a corpse";
    frame(200);
    EXPECT_EQ(all<Dahlia>().size(), 2u) << "a corpse never respawns again";
}

TEST_F(DahliaTest, RespawnPointFollowsWhereSheStands)
{
    Dahlia* dahlia = addStandingDahlia();
    dahlia->x = 150;
    dahlia->setRespawnPoint();
    EXPECT_EQ(dahlia->respawnX, 150);
    EXPECT_EQ(dahlia->respawnY, 200 - 19);
}

TEST_F(DahliaTest, AnImpulseAddsAnEighthOfItTruncatedTowardZero)
{
    Dahlia* dahlia = addStandingDahlia();
    dahlia->velX = 2;
    dahlia->velY = -1;
    dahlia->addImpulse(17, -15);
    EXPECT_EQ(dahlia->velX, 4);
    EXPECT_EQ(dahlia->velY, -2);  // -15 / 8 is -1, not -2
}

TEST_F(DahliaTest, SecondPlayerReappearsOnAnotherPlayersCentre)
{
    Dahlia* first = addStandingDahlia(0, 100);
    Dahlia* second = addStandingDahlia(2, 160);
    second->hurt(100, 2);
    frame(120);
    std::vector<Dahlia*> bodies = all<Dahlia>();
    ASSERT_EQ(bodies.size(), 3u);
    Dahlia* fresh = nullptr;
    for (Dahlia* body : bodies) {
        if (body != first && body != second)
            fresh = body;
    }
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->playerNo, 2);
    EXPECT_EQ(fresh->x, first->x + first->w / 2 - 4);
    EXPECT_EQ(fresh->respawnY, first->y + first->h / 2 - 8);
}

TEST_F(DahliaTest, LoneSecondPlayerGetsNoNewBody)
{
    Dahlia* lone = addStandingDahlia(3);
    lone->hurt(100, 2);
    frame(130);
    EXPECT_EQ(all<Dahlia>().size(), 1u);
    EXPECT_EQ(lone->typeFlags & FlagPlayer, 0u);
}

TEST_F(DahliaTest, FallingBelowTheViewKills)
{
    floor->y = 1000;  // the floor drops out of reach
    Dahlia* dahlia = add(new Dahlia(100, 189, 0));
    frame(60);
    EXPECT_EQ(dahlia->dead, 1);
}

TEST_F(DahliaTest, ForcedControlsStopAimAndFire)
{
    Dahlia* dahlia = addStandingDahlia();
    hold(ControlB);
    hold(ControlUp);
    for (int i = 0; i < 8; ++i) {
        dahlia->setControls(Controls(1, false));
        frame();
    }
    EXPECT_TRUE(shots().empty());
    EXPECT_EQ(dahlia->pose, Dahlia::PoseForward);
    EXPECT_EQ(dahlia->velX, 3);
}

TEST_F(DahliaTest, PauseOpensOneMenuWhateverTheNumberOfBodies)
{
    Dahlia* first = addStandingDahlia(0, 100);
    addStandingDahlia(1, 140);
    Dahlia* corpse = addStandingDahlia(2, 180);
    corpse->hurt(100, 2);
    frame(121);
    ASSERT_EQ(corpse->typeFlags & FlagPlayer, 0u);
    hold(ControlY);
    frame();
    EXPECT_EQ(all<Pause_Menu>().size(), 1u);
    EXPECT_GT(first->frozenCount, 0);
    release(ControlY);
    frame();
    EXPECT_EQ(all<Pause_Menu>().size(), 1u);
}

TEST_F(DahliaTest, BodyJoiningDuringThePauseCannotOpenASecondMenu)
{
    addStandingDahlia();
    hold(ControlY);
    frame();
    release(ControlY);
    ASSERT_EQ(all<Pause_Menu>().size(), 1u);
    Dahlia* late = add(new Dahlia(200, 189, 0));
    frame();
    ASSERT_EQ(late->frozenCount, 0);
    hold(ControlY);  // the menu takes this as "resume"; the late body must not open another
    frame();
    EXPECT_LE(all<Pause_Menu>().size(), 1u);
    frame();
    EXPECT_TRUE(all<Pause_Menu>().empty());
}

TEST_F(DahliaTest, ALoneHeroineCanPauseWhileSheWaitsToRespawn)
{
    Dahlia* dahlia = addStandingDahlia();
    dahlia->hurt(100, 2);
    frame();
    hold(ControlY);
    frame();
    EXPECT_EQ(all<Pause_Menu>().size(), 1u);
    EXPECT_GT(dahlia->respawnCountdown, 0);
}

TEST_F(DahliaTest, DrawsHerSpriteMirroredWhenFacingLeftAndAsACorpseWhenDead)
{
    Dahlia* dahlia = addStandingDahlia();
    auto paintedColumns = [&]() {
        SDL_FillRect(backBuffer, nullptr, 0);
        world->draw(backBuffer);
        std::vector<int> columns;
        SDL_LockSurface(backBuffer);
        const u32* pixels = static_cast<const u32*>(backBuffer->pixels);
        for (int x = 80; x < 120; ++x) {
            for (int y = 160; y < 200; ++y) {
                if (pixels[y * (backBuffer->pitch / 4) + x] != 0) {
                    columns.push_back(x);
                    break;
                }
            }
        }
        SDL_UnlockSurface(backBuffer);
        return columns;
    };
    const std::vector<int> right = paintedColumns();
    ASSERT_FALSE(right.empty());
    EXPECT_GE(right.front(), dahlia->x - 4);
    EXPECT_LE(right.back(), dahlia->x + 12) << "the upper body leans one pixel forward";
    // Standing: the still legs (their feet show below the coat), the level gun a pixel ahead.
    for (i8 facing : {1, -1}) {
        dahlia->facing = facing;
        EXPECT_TRUE(drawsCell(dahlia, dahlia->sheet, {0, 33, 16, 5}, dahlia->x - 4, dahlia->y + 14, facing < 0));
        const i32 upperX = dahlia->x - 4 + facing;
        EXPECT_TRUE(showsCell(backBuffer, dahlia->sheet, {0, 0, 16, 19}, upperX, dahlia->y, facing < 0));
    }
    dahlia->facing = -1;
    EXPECT_NE(paintedColumns(), right);
    dahlia->hurt(100, 1);
    frame(30);
    EXPECT_FALSE(paintedColumns().empty());
    const u32 flash = 0xBB3333;  // every other five frames of the wait to respawn
    const SDL_Rect corpse = {i16(16 * dahlia->deathFrame), 57, 16, 19};
    EXPECT_TRUE(drawsCell(dahlia, dahlia->sheet, corpse, dahlia->x - 4, dahlia->y + 1, true,
                          dahlia->respawnCountdown % 10 > 4 ? &flash : nullptr));
}

} // namespace
