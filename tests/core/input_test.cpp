#include <gtest/gtest.h>

#include "tests/support/fake_input.h"

#include "core/controlpad.h"
#include "core/engine.h"
#include "core/input.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scaleX = scaleY = 1;
        fake_input::install();
        initInput();
    }
    void TearDown() override
    {
        shutdownInput();
        fake_input::uninstall();
        scaleX = scaleY = 2;
    }

    static SDL_Event keyDown(SDLKey key, u16 unicode)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        event.key.keysym.unicode = unicode;
        return event;
    }

    static SDL_Event buttonDown(u8 button)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = button;
        return event;
    }

    static ControlBinding sampled(ControlBinding binding)
    {
        binding.sample();
        return binding;
    }
};

TEST_F(InputTest, KeyIsPressedOnceHeldThroughoutAndReleasedAfter)
{
    fake_input::holdKey(SDLK_a);
    updateInput();
    EXPECT_TRUE(keyPressed(SDLK_a));
    EXPECT_TRUE(keyHeld(SDLK_a));
    EXPECT_FALSE(keyReleased(SDLK_a));
    updateInput();
    EXPECT_FALSE(keyPressed(SDLK_a));
    EXPECT_TRUE(keyHeld(SDLK_a));
    fake_input::releaseKey(SDLK_a);
    updateInput();
    EXPECT_TRUE(keyReleased(SDLK_a));
    EXPECT_FALSE(keyHeld(SDLK_a));
    updateInput();
    EXPECT_FALSE(keyReleased(SDLK_a));
}

TEST_F(InputTest, KeyCodesBeyondTheKeyboardAreNeverHeld)
{
    fake_input::holdKey(KeyCount - 1);
    updateInput();
    EXPECT_TRUE(keyHeld(KeyCount - 1));
    resetInputState();
    EXPECT_FALSE(keyHeld(KeyCount - 1)) << "a reset forgets the frame's sample";
    for (u16 key : {u16(KeyCount), u16(400), u16(0xFFFF)}) {
        EXPECT_FALSE(keyHeld(key)) << key;
        EXPECT_FALSE(keyPressed(key)) << key;
        EXPECT_FALSE(keyReleased(key)) << key;
    }
    ControlBinding beyond;
    beyond.setKey(1000, ModeDown);
    beyond.sample();
    EXPECT_FALSE(beyond.held());
}

TEST_F(InputTest, MouseButtonTimingAndEventsWithinTheFrame)
{
    fake_input::holdMouseButton(SDL_BUTTON_RIGHT);
    updateInput();
    EXPECT_TRUE(mouseButtonPressed(SDL_BUTTON_RIGHT));
    EXPECT_TRUE(mouseButtonHeld(SDL_BUTTON_RIGHT));
    EXPECT_FALSE(mouseButtonHeld(SDL_BUTTON_LEFT));
    fake_input::releaseMouseButton(SDL_BUTTON_RIGHT);
    updateInput();
    EXPECT_TRUE(mouseButtonReleased(SDL_BUTTON_RIGHT));

    // A click that comes and goes between two samples is still seen through its event,
    // but only by the raw queries: bindings were sampled before the events.
    ControlBinding left;
    left.setMouseButton(SDL_BUTTON_LEFT, ModeDown);
    primaryPad->setBinding(ControlA, left);
    updateInput();
    handleInputEvent(buttonDown(SDL_BUTTON_LEFT));
    EXPECT_TRUE(mouseButtonPressed(SDL_BUTTON_LEFT));
    EXPECT_FALSE(controlHeld(ControlA, primaryPad));
}

TEST_F(InputTest, MouseButtonsOutsideOneToEightAreIgnored)
{
    for (u8 button : {u8(0), u8(9), u8(200)})
        handleInputEvent(buttonDown(button));
    handleInputEvent(buttonDown(8));
    EXPECT_TRUE(mouseButtonHeld(8));
    for (u8 button = 1; button < 8; ++button)
        EXPECT_FALSE(mouseButtonHeld(button)) << int(button);
    for (u8 button : {u8(0), u8(9), u8(255)}) {
        EXPECT_FALSE(mouseButtonHeld(button));
        EXPECT_FALSE(mouseButtonPressed(button));
        EXPECT_FALSE(mouseButtonReleased(button));
    }
}

TEST_F(InputTest, PointerIsScaledBackToTheLogicalScreen)
{
    scaleX = scaleY = 3;
    fake_input::setMousePosition(959, 719);
    updateInput();
    EXPECT_EQ(mouseX(), 319);
    EXPECT_EQ(mouseY(), 239);
    fake_input::setMousePosition(300, 30);
    updateInput();
    EXPECT_EQ(mouseX(), 100);
    EXPECT_EQ(mouseY(), 10);
    EXPECT_EQ(mouseDeltaX(), 100 - 319);
    EXPECT_EQ(mouseDeltaY(), 10 - 239);
}

TEST_F(InputTest, TypedCharacterGoesToTheNewestOwnerForOneFrame)
{
    u16 older = beginTextInput();
    u16 newer = beginTextInput();
    EXPECT_EQ(u16(older + 1), newer);
    EXPECT_EQ(SDL_EnableUNICODE(-1), 1);

    updateInput();
    handleInputEvent(keyDown(SDLK_a, 0x61));
    handleInputEvent(keyDown(SDLK_a, 0x41));
    EXPECT_EQ(typedCharFor(newer), 0x61);
    EXPECT_EQ(typedCharFor(older), 0);
    updateInput();
    EXPECT_EQ(typedCharFor(newer), 0);

    endTextInput(newer);
    handleInputEvent(keyDown(SDLK_b, 0x62));
    EXPECT_EQ(typedCharFor(older), 0x62);
    EXPECT_EQ(typedCharFor(newer), 0);
    EXPECT_EQ(SDL_EnableUNICODE(-1), 1);
    endTextInput(older);
    EXPECT_EQ(typedCharFor(older), 0);
    EXPECT_EQ(SDL_EnableUNICODE(-1), 0);
}

TEST_F(InputTest, ShutdownEndsTextInputStillOpen)
{
    beginTextInput();
    shutdownInput();
    EXPECT_EQ(SDL_EnableUNICODE(-1), 0);
}

TEST_F(InputTest, BindingHistoryAndReverseMode)
{
    ControlBinding down, up;
    down.setKey(SDLK_SPACE, ModeDown);
    up.setKey(SDLK_SPACE, 0);
    EXPECT_EQ(down.kind(), 0x11);
    EXPECT_EQ(up.kind(), 0x01);
    updateInput();
    down.sample();
    up.sample();
    EXPECT_FALSE(down.held());
    EXPECT_TRUE(up.held());

    fake_input::holdKey(SDLK_SPACE);
    updateInput();
    down.sample();
    up.sample();
    EXPECT_TRUE(down.pressed());
    EXPECT_TRUE(up.released());
    for (int i = 0; i < 8; ++i) {
        updateInput();
        down.sample();
    }
    EXPECT_EQ(down.history(), 0xFF);
    EXPECT_TRUE(down.held());
    EXPECT_FALSE(down.pressed());
}

TEST_F(InputTest, BindingEqualityAndDefaults)
{
    ControlBinding empty;
    EXPECT_EQ(empty.joystick(), nullptr);
    EXPECT_EQ(empty.kind(), 0);
    EXPECT_FALSE(empty == ControlBinding());

    ControlBinding z1, z2, zReverse, x;
    z1.setKey(SDLK_z, ModeDown);
    z2.setKey(SDLK_z, ModeDown | 0x0F);  // the low nibble of a mode is not a mode
    zReverse.setKey(SDLK_z, 0);
    x.setKey(SDLK_x, ModeDown);
    EXPECT_TRUE(z1 == z2);
    EXPECT_FALSE(z1 == zReverse);
    EXPECT_FALSE(z1 == x);

    fake_input::addJoystick("pad", 0, 2, 0, 0);
    fake_input::addJoystick("pad", 0, 2, 0, 0);
    reopenJoysticks();
    ControlBinding first, again, second;
    first.setJoyButton(openJoystickAt(0), 1, ModeDown);
    again.setJoyButton(openJoystickAt(0), 1, ModeDown);
    second.setJoyButton(openJoystickAt(1), 1, ModeDown);
    EXPECT_TRUE(first == again);
    EXPECT_FALSE(first == second);
}

TEST_F(InputTest, MouseZoneEdges)
{
    ControlBinding left, right, up, down;
    left.setMouseZone(ModeLeft);
    right.setMouseZone(ModeRight);
    up.setMouseZone(ModeUp);
    down.setMouseZone(ModeDown);
    struct Case {
        i32 x, y;
        bool left, right, up, down;
    };
    for (Case c : {Case{129, 120, true, false, false, false}, Case{130, 120, false, false, false, false},
                   Case{190, 120, false, false, false, false}, Case{191, 120, false, true, false, false},
                   Case{160, 89, false, false, true, false}, Case{160, 90, false, false, false, false},
                   Case{160, 150, false, false, false, false}, Case{160, 151, false, false, false, true},
                   Case{0, 0, true, false, true, false}}) {
        fake_input::setMousePosition(c.x, c.y);
        updateInput();
        EXPECT_EQ(sampled(left).held(), c.left) << c.x << "," << c.y;
        EXPECT_EQ(sampled(right).held(), c.right) << c.x << "," << c.y;
        EXPECT_EQ(sampled(up).held(), c.up) << c.x << "," << c.y;
        EXPECT_EQ(sampled(down).held(), c.down) << c.x << "," << c.y;
    }
}

TEST_F(InputTest, ZoneQueriesAreReportedForTheFollowingFrame)
{
    ControlBinding zone;
    zone.setMouseZone(ModeLeft);
    primaryPad->setBinding(ControlUp, zone);
    updateInput();
    EXPECT_FALSE(zoneBindingsInUse());
    controlHeld(ControlDown, primaryPad);  // a key binding does not count
    updateInput();
    EXPECT_FALSE(zoneBindingsInUse());
    controlPressed(ControlUp, primaryPad);
    EXPECT_FALSE(zoneBindingsInUse());
    updateInput();
    EXPECT_TRUE(zoneBindingsInUse());
    updateInput();
    EXPECT_FALSE(zoneBindingsInUse());
}

class JoystickInputTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        device = fake_input::addJoystick("Stick", 2, 4, 1, 1);
        reopenJoysticks();
        stick = openJoystickAt(0);
        ASSERT_NE(stick, nullptr);
    }

    int device = 0;
    SDL_Joystick* stick = nullptr;
};

TEST_F(JoystickInputTest, AxisThresholds)
{
    ControlBinding positive, negative, centre;
    positive.setJoyAxis(stick, 1, ModeUp);
    negative.setJoyAxis(stick, 1, ModeDown);
    centre.setJoyAxis(stick, 1, 0);
    struct Case {
        i16 value;
        bool positive, negative, centre;
    };
    for (Case c : {Case{16001, true, false, false}, Case{16000, false, false, false},
                   Case{15999, false, false, false}, Case{15998, false, false, true},
                   Case{0, false, false, true}, Case{-15998, false, false, true},
                   Case{-16000, false, false, false}, Case{-16001, false, true, false},
                   Case{-32768, false, true, false}, Case{32767, true, false, false}}) {
        fake_input::setJoystickAxis(device, 1, c.value);
        updateInput();
        EXPECT_EQ(sampled(positive).held(), c.positive) << c.value;
        EXPECT_EQ(sampled(negative).held(), c.negative) << c.value;
        EXPECT_EQ(sampled(centre).held(), c.centre) << c.value;
    }
}

TEST_F(JoystickInputTest, HatDirectionsAndButtons)
{
    ControlBinding up, right, left, button, buttonUp;
    up.setJoyHat(stick, 0, SDL_HAT_UP);
    right.setJoyHat(stick, 0, SDL_HAT_RIGHT);
    left.setJoyHat(stick, 0, SDL_HAT_LEFT);
    button.setJoyButton(stick, 3, ModeDown);
    buttonUp.setJoyButton(stick, 3, 0);
    EXPECT_EQ(up.kind(), 0x14);
    EXPECT_EQ(left.kind(), 0x84);
    EXPECT_EQ(up.code(), 0x4000);
    EXPECT_EQ(button.code(), 0x1003);

    fake_input::setJoystickHat(device, 0, SDL_HAT_RIGHTUP);
    fake_input::setJoystickButton(device, 3, true);
    updateInput();
    EXPECT_TRUE(sampled(up).held());
    EXPECT_TRUE(sampled(right).held());
    EXPECT_FALSE(sampled(left).held());
    EXPECT_TRUE(sampled(button).held());
    EXPECT_FALSE(sampled(buttonUp).held());
}

TEST_F(JoystickInputTest, BallMotionIsReadOnceAndSharedByEveryBinding)
{
    ControlBinding down;
    down.setJoyBall(stick, 0, ModeDown);
    primaryPad->setBinding(ControlDown, down);
    playerPads[0]->setBinding(ControlDown, down);
    ControlBinding up, left, right;
    up.setJoyBall(stick, 0, ModeUp);
    left.setJoyBall(stick, 0, ModeLeft);
    right.setJoyBall(stick, 0, 0);

    fake_input::moveJoystickBall(device, 0, 150, 101);
    updateInput();
    EXPECT_EQ(fake_input::ballReads(device, 0), 1);
    EXPECT_TRUE(controlPressed(ControlDown, primaryPad));
    EXPECT_TRUE(controlPressed(ControlDown, playerPads[0]));
    EXPECT_TRUE(sampled(right).held());
    EXPECT_FALSE(sampled(left).held());
    EXPECT_FALSE(sampled(up).held());

    fake_input::moveJoystickBall(device, 0, -101, 100);
    updateInput();
    EXPECT_EQ(fake_input::ballReads(device, 0), 2);
    EXPECT_TRUE(controlReleased(ControlDown, primaryPad));
    EXPECT_TRUE(sampled(left).held());
    EXPECT_FALSE(sampled(right).held());

    // Motion inside a modal wait is thrown away: the next frame never sees it.
    const InputSnapshot before = snapshotInput();
    fake_input::moveJoystickBall(device, 0, 0, 500);
    resyncInputAfterModal(before);
    updateInput();
    EXPECT_FALSE(controlHeld(ControlDown, primaryPad));
    fake_input::moveJoystickBall(device, 0, 0, 101);
    updateInput();
    EXPECT_TRUE(controlHeld(ControlDown, primaryPad)) << "down follows the ball's y alone";
}

TEST_F(JoystickInputTest, BindingOfAClosedJoystickIsInactiveWithoutTouchingIt)
{
    ControlBinding button, centre;
    button.setJoyButton(stick, 0, ModeDown);
    centre.setJoyAxis(stick, 0, 0);
    fake_input::setJoystickButton(device, 0, true);
    updateInput();
    EXPECT_TRUE(sampled(button).held());
    EXPECT_TRUE(sampled(centre).held());

    closeJoysticks();
    updateInput();
    EXPECT_FALSE(joystickIsOpen(stick));
    EXPECT_FALSE(sampled(button).held());
    EXPECT_FALSE(sampled(centre).held());
    EXPECT_EQ(fake_input::closedHandleUses(), 0);
}

} // namespace
