#include "tests/actors/actor_fixture.h"

#include "actors/chaser.h"
#include "actors/smart_actor.h"
#include "actors/surface_planner.h"
#include "world/terrain/terrainblocks.h"

#include <vector>

namespace {

using SmartActorTest = ActorWorld;

TEST_F(SmartActorTest, ReplaysEachEntryUntilItsEndFrameHasPassed)
{
    Smart_Actor actor(0, 0);
    EXPECT_EQ(actor.think().bits, 0);
    const Controls a(1, false);
    const Controls b(-1, true);
    actor.path = {{10, a}, {25, b}};
    std::vector<u8> replay;
    for (int i = 0; i < 30; ++i)
        replay.push_back(actor.think().bits);
    std::vector<u8> expected(11, a.bits);
    expected.insert(expected.end(), 15, b.bits);
    expected.insert(expected.end(), 4, 0);
    EXPECT_EQ(replay, expected);
    EXPECT_TRUE(actor.path.empty());
}

// A floor of four blocks from x 0 to 64 at y 100 with a block standing on it at x 32..48.
class SurfacePlannerTest : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        for (int i = 0; i < 4; ++i)
            add(new Wall(16 * i, 100, 16, 16));
        add(new Wall(32, 84, 16, 16));
        step();
    }
};

TEST_F(SurfacePlannerTest, FloorIsCutWhereTheBodyMeetsTheObstacleAndItsTopIsASpan)
{
    Chaser chaser(100, 40);  // an 8 x 24 body
    setProbeBody(chaser);
    EXPECT_EQ(probeHalfWidth, 4);
    EXPECT_EQ(probeHeight, 24);
    EXPECT_EQ(probeFootX, chaser.x + 4) << "the planner marks the middle of the feet";
    EXPECT_EQ(probeFootY, chaser.y + 24);
    std::set<SurfaceSpan> spans = findSurfaceSpans(world.get());
    std::vector<std::vector<i32>> found;
    for (const SurfaceSpan& span : spans)
        found.push_back({span.slope, span.intercept, span.x1, span.x2});
    std::vector<std::vector<i32>> expected = {{0, 84, 28, 52}, {0, 100, -4, 28}, {0, 100, 52, 68}};
    EXPECT_EQ(found, expected);
}

// Two-block ramps standing alone, for an 8 x 24 body (half width 4). A ramp falling to the right
// begins with a stand on the flat before its top and runs on half a body past its foot; a ramp
// rising to the right ends half a body short of its top, with a stand on the flat beyond it.
// One block more on that rise, with a wall (x 246..262) in the body's way at its far end, ends
// the ramp half a body into that block, with no stand; the wall's top is a span of its own.
// Two pixels further off the wall only meets the body past the block: half a body short, no stand.
TEST_F(SmartActorTest, RampsEndWithAStandOnTheFlatAtTheirTopAndReachOnPastTheirFoot)
{
    const SDL_Rect noCell = {0, 0, 16, 16};
    const struct {
        bool fallsRight; i32 wallX;  // wallX 0: no wall at the top
        std::vector<std::vector<i32>> records;  // slope, intercept, x1, x2
    } ramps[] = {{true, 0, {{4, -4, 104, 136}, {0, 100, 96, 104}}},
                 {false, 0, {{0, 100, 228, 236}, {-4, 328, 196, 228}}},
                 {false, 246, {{0, 40, 242, 266}, {-4, 328, 196, 236}}},
                 {false, 248, {{0, 40, 244, 268}, {-4, 328, 196, 244}}}};
    for (const auto& ramp : ramps) {
        world = std::make_unique<SystPhysical>();
        if (ramp.fallsRight) {
            add(new SlopeBlock_Left(100, 100, -1, nullptr, noCell));
            add(new SlopeBlock_Left(116, 116, -1, nullptr, noCell));
        } else {
            add(new SlopeBlock_Right(200, 116, -1, nullptr, noCell));
            add(new SlopeBlock_Right(216, 100, -1, nullptr, noCell));
        }
        if (ramp.wallX != 0) {
            add(new SlopeBlock_Right(232, 84, -1, nullptr, noCell));
            add(new Wall(ramp.wallX, 40, 16, 30));
        }
        step();
        Chaser chaser(100, 40);
        setProbeBody(chaser);
        std::vector<std::vector<i32>> found;
        for (const SurfaceSpan& span : findSurfaceSpans(world.get()))
            found.push_back({span.slope, span.intercept, span.x1, span.x2});
        EXPECT_EQ(found, ramp.records) << (ramp.fallsRight ? "falling" : "rising") << " to the right";
    }
}

// The blocks of a line are walked by their left edges, those sharing one in the order they
// joined: a longer block laid over a shorter one carries the span on to its own end.
TEST_F(SmartActorTest, BlocksFromTheSameLeftEdgeAreWalkedInTheOrderTheyJoined)
{
    add(new Wall(0, 100, 8, 16));
    add(new Wall(0, 100, 32, 16));
    step();
    setProbeBody(Chaser(100, 40));
    const std::set<SurfaceSpan> spans = findSurfaceSpans(world.get());
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans.begin()->x2, 36);
}

TEST_F(SurfacePlannerTest, ProbeIsBlockedOnlyWhereTerrainReachesIntoTheBody)
{
    Chaser chaser(100, 40);
    setProbeBody(chaser);
    EXPECT_FALSE(isProbeBlocked(world.get(), 12, 100));  // standing on the floor
    EXPECT_TRUE(isProbeBlocked(world.get(), 30, 100));   // shoulder against the obstacle
    EXPECT_FALSE(isProbeBlocked(world.get(), 40, 84));   // on top of it
}

// Each plan shows the picture and waits; keys other than Return do not end the wait.
TEST_F(SurfacePlannerTest, ChaserInViewWaitsForReturnEveryThirtyFrames)
{
    add(new Chaser(8, 88));
    alignFrame(30);
    modal_script::pushKey(SDLK_SPACE);
    modal_script::pushKey(SDLK_RETURN);
    modal_script::pushKey(SDLK_ESCAPE);
    step();
    EXPECT_EQ(modal_script::eventsServed(), 2);
    step(29);
    EXPECT_EQ(modal_script::eventsServed(), 2);
    modal_script::pushKey(SDLK_RETURN);
    step();
    EXPECT_EQ(modal_script::eventsServed(), 4);  // the leftover Escape, then Return
}

TEST_F(SurfacePlannerTest, TwoChasersInViewWaitTwiceInOneFrameAndOneOutOfViewNever)
{
    add(new Chaser(8, 88));
    add(new Chaser(56, 88));
    add(new Chaser(900, 88));
    alignFrame(30);
    modal_script::pushKey(SDLK_RETURN);
    modal_script::pushKey(SDLK_RETURN);
    step();
    EXPECT_EQ(modal_script::eventsServed(), 2);
}

TEST_F(SurfacePlannerTest, ChaserGetsNoPlanAndStandsWhereItLanded)
{
    Chaser* chaser = add(new Chaser(8, 60));  // above the floor's left block
    step(60);
    EXPECT_EQ(chaser->y + chaser->h, 100);
    EXPECT_EQ(chaser->x, 4);
    EXPECT_TRUE(chaser->path.empty());
}

TEST(SurfaceLines, QuotientsTruncateTowardZeroAndTheFootTakesItsCorner)
{
    const u16 savedHalfWidth = probeHalfWidth;
    probeHalfWidth = 4;
    EXPECT_EQ(lineY(-1, 100, 6), 99);   // -6 / 4 is -1, not -2
    EXPECT_EQ(lineY(3, 100, 6), 104);
    EXPECT_EQ(footY(0, 7, 50), 7);
    // Slopes of 0 and below take the left corner, x - 4.
    EXPECT_EQ(footY(-1, 100, 10), 99);  // -6 / 4
    EXPECT_EQ(footY(-4, 100, 10), 94);
    EXPECT_EQ(footY(-1, 0, 0), 1);
    // Other slopes take the right corner, x + 4.
    EXPECT_EQ(footY(1, 0, 0), 1);
    EXPECT_EQ(footY(1, 100, -10), 99);  // -6 / 4
    EXPECT_EQ(footY(2, 0, 1), 2);       // 10 / 4
    probeHalfWidth = savedHalfWidth;
}

} // namespace
