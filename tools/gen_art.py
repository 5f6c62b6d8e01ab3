#!/usr/bin/python3
"""Writes every image the game loads into resource/ (or a given folder).

Usage: tools/gen_art.py [output-dir]

The output is the same byte for byte on every run: all randomness comes from
fixed seeds and the GIF/BMP encoders are our own.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from art import canvas, creatures, effects, fonts, heroine, tiles, ui, world  # noqa: E402

MODULES = [fonts, tiles, heroine, creatures, effects, world, ui]


def write(outdir, name, sheet):
    path = os.path.join(outdir, name)
    if name.endswith('.bmp'):
        data = canvas.bmp_bytes(sheet.px)
    else:
        data = canvas.gif_bytes(sheet.px)
    with open(path, 'wb') as f:
        f.write(data)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = argv[1] if len(argv) > 1 else os.path.join(here, '..', 'resource')
    os.makedirs(outdir, exist_ok=True)
    count = 0
    for module in MODULES:
        for name, sheet in sorted(module.build().items()):
            write(outdir, name, sheet)
            count += 1
    print('wrote %d images to %s' % (count, os.path.normpath(outdir)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
