#include "tests/actors/actor_fixture.h"

#include "actors/blood.h"
#include "actors/blood_particle.h"

#include <set>

namespace {

using BloodTest = ActorWorld;

TEST_F(BloodTest, HalfOfTheBlobsLeaveOnlyTheirFirstDropletAndNoneFallsFasterThanEight)
{
    for (int i = 0; i < 200; ++i)
        add(new Blood(100, 100, 1, 10));  // thrown down faster than gravity ever makes it
    step();
    EXPECT_EQ(all<Blood_Particle>().size(), 200u);
    size_t blobs = all<Blood>().size();
    EXPECT_GT(blobs, 70u);
    EXPECT_LT(blobs, 130u);
    step();  // frame 1: gravity acts on odd frames
    std::set<int> speeds;
    for (Blood* blob : all<Blood>())
        speeds.insert(blob->velY);
    EXPECT_EQ(speeds, std::set<int>{8});
}

TEST_F(BloodTest, LargeDropletSplitsIntoSmallerOnesAfterAShortFlight)
{
    Blood_Particle* drop = add(new Blood_Particle(100, 50, 1, 0, 1));
    u32 serial = drop->serial;
    EXPECT_GE(drop->life, 1);
    EXPECT_LE(drop->life, 4);
    step(7);
    std::vector<Blood_Particle*> drops = all<Blood_Particle>();
    ASSERT_GE(drops.size(), 2u);
    ASSERT_LE(drops.size(), 3u);
    for (Blood_Particle* piece : drops) {
        EXPECT_NE(piece->serial, serial);
        EXPECT_GE(piece->size, 2);
        EXPECT_LE(piece->size, 5);
    }
}

TEST_F(BloodTest, SmallDropletFallsForThirtyFramesWithoutSplitting)
{
    Blood_Particle* drop = add(new Blood_Particle(100, 0, 0, 0, 4));
    Blood_Particle* thrown = add(new Blood_Particle(200, 0, 0, 10, 5));
    EXPECT_EQ(drop->life, 30);
    step(2);  // frame 1: gravity acts on odd frames
    EXPECT_EQ(thrown->velY, 8) << "a droplet thrown faster is slowed to the top speed";
    step(29);
    ASSERT_EQ(all<Blood_Particle>().size(), 2u);
    EXPECT_EQ(drop->velY, 8);  // gravity tops out at 8 pixels a frame
    EXPECT_EQ(thrown->velY, 8);
    step();
    EXPECT_TRUE(all<Blood_Particle>().empty());
}

TEST_F(BloodTest, DropletSticksIntoTheSurfaceItHits)
{
    Wall* floor = add(new Wall(96, 100, 32, 16));
    Blood_Particle* drop = add(new Blood_Particle(101, 95, 0, 4, 4));
    std::vector<Blood_Particle*> thrown;  // into a wall's left side, at heights of their own
    add(new Wall(200, 0, 16, 90));
    for (int i = 0; i < 8; ++i)
        thrown.push_back(add(new Blood_Particle(196, 10 + 8 * i, 4, 0, 4)));
    add(new Wall(150, 0, 32, 50));   // a ceiling just within one frame's rise
    add(new Wall(230, 60, 32, 16));  // ledges whose edges droplets fly off
    add(new Wall(9, 160, 32, 16));
    const Blood_Particle* caught[] = {add(new Blood_Particle(161, 56, 0, -4, 4)),
                                      add(new Blood_Particle(231, 57, -2, 4, 4)),
                                      add(new Blood_Particle(41, 157, 3, 4, 4))};
    step(2);  // joins, then meets them in its first move
    for (const Blood_Particle* piece : caught)
        EXPECT_EQ(piece->stuck, 1);
    step(2);
    ASSERT_EQ(drop->stuck, 1);
    EXPECT_TRUE(world->isAlive(drop->stuckTo));
    EXPECT_EQ(drop->stuckTo.object, floor);
    EXPECT_GE(drop->y, 100);
    EXPECT_LE(drop->y, 104);
    EXPECT_EQ(drop->x, 100);
    for (Blood_Particle* piece : thrown) {
        ASSERT_EQ(piece->stuck, 1);
        EXPECT_GE(piece->x, 200) << "it bites into the wall, never short of it";
        EXPECT_LE(piece->x, 204);
    }
}

// The block moves every frame; the droplet catches up on odd frames.
TEST_F(BloodTest, StuckDropletRidesAlongAndLeavesWithItsBlock)
{
    Wall* lift = add(new Wall(96, 100, 32, 16));
    Blood_Particle* drop = add(new Blood_Particle(101, 95, 0, 4, 4));
    step(4);
    ASSERT_EQ(drop->stuck, 1);
    i32 offsetX = drop->x - lift->x;
    i32 offsetY = drop->y - lift->y;
    lift->moveX = 2;
    lift->moveY = -1;
    while (world->frame() % 2 == 0)
        step();
    step(7);  // ends on an odd frame
    EXPECT_EQ(drop->x - lift->x, offsetX);
    EXPECT_EQ(drop->y - lift->y, offsetY);
    EXPECT_NE(lift->x, 96);

    world->remove(lift);
    step();  // deleted after this even frame's pass
    EXPECT_EQ(all<Blood_Particle>().size(), 1u);
    step();
    EXPECT_TRUE(all<Blood_Particle>().empty());
}

TEST_F(BloodTest, BlobStopsInsideTerrainAndFadesAway)
{
    add(new Wall(0, 100, 320, 32));
    for (int i = 0; i < 6; ++i)
        add(new Blood(40 * i + 20, 80, 1, 3));  // thrown sideways as well
    step();
    std::vector<Blood*> blobs = all<Blood>();
    ASSERT_FALSE(blobs.empty());
    step(10);
    for (Blood* blob : all<Blood>()) {
        EXPECT_EQ(blob->velX, 0);
        EXPECT_EQ(blob->velY, 0);
        EXPECT_GT(blob->y, 100);
        EXPECT_LT(blob->y, 132);
    }
    step(200);
    EXPECT_TRUE(all<Blood>().empty());
}

} // namespace
