#include <gtest/gtest.h>

#include "world/terrain/terrainblocks.h"

namespace {

struct Mover : Physical {
    Mover(i32 x, i32 y, i32 w = 16, i32 h = 16) : Physical(0, x, y, w, h, 0) {}
};

const SDL_Rect NoSource = {0, 0, 16, 16};

// Runs one hit test and reports whether it answered true and what became of the limit.
struct Hit {
    bool set;
    i32 limit;
    bool operator==(const Hit& o) const { return set == o.set && limit == o.limit; }
};
std::ostream& operator<<(std::ostream& os, const Hit& h)
{
    return os << (h.set ? "set " : "kept ") << h.limit;
}

enum Test { Floor, Ceiling, WallLeft, WallRight };

Hit probe(Block& b, Test test, Mover&& m, i32 limit, bool onGround = false)
{
    bool set = false;
    switch (test) {
    case Floor:
        set = b.hitFloor(&m, &limit, onGround);
        break;
    case Ceiling:
        set = b.hitCeiling(&m, &limit, onGround);
        break;
    case WallLeft:
        set = b.hitWallLeft(&m, &limit, onGround);
        break;
    case WallRight:
        set = b.hitWallRight(&m, &limit, onGround);
        break;
    }
    return {set, limit};
}

} // namespace

TEST(TerrainBlocks, FlatBlockOnEverySide)
{
    FullBlock b(100, 100, -1, nullptr, NoSource);
    EXPECT_EQ(probe(b, Floor, Mover(100, 80), 200), (Hit{true, 100}));
    EXPECT_EQ(probe(b, Floor, Mover(100, 84), 100), (Hit{false, 100}));  // limit already at the top
    EXPECT_EQ(probe(b, Floor, Mover(100, 85), 200), (Hit{false, 200}));  // bottom below the top
    EXPECT_EQ(probe(b, Floor, Mover(84, 80), 200), (Hit{false, 200}));   // touching edges only
    EXPECT_EQ(probe(b, Floor, Mover(116, 80), 200), (Hit{false, 200}));
    EXPECT_EQ(probe(b, Floor, Mover(85, 80), 90), (Hit{false, 90}));     // never loosens

    EXPECT_EQ(probe(b, Ceiling, Mover(110, 116), 0), (Hit{true, 116}));
    EXPECT_EQ(probe(b, Ceiling, Mover(110, 115), 0), (Hit{false, 0}));
    EXPECT_EQ(probe(b, Ceiling, Mover(116, 130), 0), (Hit{false, 0}));

    EXPECT_EQ(probe(b, WallLeft, Mover(116, 100), 0), (Hit{true, 116}));
    EXPECT_EQ(probe(b, WallLeft, Mover(115, 100), 0), (Hit{false, 0}));
    EXPECT_EQ(probe(b, WallLeft, Mover(120, 116), 0), (Hit{false, 0}));   // no vertical overlap
    EXPECT_EQ(probe(b, WallRight, Mover(84, 90), 300), (Hit{true, 100}));
    EXPECT_EQ(probe(b, WallRight, Mover(85, 90), 300), (Hit{false, 300}));
    EXPECT_EQ(probe(b, WallRight, Mover(84, 84), 300), (Hit{false, 300}));
    EXPECT_EQ(b.slopeCode(), 0);
    EXPECT_TRUE(b.isSolid());
    EXPECT_EQ(b.typeFlags, u32(FlagBlock));
}

TEST(TerrainBlocks, PlatformHoldsOnlyFromAbove)
{
    ThroughBlock t(100, 100, -1, nullptr, NoSource);
    EXPECT_EQ(probe(t, Floor, Mover(100, 84), 100), (Hit{true, 100}));  // limit already at the top
    EXPECT_EQ(probe(t, Floor, Mover(100, 60), 99), (Hit{false, 99}));
    EXPECT_EQ(probe(t, Floor, Mover(100, 90), 200), (Hit{false, 200}));  // coming up from below
    EXPECT_EQ(probe(t, Ceiling, Mover(100, 116), 0), (Hit{false, 0}));
    EXPECT_EQ(probe(t, WallLeft, Mover(116, 100), 0), (Hit{false, 0}));
    EXPECT_EQ(probe(t, WallRight, Mover(84, 100), 300), (Hit{false, 300}));
    EXPECT_FALSE(t.isSolid());
}

TEST(TerrainBlocks, LeftSlopeFloorFollowsTheMoversLeftEdge)
{
    SlopeBlock_Left s(0, 100, -1, nullptr, NoSource);
    EXPECT_EQ(probe(s, Floor, Mover(5, 89), 200), (Hit{true, 105}));
    EXPECT_EQ(probe(s, Floor, Mover(5, 95), 200), (Hit{true, 105}));    // bottom 111: still caught
    EXPECT_EQ(probe(s, Floor, Mover(5, 96), 200), (Hit{false, 200}));   // bottom 112: not
    EXPECT_EQ(probe(s, Floor, Mover(-10, 80), 200), (Hit{true, 100}));  // left of the block: its top
    EXPECT_EQ(probe(s, Floor, Mover(5, 80), 105), (Hit{false, 105}));
    EXPECT_EQ(s.slopeCode(), 4);
}

TEST(TerrainBlocks, RightSlopeFloorFollowsTheMoversRightEdge)
{
    SlopeBlock_Right s(0, 100, -1, nullptr, NoSource);
    EXPECT_EQ(probe(s, Floor, Mover(-5, 80), 200), (Hit{true, 105}));  // right edge 11: 5 short
    EXPECT_EQ(probe(s, Floor, Mover(-5, 95), 200), (Hit{true, 105}));
    EXPECT_EQ(probe(s, Floor, Mover(-5, 96), 200), (Hit{false, 200}));
    EXPECT_EQ(probe(s, Floor, Mover(10, 80), 200), (Hit{true, 100}));
    EXPECT_EQ(s.slopeCode(), -4);
}

TEST(TerrainBlocks, SlopedFacesStopOnlyMoversInTheAir)
{
    SlopeBlock_Left l(0, 100, -1, nullptr, NoSource);
    // A mover right of the block whose bottom is 4 above the block's bottom: face at x = 12.
    EXPECT_EQ(probe(l, WallLeft, Mover(10, 96), -50, true), (Hit{false, -50}));
    EXPECT_EQ(probe(l, WallLeft, Mover(10, 96), -50, false), (Hit{true, 12}));
    EXPECT_EQ(probe(l, WallLeft, Mover(-9, 96, 16, 16), -50, false), (Hit{false, -50}));  // right edge 7 < 18
    EXPECT_EQ(probe(l, WallLeft, Mover(2, 96), -50, false), (Hit{true, 12}));              // right edge 18: caught
    EXPECT_EQ(probe(l, WallRight, Mover(-16, 100), 300), (Hit{true, 0}));                  // back is flat
    EXPECT_EQ(probe(l, Ceiling, Mover(0, 116), 0), (Hit{true, 116}));

    SlopeBlock_Right r(100, 100, -1, nullptr, NoSource);
    // From the left, bottom 4 above the block's bottom: face at x = 104.
    EXPECT_EQ(probe(r, WallRight, Mover(90, 96), 500, true), (Hit{false, 500}));
    EXPECT_EQ(probe(r, WallRight, Mover(90, 96), 500, false), (Hit{true, 104}));
    EXPECT_EQ(probe(r, WallRight, Mover(99, 96), 500, false), (Hit{false, 500}));
    EXPECT_EQ(probe(r, WallRight, Mover(98, 96), 500, false), (Hit{true, 104}));  // 6 short of the face: caught
    EXPECT_EQ(probe(r, WallLeft, Mover(116, 100), 0), (Hit{true, 116}));
}

TEST(TerrainBlocks, ScenerySpansATileAndStopsNothing)
{
    GraphicBlock g(32, 48, 10, nullptr, NoSource);
    EXPECT_EQ(g.typeFlags, u32(FlagScenery));
    EXPECT_EQ(g.left(), 32);
    EXPECT_EQ(g.right(), 48);
    EXPECT_EQ(g.bottom(), 64);
    EXPECT_EQ(g.depth, 10);
    EXPECT_EQ(probe(g, Floor, Mover(32, 20), 200), (Hit{false, 200}));
    EXPECT_EQ(probe(g, Ceiling, Mover(32, 70), 0), (Hit{false, 0}));
    EXPECT_TRUE(g.isSolid());
}
