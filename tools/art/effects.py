"""Effect strips, one row of cells each, played left to right.

explosion.gif           360x32, 18 cells 20x32; fireball centred at (10, 22)
smoke.gif               144x16, 9 cells
dust.gif                128x16, 8 cells, key BLACK; sits on the floor, drifts right
groundburst.gif         96x16, 6 cells, key BLACK; erupts from the floor
blast.gif               112x16, 7 cells; bigblast.gif 288x32, 9 cells of 32x32
enemy_death.gif         96x16, key BLACK; cell n is the look of generation n
blood.gif               128x16, 8 cells; blood-particles.gif 48x8, sizes 0 (big) .. 5
splash.gif, smallsplash.gif  96x16, 6 cells; the water surface is the bottom edge
water-particles.gif     24x8: drop, spray, fine spray
gunblastsandbullet.gif  144x16: muzzle blasts right, down, up, left; shot; 4 impacts
Shots and impacts are centred on (8, 8); a muzzle blast starts at the cell
edge that touches the shot (left edge for a shot going right).
"""
import math

from .canvas import BLACK, GREEN, Rng, Sheet, Sprite, rgb
from .creatures import _turn, blob

FIRE = [rgb('#fffbe8'), rgb('#fff0a0'), rgb('#ffd050'), rgb('#ff9a28'), rgb('#e85a18'),
        rgb('#a8301a'), rgb('#5a2a24')]
SMOKE = [rgb('#d8d4d0'), rgb('#b0aca8'), rgb('#8a8682'), rgb('#64605c'), rgb('#48443f')]


def puff(s, cx, cy, r, colours, seed, density=1.0):
    """A lumpy cloud: a few overlapping shaded balls, thinned by density."""
    rng = Rng(seed)
    balls = [(cx, cy, r)]
    for k in range(4):
        a = rng.real() * 2 * math.pi
        d = r * 0.55
        balls.append((cx + d * math.cos(a), cy + d * math.sin(a) * 0.8, r * (0.5 + 0.3 * rng.real())))
    tmp = Sprite(s.w, s.h)
    for (x, y, rr) in balls:
        blob(tmp, x, y, rr, rr, colours[1], colours[0], colours[2])
    for y in range(s.h):
        for x in range(s.w):
            if tmp.mask[y, x] and (density >= 1.0 or ((x * 7 + y * 13 + seed) % 17) / 17.0 < density):
                s.put(x, y, tmp.get(x, y))


def explosion(i):
    s = Sprite(20, 32)
    n = 18
    t = i / (n - 1.0)
    if i < 4:
        r = 3 + i * 2.2
        blob(s, 10, 22, r, r, FIRE[2], FIRE[0], FIRE[3])
        s.disc(10, 22, r * 0.45, FIRE[0])
    elif i < 11:
        k = i - 4
        rise = k * 1.6
        puff(s, 10, 22 - rise * 0.5, 8.5 - k * 0.4, [FIRE[1 + min(k // 2, 3)], FIRE[2 + min(k // 2, 3)], FIRE[4 + min(k // 3, 2)]], 40 + i)
        puff(s, 10, 14 - rise, 3 + k * 0.6, [SMOKE[1], SMOKE[2], SMOKE[3]], 60 + i)
        if k < 3:
            s.disc(10, 22, 3 - k, FIRE[0])
    else:
        k = i - 11
        puff(s, 10, 12 - k * 1.2, 6 - k * 0.35, [SMOKE[1 + k // 3], SMOKE[2 + k // 3], SMOKE[3 + k // 4]], 80 + i,
             density=1.0 - k / 8.0)
        puff(s, 10, 22 - k, 4.5 - k * 0.5, [FIRE[4], FIRE[5], FIRE[6]], 90 + i, density=0.9 - k / 7.0)
    return s


def smoke(i):
    s = Sprite(16, 16)
    k = i / 8.0
    col = [SMOKE[0], SMOKE[1], SMOKE[2]] if i < 5 else [SMOKE[1], SMOKE[2], SMOKE[3]]
    puff(s, 8, 8.5 - i * 0.4, 2.5 + 4 * k, col, 20 + i, density=1.0 - max(0, i - 4) * 0.18)
    return s


def dust(i):
    s = Sprite(16, 16)
    tan = [rgb('#e8d4a8'), rgb('#c8ac7c'), rgb('#9a8058')]
    k = i / 7.0
    for j, (dx, r) in enumerate(((0, 3), (4, 2.5), (-3, 2))):
        puff(s, 6 + dx + i * 0.8, 13 - i * 0.6 - j * 0.5, r + 2.5 * k, tan, 30 + i * 3 + j,
             density=1.0 - max(0, i - 3) * 0.2)
    return s


def groundburst(i):
    s = Sprite(16, 16)
    rng = Rng(50 + i)
    h = [6, 12, 15, 13, 9, 5][i]
    earth = [rgb('#f0e0b0'), rgb('#c8a060'), rgb('#8a6430'), rgb('#5a3e1e')]
    glow = [rgb('#fffbe0'), rgb('#a8e8ff'), rgb('#5ab0f0')]
    for k in range(7):
        x = 2 + k * 2
        hh = h * (0.5 + 0.5 * math.sin(k * 1.3 + i)) if i > 0 else h * 0.6
        for d in range(int(hh)):
            y = 15 - d
            c = glow[min(2, d * 3 // max(1, int(hh)))] if i < 3 else earth[min(3, 1 + d * 3 // max(1, int(hh)))]
            s.put(x + (d % 3 == 2), y, c)
    for k in range(4 + i):
        x, y = rng.int(1, 14), 15 - rng.int(0, h)
        s.put(x, y, earth[rng.int(1, 3)])
    if i < 3:
        s.rect(1, 14, 14, 2, glow[1])
    return s


def blast(i, n, size):
    s = Sprite(size, size)
    c = size / 2.0
    t = i / (n - 1.0)
    r = c * (0.35 + 0.65 * min(1.0, t * 2.0))
    if t < 0.5:
        blob(s, c, c, r, r, FIRE[2], FIRE[0], FIRE[4])
        s.disc(c, c, r * (0.6 - t), FIRE[0])
    else:
        puff(s, c, c - (t - 0.5) * size * 0.3, r * 0.9, [FIRE[4], FIRE[5], FIRE[6]], 110 + i + size,
             density=1.4 - t)
        s.disc(c, c, r * (1.0 - t) * 0.4, FIRE[2])
    return s


def death_burst(gen):
    s = Sprite(16, 16)
    col = [rgb('#fffbff'), rgb('#ffb8f0'), rgb('#e860d0'), rgb('#a030b0'), rgb('#6a2090'), rgb('#40186a')]
    r = [6.5, 4.5, 3.6, 2.8, 2.0, 1.2][gen]
    blob(s, 8, 8, r, r, col[min(gen + 1, 5)], col[gen], col[min(gen + 2, 5)])
    if gen < 3:
        s.disc(8, 8, r * 0.4, col[0])
    rng = Rng(140 + gen)
    for k in range(6 - gen):
        a = rng.real() * 2 * math.pi
        d = r + 1.5
        s.put(8 + d * math.cos(a), 8 + d * math.sin(a), col[min(gen + 1, 5)])
    return s


BLOOD = [rgb('#ff5a5a'), rgb('#d81c24'), rgb('#a0101c'), rgb('#6a0a14')]


def blood_blob(i):
    s = Sprite(16, 16)
    rng = Rng(200 + i)
    r = [3.0, 3.6, 4.0, 3.8, 3.4, 2.8, 2.2, 1.6][i]
    blob(s, 8, 8, r, r * (1.0 - 0.04 * i), BLOOD[1], BLOOD[0], BLOOD[2])
    for k in range(3 + i):
        a = rng.real() * 2 * math.pi
        d = r + rng.real() * (1 + i * 0.5)
        s.put(8 + d * math.cos(a), 8 + d * math.sin(a), BLOOD[2 if k % 2 else 1])
    if i > 3:
        s.line(8, 8 + r, 8, 9 + r + (i - 3), BLOOD[2])
    return s


def droplet(size):
    s = Sprite(8, 8)
    r = [2.6, 2.1, 1.7, 1.3, 1.0, 0.6][size]
    if size >= 4:
        s.put(4, 4, BLOOD[1])
        if size == 4:
            s.put(4, 3, BLOOD[0])
    else:
        blob(s, 4, 4, r, r, BLOOD[1], BLOOD[0], BLOOD[2])
    return s


WATER = [rgb('#f4fcff'), rgb('#b8e4ff'), rgb('#6ab8f0'), rgb('#3a80c8')]


def splash(i, big):
    s = Sprite(16, 16)
    h = ([6, 11, 14, 12, 8, 4] if big else [3, 6, 8, 7, 4, 2])[i]
    w = (3 + i * 1.1) if big else (2 + i * 0.7)
    for x in range(16):
        d = abs(x + 0.5 - 8) / w
        if d > 1.0:
            continue
        col_h = int(h * (1.0 - d * d) + (1 if (x * 5 + i) % 3 == 0 else 0))
        for y in range(col_h):
            yy = 15 - y
            c = WATER[0] if y == col_h - 1 else (WATER[1] if y > col_h - 4 else WATER[2])
            if i >= 4 and (x + y) % 2:
                continue
            s.put(x, yy, c)
    rng = Rng(300 + i + (50 if big else 0))
    for k in range((6 if big else 3) if i < 5 else 2):
        x = 8 + (rng.real() - 0.5) * 2 * (w + 2)
        y = 15 - h - rng.int(0, 3) + i
        s.put(x, y, WATER[1])
    if i < 3:
        s.rect(1, 15, 14, 1, WATER[3])
    return s


def water_particle(grade):
    s = Sprite(8, 8)
    if grade == 0:
        blob(s, 4, 4, 1.8, 2.2, WATER[1], WATER[0], WATER[2])
    elif grade == 1:
        s.put(4, 4, WATER[1])
        s.put(4, 3, WATER[0])
    else:
        s.put(4, 4, WATER[0])
    return s


GUN = [rgb('#ffffff'), rgb('#fff6b0'), rgb('#ffd04a'), rgb('#ff8a20'), rgb('#c84a10')]


def muzzle():
    s = Sprite(16, 16)
    s.polygon([(0, 8), (6, 3), (13, 8), (6, 13)], GUN[3])
    s.polygon([(0, 8), (5, 5), (10, 8), (5, 11)], GUN[2])
    s.polygon([(0, 8), (4, 6.5), (7, 8), (4, 9.5)], GUN[0])
    s.put(11, 4, GUN[2])
    s.put(11, 12, GUN[2])
    return s


def bullet():
    s = Sprite(16, 16)
    s.disc(8, 8, 2.5, GUN[3])
    s.disc(8, 8, 1.8, GUN[1])
    s.rect(7, 7, 2, 2, GUN[0])
    return s


def impact(i):
    s = Sprite(16, 16)
    rng = Rng(400 + i)
    if i == 0:
        s.disc(8, 8, 4.5, GUN[2])
        s.disc(8, 8, 3, GUN[0])
    else:
        r = 2 + i * 1.8
        for k in range(8):
            a = k * math.pi / 4 + rng.real() * 0.3
            for d in (r - 1, r):
                s.put(8 + d * math.cos(a), 8 + d * math.sin(a), GUN[min(4, i + (1 if d == r else 0))])
        if i < 3:
            s.disc(8, 8, 2.5 - i, GUN[1])
    return s


def strip(sprites, w, h, bg):
    sheet = Sheet(w * len(sprites), h, bg)
    for i, spr in enumerate(sprites):
        sheet.place(spr, i * w, 0)
    return sheet


def build():
    gun = [_turn(muzzle(), d) for d in (0, 1, 2, 3)] + [bullet()] + [impact(i) for i in range(4)]
    return {
        'explosion.gif': strip([explosion(i) for i in range(18)], 20, 32, GREEN),
        'smoke.gif': strip([smoke(i) for i in range(9)], 16, 16, GREEN),
        'dust.gif': strip([dust(i) for i in range(8)], 16, 16, BLACK),
        'groundburst.gif': strip([groundburst(i) for i in range(6)], 16, 16, BLACK),
        'blast.gif': strip([blast(i, 7, 16) for i in range(7)], 16, 16, GREEN),
        'bigblast.gif': strip([blast(i, 9, 32) for i in range(9)], 32, 32, GREEN),
        'enemy_death.gif': strip([death_burst(g) for g in range(6)], 16, 16, BLACK),
        'blood.gif': strip([blood_blob(i) for i in range(8)], 16, 16, GREEN),
        'blood-particles.gif': strip([droplet(i) for i in range(6)], 8, 8, GREEN),
        'splash.gif': strip([splash(i, True) for i in range(6)], 16, 16, GREEN),
        'smallsplash.gif': strip([splash(i, False) for i in range(6)], 16, 16, GREEN),
        'water-particles.gif': strip([water_particle(g) for g in range(3)], 8, 8, GREEN),
        'gunblastsandbullet.gif': strip(gun, 16, 16, GREEN),
    }
