#!/usr/bin/python3
"""Writes a copy of a level source with the heroine moved next to a placed object.

Usage: shots_level.py SOURCE OUTPUT OBJECT[,OBJECT...] OFFSET

The heroine is put OFFSET pixels right of the leftmost placed object of the named types
(negative: to its left), standing on the first ground at or below 48 pixels above that
object, and the start camera is centred on her. tools/take_screenshots.sh uses it to begin
the demo level just before a tutorial marker or inside the boss arena, wherever the level
puts them.
"""

import sys

TILE = 16
SCREEN_W, SCREEN_H = 320, 240
GROUND_KINDS = set("2345")  # one-way platforms, solid tiles, slopes
HEADROOM_TILES = 2          # clear tiles the heroine (19 pixels tall) needs above the ground
LOOK_ABOVE = 48
# The heroine's placement is 8 pixels below the top of her 19-pixel body; she is put a few
# pixels above the ground and settles onto it.
FEET_BELOW_PLACEMENT = 11
DROP = 4


class Level:
    def __init__(self, lines):
        self.lines = lines
        self.kinds = []
        self.legend = {'.': '0'}
        self.layers = {}
        self.columns = self.rows = self.active = 0
        layer = None
        kind_rows = 0
        for line in lines:
            words = [] if line.startswith('|') else line.split('#', 1)[0].split()
            if kind_rows and words:
                self.kinds.append(line.strip())
                kind_rows -= 1
            elif line.startswith('|') and layer is not None:
                self.layers[layer].append(line.strip()[1:-1])
            elif words[:1] == ['size']:
                self.columns, self.rows = int(words[1]), int(words[2])
            elif words[:1] == ['active']:
                self.active = int(words[1])
            elif words[:1] == ['kinds']:
                kind_rows = 16
            elif words[:1] == ['tile']:
                column, row = int(words[2]), int(words[3])
                self.legend[words[1]] = self.kinds[row][column]
            elif words[:1] == ['layer']:
                layer = int(words[1])
                self.layers[layer] = []

    def kind(self, column, row):
        if not (0 <= column < self.columns and 0 <= row < self.rows):
            return '0'
        return self.legend.get(self.layers[self.active][row][column], '0')

    def ground_below(self, x, y):
        """The top of the first ground tile with headroom above it, at or below y."""
        column = x // TILE
        for row in range(max(y // TILE, HEADROOM_TILES), self.rows):
            clear = all(self.kind(column, r) not in GROUND_KINDS for r in range(row - HEADROOM_TILES, row))
            if self.kind(column, row) in GROUND_KINDS and clear:
                return row * TILE
        sys.exit("no ground below (%d, %d)" % (x, y))

    def objects(self, names):
        for line in self.lines:
            words = line.split('#', 1)[0].split()
            if words[:1] == ['object'] and words[1] in names:
                yield int(words[2]), int(words[3])


def main():
    source, output, names, offset = sys.argv[1], sys.argv[2], sys.argv[3].split(','), int(sys.argv[4])
    with open(source) as f:
        lines = f.read().split('\n')
    level = Level(lines)
    placed = sorted(level.objects(names))
    if not placed:
        sys.exit("%s places no %s" % (source, " or ".join(names)))
    x = placed[0][0] + offset
    y = level.ground_below(x, placed[0][1] - LOOK_ABOVE) - FEET_BELOW_PLACEMENT - DROP
    camera_x = min(max(x - SCREEN_W // 2, 0), level.columns * TILE - SCREEN_W)
    camera_y = min(max(y - SCREEN_H // 2, 0), level.rows * TILE - SCREEN_H)
    for i, line in enumerate(lines):
        words = line.split()
        if words[:1] == ['start']:
            lines[i] = "start %d %d" % (camera_x, camera_y)
        elif words[:2] == ['object', 'Dahlia']:
            lines[i] = "object Dahlia %d %d" % (x, y)
    with open(output, 'w') as f:
        f.write('\n'.join(lines))


if __name__ == '__main__':
    main()
