#include <gtest/gtest.h>

#include "tests/support/fake_input.h"

#include "core/bindingdesc.h"
#include "core/controlpad.h"
#include "core/lang.h"
#include "core/respack.h"

#include <string>
#include <vector>

namespace {

// With a pack that has no "control" category every label reads as its marker text,
// so each piece of a description can be seen in the result.
std::u16string L(const std::u16string& item)
{
    return u"NOCAT-control:" + item;
}

class BindingDescriptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake_input::install();
        loadLangPack("no_such_language");
    }
    void TearDown() override
    {
        unloadLangPack();
        shutdownInput();
        fake_input::uninstall();
    }

    static ControlBinding key(u16 code, u8 mode = ModeDown)
    {
        ControlBinding binding;
        binding.setKey(code, mode);
        return binding;
    }
};

TEST_F(BindingDescriptionTest, KeyNames)
{
    struct Case {
        u16 code;
        std::u16string name;
    };
    const Case cases[] = {
        {SDLK_z, u"Z" + L(u"letter_key")},
        {'A', u"A" + L(u"letter_key")},
        {SDLK_1, u"#49 (1)"},
        {'~', u"#126 (~)"},
        {0, u"#0 (?!?)"},
        {160, u"#160 (?!?)"},
        {297, u"#297 (?!?)"},
        {400, u"#400 (?!?)"},
        {SDLK_BACKSPACE, L(u"backspace")},
        {SDLK_TAB, L(u"tab")},
        {SDLK_RETURN, L(u"return")},
        {SDLK_SPACE, L(u"space")},
        {SDLK_DELETE, L(u"delete")},
        {SDLK_KP0, L(u"keypad") + u"0"},
        {SDLK_KP9, L(u"keypad") + u"9"},
        {SDLK_KP_PERIOD, L(u"keypad_period")},
        {SDLK_KP_EQUALS, L(u"keypad_equals")},
        {SDLK_RIGHT, L(u"arrow_right")},
        {SDLK_LEFT, L(u"arrow_left")},
        {SDLK_PAGEDOWN, L(u"page_down")},
        {SDLK_F1, u"F1"},
        {290, u"F9"},
        {SDLK_F15, u"F15"},
        {SDLK_NUMLOCK, L(u"num_lock")},
        {SDLK_RSHIFT, L(u"r_shift")},
        {SDLK_RSUPER, L(u"r_super")},
        {SDLK_MODE, L(u"mode")},
        {SDLK_UNDO, L(u"undo")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describeBinding(key(c.code)), L(u"keyboard") + u": " + c.name) << c.code;
    EXPECT_EQ(describeBinding(key(SDLK_z, 0)), L(u"keyboard") + u": Z" + L(u"letter_key") + L(u"reverse_mode"));
}

TEST_F(BindingDescriptionTest, MouseAndEmpty)
{
    ControlBinding binding;
    EXPECT_EQ(describeBinding(binding), L(u"void"));
    binding.setMouseButton(SDL_BUTTON_MIDDLE, ModeDown);
    EXPECT_EQ(describeBinding(binding), L(u"mouse") + L(u"mouse_but_middle"));
    binding.setMouseButton(7, 0);
    EXPECT_EQ(describeBinding(binding), L(u"mouse") + L(u"mouse_but_x2") + L(u"reverse_mode"));
    binding.setMouseButton(8, ModeDown);
    EXPECT_EQ(describeBinding(binding), L(u"mouse") + L(u"mouse_but") + u"8");
    binding.setMouseZone(ModeRight);
    EXPECT_EQ(describeBinding(binding), L(u"mouse_zone") + L(u"mouse_zone_right"));
    binding.setMouseZone(ModeUp | ModeLeft);
    EXPECT_EQ(describeBinding(binding), L(u"mouse_zone"));
    binding.setMouseZone(0);
    EXPECT_EQ(describeBinding(binding), L(u"mouse_zone"));
}

TEST_F(BindingDescriptionTest, JoystickInputs)
{
    fake_input::addJoystick("Gamepad \xE9", 8, 4, 2, 2);
    initInput();
    SDL_Joystick* pad = openJoystickAt(0);
    const std::u16string on = L(u"joy_on") + u"Gamepad \u00E9";
    ControlBinding binding;

    binding.setJoyAxis(pad, 7, ModeDown);
    EXPECT_EQ(describeBinding(binding), L(u"joy_axis") + u"8 Negative" + on);
    binding.setJoyAxis(pad, 0, ModeUp);
    EXPECT_EQ(describeBinding(binding), L(u"joy_x_ax") + u"Positive" + on);
    binding.setJoyAxis(pad, 5, 0);
    EXPECT_EQ(describeBinding(binding), L(u"joy_v_ax") + u"Centered" + on);

    binding.setJoyButton(pad, 2, ModeDown);
    EXPECT_EQ(describeBinding(binding), L(u"joy_button") + u"3" + on);
    binding.setJoyButton(pad, 0, 0);
    EXPECT_EQ(describeBinding(binding), L(u"joy_button") + u"1" + L(u"reverse_mode") + on);

    binding.setJoyHat(pad, 1, SDL_HAT_LEFTDOWN);
    EXPECT_EQ(describeBinding(binding), L(u"joy_hat") + u"2 " + L(u"joy_hat_down_left") + on);
    binding.setJoyHat(pad, 0, SDL_HAT_CENTERED);
    EXPECT_EQ(describeBinding(binding), L(u"joy_hat") + u"1 " + L(u"joy_hat_cen") + on);
    binding.setJoyHat(pad, 0, SDL_HAT_UP | SDL_HAT_DOWN);
    EXPECT_EQ(describeBinding(binding), L(u"joy_hat") + u"1 " + L(u"joy_hat_unk") + on);

    binding.setJoyBall(pad, 1, ModeLeft);
    EXPECT_EQ(describeBinding(binding), L(u"joy_ball") + u"2 " + L(u"joy_ball_left") + on);
    binding.setJoyBall(pad, 0, 0);
    EXPECT_EQ(describeBinding(binding), L(u"joy_ball") + u"1 " + L(u"joy_ball_unk") + on);
}

TEST_F(BindingDescriptionTest, GoneJoystickAndNamelessJoystick)
{
    fake_input::addJoystick(nullptr, 0, 1, 0, 0);
    initInput();
    ControlBinding binding;
    binding.setJoyButton(openJoystickAt(0), 0, ModeDown);
    EXPECT_EQ(describeBinding(binding), L(u"joy_button") + u"1" + L(u"joy_on"));
    closeJoysticks();
    EXPECT_EQ(describeBinding(binding), L(u"joy_type_err") + L(u"joy_on"));
    EXPECT_EQ(fake_input::closedHandleUses(), 0);
}

TEST_F(BindingDescriptionTest, PadListsControlsInDisplayOrder)
{
    initInput();
    const std::u16string k = L(u"keyboard") + u": ";
    EXPECT_EQ(describePad(*primaryPad),
              u"A: " + k + u"Z" + L(u"letter_key") + u"\nB: " + k + u"X" + L(u"letter_key") +
              u"\nX: " + k + u"C" + L(u"letter_key") + u"\nY: " + k + u"V" + L(u"letter_key") +
              u"\n{: " + k + L(u"arrow_up") + u"\n[: " + k + L(u"arrow_down") +
              u"\n]: " + k + L(u"arrow_left") + u"\n}: " + k + L(u"arrow_right") + u"\n");
    const std::u16string v = L(u"void");
    EXPECT_EQ(describePad(*playerPads[7]), u"A: " + v + u"\nB: " + v + u"\nX: " + v + u"\nY: " + v +
                                               u"\n{: " + v + u"\n[: " + v + u"\n]: " + v + u"\n}: " + v + u"\n");
}

// Every piece a description asks the shipped English pack for is there.
TEST_F(BindingDescriptionTest, ShippedPackNamesEveryPiece)
{
    initResourcePack();
    loadLangPack("english");
    fake_input::addJoystick("Pad", 8, 1, 1, 1);
    initInput();
    SDL_Joystick* pad = openJoystickAt(0);
    std::vector<ControlBinding> bindings;
    ControlBinding binding;
    bindings.push_back(binding);
    for (u16 code = 0; code < 400; ++code)
        bindings.push_back(key(code, code % 2 ? ModeDown : 0));
    for (u8 button = 0; button <= 9; ++button) {
        binding.setMouseButton(button, button % 2 ? ModeDown : 0);
        bindings.push_back(binding);
    }
    for (u8 mode = 0; mode < 16; ++mode) {
        binding.setMouseZone(u8(mode << 4));
        bindings.push_back(binding);
        binding.setJoyHat(pad, 0, mode);
        bindings.push_back(binding);
        binding.setJoyBall(pad, 0, u8(mode << 4));
        bindings.push_back(binding);
    }
    for (u8 axis = 0; axis < 8; ++axis) {
        binding.setJoyAxis(pad, axis, ModeDown);
        bindings.push_back(binding);
    }
    binding.setJoyButton(pad, 0, 0);
    bindings.push_back(binding);
    closeJoysticks();
    bindings.push_back(binding);
    for (const ControlBinding& each : bindings) {
        std::u16string text = describeBinding(each);
        EXPECT_EQ(text.find(u"NOITM-"), std::u16string::npos) << std::string(text.begin(), text.end());
        EXPECT_EQ(text.find(u"NOCAT-"), std::u16string::npos) << std::string(text.begin(), text.end());
    }
    cleanupResourcePack();
}

} // namespace
