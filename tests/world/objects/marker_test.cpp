#include <gtest/gtest.h>

#include "world/interfaces.h"
#include "world/objects/marker.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

#include <string>
#include <vector>

namespace {

// A block that records every hit test it is asked (with the probe's box at that moment) and
// answers them as scripted.
class SpyBlock : public PhysicalBlock {
public:
    struct Call {
        std::string test;
        i32 x, y, limit;
        bool onGround;
    };
    struct Answer {
        bool hit = false;
        i32 limit = 0;
    };

    SpyBlock(i32 x, i32 y, i32 w, i32 h) : PhysicalBlock(FlagBlock, x, y, w, h, 0) {}

    bool hitFloor(Physical* m, i32* limit, bool onGround) override { return ask("floor", floor, m, limit, onGround); }
    bool hitCeiling(Physical* m, i32* limit, bool onGround) override
    {
        return ask("ceiling", ceiling, m, limit, onGround);
    }
    bool hitWallLeft(Physical* m, i32* limit, bool onGround) override
    {
        return ask("wallLeft", wallLeft, m, limit, onGround);
    }
    bool hitWallRight(Physical* m, i32* limit, bool onGround) override
    {
        return ask("wallRight", wallRight, m, limit, onGround);
    }

    std::vector<Call> calls;
    Answer floor, ceiling, wallLeft, wallRight;

private:
    bool ask(const char* test, const Answer& answer, Physical* m, i32* limit, bool onGround)
    {
        calls.push_back({test, m->x, m->y, *limit, onGround});
        if (answer.hit)
            *limit = answer.limit;
        return answer.hit;
    }
};

class MarkerTest : public ::testing::Test {
protected:
    SpyBlock* addBlock(i32 x, i32 y, i32 w, i32 h)
    {
        auto* b = new SpyBlock(x, y, w, h);
        sys.add(b);
        sys.update();
        return b;
    }

    SystPhysical sys;
    Marker marker;
};

} // namespace

TEST_F(MarkerTest, ProbesAnOverlappingBlockFromAllFourSidesAndPutsTheBoxBack)
{
    SpyBlock* block = addBlock(0, 0, 64, 64);
    marker.setBox(10, 20, 8, 6);

    EXPECT_FALSE(marker.isBlocked(&sys, true));

    // From above with the box lifted by its height, from below dropped by it, then from the
    // left and right shifted by its width; each limit starts at the box's own edge.
    ASSERT_EQ(block->calls.size(), 4u);
    EXPECT_EQ(block->calls[0].test, "floor");
    EXPECT_EQ(block->calls[0].x, 10);
    EXPECT_EQ(block->calls[0].y, 14);
    EXPECT_EQ(block->calls[0].limit, 26);
    EXPECT_EQ(block->calls[1].test, "ceiling");
    EXPECT_EQ(block->calls[1].y, 26);
    EXPECT_EQ(block->calls[1].limit, 20);
    EXPECT_EQ(block->calls[2].test, "wallRight");
    EXPECT_EQ(block->calls[2].x, 2);
    EXPECT_EQ(block->calls[2].y, 20);
    EXPECT_EQ(block->calls[2].limit, 18);
    EXPECT_EQ(block->calls[3].test, "wallLeft");
    EXPECT_EQ(block->calls[3].x, 18);
    EXPECT_EQ(block->calls[3].limit, 10);
    for (const auto& call : block->calls)
        EXPECT_TRUE(call.onGround);

    EXPECT_EQ(marker.x, 10);
    EXPECT_EQ(marker.y, 20);
    EXPECT_EQ(marker.w, 8);
    EXPECT_EQ(marker.h, 6);
}

TEST_F(MarkerTest, BlocksOnlyWhenALimitCutsIntoTheBox)
{
    SpyBlock* block = addBlock(0, 0, 64, 64);
    marker.setBox(10, 20, 8, 6);

    // A floor exactly at the box's bottom, a ceiling at its top, walls at its sides: touching,
    // not in the way.
    block->floor = {true, 26};
    block->ceiling = {true, 20};
    block->wallRight = {true, 18};
    block->wallLeft = {true, 10};
    EXPECT_FALSE(marker.isBlocked(&sys, false));

    block->floor = {true, 25};
    EXPECT_TRUE(marker.isBlocked(&sys, false));
    block->floor = {false, 0};
    block->ceiling = {true, 21};
    EXPECT_TRUE(marker.isBlocked(&sys, false));
    block->ceiling = {false, 0};
    block->wallRight = {true, 17};
    EXPECT_TRUE(marker.isBlocked(&sys, false));
    block->wallRight = {false, 0};
    block->wallLeft = {true, 11};
    EXPECT_TRUE(marker.isBlocked(&sys, false));

    // A limit that cuts in but is not reported as set does not count.
    block->wallLeft = {false, 11};
    EXPECT_FALSE(marker.isBlocked(&sys, false));
    EXPECT_EQ(marker.x, 10);
    EXPECT_EQ(marker.y, 20);
}

TEST_F(MarkerTest, IgnoresBlocksThatOnlyTouchTheBox)
{
    // Blocks whose edge lies on the box's right, bottom, left and top edge.
    SpyBlock* touching[] = {addBlock(18, 20, 16, 16), addBlock(10, 26, 16, 16), addBlock(-6, 20, 16, 16),
                            addBlock(10, 4, 16, 16)};
    for (SpyBlock* block : touching)
        block->floor = block->ceiling = block->wallLeft = block->wallRight = {true, 0};
    marker.setBox(10, 20, 8, 6);

    EXPECT_FALSE(marker.isBlocked(&sys, true));
    for (SpyBlock* block : touching)
        EXPECT_TRUE(block->calls.empty()) << block->x << "," << block->y;
}

TEST_F(MarkerTest, AnEmptyWorldBlocksNothing)
{
    marker.setBox(-5, -5, 10, 10);
    EXPECT_FALSE(marker.isBlocked(&sys, true));
}

namespace {

SDL_Rect tile()
{
    return SDL_Rect{0, 0, 16, 16};
}

} // namespace

TEST_F(MarkerTest, OneWayPlatformBlocksOnlyABoxLyingOnIt)
{
    sys.add(new ThroughBlock(0, 100, -1, nullptr, tile()));
    sys.update();

    marker.setBox(0, 95, 16, 10);  // reaches 5 pixels into the platform from above
    EXPECT_TRUE(marker.isBlocked(&sys, true));
    marker.setBox(0, 110, 16, 10);  // reaches into it from below
    EXPECT_FALSE(marker.isBlocked(&sys, true));
}

TEST_F(MarkerTest, SolidBlockBlocksFromEverySideAndSlopesOnlyBelowTheirSurface)
{
    sys.add(new FullBlock(0, 100, -1, nullptr, tile()));
    sys.add(new SlopeBlock_Left(64, 100, -1, nullptr, tile()));  // surface from (64, 100) to (80, 116)
    sys.update();

    marker.setBox(10, 110, 16, 16);  // overlapping the solid block's lower right corner
    EXPECT_TRUE(marker.isBlocked(&sys, false));

    marker.setBox(72, 96, 8, 8);  // above the slope's surface at x 72 (y 108)
    EXPECT_FALSE(marker.isBlocked(&sys, true));
    marker.setBox(66, 96, 8, 8);  // the surface at x 66 is at 102, inside the box
    EXPECT_TRUE(marker.isBlocked(&sys, true));
}
