"""Creature sheets. Each docstring line gives the layout the game cuts.

Ikan.gif          160x32, 16x24 cells at y 8: 0 stand, 1-8 run, 9 dead; faces right
ostrevanian.gif   64x48, 16x16: row 0 stand + walk 1-3, row 32 scripted walk 0-2
                  (row 16 repeats row 0); faces LEFT
dummy.bmp         16x16 practice target, no colour key
bird.gif          112x16, 16x8: rows = plumage 0/1; 0 perched, 1-3 wing beats,
                  4 dead in the air, 5 dead on the ground, x 96 feather; faces right
mine.gif          8x8
springfoot.gif    144x16, 16x16: 0 stand, 1 crouch, 2 landing, 3 airborne, 4 blink,
                  5 deep crouch, 6-8 death; faces right
big-springfoot    192x32, 32x32: 0 stand, 1 crouch, 2 airborne, 3 shudder,
                  4 collapsing, 5 collapsed; faces LEFT; key WHITE
floating_turret   192x32: row 0 body 0-3, aim overlays 4-7 (down, left, up,
                  right), muzzle flashes x 128 right, 144 down, 160 up, 176 left;
                  row 16 shot horizontal, shot vertical, impact x 32..96
splecker.gif      96x64: heads 0-5 at (h*16, 0), 6-8 at ((h-5)*16, 32); neck
                  (0,16), broken top (16,16), acid (32..80, 16), neck base
                  (0,32), root (0,48); the head faces LEFT
wallspitter.gif   64x48: row 0 rest, charge A, charge B, rest; row 16 dead,
                  dead bleeding, shot A (32), shot B (48); row 32 splash 0-3;
                  faces right with the wall on its left
"""
import math

import numpy as np

from .canvas import GREEN, WHITE, Rng, Sheet, Sprite, mix, rgb, shade

OUTLINE = rgb('#1a1420')


def blob(s, cx, cy, rx, ry, base, light=None, dark=None):
    """A shaded ellipse lit from the top left."""
    light = light or shade(base, 1.3)
    dark = dark or shade(base, 0.65)
    ys, xs = np.mgrid[0:s.h, 0:s.w]
    nx = (xs + 0.5 - cx) / max(rx, 0.1)
    ny = (ys + 0.5 - cy) / max(ry, 0.1)
    m = nx * nx + ny * ny <= 1.0
    lit = -(nx * 0.6 + ny * 0.8)
    for y, x in zip(*np.nonzero(m)):
        v = lit[y, x]
        c = light if v > 0.45 else (dark if v < -0.35 else base)
        s.px[y, x] = c
    s.mask |= m


def cells(sheet, sprites, x0, y0, w):
    for i, spr in enumerate(sprites):
        sheet.place(spr, x0 + i * w, y0)


# --------------------------------------------------------------------------
# Humanoids

def leg(s, hip, theta, bend, l1, l2, cloth, boot, ground):
    t = math.radians(theta)
    b = math.radians(theta - bend)
    kx, ky = hip[0] + l1 * math.sin(t), hip[1] + l1 * math.cos(t)
    fx, fy = kx + l2 * math.sin(b), min(ky + l2 * math.cos(b), ground)
    s.line(hip[0], hip[1], kx, ky, cloth, 2)
    s.line(kx, ky, fx, fy, cloth, 2)
    s.rect(round(fx) - 1, round(fy) - 1, 4, 2, boot)


def run_angles(phase):
    theta = 36.0 * math.cos(2 * math.pi * phase)
    if phase < 0.5:
        bend = 8 + 20 * math.sin(math.pi * phase / 0.5)
    else:
        bend = 25 + 80 * math.sin(math.pi * (phase - 0.5) / 0.5)
    return theta, bend


IKAN = {
    'armour': rgb('#7a8a5a'), 'armour_d': rgb('#4e5a38'), 'cloth': rgb('#4a3e34'),
    'cloth_d': rgb('#2e2620'), 'boot': rgb('#2a221c'), 'visor': rgb('#f05a3a'),
    'skin': rgb('#a8c090'), 'gun': rgb('#5a5e6a'), 'gun_l': rgb('#9ca0ae'),
}


def ikan(near, far, lean=0, bob=0):
    s = Sprite(16, 24)
    c = IKAN
    hip = (7.5, 14.5 + bob)
    leg(s, (hip[0] - 1, hip[1]), far[0], far[1], 4.5, 4.5, c['cloth_d'], c['boot'], 22.6)
    # torso
    top = 7 + bob
    s.polygon([(4 + lean, top), (11 + lean, top), (10.5, hip[1] + 1), (4.5, hip[1] + 1)], c['armour'])
    s.rect(4 + lean, top, 2, 7, c['armour_d'])
    s.rect(5, hip[1] - 1, 6, 2, c['cloth'])
    leg(s, hip, near[0], near[1], 4.5, 4.5, c['cloth'], c['boot'], 22.6)
    # head with helmet and glowing visor
    blob(s, 8.5 + lean, 3.5 + bob, 3.6, 3.6, c['armour'])
    s.rect(9 + lean, 3 + bob, 3, 2, c['visor'])
    s.put(11 + lean, 3 + bob, rgb('#ffd0a0'))
    s.rect(5 + lean, 6 + bob, 5, 1, c['armour_d'])
    # rifle held forward
    s.rect(8 + lean, 9 + bob, 8, 2, c['gun'])
    s.rect(9 + lean, 9 + bob, 6, 1, c['gun_l'])
    s.rect(10 + lean, 11 + bob, 2, 2, c['gun'])
    s.rect(7 + lean, 9 + bob, 3, 3, c['skin'])
    s.outline(OUTLINE)
    return s


def ikan_dead():
    s = Sprite(16, 24)
    c = IKAN
    s.rect(3, 19, 9, 3, c['armour'])
    s.rect(3, 21, 9, 1, c['armour_d'])
    s.rect(11, 20, 4, 2, c['cloth'])
    blob(s, 2.5, 20, 2.6, 2.4, c['armour'])
    s.put(1, 20, c['visor'])
    s.rect(5, 22, 8, 1, c['gun'])
    s.outline(OUTLINE)
    return s


def ikan_sheet():
    sheet = Sheet(160, 32, GREEN)
    frames = [ikan((6, 4), (-6, 4))]
    for i in range(8):
        p = i / 8.0
        frames.append(ikan(run_angles(p), run_angles((p + 0.5) % 1.0),
                           lean=1, bob=1 if i % 4 == 0 else 0))
    frames.append(ikan_dead())
    cells(sheet, frames, 0, 8, 16)
    return sheet


OSTRE = {'fur': rgb('#c89a5a'), 'fur_l': rgb('#e8c080'), 'fur_d': rgb('#8a6434'),
         'cloak': rgb('#4a6a8a'), 'cloak_d': rgb('#2e4660'), 'eye': rgb('#1a1420'),
         'gun': rgb('#6a6e7a'), 'boot': rgb('#3a2a1e')}


def ostrevanian(phase=None, carry=False):
    """A small round-headed gunner; drawn facing right, flipped later."""
    s = Sprite(16, 16)
    c = OSTRE
    if phase is None:
        near, far = (6, 4), (-6, 4)
    else:
        near, far = run_angles(phase), run_angles((phase + 0.5) % 1.0)
        near = (near[0] * 0.7, near[1] * 0.6)
        far = (far[0] * 0.7, far[1] * 0.6)
    leg(s, (7, 11), far[0], far[1], 2.3, 2.3, c['cloak_d'], c['boot'], 14.6)
    s.polygon([(4, 7), (10, 7), (11, 12), (3, 12)], c['cloak'])
    s.rect(3, 11, 8, 1, c['cloak_d'])
    leg(s, (8, 11), near[0], near[1], 2.3, 2.3, c['cloak'], c['boot'], 14.6)
    blob(s, 7.5, 4.5, 4.2, 4.0, c['fur'], c['fur_l'], c['fur_d'])
    s.put(3, 1, c['fur_d'])
    s.put(4, 0, c['fur'])
    s.put(9, 4, c['eye'])
    s.put(10, 5, c['fur_d'])
    if carry:
        s.rect(4, 8, 6, 3, rgb('#9a6a3a'))
        s.rect(4, 8, 6, 1, rgb('#c08a50'))
    else:
        s.rect(8, 8, 7, 2, c['gun'])
        s.rect(8, 8, 3, 2, c['fur'])
    s.outline(OUTLINE)
    return s.flipped()


def ostrevanian_sheet():
    sheet = Sheet(64, 48, GREEN)
    row0 = [ostrevanian()] + [ostrevanian(p) for p in (0.0, 0.33, 0.66)]
    cells(sheet, row0, 0, 0, 16)
    cells(sheet, row0, 0, 16, 16)
    cells(sheet, [ostrevanian(p, carry=True) for p in (0.0, 0.25, 0.5)], 0, 32, 16)
    return sheet


def dummy_sheet():
    sheet = Sheet(16, 16, rgb('#6a4a2a'))
    s = Sprite(16, 16)
    s.rect(0, 0, 16, 16, rgb('#8a6238'))
    for y in (0, 5, 10):
        s.rect(0, y, 16, 1, rgb('#5a3c1e'))
    s.rect(0, 15, 16, 1, rgb('#3a2410'))
    s.rect(15, 0, 1, 16, rgb('#3a2410'))
    s.rect(0, 0, 1, 16, rgb('#b08450'))
    for r, col in ((6.5, rgb('#f0ece0')), (5, rgb('#d83a32')), (3.5, rgb('#f0ece0')), (2, rgb('#d83a32'))):
        s.disc(8, 8, r, col)
    s.put(6, 5, rgb('#ffffff'))
    sheet.place(s, 0, 0)
    return sheet


# --------------------------------------------------------------------------
# Bird, mine

BIRD_FRAMES = {
    0: ['................',
        '................',
        '........kk......',
        '.......kbek.....',
        '.....kkbbbyy....',
        '....kwwbbbk.....',
        '...k.kkwwk......',
        '.......k.k......'],
    1: ['......kk........',
        '......kwk.......',
        '.......kwkkk....',
        '......kbbbek....',
        '.....kwwbbbyy...',
        '....k.kkwwk.....',
        '................',
        '................'],
    2: ['................',
        '................',
        '.........kk.....',
        '....kkkkkbek....',
        '...kwwwbbbbyy...',
        '....k.kkwwk.....',
        '................',
        '................'],
    3: ['................',
        '................',
        '.........kk.....',
        '.......kkbek....',
        '.....kkbbbbyy...',
        '....k.kwwwk.....',
        '.......kwwk.....',
        '........kk......'],
    4: ['................',
        '......k.k.......',
        '.....kwwk.......',
        '....kbbbbkk.....',
        '.....yybbxk.....',
        '.......kk.......',
        '................',
        '................'],
    5: ['................',
        '................',
        '................',
        '................',
        '................',
        '.....kkkkk......',
        '...yykbxbwwk....',
        '....kkkkkkk.....'],
    6: ['................',
        '................',
        '.........k......',
        '......kkwk......',
        '.....kwbk.......',
        '.....kk.........',
        '................',
        '................'],
}


def bird_sheet():
    sheet = Sheet(112, 16, GREEN)
    plumage = [{'b': rgb('#6a4a34'), 'w': rgb('#a07a54')},
               {'b': rgb('#3a5a8a'), 'w': rgb('#7aa0d0')}]
    for v, p in enumerate(plumage):
        pal = {'k': OUTLINE, 'e': rgb('#f8f0e0'), 'y': rgb('#f0b030'), 'x': rgb('#f8f0e0')}
        pal.update(p)
        for f in range(7):
            sheet.place(Sprite.from_ascii(BIRD_FRAMES[f], pal), f * 16, v * 8)
    return sheet


def mine_sheet():
    sheet = Sheet(8, 8, GREEN)
    s = Sprite.from_ascii(['...rr...',
                           '..kRrk..',
                           '.kmMMmk.',
                           'kmMMMmmk',
                           'kmmmmmdk',
                           'kddddddk',
                           'kggggggk',
                           '.kkkkkk.'],
                          {'k': OUTLINE, 'r': rgb('#e02820'), 'R': rgb('#ff8060'),
                           'm': rgb('#6a6e60'), 'M': rgb('#9ca08c'), 'd': rgb('#44483c'),
                           'g': rgb('#2e3028')})
    sheet.place(s, 0, 0)
    return sheet


# --------------------------------------------------------------------------
# Springfoot and its boss

SPRING = {'body': rgb('#d0584a'), 'light': rgb('#f4907a'), 'dark': rgb('#8a2e2e'),
          'belly': rgb('#f4d0a0'), 'leg': rgb('#e0a040'), 'leg_d': rgb('#9a6420'),
          'eye': rgb('#fffbe8'), 'pupil': OUTLINE}


def springfoot(body_y, squash, leg_len, tuck=False, eye='open', dead=0):
    s = Sprite(16, 16)
    c = SPRING
    ground = 15
    if dead < 3:
        # springy legs: zigzag from body to a wide foot
        top = body_y + 3
        bottom = ground if not tuck else min(ground, top + leg_len)
        for lx in (6, 9):
            y = top
            step = 0
            while y < bottom - 1:
                s.put(lx + (1 if step % 2 else 0), y, c['leg'])
                s.put(lx + (1 if step % 2 else 0) + 1, y, c['leg_d'])
                y += 1
                step += 1
            s.rect(lx - 1, bottom - 1, 4, 2 if not tuck else 1, c['leg_d'])
        rx, ry = 5 + squash, 4 - squash * 0.6
        blob(s, 8, body_y, rx, ry, c['body'], c['light'], c['dark'])
        blob(s, 8.5, body_y + 1.5, rx * 0.5, ry * 0.45, c['belly'], c['belly'], shade(c['belly'], 0.85))
        ex, ey = 10, int(round(body_y - 1))
        if eye == 'open':
            s.rect(ex, ey - 1, 3, 3, c['eye'])
            s.put(ex + 2, ey, c['pupil'])
        elif eye == 'closed':
            s.rect(ex, ey, 3, 1, c['pupil'])
        else:
            s.put(ex, ey - 1, c['pupil'])
            s.put(ex + 2, ey + 1, c['pupil'])
            s.put(ex + 1, ey, c['pupil'])
            s.put(ex + 2, ey - 1, c['pupil'])
            s.put(ex, ey + 1, c['pupil'])
        s.put(3, int(body_y) - 2, c['light'])
    else:
        blob(s, 8, 13.5, 6.5, 2, c['body'], c['light'], c['dark'])
        s.rect(4, 14, 9, 1, c['dark'])
        s.rect(2, 15, 12, 1, rgb('#8a1c1c'))
        s.put(10, 13, c['pupil'])
        s.put(11, 12, c['pupil'])
    s.outline(OUTLINE)
    return s


def springfoot_sheet():
    sheet = Sheet(144, 16, GREEN)
    frames = [springfoot(7, 0, 8),
              springfoot(9, 1, 6),
              springfoot(6, -0.5, 9),
              springfoot(7, 0, 3, tuck=True),
              springfoot(7, 0, 8, eye='closed'),
              springfoot(10, 1.5, 5),
              springfoot(8, 0.5, 7, eye='x'),
              springfoot(11, 2, 4, eye='x', tuck=True),
              springfoot(0, 0, 0, dead=3)]
    cells(sheet, frames, 0, 0, 16)
    return sheet


BOSS = {'body': rgb('#7a4a9a'), 'light': rgb('#b07ad0'), 'dark': rgb('#46285e'),
        'plate': rgb('#a8a4b8'), 'plate_d': rgb('#5e5a70'), 'leg': rgb('#d89a38'),
        'leg_d': rgb('#8a5a18'), 'eye': rgb('#ffe040'), 'mouth': rgb('#3a1020'),
        'tooth': rgb('#f0ead8')}


def crushfoot(state):
    """Drawn facing right, flipped to the sheet's left-facing layout."""
    s = Sprite(32, 32)
    c = BOSS
    body_y = {0: 12, 1: 16, 2: 10, 3: 13, 4: 18, 5: 25}[state]
    squash = {0: 0, 1: 2, 2: -1, 3: 0, 4: 3, 5: 6}[state]
    if state < 5:
        leg_top = body_y + 7
        bottom = 31 if state != 2 else 26
        for lx in (11, 18):
            y = leg_top
            k = 0
            while y < bottom - 2:
                off = 1 if k % 2 else -1
                s.rect(lx + off, y, 4, 2, c['leg'])
                s.rect(lx + off + 3, y, 1, 2, c['leg_d'])
                y += 2
                k += 1
            s.rect(lx - 3, bottom - 2, 9, 3, c['leg_d'])
            s.rect(lx - 3, bottom - 2, 9, 1, c['leg'])
    rx, ry = 11 + squash * 0.7, 9 - squash * 0.8
    blob(s, 15.5, body_y, rx, ry, c['body'], c['light'], c['dark'])
    # armour plates on the back
    for i, (px, py) in enumerate(((8, body_y - 7), (13, body_y - 9), (18, body_y - 8))):
        if state >= 4 and i == 1:
            continue
        s.polygon([(px, py + 4), (px + 3, py), (px + 6, py + 4)], c['plate'])
        s.line(px + 3, py + 1, px + 5, py + 3, c['plate_d'])
    # jaw and teeth facing right
    my = int(body_y + 2)
    s.rect(19, my, 8, 3, c['mouth'])
    for tx in range(20, 27, 2):
        s.put(tx, my, c['tooth'])
    if state == 1:
        s.rect(19, my + 3, 8, 1, c['mouth'])
    ey = int(body_y - 3)
    if state in (3, 4, 5):
        for d in (-1, 0, 1):
            s.put(22 + d, ey + d, OUTLINE)
            s.put(22 + d, ey - d, OUTLINE)
        if state == 3:
            s.line(10, body_y - 4, 13, body_y + 2, OUTLINE)
    else:
        s.rect(20, ey - 1, 4, 3, c['eye'])
        s.rect(22, ey, 2, 2, OUTLINE)
    if state == 5:
        s.rect(4, 29, 24, 2, rgb('#5a1c2c'))
    s.outline(OUTLINE)
    return s.flipped()


def crushfoot_sheet():
    sheet = Sheet(192, 32, WHITE)
    cells(sheet, [crushfoot(i) for i in range(6)], 0, 0, 32)
    return sheet


# --------------------------------------------------------------------------
# Floating turret

TUR = {'shell': rgb('#8a92a8'), 'light': rgb('#c8d0e0'), 'dark': rgb('#4a5064'),
       'band': rgb('#d88a30'), 'eye': rgb('#ff4838'), 'eye_l': rgb('#ffd0a0'),
       'gun': rgb('#3e4250'), 'gun_l': rgb('#8a90a4'), 'jet': rgb('#60c8ff'), 'jet_l': rgb('#e0f8ff'),
       'bolt': rgb('#ffe860'), 'bolt_l': rgb('#fffbe0'), 'bolt_d': rgb('#f08020')}


def turret_body(frame):
    s = Sprite(16, 16)
    c = TUR
    flame = [2, 3, 2, 1][frame]
    s.rect(7, 12, 2, flame + 1, c['jet'])
    s.put(7, 12, c['jet_l'])
    s.put(8, 12 + flame, c['jet_l'])
    blob(s, 8, 7, 6, 5.5, c['shell'], c['light'], c['dark'])
    s.rect(2, 7, 12, 1, c['band'])
    lit = (frame * 3) % 12 + 2
    s.put(lit, 7, rgb('#fff0b0'))
    s.disc(8, 6, 2.2, c['eye'])
    s.put(7, 5, c['eye_l'])
    s.outline(OUTLINE)
    return s


def turret_aim(direction):
    """Barrel overlay: 0 down, 1 left, 2 up, 3 right."""
    s = Sprite(16, 16)
    c = TUR
    if direction in (1, 3):
        x0 = 0 if direction == 1 else 10
        s.rect(x0, 8, 6, 3, c['gun'])
        s.rect(x0, 8, 6, 1, c['gun_l'])
        s.rect(x0 if direction == 1 else 15, 8, 1, 3, c['gun_l'])
    else:
        y0 = 10 if direction == 0 else 0
        s.rect(9, y0, 3, 6, c['gun'])
        s.rect(9, y0, 1, 6, c['gun_l'])
        s.rect(9, y0 if direction == 2 else 15, 3, 1, c['gun_l'])
    s.outline(OUTLINE)
    return s


def flash(direction, size=1.0):
    """Muzzle flash cone opening away from the shooter, 0 right 1 down 2 up 3 left."""
    s = Sprite(16, 16)
    c = TUR
    pts = [(0, 8), (9 * size, 3), (14 * size, 8), (9 * size, 13)]
    s.polygon(pts, c['bolt_d'])
    s.polygon([(0, 8), (7 * size, 5), (10 * size, 8), (7 * size, 11)], c['bolt'])
    s.rect(0, 7, int(6 * size), 2, c['bolt_l'])
    return _turn(s, direction)


def _turn(s, direction):
    """Rotate a right-pointing cell: 0 right, 1 down, 2 up, 3 left."""
    if direction == 0:
        return s
    out = Sprite(16, 16)
    for y in range(16):
        for x in range(16):
            if not s.mask[y, x]:
                continue
            if direction == 1:
                nx, ny = 15 - y, x
            elif direction == 2:
                nx, ny = y, 15 - x
            else:
                nx, ny = 15 - x, y
            out.px[ny, nx] = s.px[y, x]
            out.mask[ny, nx] = True
    return out


def double_bolt(vertical):
    s = Sprite(16, 16)
    c = TUR
    for off in (-2, 2):
        s.rect(3, 7 + off, 7, 2, c['bolt_d'])
        s.rect(4, 7 + off, 6, 1, c['bolt'])
        s.put(9, 7 + off, c['bolt_l'])
    return _turn(s, 1) if vertical else s


def spark(i, n, palette, seed):
    """An impact: a ring of sparks that spreads and fades over n frames."""
    s = Sprite(16, 16)
    t = (i + 1) / float(n)
    rng = Rng(seed)
    r = 1.5 + 5.5 * t
    if i < 2:
        s.disc(8, 8, 3.5 - i, palette[0])
        s.disc(8, 8, 2 - i * 0.5, palette[-1])
    for k in range(10):
        a = k * 2 * math.pi / 10 + rng.real() * 0.4
        rr = r * (0.7 + 0.5 * rng.real())
        x, y = 8 + rr * math.cos(a), 8 + rr * math.sin(a)
        col = palette[min(len(palette) - 1, int(t * len(palette)))]
        s.put(x, y, col)
        if t < 0.6:
            s.put(x - math.cos(a), y - math.sin(a), palette[0])
    return s


def turret_sheet():
    sheet = Sheet(192, 32, GREEN)
    cells(sheet, [turret_body(f) for f in range(4)], 0, 0, 16)
    cells(sheet, [turret_aim(d) for d in range(4)], 64, 0, 16)
    cells(sheet, [flash(d) for d in range(4)], 128, 0, 16)
    sheet.place(double_bolt(False), 0, 16)
    sheet.place(double_bolt(True), 16, 16)
    pal = [TUR['bolt_l'], TUR['bolt'], TUR['bolt_d'], rgb('#a04010')]
    cells(sheet, [spark(i, 5, pal, 60 + i) for i in range(5)], 32, 16, 16)
    return sheet


# --------------------------------------------------------------------------
# Splecker

SPL = {'skin': rgb('#6aa048'), 'light': rgb('#a4d870'), 'dark': rgb('#3a6428'),
       'belly': rgb('#d8e0a0'), 'mouth': rgb('#5a1028'), 'tongue': rgb('#e0608a'),
       'eye': rgb('#fff4c0'), 'pupil': OUTLINE, 'acid': rgb('#a8f040'),
       'acid_l': rgb('#f0ffb0'), 'acid_d': rgb('#5a9a18'), 'root': rgb('#6a4a2a'),
       'root_d': rgb('#3e2a16')}


def splecker_head(opening=0.0, eye='open', dead=False):
    """Drawn facing right, flipped to the sheet's left-facing layout.
    opening 0..1 is how far the jaw drops."""
    s = Sprite(16, 16)
    c = SPL
    s.rect(5, 11, 6, 5, c['skin'])
    s.rect(5, 11, 1, 5, c['dark'])
    blob(s, 7.5, 6.5, 6, 5, c['skin'], c['light'], c['dark'])
    gap = int(round(opening * 5))
    if gap:
        s.polygon([(8, 7), (16, 7 - gap * 0.6), (16, 8 + gap)], c['mouth'])
        s.line(9, 8, 14, 8 + gap - 1, c['tongue'])
        s.put(14, 7 - int(gap * 0.5), c['belly'])
        s.put(12, 7, c['belly'])
    else:
        s.line(8, 8, 13, 8, c['mouth'])
    ex, ey = 8, 4
    if dead:
        for d in (-1, 0, 1):
            s.put(ex + d, ey + d, c['pupil'])
            s.put(ex + d, ey - d, c['pupil'])
    elif eye == 'open':
        s.rect(ex - 1, ey - 1, 3, 3, c['eye'])
        s.put(ex + 1, ey, c['pupil'])
    elif eye == 'half':
        s.rect(ex - 1, ey, 3, 2, c['eye'])
        s.rect(ex - 1, ey - 1, 3, 1, c['dark'])
        s.put(ex + 1, ey + 1, c['pupil'])
    else:
        s.rect(ex - 1, ey + 1, 3, 1, c['pupil'])
    for x in (3, 5):
        s.put(x, 2, c['light'])
    s.outline(OUTLINE)
    return s.flipped()


def neck_piece(broken=False, base=False):
    s = Sprite(16, 16)
    c = SPL
    s.rect(5, 0, 6, 16, c['skin'])
    s.rect(5, 0, 1, 16, c['dark'])
    s.rect(7, 0, 1, 16, c['light'])
    s.rect(9, 0, 2, 16, c['belly'])
    for y in range(1, 16, 4):
        s.rect(5, y, 6, 1, c['dark'])
    if broken:
        s.mask[0:6, :] = False
        for x, h in ((5, 6), (6, 4), (7, 7), (8, 5), (9, 3), (10, 6)):
            s.mask[h:6, x] = True
            s.px[h, x] = rgb('#c83048')
    if base:
        s.polygon([(2, 16), (5, 8), (11, 8), (14, 16)], c['skin'])
        s.line(2, 15, 5, 8, c['dark'])
        s.rect(3, 14, 10, 2, c['dark'])
    s.outline(OUTLINE)
    return s


def splecker_root():
    s = Sprite(16, 16)
    c = SPL
    rng = Rng(12)
    s.polygon([(4, 0), (12, 0), (10, 6), (6, 6)], c['root'])
    for k in range(6):
        x, y = 8, 4
        ang = math.pi * (0.15 + 0.7 * k / 5.0)
        for step in range(9):
            x += math.cos(ang) * 1.2
            y += math.sin(ang) * 1.2
            ang += (rng.real() - 0.5) * 0.5
            s.put(x, y, c['root'] if step < 6 else c['root_d'])
    s.outline(c['root_d'])
    return s


def acid(i):
    s = Sprite(16, 16)
    c = SPL
    r = [3.2, 2.6, 2.0, 1.2][i]
    blob(s, 8, 8, r, r, c['acid'], c['acid_l'], c['acid_d'])
    rng = Rng(90 + i)
    for k in range(i * 2):
        s.put(rng.int(3, 12), rng.int(3, 12), c['acid_d'] if k % 2 else c['acid'])
    return s


def splecker_sheet():
    sheet = Sheet(96, 64, GREEN)
    heads = [splecker_head(0.0), splecker_head(1.0), splecker_head(0.75),
             splecker_head(0.5), splecker_head(0.25), splecker_head(0.2, dead=True)]
    cells(sheet, heads, 0, 0, 16)
    sheet.place(neck_piece(), 0, 16)
    sheet.place(neck_piece(broken=True), 16, 16)
    cells(sheet, [acid(i) for i in range(4)], 32, 16, 16)
    sheet.place(neck_piece(base=True), 0, 32)
    cells(sheet, [splecker_head(0.0, 'closed'), splecker_head(0.0, 'half'),
                  splecker_head(0.0, 'open')], 16, 32, 16)
    sheet.place(splecker_root(), 0, 48)
    return sheet


# --------------------------------------------------------------------------
# Wall spitter

WS = {'shell': rgb('#9a7a5a'), 'light': rgb('#d0aa80'), 'dark': rgb('#5a4230'),
      'flesh': rgb('#c85a70'), 'flesh_l': rgb('#f08aa0'), 'mouth': rgb('#3a0c18'),
      'glow': rgb('#ffb040'), 'glow_l': rgb('#fff0a0'), 'spit': rgb('#e8d040'),
      'spit_l': rgb('#fffbd0'), 'spit_d': rgb('#a08010')}


def wallspitter(state):
    """state: 0 rest, 1 charge A, 2 charge B, 4 dead, 5 dead and bleeding."""
    s = Sprite(16, 16)
    c = WS
    # shell hugging the wall on the left half
    s.polygon([(0, 1), (7, 2), (11, 8), (7, 14), (0, 15)], c['shell'])
    s.line(0, 1, 7, 2, c['light'])
    s.line(7, 2, 11, 8, c['light'])
    s.line(0, 15, 7, 14, c['dark'])
    for y in (5, 9):
        s.line(0, y, 6, y + 1, c['dark'])
    # fleshy lips and mouth facing right
    blob(s, 10.5, 8, 4.5, 4, c['flesh'], c['flesh_l'], shade(c['flesh'], 0.6))
    if state in (4, 5):
        s.rect(11, 7, 4, 2, c['mouth'])
        for d in (-1, 0, 1):
            s.put(8 + d, 4 + d, OUTLINE)
            s.put(8 + d, 4 - d, OUTLINE)
        if state == 5:
            s.rect(12, 9, 2, 4, rgb('#b01020'))
            s.put(13, 13, rgb('#b01020'))
    else:
        open_ = {0: 1, 1: 3, 2: 3, 3: 1}[state]
        s.rect(12, 8 - open_ // 2, 4, open_, c['mouth'])
        if state == 1:
            s.rect(13, 7, 2, 2, c['glow'])
        if state == 2:
            s.rect(12, 7, 3, 3, c['glow'])
            s.put(13, 8, c['glow_l'])
        s.rect(8, 4, 2, 2, rgb('#fff4c0'))
        s.put(9, 5, OUTLINE)
    s.outline(OUTLINE)
    return s


def spit(frame):
    s = Sprite(16, 16)
    c = WS
    r = 2.6 if frame == 0 else 2.2
    blob(s, 8, 8, r, r, c['spit'], c['spit_l'], c['spit_d'])
    if frame == 1:
        s.put(5, 6, c['spit_l'])
        s.put(10, 10, c['spit_d'])
    return s


def wallspitter_sheet():
    sheet = Sheet(64, 48, GREEN)
    cells(sheet, [wallspitter(i) for i in (0, 1, 2, 0)], 0, 0, 16)
    cells(sheet, [wallspitter(4), wallspitter(5), spit(0), spit(1)], 0, 16, 16)
    pal = [WS['spit_l'], WS['spit'], WS['spit_d'], rgb('#6a5008')]
    splash = [spark(i, 4, pal, 70 + i) for i in range(4)]
    cells(sheet, splash, 0, 32, 16)
    return sheet


def build():
    return {
        'Ikan.gif': ikan_sheet(),
        'ostrevanian.gif': ostrevanian_sheet(),
        'dummy.bmp': dummy_sheet(),
        'bird.gif': bird_sheet(),
        'mine.gif': mine_sheet(),
        'springfoot.gif': springfoot_sheet(),
        'big-springfoot.gif': crushfoot_sheet(),
        'floating_turret.gif': turret_sheet(),
        'splecker.gif': splecker_sheet(),
        'wallspitter.gif': wallspitter_sheet(),
    }
