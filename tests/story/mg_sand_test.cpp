#include "story/mg_sand.h"
#include "tests/story/story_fixture.h"

namespace {

class SandTest : public StoryTest {
protected:
    int countOf(u8 material) const
    {
        int n = 0;
        for (u8 c : sand.cells)
            n += c == material;
        return n;
    }
    // Every poured cell rests on the wall or on more poured material.
    bool pouredHasSettled() const
    {
        for (i32 y = 0; y < sand.height; ++y)
            for (i32 x = 0; x < sand.width; ++x)
                if (sand.cellAt(x, y) == MG_Sand::Poured && sand.cellAt(x, y + 1) == MG_Sand::Background)
                    return false;
        return true;
    }
    void tick(int frames = 1)
    {
        for (int i = 0; i < frames; ++i) {
            updateInput();
            sand.update();
        }
    }

    MG_Sand sand;
};

TEST_F(SandTest, StartsAsBackgroundInsideAWallTwoCellsThick)
{
    for (i32 y = 0; y < 120; ++y) {
        for (i32 x = 0; x < 120; ++x) {
            bool wall = x < 2 || y < 2 || x > 117 || y > 117;
            ASSERT_EQ(sand.cellAt(x, y), wall ? MG_Sand::Wall : MG_Sand::Background) << x << "," << y;
        }
    }
    EXPECT_EQ(sand.cellAt(-1, 5), MG_Sand::Background) << "outside reads as background";
    EXPECT_EQ(sand.cellAt(5, 120), MG_Sand::Background);
}

TEST_F(SandTest, PouringWithTheMouseFillsASixBySixSquare)
{
    fake_input::setMousePosition(60, 40);
    fake_input::holdMouseButton(1);
    updateInput();
    sand.update();
    EXPECT_EQ(countOf(MG_Sand::Poured), 36);
    fake_input::releaseMouseButton(1);
    tick();
    EXPECT_EQ(countOf(MG_Sand::Poured), 36);

    // Near a corner only the cells inside the grid are painted, walls included.
    fake_input::setMousePosition(1, 1);
    fake_input::holdMouseButton(1);
    tick();
    fake_input::releaseMouseButton(1);
    EXPECT_EQ(sand.cellAt(0, 0), MG_Sand::Poured);
    EXPECT_EQ(sand.cellAt(2, 2), MG_Sand::Poured);
    EXPECT_EQ(sand.cellAt(3, 3), MG_Sand::Background);
}

TEST_F(SandTest, PouredMaterialSinksToTheFloorWithoutLossAndNeverEntersWalls)
{
    for (i32 y = 20; y < 30; ++y)
        for (i32 x = 50; x < 60; ++x)
            sand.setCell(x, y, MG_Sand::Poured);
    const int walls = countOf(MG_Sand::Wall);
    tick(400);
    EXPECT_EQ(countOf(MG_Sand::Poured), 100);
    EXPECT_EQ(countOf(MG_Sand::Wall), walls);
    EXPECT_TRUE(pouredHasSettled());
    for (i32 x = 2; x < 118; ++x)
        EXPECT_NE(sand.cellAt(x, 20), MG_Sand::Poured) << "nothing stays up where it was poured";
}

TEST_F(SandTest, BackgroundNeverSinksThroughPouredMaterial)
{
    sand.setCell(60, 116, MG_Sand::Poured);
    sand.setCell(60, 117, MG_Sand::Poured);
    sand.parity = 1;
    sand.stepCell(60, 115);  // background above poured material
    EXPECT_EQ(sand.cellAt(60, 115), MG_Sand::Background);
    EXPECT_EQ(sand.cellAt(60, 116), MG_Sand::Poured);
}

TEST_F(SandTest, SpreadsSidewaysOnlyOnOddFrames)
{
    sand.setCell(60, 117, MG_Sand::Poured);
    sand.setCell(60, 116, MG_Sand::Poured);  // resting on the one below
    sand.parity = 0;
    sand.stepCell(60, 116);
    EXPECT_EQ(sand.cellAt(60, 116), MG_Sand::Poured) << "parity 0: both neighbours are the cell itself";
    sand.parity = 1;
    sand.stepCell(60, 116);
    EXPECT_EQ(sand.cellAt(60, 116), MG_Sand::Background);
    EXPECT_EQ(sand.cellAt(61, 116), MG_Sand::Poured) << "the right-hand neighbour is tried first";

    sand.setCell(59, 117, MG_Sand::Poured);
    sand.setCell(59, 116, MG_Sand::Poured);
    sand.setCell(60, 116, MG_Sand::Poured);  // right neighbour taken: goes left instead
    sand.stepCell(60, 116);
    EXPECT_EQ(sand.cellAt(60, 116), MG_Sand::Poured);
    sand.setCell(61, 116, MG_Sand::Wall);
    sand.setCell(59, 116, MG_Sand::Background);
    sand.stepCell(60, 116);
    EXPECT_EQ(sand.cellAt(59, 116), MG_Sand::Poured);
    EXPECT_EQ(sand.cellAt(60, 116), MG_Sand::Background);
}

TEST_F(SandTest, MaterialPaintedOverTheFloorFallsOutOfTheGrid)
{
    sand.setCell(40, 119, MG_Sand::Poured);
    sand.stepCell(40, 119);
    EXPECT_EQ(sand.cellAt(40, 119), MG_Sand::Background) << "lost below the grid";
    // A material that transforms turns in place.
    sand.materials[5] = {0xFF000000u, 0x00, 100, MG_Sand::Poured, 255};
    sand.setCell(10, 20, 5);
    for (int i = 0; i < 5 && sand.cellAt(10, 20) == 5; ++i)
        sand.stepCell(10, 20);
    EXPECT_EQ(sand.cellAt(10, 20), MG_Sand::Poured);
    EXPECT_EQ(countOf(MG_Sand::Poured), 1);
    sand.setCell(10, 20, MG_Sand::Background);

    // 24 cells: 12 painted over the floor rows, 12 above them.
    fake_input::setMousePosition(80, 119);
    fake_input::holdMouseButton(1);
    tick();
    fake_input::releaseMouseButton(1);
    tick(200);
    for (i32 y = 118; y < 120; ++y)
        for (i32 x = 77; x < 83; ++x)
            EXPECT_EQ(sand.cellAt(x, y), MG_Sand::Background) << "a hole in the floor: " << x << "," << y;
    EXPECT_LT(countOf(MG_Sand::Poured), 12) << "what was above the hole poured out through it";
}

TEST_F(SandTest, DrawsOnePixelPerCellAndABlackBandBesideIt)
{
    sand.setCell(10, 10, MG_Sand::Poured);
    SDL_FillRect(backBuffer, nullptr, Backdrop);
    sand.draw(backBuffer);
    EXPECT_EQ(pixel(0, 0), 0x505050u);
    EXPECT_EQ(pixel(5, 5), 0x60D0F0u);
    EXPECT_EQ(pixel(10, 10), 0x2050A0u);
    EXPECT_EQ(pixel(119, 119), 0x505050u);
    EXPECT_EQ(pixel(5, 120), Backdrop) << "below the grid is not drawn";
    EXPECT_EQ(pixel(120, 0), 0u);
    EXPECT_EQ(pixel(239, 239), 0u);
    EXPECT_EQ(pixel(240, 0), Backdrop);
    EXPECT_EQ(backBuffer->locked, 0u) << "a screen left locked takes no more blits";
}

} // namespace
