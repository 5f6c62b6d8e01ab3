#include "core/bindingcapture.h"

#include "core/inputsource.h"

namespace {

constexpr u8 CapturedMouseButtons = 7;

} // namespace

BindingCapture::BindingCapture()
{
    ControlBinding candidate;
    for (u16 key = 1; key < KeyCount; ++key) {
        candidate.setKey(key, ModeDown);
        candidates.push_back(candidate);
    }
    for (u8 button = 1; button <= CapturedMouseButtons; ++button) {
        candidate.setMouseButton(button, ModeDown);
        candidates.push_back(candidate);
    }
    for (u8 zone : {ModeDown, ModeUp, ModeLeft, ModeRight}) {
        candidate.setMouseZone(zone);
        candidates.push_back(candidate);
    }
    for (int n = 0; n < openJoystickCount(); ++n)
        addJoystickCandidates(openJoystickAt(n));
    for (ControlBinding& each : candidates)
        each.sample();
}

void BindingCapture::addJoystickCandidates(SDL_Joystick* joystick)
{
    InputSource& source = inputSource();
    u8 axes = u8(source.numAxes(joystick));
    u8 buttons = u8(source.numButtons(joystick));
    u8 balls = u8(source.numBalls(joystick));
    u8 hats = u8(source.numHats(joystick));
    ControlBinding candidate;
    for (u8 i = 0; i < axes; ++i) {
        for (u8 direction : {ModeDown, ModeUp}) {
            candidate.setJoyAxis(joystick, i, direction);
            candidates.push_back(candidate);
        }
    }
    for (u8 i = 0; i < buttons; ++i) {
        candidate.setJoyButton(joystick, i, ModeDown);
        candidates.push_back(candidate);
    }
    for (u8 i = 0; i < balls; ++i) {
        for (u8 direction : {ModeUp, ModeDown, ModeLeft, ModeRight}) {
            candidate.setJoyBall(joystick, i, direction);
            candidates.push_back(candidate);
        }
    }
    for (u8 i = 0; i < hats; ++i) {
        for (u8 direction : {SDL_HAT_UP, SDL_HAT_DOWN, SDL_HAT_LEFT, SDL_HAT_RIGHT}) {
            candidate.setJoyHat(joystick, i, direction);
            candidates.push_back(candidate);
        }
    }
}

void BindingCapture::sample()
{
    capturedThisFrame = false;
    for (size_t i = 0; i < candidates.size(); ++i) {
        ControlBinding& candidate = candidates[i];
        candidate.sample();
        // Asking a zone candidate also marks the zones as in use, so the pointer cross shows.
        if (candidate.pressed()) {
            captured = i;
            capturedThisFrame = true;
        }
    }
}

bool BindingCapture::takeCaptured(ControlBinding* out) const
{
    if (!capturedThisFrame)
        return false;
    *out = candidates[captured];
    return true;
}
