#!/usr/bin/python3
"""Builds resource/english.lang from tools/lang/english.txt.

Usage: make_lang.py [output directory]   (default: the repository's resource/)

The source is readable UTF-8 in the pack's own syntax; the pack is the same text
as 16-bit little-endian units without a byte-order mark. Before writing, the
text is read back with the same rules the game uses, and generation fails when
an item the game looks up is missing or a label breaks its spacing rule.
"""

import os
import sys

NAME_CHARS = set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-")

CONTROL_LABELS = (
    "keyboard letter_key reverse_mode backspace tab clear return pause escape space delete keypad keypad_period "
    "keypad_divide keypad_multiply keypad_minus keypad_plus keypad_enter keypad_equals arrow_up arrow_down "
    "arrow_right arrow_left insert home end page_up page_down num_lock caps_lock scroll_lock r_shift l_shift "
    "r_control l_control r_alt l_alt r_meta l_meta l_super r_super mode compose help print sysreq break menu power "
    "euro undo joy_on joy_type_err joy_button joy_x_ax joy_y_ax joy_z_ax joy_r_ax joy_u_ax joy_v_ax joy_axis joy_hat "
    "joy_hat_cen joy_hat_up joy_hat_right joy_hat_up_right joy_hat_down joy_hat_down_right joy_hat_left "
    "joy_hat_up_left joy_hat_down_left joy_hat_unk joy_ball joy_ball_up joy_ball_down joy_ball_left joy_ball_right "
    "joy_ball_unk mouse mouse_but_left mouse_but_middle mouse_but_right mouse_wheel_up mouse_wheel_down mouse_but_x1 "
    "mouse_but_x2 mouse_but mouse_zone mouse_zone_up mouse_zone_down mouse_zone_left mouse_zone_right void unknown")

CONTROL_PAGE = (
    "menu_title menu_return player player_single player_multi preset unavailable custom reset prompt main_tip "
    "up down left right a b x y desc_up desc_down desc_left desc_right desc_a desc_b desc_x desc_y")

REQUIRED = {
    "menu": "control_tip new options quit op_return op_config op_screensize op_fullscreen op_lang".split(),
    "general": ["yes", "no"],
    "pause": ["paused", "return", "quit"],
    "control": (CONTROL_PAGE + " " + CONTROL_LABELS).split(),
    "ending": ["credits"],
}

# Labels directly followed by a number, a name or a word: they must end with a space.
FOLLOWED_BY_VALUE = {
    "menu": ["op_screensize", "op_fullscreen"],
    "control": "player player_multi preset keypad mouse mouse_but mouse_zone joy_on joy_button joy_x_ax joy_y_ax "
               "joy_z_ax joy_r_ax joy_u_ax joy_v_ax joy_axis joy_hat joy_ball".split(),
}
# Labels appended after other text: they must start with a space.
APPENDED = {"control": ["letter_key", "reverse_mode", "joy_on"]}

# Widths in characters of the fonts' rows where the texts are drawn (320 pixels).
SMALL_FONT_LINE = 64
LARGE_FONT_LINE = 40
CREDITS_LINES = 40


def read_pack(units):
    """The game's language pack reader, over a list of 16-bit code units."""
    pack = {}
    comment = started = escape = False
    token = None
    buf = []
    category = item = None

    def flush_text():
        if category is not None and item is not None:
            pack[category][item] += "".join(buf)

    for u in units:
        c = chr(u)
        if comment:
            if c in "\r\n":
                comment = False
            continue
        if token is None and c == "*":
            comment = True
            continue
        if not started:
            if c == "<":
                started, token, buf = True, "category", []
            continue
        if token is None:
            if c == "<":
                token, buf = "category", []
            elif c == '"':
                token, buf = "text", []
            elif c in NAME_CHARS:
                token, buf = "item", [c]
            continue
        if token == "category":
            if c in ">\r\n":
                category = "".join(buf)[:31]
                pack.setdefault(category, {})
                token = None
            else:
                buf.append(c)
        elif token == "item":
            if c in NAME_CHARS:
                buf.append(c)
            else:
                item = "".join(buf)[:31]
                pack[category].setdefault(item, "")
                token = None
        else:
            if escape:
                buf.append("\n" if c in "nN" else c)
                escape = False
            elif c == "\\":
                escape = True
            elif c in '"\n':
                flush_text()
                token = None
            else:
                buf.append(c)
            if token == "text" and len(buf) == 2047:
                flush_text()
                buf = []
    return pack


def problems(pack):
    found = []
    for category, items in REQUIRED.items():
        for item in items:
            if item not in pack.get(category, {}):
                found.append("missing %s:%s" % (category, item))
    for category, items in FOLLOWED_BY_VALUE.items():
        for item in items:
            if not pack.get(category, {}).get(item, "").endswith(" "):
                found.append("%s:%s is followed by a value and must end with a space" % (category, item))
    for category, items in APPENDED.items():
        for item in items:
            if not pack.get(category, {}).get(item, "").startswith(" "):
                found.append("%s:%s is appended to other text and must start with a space" % (category, item))
    for category, items in pack.items():
        for item, text in items.items():
            if any(not (32 <= ord(ch) <= 126 or ch == "\n") for ch in text):
                found.append("%s:%s holds a character the fonts cannot draw" % (category, item))
            if category != "ending" and len(text) > SMALL_FONT_LINE:
                found.append("%s:%s is wider than the screen" % (category, item))
    credits = pack.get("ending", {}).get("credits", "").split("\n")
    if len(credits) > CREDITS_LINES or any(len(line) > LARGE_FONT_LINE for line in credits):
        found.append("the credits must fit 40 lines of 40 characters")
    return found


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resource")
    with open(os.path.join(here, "lang", "english.txt"), encoding="utf-8") as f:
        source = f.read()
    data = source.encode("utf-16-le")
    units = [data[i] | (data[i + 1] << 8) for i in range(0, len(data), 2)]
    found = problems(read_pack(units))
    if found:
        sys.exit("english.lang not written:\n  " + "\n  ".join(found))
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "english.lang"), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
