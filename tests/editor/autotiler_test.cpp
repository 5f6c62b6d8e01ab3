#include <gtest/gtest.h>

#include "core/draw.h"
#include "core/media.h"
#include "core/respack.h"
#include "editor/autotiler.h"
#include "editor/bitgrid.h"
#include "tests/support/sdl_env.h"
#include "world/level.h"

#include <utility>

namespace {

TEST(BitGridTest, KeepsOneBitPerCellAndAnswersOutsideCellsWithTheGivenValue)
{
    BitGrid grid(13, 5);  // 65 cells: the last byte holds a single cell
    grid.set(12, 4, true);
    grid.set(0, 0, true);
    grid.set(7, 0, true);
    grid.set(8, 0, true);
    for (i32 y = 0; y < 5; ++y) {
        for (i32 x = 0; x < 13; ++x) {
            bool expected = (x == 12 && y == 4) || (y == 0 && (x == 0 || x == 7 || x == 8));
            EXPECT_EQ(grid.get(x, y, false), expected) << x << "," << y;
        }
    }
    grid.set(7, 0, false);
    EXPECT_FALSE(grid.get(7, 0, true));
    EXPECT_TRUE(grid.get(8, 0, false));

    // Outside cells are never stored: none of these may touch the cells inside.
    grid.set(-1, 0, true);
    grid.set(13, 0, true);
    grid.set(0, 5, true);
    grid.set(40000, 0, true);
    EXPECT_TRUE(grid.get(-1, 0, true));
    EXPECT_FALSE(grid.get(-1, 0, false));
    EXPECT_FALSE(grid.get(13, 4, false));
    EXPECT_FALSE(grid.get(1, 0, false));
    EXPECT_FALSE(grid.get(0, 1, false));

    grid.clear();
    EXPECT_FALSE(grid.any());

    // A set cell is drawn as the picture at its own column and row.
    SDL_Surface* mark = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Surface* shown = SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 16, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(mark, nullptr, 0xFF);
    grid.set(3, 1, true);
    grid.draw(shown, 1, 2, nullptr, 4, 4);  // a picture that failed to load draws nothing
    grid.draw(shown, 1, 2, mark, 4, 4);
    int marked = 0;
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x < 32; ++x)
            marked += getPixel(shown, x, y) == 0xFFu;
    EXPECT_EQ(marked, 16);
    EXPECT_EQ(getPixel(shown, 1 + 3 * 4, 2 + 1 * 4), 0xFFu);
    SDL_FreeSurface(mark);
    SDL_FreeSurface(shown);
}

class AutotileTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
        level = std::make_unique<Level>(20, 15, 3, 1, "cytok");
    }
    void TearDown() override
    {
        level.reset();
        freeAllSurfaces();
        cleanupResourcePack();
        SdlTest::TearDown();
    }
    void mark(i32 x, i32 y) { marks.set(x, y, true); }
    // The tile of the group at (column, row) offset from a group corner at (3, 5).
    static u8 group(u8 h, u8 v) { return u8((5 + v) * 16 + 3 + h); }

    std::unique_ptr<Level> level;
    BitGrid marks{20, 15};
};

TEST_F(AutotileTest, ALoneCellTakesTheGroupCornerTile)
{
    mark(10, 7);
    autotile(*level, marks, 2, 3, 5);
    EXPECT_EQ(level->tileAt(10, 7, 2), group(0, 0));
    EXPECT_EQ(level->tileAt(10, 7, 1), 0);  // only the given layer
    EXPECT_FALSE(marks.any());
}

TEST_F(AutotileTest, ABlockBecomesCornersEdgesAndMiddle)
{
    for (i32 y = 4; y <= 6; ++y)
        for (i32 x = 8; x <= 10; ++x)
            mark(x, y);
    autotile(*level, marks, 1, 3, 5);
    const std::pair<u8, u8> expected[3][3] = {
        {{1, 1}, {2, 1}, {3, 1}},
        {{1, 2}, {2, 2}, {3, 2}},
        {{1, 3}, {2, 3}, {3, 3}},
    };
    for (i32 y = 0; y < 3; ++y)
        for (i32 x = 0; x < 3; ++x)
            EXPECT_EQ(level->tileAt(8 + x, 4 + y, 1), group(expected[y][x].first, expected[y][x].second))
                << x << "," << y;
    EXPECT_EQ(level->tileAt(7, 4, 1), 0);
    EXPECT_EQ(level->tileAt(11, 6, 1), 0);
}

TEST_F(AutotileTest, LinesAndEdgesOfTheLevelCountAsNeighbours)
{
    // A lone cell on the left edge has an outside neighbour on its left only.
    mark(0, 7);
    // A vertical line of three: top, middle, bottom in the single column.
    mark(15, 2);
    mark(15, 3);
    mark(15, 4);
    // Corner cells: outside neighbours right and below, or left and above.
    mark(19, 14);
    mark(0, 0);
    autotile(*level, marks, 1, 3, 5);
    EXPECT_EQ(level->tileAt(0, 7, 1), group(3, 0));
    EXPECT_EQ(level->tileAt(15, 2, 1), group(0, 1));
    EXPECT_EQ(level->tileAt(15, 3, 1), group(0, 2));
    EXPECT_EQ(level->tileAt(15, 4, 1), group(0, 3));
    EXPECT_EQ(level->tileAt(19, 14, 1), group(1, 1));
    EXPECT_EQ(level->tileAt(0, 0, 1), group(3, 3));
}

TEST_F(AutotileTest, NoMarksChangeNothing)
{
    level->setTile(4, 4, 1, 0x33);
    autotile(*level, marks, 1, 3, 5);
    EXPECT_EQ(level->tileAt(4, 4, 1), 0x33);
}

} // namespace
