#pragma once
#include "core/input.h"

// Key codes the editor reads, beyond what SDL names plainly.
namespace editor_keys {

// Either of the pair is held.
inline bool shiftHeld() { return keyHeld(SDLK_RSHIFT) || keyHeld(SDLK_LSHIFT); }
inline bool ctrlHeld() { return keyHeld(SDLK_RCTRL) || keyHeld(SDLK_LCTRL); }
inline bool altHeld() { return keyHeld(SDLK_RALT) || keyHeld(SDLK_LALT); }

// The digit n on the main keyboard or the keypad was pressed this frame.
inline bool digitPressed(u8 n)
{
    return keyPressed(u16(SDLK_0 + n)) || keyPressed(u16(SDLK_KP0 + n));
}

constexpr u8 LeftButton = 1;
constexpr u8 RightButton = 3;

} // namespace editor_keys
