#include "bench/bench_env.h"

#include "core/engine.h"
#include "core/input.h"
#include "core/log.h"
#include "core/media.h"
#include "core/message.h"
#include "core/modal.h"
#include "core/respack.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

std::deque<SDL_Event> typedKeys;

// Modal screens close at once in a benchmark; an error they were asked to show (a file that
// failed to load) still reaches the log, as it does in a run without a window.
void logErrorShown()
{
    static u32 seen = 0;
    if (messagesShownCount() == seen)
        return;
    seen = messagesShownCount();
    std::string text = lastMessageShown();
    if (text.rfind("ERROR", 0) != 0)
        return;
    std::replace(text.begin(), text.end(), '\n', ' ');
    logLine(text);
}

ModalPoll nextTypedKey(SDL_Event* event)
{
    if (typedKeys.empty()) {
        logErrorShown();
        event->type = SDL_QUIT;
        return ModalPoll::Event;
    }
    *event = typedKeys.front();
    typedKeys.pop_front();
    return ModalPoll::Event;
}

void typeKey(SDLKey key, char character)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = Uint16(u8(character));
    typedKeys.push_back(event);
}

// The surface cache lists every surface it frees; the list would bury the benchmark report.
void closeQuietly()
{
    std::fflush(stdout);
    int saved = dup(STDOUT_FILENO);
    int sink = open("/dev/null", O_WRONLY);
    dup2(sink, STDOUT_FILENO);
    cleanupResourcePack();
    closeSubsystems();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(sink);
    close(saved);
}

} // namespace

void openBenchEnvironment()
{
    static bool opened = false;
    if (opened)
        return;
    opened = true;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    scaleX = scaleY = 1;
    fullscreen = 0;
    if (!initSubsystems()) {
        std::fprintf(stderr, "The benchmarks cannot start SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    backBuffer = createSurface(ScreenWidth, ScreenHeight);
    initResourcePack();
    setModalEventSource(nextTypedKey);
    std::atexit(closeQuietly);
}

void pressKeys(std::initializer_list<u16> keys)
{
    // SDL hands out its own key-state array, and the dummy video driver has no keyboard to
    // fill it: the benchmark writes it, and the input layer samples it as it would a keyboard.
    u8* state = SDL_GetKeyState(nullptr);
    updateInput();
    for (u16 key : keys)
        state[key] = 1;
    updateInput();
    for (u16 key : keys)
        state[key] = 0;
}

void typeAnswers(std::initializer_list<std::string> answers)
{
    for (const std::string& answer : answers) {
        for (char c : answer)
            typeKey(SDLK_UNKNOWN, c);
        typeKey(SDLK_RETURN, '\r');
    }
}
