#pragma once
#include "core/types.h"

struct SDL_Surface;

// Window and frame-loop state shared by the whole program.
extern u32 scaleX;
extern u32 scaleY;
extern u8 fullscreen;
extern SDL_Surface* screenSurface;
extern SDL_Surface* backBuffer;
extern u8 running;
extern u32 frameDelayMs;
extern u8 profilerOn;

constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 240;

constexpr int ExitSubsystemsFailed = 427001;
constexpr int ExitGameSystemFailed = 427002;
constexpr int ExitFlipFailed = 427005;

int programEntry(int argc, char** argv);
int runGame();
void quitGame();
void setFramesPerSecond(int fps);
void setFrameDelay(u32 ms);
bool setVideoMode();
bool initSubsystems();
bool closeSubsystems();
void presentScreen();

// A stopwatch in a plain u32: start stores the tick count, stop replaces it by the milliseconds
// elapsed since then.
void startTimer(u32& timer);
void stopTimer(u32& timer);

// The frame-time overlay; only drawn while profilerOn is set.
void drawProfiler(SDL_Surface* screen, u32 lastTotal, u32 logic, u32 draw, u32 input, u32 stretch,
                  u32 flip, u32 period, u32 lastDelay);

// Milliseconds left to wait after a frame that took `elapsed` of a `period` long frame.
u32 frameWait(u32 period, u32 elapsed);

// Test seams: the video-mode calls can be replaced, and frames can be run without sleeping.
struct VideoModeApi {
    int (*modeOK)(int width, int height, int bpp, u32 flags);
    SDL_Surface* (*setMode)(int width, int height, int bpp, u32 flags);
};
void setVideoModeApi(const VideoModeApi& api);
void restoreVideoModeApi();

enum class FrameResult {
    Continue,    // the loop goes on
    Quit,        // running was cleared during the frame
    FlipFailed   // SDL_Flip reported an error
};
FrameResult runOneFrame(bool sleep);
FrameResult runFrames(int count);
