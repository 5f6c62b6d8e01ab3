#include "actors/actor.h"
#include "actors/dahlia.h"
#include "tests/actors/actor_fixture.h"
#include "world/factory.h"
#include "world/terrain/terrainblocks.h"

namespace {

constexpr SDL_Rect NoCell = {0, 0, 16, 16};

// An 8x16 body walking the way the test says.
class Hiker : public Actor {
public:
    Hiker(i32 x, i32 y) : Actor(x, y)
    {
        w = 8;
        h = 16;
        typeFlags |= FlagPlayer;  // keeps updating wherever the test walks it
    }
    Controls think() override { return intent; }
    Controls intent;
};

class TerrainWalkTest : public ActorWorld {
protected:
    template <class B> void put(i32 column, i32 row) { add(new B(column * 16, row * 16, -1, nullptr, NoCell)); }

    // A flat top at row 4 from column 0 to 3, a slope falling to the right over columns 4 to 7
    // (rows 4 to 7), then a flat bottom at row 8 from column 8 to 15.
    void buildHillside()
    {
        for (i32 c = 0; c < 4; ++c)
            put<FullBlock>(c, 4);
        for (i32 i = 0; i < 4; ++i) {
            put<SlopeBlock_Left>(4 + i, 4 + i);
            put<FullBlock>(4 + i, 5 + i);
        }
        for (i32 c = 8; c < 16; ++c)
            put<FullBlock>(c, 8);
    }

    Hiker* addHiker(i32 x, i32 y)
    {
        Hiker* hiker = add(new Hiker(x, y));
        step(12);
        return hiker;
    }
};

TEST_F(TerrainWalkTest, WalkingDownASlopeStaysOnTheGround)
{
    buildHillside();
    Hiker* hiker = addHiker(40, 48);
    ASSERT_EQ(hiker->y + hiker->h, 64);
    hiker->intent = Controls(1, false);
    bool sawSlope = false;
    for (int i = 0; i < 60; ++i) {
        step();
        EXPECT_GE(hiker->y + hiker->h, hiker->floorLimit) << "airborne at x " << hiker->x;
        EXPECT_EQ(hiker->velY, 0);
        sawSlope = sawSlope || hiker->slopeCode == 4;
    }
    EXPECT_TRUE(sawSlope);
    EXPECT_EQ(hiker->y + hiker->h, 128) << "reached the bottom";
}

TEST_F(TerrainWalkTest, WalkingUpASlopeClimbsToTheTop)
{
    buildHillside();
    Hiker* hiker = addHiker(180, 112);
    ASSERT_EQ(hiker->y + hiker->h, 128);
    hiker->intent = Controls(-1, false);
    step(70);
    EXPECT_EQ(hiker->y + hiker->h, 64);
    EXPECT_LT(hiker->x, 64);
}

TEST_F(TerrainWalkTest, SlopeCodeOfARightSlopeIsNegative)
{
    put<SlopeBlock_Right>(5, 8);
    put<FullBlock>(4, 9);
    put<FullBlock>(5, 9);
    put<FullBlock>(6, 9);
    Hiker* hiker = addHiker(84, 100);
    step(20);
    EXPECT_EQ(hiker->slopeCode, -4);
}

TEST_F(TerrainWalkTest, OneWayPlatformHoldsFromAboveAndLetsThroughFromBelow)
{
    for (i32 c = 0; c < 20; ++c)
        put<FullBlock>(c, 12);
    for (i32 c = 4; c < 8; ++c)
        put<ThroughBlock>(c, 9);
    Hiker* hiker = addHiker(90, 160);
    ASSERT_EQ(hiker->y + hiker->h, 192);
    hiker->intent = Controls(0, true);
    step();
    hiker->intent = Controls();
    hiker->velY = -9;  // a strong jump up through the platform
    i32 highest = hiker->y;
    for (int i = 0; i < 60; ++i) {
        step();
        highest = std::min(highest, hiker->y);
    }
    EXPECT_LT(highest + hiker->h, 144) << "passed up through the platform";
    EXPECT_EQ(hiker->y + hiker->h, 144) << "and landed on it";
}

TEST_F(TerrainWalkTest, HeroineRunsDownTheHillsideWithoutLeavingTheGround)
{
    buildHillside();
    Dahlia* dahlia = add(new Dahlia(40, 50, 0));
    step(12);
    ASSERT_EQ(dahlia->y + dahlia->h, 64);
    for (int i = 0; i < 40; ++i) {
        dahlia->setControls(Controls(1, false));
        step();
        EXPECT_GE(dahlia->y + dahlia->h, dahlia->floorLimit) << "airborne at x " << dahlia->x;
    }
    EXPECT_EQ(dahlia->y + dahlia->h, 128);
}

TEST_F(TerrainWalkTest, FactoryMakesTheHeroineForEveryPlayerIdAndTheSeatedPicture)
{
    std::unique_ptr<Physical> first(createObject(0, 100, 50));
    Dahlia* zero = dynamic_cast<Dahlia*>(first.get());
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->playerNo, 0);
    EXPECT_EQ(zero->x, 96);
    EXPECT_EQ(zero->y, 42);
    for (u16 id = 20; id <= 24; ++id) {
        std::unique_ptr<Physical> made(createObject(id, 0, 0));
        Dahlia* other = dynamic_cast<Dahlia*>(made.get());
        ASSERT_NE(other, nullptr) << "id " << id;
        EXPECT_EQ(other->playerNo, id - 19);
    }
    std::unique_ptr<Physical> seated(createObject(34, 100, 50));
    ASSERT_NE(dynamic_cast<Dahlia_Sit*>(seated.get()), nullptr);
    EXPECT_EQ(seated->x, 92);
}

} // namespace
