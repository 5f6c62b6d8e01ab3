"""The "cytok" tileset: resource/cytok-tiles.gif, 16 x 16 cells of 16 x 16.

Tile byte = row * 16 + column. Tile 0 is empty. Level files carry their own
kind table; KINDS below is the kind each tile is drawn for (0 empty,
1 scenery, 2 one-way platform, 3 solid, 4 slope rising to the left, 5 slope
rising to the right), for the level compiler and the README.

Autotile groups (4 x 4, the editor's layout: columns single / left end /
middle / right end, rows single / top / middle / bottom):
  (1,1) grassy earth   (5,1) stone bricks   (9,1) cave rock
  (1,5) metal plating  (5,5) back wall bricks (scenery)  (9,5) sand

Back-layer pit shaft at (0..2, 12): mouth, shaft, depths.
"""
import numpy as np

from .canvas import GREEN, Rng, Sheet, Sprite, fbm, mix, rgb, shade

T = 16


def tile_id(col, row):
    return row * 16 + col


KINDS = [0] * 256
NAMES = {}


def _set(col, row, kind, name):
    KINDS[tile_id(col, row)] = kind
    NAMES[tile_id(col, row)] = name


# --------------------------------------------------------------------------
# Texture helpers

def _quantise(field, palette):
    """Map a 0..1 field to palette entries (pixel-art banding)."""
    n = len(palette)
    idx = np.clip((field * n).astype(int), 0, n - 1)
    out = np.zeros(field.shape + (3,), dtype=np.uint8)
    for i, c in enumerate(palette):
        out[idx == i] = c
    return out


def _stretch(field):
    lo, hi = field.min(), field.max()
    return (field - lo) / (hi - lo + 1e-9)


def earth_texture(seed, palette):
    f = _stretch(0.65 * fbm(T, T, 4, seed, octaves=2, wrap=True) +
                 0.35 * fbm(T, T, 8, seed + 3, octaves=1, wrap=True))
    px = _quantise(f, palette[:-1])
    rng = Rng(seed)
    for _ in range(4):  # embedded pebbles
        x, y = rng.int(1, 13), rng.int(1, 13)
        px[y, x] = palette[-1]
        px[y, x + 1] = mix(palette[-1], palette[-2], 0.5)
        px[y + 1, x] = mix(palette[-1], palette[-2], 0.5)
        px[y + 1, x + 1] = palette[0]
    for _ in range(6):  # dark specks
        x, y = rng.int(0, 15), rng.int(0, 15)
        px[y, x] = palette[0]
    return px


def brick_texture(seed, mortar, bricks, bh=4, bw=8):
    px = np.zeros((T, T, 3), dtype=np.uint8)
    rng = Rng(seed)
    for row in range(T // bh):
        off = (bw // 2) * (row % 2)
        for bx in range(-1, T // bw + 1):
            x0 = bx * bw + off
            base = bricks[rng.int(0, len(bricks) - 1)]
            for y in range(row * bh, row * bh + bh):
                for x in range(x0, x0 + bw):
                    if 0 <= x < T:
                        edge_top = y == row * bh
                        edge_left = x == x0
                        if edge_top or edge_left:
                            px[y, x] = mortar
                        elif y == row * bh + 1 or x == x0 + 1:
                            px[y, x] = shade(base, 1.18)
                        elif y == row * bh + bh - 1:
                            px[y, x] = shade(base, 0.85)
                        else:
                            px[y, x] = base
    return px


def rock_texture(seed, palette, crack):
    f = _stretch(fbm(T, T, 8, seed, octaves=3, wrap=True))
    px = _quantise(f, palette)
    rng = Rng(seed + 7)
    x, y = rng.int(2, 13), 0
    while y < T:  # a wandering crack, wrapped so the tile repeats
        px[y % T, x % T] = crack
        x += rng.int(-1, 1)
        y += 1
    return px


def metal_texture(base, light, dark):
    px = np.zeros((T, T, 3), dtype=np.uint8)
    px[:, :] = base
    px[0, :] = light
    px[:, 0] = light
    px[T - 1, :] = dark
    px[:, T - 1] = dark
    px[7, 1:T - 1] = dark
    px[8, 1:T - 1] = light
    for (x, y) in ((3, 3), (12, 3), (3, 12), (12, 12)):
        px[y, x] = light
        px[y + 1, x + 1] = dark
        px[y, x + 1] = mix(light, base, 0.5)
    return px


# --------------------------------------------------------------------------
# Edged tiles

class Style:
    def __init__(self, texture, rim, light, top=None, top_depth=0, bottom=None):
        self.texture = texture      # 16x16x3 fill
        self.rim = rim              # outline colour on open sides
        self.light = light          # highlight just inside the top/left rim
        self.top = top              # callable(sprite, solid_top_row_fn) for a grass/crust cap
        self.top_depth = top_depth
        self.bottom = bottom


def edged_tile(style, left, right, top, bottom):
    s = Sprite(T, T)
    s.px[:, :] = style.texture
    s.mask[:, :] = True
    if left:
        s.px[:, 1] = style.light
        s.px[:, 0] = style.rim
    if right:
        s.px[:, T - 2] = shade(style.texture[:, T - 2].mean(axis=0), 0.75)
        s.px[:, T - 1] = style.rim
    if bottom:
        s.px[T - 2, :] = shade(style.texture[T - 2].mean(axis=0), 0.7)
        s.px[T - 1, :] = style.rim
    if top:
        s.px[1, :] = style.light
        s.px[0, :] = style.rim
    # round open corners
    for (cond, x, y) in ((top and left, 0, 0), (top and right, T - 1, 0),
                         (bottom and left, 0, T - 1), (bottom and right, T - 1, T - 1)):
        if cond:
            s.mask[y, x] = False
    if top and style.top:
        style.top(s, lambda x: 0, left, right)
    return s


def slope_tile(style, rising_left):
    """45-degree slope. Rising to the left: the surface runs from the top-left
    corner to the bottom-right one, solid below it (row >= column)."""
    s = Sprite(T, T)
    for y in range(T):
        for x in range(T):
            surf = x if rising_left else T - 1 - x
            if y >= surf:
                s.put(x, y, tuple(int(v) for v in style.texture[y, x]))
    for x in range(T):
        surf = x if rising_left else T - 1 - x
        s.put(x, surf, style.rim)
        if surf + 1 < T:
            s.put(x, surf + 1, style.light)
    if style.top:
        style.top(s, (lambda x: x) if rising_left else (lambda x: T - 1 - x), False, False)
    return s


def grass_cap(greens, blade, dark):
    """Turf on top of a surface: a wavy band with blades poking up."""
    def cap(s, surface, left, right):
        for x in range(T):
            top = surface(x)
            depth = 5 + int(round(1.3 * np.sin(x * np.pi / 4.0)))
            for d in range(depth):
                y = top + d
                if y < T:
                    c = greens[min(d // 2, len(greens) - 1)]
                    if d == depth - 1:
                        c = dark
                    s.put(x, y, c)
            if top < T:
                if x % 3 == 1:
                    s.put(x, top, blade)
                elif x % 4 == 0:
                    s.put(x, top, greens[0])
                else:
                    s.mask[top, x] = False
        for cond, x in ((left, 0), (right, T - 1)):
            if cond:
                for y in range(1, 7):
                    s.put(x, y, dark)
                s.put(1 if x == 0 else T - 2, 6, dark)
    return cap


def crust_cap(light, mid):
    def cap(s, surface, left, right):
        for x in range(T):
            top = surface(x)
            for d, c in ((0, light), (1, mid)):
                if top + d < T:
                    s.put(x, top + d, c)
    return cap


def autotile_group(sheet, col, row, style, kind, name):
    for v in range(4):
        for h in range(4):
            left = h in (0, 1)
            right = h in (0, 3)
            top = v in (0, 1)
            bottom = v in (0, 3)
            sheet.place(edged_tile(style, left, right, top, bottom), (col + h) * T, (row + v) * T)
            _set(col + h, row + v, kind, name)


# --------------------------------------------------------------------------
# Platforms and decorations

def plank(kind_end):
    wood = [rgb('#c08850'), rgb('#9a6634'), rgb('#744a22')]
    rim = rgb('#3a2210')
    s = Sprite(T, T)
    s.rect(0, 0, T, 5, wood[1])
    s.rect(0, 0, T, 1, rim)
    s.rect(0, 1, T, 1, wood[0])
    s.rect(0, 4, T, 1, rim)
    s.rect(0, 3, T, 1, wood[2])
    for x in (5, 12):
        s.put(x, 2, wood[2])
    if kind_end in ('left', 'single'):
        s.rect(0, 0, 1, 5, rim)
        s.line(2, 5, 6, 9, wood[2], 2)
        s.rect(1, 5, 2, 11, wood[1])
        s.rect(0, 5, 1, 11, rim)
        s.rect(3, 5, 1, 11, rim)
    if kind_end in ('right', 'single'):
        s.rect(T - 1, 0, 1, 5, rim)
        s.line(T - 3, 5, T - 7, 9, wood[2], 2)
        s.rect(T - 3, 5, 2, 11, wood[1])
        s.rect(T - 1, 5, 1, 11, rim)
        s.rect(T - 4, 5, 1, 11, rim)
    return s


def ledge(kind_end, top, mid, rim):
    s = Sprite(T, T)
    s.rect(0, 0, T, 6, mid)
    s.rect(0, 0, T, 1, rim)
    s.rect(0, 1, T, 1, top)
    s.rect(0, 5, T, 1, rim)
    for x in range(0, T, 4):
        s.put(x + 2, 3, shade(mid, 0.8))
    if kind_end in ('left', 'single'):
        s.rect(0, 0, 1, 6, rim)
        s.polygon([(1, 6), (6, 6), (2, 10)], shade(mid, 0.8))
        s.line(1, 6, 2, 10, rim)
    if kind_end in ('right', 'single'):
        s.rect(T - 1, 0, 1, 6, rim)
        s.polygon([(T - 1, 6), (T - 6, 6), (T - 2, 10)], shade(mid, 0.8))
        s.line(T - 2, 6, T - 3, 10, rim)
    return s


def grate(kind_end):
    light, mid, dark = rgb('#b8c0cc'), rgb('#7c8494'), rgb('#3a3f4c')
    s = Sprite(T, T)
    s.rect(0, 0, T, 4, mid)
    s.rect(0, 0, T, 1, light)
    s.rect(0, 3, T, 1, dark)
    for x in range(1, T, 3):
        s.put(x, 1, dark)
        s.put(x, 2, dark)
    if kind_end in ('left', 'single'):
        s.rect(0, 0, 1, 4, dark)
        s.rect(1, 4, 2, 12, mid)
        s.rect(1, 4, 1, 12, light)
    if kind_end in ('right', 'single'):
        s.rect(T - 1, 0, 1, 4, dark)
        s.rect(T - 3, 4, 2, 12, mid)
        s.rect(T - 2, 4, 1, 12, dark)
    return s


def tuft(seed, greens):
    s = Sprite(T, T)
    rng = Rng(seed)
    for i in range(7):
        x = rng.int(2, 13)
        h = rng.int(3, 8)
        lean = rng.int(-1, 1)
        for d in range(h):
            s.put(x + (lean * d) // 3, T - 1 - d, greens[min(d // 2, len(greens) - 1)])
    return s


def flowers(seed, petal):
    s = tuft(seed, [rgb('#2f7a30'), rgb('#3f9a3a'), rgb('#5cb848')])
    rng = Rng(seed + 5)
    for i in range(3):
        x = rng.int(3, 12)
        y = rng.int(6, 10)
        s.line(x, y, x, T - 1, rgb('#2f7a30'))
        for dx, dy in ((0, -1), (-1, 0), (1, 0), (0, 1)):
            s.put(x + dx, y + dy, petal)
        s.put(x, y, rgb('#ffe060'))
    return s


def boulder(big):
    s = Sprite(T, T)
    dark, mid, light, rim = rgb('#505868'), rgb('#7a8494'), rgb('#a4aebc'), rgb('#262a34')
    if big:
        s.ellipse(8, 10, 7.5, 6, mid)
    else:
        s.ellipse(8, 12.5, 5, 3.5, mid)
    m = s.mask.copy()
    ys, xs = np.nonzero(m)
    top = ys.min()
    for y, x in zip(ys, xs):
        if y < top + 2 or (x < 6 and y < top + 4):
            s.px[y, x] = light
        elif y > ys.max() - 2:
            s.px[y, x] = dark
    s.outline(rim)
    return s


def bush(part):
    leaf = [rgb('#1f5a2a'), rgb('#2f7a34'), rgb('#48a040'), rgb('#74c458')]
    s = Sprite(T, T)
    rng = Rng(300 + part)
    cx = {0: 14, 1: 8, 2: 2}[part]
    s.ellipse(cx, 11, 9 if part == 1 else 8, 6, leaf[1])
    for _ in range(26):
        x, y = rng.int(0, 15), rng.int(5, 15)
        if s.mask[y, x]:
            s.px[y, x] = leaf[rng.int(0, 3)]
    s.outline(rgb('#0f2a14'))
    return s


def trunk(part):
    bark = [rgb('#4a3020'), rgb('#6a4a2e'), rgb('#8a6640')]
    s = Sprite(T, T)
    s.rect(5, 0, 6, T, bark[1])
    s.rect(5, 0, 1, T, bark[0])
    s.rect(10, 0, 1, T, bark[0])
    s.rect(7, 0, 1, T, bark[2])
    for y in (3, 9, 13):
        s.put(8, y, bark[0])
        s.put(9, y + 1, bark[0])
    if part == 'root':
        s.polygon([(3, 16), (5, 10), (5, 16)], bark[1])
        s.polygon([(13, 16), (11, 10), (11, 16)], bark[1])
        s.put(3, 15, bark[0])
        s.put(12, 15, bark[0])
    return s


def canopy(cx, cy):
    """One 16x16 piece of a 48x32 leaf crown; (cx, cy) picks the piece."""
    leaf = [rgb('#1a4e26'), rgb('#2a6e30'), rgb('#3f923a'), rgb('#66b850')]
    big = Sprite(48, 32)
    big.ellipse(24, 16, 23, 15.5, leaf[1])
    rng = Rng(808)
    for _ in range(260):
        x, y = rng.int(0, 47), rng.int(0, 31)
        if big.mask[y, x]:
            lvl = 3 if y < 12 and rng.chance(0.6) else rng.int(0, 2)
            big.px[y, x] = leaf[lvl]
    big.outline(rgb('#0c2612'))
    big.rect(21, 26, 6, 6, rgb('#6a4a2e'))
    big.rect(21, 26, 1, 6, rgb('#4a3020'))
    big.rect(26, 26, 1, 6, rgb('#4a3020'))
    piece = Sprite(T, T)
    piece.px = big.px[cy * T:(cy + 1) * T, cx * T:(cx + 1) * T].copy()
    piece.mask = big.mask[cy * T:(cy + 1) * T, cx * T:(cx + 1) * T].copy()
    return piece


def fence(part):
    wood, dark, light = rgb('#8a6238'), rgb('#4a301a'), rgb('#b88a54')
    s = Sprite(T, T)
    s.rect(0, 6, T, 2, wood)
    s.rect(0, 11, T, 2, wood)
    s.rect(0, 6, T, 1, light)
    s.rect(0, 11, T, 1, light)
    posts = {'left': [2, 10], 'mid': [2, 10], 'right': [2, 10]}[part]
    for x in posts:
        s.rect(x, 3, 3, 13, wood)
        s.rect(x, 3, 1, 13, light)
        s.rect(x + 2, 3, 1, 13, dark)
        s.put(x + 1, 2, wood)
    if part == 'left':
        s.rect(0, 6, 2, 7, (0, 0, 0))
        s.mask[6:13, 0:2] = False
    if part == 'right':
        s.mask[6:13, 13:16] = False
    return s


def crate():
    wood, dark, light, rim = rgb('#a87440'), rgb('#6e4622'), rgb('#d09a5c'), rgb('#3a2410')
    s = Sprite(T, T)
    s.rect(0, 0, T, T, wood)
    s.rect(0, 0, T, 1, rim)
    s.rect(0, T - 1, T, 1, rim)
    s.rect(0, 0, 1, T, rim)
    s.rect(T - 1, 0, 1, T, rim)
    s.rect(1, 1, T - 2, 2, light)
    s.rect(1, T - 3, T - 2, 2, dark)
    s.line(2, 3, 13, 12, dark, 2)
    for y in (5, 9):
        s.rect(1, y, T - 2, 1, shade(wood, 0.85))
    return s


def vine(end):
    leaf = [rgb('#2a6e30'), rgb('#48a040')]
    s = Sprite(T, T)
    for y in range(T if not end else 11):
        x = 7 + int(round(1.5 * np.sin(y / 2.5)))
        s.put(x, y, rgb('#3a5a22'))
        if y % 4 == 1:
            s.put(x - 1, y, leaf[1])
            s.put(x - 2, y + 1, leaf[0])
        if y % 4 == 3:
            s.put(x + 1, y, leaf[1])
            s.put(x + 2, y + 1, leaf[0])
    if end:
        s.disc(7.5, 12.5, 2, leaf[1])
    return s


def chain(end):
    light, dark = rgb('#9aa0ac'), rgb('#4e5260')
    s = Sprite(T, T)
    for y in range(0, T if not end else 10, 4):
        s.rect(6, y, 4, 3, dark)
        s.rect(7, y + 1, 2, 1, (0, 0, 0))
        s.mask[y + 1, 7:9] = False
        s.put(6, y, light)
        s.put(7, y + 3, light)
    if end:
        s.rect(4, 10, 8, 2, dark)
        s.rect(4, 10, 8, 1, light)
        s.line(5, 12, 7, 15, dark)
        s.line(10, 12, 8, 15, dark)
    return s


def lamp(part):
    iron, light = rgb('#3a3c48'), rgb('#6a6e80')
    s = Sprite(T, T)
    if part == 'top':
        s.rect(4, 4, 8, 8, iron)
        s.rect(5, 5, 6, 6, rgb('#ffe89a'))
        s.rect(6, 6, 3, 3, rgb('#fffbe0'))
        s.rect(3, 3, 10, 1, light)
        s.rect(6, 1, 4, 2, iron)
        s.rect(7, 12, 2, 4, iron)
    else:
        s.rect(7, 0, 2, T, iron)
        s.rect(7, 0, 1, T, light)
        if part == 'base':
            s.rect(5, 12, 6, 4, iron)
            s.rect(5, 12, 6, 1, light)
    return s


def sign(direction):
    wood, dark, light = rgb('#a87a48'), rgb('#4a2e16'), rgb('#d8a870')
    s = Sprite(T, T)
    s.rect(7, 8, 2, 8, dark)
    pts = [(2, 2), (12, 2), (15, 5), (12, 8), (2, 8)] if direction > 0 else \
          [(14, 2), (4, 2), (1, 5), (4, 8), (14, 8)]
    s.polygon(pts, wood)
    s.outline(dark)
    s.rect(4, 3, 8, 1, light)
    s.rect(5, 5, 6, 1, dark)
    return s


def window(lit):
    frame, glass = rgb('#4a3a30'), (rgb('#ffd878') if lit else rgb('#1c2438'))
    s = Sprite(T, T)
    s.rect(2, 1, 12, 14, frame)
    s.rect(3, 2, 10, 12, glass)
    s.rect(7, 2, 2, 12, frame)
    s.rect(3, 7, 10, 1, frame)
    s.ellipse(8, 3, 6, 3, frame)
    s.rect(3, 3, 4, 1, mix(glass, (255, 255, 255), 0.4))
    return s


def mushrooms():
    s = Sprite(T, T)
    for (x, y, r, c) in ((5, 10, 3.5, rgb('#c83a3a')), (11, 12, 2.5, rgb('#d86040'))):
        s.rect(x - 1, y, 2, T - y, rgb('#e8dcc0'))
        s.ellipse(x, y, r, r * 0.7, c)
        s.put(x - 1, y - 1, rgb('#fff0e0'))
    return s


def stalactite(big):
    s = Sprite(T, T)
    mid, dark, light = rgb('#6a6e88'), rgb('#3c3e52'), rgb('#9a9ebc')
    length = 15 if big else 9
    s.polygon([(3, 0), (13, 0), (8, length)], mid)
    s.line(5, 0, 8, length - 1, light)
    s.line(12, 0, 9, length - 2, dark)
    return s


def bones():
    bone, dark = rgb('#e8e0cc'), rgb('#8a8270')
    s = Sprite(T, T)
    s.disc(5, 11, 3, bone)
    s.put(4, 11, dark)
    s.put(6, 11, dark)
    s.rect(4, 13, 3, 1, dark)
    s.line(9, 14, 14, 11, bone, 2)
    s.put(9, 13, bone)
    s.put(14, 10, bone)
    return s


def pipe(part):
    light, mid, dark = rgb('#a8b0a0'), rgb('#6e7868'), rgb('#3a4236')
    s = Sprite(T, T)
    if part == 'h':
        s.rect(0, 5, T, 6, mid)
        s.rect(0, 5, T, 1, light)
        s.rect(0, 10, T, 1, dark)
        s.rect(12, 4, 3, 8, dark)
    else:
        s.rect(5, 0, 6, T, mid)
        s.rect(5, 0, 1, T, light)
        s.rect(10, 0, 1, T, dark)
        s.rect(4, 12, 8, 3, dark)
    return s


def column_piece(part):
    light, mid, dark = rgb('#8c8470'), rgb('#6a6252'), rgb('#3e3a30')
    s = Sprite(T, T)
    s.rect(3, 0, 10, T, mid)
    s.rect(3, 0, 2, T, light)
    s.rect(11, 0, 2, T, dark)
    for x in (6, 8, 10):
        s.rect(x, 0, 1, T, shade(mid, 0.8))
    if part == 'cap':
        s.rect(1, 0, 14, 3, light)
        s.rect(1, 3, 14, 1, dark)
    if part == 'base':
        s.rect(1, 13, 14, 3, mid)
        s.rect(1, 13, 14, 1, light)
    return s


def plain(kind):
    """Utility tiles of the bottom row: flat colours that show their kind."""
    s = Sprite(T, T)
    body, rim = rgb('#5a5470'), rgb('#2a2638')
    if kind == 'solid':
        s.rect(0, 0, T, T, body)
        for y in range(T):
            for x in range(T):
                if ((x // 4) + (y // 4)) % 2:
                    s.put(x, y, shade(body, 0.85))
        s.rect(0, 0, T, 1, rim)
        s.rect(0, 0, 1, T, rim)
        s.rect(0, T - 1, T, 1, rim)
        s.rect(T - 1, 0, 1, T, rim)
    elif kind == 'oneway':
        s.rect(0, 0, T, 4, rgb('#d8c060'))
        s.rect(0, 3, T, 1, rim)
        for x in range(2, T, 5):
            s.polygon([(x, 9), (x + 3, 9), (x + 1.5, 6)], rgb('#d8c060'))
    elif kind in ('left', 'right'):
        for y in range(T):
            for x in range(T):
                surf = x if kind == 'left' else T - 1 - x
                if y >= surf:
                    c = body if ((x // 4) + (y // 4)) % 2 == 0 else shade(body, 0.85)
                    s.put(x, y, c)
        for x in range(T):
            s.put(x, x if kind == 'left' else T - 1 - x, rgb('#d8c060'))
    else:
        shades = {'dark1': rgb('#141828'), 'dark2': rgb('#2a1e18'),
                  'dark3': rgb('#1e2026'), 'dark4': rgb('#181c14')}
        s.rect(0, 0, T, T, shades[kind])
    return s


def shaft(texture, part):
    """Back-layer pit shaft: the earth's texture darkening with depth, so a pit reads as a drop
    rather than as the sky. The mouth fades from the rim, the shaft below it goes on fading, and
    the depths are the all but black bottom."""
    bands = {'mouth': (0.5, 0.42, 0.34, 0.27), 'shaft': (0.21, 0.16, 0.12, 0.09), 'depths': (0.07,) * 4}[part]
    fade = np.repeat(bands, T // 4)[:, None, None]  # four-row bands keep the sheet within a GIF's colours
    s = Sprite(T, T)
    s.px[:, :] = (texture * fade).astype(np.uint8)
    s.mask[:, :] = True
    return s


# --------------------------------------------------------------------------

def _styles():
    earth = [rgb('#4e2e1a'), rgb('#6a4026'), rgb('#82522e'), rgb('#9a6a3c'), rgb('#b48250')]
    greens = [rgb('#7ad050'), rgb('#4fae3c'), rgb('#3a8c32'), rgb('#2c6e2a')]
    grass = Style(earth_texture(11, earth), rgb('#2a160c'), rgb('#a87446'),
                  top=grass_cap(greens, rgb('#a4e870'), rgb('#245a22')))
    stone = Style(brick_texture(21, rgb('#3a3440'),
                                [rgb('#8a8296'), rgb('#7a7286'), rgb('#968ea4'), rgb('#6e687c')]),
                  rgb('#1c1824'), rgb('#b4acc0'))
    rockpal = [rgb('#2e3448'), rgb('#3c4460'), rgb('#4c5674'), rgb('#5e6a8a'), rgb('#74809e')]
    cave = Style(rock_texture(31, rockpal, rgb('#1a1e2c')), rgb('#10121c'), rgb('#8894b0'))
    metal = Style(metal_texture(rgb('#5c6678'), rgb('#8e9aae'), rgb('#343a48')),
                  rgb('#181c26'), rgb('#a8b4c8'))
    back = Style(brick_texture(41, rgb('#1a1620'),
                               [rgb('#3e3848'), rgb('#362f40'), rgb('#443e50'), rgb('#322c3a')]),
                 rgb('#120e16'), rgb('#4e4858'))
    sandpal = [rgb('#a07a40'), rgb('#b48a4c'), rgb('#c69c5a'), rgb('#d6ae6a'), rgb('#e6c482')]
    sand = Style(earth_texture(51, sandpal), rgb('#4a3418'), rgb('#eed49a'),
                 top=crust_cap(rgb('#f4dca8'), rgb('#d8b878')))
    return grass, stone, cave, metal, back, sand


def build_sheet():
    sheet = Sheet(256, 256, GREEN)
    grass, stone, cave, metal, back, sand = _styles()

    # Row 0: one-way platforms and small plants.
    ends = ['single', 'left', 'mid', 'right']
    for i, e in enumerate(ends):
        sheet.place(plank(e), (1 + i) * T, 0)
        _set(1 + i, 0, 2, 'wooden plank')
        sheet.place(ledge(e, rgb('#b4acc0'), rgb('#7a7286'), rgb('#1c1824')), (5 + i) * T, 0)
        _set(5 + i, 0, 2, 'stone ledge')
        sheet.place(grate(e), (9 + i) * T, 0)
        _set(9 + i, 0, 2, 'metal grate')
    sheet.place(tuft(1, [rgb('#2c6e2a'), rgb('#3a8c32'), rgb('#4fae3c'), rgb('#7ad050')]), 13 * T, 0)
    _set(13, 0, 1, 'grass tuft')
    sheet.place(flowers(2, rgb('#e04a8a')), 14 * T, 0)
    _set(14, 0, 1, 'flowers')
    sheet.place(flowers(3, rgb('#f0f0ff')), 15 * T, 0)
    _set(15, 0, 1, 'flowers')

    # Rows 1-8: autotile groups; column 0 back-layer fills; columns 13-14 slopes.
    autotile_group(sheet, 1, 1, grass, 3, 'grassy earth')
    autotile_group(sheet, 5, 1, stone, 3, 'stone bricks')
    autotile_group(sheet, 9, 1, cave, 3, 'cave rock')
    autotile_group(sheet, 1, 5, metal, 3, 'metal plating')
    autotile_group(sheet, 5, 5, back, 1, 'back wall bricks')
    autotile_group(sheet, 9, 5, sand, 3, 'sand')
    for row, style, name in ((1, grass, 'grassy earth'), (2, stone, 'stone bricks'),
                             (3, cave, 'cave rock'), (4, metal, 'metal plating'),
                             (5, sand, 'sand'), (6, back, 'back wall bricks')):
        kind_l, kind_r = (1, 1) if style is back else (4, 5)
        sheet.place(slope_tile(style, True), 13 * T, row * T)
        _set(13, row, kind_l, name + ' slope, rising left')
        sheet.place(slope_tile(style, False), 14 * T, row * T)
        _set(14, row, kind_r, name + ' slope, rising right')
    for row, style, name in ((1, grass, 'earth'), (2, stone, 'bricks'), (3, cave, 'rock'),
                             (4, metal, 'plating'), (5, sand, 'sand')):
        dim = Sprite(T, T)
        dim.px[:, :] = (style.texture * 0.55).astype(np.uint8)
        dim.mask[:, :] = True
        sheet.place(dim, 0, row * T)
        _set(0, row, 1, 'shadowed ' + name + ' (back layer)')
        sheet.place(dim, 15 * T, row * T)
        _set(15, row, 1, 'shadowed ' + name + ' (back layer)')
    sheet.place(crate(), 0, 6 * T)
    _set(0, 6, 3, 'crate')
    sheet.place(crate(), 15 * T, 6 * T)
    _set(15, 6, 3, 'crate')
    for row in (7, 8):
        sheet.place(window(row == 7), 0, row * T)
        _set(0, row, 1, 'window')
        sheet.place(column_piece('mid'), 13 * T, row * T)
        _set(13, row, 1, 'stone column')
    sheet.place(column_piece('cap'), 14 * T, 7 * T)
    _set(14, 7, 1, 'stone column top')
    sheet.place(column_piece('base'), 14 * T, 8 * T)
    _set(14, 8, 1, 'stone column base')
    sheet.place(crate(), 15 * T, 7 * T)
    _set(15, 7, 3, 'crate')
    sheet.place(boulder(True), 15 * T, 8 * T)
    _set(15, 8, 1, 'boulder')

    # Rows 9-11: scenery.
    decor = [
        (0, 9, tuft(4, [rgb('#2c6e2a'), rgb('#3a8c32'), rgb('#4fae3c'), rgb('#7ad050')]), 'grass tuft'),
        (1, 9, tuft(5, [rgb('#2c6e2a'), rgb('#3a8c32'), rgb('#4fae3c')]), 'grass tuft'),
        (2, 9, flowers(6, rgb('#f0c030')), 'flowers'),
        (3, 9, mushrooms(), 'mushrooms'),
        (4, 9, boulder(False), 'pebble'),
        (5, 9, boulder(True), 'boulder'),
        (6, 9, bones(), 'bones'),
        (7, 9, sign(1), 'sign right'),
        (8, 9, sign(-1), 'sign left'),
        (9, 9, bush(0), 'bush left'),
        (10, 9, bush(1), 'bush middle'),
        (11, 9, bush(2), 'bush right'),
        (12, 9, fence('left'), 'fence left'),
        (13, 9, fence('mid'), 'fence'),
        (14, 9, fence('right'), 'fence right'),
        (15, 9, lamp('top'), 'lamp'),
        (15, 10, lamp('pole'), 'lamp pole'),
        (15, 11, lamp('base'), 'lamp base'),
        (0, 10, vine(False), 'vine'),
        (1, 10, vine(True), 'vine end'),
        (2, 10, chain(False), 'chain'),
        (3, 10, chain(True), 'chain end'),
        (4, 10, stalactite(True), 'stalactite'),
        (5, 10, stalactite(False), 'stalactite'),
        (6, 10, pipe('h'), 'pipe'),
        (7, 10, pipe('v'), 'pipe'),
        (8, 10, trunk('mid'), 'tree trunk'),
        (8, 11, trunk('root'), 'tree roots'),
    ]
    for cx in range(3):
        for cy in range(2):
            decor.append((9 + cx, 10 + cy, canopy(cx, cy), 'tree crown'))
    for col, row, spr, name in decor:
        sheet.place(spr, col * T, row * T)
        _set(col, row, 1, name)

    # Row 12: pit shafts for back layers.
    for col, part in enumerate(('mouth', 'shaft', 'depths')):
        sheet.place(shaft(grass.texture, part), col * T, 12 * T)
        _set(col, 12, 1, 'pit shaft ' + part + ' (back layer)')

    # Row 15: utility tiles, shown by the editor as its 4x4 side panel.
    util = [('solid', 3, 'plain solid'), ('oneway', 2, 'plain one-way'),
            ('left', 4, 'plain slope, rising left'), ('right', 5, 'plain slope, rising right'),
            ('dark1', 1, 'night fill'), ('dark2', 1, 'earth fill'),
            ('dark3', 1, 'stone fill'), ('dark4', 1, 'moss fill')]
    for i, (kind, k, name) in enumerate(util):
        sheet.place(plain(kind), i * T, 15 * T)
        _set(i, 15, k, name)
    extras = [(8, tuft(9, [rgb('#2c6e2a'), rgb('#3a8c32'), rgb('#4fae3c')]), 1, 'grass tuft'),
              (9, flowers(10, rgb('#9060e0')), 1, 'flowers'),
              (10, boulder(False), 1, 'pebble'), (11, crate(), 3, 'crate'),
              (12, sign(1), 1, 'sign right'), (13, sign(-1), 1, 'sign left'),
              (14, vine(False), 1, 'vine'), (15, chain(False), 1, 'chain')]
    for col, spr, k, name in extras:
        sheet.place(spr, col * T, 15 * T)
        _set(col, 15, k, name)
    return sheet


def build():
    return {'cytok-tiles.gif': build_sheet()}
