#include <gtest/gtest.h>

#include "tests/support/sdl_env.h"

#include "core/engine.h"
#include "core/modal.h"
#include "tests/support/fake_input.h"

#include <csignal>
#include <cstring>
#include <optional>

namespace {

// An entry of the script: an event, or (when empty) a poll that finds none.
std::deque<std::optional<SDL_Event>> scriptedEvents;
int served = 0;
// The device of the motion events that move the fake input's pointer as well.
constexpr Uint8 FakeMouse = 1;

void releaseAllKeys()
{
    std::memset(SDL_GetKeyState(nullptr), 0, SDLK_LAST);
}

ModalPoll nextScriptedEvent(SDL_Event* event)
{
    std::optional<SDL_Event> next;
    if (scriptedEvents.empty()) {
        next = SDL_Event{};
        next->type = SDL_QUIT;
    } else {
        next = scriptedEvents.front();
        scriptedEvents.pop_front();
    }
    if (!next || next->type == SDL_USEREVENT) {
        if (next)
            std::raise(next->user.code);
        return ModalPoll::Nothing;
    }
    ++served;
    if (next->type == SDL_KEYDOWN || next->type == SDL_KEYUP)
        SDL_GetKeyState(nullptr)[next->key.keysym.sym] = next->type == SDL_KEYDOWN;
    else if (next->type == SDL_MOUSEBUTTONUP)
        fake_input::releaseMouseButton(next->button.button);
    else if (next->type == SDL_MOUSEMOTION && next->motion.which == FakeMouse)
        fake_input::setMousePosition(next->motion.x, next->motion.y);
    // As SDL does, a key carries its character only while the translation is on.
    if (next->type == SDL_KEYDOWN && SDL_EnableUNICODE(-1) != 1)
        next->key.keysym.unicode = 0;
    *event = *next;
    return ModalPoll::Event;
}

SDL_Event keyEvent(Uint8 type, SDLKey key, Uint16 unicode)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = unicode;
    return event;
}

} // namespace

void SdlTest::SetUp()
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    scaleX = scaleY = 1;
    screenSurface = SDL_SetVideoMode(320, 240, 32, 0);
    ASSERT_NE(screenSurface, nullptr);
    backBuffer = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(backBuffer, nullptr);
    modal_script::install();
}

void SdlTest::TearDown()
{
    modal_script::uninstall();
    if (backBuffer)
        SDL_FreeSurface(backBuffer);
    backBuffer = nullptr;
    screenSurface = nullptr;
    SDL_Quit();
}

namespace modal_script {

void install()
{
    scriptedEvents.clear();
    served = 0;
    releaseAllKeys();
    setModalEventSource(nextScriptedEvent);
}

void uninstall()
{
    setModalEventSource(nullptr);
    scriptedEvents.clear();
    releaseAllKeys();
}

void pushKey(SDLKey key, Uint16 unicode)
{
    scriptedEvents.push_back(keyEvent(SDL_KEYDOWN, key, unicode));
}

void pushKeyUp(SDLKey key)
{
    scriptedEvents.push_back(keyEvent(SDL_KEYUP, key, 0));
}

void pushMouseMotion()
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    scriptedEvents.push_back(event);
}

void pushPointerMove(Uint16 x, Uint16 y)
{
    SDL_Event event{};
    event.motion = {SDL_MOUSEMOTION, FakeMouse, 0, x, y, 0, 0};
    scriptedEvents.push_back(event);
}

void pushMouseButtonUp(Uint8 button)
{
    SDL_Event event{};
    event.button = {SDL_MOUSEBUTTONUP, 0, button, SDL_RELEASED, 0, 0};
    scriptedEvents.push_back(event);
}

void pushIdle(int polls)
{
    scriptedEvents.insert(scriptedEvents.end(), size_t(polls), std::nullopt);
}

void pushQuit()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    scriptedEvents.push_back(event);
}

void pushSignal(int signal)
{
    SDL_Event event{};
    event.user = {SDL_USEREVENT, signal, nullptr, nullptr};
    scriptedEvents.push_back(event);
}

int eventsServed()
{
    return served;
}

} // namespace modal_script
