#include "tests/support/fake_input.h"

#include "core/controlpad.h"
#include "core/inputsource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

struct FakeJoystick {
    std::string name;
    bool canOpen = true;
    bool open = false;
    std::vector<i16> axes;
    std::vector<bool> buttons;
    std::vector<u8> hats;
    struct Ball {
        i32 dx = 0, dy = 0;
        int reads = 0;
    };
    std::vector<Ball> balls;
};

// The keyboard is SDL's own key-state array, the one a real keyboard and the scripted modal
// events set, so a key pressed inside a modal screen reaches the input layer as it would in play.
u8* sdlKeys()
{
    return SDL_GetKeyState(nullptr);
}

void releaseAllKeys()
{
    std::memset(sdlKeys(), 0, KeyCount);
}

class FakeInputSource : public InputSource {
public:
    u8 mouseButtons = 0;
    i32 pointerX = 0, pointerY = 0;
    std::deque<FakeJoystick> joysticks;  // a deque keeps every handle's address stable
    int closedUses = 0;

    const u8* keyState(int* count) override { return SDL_GetKeyState(count); }

    u8 mouseState(i32* x, i32* y) override
    {
        *x = pointerX;
        *y = pointerY;
        return mouseButtons;
    }

    int numJoysticks() override { return int(joysticks.size()); }

    SDL_Joystick* openJoystick(int index) override
    {
        FakeJoystick* joystick = device(index);
        if (!joystick || !joystick->canOpen)
            return nullptr;
        joystick->open = true;
        return handleOf(*joystick);
    }

    bool joystickOpened(int index) override
    {
        FakeJoystick* joystick = device(index);
        return joystick && joystick->open;
    }

    int joystickIndex(SDL_Joystick* handle) override { return indexOf(use(handle)); }

    void closeJoystick(SDL_Joystick* handle) override { use(handle).open = false; }

    const char* joystickName(int index) override
    {
        FakeJoystick* joystick = device(index);
        return joystick && !joystick->name.empty() ? joystick->name.c_str() : nullptr;
    }

    void updateJoysticks() override {}

    int numAxes(SDL_Joystick* handle) override { return int(use(handle).axes.size()); }
    int numButtons(SDL_Joystick* handle) override { return int(use(handle).buttons.size()); }
    int numBalls(SDL_Joystick* handle) override { return int(use(handle).balls.size()); }
    int numHats(SDL_Joystick* handle) override { return int(use(handle).hats.size()); }

    i16 axis(SDL_Joystick* handle, int index) override { return at(use(handle).axes, index, i16(0)); }
    bool button(SDL_Joystick* handle, int index) override { return at(use(handle).buttons, index, false); }
    u8 hat(SDL_Joystick* handle, int index) override { return at(use(handle).hats, index, u8(0)); }

    void ball(SDL_Joystick* handle, int index, i32* dx, i32* dy) override
    {
        std::vector<FakeJoystick::Ball>& balls = use(handle).balls;
        *dx = *dy = 0;
        if (index < 0 || size_t(index) >= balls.size())
            return;
        FakeJoystick::Ball& ball = balls[size_t(index)];
        *dx = ball.dx;
        *dy = ball.dy;
        ball.dx = ball.dy = 0;
        ++ball.reads;
    }

    FakeJoystick* device(int index)
    {
        if (index < 0 || size_t(index) >= joysticks.size())
            return nullptr;
        return &joysticks[size_t(index)];
    }

private:
    static SDL_Joystick* handleOf(FakeJoystick& joystick) { return reinterpret_cast<SDL_Joystick*>(&joystick); }

    int indexOf(const FakeJoystick& joystick)
    {
        for (size_t i = 0; i < joysticks.size(); ++i)
            if (&joysticks[i] == &joystick)
                return int(i);
        return -1;
    }

    // SDL frees a joystick when it is closed; using the handle afterwards is the fault counted here.
    FakeJoystick& use(SDL_Joystick* handle)
    {
        FakeJoystick& joystick = *reinterpret_cast<FakeJoystick*>(handle);
        if (!joystick.open)
            ++closedUses;
        return joystick;
    }

    template <typename T>
    static T at(const std::vector<T>& values, int index, T none)
    {
        return index >= 0 && size_t(index) < values.size() ? values[size_t(index)] : none;
    }
};

FakeInputSource* fake = nullptr;

FakeInputSource& source()
{
    if (!fake)
        ADD_FAILURE() << "fake_input::install() has not been called";
    static FakeInputSource unused;
    return fake ? *fake : unused;
}

FakeJoystick& joystickAt(int device)
{
    FakeJoystick* joystick = source().device(device);
    if (!joystick) {
        ADD_FAILURE() << "no fake joystick " << device;
        static FakeJoystick unused;
        return unused;
    }
    return *joystick;
}

template <typename T>
void setValue(std::vector<T>& values, int index, T value)
{
    if (index < 0 || size_t(index) >= values.size()) {
        ADD_FAILURE() << "fake joystick input " << index << " does not exist";
        return;
    }
    values[size_t(index)] = value;
}

void setMouseBit(u8 button, bool down)
{
    if (button < 1 || button > 8) {
        ADD_FAILURE() << "mouse button " << int(button) << " cannot be held";
        return;
    }
    u8 bit = u8(1u << (button - 1));
    source().mouseButtons = down ? u8(source().mouseButtons | bit) : u8(source().mouseButtons & ~bit);
}

void setControl(u8 player, u8 control, bool down)
{
    const ControlBinding* binding = getControlPad(player)->binding(control);
    if (binding && binding->isKey())
        down ? fake_input::holdKey(binding->code()) : fake_input::releaseKey(binding->code());
    else if (binding && binding->isMouseButton())
        setMouseBit(u8(binding->code()), down);
    else
        ADD_FAILURE() << "player " << int(player) << " control " << int(control)
                      << " is not bound to a key or a mouse button";
}

} // namespace

namespace fake_input {

void install()
{
    delete fake;
    fake = new FakeInputSource;
    setInputSource(fake);
    releaseAllKeys();
}

void uninstall()
{
    // The fake joysticks go away with the fake; the input layer must not keep their handles.
    closeJoysticks();
    setInputSource(nullptr);
    delete fake;
    fake = nullptr;
    releaseAllKeys();
}

void holdKey(u16 key)
{
    ASSERT_LT(key, KeyCount);
    sdlKeys()[key] = 1;
}

void releaseKey(u16 key)
{
    ASSERT_LT(key, KeyCount);
    sdlKeys()[key] = 0;
}

void releaseAll()
{
    releaseAllKeys();
    source().mouseButtons = 0;
}

void setMousePosition(i32 windowX, i32 windowY)
{
    source().pointerX = windowX;
    source().pointerY = windowY;
}

void holdMouseButton(u8 button)
{
    setMouseBit(button, true);
}

void releaseMouseButton(u8 button)
{
    setMouseBit(button, false);
}

void holdControl(u8 player, u8 control)
{
    setControl(player, control, true);
}

void releaseControl(u8 player, u8 control)
{
    setControl(player, control, false);
}

int addJoystick(const char* name, int axes, int buttons, int balls, int hats, bool canOpen)
{
    FakeJoystick joystick;
    joystick.name = name ? name : "";
    joystick.canOpen = canOpen;
    joystick.axes.assign(size_t(axes), 0);
    joystick.buttons.assign(size_t(buttons), false);
    joystick.balls.assign(size_t(balls), FakeJoystick::Ball());
    joystick.hats.assign(size_t(hats), u8(SDL_HAT_CENTERED));
    source().joysticks.push_back(joystick);
    return int(source().joysticks.size()) - 1;
}

void setJoystickAxis(int device, int axis, i16 value)
{
    setValue(joystickAt(device).axes, axis, value);
}

void setJoystickButton(int device, int button, bool down)
{
    setValue(joystickAt(device).buttons, button, down);
}

void setJoystickHat(int device, int hat, u8 mask)
{
    setValue(joystickAt(device).hats, hat, mask);
}

void moveJoystickBall(int device, int ball, i32 dx, i32 dy)
{
    std::vector<FakeJoystick::Ball>& balls = joystickAt(device).balls;
    if (ball < 0 || size_t(ball) >= balls.size()) {
        ADD_FAILURE() << "fake joystick ball " << ball << " does not exist";
        return;
    }
    balls[size_t(ball)].dx += dx;
    balls[size_t(ball)].dy += dy;
}

int ballReads(int device, int ball)
{
    std::vector<FakeJoystick::Ball>& balls = joystickAt(device).balls;
    return ball >= 0 && size_t(ball) < balls.size() ? balls[size_t(ball)].reads : -1;
}

int closedHandleUses()
{
    return source().closedUses;
}

SDL_Joystick* joystickHandle(int device)
{
    return reinterpret_cast<SDL_Joystick*>(&joystickAt(device));
}

} // namespace fake_input
