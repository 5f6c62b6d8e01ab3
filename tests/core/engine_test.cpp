#include <gtest/gtest.h>

#include "core/engine.h"

#include <SDL/SDL.h>
#include <string>
#include <vector>

namespace {

struct ModeAttempt {
    int width;
    bool fullscreen;
};
std::vector<ModeAttempt> attempts;
std::vector<std::string> usableModes;  // "WxH/f" strings that modeOK accepts
std::vector<std::string> failingSets;  // modes that modeOK accepts but SDL_SetVideoMode refuses
SDL_Surface fakeSurface;

std::string modeName(int w, int h, u32 flags)
{
    return std::to_string(w) + "x" + std::to_string(h) + ((flags & SDL_FULLSCREEN) ? "/f" : "/w");
}

bool listed(const std::vector<std::string>& list, const std::string& name)
{
    for (auto& entry : list)
        if (entry == name)
            return true;
    return false;
}

int fakeModeOK(int w, int h, int, u32 flags)
{
    attempts.push_back({w, (flags & SDL_FULLSCREEN) != 0});
    return listed(usableModes, modeName(w, h, flags)) ? 32 : 0;
}

SDL_Surface* fakeSetMode(int w, int h, int, u32 flags)
{
    return listed(failingSets, modeName(w, h, flags)) ? nullptr : &fakeSurface;
}

class VideoModeSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        attempts.clear();
        usableModes.clear();
        failingSets.clear();
        setVideoModeApi({fakeModeOK, fakeSetMode});
        scaleX = scaleY = 2;
        fullscreen = 0;
        running = 1;
    }
    void TearDown() override
    {
        restoreVideoModeApi();
        screenSurface = nullptr;
        running = 0;
    }
};

} // namespace

TEST_F(VideoModeSearch, PreferredModeNeedsNoSearch)
{
    usableModes = {"640x480/w"};
    EXPECT_TRUE(setVideoMode());
    EXPECT_EQ(attempts.size(), 1u);
    EXPECT_EQ(scaleX, 2u);
}

TEST_F(VideoModeSearch, TriesWindowedScalesThenFullScreen)
{
    usableModes = {"960x720/f"};
    EXPECT_TRUE(setVideoMode());
    std::vector<int> widths;
    for (auto& a : attempts)
        widths.push_back(a.width * (a.fullscreen ? -1 : 1));
    EXPECT_EQ(widths, (std::vector<int>{640, 320, 640, 960, 1280, 1600, -320, -640, -960}));
    EXPECT_EQ(scaleX, 3u);
    EXPECT_EQ(scaleY, 3u);
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(screenSurface, &fakeSurface);
}

TEST_F(VideoModeSearch, FailedAttemptFollowedByGoodOneKeepsRunning)
{
    usableModes = {"320x240/w", "640x480/w"};
    failingSets = {"320x240/w", "640x480/w"};
    usableModes.push_back("960x720/w");
    EXPECT_TRUE(setVideoMode());
    EXPECT_EQ(scaleX, 3u);
    EXPECT_EQ(running, 1);
}

TEST_F(VideoModeSearch, NothingUsableQuitsWithoutSurface)
{
    EXPECT_FALSE(setVideoMode());
    EXPECT_EQ(attempts.size(), 11u);
    EXPECT_EQ(running, 0);
    EXPECT_EQ(screenSurface, nullptr);
    EXPECT_EQ(scaleX, 5u);
    EXPECT_EQ(fullscreen, 1);
}

TEST(FrameTiming, RatesAndWaits)
{
    setFramesPerSecond(30);
    EXPECT_EQ(frameDelayMs, 33u);
    setFramesPerSecond(0);
    EXPECT_EQ(frameDelayMs, 33u);
    setFramesPerSecond(-5);
    EXPECT_EQ(frameDelayMs, 33u);
    setFramesPerSecond(3);
    EXPECT_EQ(frameDelayMs, 333u);
    setFramesPerSecond(100);
    EXPECT_EQ(frameDelayMs, 10u);
    setFrameDelay(7);
    EXPECT_EQ(frameDelayMs, 7u);
    setFrameDelay(0);
    EXPECT_EQ(frameDelayMs, 0u);
    setFramesPerSecond(30);
    EXPECT_EQ(frameWait(33, 50), 0u);
    EXPECT_EQ(frameWait(33, 10), 23u);
    EXPECT_EQ(frameWait(33, 33), 0u);
}

TEST(FrameTiming, StopwatchReadsTheTicksSinceItsStart)
{
    // Compared by differences, so a tick counter that wraps around between reads still passes.
    u32 timer = 0;
    u32 before = SDL_GetTicks();
    startTimer(timer);
    u32 after = SDL_GetTicks();
    EXPECT_LE(timer - before, after - before);

    // Started a second back: the stop reads that second plus whatever passed while it ran.
    u32 begun = SDL_GetTicks();
    timer = begun - 1000;
    stopTimer(timer);
    u32 ended = SDL_GetTicks();
    EXPECT_GE(timer, 1000u);
    EXPECT_LE(timer, 1000u + (ended - begun));
}
