#include "story/tip.h"
#include "tests/story/overlay_fixture.h"

#include "core/font.h"

#include <string>
#include <vector>

namespace {

constexpr u32 White = 0xFFFFFFu;

class TipTest : public OverlayTest {
protected:
    // The tip is on screen when its white frame is.
    bool frameVisible()
    {
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (pixel(x, y) == White)
                    return true;
        return false;
    }
    // The top row of the frame, or -1 when no frame is drawn.
    int frameTop()
    {
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (pixel(x, y) == White)
                    return y;
        return -1;
    }
    // The leftmost and rightmost white pixels of a row.
    std::pair<int, int> rowExtent(int y)
    {
        int left = -1, right = -1;
        for (int x = 0; x < 320; ++x) {
            if (pixel(x, y) == White) {
                if (left < 0)
                    left = x;
                right = x;
            }
        }
        return {left, right};
    }
};

} // namespace

TEST_F(TipTest, RisesEightPixelsShowingOnlyOnEvenSlides)
{
    queueSystemAdd(new Tip(160, 100, 180, u"Hello"));
    frame();  // joins and is drawn before its first update
    std::vector<int> tops;
    tops.push_back(frameTop());
    for (int i = 0; i < 10; ++i) {
        frame();
        tops.push_back(frameTop());
    }
    // Text row 97, box from two rows above it; first 8 pixels low, then rising 2 every second frame.
    EXPECT_EQ(tops, (std::vector<int>{103, -1, 101, -1, 99, -1, 97, -1, 95, 95, 95}));
}

TEST_F(TipTest, BlinksInItsLastUpdatesAndGoesAfterTheLast)
{
    queueSystemAdd(new Tip(160, 100, 180, u"Blink"));
    frame();
    const int systems = activeSystemCount();
    frame(180 - 46);  // life 46 left
    std::vector<bool> shown;
    for (int life = 46; life >= 1; --life) {
        shown.push_back(frameVisible());
        frame();
    }
    // Lives 46..37 and 5..1: steady above 44, then two frames on and two off.
    std::vector<bool> head(shown.begin(), shown.begin() + 10);
    std::vector<bool> tail(shown.end() - 5, shown.end());
    EXPECT_EQ(head, (std::vector<bool>{true, true, true, false, false, true, true, false, false, true}));
    EXPECT_EQ(tail, (std::vector<bool>{true, true, false, false, true}));
    // That last frame ran the 180th update: the tip is gone and was not drawn.
    EXPECT_EQ(activeSystemCount(), systems - 1);
    EXPECT_FALSE(frameVisible());
}

TEST_F(TipTest, ATipWithNoLifeGoesAtItsFirstUpdate)
{
    queueSystemAdd(new Tip(160, 100, 0, u"gone"));
    frame();
    const int systems = activeSystemCount();
    frame();
    EXPECT_EQ(activeSystemCount(), systems - 1);
}

TEST_F(TipTest, StaysOnTheScreenNearEitherEdge)
{
    const std::u16string twenty = u"ABCDEFGHIJKLMNOPQRST";  // 100 pixels, box 104
    queueSystemAdd(new Tip(10, 100, 180, twenty));
    frame();
    // Centre moved to 50: the box runs from -2 to 102.
    EXPECT_EQ(rowExtent(103), std::make_pair(0, 102));
    deleteAllGameSystems();

    queueSystemAdd(new Tip(300, 100, 180, twenty));
    frame();
    // Centre moved to 270: the box runs from 218 to 322.
    EXPECT_EQ(rowExtent(103), std::make_pair(218, 319));
}

TEST_F(TipTest, ACaptionWiderThanTheScreenIsCentred)
{
    const std::u16string seventy(70, u'W');
    queueSystemAdd(new Tip(10, 100, 180, seventy));
    frame();
    SDL_Surface* expected = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(expected, nullptr, 0);
    SPF_Small font(0);
    drawString(&font, expected, 160, 105, seventy, 1);
    // Every pixel of the text rows matches the caption centred on the screen.
    int mismatches = 0, lit = 0;
    for (int y = 105; y < 105 + 6; ++y) {
        for (int x = 0; x < 320; ++x) {
            mismatches += (getPixel(expected, x, y) & 0xFFFFFF) != pixel(x, y);
            lit += pixel(x, y) != 0;
        }
    }
    SDL_FreeSurface(expected);
    EXPECT_GT(lit, 0);
    EXPECT_EQ(mismatches, 0);
}
