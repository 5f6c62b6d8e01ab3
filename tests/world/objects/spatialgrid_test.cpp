#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "world/objects/spatialgrid.h"

TEST(SpatialGridTest, StartsAsEightBySixCellsAroundTheOrigin)
{
    SpatialGrid grid;
    EXPECT_EQ(grid.originX, -512);
    EXPECT_EQ(grid.originY, -384);
    EXPECT_NE(grid.cellAt(-512, -384), nullptr);
    EXPECT_NE(grid.cellAt(511, 383), nullptr);
    EXPECT_EQ(grid.cellAt(512, 0), nullptr);
    EXPECT_EQ(grid.cellAt(0, 384), nullptr);
    // Just left of or above the origin is outside, not in the first cell.
    EXPECT_EQ(grid.cellAt(-513, 0), nullptr);
    EXPECT_EQ(grid.cellAt(0, -385), nullptr);
    EXPECT_EQ(grid.cellAt(0, 0), grid.cellAt(127, 127));
    EXPECT_NE(grid.cellAt(0, 0), grid.cellAt(128, 0));
}

TEST(SpatialGridTest, GrowingOnTheLeftAndTopMovesTheOriginAndKeepsTheContents)
{
    SpatialGrid grid;
    Physical* marker = reinterpret_cast<Physical*>(&grid);
    grid.cellAt(300, 200)->lists[SpatialGrid::ListOthers].push_back(marker);

    grid.grow(-2, -1);
    EXPECT_EQ(grid.originX, -768);
    EXPECT_EQ(grid.originY, -512);
    EXPECT_EQ(grid.columns, 10u);
    EXPECT_EQ(grid.rows, 7u);
    ASSERT_EQ(grid.cellAt(300, 200)->lists[SpatialGrid::ListOthers].size(), 1u);
    EXPECT_EQ(grid.cellAt(300, 200)->lists[SpatialGrid::ListOthers][0], marker);

    grid.grow(1, 3);
    EXPECT_EQ(grid.originX, -768);
    EXPECT_EQ(grid.columns, 11u);
    EXPECT_EQ(grid.rows, 10u);
    EXPECT_EQ(grid.cellAt(300, 200)->lists[SpatialGrid::ListOthers].size(), 1u);
    EXPECT_NE(grid.cellAt(639, 767), nullptr);
}

TEST(SpatialGridTest, CoverGrowsJustEnough)
{
    SpatialGrid grid;
    grid.cover(-513, 0);
    EXPECT_EQ(grid.originX, -640);
    EXPECT_EQ(grid.columns, 9u);
    grid.cover(512, 384);
    EXPECT_EQ(grid.columns, 10u);
    EXPECT_EQ(grid.rows, 7u);
    EXPECT_NE(grid.cellAt(512, 384), nullptr);
    grid.cover(0, 0);
    EXPECT_EQ(grid.columns, 10u);
    EXPECT_EQ(grid.rows, 7u);
    grid.cover(-1000, -1000);
    EXPECT_NE(grid.cellAt(-1000, -1000), nullptr);
    EXPECT_EQ(grid.originY, -1024);
}

TEST(SpatialGridTest, SavesItsHeader)
{
    ScratchDir scratch;
    SpatialGrid grid;
    ASSERT_TRUE(grid.save("grid.bin"));
    EXPECT_EQ(readFile("grid.bin"), std::string("\x02\x00\x01\x10", 4));
    EXPECT_FALSE(grid.save("no-such-folder/grid.bin"));
}
