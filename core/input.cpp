#include "core/input.h"

#include "core/controlpad.h"
#include "core/engine.h"
#include "core/inputsource.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr u8 MouseButtonCount = 8;  // the button state keeps one bit per button

u8 keyStateNow[KeyCount];
u8 keyStateLast[KeyCount];
u8 mouseButtonsNow = 0;
u8 mouseButtonsLast = 0;
i32 mouseNowX = 0, mouseNowY = 0;
i32 mouseLastX = 0, mouseLastY = 0;
u16 typedChar = 0;
bool zoneQueried = false;
bool zoneQueriedLastFrame = false;

std::vector<u16> textInputOwners;
u16 nextTextInputOwner = 2;

struct BallMotion {
    i32 dx = 0, dy = 0;
};

struct OpenJoystick {
    SDL_Joystick* handle;
    std::vector<BallMotion> balls;  // this frame's motion of each trackball
};
std::vector<OpenJoystick> openJoysticks;

bool validMouseButton(u8 button)
{
    return button >= 1 && button <= MouseButtonCount;
}

bool buttonBit(u8 buttons, u8 button)
{
    return validMouseButton(button) && (buttons & (1u << (button - 1)));
}

// The keyboard and the mouse as they are; the bindings are left out.
InputSnapshot readDevices()
{
    InputSnapshot devices{};
    InputSource& source = inputSource();
    int count = 0;
    if (const u8* keys = source.keyState(&count))
        std::memcpy(devices.keys, keys, size_t(std::clamp(count, 0, KeyCount)));
    devices.mouseButtons = source.mouseState(&devices.windowX, &devices.windowY);
    return devices;
}

void samplePointer(const InputSnapshot& devices)
{
    mouseLastX = mouseNowX;
    mouseLastY = mouseNowY;
    // Window pixels back to the 320x240 screen; the scale is a whole number of at least 1.
    mouseNowX = i32(u32(devices.windowX) / std::max<u32>(scaleX, 1));
    mouseNowY = i32(u32(devices.windowY) / std::max<u32>(scaleY, 1));
}

void sampleKeyboardAndMouse(const InputSnapshot& devices)
{
    std::memcpy(keyStateLast, keyStateNow, KeyCount);
    std::memcpy(keyStateNow, devices.keys, KeyCount);
    mouseButtonsLast = mouseButtonsNow;
    mouseButtonsNow = devices.mouseButtons;
    samplePointer(devices);
}

// What changed between the two looks becomes both samples: neither a press nor a release.
void takeChangedAfresh(const InputSnapshot& before, const InputSnapshot& now)
{
    for (int key = 0; key < KeyCount; ++key)
        if (now.keys[key] != before.keys[key])
            keyStateNow[key] = keyStateLast[key] = now.keys[key];
    const u8 changed = before.mouseButtons ^ now.mouseButtons;
    mouseButtonsNow = u8((mouseButtonsNow & ~changed) | (now.mouseButtons & changed));
    mouseButtonsLast = u8((mouseButtonsLast & ~changed) | (now.mouseButtons & changed));
    if (now.windowX != before.windowX || now.windowY != before.windowY) {
        samplePointer(now);
        samplePointer(now);
    }
}

// Ball motion resets when read, so it is read here once and shared by every binding.
void sampleBalls()
{
    InputSource& source = inputSource();
    for (OpenJoystick& joystick : openJoysticks) {
        int count = std::max(source.numBalls(joystick.handle), 0);
        joystick.balls.assign(size_t(count), BallMotion());
        for (int i = 0; i < count; ++i)
            source.ball(joystick.handle, i, &joystick.balls[size_t(i)].dx, &joystick.balls[size_t(i)].dy);
    }
}

const OpenJoystick* findOpenJoystick(SDL_Joystick* handle)
{
    for (const OpenJoystick& joystick : openJoysticks)
        if (joystick.handle == handle)
            return &joystick;
    return nullptr;
}

bool zoneActive(u8 mode)
{
    if (mode & ModeLeft)
        return mouseNowX < ZoneLeftEdge;
    if (mode & ModeRight)
        return mouseNowX > ZoneRightEdge;
    if (mode & ModeUp)
        return mouseNowY < ZoneTopEdge;
    return mouseNowY > ZoneBottomEdge;
}

bool axisActive(i32 value, u8 mode)
{
    if (mode & ModeUp)
        return value > AxisThreshold;
    if (mode & ModeDown)
        return value < -AxisThreshold;
    return std::abs(value) <= AxisCentreLimit;
}

bool ballActive(i32 dx, i32 dy, u8 mode)
{
    if (mode & ModeUp)
        return dy < -BallThreshold;
    if (mode & ModeDown)
        return dy > BallThreshold;
    if (mode & ModeLeft)
        return dx < -BallThreshold;
    return dx > BallThreshold;
}

void samplePads()
{
    for (u8 player = 0; player <= PlayerPadCount; ++player)
        getControlPad(player)->sampleAll();
}

template <typename Visit>
void forEachPadBinding(Visit visit)
{
    for (u8 player = 0; player <= PlayerPadCount; ++player)
        for (u8 control = 0; control < ControlCount; ++control)
            visit(*getControlPad(player)->binding(control));
}

// Trackball motion gathered inside a modal wait is read and thrown away; this frame's stays.
void dropBallMotion()
{
    InputSource& source = inputSource();
    for (const OpenJoystick& joystick : openJoysticks) {
        for (int ball = 0; ball < source.numBalls(joystick.handle); ++ball) {
            i32 dx = 0, dy = 0;
            source.ball(joystick.handle, ball, &dx, &dy);
        }
    }
}

} // namespace

void ControlBinding::set(u16 code, u8 kind, SDL_Joystick* joystick)
{
    codeValue = code;
    kindByte = kind;
    joy = joystick;
}

void ControlBinding::setKey(u16 key, u8 mode)
{
    set(key, u8((mode & ModeMask) + SourceKey), joy);
}

void ControlBinding::setMouseButton(u8 button, u8 mode)
{
    set(button, u8((mode & ModeMask) + SourceMouseButton), joy);
}

void ControlBinding::setMouseZone(u8 mode)
{
    set(0, u8((mode & ModeMask) + SourceMouseZone), joy);
}

void ControlBinding::setJoyButton(SDL_Joystick* joystick, u8 index, u8 mode)
{
    set(u16(JoyButton + index), u8((mode & ModeMask) + SourceJoystick), joystick);
}

void ControlBinding::setJoyAxis(SDL_Joystick* joystick, u8 index, u8 mode)
{
    set(u16(JoyAxis + index), u8((mode & ModeMask) + SourceJoystick), joystick);
}

void ControlBinding::setJoyHat(SDL_Joystick* joystick, u8 index, u8 hatMask)
{
    set(u16(JoyHat + index), u8((hatMask << 4) + SourceJoystick), joystick);
}

void ControlBinding::setJoyBall(SDL_Joystick* joystick, u8 index, u8 mode)
{
    set(u16(JoyBall + index), u8((mode & ModeMask) + SourceJoystick), joystick);
}

bool ControlBinding::joystickActive() const
{
    if (!joystickIsOpen(joy))
        return false;
    InputSource& source = inputSource();
    int index = joyIndex();
    if (codeValue & JoyButton)
        return source.button(joy, index) == bool(mode() & ModeDown);
    if (codeValue & JoyAxis)
        return axisActive(source.axis(joy, index), mode());
    if (codeValue & JoyHat)
        return (source.hat(joy, index) & (mode() >> 4)) != 0;
    if (codeValue & JoyBall) {
        i32 dx = 0, dy = 0;
        joystickBallMotion(joy, index, &dx, &dy);
        return ballActive(dx, dy, mode());
    }
    return false;
}

bool ControlBinding::active() const
{
    bool down = mode() & ModeDown;
    if (isKey())
        return keyHeld(codeValue) == down;
    if (isJoystick())
        return joystickActive();
    if (isMouseButton())
        return mouseButtonHeld(u8(codeValue)) == down;
    if (isMouseZone())
        return zoneActive(mode());
    return false;
}

void ControlBinding::sample()
{
    historyBits = u8((historyBits << 1) | (active() ? 1 : 0));
}

void ControlBinding::noteQuery() const
{
    if (isMouseZone())
        noteZoneQueried();
}

bool ControlBinding::held() const
{
    noteQuery();
    return historyBits & 1;
}

bool ControlBinding::notHeld() const
{
    noteQuery();
    return !(historyBits & 1);
}

bool ControlBinding::pressed() const
{
    noteQuery();
    return (historyBits & 3) == 1;
}

bool ControlBinding::released() const
{
    noteQuery();
    return (historyBits & 3) == 2;
}

bool ControlBinding::operator==(const ControlBinding& other) const
{
    if (kindByte == 0 || kindByte != other.kindByte || codeValue != other.codeValue)
        return false;
    return !isJoystick() || joy == other.joy;
}

void updateInput()
{
    zoneQueriedLastFrame = zoneQueried;
    zoneQueried = false;
    sampleKeyboardAndMouse(readDevices());
    inputSource().updateJoysticks();
    sampleBalls();
    samplePads();
    typedChar = 0;
}

InputSnapshot snapshotInput()
{
    InputSnapshot snapshot = readDevices();
    forEachPadBinding([&](const ControlBinding& binding) { snapshot.bindings.push_back(binding.active()); });
    return snapshot;
}

void resyncInputAfterModal(const InputSnapshot& before)
{
    takeChangedAfresh(before, readDevices());
    inputSource().updateJoysticks();
    dropBallMotion();
    size_t index = 0;
    forEachPadBinding([&](ControlBinding& binding) {
        // Two samples of the new state: the change is neither a press nor a release.
        if (binding.active() != before.bindings[index++]) {
            binding.sample();
            binding.sample();
        }
    });
}

void handleInputEvent(const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN)
        typedChar = std::max<u16>(typedChar, event.key.keysym.unicode);
    else if (event.type == SDL_MOUSEBUTTONDOWN && validMouseButton(event.button.button))
        mouseButtonsNow |= u8(1u << (event.button.button - 1));
}

bool keyHeld(u16 key)
{
    return key < KeyCount && keyStateNow[key] != 0;
}

bool keyPressed(u16 key)
{
    return keyHeld(key) && keyStateLast[key] == 0;
}

bool keyReleased(u16 key)
{
    return key < KeyCount && keyStateNow[key] == 0 && keyStateLast[key] != 0;
}

bool mouseButtonHeld(u8 button)
{
    return buttonBit(mouseButtonsNow, button);
}

bool mouseButtonPressed(u8 button)
{
    return buttonBit(mouseButtonsNow, button) && !buttonBit(mouseButtonsLast, button);
}

bool mouseButtonReleased(u8 button)
{
    return !buttonBit(mouseButtonsNow, button) && buttonBit(mouseButtonsLast, button);
}

i32 mouseX()
{
    return mouseNowX;
}

i32 mouseY()
{
    return mouseNowY;
}

i32 mouseDeltaX()
{
    return mouseNowX - mouseLastX;
}

i32 mouseDeltaY()
{
    return mouseNowY - mouseLastY;
}

bool zoneBindingsInUse()
{
    return zoneQueriedLastFrame;
}

void noteZoneQueried()
{
    zoneQueried = true;
}

void resetInputState()
{
    std::memset(keyStateNow, 0, KeyCount);
    std::memset(keyStateLast, 0, KeyCount);
    mouseButtonsNow = mouseButtonsLast = 0;
    mouseNowX = mouseNowY = mouseLastX = mouseLastY = 0;
    typedChar = 0;
    zoneQueried = zoneQueriedLastFrame = false;
}

u16 beginTextInput()
{
    SDL_EnableUNICODE(1);
    u16 owner = nextTextInputOwner++;
    textInputOwners.push_back(owner);
    return owner;
}

void endTextInput(u16 owner)
{
    textInputOwners.erase(std::remove(textInputOwners.begin(), textInputOwners.end(), owner),
                          textInputOwners.end());
    if (textInputOwners.empty())
        SDL_EnableUNICODE(0);
}

u16 typedCharFor(u16 owner)
{
    if (textInputOwners.empty() || textInputOwners.back() != owner)
        return 0;
    return typedChar;
}

void endAllTextInput()
{
    if (!textInputOwners.empty())
        SDL_EnableUNICODE(0);
    textInputOwners.clear();
}

void reopenJoysticks()
{
    closeJoysticks();
    InputSource& source = inputSource();
    u16 count = u16(source.numJoysticks());
    for (u16 i = 0; i < count; ++i) {
        SDL_Joystick* handle = source.openJoystick(i);
        // A joystick that is listed but will not open is left out.
        if (handle && source.joystickOpened(i))
            openJoysticks.push_back({handle, {}});
    }
}

void closeJoysticks()
{
    for (const OpenJoystick& joystick : openJoysticks)
        inputSource().closeJoystick(joystick.handle);
    openJoysticks.clear();
}

int openJoystickCount()
{
    return int(openJoysticks.size());
}

SDL_Joystick* openJoystickAt(int n)
{
    if (n < 0 || n >= openJoystickCount())
        return nullptr;
    return openJoysticks[size_t(n)].handle;
}

bool joystickIsOpen(SDL_Joystick* joystick)
{
    if (!joystick || !findOpenJoystick(joystick))
        return false;
    InputSource& source = inputSource();
    return source.joystickOpened(source.joystickIndex(joystick));
}

void joystickBallMotion(SDL_Joystick* joystick, int ball, i32* dx, i32* dy)
{
    *dx = *dy = 0;
    const OpenJoystick* open = findOpenJoystick(joystick);
    if (!open || ball < 0 || size_t(ball) >= open->balls.size())
        return;
    *dx = open->balls[size_t(ball)].dx;
    *dy = open->balls[size_t(ball)].dy;
}
