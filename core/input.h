#pragma once
#include "core/types.h"

#include <SDL/SDL.h>
#include <vector>

// SDL key codes run from 0 to 322; the keyboard state holds one entry for each.
constexpr int KeyCount = 323;

// Source kind, the low nibble of a binding's kind byte (0 = nothing bound).
enum BindingSource : u8 {
    SourceKey = 0x01,          // a keyboard key
    SourceMouseButton = 0x02,  // a mouse button
    SourceJoystick = 0x04,     // a joystick button, axis, hat or ball
    SourceMouseZone = 0x08,    // the pointer outside the centre box of the screen
};
constexpr u8 SourceMask = 0x0F;
constexpr u8 ModeMask = 0xF0;

// Mode bits, the high nibble of the kind byte; each source reads them its own way.
enum BindingMode : u8 {
    ModeDown = 0x10,   // keys and buttons: active while down; zones and balls: down; axes: negative
    ModeUp = 0x20,     // zones and balls: up; axes: positive
    ModeLeft = 0x40,   // zones and balls: left
    ModeRight = 0x80,  // zones and balls: right
};

// Type bits of a joystick binding's code; the low 12 bits are the index of the input.
enum JoystickInput : u16 {
    JoyButton = 0x1000,  // a button
    JoyAxis = 0x2000,    // one direction of an axis, or its centre
    JoyHat = 0x4000,     // directions of a hat (the mode nibble is SDL's hat mask)
    JoyBall = 0x8000,    // one direction of a trackball's motion
};
constexpr u16 JoyIndexMask = 0x0FFF;

// The centre box of the screen outside which the pointer counts as a direction.
constexpr i32 ZoneLeftEdge = 130;
constexpr i32 ZoneRightEdge = 190;
constexpr i32 ZoneTopEdge = 90;
constexpr i32 ZoneBottomEdge = 150;
// An axis points in a direction beyond this value and is centred up to AxisCentreLimit.
constexpr i32 AxisThreshold = 16000;
constexpr i32 AxisCentreLimit = 15998;
// A trackball moves in a direction when it travels more than this in one frame.
constexpr i32 BallThreshold = 100;

// The keyboard and the mouse as one look found them: all a binding reads besides joysticks.
struct DeviceView {
    const u8* keys;  // KeyCount entries
    u8 mouseButtons;
    i32 x, y;  // the pointer in logical 320x240 pixels
};

// One bindable input source with the history of its last eight samples
// (bit 0 = active at the latest sample, bit 1 = the sample before, and so on).
class ControlBinding {
public:
    ControlBinding() = default;

    void setKey(u16 key, u8 mode);
    void setMouseButton(u8 button, u8 mode);
    void setMouseZone(u8 mode);
    void setJoyButton(SDL_Joystick* joystick, u8 index, u8 mode);
    void setJoyAxis(SDL_Joystick* joystick, u8 index, u8 mode);
    void setJoyHat(SDL_Joystick* joystick, u8 index, u8 hatMask);  // the plain SDL hat mask
    void setJoyBall(SDL_Joystick* joystick, u8 index, u8 mode);

    void sample();
    // Whether the input is active in this frame's sample of the keyboard and mouse (a joystick
    // is read as it is at this moment).
    bool active() const;
    bool activeIn(const DeviceView& devices) const;
    // A modal wait changed the input: the next sample compares with this state, not the frame's.
    void carryToNextSample(bool activeAfterWait);

    bool held() const;
    bool notHeld() const;
    bool pressed() const;
    bool released() const;

    // Never equal when this binding is empty, not even to another empty one.
    bool operator==(const ControlBinding& other) const;

    u16 code() const { return codeValue; }
    u8 kind() const { return kindByte; }
    u8 mode() const { return kindByte & ModeMask; }
    u8 history() const { return historyBits; }
    SDL_Joystick* joystick() const { return joy; }
    u16 joyIndex() const { return codeValue & JoyIndexMask; }

    bool isKey() const { return kindByte & SourceKey; }
    bool isMouseButton() const { return kindByte & SourceMouseButton; }
    bool isMouseZone() const { return kindByte & SourceMouseZone; }
    bool isJoystick() const { return kindByte & SourceJoystick; }
    bool isMouse() const { return isMouseButton() || isMouseZone(); }
    bool isJoyButton() const { return isJoystick() && (codeValue & JoyButton); }
    bool isJoyAxis() const { return isJoystick() && (codeValue & JoyAxis); }
    bool isJoyHat() const { return isJoystick() && (codeValue & JoyHat); }
    bool isJoyBall() const { return isJoystick() && (codeValue & JoyBall); }

private:
    void set(u16 code, u8 kind, SDL_Joystick* joystick);
    bool joystickActive() const;
    void noteQuery() const;

    u16 codeValue = 0;
    u8 kindByte = 0;
    u8 historyBits = 0;
    // What the next sample takes as the sample before it.
    enum class Carried : u8 {
        History,   // the latest bit of the history, as usual
        Inactive,  // inactive, as a modal wait left it
        Active     // active, as a modal wait left it
    } carried = Carried::History;
    SDL_Joystick* joy = nullptr;  // not owned; only joystick bindings use it
};

// Start-up and shut-down of the whole input layer: joysticks and the nine pads.
void initInput();
void shutdownInput();

// The per-frame sample, taken before the frame's events are handed to handleInputEvent.
void updateInput();
void handleInputEvent(const SDL_Event& event);
// What the keyboard, the mouse and the pads' bindings show at one moment.
struct InputSnapshot {
    u8 keys[KeyCount];
    u8 mouseButtons;
    i32 windowX, windowY;        // the pointer in window pixels
    std::vector<bool> bindings;  // each pad's bindings active or not, pad by pad in control order
};
InputSnapshot snapshotInput();
// A modal wait takes the events the frame loop would have seen. This frame's sample stands for
// the rest of the frame, whatever the wait saw: a press at the sample still counts in its frame.
// Whatever changed since `before` is what the next sample compares with, so nothing that went
// down or up inside the wait counts as pressed or released afterwards.
void resyncInputAfterModal(const InputSnapshot& before);

bool keyHeld(u16 key);
bool keyPressed(u16 key);
bool keyReleased(u16 key);
bool mouseButtonHeld(u8 button);  // 1-based: 1 left, 2 middle, 3 right
bool mouseButtonPressed(u8 button);
bool mouseButtonReleased(u8 button);
// The pointer in logical 320x240 pixels.
i32 mouseX();
i32 mouseY();
i32 mouseDeltaX();
i32 mouseDeltaY();
// True when a mouse-zone binding was queried during the previous frame.
bool zoneBindingsInUse();
void noteZoneQueried();
// Start-up clears the sampled state; shut-down ends every text input still open.
void resetInputState();
void endAllTextInput();

// Typed characters go to the newest owner of text input only.
u16 beginTextInput();
void endTextInput(u16 owner);
u16 typedCharFor(u16 owner);

// Joysticks are opened once at start-up; bindings refer to them by handle.
void reopenJoysticks();
void closeJoysticks();
int openJoystickCount();
SDL_Joystick* openJoystickAt(int n);
// False for a handle that has been closed; such a handle must not be handed to SDL any more.
bool joystickIsOpen(SDL_Joystick* joystick);
// A trackball's motion of this frame, read once per frame for every binding to share.
void joystickBallMotion(SDL_Joystick* joystick, int ball, i32* dx, i32* dy);
