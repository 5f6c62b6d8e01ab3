#pragma once
#include "core/input.h"

// The eight controls of a pad, by index.
enum PadControl : u8 {
    ControlUp = 0,     // up
    ControlDown = 1,   // down
    ControlLeft = 2,   // left
    ControlRight = 3,  // right
    ControlA = 4,      // A: the menus' "choose"
    ControlB = 5,      // B: the menus' "back"
    ControlX = 6,      // X
    ControlY = 7,      // Y
};
constexpr u8 ControlCount = 8;

// What applyPreset fills a pad with; any other number leaves it empty.
enum PadPreset : u8 {
    PresetEmpty = 0,     // nothing bound
    PresetKeyboard = 1,  // arrows and z, x, c, v
    PresetNone = 2,      // nothing bound
    PresetMouse = 3,     // mouse zones and buttons
    PresetJoystick = 4,  // the first joystick's hat 0 and buttons 0 to 3
};

constexpr u8 PlayerPadCount = 8;  // players 1 to 8, besides player 0's primary pad

// A player's eight controls; game objects ask pads, never raw keys, for their controls.
class ControlPad {
public:
    // Null, after an error message, for an index above 7.
    ControlBinding* binding(u8 index);
    const ControlBinding* binding(u8 index) const;

    bool held(u8 index) const;
    bool notHeld(u8 index) const;
    bool pressed(u8 index) const;
    bool released(u8 index) const;

    // Copies the binding in and samples it once, so its history already shows its present state.
    void setBinding(u8 index, const ControlBinding& binding);
    void sampleAll();
    void applyPreset(u8 preset);

private:
    ControlBinding controls[ControlCount];
};

extern ControlPad* const primaryPad;
extern ControlPad* const playerPads[PlayerPadCount];

// Player 0 is the primary pad, 1 to 8 the player pads; any other number an empty pad.
ControlPad* getControlPad(u8 player);

bool controlHeld(u8 index, const ControlPad* pad);
bool controlNotHeld(u8 index, const ControlPad* pad);
bool controlPressed(u8 index, const ControlPad* pad);
bool controlReleased(u8 index, const ControlPad* pad);
