#include "core/bindingdesc.h"

#include "core/controlpad.h"
#include "core/inputsource.h"
#include "core/lang.h"
#include "core/text.h"

#include <string>

namespace {

std::u16string label(const char16_t* item)
{
    return langText(u"control", item);
}

// The prefix followed by the value in decimal.
std::u16string number(int value, const char16_t* prefix = u"")
{
    std::u16string text = prefix;
    for (char digit : std::to_string(value))
        text += char16_t(digit);
    return text;
}

std::u16string reverseSuffix(const ControlBinding& binding)
{
    return (binding.mode() & ModeDown) ? u"" : label(u"reverse_mode");
}

// Labels of consecutive key codes, starting at the code given.
struct KeyLabelRun {
    u16 first;
    std::initializer_list<const char16_t*> labels;
};

const KeyLabelRun keyLabelRuns[] = {
    {8, {u"backspace", u"tab"}},
    {12, {u"clear", u"return"}},
    {19, {u"pause"}},
    {27, {u"escape"}},
    {32, {u"space"}},
    {127, {u"delete"}},
    {266, {u"keypad_period", u"keypad_divide", u"keypad_multiply", u"keypad_minus", u"keypad_plus",
           u"keypad_enter", u"keypad_equals"}},
    {273, {u"arrow_up", u"arrow_down", u"arrow_right", u"arrow_left"}},
    {277, {u"insert", u"home", u"end", u"page_up", u"page_down"}},
    {300, {u"num_lock", u"caps_lock", u"scroll_lock"}},
    {303, {u"r_shift", u"l_shift", u"r_control", u"l_control", u"r_alt", u"l_alt", u"r_meta", u"l_meta",
           u"l_super", u"r_super"}},
    {313, {u"mode", u"compose", u"help", u"print", u"sysreq", u"break", u"menu", u"power", u"euro",
           u"undo"}},
};

const char16_t* keyLabel(u16 key)
{
    for (const KeyLabelRun& run : keyLabelRuns)
        if (key >= run.first && key < run.first + run.labels.size())
            return run.labels.begin()[key - run.first];
    return nullptr;
}

std::u16string keyName(u16 key)
{
    if (const char16_t* item = keyLabel(key))
        return label(item);
    if (key >= 'a' && key <= 'z')
        return char16_t(key - 32) + label(u"letter_key");
    if (key >= 'A' && key <= 'Z')
        return char16_t(key) + label(u"letter_key");
    if (key >= 33 && key <= 126)
        return number(key, u"#") + u" (" + char16_t(key) + u")";
    if (key >= SDLK_KP0 && key <= SDLK_KP9)
        return label(u"keypad") + number(key - SDLK_KP0);
    if (key >= SDLK_F1 && key <= SDLK_F15)
        return number(key - SDLK_F1 + 1, u"F");
    return number(key, u"#") + u" (?!?)";
}

std::u16string mouseButtonName(u16 button)
{
    static const char16_t* const names[] = {u"mouse_but_left", u"mouse_but_middle", u"mouse_but_right",
                                           u"mouse_wheel_up", u"mouse_wheel_down", u"mouse_but_x1",
                                           u"mouse_but_x2"};
    if (button >= 1 && button <= 7)
        return label(names[button - 1]);
    return label(u"mouse_but") + number(button);
}

// The direction label for exactly one mode bit; other fall-back label (or nothing) for any other mode.
std::u16string directionLabel(u8 mode, const char16_t* up, const char16_t* down, const char16_t* left,
                              const char16_t* right, const char16_t* other)
{
    switch (mode) {
    case ModeUp: return label(up);
    case ModeDown: return label(down);
    case ModeLeft: return label(left);
    case ModeRight: return label(right);
    default: return other ? label(other) : u"";
    }
}

std::u16string axisName(const ControlBinding& binding)
{
    static const char16_t* const names[] = {u"joy_x_ax", u"joy_y_ax", u"joy_z_ax",
                                           u"joy_r_ax", u"joy_u_ax", u"joy_v_ax"};
    u16 index = binding.joyIndex();
    std::u16string text = index < 6 ? label(names[index]) : label(u"joy_axis") + number(index + 1) + u" ";
    if (binding.mode() & ModeUp)
        return text + u"Positive";
    if (binding.mode() & ModeDown)
        return text + u"Negative";
    return text + u"Centered";
}

std::u16string hatName(const ControlBinding& binding)
{
    std::u16string text = label(u"joy_hat") + number(binding.joyIndex() + 1) + u" ";
    switch (binding.mode() >> 4) {
    case SDL_HAT_CENTERED: return text + label(u"joy_hat_cen");
    case SDL_HAT_UP: return text + label(u"joy_hat_up");
    case SDL_HAT_RIGHT: return text + label(u"joy_hat_right");
    case SDL_HAT_RIGHTUP: return text + label(u"joy_hat_up_right");
    case SDL_HAT_DOWN: return text + label(u"joy_hat_down");
    case SDL_HAT_RIGHTDOWN: return text + label(u"joy_hat_down_right");
    case SDL_HAT_LEFT: return text + label(u"joy_hat_left");
    case SDL_HAT_LEFTUP: return text + label(u"joy_hat_up_left");
    case SDL_HAT_LEFTDOWN: return text + label(u"joy_hat_down_left");
    default: return text + label(u"joy_hat_unk");
    }
}

std::u16string joystickInputName(const ControlBinding& binding)
{
    if (!joystickIsOpen(binding.joystick()))
        return label(u"joy_type_err");
    if (binding.code() & JoyButton)
        return label(u"joy_button") + number(binding.joyIndex() + 1) + reverseSuffix(binding);
    if (binding.code() & JoyAxis)
        return axisName(binding);
    if (binding.code() & JoyHat)
        return hatName(binding);
    if (binding.code() & JoyBall)
        return label(u"joy_ball") + number(binding.joyIndex() + 1) + u" " +
               directionLabel(binding.mode(), u"joy_ball_up", u"joy_ball_down", u"joy_ball_left",
                              u"joy_ball_right", u"joy_ball_unk");
    return u"";
}

// A closed joystick's handle no longer names a device, so it has no name to show.
std::u16string joystickName(SDL_Joystick* joystick)
{
    if (!joystickIsOpen(joystick))
        return u"";
    InputSource& source = inputSource();
    const char* name = source.joystickName(source.joystickIndex(joystick));
    return name ? toWideString(name) : u"";
}

} // namespace

std::u16string describeBinding(const ControlBinding& binding)
{
    if (binding.isKey())
        return label(u"keyboard") + u": " + keyName(binding.code()) + reverseSuffix(binding);
    if (binding.isJoystick())
        return joystickInputName(binding) + label(u"joy_on") + joystickName(binding.joystick());
    if (binding.isMouseButton())
        return label(u"mouse") + mouseButtonName(binding.code()) + reverseSuffix(binding);
    if (binding.isMouseZone())
        return label(u"mouse_zone") + directionLabel(binding.mode(), u"mouse_zone_up", u"mouse_zone_down",
                                                     u"mouse_zone_left", u"mouse_zone_right", nullptr);
    if (binding.kind() == 0)
        return label(u"void");
    return label(u"unknown");
}

std::u16string describePad(const ControlPad& pad)
{
    struct Line {
        const char16_t* prefix;
        u8 control;
    };
    static const Line lines[] = {{u"A: ", ControlA},      {u"\nB: ", ControlB},   {u"\nX: ", ControlX},
                                 {u"\nY: ", ControlY},    {u"\n{: ", ControlUp},  {u"\n[: ", ControlDown},
                                 {u"\n]: ", ControlLeft}, {u"\n}: ", ControlRight}};
    std::u16string text;
    for (const Line& line : lines)
        text += line.prefix + describeBinding(*pad.binding(line.control));
    return text + u"\n";
}
