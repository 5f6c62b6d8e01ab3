#include <gtest/gtest.h>

#include "tests/support/fake_input.h"

#include "core/controlpad.h"
#include "core/engine.h"
#include "core/message.h"

#include <vector>

namespace {

class ControlPadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake_input::install();
        initInput();
    }
    void TearDown() override
    {
        shutdownInput();
        fake_input::uninstall();
    }

    struct Expected {
        u8 kind;
        u16 code;
    };
    static void expectPad(const ControlPad* pad, const std::vector<Expected>& expected)
    {
        for (u8 i = 0; i < ControlCount; ++i) {
            EXPECT_EQ(pad->binding(i)->kind(), expected[i].kind) << "control " << int(i);
            EXPECT_EQ(pad->binding(i)->code(), expected[i].code) << "control " << int(i);
        }
    }
};

TEST_F(ControlPadTest, StartUpGivesPlayerZeroTheKeyboardAndTheOthersNothing)
{
    EXPECT_EQ(getControlPad(0), primaryPad);
    expectPad(primaryPad, {{0x11, SDLK_UP}, {0x11, SDLK_DOWN}, {0x11, SDLK_LEFT}, {0x11, SDLK_RIGHT},
                           {0x11, 'z'}, {0x11, 'x'}, {0x11, 'c'}, {0x11, 'v'}});
    for (u16 key = 0; key < KeyCount; ++key)
        fake_input::holdKey(key);
    fake_input::holdMouseButton(SDL_BUTTON_LEFT);
    updateInput();
    for (u8 player = 1; player <= PlayerPadCount; ++player) {
        ControlPad* pad = getControlPad(player);
        EXPECT_EQ(pad, playerPads[player - 1]);
        for (u8 i = 0; i < ControlCount; ++i) {
            EXPECT_EQ(pad->binding(i)->kind(), 0);
            EXPECT_FALSE(controlHeld(i, pad));
        }
    }
    EXPECT_TRUE(controlHeld(ControlY, primaryPad));
}

TEST_F(ControlPadTest, HeldControlIsPressedInItsFirstFrameOnly)
{
    fake_input::holdControl(0, ControlRight);
    fake_input::holdControl(0, ControlB);
    runFrames(1);
    EXPECT_TRUE(controlPressed(ControlRight, primaryPad));
    EXPECT_TRUE(controlHeld(ControlB, primaryPad));
    EXPECT_FALSE(controlHeld(ControlLeft, primaryPad));
    runFrames(1);
    EXPECT_FALSE(controlPressed(ControlRight, primaryPad));
    EXPECT_TRUE(controlHeld(ControlRight, primaryPad));
    fake_input::releaseControl(0, ControlRight);
    runFrames(1);
    EXPECT_TRUE(primaryPad->released(ControlRight));
    EXPECT_TRUE(controlNotHeld(ControlRight, primaryPad));
    EXPECT_TRUE(controlHeld(ControlB, primaryPad));
}

TEST_F(ControlPadTest, SetBindingTakesThePresentStateAtOnce)
{
    fake_input::holdKey(SDLK_q);
    updateInput();
    ControlBinding q;
    q.setKey(SDLK_q, ModeDown);
    playerPads[2]->setBinding(ControlA, q);
    EXPECT_TRUE(controlPressed(ControlA, playerPads[2]));
    updateInput();
    EXPECT_TRUE(controlHeld(ControlA, playerPads[2]));
    EXPECT_FALSE(controlPressed(ControlA, playerPads[2]));
}

TEST_F(ControlPadTest, PlayersBeyondEightGetAPadThatStaysEmpty)
{
    ControlPad* beyond = getControlPad(9);
    for (u8 player = 0; player <= PlayerPadCount; ++player)
        EXPECT_NE(beyond, getControlPad(player));
    ControlBinding space;
    space.setKey(SDLK_SPACE, ModeDown);
    beyond->setBinding(ControlA, space);
    fake_input::holdKey(SDLK_SPACE);
    updateInput();
    EXPECT_FALSE(controlHeld(ControlA, getControlPad(255)));
    EXPECT_EQ(getControlPad(9)->binding(ControlA)->kind(), 0);
}

TEST_F(ControlPadTest, InvalidControlIsReportedAndAnswersFalse)
{
    fake_input::holdKey(SDLK_v);
    updateInput();
    u32 shown = messagesShownCount();
    EXPECT_TRUE(controlHeld(ControlY, primaryPad));
    EXPECT_EQ(messagesShownCount(), shown);

    EXPECT_FALSE(controlHeld(8, primaryPad));
    EXPECT_EQ(lastMessageShown(), "INPUT ERROR: INVALID CONTROL REFERENCED: '8'");
    EXPECT_FALSE(controlNotHeld(200, primaryPad));
    EXPECT_FALSE(controlPressed(255, primaryPad));
    EXPECT_EQ(lastMessageShown(), "INPUT ERROR: INVALID CONTROL REFERENCED: '255'");
    EXPECT_EQ(primaryPad->binding(9), nullptr);
    ControlBinding space;
    space.setKey(SDLK_SPACE, ModeDown);
    primaryPad->setBinding(ControlCount, space);
    EXPECT_EQ(messagesShownCount(), shown + 5);
    for (u8 i = 0; i < ControlCount; ++i)
        EXPECT_NE(primaryPad->binding(i)->code(), SDLK_SPACE);
}

TEST_F(ControlPadTest, MouseAndEmptyPresets)
{
    ControlPad* pad = playerPads[0];
    pad->applyPreset(PresetMouse);
    expectPad(pad, {{0x28, 0}, {0x18, 0}, {0x48, 0}, {0x88, 0}, {0x12, 1}, {0x12, 3}, {0x12, 2}, {0x11, 4}});
    for (u8 preset : {u8(PresetEmpty), u8(PresetNone), u8(5), u8(255)}) {
        pad->applyPreset(PresetMouse);
        pad->applyPreset(preset);
        for (u8 i = 0; i < ControlCount; ++i)
            EXPECT_EQ(pad->binding(i)->kind(), 0) << "preset " << int(preset);
    }
}

TEST_F(ControlPadTest, JoystickPresetUsesTheFirstJoystickThatOpened)
{
    ControlPad* pad = playerPads[0];
    pad->applyPreset(PresetJoystick);
    EXPECT_EQ(pad->binding(ControlA)->kind(), 0);  // no joystick attached

    fake_input::addJoystick("Broken", 0, 4, 0, 1, false);
    int first = fake_input::addJoystick("First", 0, 4, 0, 1);
    int second = fake_input::addJoystick("Second", 0, 4, 0, 1);
    initInput();
    EXPECT_EQ(openJoystickCount(), 2);
    pad->applyPreset(PresetJoystick);
    expectPad(pad, {{0x14, 0x4000}, {0x44, 0x4000}, {0x84, 0x4000}, {0x24, 0x4000},
                    {0x14, 0x1000}, {0x14, 0x1001}, {0x14, 0x1002}, {0x14, 0x1003}});
    for (u8 i = 0; i < ControlCount; ++i)
        EXPECT_EQ(pad->binding(i)->joystick(), fake_input::joystickHandle(first));

    fake_input::setJoystickButton(second, 0, true);
    fake_input::setJoystickHat(first, 0, SDL_HAT_LEFT);
    updateInput();
    EXPECT_FALSE(controlHeld(ControlA, pad));
    EXPECT_TRUE(controlPressed(ControlLeft, pad));
}

TEST_F(ControlPadTest, ShutdownClosesJoysticksAndEmptiesThePads)
{
    int device = fake_input::addJoystick("Pad", 0, 4, 0, 1);
    initInput();
    SDL_Joystick* handle = fake_input::joystickHandle(device);
    EXPECT_TRUE(joystickIsOpen(handle));
    shutdownInput();
    EXPECT_EQ(openJoystickCount(), 0);
    EXPECT_FALSE(joystickIsOpen(handle));
    EXPECT_EQ(primaryPad->binding(ControlUp)->kind(), 0);
    EXPECT_EQ(fake_input::closedHandleUses(), 0);
}

} // namespace
