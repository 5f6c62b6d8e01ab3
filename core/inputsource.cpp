#include "core/inputsource.h"

namespace {

// SDL's joystick calls walk a list that exists only while the joystick subsystem is up
// (tests start video alone), so every joystick call first checks that it is.
bool joysticksReady()
{
    return SDL_WasInit(SDL_INIT_JOYSTICK) != 0;
}

class SdlInputSource : public InputSource {
public:
    const u8* keyState(int* count) override { return SDL_GetKeyState(count); }

    u8 mouseState(i32* x, i32* y) override
    {
        int ix = 0, iy = 0;
        u8 buttons = u8(SDL_GetMouseState(&ix, &iy));
        *x = ix;
        *y = iy;
        return buttons;
    }

    int numJoysticks() override { return joysticksReady() ? SDL_NumJoysticks() : 0; }
    SDL_Joystick* openJoystick(int index) override { return joysticksReady() ? SDL_JoystickOpen(index) : nullptr; }
    bool joystickOpened(int index) override { return joysticksReady() && SDL_JoystickOpened(index) != 0; }
    int joystickIndex(SDL_Joystick* joystick) override { return SDL_JoystickIndex(joystick); }

    void closeJoystick(SDL_Joystick* joystick) override
    {
        // SDL_Quit has already freed every handle when the subsystem is down.
        if (joysticksReady())
            SDL_JoystickClose(joystick);
    }

    const char* joystickName(int index) override { return joysticksReady() ? SDL_JoystickName(index) : nullptr; }

    void updateJoysticks() override
    {
        if (joysticksReady())
            SDL_JoystickUpdate();
    }

    int numAxes(SDL_Joystick* joystick) override { return SDL_JoystickNumAxes(joystick); }
    int numButtons(SDL_Joystick* joystick) override { return SDL_JoystickNumButtons(joystick); }
    int numBalls(SDL_Joystick* joystick) override { return SDL_JoystickNumBalls(joystick); }
    int numHats(SDL_Joystick* joystick) override { return SDL_JoystickNumHats(joystick); }
    i16 axis(SDL_Joystick* joystick, int index) override { return SDL_JoystickGetAxis(joystick, index); }
    bool button(SDL_Joystick* joystick, int index) override { return SDL_JoystickGetButton(joystick, index) != 0; }
    u8 hat(SDL_Joystick* joystick, int index) override { return SDL_JoystickGetHat(joystick, index); }

    void ball(SDL_Joystick* joystick, int index, i32* dx, i32* dy) override
    {
        int bx = 0, by = 0;
        if (SDL_JoystickGetBall(joystick, index, &bx, &by) != 0)
            bx = by = 0;
        *dx = bx;
        *dy = by;
    }
};

SdlInputSource sdlSource;
InputSource* currentSource = &sdlSource;

} // namespace

void setInputSource(InputSource* source)
{
    currentSource = source ? source : &sdlSource;
}

InputSource& inputSource()
{
    return *currentSource;
}
