#include "actors/bullet.h"
#include "actors/dahlia_bullet.h"
#include "tests/actors/actor_fixture.h"

#include <set>
#include <string>

namespace {

// A shot that records what the base class asks of it.
class ProbeShot : public Bullet {
public:
    using Bullet::Bullet;
    void hitWall(bool noTargetHit) override
    {
        ++wallHits;
        lastNoTargetHit = noTargetHit;
    }
    void hitTarget(Damagable* target) override
    {
        ++targetHits;
        target->hurt(3, 2);
    }

    int wallHits = 0;
    bool lastNoTargetHit = false;
    int targetHits = 0;
};

// A character whose hurt runs a whole category walk of its own, as a creature that looks
// around when shot might.
class Nosy : public Target {
public:
    using Target::Target;
    void hurt(i16 amount, i32 kind) override
    {
        Target::hurt(amount, kind);
        for (owner->firstIn<Damagable>(); owner->hasMoreInCategory(); owner->nextIn<Damagable>())
            ++looked;
    }
    int looked = 0;
};

// Counts its own deletions.
class CountedShot : public Dahlia_Bullet {
public:
    CountedShot(i32 x, i32 y, i8 vx, i8 vy, int* deletions) : Dahlia_Bullet(x, y, vx, vy, nullptr), deletions(deletions) {}
    ~CountedShot() override { ++*deletions; }
    int* deletions;
};

using BulletTest = ActorWorld;

TEST_F(BulletTest, CentredBoxAndShootersTeam)
{
    Target* shooter = add(new Target(0, 0, 7));
    Bullet shot(50, 60, 10, 0, shooter);
    EXPECT_EQ(shot.x, 48);
    EXPECT_EQ(shot.y, 58);
    EXPECT_EQ(shot.w, 4);
    EXPECT_EQ(shot.typeFlags, 24u);
    EXPECT_EQ(shot.team, 7);

    Stone stone(0, 0);
    EXPECT_EQ(Bullet(0, 0, 1, 0, &stone).team, 0) << "only a character gives its team";
    EXPECT_EQ(Bullet(0, 0, 1, 0, nullptr).team, 0);
}

TEST_F(BulletTest, TeamOneShotPassesTeamOneAndTheDeadButHitsStonesAndOthers)
{
    Target* shooter = add(new Target(0, 0, 1));
    Target* friendly = add(new Target(100, 100, 1));
    Target* corpse = add(new Target(100, 100, 2));
    corpse->hurt(100, 1);
    Target* enemy = add(new Target(100, 100, 2));
    Stone* stone = add(new Stone(100, 100));
    step();
    add(new Dahlia_Bullet(108, 108, 0, 0, shooter));
    step(2);
    EXPECT_EQ(friendly->health, 100);
    EXPECT_EQ(corpse->health, 0);
    EXPECT_EQ(enemy->health, 97);
    EXPECT_EQ(enemy->lastKind, 2) << "the heroine's gun";
    EXPECT_EQ(stone->health, 97);
    step(2);
    EXPECT_EQ(enemy->health, 97) << "a spent shot hurts once";
}

TEST_F(BulletTest, HurtsEveryOverlappingTargetInOneFrame)
{
    Target* a = add(new Target(100, 100, 2));
    Target* b = add(new Target(104, 104, 3));
    Target* apart = add(new Target(140, 100, 2));
    step();
    ProbeShot* shot = add(new ProbeShot(110, 110, 1, 0, nullptr));
    step(2);
    EXPECT_EQ(a->health, 97);
    EXPECT_EQ(b->health, 97);
    EXPECT_EQ(apart->health, 100);
    EXPECT_EQ(shot->targetHits, 2);
    EXPECT_TRUE(shot->spent);
}

TEST_F(BulletTest, AHurtThatWalksTheCategoryDoesNotBreakTheShotsWalk)
{
    Nosy* first = add(new Nosy(100, 100, 2));
    Nosy* second = add(new Nosy(100, 100, 2));
    step();
    add(new ProbeShot(108, 108, 0, 0, nullptr));
    step(2);
    EXPECT_EQ(first->health, 97);
    EXPECT_EQ(second->health, 97);
    EXPECT_GT(first->looked, 0);
}

// Each direction meets its own limit: a wall to the right, to the left, a floor, a ceiling, where the
// centre stops on the surface. The window reaches 32 pixels beyond the view on every side; leaving it
// is silent, and so is flying out of a wall the shot started in.
TEST_F(BulletTest, StopsAtSolidTerrainWithItsCentreOnTheSurfaceAndSilentlyAtTheWindowsEdge)
{
    const struct {
        SDL_Rect wall;  // none if empty
        i32 x, y;
        i8 velX, velY;
        i32 centreX, centreY;
        int wallHits;
    } cases[] = {{{200, 80, 16, 48}, 150, 100, 10, 0, 200, 100, 1}, {{200, 80, 16, 48}, 266, 100, -10, 0, 216, 100, 1},
                 {{100, 150, 48, 16}, 120, 100, 0, 10, 120, 150, 1}, {{100, 50, 48, 16}, 120, 110, 0, -10, 120, 66, 1},
                 {{}, 300, 100, 10, 0, 352, 100, 0},                 {{280, 80, 48, 48}, 300, 100, 10, 0, 352, 100, 0},
                 {{}, 20, 100, -10, 0, -32, 100, 0},                 {{}, 100, 220, 0, 10, 100, 272, 0},
                 {{}, 100, 20, 0, -10, 100, -32, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.velX) + "," + std::to_string(c.velY) + " from " + std::to_string(c.x));
        world = std::make_unique<SystPhysical>();
        if (c.wall.w != 0)
            add(new Wall(c.wall.x, c.wall.y, c.wall.w, c.wall.h));
        step();
        ProbeShot* shot = add(new ProbeShot(c.x, c.y, c.velX, c.velY, nullptr));
        step(12);
        EXPECT_TRUE(shot->spent);
        EXPECT_EQ(shot->x + shot->w / 2, c.centreX);
        EXPECT_EQ(shot->y + shot->h / 2, c.centreY);
        EXPECT_EQ(shot->wallHits, c.wallHits);
        EXPECT_EQ(shot->lastNoTargetHit, c.wallHits == 1);
    }
}

TEST_F(BulletTest, TargetHitInFrontOfAWallSilencesTheWall)
{
    holdSounds();
    add(new Wall(200, 80, 16, 48));
    Target* guard = add(new Target(190, 92, 2));
    step();
    Dahlia_Bullet* shot = add(new Dahlia_Bullet(201, 100, 10, 0, nullptr));
    step(2);
    EXPECT_EQ(guard->health, 97);
    EXPECT_EQ(shot->frame.x, 80) << "the wall was hit: the impact shows";
    EXPECT_TRUE(soundTap->played().empty());
}

TEST_F(BulletTest, DahliaShotPicksItsMuzzleCellByDirectionAndOneOfSixWallSounds)
{
    EXPECT_EQ(Dahlia_Bullet(0, 0, 10, 0, nullptr).frame.x, 0);
    EXPECT_EQ(Dahlia_Bullet(0, 0, -10, 0, nullptr).frame.x, 48);
    EXPECT_EQ(Dahlia_Bullet(0, 0, 0, 10, nullptr).frame.x, 16);
    EXPECT_EQ(Dahlia_Bullet(0, 0, 0, -10, nullptr).frame.x, 32);

    ASSERT_TRUE(audioOpen);
    std::set<Mix_Chunk*> six, chosen;
    for (int n = 1; n <= 6; ++n)
        six.insert(loadSound("resource/hitground_" + std::to_string(n) + ".wav"));
    for (int i = 0; i < 100; ++i)
        chosen.insert(Dahlia_Bullet(0, 0, 10, 0, nullptr).hitSound);
    EXPECT_EQ(chosen, six);
}

TEST_F(BulletTest, UnusedShotIsRemovedInItsFortyFirstFrame)
{
    int deletions = 0;
    CountedShot* shot = add(new CountedShot(100, 100, 0, 0, &deletions));
    step();  // joins
    step(40);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(shot->age, 40);
    step();
    EXPECT_EQ(deletions, 1);
}

TEST_F(BulletTest, SpentShotPlaysItsImpactAndGoes)
{
    holdSounds();
    add(new Wall(200, 80, 16, 48));
    int deletions = 0;
    CountedShot* shot = add(new CountedShot(150, 100, 10, 0, &deletions));
    step();
    int frames = 0;
    while (!shot->spent && frames < 20) {
        step();
        ++frames;
    }
    ASSERT_TRUE(shot->spent);
    EXPECT_EQ(shot->frame.x, 80);
    EXPECT_EQ(shot->depth, -5) << "the impact is drawn over what stands in front";
    EXPECT_EQ(soundTap->played(), std::vector<Mix_Chunk*>{shot->hitSound});
    step(3);
    EXPECT_EQ(shot->frame.x, 128);
    EXPECT_EQ(deletions, 0);
    step();
    EXPECT_EQ(deletions, 1);
}

TEST_F(BulletTest, ShotRemovedForTwoReasonsInOneFrameIsDeletedOnce)
{
    int deletions = 0;
    CountedShot* shot = add(new CountedShot(100, 100, 0, 0, &deletions));
    step();
    const u32 before = world->objectCount();
    shot->spent = 1;
    shot->frame.x = 128;  // the impact ends...
    shot->age = 40;       // ...in the frame its life runs out
    step();
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(world->objectCount(), before - 1);
    step(2);
    EXPECT_EQ(deletions, 1);
}

} // namespace
