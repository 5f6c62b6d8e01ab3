#include "actors/bossfight.h"
#include "actors/effects/dust.h"
#include "actors/effects/smoke.h"
#include "actors/springfoot/groundwave.h"
#include "actors/springfoot/springfoot.h"
#include "actors/springfoot/springfoot_boss.h"
#include "actors/springfoot/springfoot_boss_player.h"
#include "core/input.h"
#include "tests/actors/actor_fixture.h"
#include "tests/support/fake_input.h"
#include "world/factory.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

class SpringfootBossTest : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        add(new Wall(-64, 200, 448, 16));
    }

    // The boss standing on the floor (top 200), awake or not, held still by forced controls.
    Springfoot_Boss* addBoss(bool awake)
    {
        boss = add(new Springfoot_Boss(160, 184));
        stepHeld(8);
        EXPECT_EQ(boss->y + boss->h, 200);
        boss->active = awake;
        return boss;
    }

    void stepHeld(int frames = 1)
    {
        for (int i = 0; i < frames; ++i) {
            boss->setControls(Controls());
            step();
        }
    }

    void alignHeld(u32 n)
    {
        while (world->frame() % n != 0)
            stepHeld();
    }

    size_t reinforcements() { return all<Springfoot>().size(); }

    // The newest hoppers have not moved yet: they stand where they dropped in.
    void expectNewestAtTheEdges(size_t newest)
    {
        std::vector<Springfoot*> hoppers = all<Springfoot>();
        for (size_t i = hoppers.size() - newest; i < hoppers.size(); ++i) {
            const i32 edgeX = hoppers[i]->x + 4 - world->cameraX;
            EXPECT_TRUE(edgeX == 6 || edgeX == 314) << edgeX;
            EXPECT_EQ(hoppers[i]->y + 8, world->cameraY - 6);
        }
    }

    Springfoot_Boss* boss = nullptr;
};

TEST_F(SpringfootBossTest, ReinforcementsComeOnePerThresholdAndInPairsBelow121)
{
    addBoss(true);
    boss->health = 199;
    stepHeld();
    EXPECT_EQ(reinforcements(), 1u);
    expectNewestAtTheEdges(1);
    EXPECT_EQ(boss->reinforceBelow, 180);
    stepHeld(3);
    EXPECT_EQ(reinforcements(), 1u);

    boss->health = 119;
    boss->reinforceBelow = 120;
    stepHeld();
    EXPECT_EQ(reinforcements(), 3u);
    expectNewestAtTheEdges(2);
}

TEST_F(SpringfootBossTest, OneBigHitCallsItsReinforcementsOverTheFollowingFrames)
{
    addBoss(true);
    boss->health = 150;
    for (size_t expected = 1; expected <= 3; ++expected) {
        stepHeld();
        EXPECT_EQ(reinforcements(), expected);
    }
    stepHeld(5);
    EXPECT_EQ(reinforcements(), 3u);
    EXPECT_EQ(boss->reinforceBelow, 140);
}

TEST_F(SpringfootBossTest, AsleepItDoesNothingOfItsOwnButCanBeHurt)
{
    addBoss(false);
    boss->velX = 3;  // a hop its think asked for in its sleep: it ends where it lands
    boss->velY = -6;
    stepHeld(40);
    ASSERT_EQ(boss->y + boss->h, 200) << "it landed";
    const i32 landedAt = boss->x;
    stepHeld(20);
    EXPECT_EQ(boss->x, landedAt);
    EXPECT_GT(landedAt, 152);
    boss->health = 10;
    stepHeld(60);
    EXPECT_EQ(reinforcements(), 0u);
    EXPECT_EQ(boss->jumpTimer, 30);
    boss->hurt(10, 2);
    EXPECT_EQ(boss->dead, 1);
    stepHeld(200);
    EXPECT_EQ(boss->state, 0) << "no death scene while asleep";
}

TEST_F(SpringfootBossTest, PhaseSmokeOncePerHitThatCrossesAPhaseLine)
{
    addBoss(true);
    const struct {
        i16 from;
        i16 amount;
        size_t puffs;
    } hits[] = {{150, 24, 0}, {126, 1, 10}, {125, 50, 0}, {26, 1, 10}, {200, 180, 10}, {25, 5, 0}};
    for (const auto& hit : hits) {
        for (Smoke* smoke : all<Smoke>())
            smoke->removeSelf();
        boss->health = hit.from;
        boss->reinforceBelow = 0;
        boss->hurt(hit.amount, 2);
        stepHeld();
        EXPECT_EQ(all<Smoke>().size(), hit.puffs) << hit.from << " - " << hit.amount;
    }
}

TEST_F(SpringfootBossTest, HardLandingsShakeTheGroundAndSendWavesFrom124Down)
{
    addBoss(true);
    boss->reinforceBelow = 0;
    const struct {
        i16 health;
        i8 fallSpeed;
        size_t waves;
        size_t dust;
        u16 shake;
        u8 lock;
    } landings[] = {{125, 7, 0, 5, 7, 10}, {124, 8, 2, 5, 8, 10}, {124, 6, 0, 0, 0, 5}};
    for (const auto& landing : landings) {
        for (Physical* p : all<Physical>()) {
            if (dynamic_cast<GroundWave*>(p) || dynamic_cast<Dust*>(p))
                p->removeSelf();
        }
        stepHeld();
        boss->health = landing.health;
        boss->bigJump = 1;
        boss->shake = 0;
        boss->velY = landing.fallSpeed;
        const i32 bossX = boss->x;
        boss->land();
        EXPECT_EQ(boss->bigJump, 0);
        EXPECT_EQ(boss->shake, landing.shake);
        EXPECT_EQ(boss->lock, landing.lock);
        stepHeld();
        std::vector<GroundWave*> waves = all<GroundWave>();
        ASSERT_EQ(waves.size(), landing.waves) << "health " << landing.health;
        EXPECT_EQ(all<Dust>().size(), landing.dust);
        // A wave's box is 8 x 4 about its point: x + 12 going right, x + 4 going left.
        std::set<std::vector<i32>> sent;
        for (GroundWave* wave : waves)
            sent.insert({wave->velX, wave->x + 4 - bossX, wave->y + 4});
        if (!waves.empty()) {
            EXPECT_EQ(sent, (std::set<std::vector<i32>>{{6, 12, 200}, {-6, 4, 200}}));
        }
    }
}

TEST_F(SpringfootBossTest, StompsOncePerLeapOnlyWhileFallingAndHardestWhenFast)
{
    addBoss(true);
    Target* foe = add(new Target(boss->x, 150, 1));
    alignHeld(2);
    boss->y = 130;
    boss->canStomp = 1;
    boss->velY = -2;
    stepHeld();  // rising through the foe
    EXPECT_EQ(foe->health, 100);
    EXPECT_EQ(boss->canStomp, 1);

    alignHeld(2);
    boss->y = 120;
    boss->velY = 1;
    stepHeld();  // an even frame: gravity makes it 2
    ASSERT_EQ(boss->velY, 2);
    EXPECT_EQ(foe->health, 95) << "at least 5";
    EXPECT_EQ(boss->canStomp, 0);
    stepHeld(3);
    EXPECT_EQ(foe->health, 95) << "once per leap";

    boss->y = 120;
    boss->canStomp = 1;
    boss->velY = 7;
    stepHeld();
    EXPECT_EQ(foe->health, 95 - 2 * boss->velY);
}

TEST_F(SpringfootBossTest, DeathSceneEndsFinishedExactlyWhenTheShakeIsSpent)
{
    holdSounds();
    addBoss(true);
    boss->reinforceBelow = 0;
    boss->health = 20;  // past the phase lines, whose smoke would mix with the death's
    boss->hurt(20, 2);
    ASSERT_EQ(boss->dead, 1);
    stepHeld();
    EXPECT_EQ(all<Smoke>().size(), 10u) << "the shudder starts with a puff of smoke";
    EXPECT_EQ(boss->shakeAmount(), 4);

    // The death cry comes in the frame after the shudder timer reached 120.
    int frames = 1;
    int cryAt = -1;
    while (boss->state != 5 && frames < 400) {
        EXPECT_FALSE(boss->isFinished());
        stepHeld();
        ++frames;
        if (cryAt < 0 && playing("resource/crushfoot_die.wav"))
            cryAt = boss->deathTimer;
    }
    EXPECT_EQ(cryAt, 118);
    ASSERT_EQ(boss->state, 5);
    EXPECT_GE(frames, 150 + 2 * 11);
    EXPECT_EQ(boss->shakeAmount(), 8);
    for (int i = 0; i < 7; ++i) {
        stepHeld();
        EXPECT_FALSE(boss->isFinished());
    }
    stepHeld();
    EXPECT_EQ(boss->shakeAmount(), 0);
    EXPECT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->healthFraction(), 0.0f);
}

// On the ground it stands unless randomSigned(16) gives 0 (randomSigned(8) below 50 health);
// a twin stream on the same seed tells which draws let it walk.
TEST_F(SpringfootBossTest, ThinksToWalkOnceInSeventeenOrOnceInNineBelowFifty)
{
    addBoss(true);
    constexpr int Twin = 9;
    const struct {
        i16 health;
        u32 mask;  // randomSigned(n) masks the draw to the bits of n and redraws above n
        u32 n;
    } phases[] = {{50, 31, 16}, {49, 15, 8}};
    boss->lock = 0;
    for (const auto& phase : phases) {
        boss->health = phase.health;
        boss->targetX = boss->x;  // level with it: it walks right
        seedStream(0, 4242);
        seedStream(Twin, 4242);
        int walks = 0;
        for (int i = 0; i < 300; ++i) {
            u32 r;
            do
                r = randomDraw(Twin) & phase.mask;
            while (r > phase.n);
            const Controls c = boss->think();
            EXPECT_EQ(c.dir(), r == 0 ? 1 : 0) << "health " << phase.health << ", think " << i;
            walks += c.dir() != 0;
        }
        EXPECT_GT(walks, 0);
    }
    auto dirsOf300 = [&] {
        std::set<int> dirs;
        for (int i = 0; i < 300; ++i)
            dirs.insert(boss->think().dir());
        return dirs;
    };
    boss->targetX = boss->x - 1;
    EXPECT_EQ(dirsOf300(), (std::set<int>{-1, 0}));
    boss->lock = 3;
    EXPECT_EQ(dirsOf300(), (std::set<int>{0})) << "no walking while the landing lock lasts";
    EXPECT_FALSE(boss->think().jump());
    boss->jumpTimer = 0;
    EXPECT_TRUE(boss->think().jump());
    // In the air it always heads for its target, without drawing.
    boss->lock = 0;
    boss->y -= 40;
    seedStream(0, 4242);
    seedStream(Twin, 4242);
    EXPECT_EQ(boss->think().dir(), -1);
    EXPECT_EQ(randomDraw(0), randomDraw(Twin));
}

TEST_F(SpringfootBossTest, BigJumpsAimAtTheTargetHopsGoThreePixelsAFrameAndOnlyOuterPhasesSteerInTheAir)
{
    addBoss(true);
    const struct {
        i32 targetDx, targetDy;
        i8 velX, velY;
    } jumps[] = {{100, -40, 2, -10}, {-100, -41, -2, -12}, {200, 0, 3, -10}, {-200, -100, -3, -12}, {-79, 0, -1, -10}};
    for (const auto& jump : jumps) {
        boss->targetX = boss->x + jump.targetDx;
        boss->targetY = boss->y + jump.targetDy;
        boss->lock = 4;
        boss->canStomp = 0;
        boss->bigJump = 0;
        boss->jump(true);
        EXPECT_EQ(boss->velX, jump.velX) << jump.targetDx << ", " << jump.targetDy;
        EXPECT_EQ(boss->velY, jump.velY) << jump.targetDx << ", " << jump.targetDy;
        EXPECT_EQ(boss->lock, 0);
        EXPECT_EQ(boss->canStomp, 1);
        EXPECT_EQ(boss->bigJump, 1);
    }

    std::set<int> hopHeights;
    for (int i = 0; i < 100; ++i) {
        const i8 dir = i % 2 ? -1 : 1;
        boss->canStomp = 0;
        boss->walk(true, dir);
        EXPECT_EQ(boss->velX, 3 * dir);
        EXPECT_EQ(boss->faceLeft, dir < 0);
        EXPECT_EQ(boss->canStomp, 1);
        hopHeights.insert(boss->velY);
    }
    EXPECT_EQ(hopHeights, (std::set<int>{-8, -7, -6, -5}));
    boss->velX = 0;
    boss->lock = 1;
    boss->walk(true, 1);
    EXPECT_EQ(boss->velX, 0) << "locked after a landing";

    // In the air it steers one step on even frames, only in a big jump and only above 125 or below 25.
    const struct {
        i16 health;
        u8 bigJump;
        i8 startVelX, dir;
        bool oddFrame;
        i8 steered;
    } steers[] = {{126, 1, 0, 1, false, 1}, {125, 1, 0, 1, false, 0}, {25, 1, 0, 1, false, 0}, {24, 1, 0, 1, false, 1},
                  {200, 0, 0, 1, false, 0}, {200, 1, 3, 1, false, 3},  {200, 1, 0, -1, true, 0}};
    for (const auto& c : steers) {
        alignHeld(2);
        if (c.oddFrame)
            stepHeld();
        boss->lock = 0;
        boss->health = c.health;
        boss->bigJump = c.bigJump;
        boss->velX = c.startVelX;
        boss->walk(false, c.dir);
        EXPECT_EQ(boss->velX, c.steered) << "health " << c.health << ", odd frame " << c.oddFrame;
        EXPECT_EQ(boss->faceLeft, c.dir < 0) << "health " << c.health;
    }
    stepHeld(40);  // down from the hops
    boss->targetX = boss->x + 100;  // a leap keeps its aim as it leaves the ground
    boss->setControls(Controls(0, true));
    step();
    EXPECT_EQ(boss->velX, 2);
}

// The sheet faces left; hurt it shows white, and at the top of a wave-making leap pale cyan.
TEST_F(SpringfootBossTest, DrawsItsStateCellFacingItsWayAndTintedWhenHurtOrAboutToSendWaves)
{
    addBoss(true);
    const u32 white = 0xFFFFFF, paleCyan = 0xAAFFFF;
    const struct {
        u8 state, faceLeft, hurt;
        i16 health;
        u8 bigJump;
        i8 velY;
        const u32* tint;
    } looks[] = {{1, 1, 0, 200, 0, 0, nullptr},   {3, 0, 0, 200, 0, 0, nullptr},   {3, 0, 1, 200, 0, 0, &white},
                 {3, 0, 0, 124, 1, 1, &paleCyan}, {3, 0, 0, 124, 1, -1, &paleCyan}, {3, 0, 0, 124, 1, -3, &paleCyan},
                 {3, 0, 0, 124, 1, -2, nullptr},  {3, 0, 0, 124, 1, 0, nullptr},   {3, 0, 0, 125, 1, 1, nullptr},
                 {3, 0, 0, 124, 0, 1, nullptr}};
    for (const auto& look : looks) {
        boss->state = look.state;
        boss->faceLeft = look.faceLeft;
        boss->hurtThisFrame = look.hurt;
        boss->health = look.health;
        boss->bigJump = look.bigJump;
        boss->velY = look.velY;
        const SDL_Rect cell = {i16(32 * look.state), 0, 32, 32};
        EXPECT_TRUE(drawsCell(boss, boss->sheet, cell, boss->x - 8, boss->y, !look.faceLeft, look.tint))
            << int(look.state) << " " << look.health << " " << int(look.velY);
    }
}

TEST_F(SpringfootBossTest, ActivationLeapsUpAndLeftIntoTheArena)
{
    addBoss(false);
    const i32 x = boss->x;
    const i32 y = boss->y;
    boss->activate();
    EXPECT_EQ(boss->active, 1);
    EXPECT_EQ(boss->velX, -6);
    EXPECT_EQ(boss->velY, -6);
    EXPECT_EQ(boss->bigJump, 1);
    EXPECT_EQ(boss->targetX, x - 160);
    EXPECT_EQ(boss->targetY, y + 120);
    stepHeld();
    EXPECT_LT(boss->x, x);
    EXPECT_LT(boss->y, y);
}

TEST_F(SpringfootBossTest, PlayerBodyIsSteeredByPadZeroAndFollowedByItsCentre)
{
    fake_input::install();
    initInput();
    Springfoot_Boss_Player* body = add(new Springfoot_Boss_Player(160, 184));
    EXPECT_EQ(body->team, 1);
    EXPECT_NE(body->typeFlags & FlagPlayer, 0u);
    EXPECT_EQ(body->active, 1);

    fake_input::holdControl(0, ControlRight);
    updateInput();
    EXPECT_EQ(body->think().dir(), 1);
    EXPECT_FALSE(body->think().jump());
    fake_input::holdControl(0, ControlLeft);
    fake_input::holdControl(0, ControlA);
    updateInput();
    EXPECT_EQ(body->think().dir(), 0);
    EXPECT_TRUE(body->think().jump());
    updateInput();
    EXPECT_FALSE(body->think().jump()) << "a jump needs a fresh press";

    body->health = 125;
    Player* player = body;
    Boss* asBoss = body;
    EXPECT_FLOAT_EQ(player->healthFraction(), 0.5f);
    EXPECT_FLOAT_EQ(asBoss->healthFraction(), 0.5f);
    EXPECT_FLOAT_EQ(player->secondBarFraction(), 1.0f);
    // The camera follows this point: the middle of the 16x32 box, not the world's origin.
    EXPECT_EQ(player->centerX(), 160);
    EXPECT_EQ(player->centerY(), 184);

    world.reset();
    shutdownInput();
    fake_input::uninstall();
}

TEST_F(SpringfootBossTest, TheFactoryPlacesTheFamilyAndTheArenaUnderTheirIds)
{
    std::unique_ptr<Physical> hopper(createObject(8, 100, 50));
    ASSERT_NE(dynamic_cast<Springfoot*>(hopper.get()), nullptr);
    EXPECT_EQ(hopper->x, 96);
    EXPECT_EQ(hopper->y, 42);

    std::unique_ptr<Physical> crushfoot(createObject(13, 100, 50));
    ASSERT_NE(dynamic_cast<Springfoot_Boss*>(crushfoot.get()), nullptr);
    EXPECT_EQ(dynamic_cast<Springfoot_Boss_Player*>(crushfoot.get()), nullptr);
    EXPECT_EQ(crushfoot->x, 92);
    EXPECT_EQ(crushfoot->y, 34);
    EXPECT_EQ(crushfoot->typeFlags, u32(FlagDamagable | FlagCharacter | FlagBoss));

    std::unique_ptr<Physical> arena(createObject(14, 100, 50));
    ASSERT_NE(dynamic_cast<BossFight*>(arena.get()), nullptr);
    EXPECT_EQ(arena->typeFlags, u32(FlagCameraFocus));
    EXPECT_EQ(arena->depth, -100);

    std::unique_ptr<Physical> playable(createObject(15, 100, 50));
    ASSERT_NE(dynamic_cast<Springfoot_Boss_Player*>(playable.get()), nullptr);
    EXPECT_EQ(playable->typeFlags, u32(FlagDamagable | FlagCharacter | FlagBoss | FlagPlayer));
}

} // namespace
