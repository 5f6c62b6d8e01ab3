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
// What the next sample compares with: this frame's sample, but for what a modal wait changed
// since, taken as the wait left it.
u8 keyStateNext[KeyCount];
u8 mouseButtonsNext = 0;
i32 mouseNextX = 0, mouseNextY = 0;
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

// Window pixels back to the 320x240 screen; the scale is a whole number of at least 1.
DeviceView viewOf(const InputSnapshot& devices)
{
    return {devices.keys, devices.mouseButtons, i32(u32(devices.windowX) / std::max<u32>(scaleX, 1)),
            i32(u32(devices.windowY) / std::max<u32>(scaleY, 1))};
}

DeviceView sampledView()
{
    return {keyStateNow, mouseButtonsNow, mouseNowX, mouseNowY};
}

void sampleKeyboardAndMouse(const InputSnapshot& devices)
{
    const DeviceView now = viewOf(devices);
    std::memcpy(keyStateLast, keyStateNext, KeyCount);
    std::memcpy(keyStateNow, now.keys, KeyCount);
    std::memcpy(keyStateNext, now.keys, KeyCount);
    mouseButtonsLast = mouseButtonsNext;
    mouseButtonsNow = mouseButtonsNext = now.mouseButtons;
    mouseLastX = mouseNextX;
    mouseLastY = mouseNextY;
    mouseNowX = mouseNextX = now.x;
    mouseNowY = mouseNextY = now.y;
}

// What changed between the two looks is what the next sample compares with: neither a press nor
// a release then. This frame's sample is left as it is.
void carryChangesToNextSample(const InputSnapshot& before, const InputSnapshot& now)
{
    for (int key = 0; key < KeyCount; ++key)
        if (now.keys[key] != before.keys[key])
            keyStateNext[key] = now.keys[key];
    const u8 changed = before.mouseButtons ^ now.mouseButtons;
    mouseButtonsNext = u8((mouseButtonsNext & ~changed) | (now.mouseButtons & changed));
    if (now.windowX != before.windowX || now.windowY != before.windowY) {
        const DeviceView pointer = viewOf(now);
        mouseNextX = pointer.x;
        mouseNextY = pointer.y;
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

bool zoneActive(u8 mode, i32 x, i32 y)
{
    if (mode & ModeLeft)
        return x < ZoneLeftEdge;
    if (mode & ModeRight)
        return x > ZoneRightEdge;
    if (mode & ModeUp)
        return y < ZoneTopEdge;
    return y > ZoneBottomEdge;
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
    return activeIn(sampledView());
}

bool ControlBinding::activeIn(const DeviceView& devices) const
{
    bool down = mode() & ModeDown;
    if (isKey())
        return (codeValue < KeyCount && devices.keys[codeValue] != 0) == down;
    if (isJoystick())
        return joystickActive();
    if (isMouseButton())
        return buttonBit(devices.mouseButtons, u8(codeValue)) == down;
    if (isMouseZone())
        return zoneActive(mode(), devices.x, devices.y);
    return false;
}

void ControlBinding::carryToNextSample(bool activeAfterWait)
{
    carried = activeAfterWait ? Carried::Active : Carried::Inactive;
}

void ControlBinding::sample()
{
    u8 previous = historyBits;
    if (carried != Carried::History)
        previous = u8((previous & ~1u) | (carried == Carried::Active ? 1u : 0u));
    carried = Carried::History;
    historyBits = u8((previous << 1) | (active() ? 1 : 0));
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
    const DeviceView devices = viewOf(snapshot);
    forEachPadBinding([&](const ControlBinding& binding) { snapshot.bindings.push_back(binding.activeIn(devices)); });
    return snapshot;
}

void resyncInputAfterModal(const InputSnapshot& before)
{
    const InputSnapshot after = readDevices();
    carryChangesToNextSample(before, after);
    inputSource().updateJoysticks();
    dropBallMotion();
    const DeviceView devices = viewOf(after);
    size_t index = 0;
    forEachPadBinding([&](ControlBinding& binding) {
        const bool active = binding.activeIn(devices);
        if (active != before.bindings[index++])
            binding.carryToNextSample(active);
    });
}

void handleInputEvent(const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN)
        typedChar = std::max<u16>(typedChar, event.key.keysym.unicode);
    else if (event.type == SDL_MOUSEBUTTONDOWN && validMouseButton(event.button.button)) {
        // A click between two samples counts in this frame and is no press at the next.
        const u8 bit = u8(1u << (event.button.button - 1));
        mouseButtonsNow |= bit;
        mouseButtonsNext |= bit;
    }
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
    std::memset(keyStateNext, 0, KeyCount);
    mouseButtonsNow = mouseButtonsLast = mouseButtonsNext = 0;
    mouseNowX = mouseNowY = mouseLastX = mouseLastY = mouseNextX = mouseNextY = 0;
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
