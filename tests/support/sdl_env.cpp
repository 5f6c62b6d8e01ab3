#include <gtest/gtest.h>

#include "tests/support/sdl_env.h"

#include "core/engine.h"
#include "core/modal.h"

namespace {

std::deque<SDL_Event> scriptedEvents;
int served = 0;

bool nextScriptedEvent(SDL_Event* event)
{
    ++served;
    if (scriptedEvents.empty()) {
        event->type = SDL_QUIT;
        return true;
    }
    *event = scriptedEvents.front();
    scriptedEvents.pop_front();
    return true;
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
    setModalEventSource(nextScriptedEvent);
}

void uninstall()
{
    setModalEventSource(nullptr);
    scriptedEvents.clear();
}

void pushKey(SDLKey key, Uint16 unicode)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = unicode;
    scriptedEvents.push_back(event);
}

void pushQuit()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    scriptedEvents.push_back(event);
}

int eventsServed()
{
    return served;
}

} // namespace modal_script
