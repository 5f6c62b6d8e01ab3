#include <gtest/gtest.h>

#include "tests/support/fake_input.h"

#include "core/bindingcapture.h"
#include "core/controlpad.h"
#include "core/engine.h"

#include <memory>

namespace {

class BindingCaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scaleX = scaleY = 1;
        fake_input::install();
        fake_input::setMousePosition(160, 120);
        initInput();
        updateInput();
    }
    void TearDown() override
    {
        capture.reset();
        shutdownInput();
        fake_input::uninstall();
        scaleX = scaleY = 2;
    }

    void startCapture() { capture = std::make_unique<BindingCapture>(); }

    // One frame of the controls page: the input sample, then the capture's own.
    bool frame(ControlBinding* taken)
    {
        updateInput();
        capture->sample();
        return capture->takeCaptured(taken);
    }

    std::unique_ptr<BindingCapture> capture;
};

TEST_F(BindingCaptureTest, LatestCandidateInTheListWins)
{
    startCapture();
    ControlBinding taken;
    EXPECT_FALSE(frame(&taken));
    fake_input::holdKey(SDLK_a);
    fake_input::holdKey(SDLK_b);
    ASSERT_TRUE(frame(&taken));
    EXPECT_EQ(taken.kind(), 0x11);
    EXPECT_EQ(taken.code(), SDLK_b);

    fake_input::holdKey(SDLK_z);
    fake_input::holdMouseButton(SDL_BUTTON_LEFT);
    ASSERT_TRUE(frame(&taken));
    EXPECT_EQ(taken.kind(), 0x12);
    EXPECT_EQ(taken.code(), SDL_BUTTON_LEFT);

    fake_input::holdMouseButton(SDL_BUTTON_MIDDLE);
    fake_input::setMousePosition(0, 120);
    ASSERT_TRUE(frame(&taken));
    EXPECT_EQ(taken.kind(), 0x48);
}

TEST_F(BindingCaptureTest, WithoutAPressNothingIsTakenAndOutIsLeftAlone)
{
    startCapture();
    ControlBinding out;
    out.setKey(SDLK_q, ModeDown);
    fake_input::holdKey(SDLK_w);
    ASSERT_TRUE(frame(&out));
    EXPECT_FALSE(frame(&out));  // still held, no longer pressed
    EXPECT_EQ(out.code(), SDLK_w);
    EXPECT_EQ(out.kind(), 0x11);
}

TEST_F(BindingCaptureTest, InputHeldAtTheStartCountsOnlyWhenPressedAgain)
{
    fake_input::holdKey(SDLK_RETURN);
    updateInput();
    startCapture();
    ControlBinding taken;
    EXPECT_FALSE(frame(&taken));
    EXPECT_FALSE(frame(&taken));
    fake_input::releaseKey(SDLK_RETURN);
    EXPECT_FALSE(frame(&taken));
    fake_input::holdKey(SDLK_RETURN);
    ASSERT_TRUE(frame(&taken));
    EXPECT_EQ(taken.code(), SDLK_RETURN);
}

TEST_F(BindingCaptureTest, PointerAlreadyInAZoneMustLeaveAndComeBack)
{
    fake_input::setMousePosition(5, 120);
    updateInput();
    startCapture();
    ControlBinding taken;
    EXPECT_FALSE(frame(&taken));
    fake_input::setMousePosition(160, 120);
    EXPECT_FALSE(frame(&taken));
    EXPECT_TRUE(zoneBindingsInUse());  // the capture watched the zones last frame: the cross is drawn
    fake_input::setMousePosition(5, 120);
    ASSERT_TRUE(frame(&taken));
    EXPECT_EQ(taken.kind(), 0x48);
    EXPECT_TRUE(taken.isMouseZone());
}

TEST_F(BindingCaptureTest, JoystickInputsComeLastInTheirOwnOrder)
{
    int pad = fake_input::addJoystick("Pad", 2, 2, 1, 1);
    int second = fake_input::addJoystick("Second", 0, 1, 0, 0);
    initInput();
    updateInput();
    startCapture();
    ControlBinding taken;
    EXPECT_FALSE(frame(&taken));

    struct Step {
        void (*act)(int pad, int second);
        u8 kind;
        u16 code;
        int device;
    };
    const Step steps[] = {
        // a joystick axis over a mouse zone
        {[](int p, int) { fake_input::setMousePosition(5, 120); fake_input::setJoystickAxis(p, 1, -20000); },
         0x14, 0x2001, 0},
        {[](int p, int) { fake_input::setJoystickAxis(p, 0, 20000); }, 0x24, 0x2000, 0},
        // a button over an axis
        {[](int p, int) { fake_input::setJoystickAxis(p, 1, 20000); fake_input::setJoystickButton(p, 0, true); },
         0x14, 0x1000, 0},
        // a ball over a button
        {[](int p, int) { fake_input::setJoystickButton(p, 1, true); fake_input::moveJoystickBall(p, 0, 0, -200); },
         0x24, 0x8000, 0},
        {[](int p, int) { fake_input::moveJoystickBall(p, 0, 200, 200); }, 0x84, 0x8000, 0},
        // a hat over a ball
        {[](int p, int) { fake_input::moveJoystickBall(p, 0, -200, 0); fake_input::setJoystickHat(p, 0, SDL_HAT_DOWN); },
         0x44, 0x4000, 0},
        // the second joystick over the first
        {[](int p, int s) { fake_input::setJoystickHat(p, 0, SDL_HAT_LEFT); fake_input::setJoystickButton(s, 0, true); },
         0x14, 0x1000, 1},
    };
    for (const Step& step : steps) {
        step.act(pad, second);
        ASSERT_TRUE(frame(&taken)) << std::hex << step.code;
        EXPECT_EQ(taken.kind(), step.kind) << std::hex << step.code;
        EXPECT_EQ(taken.code(), step.code);
        EXPECT_EQ(taken.joystick(), fake_input::joystickHandle(step.device));
    }
}

TEST_F(BindingCaptureTest, CapturedBindingWorksOnAPad)
{
    startCapture();
    ControlBinding taken;
    fake_input::holdMouseButton(SDL_BUTTON_RIGHT);
    ASSERT_TRUE(frame(&taken));
    playerPads[3]->setBinding(ControlA, taken);
    EXPECT_TRUE(controlHeld(ControlA, playerPads[3]));
    fake_input::releaseMouseButton(SDL_BUTTON_RIGHT);
    updateInput();
    EXPECT_TRUE(controlReleased(ControlA, playerPads[3]));
}

} // namespace
