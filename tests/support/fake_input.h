#pragma once
#include "core/types.h"

#include <SDL/SDL.h>

// Scripted keyboard, mouse and joysticks for tests. Pushed SDL events never reach SDL's
// key-state array, so tests hold keys here instead: in that same array, where the scripted
// modal events press keys too. The input layer sees the change at its next per-frame sample
// (updateInput, or runFrames).
//
//   fake_input::install();
//   initInput();
//   fake_input::holdKey(SDLK_RIGHT);
//   runFrames(1);                 // pad 0's right control is now held and pressed
//   fake_input::uninstall();
namespace fake_input {

// Replaces SDL's mouse and joysticks: every key and button up, pointer at (0, 0), no joysticks.
void install();
void uninstall();

void holdKey(u16 key);
void releaseKey(u16 key);
void releaseAll();  // keys and mouse buttons

// The pointer in window pixels (the input layer divides by the window scale).
void setMousePosition(i32 windowX, i32 windowY);
void holdMouseButton(u8 button);
void releaseMouseButton(u8 button);

// Holds (or releases) whatever key or mouse button the player's control is bound to.
// Fails the test when that control is bound to something else.
void holdControl(u8 player, u8 control);
void releaseControl(u8 player, u8 control);

// Joysticks are listed in the order they are added; the number returned is the device index.
// A joystick added with canOpen false is listed but refuses to open.
int addJoystick(const char* name, int axes, int buttons, int balls, int hats, bool canOpen = true);
void setJoystickAxis(int device, int axis, i16 value);
void setJoystickButton(int device, int button, bool down);
void setJoystickHat(int device, int hat, u8 mask);
// Motion gathers until the input layer reads the ball, which resets it.
void moveJoystickBall(int device, int ball, i32 dx, i32 dy);
// How many times the ball's motion has been read.
int ballReads(int device, int ball);
// How many times a closed joystick's handle was handed back to the device layer.
int closedHandleUses();
SDL_Joystick* joystickHandle(int device);

} // namespace fake_input
