#include "tests/actors/beasts_fixture.h"

#include "actors/creatures/double_shot.h"
#include "actors/creatures/floating_turret.h"
#include "actors/effects/blast.h"
#include "actors/effects/explosion.h"
#include "actors/effects/smoke.h"
#include "core/engine.h"
#include "core/message.h"

#include <map>
#include <set>
#include <string>

namespace {

// A turret placed at (160, 60), its box (152, 52, 16, 16).
class TurretTest : public BeastWorld {
protected:
    void SetUp() override
    {
        BeastWorld::SetUp();
        turret = add(new Floating_Turret(160, 60));
    }

    // A sturdy character whose centre is (cx, cy).
    Target* targetAt(i32 cx, i32 cy, u8 team = 1)
    {
        Target* t = add(new Target(cx - 8, cy - 8, team));
        t->health = 30000;
        return t;
    }

    // The frame in which each shot was fired, in firing order.
    std::vector<u32> shotFrames(int frames)
    {
        std::map<u32, u32> firedIn;
        for (int i = 0; i < frames; ++i) {
            u32 frame = world->frame();
            step();
            for (DoubleShot* s : all<DoubleShot>())
                firedIn.emplace(s->serial, frame);
        }
        std::vector<u32> result;
        for (auto& entry : firedIn)
            result.push_back(entry.second);
        return result;
    }

    Floating_Turret* turret = nullptr;
};

TEST_F(TurretTest, BurstsOfEightShotsEightFramesApartAfterThirtyFramesThenSeventyFiveOfCooldown)
{
    targetAt(160, 150);
    step();  // both join; the target is first seen in frame 1
    std::vector<u32> frames = shotFrames(240);
    ASSERT_EQ(frames.size(), 16u);
    EXPECT_GE(frames[0], 1u + 30u);
    EXPECT_LE(frames[0], 1u + 30u + 7u);
    EXPECT_EQ((frames[0] + turret->firePhase) % 8, 0u);
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(frames[i], frames[0] + 8 * i);
    // The cooldown starts after the eighth shot and runs 75 frames; the next shot keeps the rhythm.
    EXPECT_EQ(frames[8], frames[7] + 80);
    EXPECT_EQ(playing("resource/double_shot.wav"), 16);
    EXPECT_EQ(turret->aim(), Floating_Turret::AimDown);
}

// Each shot leaves from the middle of the side it flies from; the box is (152, 52, 16, 16).
TEST_F(TurretTest, ShotsLeaveFromTheSideTheBarrelPoints)
{
    const struct {
        i32 x, y;
        i8 velX, velY;
        i32 fromX, fromY;
    } targets[] = {{160, 150, 0, 10, 160, 68}, {100, 60, -10, 0, 152, 60}, {220, 60, 10, 0, 168, 60},
                   {160, -30, 0, -10, 160, 52}};
    for (const auto& at : targets) {
        SCOPED_TRACE("target " + std::to_string(at.x) + "," + std::to_string(at.y));
        world = std::make_unique<SystPhysical>();
        turret = add(new Floating_Turret(160, 60));
        targetAt(at.x, at.y);
        step();
        std::vector<DoubleShot*> shots;
        for (int i = 0; i < 60 && shots.empty(); ++i) {
            // Held in place, so it keeps aiming along the same axis.
            turret->x = 152;
            turret->y = 52;
            turret->velX = turret->velY = 0;
            step();
            shots = all<DoubleShot>();
        }
        ASSERT_FALSE(shots.empty());
        EXPECT_EQ(shots[0]->velX, at.velX);
        EXPECT_EQ(shots[0]->velY, at.velY);
        EXPECT_EQ(shots[0]->x + 2, at.fromX);
        EXPECT_EQ(shots[0]->y + 2, at.fromY);
    }
}

TEST_F(TurretTest, ItsOwnTeamTheDeadAndTheFarAreNoTargets)
{
    targetAt(160, 140, 3);
    Target* corpse = targetAt(150, 140);
    corpse->dead = 1;
    targetAt(261, 60);  // 101 to the side of home
    step(60);
    EXPECT_EQ(turret->cooldown, 30);
    EXPECT_TRUE(all<DoubleShot>().empty());
    targetAt(250, 60);
    step(2);
    EXPECT_EQ(turret->cooldown, 29);
}

TEST_F(TurretTest, AimsAlongTheGreaterDistanceAndAnExactDiagonalVertically)
{
    Target* target = targetAt(200, 100);  // 40 right and 40 down of its centre
    step(2);
    EXPECT_EQ(turret->aim(), Floating_Turret::AimDown);
    // It aims before it moves, so its place after a frame is where it aims from in the next.
    target->x = turret->x + 8 - 40 - 8;  // 40 left and 40 down: still down
    target->y = turret->y + 8 + 40 - 8;
    step();
    EXPECT_EQ(turret->aim(), Floating_Turret::AimDown);
    target->x = turret->x + 8 - 40 - 8;  // 40 left and 39 down
    target->y = turret->y + 8 + 39 - 8;
    step();
    EXPECT_EQ(turret->aim(), Floating_Turret::AimLeft);
}

TEST_F(TurretTest, AcidAndKind0x20DoNoHarmAndNoFlash)
{
    step();
    turret->hurt(5, 128);
    turret->hurt(5, 0x20);
    turret->hurt(5, 0xA0);
    EXPECT_EQ(turret->health, 30);
    EXPECT_EQ(turret->flash, 0);
    // The barrel of its aim is drawn over the body; a hurt frame shows both in white.
    auto barrelShows = [&](const u32* silhouette) {
        const SDL_Rect barrel = {i16(64 + 16 * turret->aim()), 0, 16, 16};
        return drawsCell(turret, turret->sheet, barrel, turret->x, turret->y, false, silhouette);
    };
    turret->cells = u8(Floating_Turret::AimLeft << 4 | 2);
    EXPECT_TRUE(barrelShows(nullptr));
    turret->hurt(5, 0x120);
    EXPECT_EQ(turret->health, 25);
    EXPECT_EQ(turret->flash, 1);
    const u32 white = 0xFFFFFF;
    EXPECT_TRUE(barrelShows(&white));
    EXPECT_EQ(turret->flash, 0);
}

TEST_F(TurretTest, OutsideTheActiveAreaNothingHappens)
{
    targetAt(160, 150);
    step();
    world->cameraX = 1000;  // the turret's left, 152, is below 1000 - 50
    i32 x = turret->x, y = turret->y;
    u8 cells = turret->cells;
    step(50);
    EXPECT_EQ(turret->cooldown, 30);
    EXPECT_EQ(turret->x, x);
    EXPECT_EQ(turret->y, y);
    EXPECT_EQ(turret->cells, cells);
}

TEST_F(TurretTest, KilledItFallsBouncesAndBlowsUp)
{
    add(new Wall(-64, 200, 448, 16));
    step();
    turret->hurt(30, 1);
    ASSERT_TRUE(turret->isDead());
    step();
    EXPECT_EQ(all<Explosion>().size(), 1u) << "the explosion of its death";
    turret->hurt(30, 1);  // a dead turret takes nothing
    EXPECT_EQ(turret->health, 0);

    std::set<u32> seen;  // its smoke and blasts rise around it, wherever it has fallen to
    bool bounced = false;
    bool gone = false;
    int updates = 1;
    for (; updates < 60 && !gone; ++updates) {
        u8 before = turret->deathTimer;
        const i32 turretX = turret->x, turretY = turret->y;
        step();
        for (Physical* p : all<Physical>())
            if ((dynamic_cast<Smoke*>(p) || dynamic_cast<Blast*>(p)) && seen.insert(p->serial).second) {
                EXPECT_LE(std::abs(p->x + p->w / 2 - turretX), 18);
                EXPECT_LE(std::abs(p->y + p->h / 2 - turretY), 24);
            }
        gone = all<Floating_Turret>().empty();
        if (!gone) {
            EXPECT_LE(turret->y + turret->h, 200);
            bounced |= before - turret->deathTimer == 3;
        }
    }
    EXPECT_TRUE(gone);
    EXPECT_TRUE(bounced) << "each floor contact takes 2 more from the death timer";
    EXPECT_LT(updates, 51);
    int big = 0;
    for (Blast* b : all<Blast>())
        big += b->cellCount == 9;
    EXPECT_EQ(big, 1);
}

TEST_F(TurretTest, ShotDownOutsideALevelItSaysSoInsteadOfCrashing)
{
    Floating_Turret loose(40, 40);
    const u32 shown = messagesShownCount();
    loose.hurt(30, 2);
    EXPECT_TRUE(loose.isDead());
    EXPECT_EQ(messagesShownCount(), shown + 1);
    EXPECT_EQ(lastMessageShown(), "ATTEMPTED TO ADD PHYSICAL TO NONEXISTANT SYSTEM");
}

TEST_F(TurretTest, AShotThatHitsNothingIsGoneAfterSixtyOneUpdates)
{
    DoubleShot* shot = add(new DoubleShot(100, 150, 0, 0, turret));
    EXPECT_EQ(shot->frame.x, 176);  // not moving right: the left muzzle flash
    EXPECT_EQ(shot->team, 3);
    step(61);  // joins, then 60 updates
    ASSERT_EQ(all<DoubleShot>().size(), 1u);
    EXPECT_EQ(shot->frame.y, 16);
    EXPECT_EQ(shot->frame.x, 0);
    step();
    EXPECT_TRUE(all<DoubleShot>().empty());
}

TEST_F(TurretTest, AShotHurtsByTenAndSplashesOnWalls)
{
    Target* victim = targetAt(200, 150);
    victim->health = 100;
    step();
    add(new DoubleShot(180, 150, 10, 0, turret));
    step(3);
    EXPECT_EQ(victim->health, 100) << "touching edges do not count";
    step();
    EXPECT_EQ(victim->health, 90);

    add(new Wall(100, 200, 16, 16));
    step();
    DoubleShot* shot = add(new DoubleShot(108, 150, 0, 10, turret));
    std::vector<i16> cells;
    i32 depth = 0;
    for (int i = 0; i < 20; ++i) {
        step();
        if (all<DoubleShot>().empty())
            break;
        if (shot->spent)
            cells.push_back(shot->frame.x);
        depth = shot->depth;
    }
    EXPECT_EQ(cells, (std::vector<i16>{32, 48, 64, 80, 96}));
    EXPECT_EQ(depth, -5);
}

} // namespace
