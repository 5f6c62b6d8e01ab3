#include <gtest/gtest.h>

#include "tests/support/sdl_env.h"

#include "core/draw.h"
#include "core/engine.h"

#include <set>
#include <utility>
#include <vector>

namespace {

constexpr u32 Blank = 0x000000;
constexpr u32 Key = 0xFF00FF;

SDL_Surface* makeSurface(int w, int h)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
}

// Every pixel of the pattern names its own position, so a test can tell where a pixel came from.
u32 tag(int x, int y)
{
    return 0x100000 | u32(y) << 8 | u32(x);
}

SDL_Surface* makePattern(int w, int h)
{
    SDL_Surface* s = makeSurface(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            putPixel(s, x, y, tag(x, y));
    return s;
}

using Points = std::set<std::pair<int, int>>;

Points pixelsOf(SDL_Surface* s, u32 colour)
{
    Points found;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            if (getPixel(s, x, y) == colour)
                found.insert({x, y});
    return found;
}

int countNot(SDL_Surface* s, u32 colour)
{
    return s->w * s->h - int(pixelsOf(s, colour).size());
}

class Draw : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        SDL_FillRect(backBuffer, nullptr, Blank);
        sprite = makePattern(16, 16);
    }
    void TearDown() override
    {
        SDL_FreeSurface(sprite);
        drawOffsetX = drawOffsetY = 0;
        SdlTest::TearDown();
    }
    SDL_Surface* sprite = nullptr;
};

TEST_F(Draw, BlitIsClippedOnEveryEdge)
{
    blitSurface(-5, 0, sprite, backBuffer, nullptr);
    EXPECT_EQ(getPixel(backBuffer, 0, 0), tag(5, 0));
    EXPECT_EQ(getPixel(backBuffer, 10, 15), tag(15, 15));
    EXPECT_EQ(getPixel(backBuffer, 11, 0), Blank);

    blitSurface(310, 100, sprite, backBuffer, nullptr);
    EXPECT_EQ(getPixel(backBuffer, 319, 100), tag(9, 0));
    blitSurface(100, -3, sprite, backBuffer, nullptr);
    EXPECT_EQ(getPixel(backBuffer, 100, 0), tag(0, 3));
    blitSurface(200, 236, sprite, backBuffer, nullptr);
    EXPECT_EQ(getPixel(backBuffer, 200, 239), tag(0, 3));
    EXPECT_EQ(countNot(backBuffer, Blank), 11 * 16 + 10 * 16 + 16 * 13 + 16 * 4);

    SDL_FillRect(backBuffer, nullptr, Blank);
    blitSurface(-16, 0, sprite, backBuffer, nullptr);
    blitSurface(320, 0, sprite, backBuffer, nullptr);
    blitSurface(0, 240, sprite, backBuffer, nullptr);
    blitSurface(0, -16, sprite, backBuffer, nullptr);
    EXPECT_EQ(countNot(backBuffer, Blank), 0);
}

TEST_F(Draw, BlitRectTakesPartOfTheImage)
{
    blitSurfaceRect(50, 60, sprite, backBuffer, 4, 5, 3, 2);
    EXPECT_EQ(getPixel(backBuffer, 50, 60), tag(4, 5));
    EXPECT_EQ(getPixel(backBuffer, 52, 61), tag(6, 6));
    EXPECT_EQ(countNot(backBuffer, Blank), 6);
}

TEST_F(Draw, NullSurfacesDrawNothing)
{
    SDL_Rect r = {0, 0, 8, 8};
    blitSurface(0, 0, nullptr, backBuffer, nullptr);
    blitSurface(0, 0, sprite, nullptr, nullptr);
    tileSurface(0, 0, nullptr, backBuffer, nullptr, true, true);
    blitSurfaceEx(0, 0, nullptr, backBuffer, true, true, nullptr, true, 1);
    blitSurfaceEx(0, 0, sprite, nullptr, true, false, &r, false, 1);
    scaleSurface(2, 2, nullptr, backBuffer);
    scaleSurface(2, 2, sprite, nullptr);
    fillRect(nullptr, 0, 0, 4, 4, 1);
    drawRectOutline(nullptr, 0, 0, 4, 4, 1);
    drawLine(0, 0, 5, 5, 1, nullptr);
    putPixel(nullptr, 0, 0, 1);
    EXPECT_EQ(getPixel(nullptr, 0, 0), 0u);
    tintRect(nullptr, &r, 1, 2, 3, 0);
    flipSurface(nullptr);
    thresholdSurface(nullptr, 1);
    embossSurface(nullptr, 1, 2, 3);
    fillParityPattern(nullptr);
    setColorKey(nullptr, true, 0, 0, 0);
    playSound(nullptr, 0);
    playMusic(nullptr, -1);
    EXPECT_EQ(countNot(backBuffer, Blank), 0);
    EXPECT_EQ(getPixel(sprite, 3, 3), tag(3, 3));
    EXPECT_EQ(getPixel(sprite, 16, 3), 0u) << "past the right edge is not the next row";
}

TEST_F(Draw, EveryPrimitiveKeepsInsideTheClipRectangle)
{
    SDL_Rect clip = {100, 100, 20, 10};
    SDL_SetClipRect(backBuffer, &clip);
    SDL_Surface* small = makePattern(100, 80);
    blitSurface(90, 90, sprite, backBuffer, nullptr);
    blitSurfaceEx(110, 95, sprite, backBuffer, true, true, nullptr, false, 0);
    tileSurface(0, 0, sprite, backBuffer, nullptr, true, true);
    fillRect(backBuffer, 0, 0, 320, 240, 0x123456);
    drawLine(0, 0, 319, 239, 0x654321, backBuffer);
    drawRectOutline(backBuffer, 95, 95, 30, 20, 0x111111);
    putPixel(backBuffer, 5, 5, 0x222222);
    scaleSurface(3, 3, small, backBuffer);
    SDL_Rect tint = {0, 0, 320, 240};
    tintRect(backBuffer, &tint, 255, 255, 255, 0);
    EXPECT_TRUE(pointInClip(backBuffer, 100, 100));
    EXPECT_TRUE(pointInClip(backBuffer, 119, 109));
    EXPECT_FALSE(pointInClip(backBuffer, 120, 105));
    EXPECT_FALSE(pointInClip(backBuffer, 110, 110));
    EXPECT_FALSE(pointInClip(backBuffer, 99, 105));
    EXPECT_FALSE(pointInClip(backBuffer, 110, 99));
    EXPECT_FALSE(pointInClip(nullptr, 0, 0));
    SDL_SetClipRect(backBuffer, nullptr);
    for (auto [x, y] : pixelsOf(backBuffer, Blank))
        EXPECT_FALSE(x >= 100 && x < 120 && y >= 100 && y < 110) << x << "," << y;
    EXPECT_EQ(countNot(backBuffer, Blank), 200);
    EXPECT_EQ(tint.x, 100);
    EXPECT_EQ(tint.w, 20);
    SDL_FreeSurface(small);
}

TEST_F(Draw, MirroredBlitStickingOutOnTheRightShowsTheSourceRightPart)
{
    blitSurfaceEx(308, 0, sprite, backBuffer, true, false, nullptr, false, 0);
    EXPECT_EQ(getPixel(backBuffer, 308, 0), tag(15, 0));
    EXPECT_EQ(getPixel(backBuffer, 319, 7), tag(4, 7));
    EXPECT_EQ(countNot(backBuffer, Blank), 12 * 16);
}

TEST_F(Draw, MirroredBlitStickingOutOnTheLeftAndTop)
{
    blitSurfaceEx(-4, -2, sprite, backBuffer, true, true, nullptr, false, 0);
    EXPECT_EQ(getPixel(backBuffer, 0, 0), tag(11, 13));
    EXPECT_EQ(getPixel(backBuffer, 11, 13), tag(0, 0));
    EXPECT_EQ(countNot(backBuffer, Blank), 12 * 14);

    SDL_FillRect(backBuffer, nullptr, Blank);
    blitSurfaceEx(50, 230, sprite, backBuffer, false, true, nullptr, false, 0);
    EXPECT_EQ(getPixel(backBuffer, 50, 230), tag(0, 15));
    EXPECT_EQ(getPixel(backBuffer, 50, 239), tag(0, 6));
    EXPECT_EQ(countNot(backBuffer, Blank), 16 * 10);
}

TEST_F(Draw, MirroredBlitNeverReadsOutsideTheSourceImage)
{
    SDL_Rect r = {8, -4, 16, 16};
    blitSurfaceEx(100, 100, sprite, backBuffer, true, false, &r, false, 0);
    // Source columns 8..15 exist and land mirrored on the block's right half; rows -4..-1 do not.
    EXPECT_EQ(getPixel(backBuffer, 115, 104), tag(8, 0));
    EXPECT_EQ(getPixel(backBuffer, 108, 115), tag(15, 11));
    EXPECT_EQ(countNot(backBuffer, Blank), 8 * 12);
}

TEST_F(Draw, ColourKeyAndSilhouettes)
{
    for (int y = 0; y < 16; ++y)
        putPixel(sprite, 0, y, Key);
    setColorKey(sprite, true, 255, 0, 255);
    blitSurfaceEx(0, 0, sprite, backBuffer, true, false, nullptr, false, 0);
    EXPECT_EQ(getPixel(backBuffer, 15, 3), Blank);
    EXPECT_EQ(getPixel(backBuffer, 14, 3), tag(1, 3));

    SDL_FillRect(backBuffer, nullptr, Blank);
    blitSurfaceEx(0, 0, sprite, backBuffer, false, false, nullptr, true, 0xFFFFFF);
    EXPECT_EQ(getPixel(backBuffer, 0, 5), Blank);
    EXPECT_EQ(pixelsOf(backBuffer, 0xFFFFFF).size(), 15u * 16u);

    SDL_FillRect(backBuffer, nullptr, Blank);
    setColorKey(sprite, false, 0, 0, 0);
    blitSurfaceEx(-6, 230, sprite, backBuffer, false, false, nullptr, true, 0xABCDEF);
    EXPECT_EQ(pixelsOf(backBuffer, 0xABCDEF).size(), 10u * 10u);
}

TEST_F(Draw, StretchMakesBlocksAndStaysInsideBothSurfaces)
{
    SDL_Surface* src = makePattern(4, 3);
    SDL_Surface* big = makeSurface(20, 20);
    SDL_FillRect(big, nullptr, Blank);
    scaleSurface(2, 3, src, big);
    EXPECT_EQ(getPixel(big, 0, 0), tag(0, 0));
    EXPECT_EQ(getPixel(big, 1, 2), tag(0, 0));
    EXPECT_EQ(getPixel(big, 7, 8), tag(3, 2));
    EXPECT_EQ(getPixel(big, 2, 3), tag(1, 1));
    EXPECT_EQ(countNot(big, Blank), 8 * 9);

    SDL_Surface* tiny = makeSurface(5, 4);
    SDL_FillRect(tiny, nullptr, Blank);
    scaleSurface(5, 5, src, tiny);
    EXPECT_EQ(getPixel(tiny, 4, 3), tag(0, 0));
    EXPECT_EQ(countNot(tiny, Blank), 20);

    scaleSurface(0, 2, src, big);
    SDL_FreeSurface(src);
    SDL_FreeSurface(big);
    SDL_FreeSurface(tiny);
}

TEST_F(Draw, StretchMatchesThePixelRuleAtEveryScale)
{
    SDL_Surface* src = makePattern(13, 7);
    for (u32 scale = 1; scale <= 6; ++scale) {
        SDL_Surface* dst = makeSurface(13 * scale, 7 * scale);
        SDL_FillRect(dst, nullptr, Blank);
        SDL_Rect clip = {3, 1, u16(13 * scale - 4), u16(7 * scale - 1)};
        SDL_SetClipRect(dst, &clip);
        scaleSurface(scale, scale, src, dst);
        for (int y = 0; y < dst->h; ++y)
            for (int x = 0; x < dst->w; ++x) {
                bool inside = x >= 3 && x < 13 * int(scale) - 1 && y >= 1;
                EXPECT_EQ(getPixel(dst, x, y), inside ? tag(x / scale, y / scale) : Blank)
                    << "scale " << scale << " at " << x << "," << y;
            }
        SDL_FreeSurface(dst);
    }
    SDL_FreeSurface(src);
}

TEST_F(Draw, RowsAreAddressedByPitch)
{
    // A 3-pixel-wide surface whose rows are 5 words apart.
    std::vector<u32> memory(5 * 4, 0xEEEEEE);
    SDL_Surface* padded =
        SDL_CreateRGBSurfaceFrom(memory.data(), 3, 4, 32, 20, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Surface* src = makePattern(3, 2);
    scaleSurface(1, 2, src, padded);
    EXPECT_EQ(memory[5 * 3 + 2], tag(2, 1));
    EXPECT_EQ(memory[3], 0xEEEEEEu);
    drawLine(0, 3, 2, 3, 0x42, padded);
    EXPECT_EQ(memory[15], 0x42u);
    EXPECT_EQ(memory[19], 0xEEEEEEu);
    blitSurfaceEx(0, 0, src, padded, true, false, nullptr, false, 0);
    EXPECT_EQ(memory[5], tag(2, 1));
    SDL_FreeSurface(src);
    SDL_FreeSurface(padded);
}

TEST_F(Draw, LinePixelSets)
{
    drawLine(0, 0, 3, 3, 7, backBuffer);
    EXPECT_EQ(pixelsOf(backBuffer, 7), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    drawLine(3, 0, 0, 0, 8, backBuffer);
    EXPECT_EQ(pixelsOf(backBuffer, 8), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    drawLine(10, 10, 12, 16, 9, backBuffer);  // steep: x grows by 1/3 per row
    EXPECT_EQ(pixelsOf(backBuffer, 9),
              (Points{{10, 10}, {10, 11}, {10, 12}, {11, 13}, {11, 14}, {11, 15}, {12, 16}}));
    drawLine(-2, 100, 2, 100, 10, backBuffer);
    EXPECT_EQ(pixelsOf(backBuffer, 10), (Points{{0, 100}, {1, 100}, {2, 100}}));
    drawLine(315, 50, 325, 50, 11, backBuffer);
    EXPECT_EQ(pixelsOf(backBuffer, 11).size(), 5u);
    drawLine(400, 400, 400, 400, 12, backBuffer);
    EXPECT_EQ(pixelsOf(backBuffer, 12).size(), 0u);
    // Above the top the running y is negative: -0.5 truncates toward zero onto row 0.
    drawLine(0, -2, 6, 1, 13, backBuffer);
    EXPECT_EQ(pixelsOf(backBuffer, 13), (Points{{3, 0}, {4, 0}, {5, 0}, {6, 1}}));
}

TEST_F(Draw, LongShallowLineDoesNotDrift)
{
    drawLine(0, 0, 300, 100, 5, backBuffer);
    Points line = pixelsOf(backBuffer, 5);
    EXPECT_EQ(line.size(), 301u);
    for (int x = 0; x <= 300; ++x)
        EXPECT_TRUE(line.count({x, x / 3})) << x;
}

TEST_F(Draw, RectOutline)
{
    drawRectOutline(backBuffer, 10, 10, 0, 0, 3);
    EXPECT_EQ(pixelsOf(backBuffer, 3), (Points{{10, 10}}));
    drawRectOutline(backBuffer, 20, 20, 4, 2, 4);
    Points box = pixelsOf(backBuffer, 4);
    EXPECT_EQ(box.size(), 5u * 2 + 1u * 2);
    EXPECT_TRUE(box.count({24, 22}));
    EXPECT_FALSE(box.count({22, 21}));
}

TEST_F(Draw, TintAveragesAndClipsTheCallersRectangle)
{
    SDL_FillRect(backBuffer, nullptr, 0xFF10FF01);
    SDL_Rect r = {310, -5, 20, 10};
    tintRect(backBuffer, &r, 0x21, 0xFF, 0x00, 0);
    EXPECT_EQ(r.x, 310);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.w, 10);
    EXPECT_EQ(r.h, 5);
    EXPECT_EQ(getPixel(backBuffer, 319, 4), 0x0018FF00u);
    EXPECT_EQ(getPixel(backBuffer, 309, 4), 0xFF10FF01u);
    EXPECT_EQ(getPixel(backBuffer, 319, 5), 0xFF10FF01u);

    SDL_Rect other = {0, 0, 4, 4};
    tintRect(backBuffer, &other, 0, 0, 0, 2);
    EXPECT_EQ(getPixel(backBuffer, 0, 0), 0xFF10FF01u);
    tintRect(backBuffer, &other, 0, 0, 0, 1);
    EXPECT_EQ(getPixel(backBuffer, 0, 0), 0x00087F00u);
}

TEST_F(Draw, TilingCoversTheSurface)
{
    SDL_Surface* tile = makePattern(64, 64);
    tileSurface(0, 0, tile, backBuffer, nullptr, true, true);
    EXPECT_EQ(getPixel(backBuffer, 256, 192), tag(0, 0));
    EXPECT_EQ(getPixel(backBuffer, 319, 239), tag(63, 47));
    EXPECT_EQ(countNot(backBuffer, Blank), 320 * 240);

    SDL_FillRect(backBuffer, nullptr, Blank);
    tileSurface(-70, 20, tile, backBuffer, nullptr, true, false);
    EXPECT_EQ(getPixel(backBuffer, 0, 20), tag(6, 0));
    EXPECT_EQ(getPixel(backBuffer, 58, 20), tag(0, 0));
    EXPECT_EQ(countNot(backBuffer, Blank), 320 * 64);

    SDL_FillRect(backBuffer, nullptr, Blank);
    SDL_Rect empty = {0, 0, 0, 8};
    tileSurface(0, 0, tile, backBuffer, &empty, true, true);
    EXPECT_EQ(countNot(backBuffer, Blank), 0);
    SDL_FreeSurface(tile);
}

TEST_F(Draw, OffsetWrappersAddTheScreenOffset)
{
    drawOffsetX = -100;
    drawOffsetY = -50;
    blitSurfaceOffset(110, 60, sprite, backBuffer, nullptr);
    EXPECT_EQ(getPixel(backBuffer, 10, 10), tag(0, 0));
    fillRectOffset(backBuffer, 100, 50, 1, 1, 0x77);
    EXPECT_EQ(getPixel(backBuffer, 0, 0), 0x77u);
    drawLineOffset(100, 60, 103, 60, 0x78, backBuffer);
    EXPECT_EQ(pixelsOf(backBuffer, 0x78).size(), 4u);
    blitSurfaceExOffset(400, 200, sprite, backBuffer, true, false, nullptr, false, 0);
    EXPECT_EQ(getPixel(backBuffer, 300, 150), tag(15, 0));

    // A position far outside the 16-bit range must not wrap round onto the screen.
    SDL_FillRect(backBuffer, nullptr, Blank);
    drawOffsetX = 65536;
    drawOffsetY = 0;
    blitSurfaceOffset(10, 10, sprite, backBuffer, nullptr);
    EXPECT_EQ(countNot(backBuffer, Blank), 0);
}

TEST_F(Draw, PixelFiltersStayOnTheirSurface)
{
    SDL_Surface* s = makePattern(3, 2);
    flipSurface(s);
    EXPECT_EQ(getPixel(s, 0, 0), tag(2, 1));
    EXPECT_EQ(getPixel(s, 2, 1), tag(0, 0));

    putPixel(s, 0, 0, 0x7F7F7F7F);
    putPixel(s, 1, 0, 0x7E7E7E7E);
    thresholdSurface(s, 0x55);
    EXPECT_EQ(getPixel(s, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(getPixel(s, 1, 0), 0x55u);

    putPixel(s, 0, 0, 0x101010);
    putPixel(s, 0, 1, 0x101010);  // straight below is equal: only the pixel below-right counts
    putPixel(s, 1, 1, 0x202020);
    putPixel(s, 1, 0, 0x202020);
    putPixel(s, 2, 1, 0x202020);
    embossSurface(s, 1, 2, 3);
    EXPECT_EQ(getPixel(s, 0, 0), 1u);
    EXPECT_EQ(getPixel(s, 1, 0), 2u);
    EXPECT_EQ(getPixel(s, 2, 0), 2u);
    EXPECT_EQ(getPixel(s, 0, 1), 2u);

    fillParityPattern(backBuffer);
    EXPECT_EQ(getPixel(backBuffer, 0, 0), 0u);
    EXPECT_EQ(getPixel(backBuffer, 7, 0), 0xFFFFFFFFu);
    EXPECT_EQ(getPixel(backBuffer, 0, 1), 0xFFFFFFFFu);  // 512 has one bit set
    fillParityPattern(s);
    EXPECT_EQ(getPixel(s, 1, 0), 0xFFFFFFFFu);
    SDL_FreeSurface(s);
}

TEST_F(Draw, WaitForQuitOrReturnUsesUpTheEndingEvent)
{
    modal_script::pushKey(SDLK_a);
    modal_script::pushKey(SDLK_RETURN);
    modal_script::pushKey(SDLK_b);
    waitForQuitOrReturn();
    EXPECT_EQ(modal_script::eventsServed(), 2);

    modal_script::install();
    modal_script::pushQuit();
    modal_script::pushKey(SDLK_RETURN);
    waitForQuitOrReturn();
    EXPECT_EQ(modal_script::eventsServed(), 1);
}

TEST(DrawHelpers, ClipToRectAndByteHelpers)
{
    SDL_Rect clip = {0, 0, 320, 240};
    SDL_Rect r = {4, 4, 16, 16};
    i16 x = -5, y = 230;
    clipToRect(&x, &y, &r, &clip);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 230);
    EXPECT_EQ(r.x, 9);
    EXPECT_EQ(r.y, 4);
    EXPECT_EQ(r.w, 11);
    EXPECT_EQ(r.h, 10);
    EXPECT_EQ(swapBytes32(0x11223344), 0x44332211u);
    u32 packed = packRGBA(1, 2, 3, 4);
    EXPECT_EQ(reinterpret_cast<u8*>(&packed)[2], 3);
}

TEST(DrawHelpers, DebugPauseWritesItsTextWithoutALineBreak)
{
    testing::internal::CaptureStdout();
    debugPause("halt at 3");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "halt at 3");
}

} // namespace
