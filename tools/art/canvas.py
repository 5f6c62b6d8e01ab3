"""Pixel canvas, sprites and the deterministic image writers.

Everything here is plain numpy plus our own GIF/BMP encoders, so the bytes
written depend only on this code (not on an image library's version).
"""
import math
import struct

import numpy as np

GREEN = (0, 255, 0)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)


def rgb(text):
    """'#rrggbb' -> (r, g, b)."""
    text = text.lstrip('#')
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, f):
    """Scale a colour's brightness by f (clamped)."""
    return tuple(max(0, min(255, int(round(v * f)))) for v in c)


class Rng:
    """Small xorshift generator: the same numbers on every platform."""

    def __init__(self, seed):
        self.state = (seed * 2654435761 + 0x9E3779B9) & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def int(self, lo, hi):
        """Whole number in lo..hi inclusive."""
        return lo + self.next() % (hi - lo + 1)

    def real(self):
        return self.next() / 4294967296.0

    def chance(self, p):
        return self.real() < p


def hash2(x, y, seed):
    """Integer hash of a lattice point, 0..1 as float array."""
    x = np.asarray(x, dtype=np.int64)
    y = np.asarray(y, dtype=np.int64)
    h = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h = h ^ (h >> 16)
    return (h & 0xFFFF) / 65535.0


def value_noise(w, h, cell, seed, wrap_x=None, wrap_y=None):
    """Smooth value noise on a w x h grid; lattice spacing `cell` pixels.
    wrap_x / wrap_y: lattice period (in cells) so the noise tiles."""
    ys, xs = np.mgrid[0:h, 0:w]
    fx = xs / cell
    fy = ys / cell
    x0 = np.floor(fx).astype(np.int64)
    y0 = np.floor(fy).astype(np.int64)
    tx = fx - x0
    ty = fy - y0
    tx = tx * tx * (3 - 2 * tx)
    ty = ty * ty * (3 - 2 * ty)

    def lat(ix, iy):
        if wrap_x:
            ix = ix % wrap_x
        if wrap_y:
            iy = iy % wrap_y
        return hash2(ix, iy, seed)

    a = lat(x0, y0)
    b = lat(x0 + 1, y0)
    c = lat(x0, y0 + 1)
    d = lat(x0 + 1, y0 + 1)
    top = a + (b - a) * tx
    bot = c + (d - c) * tx
    return top + (bot - top) * ty


def fbm(w, h, cell, seed, octaves=3, wrap=False):
    total = np.zeros((h, w))
    amp = 1.0
    norm = 0.0
    for o in range(octaves):
        c = max(1, cell >> o)
        wx = (w // c) if wrap else None
        wy = (h // c) if wrap else None
        total += amp * value_noise(w, h, c, seed + o * 101, wx, wy)
        norm += amp
        amp *= 0.5
    return total / norm


class Sprite:
    """Colour array plus an opacity mask; the unit of every drawing."""

    def __init__(self, w, h):
        self.w = w
        self.h = h
        self.px = np.zeros((h, w, 3), dtype=np.uint8)
        self.mask = np.zeros((h, w), dtype=bool)

    @classmethod
    def from_ascii(cls, rows, palette):
        rows = [r for r in rows]
        h = len(rows)
        w = max(len(r) for r in rows)
        s = cls(w, h)
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch in palette:
                    s.put(x, y, palette[ch])
        return s

    def copy(self):
        s = Sprite(self.w, self.h)
        s.px = self.px.copy()
        s.mask = self.mask.copy()
        return s

    def inside(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def put(self, x, y, c):
        x = int(x)
        y = int(y)
        if self.inside(x, y):
            self.px[y, x] = c
            self.mask[y, x] = True

    def get(self, x, y):
        return tuple(int(v) for v in self.px[y, x])

    def rect(self, x, y, w, h, c):
        x0, y0 = max(0, int(x)), max(0, int(y))
        x1, y1 = min(self.w, int(x + w)), min(self.h, int(y + h))
        if x1 > x0 and y1 > y0:
            self.px[y0:y1, x0:x1] = c
            self.mask[y0:y1, x0:x1] = True

    def line(self, x0, y0, x1, y1, c, width=1):
        x0, y0, x1, y1 = (int(round(v)) for v in (x0, y0, x1, y1))
        dx = abs(x1 - x0)
        dy = -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            if width == 1:
                self.put(x0, y0, c)
            else:
                self.rect(x0 - (width - 1) // 2, y0 - (width - 1) // 2, width, width, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def ellipse(self, cx, cy, rx, ry, c):
        """Filled ellipse; centre and radii may be fractional."""
        ys, xs = np.mgrid[0:self.h, 0:self.w]
        if rx <= 0 or ry <= 0:
            return
        m = ((xs + 0.5 - cx) / rx) ** 2 + ((ys + 0.5 - cy) / ry) ** 2 <= 1.0
        self.px[m] = c
        self.mask |= m

    def disc(self, cx, cy, r, c):
        self.ellipse(cx, cy, r, r, c)

    def polygon(self, pts, c):
        ys, xs = np.mgrid[0:self.h, 0:self.w]
        px = xs + 0.5
        py = ys + 0.5
        inside = np.zeros((self.h, self.w), dtype=bool)
        n = len(pts)
        for i in range(n):
            xa, ya = pts[i]
            xb, yb = pts[(i + 1) % n]
            cond = (ya > py) != (yb > py)
            with np.errstate(divide='ignore', invalid='ignore'):
                xint = xa + (py - ya) * (xb - xa) / (yb - ya)
            inside ^= cond & (px < xint)
        self.px[inside] = c
        self.mask |= inside

    def paste(self, other, x, y):
        """Draw another sprite's opaque pixels at (x, y)."""
        for sy in range(other.h):
            ty = y + sy
            if not 0 <= ty < self.h:
                continue
            for sx in range(other.w):
                tx = x + sx
                if 0 <= tx < self.w and other.mask[sy, sx]:
                    self.px[ty, tx] = other.px[sy, sx]
                    self.mask[ty, tx] = True

    def flipped(self):
        s = Sprite(self.w, self.h)
        s.px = self.px[:, ::-1].copy()
        s.mask = self.mask[:, ::-1].copy()
        return s

    def vflipped(self):
        s = Sprite(self.w, self.h)
        s.px = self.px[::-1].copy()
        s.mask = self.mask[::-1].copy()
        return s

    def shifted(self, dx, dy):
        s = Sprite(self.w, self.h)
        s.paste(self, dx, dy)
        return s

    def outline(self, c, diagonal=False, keep=None):
        """Add a one-pixel border of colour c around the opaque pixels.
        keep(x, y) may refuse border pixels (e.g. at a seam between parts)."""
        m = self.mask
        grow = np.zeros_like(m)
        grow[1:, :] |= m[:-1, :]
        grow[:-1, :] |= m[1:, :]
        grow[:, 1:] |= m[:, :-1]
        grow[:, :-1] |= m[:, 1:]
        if diagonal:
            grow[1:, 1:] |= m[:-1, :-1]
            grow[:-1, :-1] |= m[1:, 1:]
            grow[1:, :-1] |= m[:-1, 1:]
            grow[:-1, 1:] |= m[1:, :-1]
        edge = grow & ~m
        if keep is not None:
            for y, x in zip(*np.nonzero(edge)):
                if not keep(x, y):
                    edge[y, x] = False
        self.px[edge] = c
        self.mask |= edge
        return self

    def recolour(self, mapping):
        s = self.copy()
        for src, dst in mapping.items():
            m = np.all(self.px == np.array(src, dtype=np.uint8), axis=2) & self.mask
            s.px[m] = dst
        return s

    def rotated(self, degrees, cx, cy):
        """Nearest-neighbour rotation about (cx, cy), same canvas size."""
        a = math.radians(degrees)
        ca, sa = math.cos(a), math.sin(a)
        s = Sprite(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                dx = x + 0.5 - cx
                dy = y + 0.5 - cy
                ux = ca * dx + sa * dy + cx
                uy = -sa * dx + ca * dy + cy
                ix, iy = int(math.floor(ux)), int(math.floor(uy))
                if 0 <= ix < self.w and 0 <= iy < self.h and self.mask[iy, ix]:
                    s.px[y, x] = self.px[iy, ix]
                    s.mask[y, x] = True
        return s


class Sheet:
    """An opaque image filled with a background (usually the colour key)."""

    def __init__(self, w, h, bg):
        self.w = w
        self.h = h
        self.px = np.zeros((h, w, 3), dtype=np.uint8)
        self.px[:, :] = bg

    def place(self, sprite, x, y):
        for sy in range(sprite.h):
            ty = y + sy
            if not 0 <= ty < self.h:
                continue
            row = sprite.mask[sy]
            for sx in np.nonzero(row)[0]:
                tx = x + int(sx)
                if 0 <= tx < self.w:
                    self.px[ty, tx] = sprite.px[sy, sx]

    def as_sprite(self):
        s = Sprite(self.w, self.h)
        s.px = self.px.copy()
        s.mask[:, :] = True
        return s


# --------------------------------------------------------------------------
# Writers

def _palette(px):
    flat = px.reshape(-1, 3)
    packed = (flat[:, 0].astype(np.uint32) << 16) | (flat[:, 1].astype(np.uint32) << 8) | flat[:, 2]
    colours, index = np.unique(packed, return_inverse=True)
    if len(colours) > 256:
        raise ValueError('image has %d colours, GIF allows 256' % len(colours))
    return colours, index.astype(np.int32)


def _lzw(indices, min_size):
    clear = 1 << min_size
    end = clear + 1
    out = bytearray()
    bitbuf = 0
    bitcount = 0
    size = min_size + 1

    def emit(code):
        nonlocal bitbuf, bitcount
        bitbuf |= code << bitcount
        bitcount += size
        while bitcount >= 8:
            out.append(bitbuf & 0xFF)
            bitbuf >>= 8
            bitcount -= 8

    table = {}
    next_code = end + 1
    emit(clear)
    prefix = None
    for k in indices:
        k = int(k)
        if prefix is None:
            prefix = k
            continue
        key = (prefix, k)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code - 1 == (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {}
            next_code = end + 1
            size = min_size + 1
        prefix = k
    if prefix is not None:
        emit(prefix)
    emit(end)
    if bitcount:
        out.append(bitbuf & 0xFF)
    return bytes(out)


def gif_bytes(px):
    """GIF87a with a global colour table, no transparency, no extensions."""
    h, w = px.shape[:2]
    colours, index = _palette(px)
    bits = 1
    while (1 << bits) < len(colours):
        bits += 1
    table = bytearray()
    for c in colours:
        c = int(c)
        table += bytes(((c >> 16) & 255, (c >> 8) & 255, c & 255))
    table += bytes(3 * ((1 << bits) - len(colours)))
    out = bytearray(b'GIF87a')
    out += struct.pack('<HHBBB', w, h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    out += table
    out += b','
    out += struct.pack('<HHHHB', 0, 0, w, h, 0)
    min_size = max(2, bits)
    out.append(min_size)
    data = _lzw(index, min_size)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    out += b';'
    return bytes(out)


def bmp_bytes(px):
    """Uncompressed 24-bit bottom-up BMP."""
    h, w = px.shape[:2]
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for y in range(h - 1, -1, -1):
        row = px[y][:, ::-1].astype(np.uint8).tobytes()  # RGB -> BGR
        body += row
        body += bytes(stride - w * 3)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)
