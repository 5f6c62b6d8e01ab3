"""Stones, pillars and the sky.

rock.gif        128x64, key WHITE: row y 0 the falling stone by crack stage
                (x 0, 16, 32); row y 16 eight debris pebbles (centred on
                (8, 8)); rows y 32 and 48 two more stone looks by crack stage
breakblock.gif  16x64, key WHITE: the stone that stays, four looks
pillar.gif      16x32, key WHITE: top cap (0, 0), shaft (0, 16) repeating
clouds_1.gif    320x240, no key: the far sky (tiles both ways)
clouds_2.gif    320x240, key green: distant mountains and high clouds
clouds_3.gif    320x240, key green: near clouds
"""
import math

import numpy as np

from .canvas import GREEN, WHITE, Rng, Sheet, Sprite, fbm, mix, rgb, shade, value_noise
from .creatures import OUTLINE, blob

STONE = [rgb('#4a4650'), rgb('#6a6672'), rgb('#8a8694'), rgb('#aaa6b4'), rgb('#c8c4d0')]
STONE_WARM = [rgb('#54463a'), rgb('#76644e'), rgb('#988266'), rgb('#b8a282'), rgb('#d2c0a0')]


def stone_block(pal, stage, seed):
    s = Sprite(16, 16)
    f = fbm(16, 16, 4, seed, octaves=2)
    for y in range(16):
        for x in range(16):
            v = f[y, x]
            idx = 1 + int(v * 2.99)
            if x <= 1 or y <= 1:
                idx = 3 if (x > 0 and y > 0) else 2
            if x >= 14 or y >= 14:
                idx = 0 if (x == 15 or y == 15) else 1
            s.put(x, y, pal[idx])
    s.mask[0, 0] = s.mask[0, 15] = s.mask[15, 0] = s.mask[15, 15] = False
    rng = Rng(seed + stage)
    cracks = [[], [(3, 2, 7, 7), (7, 7, 6, 12)],
              [(3, 2, 7, 7), (7, 7, 6, 12), (7, 7, 12, 5), (12, 5, 14, 9), (6, 12, 10, 14), (2, 9, 6, 11)]][stage]
    for (x0, y0, x1, y1) in cracks:
        s.line(x0, y0, x1, y1, OUTLINE)
        s.line(x0 + 1, y0, x1 + 1, y1, pal[3])
    if stage == 2:
        for _ in range(3):
            x, y = rng.int(3, 12), rng.int(3, 12)
            s.mask[y, x] = True
            s.px[y, x] = OUTLINE
    return s


def pebble(i):
    s = Sprite(16, 16)
    rng = Rng(500 + i)
    rx = 1.2 + rng.real() * 1.6
    ry = 1.0 + rng.real() * 1.2
    cx = 8 + rng.int(-1, 0)
    cy = 8 + rng.int(-1, 0)
    pal = STONE if i % 3 else STONE_WARM
    blob(s, cx, cy, rx, ry, pal[2], pal[4], pal[1])
    s.outline(pal[0])
    return s


def breakblock(variant):
    pal = [STONE, STONE_WARM, [rgb('#3a4a5a'), rgb('#566a80'), rgb('#748aa4'), rgb('#98aec6'), rgb('#b8cce0')],
           [rgb('#3e4a36'), rgb('#5a6a4a'), rgb('#788c62'), rgb('#98ac80'), rgb('#b8caa0')]][variant]
    s = stone_block(pal, 0, 700 + variant)
    iron, iron_l = rgb('#3a3c46'), rgb('#7a7e8e')
    for y in (3, 12):  # iron bands: this stone does not break
        s.rect(0, y, 16, 2, iron)
        s.rect(0, y, 16, 1, iron_l)
        for x in (2, 8, 13):
            s.put(x, y, rgb('#c0c4d0'))
    return s


def pillar_parts():
    pal = [rgb('#5a5040'), rgb('#7a6e58'), rgb('#9c8e72'), rgb('#c0b090'), rgb('#3a3228')]
    cap = Sprite(16, 16)
    shaft = Sprite(16, 16)
    for x in range(16):
        c = pal[3] if x < 4 else pal[2] if x < 9 else pal[1] if x < 14 else pal[0]
        shaft.rect(x, 0, 1, 16, c)
    for x in (5, 10):
        shaft.rect(x, 0, 1, 16, pal[0])
    shaft.rect(0, 0, 1, 16, pal[4])
    shaft.rect(15, 0, 1, 16, pal[4])
    for y in (7,):
        shaft.rect(1, y, 14, 1, pal[0])
    cap.paste(shaft, 0, 0)
    cap.rect(0, 0, 16, 5, pal[3])
    cap.rect(0, 3, 16, 2, pal[1])
    cap.rect(0, 0, 16, 1, pal[4])
    cap.rect(0, 5, 16, 1, pal[4])
    cap.rect(0, 0, 1, 6, pal[4])
    cap.rect(15, 0, 1, 6, pal[4])
    return cap, shaft


# --------------------------------------------------------------------------
# Sky layers. Each tiles both ways at 320x240, so everything wraps.

W, H = 320, 240


def _wrapped_noise(cell, seed, octaves=4):
    total = np.zeros((H, W))
    amp, norm = 1.0, 0.0
    for o in range(octaves):
        c = cell >> o
        total += amp * value_noise(W, H, c, seed + o, W // c, H // c)
        norm += amp
        amp *= 0.5
    return total / norm


def sky():
    top, mid, low = rgb('#3a5a9a'), rgb('#6a9ad0'), rgb('#b8d8f0')
    sheet = Sheet(W, H, top)
    ys = np.arange(H)
    # light toward the horizon at y ~ 190, back to the top colour across the
    # bottom rows so the picture repeats downward without a seam
    t = np.where(ys < 190, ys / 190.0, 1.0 - (ys - 190) / 50.0)
    n = _wrapped_noise(40, 5, 3)
    for y in range(H):
        for x in range(W):
            v = t[y] + (n[y, x] - 0.5) * 0.12
            band = min(7, max(0, int(v * 8)))
            c = mix(top, mid, band / 5.0) if band <= 5 else mix(mid, low, (band - 5) / 2.0)
            sheet.px[y, x] = c
    # faint far cloud streaks
    streak = _wrapped_noise(20, 9, 3)
    fade = np.clip(1.0 - np.abs(ys - 120) / 80.0, 0, 1)[:, None]
    m = streak * fade > 0.5
    sheet.px[m] = (sheet.px[m].astype(int) * 7 // 8 + np.array(rgb('#e8f0ff')) // 8).astype(np.uint8)
    return sheet


def mountains():
    sheet = Sheet(W, H, GREEN)
    far, far_l, far_d = rgb('#5a70a0'), rgb('#7e94c0'), rgb('#46588a')
    xs = np.arange(W)
    ridge = (150 + 22 * np.sin(2 * np.pi * xs / 320.0 * 2) + 14 * np.sin(2 * np.pi * xs / 320.0 * 5 + 1.0)
             + 6 * np.sin(2 * np.pi * xs / 320.0 * 13 + 2.0))
    for x in range(W):
        top = int(ridge[x])
        slope = ridge[(x + 1) % W] - ridge[x - 1]
        for y in range(top, 225):
            c = far
            if y < top + 3 and slope > 0:
                c = far_l
            if slope < -1.5:
                c = far_d
            sheet.px[y, x] = c
        if top < 140:  # snow caps on the highest peaks
            for y in range(top, min(top + 4, 140)):
                sheet.px[y, x] = rgb('#e8eef8')
    # high thin clouds
    n = _wrapped_noise(40, 21, 3)
    ys = np.arange(H)[:, None]
    fade = np.clip(1.0 - np.abs(ys - 60) / 45.0, 0, 1)
    v = n * (0.55 + 0.45 * fade)
    m = v > 0.62
    sheet.px[m] = rgb('#dce8f8')
    edge = (v > 0.58) & ~m
    sheet.px[edge] = rgb('#b0c4e4')
    return sheet


def near_clouds():
    sheet = Sheet(W, H, GREEN)
    rng = Rng(33)
    layer = Sprite(W * 2, H)
    for k in range(9):
        cx = rng.int(0, W - 1)
        cy = rng.int(30, 200)
        r = rng.int(12, 22)
        for j in range(5):
            bx = cx + (j - 2) * r * 0.7
            by = cy + (abs(j - 2) * r * 0.25)
            rr = r * (1.0 - abs(j - 2) * 0.22)
            for dx in (0, W):
                blob(layer, bx + dx, by, rr * 1.1, rr * 0.8, rgb('#f4f8ff'), rgb('#ffffff'), rgb('#c8d4e8'))
        for dx in (0, W):
            layer.rect(cx - r * 1.8 + dx, cy + r * 0.45, r * 3.6, 2, rgb('#b4c2dc'))
    # fold the double-wide canvas so clouds crossing the right edge wrap
    for y in range(H):
        for x in range(W * 2):
            if layer.mask[y, x]:
                sheet.px[y, x % W] = layer.px[y, x]
    return sheet


def build():
    rock = Sheet(128, 64, WHITE)
    for stage in range(3):
        rock.place(stone_block(STONE, stage, 600), stage * 16, 0)
        rock.place(stone_block(STONE_WARM, stage, 610), stage * 16, 32)
        rock.place(stone_block(STONE, stage, 620), stage * 16, 48)
    for i in range(8):
        rock.place(pebble(i), i * 16, 16)
    bb = Sheet(16, 64, WHITE)
    for v in range(4):
        bb.place(breakblock(v), 0, v * 16)
    pil = Sheet(16, 32, WHITE)
    cap, shaft = pillar_parts()
    pil.place(cap, 0, 0)
    pil.place(shaft, 0, 16)
    return {
        'rock.gif': rock,
        'breakblock.gif': bb,
        'pillar.gif': pil,
        'clouds_1.gif': sky(),
        'clouds_2.gif': mountains(),
        'clouds_3.gif': near_clouds(),
    }
