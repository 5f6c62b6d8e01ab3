#include "core/controlpad.h"

#include "core/message.h"

#include <string>

namespace {

// The pads live as long as the program: a pad pointer held by a game object stays valid,
// and between shut-down and start-up the pads are simply empty.
ControlPad pads[1 + PlayerPadCount];
// Handed out for player numbers above 8; emptied again at every request.
ControlPad outOfRangePad;

bool validControl(u8 index)
{
    if (index < ControlCount)
        return true;
    showMessageScreen("INPUT ERROR: INVALID CONTROL REFERENCED: '" + std::to_string(index) + "'");
    return false;
}

void fillKeyboardPreset(ControlBinding* controls)
{
    controls[ControlUp].setKey(SDLK_UP, ModeDown);
    controls[ControlDown].setKey(SDLK_DOWN, ModeDown);
    controls[ControlLeft].setKey(SDLK_LEFT, ModeDown);
    controls[ControlRight].setKey(SDLK_RIGHT, ModeDown);
    controls[ControlA].setKey(SDLK_z, ModeDown);
    controls[ControlB].setKey(SDLK_x, ModeDown);
    controls[ControlX].setKey(SDLK_c, ModeDown);
    controls[ControlY].setKey(SDLK_v, ModeDown);
}

// No SDL key has code 4, so the mouse preset's Y never becomes active.
constexpr u16 UnusedKeyCode = 4;

void fillMousePreset(ControlBinding* controls)
{
    controls[ControlUp].setMouseZone(ModeUp);
    controls[ControlDown].setMouseZone(ModeDown);
    controls[ControlLeft].setMouseZone(ModeLeft);
    controls[ControlRight].setMouseZone(ModeRight);
    controls[ControlA].setMouseButton(SDL_BUTTON_LEFT, ModeDown);
    controls[ControlB].setMouseButton(SDL_BUTTON_RIGHT, ModeDown);
    controls[ControlX].setMouseButton(SDL_BUTTON_MIDDLE, ModeDown);
    controls[ControlY].setKey(UnusedKeyCode, ModeDown);
}

void fillJoystickPreset(ControlBinding* controls)
{
    SDL_Joystick* joystick = openJoystickAt(0);
    if (!joystick)
        return;
    controls[ControlUp].setJoyHat(joystick, 0, SDL_HAT_UP);
    controls[ControlDown].setJoyHat(joystick, 0, SDL_HAT_DOWN);
    controls[ControlLeft].setJoyHat(joystick, 0, SDL_HAT_LEFT);
    controls[ControlRight].setJoyHat(joystick, 0, SDL_HAT_RIGHT);
    controls[ControlA].setJoyButton(joystick, 0, ModeDown);
    controls[ControlB].setJoyButton(joystick, 1, ModeDown);
    controls[ControlX].setJoyButton(joystick, 2, ModeDown);
    controls[ControlY].setJoyButton(joystick, 3, ModeDown);
}

} // namespace

ControlPad* const primaryPad = &pads[0];
ControlPad* const playerPads[PlayerPadCount] = {&pads[1], &pads[2], &pads[3], &pads[4],
                                               &pads[5], &pads[6], &pads[7], &pads[8]};

ControlBinding* ControlPad::binding(u8 index)
{
    return validControl(index) ? &controls[index] : nullptr;
}

const ControlBinding* ControlPad::binding(u8 index) const
{
    return validControl(index) ? &controls[index] : nullptr;
}

bool ControlPad::held(u8 index) const
{
    const ControlBinding* control = binding(index);
    return control && control->held();
}

bool ControlPad::notHeld(u8 index) const
{
    const ControlBinding* control = binding(index);
    return control && control->notHeld();
}

bool ControlPad::pressed(u8 index) const
{
    const ControlBinding* control = binding(index);
    return control && control->pressed();
}

bool ControlPad::released(u8 index) const
{
    const ControlBinding* control = binding(index);
    return control && control->released();
}

void ControlPad::setBinding(u8 index, const ControlBinding& newBinding)
{
    if (!validControl(index))
        return;
    controls[index] = newBinding;
    controls[index].sample();
}

void ControlPad::sampleAll()
{
    for (ControlBinding& control : controls)
        control.sample();
}

void ControlPad::applyPreset(u8 preset)
{
    for (ControlBinding& control : controls)
        control = ControlBinding();
    if (preset == PresetKeyboard)
        fillKeyboardPreset(controls);
    else if (preset == PresetMouse)
        fillMousePreset(controls);
    else if (preset == PresetJoystick)
        fillJoystickPreset(controls);
}

ControlPad* getControlPad(u8 player)
{
    if (player <= PlayerPadCount)
        return &pads[player];
    outOfRangePad.applyPreset(PresetEmpty);
    return &outOfRangePad;
}

bool controlHeld(u8 index, const ControlPad* pad)
{
    return pad->held(index);
}

bool controlNotHeld(u8 index, const ControlPad* pad)
{
    return pad->notHeld(index);
}

bool controlPressed(u8 index, const ControlPad* pad)
{
    return pad->pressed(index);
}

bool controlReleased(u8 index, const ControlPad* pad)
{
    return pad->released(index);
}

void initInput()
{
    resetInputState();
    reopenJoysticks();
    primaryPad->applyPreset(PresetKeyboard);
    for (ControlPad* pad : playerPads)
        pad->applyPreset(PresetEmpty);
}

void shutdownInput()
{
    for (ControlPad& pad : pads)
        pad.applyPreset(PresetEmpty);
    endAllTextInput();
    closeJoysticks();
}
