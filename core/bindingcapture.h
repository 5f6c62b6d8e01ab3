#pragma once
#include "core/input.h"

#include <vector>

// Every input that can be bound, watched so the controls page can learn which one the user
// presses. When several become active in one frame the one latest in the list wins: a joystick
// input over a zone, a zone over a mouse button, a button over a key, a higher key over a lower.
class BindingCapture {
public:
    // Builds the candidate list and samples it once, so an input already held
    // counts only after it has been let go and pressed again.
    BindingCapture();

    // Called once per frame by the owner.
    void sample();
    // Copies the input pressed at the latest sample into out; false (out untouched) when none was.
    bool takeCaptured(ControlBinding* out) const;

private:
    void addJoystickCandidates(SDL_Joystick* joystick);

    std::vector<ControlBinding> candidates;  // built once; never changes afterwards
    size_t captured = 0;                     // index into candidates, valid while capturedThisFrame
    bool capturedThisFrame = false;
};
