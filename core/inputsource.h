#pragma once
#include "core/types.h"

#include <SDL/SDL.h>

// Where the input layer reads the keyboard, the mouse and the joysticks from. The game reads
// SDL itself; tests install a scripted source, because pushed SDL events never change SDL's
// key-state array and the dummy video driver has no joysticks.
class InputSource {
public:
    virtual ~InputSource() = default;

    // The key-state array (indexed by SDL key code) and its length.
    virtual const u8* keyState(int* count) = 0;
    // Mouse button bits (bit n-1 = button n) and the pointer position in window pixels.
    virtual u8 mouseState(i32* x, i32* y) = 0;

    virtual int numJoysticks() = 0;
    virtual SDL_Joystick* openJoystick(int index) = 0;
    virtual bool joystickOpened(int index) = 0;
    virtual int joystickIndex(SDL_Joystick* joystick) = 0;
    virtual void closeJoystick(SDL_Joystick* joystick) = 0;
    virtual const char* joystickName(int index) = 0;  // may be null
    virtual void updateJoysticks() = 0;

    virtual int numAxes(SDL_Joystick* joystick) = 0;
    virtual int numButtons(SDL_Joystick* joystick) = 0;
    virtual int numBalls(SDL_Joystick* joystick) = 0;
    virtual int numHats(SDL_Joystick* joystick) = 0;
    virtual i16 axis(SDL_Joystick* joystick, int index) = 0;
    virtual bool button(SDL_Joystick* joystick, int index) = 0;
    virtual u8 hat(SDL_Joystick* joystick, int index) = 0;
    // Ball motion since the previous read; reading it resets it.
    virtual void ball(SDL_Joystick* joystick, int index, i32* dx, i32* dy) = 0;
};

// Installs a source; null goes back to SDL's own devices.
void setInputSource(InputSource* source);
InputSource& inputSource();
