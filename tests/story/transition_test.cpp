#include "story/transition.h"
#include "tests/story/overlay_fixture.h"

#include <functional>
#include <set>
#include <vector>

namespace {

constexpr u32 OldColour = 0xAA0000u;
constexpr u32 NewColour = 0x0000BBu;

// A screen that paints itself one colour and can start a transition from its update.
class PaintedScreen : public GameSystem {
public:
    explicit PaintedScreen(u32 colour) : GameSystem(0), colour(colour) {}
    ~PaintedScreen() override { forgetTransitionTarget(this); }
    void update() override
    {
        if (onUpdate) {
            auto action = onUpdate;
            onUpdate = nullptr;
            action();
        }
    }
    void draw(SDL_Surface* screen) override { SDL_FillRect(screen, nullptr, colour); }
    void handOver(u32 code)
    {
        calls.push_back(code);
        colour = NewColour;
    }

    u32 colour;
    std::vector<u32> calls;
    std::function<void()> onUpdate;
};

class TransitionTest : public OverlayTest {
protected:
    void SetUp() override
    {
        OverlayTest::SetUp();
        screen = new PaintedScreen(OldColour);
        queueSystemAdd(screen);
        frame();
    }

    // Starts the transition from the screen's next update; that frame is F.
    void startFromScreen(u16 type, u32 code)
    {
        screen->onUpdate = [this, type, code] {
            startTransition(type, screen, &PaintedScreen::handOver, code);
            startFrame = frames;
        };
        frame();
    }

    // Share of the screen still showing the old picture.
    int oldPixels()
    {
        int count = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                count += pixel(x, y) == OldColour;
        return count;
    }
    bool columnIs(int x, u32 colour)
    {
        for (int y = 0; y < 240; ++y)
            if (pixel(x, y) != colour)
                return false;
        return true;
    }

    PaintedScreen* screen = nullptr;
    int startFrame = -1;
};

} // namespace

TEST_F(TransitionTest, HandsOverOnceInTheFrameAfterTheCapture)
{
    startFromScreen(TransitionHangBlinds, 7);
    ASSERT_NE(currentTransition, nullptr);
    EXPECT_TRUE(screen->calls.empty()) << "never in the frame that started it";
    EXPECT_EQ(oldPixels(), 320 * 240) << "the capture draws nothing itself";
    frame();
    EXPECT_EQ(screen->calls, std::vector<u32>{7});
    frame(80);
    EXPECT_EQ(screen->calls, std::vector<u32>{7});
}

TEST_F(TransitionTest, BlindsCoverTheScreenAtTheHandOverAndFallFromTheLeft)
{
    startFromScreen(TransitionHangBlinds, 0);
    frame();  // hand-over: the screen has turned blue underneath
    EXPECT_EQ(oldPixels(), 320 * 240);
    frame(17);
    // Column 0 started falling at the first step and is gone after sixteen; the sweep has
    // reached column 64 and no early column lies beyond 128, so the right edge is intact.
    EXPECT_TRUE(columnIs(0, NewColour));
    EXPECT_TRUE(columnIs(319, OldColour));
    int partly = oldPixels();
    EXPECT_GT(partly, 0);
    EXPECT_LT(partly, 320 * 240);
    // A falling column keeps 14 rows per step it has left, centred on row 120.
    std::set<int> heights;
    for (int x = 0; x < 320; x += 2) {
        int first = -1, height = 0;
        for (int y = 0; y < 240; ++y)
            if (pixel(x, y) == OldColour) {
                first = first < 0 ? y : first;
                ++height;
            }
        if (height == 0 || height == 240)
            continue;
        EXPECT_EQ(height % 14, 0) << "column " << x;
        EXPECT_EQ(first, 120 - height / 2) << "column " << x;
        heights.insert(height);
    }
    ASSERT_GT(heights.size(), 1u);
    EXPECT_EQ(*heights.rbegin(), 14 * 15) << "a column starts falling at 15 steps";
}

TEST_F(TransitionTest, BlindsLeaveNothingAndEndAfter57Steps)
{
    startFromScreen(TransitionHangBlinds, 0);
    frame();  // hand-over
    const int systems = activeSystemCount();
    frame(56);
    EXPECT_EQ(oldPixels(), 0) << "every column is gone before the last step";
    EXPECT_EQ(activeSystemCount(), systems);
    EXPECT_NE(currentTransition, nullptr);
    frame();  // the 57th step, at counter 0
    EXPECT_EQ(activeSystemCount(), systems - 1);
    EXPECT_EQ(currentTransition, nullptr);
}

TEST_F(TransitionTest, SlideRisesTenPixelsAStep)
{
    startFromScreen(TransitionSlide, 0);
    frame();
    EXPECT_EQ(oldPixels(), 320 * 240);
    frame();
    EXPECT_EQ(pixel(5, 229), OldColour);
    EXPECT_EQ(pixel(5, 230), NewColour);
    const int systems = activeSystemCount();
    frame(23);
    EXPECT_EQ(oldPixels(), 0);
    EXPECT_EQ(activeSystemCount(), systems);
    frame();
    EXPECT_EQ(activeSystemCount(), systems - 1);
}

TEST_F(TransitionTest, RunsWithoutATarget)
{
    screen->onUpdate = [] { startTransition(TransitionHangBlinds, nullptr, [](u32) { FAIL(); }, 1); };
    frame();
    frame();
    EXPECT_EQ(oldPixels(), 320 * 240);
    frame(57);
    EXPECT_EQ(currentTransition, nullptr);
}

TEST_F(TransitionTest, ANewTransitionReplacesARunningOne)
{
    startFromScreen(TransitionHangBlinds, 1);
    frame(3);
    Transition* first = currentTransition;
    const int systems = activeSystemCount();
    screen->onUpdate = [this] { startTransition(TransitionHangBlinds, screen, &PaintedScreen::handOver, 2); };
    frame();
    EXPECT_NE(currentTransition, first);
    EXPECT_EQ(activeSystemCount(), systems) << "the old one left as the new one joined";
    // The new one copied the screen as it looked, the first wipe included, and hands over next.
    frame();
    EXPECT_EQ(screen->calls, (std::vector<u32>{1, 2}));
}

TEST_F(TransitionTest, ATargetDeletedBeforeTheHandOverIsNotCalled)
{
    std::vector<u32> calls;
    screen->onUpdate = [this] {
        startTransition(TransitionHangBlinds, screen, &PaintedScreen::handOver, 3);
        queueSystemKill(screen);
    };
    frame();
    screen = nullptr;
    ASSERT_NE(currentTransition, nullptr);
    EXPECT_EQ(currentTransition->callbackTarget(), nullptr);
    frame(60);  // the wipe still runs to its end (a call would touch freed memory)
    EXPECT_EQ(currentTransition, nullptr);
}
