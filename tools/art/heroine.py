"""Dahlia: resource/char.gif, multiplayer-2..5.gif (192x76) and dahlia_sit.gif.

Sheet cells are 16x19, facing right (the game mirrors for left):
  row y 0   upper body by pose: 0 gun forward, 1 up, 2 down, 3 backpedal
            (shooting behind her)
  row y 19  legs: 0 standing, 1 rising, 2 falling
  row y 38  legs: run cycle, 12 frames
  row y 57  corpse: 12 frames of the death fall
Upper body and legs are drawn over each other at the same place, so the
jacket hem overlaps the hips. Colour key (0, 255, 0).
"""
import math

from .canvas import GREEN, Sheet, Sprite, rgb

PAL = {
    'k': rgb('#1c1424'),  # outline
    'H': rgb('#f0588e'), 'h': rgb('#c02c62'), 'd': rgb('#7c1840'),  # hair
    's': rgb('#f6c8a0'), 'S': rgb('#d0946c'), 'e': rgb('#2a1c3c'),  # skin, eye
    'J': rgb('#58b4e0'), 'j': rgb('#2c7cb0'), 'n': rgb('#1c4c78'),  # jacket
    'b': rgb('#8a5a30'), 'B': rgb('#d8b060'),  # belt, buckle
    'G': rgb('#c4cad8'), 'g': rgb('#6a7086'), 'm': rgb('#3e4252'),  # gun
    'p': rgb('#3c3450'), 'P': rgb('#5a4e74'),  # trousers
    'o': rgb('#5a3422'), 'O': rgb('#8c5638'),  # boots
    'w': rgb('#ffffff'),
}

UPPER = [
    # 0: gun forward
    ['......kkkk......',
     '.....kHHHHk.....',
     '....kHhhhhhk....',
     '...kdhhhhhhsk...',
     '...kdhhhhssek...',
     '..kddhhhsssSk...',
     '..kdkkhkSSkkkkkk',
     '.kdk.knJJjsGGGGk',
     '.kdk.knjjjsgmggk',
     '.kk..knjjjkkgkk.',
     '.....knjJjk.kk..',
     '.....kbbBbk.....',
     '.....knjjjk.....',
     '.....kkkkkk.....'],
    # 1: aiming up
    ['..........kGk...',
     '......kkkkkGk...',
     '.....kHHHHkgk...',
     '....kHhhhhksgk..',
     '...kdhhhhhssk...',
     '...kdhhhhssek...',
     '..kddhhhsssSk...',
     '..kdkkhkSSsjk...',
     '.kdk.knJJjjjk...',
     '.kdk.knjjjjk....',
     '.kk..knjjjk.....',
     '.....knjJjk.....',
     '.....kbbBbk.....',
     '.....knjjjk.....',
     '.....kkkkkk.....'],
    # 2: aiming down
    ['......kkkk......',
     '.....kHHHHk.....',
     '....kHhhhhhk....',
     '...kdhhhhhhsk...',
     '...kdhhhhssek...',
     '..kddhhhsssSk...',
     '..kdkkhkSSkk....',
     '.kdk.knJJjjk....',
     '.kdk.knjjjjjk...',
     '.kk..knjjJjjk...',
     '.....knjjjksk...',
     '.....kbbBbkgGk..',
     '.....knjjjkgGk..',
     '.....kkkkkkmgk..',
     '..........kgGk..',
     '..........kkGk..',
     '...........kk...'],
    # 3: backpedal, gun aimed behind her
    ['......kkkk......',
     '.....kHHHHk.....',
     '....kHhhhhhk....',
     '...kdhhhhhhsk...',
     '...kdhhhhssek...',
     '..kddhhhsssSk...',
     'kkkkkkhkSSkk....',
     'kGGGGsjJJjjk....',
     'kggmgsjjjjnk....',
     '.kkgkkjjjjnk....',
     '..kk.knjJjk.....',
     '.....kbbBbk.....',
     '.....knjjjk.....',
     '.....kkkkkk.....'],
]

HIP_Y = 11.0
THIGH = 3.7
SHIN = 3.7


def _leg_points(hip_x, theta, bend):
    t = math.radians(theta)
    s = math.radians(theta - bend)
    kx = hip_x + THIGH * math.sin(t)
    ky = HIP_Y + THIGH * math.cos(t)
    fx = kx + SHIN * math.sin(s)
    fy = min(ky + SHIN * math.cos(s), 17.6)
    return (kx, ky), (fx, fy)


def _draw_leg(spr, hip_x, theta, bend, cloth, boot, boot_light):
    (kx, ky), (fx, fy) = _leg_points(hip_x, theta, bend)
    spr.line(hip_x, HIP_Y, kx, ky, cloth, 2)
    spr.line(kx, ky, fx, fy, cloth, 2)
    bx, by = int(round(fx)), int(round(fy))
    spr.rect(bx - 1, by - 1, 3, 2, boot)
    spr.put(bx + 2, by, boot)
    spr.put(bx, by - 1, boot_light)


def legs_sprite(near, far):
    """near/far: (theta, bend) in degrees; theta > 0 swings the leg forward."""
    s = Sprite(16, 19)
    dark = (rgb('#2a2438'), rgb('#3e2418'), rgb('#5a3422'))
    _draw_leg(s, 7.0, far[0], far[1], *dark)
    s.rect(5, 11, 5, 2, PAL['p'])
    _draw_leg(s, 8.0, near[0], near[1], PAL['p'], PAL['o'], PAL['O'])
    s.put(7, 11, PAL['P'])
    s.outline(PAL['k'], keep=lambda x, y: y >= 12)
    return s


def run_leg(phase):
    theta = 38.0 * math.cos(2 * math.pi * phase)
    if phase < 0.5:
        bend = 8 + 22 * math.sin(math.pi * phase / 0.5)
    else:
        bend = 25 + 85 * math.sin(math.pi * (phase - 0.5) / 0.5)
    return theta, bend


def upper_sprite(pose):
    return Sprite.from_ascii(UPPER[pose], PAL)


STAND = ((8, 4), (-8, 4))
RISE = ((55, 95), (-12, 30))
FALL = ((22, 18), (-28, 12))


def standing_figure():
    body = legs_sprite(*STAND)
    body.paste(upper_sprite(0), 0, 0)
    return body


LYING = ['................',
         '................',
         '.........kkkk...',
         '..kkk..kkgGGGk..',
         '.kHhdkkjjjkkk...',
         'kHhhsskJJjbbpppk',
         'khdssSkjjjbppook',
         '.kkkkkkkkkkkkkkk']

KNEEL_UPPER_DROP = 5


def corpse_frames():
    """Hit, stagger, knees, topple, lying still."""
    frames = []
    stand = standing_figure()
    for ang in (-8, -16):
        frames.append(stand.rotated(ang, 8, 18.5))
    kneel_legs = legs_sprite((80, 150), (-30, 140))
    for drop in (2, 4, KNEEL_UPPER_DROP):
        f = Sprite(16, 19)
        f.paste(kneel_legs.shifted(0, 0), 0, 0)
        f.paste(upper_sprite(2 if drop < 4 else 0), 0, drop)
        frames.append(f)
    kneel = frames[-1]
    for ang in (-30, -60):
        frames.append(kneel.rotated(ang, 7, 18.5))
    lying = Sprite.from_ascii(LYING, PAL)
    for lift in (1, 0, 0, 0, 0):  # a small bounce as she lands
        f = Sprite(16, 19)
        f.paste(lying, 0, 11 - lift)
        frames.append(f)
    return frames


def build_sheet(pal_map=None):
    sheet = Sheet(192, 76, GREEN)
    for pose in range(4):
        sheet.place(upper_sprite(pose), pose * 16, 0)
    for i, (near, far) in enumerate((STAND, RISE, FALL)):
        sheet.place(legs_sprite(near, far), i * 16, 19)
    for f in range(12):
        p = f / 12.0
        sheet.place(legs_sprite(run_leg(p), run_leg((p + 0.5) % 1.0)), f * 16, 38)
    for f, spr in enumerate(corpse_frames()):
        sheet.place(spr, f * 16, 57)
    if pal_map:
        for src, dst in pal_map.items():
            m = (sheet.px == src).all(axis=2)
            sheet.px[m] = dst
    return sheet


# Other players: the same sheet with another jacket and hair.
VARIANTS = {
    2: {PAL['J']: rgb('#e86a5a'), PAL['j']: rgb('#b03a32'), PAL['n']: rgb('#6c1c1c'),
        PAL['H']: rgb('#f8d868'), PAL['h']: rgb('#d8a030'), PAL['d']: rgb('#8a5a18')},
    3: {PAL['J']: rgb('#7ad86a'), PAL['j']: rgb('#3c9a3c'), PAL['n']: rgb('#1e5a24'),
        PAL['H']: rgb('#a07850'), PAL['h']: rgb('#6e4a2c'), PAL['d']: rgb('#40281a')},
    4: {PAL['J']: rgb('#c88af0'), PAL['j']: rgb('#8a4ec0'), PAL['n']: rgb('#4e2478'),
        PAL['H']: rgb('#e8ecf4'), PAL['h']: rgb('#b0b8cc'), PAL['d']: rgb('#6a7088')},
    5: {PAL['J']: rgb('#f0b050'), PAL['j']: rgb('#c07820'), PAL['n']: rgb('#6e4010'),
        PAL['H']: rgb('#4a4a5a'), PAL['h']: rgb('#2e2e3c'), PAL['d']: rgb('#1a1a24')},
}


def sit_sprite():
    """Seated on a ledge: thighs forward, shins hanging, gun put away."""
    s = Sprite(16, 22)
    legs = Sprite(16, 22)
    dark = rgb('#2a2438')
    legs.line(6, 17, 12, 17, dark, 2)
    legs.line(5, 16, 12, 16, PAL['p'], 2)
    legs.line(12, 16, 12, 20, PAL['p'], 2)
    legs.rect(11, 20, 4, 2, PAL['o'])
    legs.put(12, 20, PAL['O'])
    legs.put(9, 16, PAL['P'])
    legs.outline(PAL['k'], keep=lambda x, y: y >= 15)
    s.paste(legs, 0, 0)
    arm_down = [row[:11] if i >= 11 else row for i, row in enumerate(UPPER[2][:14])]
    arm_down[11] = arm_down[11] + 'k'
    s.paste(Sprite.from_ascii(arm_down, PAL), 0, 3)
    return s


def build():
    out = {'char.gif': build_sheet()}
    for n, mapping in VARIANTS.items():
        out['multiplayer-%d.gif' % n] = build_sheet(mapping)
    sit = Sheet(16, 22, GREEN)
    sit.place(sit_sprite(), 0, 0)
    out['dahlia_sit.gif'] = sit
    return out
