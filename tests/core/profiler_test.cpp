#include <gtest/gtest.h>

#include "tests/core/scratch_resources.h"
#include "tests/support/font_sheets.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "core/respack.h"

namespace {

using namespace font_sheets;

class Profiler : public ScratchResources {
protected:
    void SetUp() override
    {
        ScratchResources::SetUp();
        writeAllSheets();
        scaleX = scaleY = 2;
        window = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        SDL_FillRect(window, nullptr, 0x0000FF);
    }
    void TearDown() override
    {
        SDL_FreeSurface(window);
        ScratchResources::TearDown();
    }
    u32 at(int x, int y) { return getPixel(window, x, y); }
    SDL_Surface* window = nullptr;
};

TEST_F(Profiler, GraphScrollsAlongTheBottomAndTextSitsTopRight)
{
    // Period 33, 20 ms used, total 10 ms: used marker at row 50 - 20*50/33 = 20, total share
    // 30.3 % at row 50 - 15 = 35.
    drawProfiler(window, 10, 4, 3, 2, 1, 0, 33, 13);
    const int top = 430;
    EXPECT_EQ(at(639, top), 0xFF0000u);
    EXPECT_EQ(at(639, top + 49), 0xFF0000u);
    EXPECT_EQ(at(639, top + 20), 0x000000u);
    EXPECT_EQ(at(639, top + 19), 0xFFFFFFu);
    EXPECT_EQ(at(639, top + 21), 0xFFFFFFu);
    EXPECT_EQ(at(639, top + 35), 0x333333u);
    EXPECT_EQ(at(639, top + 34), 0xAAAAAAu);
    EXPECT_EQ(at(639, top + 10), 0x0000FFu);  // the grey is transparent
    EXPECT_EQ(at(638, top), 0x0000FFu);
    EXPECT_EQ(at(400, 0), largeGlyphPixel(LargeIce, 'D'));
    EXPECT_EQ(at(0, top), largeGlyphPixel(LargeIce, 'O'));
    EXPECT_EQ(at(639, 99), 0u);  // the text area was cleared

    // Over the period the whole new column turns red; the old one moves left.
    drawProfiler(window, 2000, 4, 3, 2, 1, 0, 33, 0);
    EXPECT_EQ(at(638, top + 20), 0x000000u);
    EXPECT_EQ(at(639, top + 10), 0xFF0000u);
    EXPECT_EQ(at(639, top + 0), 0x000000u);  // the whole period used: marker over the red edge
    EXPECT_EQ(at(639, top + 1), 0xFFFFFFu);

    drawProfiler(nullptr, 1, 1, 1, 1, 1, 1, 33, 0);
    drawProfiler(window, 1, 1, 1, 1, 1, 1, 0, 0);
}

} // namespace
