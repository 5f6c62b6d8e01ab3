"""Screens, HUD and editor pictures.

hpbar.gif          100x56, key WHITE: frame (0,0,100,32) with two troughs at
                   (27,6) and (27,17), 65x5 each; filled bars at (27,40) and (27,51)
boss-hpbar.gif     91x48: row 0 the full bar, row 24 the empty bar; the first
                   14 pixels are the emblem, the fill spans x 14..78
mute.gif           320x38, key green: a crossed-out speaker at (302, 22), 16x16
logo.gif           74x38, key black; shown centred on the intro page
title.gif          320x29, key black; the game's name above the backdrop band
menu_back_1/2.gif  32x32 patterns tiled over the options / controls pages
menu_top_1/2.gif   32x16 heading strips tiled along the top
info-textbox.gif   192x77 upper speech box; text area from (4, 9), 188x56
cytok-textbox.gif  316x77 lower speech box with a portrait frame on the left;
                   text area from (71, 9), 238x56
cut_normal.gif, cut_secret.gif  48x48 / 64x64 cutaway masks, key black:
                   black = see-through window, green = untouched, other = cover
editor_symbols.bmp 112x16, key black: icon of tile kind k at (16k, 0), 0..6
editor_cursor.bmp  16x16, key grey; editor_grouper.bmp 64x64, key grey
editor_viewbox.bmp 20x15, key grey: the screen on the one-pixel-per-tile map
"""
import math

import numpy as np

from .canvas import BLACK, GREEN, GREY, WHITE, Sheet, Sprite, mix, rgb, shade
from .creatures import OUTLINE, blob
from .fonts import LARGE, SMALL


def text_sprite(text, font, colour_top, colour_bottom, w, h, x=0, y=0, outline=None):
    s = Sprite(w, h)
    glyphs = LARGE if font == 'large' else SMALL
    cw = 7 if font == 'large' else 4
    rows_n = 9 if font == 'large' else 5
    for i, ch in enumerate(text):
        rows = glyphs.get(ch, [])
        for gy, row in enumerate(rows):
            col = mix(colour_top, colour_bottom, min(1.0, gy / float(rows_n - 1)))
            for gx, c in enumerate(row):
                if c == '#':
                    s.put(x + i * cw + gx, y + gy, col)
    if outline:
        s.outline(outline, diagonal=True)
    return s


def big_letters(text, scale, top, bottom, edge):
    """The large glyphs blown up by a whole factor, for titles."""
    cw = 7
    w = len(text) * cw * scale + 4
    h = 9 * scale + 4
    s = Sprite(w, h)
    for i, ch in enumerate(text):
        for gy, row in enumerate(LARGE.get(ch, [])[:9]):
            for gx, c in enumerate(row):
                if c == '#':
                    for dy in range(scale):
                        yy = 2 + gy * scale + dy
                        col = mix(top, bottom, (yy - 2) / float(9 * scale))
                        s.rect(2 + (i * cw + gx) * scale, yy, scale, 1, col)
    s.outline(edge, diagonal=True)
    s.outline(shade(edge, 0.6))
    return s


# --------------------------------------------------------------------------
# HUD

def hpbar():
    sheet = Sheet(100, 56, WHITE)
    frame = Sprite(100, 32)
    metal, metal_l, metal_d = rgb('#5a6072'), rgb('#9aa2b8'), rgb('#2e3240')
    frame.rect(0, 0, 96, 27, metal)
    frame.rect(0, 0, 96, 1, metal_l)
    frame.rect(0, 0, 1, 27, metal_l)
    frame.rect(0, 26, 96, 1, metal_d)
    frame.rect(95, 0, 1, 27, metal_d)
    for y in (5, 16):  # troughs
        frame.rect(26, y, 67, 7, metal_d)
        frame.rect(27, y + 1, 65, 5, rgb('#181a22'))
    # emblem: a small heart and a bolt
    blob(frame, 8, 9, 2.2, 2.2, rgb('#e03048'))
    blob(frame, 11, 9, 2.2, 2.2, rgb('#e03048'))
    frame.polygon([(5.5, 9.5), (13.5, 9.5), (9.5, 14)], rgb('#e03048'))
    frame.put(7, 8, rgb('#ff9aa8'))
    frame.polygon([(10, 16), (6, 21), (9, 21), (7, 25), (13, 19), (10, 19), (12, 16)], rgb('#58c8f0'))
    lab = text_sprite('HP', 'small', rgb('#f0e0c0'), rgb('#c0a070'), 10, 6)
    frame.paste(lab, 16, 6)
    lab = text_sprite('EN', 'small', rgb('#f0e0c0'), rgb('#c0a070'), 10, 6)
    frame.paste(lab, 16, 17)
    sheet.place(frame, 0, 0)
    red = [rgb('#ff9a8a'), rgb('#f04a3a'), rgb('#c82a22'), rgb('#c82a22'), rgb('#8a1a18')]
    blue = [rgb('#b0f0ff'), rgb('#58c8f0'), rgb('#2a90d0'), rgb('#2a90d0'), rgb('#1a5a98')]
    for y0, cols in ((40, red), (51, blue)):
        for i, c in enumerate(cols):
            sheet.px[y0 + i, 27:92] = c
    return sheet


def boss_bar():
    sheet = Sheet(91, 48, GREEN)
    for row, full in ((0, True), (24, False)):
        s = Sprite(91, 24)
        rim, body = rgb('#2a1a2a'), rgb('#5a4050')
        s.rect(0, 4, 91, 16, body)
        s.rect(0, 4, 91, 1, rgb('#8a6a7a'))
        s.rect(0, 19, 91, 1, rim)
        s.rect(14, 7, 65, 10, rim)
        if full:
            grad = [rgb('#ffb060'), rgb('#ff7030'), rgb('#e84020'), rgb('#e84020'), rgb('#c02818'),
                    rgb('#c02818'), rgb('#a01c14'), rgb('#a01c14'), rgb('#70100c'), rgb('#70100c')]
            for i, c in enumerate(grad):
                s.rect(14, 7 + i, 65, 1, c)
        else:
            s.rect(15, 8, 63, 8, rgb('#1a1018'))
        # skull emblem on the left, end cap on the right
        skull = rgb('#f0e8d8') if full else rgb('#8a8478')
        blob(s, 7, 10, 5, 4.5, skull, shade(skull, 1.05), shade(skull, 0.8))
        s.rect(4, 13, 7, 3, skull)
        s.rect(4, 9, 2, 2, rim)
        s.rect(8, 9, 2, 2, rim)
        s.put(7, 12, rim)
        for x in (5, 7, 9):
            s.put(x, 15, rim)
        s.polygon([(79, 4), (90, 12), (79, 20)], body)
        s.line(79, 4, 90, 12, rgb('#8a6a7a'))
        s.outline(OUTLINE)
        sheet.place(s, 0, row)
    return sheet


# The game blits the marker at the screen's top-left corner, where the HUD's
# heart is; the speaker sits at the top right instead, under the boss bar
# (rows 3-20 when down) and right of the title's name (columns 33-286).
MUTE_ICON_AT = (302, 22)


def mute():
    sheet = Sheet(320, MUTE_ICON_AT[1] + 16, GREEN)
    s = Sprite(16, 16)
    s.rect(2, 6, 3, 5, rgb('#d8dce8'))
    s.polygon([(4, 6), (9, 2), (9, 14), (4, 11)], rgb('#d8dce8'))
    s.line(10, 5, 14, 11, rgb('#f04030'), 2)
    s.line(14, 5, 10, 11, rgb('#f04030'), 2)
    s.outline(OUTLINE)
    sheet.place(s, *MUTE_ICON_AT)
    return sheet


# --------------------------------------------------------------------------
# Menus

def logo():
    sheet = Sheet(74, 38, BLACK)
    s = Sprite(74, 38)
    petal = [rgb('#ff7aa8'), rgb('#e03a78'), rgb('#a01c50')]
    for k in range(8):
        a = k * math.pi / 4
        blob(s, 37 + 7 * math.cos(a), 12 + 7 * math.sin(a), 4, 4, petal[1], petal[0], petal[2])
    blob(s, 37, 12, 4, 4, rgb('#ffd860'), rgb('#fff4b0'), rgb('#d89a20'))
    s.outline(rgb('#3a0c20'))
    word = text_sprite('OSTREVAN', 'small', rgb('#f8f0ff'), rgb('#b0a0d0'), 74, 7, outline=None)
    bbox = np.nonzero(word.mask.any(axis=0))[0]
    width = bbox.max() + 1 if len(bbox) else 0
    s.paste(word, (74 - width) // 2, 27)
    s.rect(10, 35, 54, 1, rgb('#7a4a8a'))
    sheet.place(s, 0, 0)
    return sheet


def title():
    sheet = Sheet(320, 29, BLACK)
    name = big_letters('WARDEN OF OSTREVAN', 2, rgb('#fff0a0'), rgb('#e86010'), rgb('#5a1808'))
    bbox = np.nonzero(name.mask.any(axis=0))[0]
    w = bbox.max() - bbox.min() + 1
    sheet.place(name, (320 - w) // 2 - bbox.min(), 2)
    return sheet


def menu_back(base, accent):
    sheet = Sheet(32, 32, base)
    s = Sprite(32, 32)
    for y in range(32):
        for x in range(32):
            d = abs(x - 15.5) + abs(y - 15.5)
            if int(d) in (15, 16):
                s.put(x, y, accent)
            elif int(d) == 7:
                s.put(x, y, mix(base, accent, 0.5))
            elif (x + y) % 4 == 0 and d < 6:
                s.put(x, y, mix(base, accent, 0.25))
    sheet.place(s, 0, 0)
    return sheet


def menu_top(base, light, dark):
    sheet = Sheet(32, 16, base)
    sheet.px[0] = light
    sheet.px[1] = mix(base, light, 0.5)
    sheet.px[14] = dark
    sheet.px[15] = shade(dark, 0.6)
    for x in range(0, 32, 8):
        sheet.px[4:11, x] = dark
        sheet.px[4:11, x + 1] = light
    return sheet


def textbox(w, h, portrait):
    sheet = Sheet(w, h, rgb('#141a2e'))
    s = Sprite(w, h)
    body, rim, light, dark = rgb('#1c2440'), rgb('#8a9ac8'), rgb('#c8d4f0'), rgb('#0a0e1a')
    s.rect(0, 0, w, h, dark)
    s.rect(1, 1, w - 2, h - 2, rim)
    s.rect(2, 2, w - 4, h - 4, light)
    s.rect(3, 3, w - 6, h - 6, body)
    for y in range(4, h - 4):  # soft vertical gradient
        s.rect(4, y, w - 8, 1, mix(rgb('#26305a'), body, y / float(h)))
    for (x, y) in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        s.put(x, y, rgb('#141a2e'))
    for (x, y) in ((3, 3), (w - 4, 3), (3, h - 4), (w - 4, h - 4)):
        s.put(x, y, light)
    if portrait:
        s.rect(6, 6, 62, 65, dark)
        s.rect(7, 7, 60, 63, rim)
        s.rect(8, 8, 58, 61, rgb('#2a3660'))
        # Dahlia's face in the portrait frame
        blob(s, 37, 40, 17, 19, rgb('#f6c8a0'), rgb('#ffe0c0'), rgb('#d0946c'))
        s.ellipse(35, 28, 20, 13, rgb('#c02c62'))
        s.ellipse(20, 44, 6, 18, rgb('#c02c62'))
        s.rect(40, 38, 4, 5, rgb('#2a1c3c'))
        s.rect(48, 38, 4, 5, rgb('#2a1c3c'))
        s.put(41, 38, rgb('#ffffff'))
        s.put(49, 38, rgb('#ffffff'))
        s.rect(43, 51, 6, 1, rgb('#a0505a'))
        s.rect(30, 58, 24, 11, rgb('#2c7cb0'))
        s.rect(8, 66, 58, 3, rgb('#2c7cb0'))
    sheet.place(s, 0, 0)
    return sheet


def cut_mask(size, secret):
    sheet = Sheet(size, size, GREEN)
    s = Sprite(size, size)
    c = size / 2.0
    r = c - 1
    ys, xs = np.mgrid[0:size, 0:size]
    d = np.sqrt((xs + 0.5 - c) ** 2 + (ys + 0.5 - c) ** 2)
    ring = (d <= r) & (d > r - 2)
    inner = d <= r - 2
    s.px[inner] = BLACK
    s.mask |= inner
    rim = rgb('#c8a040') if secret else rgb('#5a6070')
    s.px[ring] = rim
    s.mask |= ring
    if secret:  # a dotted sparkle inside the rim marks the secret view
        for y, x in zip(*np.nonzero((d > r - 4) & (d <= r - 3))):
            if (x + y) % 3 == 0:
                s.px[y, x] = rgb('#ffe890')
    sheet.place(s, 0, 0)
    return sheet


# --------------------------------------------------------------------------
# Editor

def editor_symbols():
    sheet = Sheet(112, 16, BLACK)
    cols = [rgb('#404040'), rgb('#777777'), rgb('#e8e840'), rgb('#40e8e8'), rgb('#40a0a0'),
            rgb('#40a0a0'), rgb('#e04080')]
    for k in range(7):
        s = Sprite(16, 16)
        c = cols[k]
        if k == 0:
            s.line(2, 2, 13, 13, c)
            s.line(13, 2, 2, 13, c)
        elif k == 1:
            for y in range(2, 14, 3):
                for x in range(2 + (y % 2), 14, 3):
                    s.put(x, y, c)
        elif k == 2:
            s.rect(1, 2, 14, 3, c)
            s.polygon([(5, 13), (11, 13), (8, 7)], c)
        elif k == 3:
            s.rect(1, 1, 14, 14, c)
            s.rect(3, 3, 10, 10, shade(c, 0.5))
        elif k == 4:
            s.polygon([(1, 1), (1, 15), (15, 15)], c)
        elif k == 5:
            s.polygon([(15, 1), (15, 15), (1, 15)], c)
        else:
            txt = text_sprite('?', 'large', c, c, 16, 16, 5, 3)
            s.paste(txt, 0, 0)
        s.rect(0, 0, 16, 1, rgb('#202020'))
        s.rect(0, 0, 1, 16, rgb('#202020'))
        sheet.place(s, k * 16, 0)
    return sheet


def editor_cursor():
    sheet = Sheet(16, 16, GREY)
    s = Sprite(16, 16)
    y1, w1 = rgb('#ffe040'), rgb('#202020')
    for (x, y, dx, dy) in ((0, 0, 1, 1), (15, 0, -1, 1), (0, 15, 1, -1), (15, 15, -1, -1)):
        for i in range(5):
            s.put(x + dx * i, y, y1)
            s.put(x, y + dy * i, y1)
        for i in range(1, 4):
            s.put(x + dx * i, y + dy, w1)
            s.put(x + dx, y + dy * i, w1)
    s.polygon([(6, 3), (10, 3), (8, 6)], y1)  # points down; shown flipped as the pointer
    sheet.place(s, 0, 0)
    return sheet


def editor_grouper():
    sheet = Sheet(64, 64, GREY)
    s = Sprite(64, 64)
    c, d = rgb('#40e8ff'), rgb('#10405a')
    for i in range(64):
        if (i // 4) % 2 == 0:
            for (x, y) in ((i, 0), (i, 63), (0, i), (63, i)):
                s.put(x, y, c)
        else:
            for (x, y) in ((i, 1), (i, 62), (1, i), (62, i)):
                s.put(x, y, d)
    for k in (16, 32, 48):
        for i in range(2, 62, 4):
            s.put(k, i, d)
            s.put(i, k, d)
    sheet.place(s, 0, 0)
    return sheet


def editor_viewbox():
    sheet = Sheet(20, 15, GREY)
    s = Sprite(20, 15)
    c = rgb('#ffffff')
    s.rect(0, 0, 20, 1, c)
    s.rect(0, 14, 20, 1, c)
    s.rect(0, 0, 1, 15, c)
    s.rect(19, 0, 1, 15, c)
    s.put(9, 7, c)
    s.put(10, 7, c)
    sheet.place(s, 0, 0)
    return sheet


def build():
    return {
        'hpbar.gif': hpbar(),
        'boss-hpbar.gif': boss_bar(),
        'mute.gif': mute(),
        'logo.gif': logo(),
        'title.gif': title(),
        'menu_back_1.gif': menu_back(rgb('#141c34'), rgb('#26345c')),
        'menu_back_2.gif': menu_back(rgb('#2a1416'), rgb('#4e2628')),
        'menu_top_1.gif': menu_top(rgb('#2e3c6a'), rgb('#6a80b8'), rgb('#141c34')),
        'menu_top_2.gif': menu_top(rgb('#6a2e2a'), rgb('#b06a5a'), rgb('#2a1416')),
        'info-textbox.gif': textbox(192, 77, False),
        'cytok-textbox.gif': textbox(316, 77, True),
        'cut_normal.gif': cut_mask(48, False),
        'cut_secret.gif': cut_mask(64, True),
        'editor_symbols.bmp': editor_symbols(),
        'editor_cursor.bmp': editor_cursor(),
        'editor_grouper.bmp': editor_grouper(),
        'editor_viewbox.bmp': editor_viewbox(),
    }
