#include "core/engine.h"

#include "core/draw.h"
#include "core/gamesystem.h"
#include "core/input.h"
#include "core/log.h"
#include "core/media.h"
#include "core/message.h"
#include "core/platform.h"
#include "core/random.h"
#include "core/respack.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <algorithm>
#include <cstring>
#include <optional>

u32 scaleX = 2;
u32 scaleY = 2;
u8 fullscreen = 0;
SDL_Surface* screenSurface = nullptr;
SDL_Surface* backBuffer = nullptr;
u8 running = 0;
u32 frameDelayMs = 25;
u8 profilerOn = 0;

namespace {

u8 videoModeRetrying = 0;

const VideoModeApi sdlVideoModeApi = {
    [](int w, int h, int bpp, u32 flags) { return SDL_VideoModeOK(w, h, bpp, flags); },
    [](int w, int h, int bpp, u32 flags) { return SDL_SetVideoMode(w, h, bpp, flags); },
};
VideoModeApi videoModeApi = sdlVideoModeApi;

// Phase timings of the last frame, kept only for the frame-time overlay.
struct FrameTimings {
    u32 input = 0, logic = 0, draw = 0, stretch = 0, flip = 0;
    u32 total = 0, lastDelay = 0, lastWaitEnd = 0;
};
FrameTimings timings;

struct WindowMode {
    u32 scaleX, scaleY;
    u8 fullscreen;
};
// The last mode the driver actually created.
std::optional<WindowMode> workingMode;

// What one attempt at the current scale and screen mode came to.
enum class ModeAttempt {
    Set,      // the window is open in that mode
    Refused,  // SDL_VideoModeOK turned the mode down
    Failed    // SDL_VideoModeOK accepted it but SDL_SetVideoMode could not create it
};

ModeAttempt trySingleVideoMode()
{
    int width = ScreenWidth * int(scaleX);
    int height = ScreenHeight * int(scaleY);
    u32 flags = fullscreen ? SDL_FULLSCREEN : 0;
    if (!videoModeApi.modeOK(width, height, 32, flags))
        return ModeAttempt::Refused;
    screenSurface = videoModeApi.setMode(width, height, 32, flags);
    if (!screenSurface)
        return ModeAttempt::Failed;
    workingMode = WindowMode{scaleX, scaleY, fullscreen};
    return ModeAttempt::Set;
}

// The mode the player had before asking for one the driver could not create; the options page
// shows scaleX and fullscreen, so they go back with it.
bool restoreWorkingMode()
{
    if (!workingMode)
        return false;
    scaleX = workingMode->scaleX;
    scaleY = workingMode->scaleY;
    fullscreen = workingMode->fullscreen;
    return trySingleVideoMode() == ModeAttempt::Set;
}

bool searchVideoModes()
{
    videoModeRetrying = 1;
    for (int pass = 0; pass < 2; ++pass) {
        for (u32 s = 1; s <= 5; ++s) {
            scaleX = scaleY = s;
            if (trySingleVideoMode() == ModeAttempt::Set) {
                videoModeRetrying = 0;
                return true;
            }
        }
        fullscreen = !fullscreen;
    }
    // Two toggles restored the mode; the last one tried was the other screen mode.
    fullscreen = !fullscreen;
    videoModeRetrying = 0;
    return false;
}

u32 ticksSince(u32 start)
{
    return SDL_GetTicks() - start;
}

bool handlePendingEvents()
{
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handleInputEvent(event);
        if (event.type == SDL_QUIT)
            quit = true;
    }
    return quit;
}

} // namespace

u32 frameWait(u32 period, u32 elapsed)
{
    return period - std::min(period, elapsed);
}

void startTimer(u32& timer)
{
    timer = SDL_GetTicks();
}

void stopTimer(u32& timer)
{
    timer = ticksSince(timer);
}

void setVideoModeApi(const VideoModeApi& api)
{
    videoModeApi = api;
    // A mode created through the other calls says nothing about these.
    workingMode.reset();
}

void restoreVideoModeApi()
{
    setVideoModeApi(sdlVideoModeApi);
}

void quitGame()
{
    running = 0;
}

void setFramesPerSecond(int fps)
{
    if (fps <= 0)
        return;
    frameDelayMs = u32(1000 / fps);
}

void setFrameDelay(u32 ms)
{
    frameDelayMs = ms;
}

bool setVideoMode()
{
    ModeAttempt attempt = trySingleVideoMode();
    if (attempt == ModeAttempt::Set)
        return true;
    if (videoModeRetrying)
        return false;
    if (attempt == ModeAttempt::Failed && restoreWorkingMode())
        return true;
    // Only a search that found nothing at all ends the game.
    if (searchVideoModes())
        return true;
    screenSurface = nullptr;
    quitGame();
    return false;
}

bool initSubsystems()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_JOYSTICK) == -1)
        return false;
    SDL_ShowCursor(0);
    if (!setVideoMode() || !screenSurface)
        return false;
    SDL_WM_SetCaption("Initializing, please wait...", nullptr);
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 1, 1024) == -1)
        return false;
    Mix_AllocateChannels(32);
    reseedDefaultStream();
    SDL_WM_SetCaption("Warden of Ostrevan", nullptr);
    return true;
}

bool closeSubsystems()
{
    SDL_WM_SetCaption("Concluding...", nullptr);
    freeAllSounds();
    freeAllMusic();
    releaseAllStreams();
    Mix_CloseAudio();
    freeAllSurfaces();
    backBuffer = nullptr;
    screenSurface = nullptr;
    workingMode.reset();
    SDL_Quit();
    return true;
}

void presentScreen()
{
    if (!screenSurface)
        return;
    scaleSurface(scaleX, scaleY, backBuffer, screenSurface);
    SDL_Flip(screenSurface);
}

FrameResult runOneFrame(bool sleep)
{
    u32 frameStart = SDL_GetTicks();
    updateInput();
    if (handlePendingEvents())
        running = 0;
    timings.input = ticksSince(frameStart);

    u32 mark = SDL_GetTicks();
    updateGameSystems();
    timings.logic = ticksSince(mark);

    mark = SDL_GetTicks();
    drawGameSystems(backBuffer);
    timings.draw = ticksSince(mark);

    // Without a window (a failed mode switch already asked to quit) there is nothing to show.
    if (screenSurface) {
        mark = SDL_GetTicks();
        scaleSurface(scaleX, scaleY, backBuffer, screenSurface);
        timings.stretch = ticksSince(mark);
        if (profilerOn)
            drawProfiler(screenSurface, timings.total, timings.logic, timings.draw, timings.input,
                         timings.stretch, timings.flip, frameDelayMs, timings.lastDelay);
        mark = SDL_GetTicks();
        if (SDL_Flip(screenSurface) == -1)
            return FrameResult::FlipFailed;
        timings.flip = ticksSince(mark);
    }

    u32 wait = frameWait(frameDelayMs, ticksSince(frameStart));
    timings.total = ticksSince(timings.lastWaitEnd);
    timings.lastDelay = wait;
    if (sleep && wait != 0)
        SDL_Delay(wait);
    timings.lastWaitEnd = SDL_GetTicks();
    // A terminate request ends the loop like the menu's quit: after the frame in progress.
    if (terminateRequested())
        quitGame();
    return running ? FrameResult::Continue : FrameResult::Quit;
}

FrameResult runFrames(int count)
{
    FrameResult result = FrameResult::Continue;
    for (int i = 0; i < count && result == FrameResult::Continue; ++i)
        result = runOneFrame(false);
    return result;
}

int runGame()
{
    scaleX = scaleY = 2;
    fullscreen = 0;
    logLine("Program Started");
    installTerminateHandlers();
    if (!enterDataFolder())
        return ExitGameSystemFailed;

    screenSurface = nullptr;
    if (!initSubsystems()) {
        const std::string failure = std::string("FAILED TO INITIALIZE SUBSYSTEMS:\n") + SDL_GetError();
        if (screenSurface) {
            // The pack is not open yet this early, and the message screen's font lives in it.
            initResourcePack();
            showMessageScreen(failure);
            cleanupResourcePack();
        } else {
            logLine(failure);  // no window to show it in
        }
        closeSubsystems();
        return ExitSubsystemsFailed;
    }
    backBuffer = createSurface(ScreenWidth, ScreenHeight);
    if (!initGameSystems()) {
        showMessageScreen("FAILED TO INITIALIZE GAME SYSTEM");
        closeSubsystems();
        return ExitGameSystemFailed;
    }
    running = 1;
    profilerOn = 0;
    logLine("Entering Game Loop...");

    while (running) {
        if (runOneFrame(true) == FrameResult::FlipFailed) {
            closeSubsystems();
            return ExitFlipFailed;
        }
    }

    SDL_WM_SetCaption("Closing...", "");
    deleteAllGameSystems();
    SDL_WM_SetCaption("Finalizing...", nullptr);
    closeSubsystems();
    return 0;
}

int programEntry(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "-pack") == 0) {
        logLine("Starting resource packager...");
        ignoreFileSizeSignal();
        if (!packResources(argv[2]))
            return 1;
        logLine("Packaging job complete.");
        return 0;
    }
    return runGame();
}
