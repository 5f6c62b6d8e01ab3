"""Writes Impulse Tracker 2.14 modules (".it"): header, order list, instruments with
volume envelopes, 16-bit samples and packed patterns.

The file is laid out as: the 192-byte header, the order list, the offset tables of
instruments, samples and patterns, then the instruments, the sample headers, the
patterns and finally the sample bodies. Nothing in it depends on the clock, so the
same module object always gives the same bytes.
"""

import struct

import numpy as np

NOTE_OFF = 255
NOTE_CUT = 254

# Effect letters as the format numbers them (A = 1).
EFFECTS = {letter: i + 1 for i, letter in enumerate("ABCDEFGHIJKLMNOPQRSTUVWXYZ")}

NOTE_NAMES = {"C": 0, "C#": 1, "D": 2, "D#": 3, "E": 4, "F": 5, "F#": 6, "G": 7, "G#": 8, "A": 9, "A#": 10, "B": 11,
              "Db": 1, "Eb": 3, "Gb": 6, "Ab": 8, "Bb": 10}


def note(name):
    """'C5' is middle C (note 60); sharps as 'F#3', flats as 'Bb2'."""
    return NOTE_NAMES[name[:-1]] + 12 * int(name[-1])


def _text(s, size):
    raw = s.encode("ascii")[:size - 1]
    return raw + b"\0" * (size - len(raw))


class Sample:
    """A mono sample. data: float array in -1..1. loop: (start, end) in samples or None.

    c5speed is the playback rate at which note C-5 sounds; a sample recorded at
    the mixing rate with its pitch at C-5 uses that rate."""

    def __init__(self, name, data, c5speed, loop=None, volume=64, global_volume=64):
        self.name = name
        self.pcm = np.clip(np.round(np.asarray(data, dtype=np.float64) * 32767.0), -32767, 32767).astype("<i2")
        self.c5speed = int(round(c5speed))
        self.loop = loop
        self.volume = volume
        self.global_volume = global_volume

    def header(self, data_offset):
        flags = 0x01 | 0x02  # has a body, 16-bit
        loop_start = loop_end = 0
        if self.loop is not None:
            flags |= 0x10
            loop_start, loop_end = self.loop
        return (b"IMPS" + _text(self.name[:12], 13)[:12] + bytes([0, self.global_volume, flags, self.volume])
                + _text(self.name, 26) + bytes([0x01, 0x20])  # signed samples; default pan not used
                + struct.pack("<IIIIIII", len(self.pcm), loop_start, loop_end, self.c5speed, 0, 0, data_offset)
                + bytes([0, 0, 0, 0]))


class Envelope:
    """A volume envelope: points (tick, value 0..64); sustain holds a point until note off."""

    def __init__(self, points, sustain=None, loop=None):
        if not 1 <= len(points) <= 25:
            raise ValueError("an envelope has 1 to 25 points")
        self.points = points
        self.sustain = sustain
        self.loop = loop

    def encode(self):
        flags = 0x01
        loop_start = loop_end = sus = 0
        if self.loop is not None:
            flags |= 0x02
            loop_start, loop_end = self.loop
        if self.sustain is not None:
            flags |= 0x04
            sus = self.sustain
        body = bytes([flags, len(self.points), loop_start, loop_end, sus, sus])
        nodes = b"".join(struct.pack("<bH", value, tick) for tick, value in self.points)
        nodes += b"\0" * (75 - len(nodes))
        return body + nodes + b"\0"


def _empty_envelope():
    return bytes(6) + b"\0" * 75 + b"\0"


# New-note actions.
NNA_CUT, NNA_CONTINUE, NNA_OFF, NNA_FADE = 0, 1, 2, 3


class Instrument:
    """Samples spread over the keyboard, with an optional volume envelope.

    sample_number is one sample for every note, or a list of (lowest note, sample)
    splits in rising order, so each range of notes can have its own recording."""

    def __init__(self, name, sample_number, envelope=None, fadeout=0, nna=NNA_CUT, global_volume=128):
        self.name = name
        self.splits = sample_number if isinstance(sample_number, list) else [(0, sample_number)]
        self.envelope = envelope
        self.fadeout = fadeout
        self.nna = nna
        self.global_volume = global_volume

    def encode(self):
        head = (b"IMPI" + _text(self.name[:12], 13)[:12] + bytes([0, self.nna, 0, 0])
                + struct.pack("<H", self.fadeout) + bytes([0, 60, self.global_volume, 32 | 0x80, 0, 0])
                + struct.pack("<H", 0x0214) + bytes([len(self.splits), 0]) + _text(self.name, 26)
                + bytes([0, 0, 0, 0]) + struct.pack("<H", 0))
        keyboard = b"".join(bytes([n, self.sample_for(n)]) for n in range(120))
        volume = self.envelope.encode() if self.envelope else _empty_envelope()
        block = head + keyboard + volume + _empty_envelope() + _empty_envelope() + bytes(4)
        assert len(block) == 554
        return block

    def sample_for(self, n):
        chosen = self.splits[0][1]
        for lowest, number in self.splits:
            if n >= lowest:
                chosen = number
        return chosen


class Pattern:
    """Rows of cells; a cell holds a note, an instrument, a volume and one effect, each optional."""

    def __init__(self, rows=64):
        if not 32 <= rows <= 200:
            raise ValueError("a pattern has 32 to 200 rows")
        self.rows = rows
        self.cells = {}

    def put(self, row, channel, note=None, instrument=None, volume=None, effect=None):
        """effect: (letter, value), e.g. ('J', 0x37)."""
        if not 0 <= row < self.rows:
            return
        cell = self.cells.setdefault((row, channel), [None, None, None, None])
        if note is not None:
            cell[0] = note
        if instrument is not None:
            cell[1] = instrument
        if volume is not None:
            cell[2] = volume
        if effect is not None:
            cell[3] = effect

    def encode(self):
        packed = bytearray()
        for row in range(self.rows):
            for channel in sorted(ch for (r, ch) in self.cells if r == row):
                n, ins, vol, fx = self.cells[(row, channel)]
                mask = (1 if n is not None else 0) | (2 if ins is not None else 0) \
                    | (4 if vol is not None else 0) | (8 if fx is not None else 0)
                if mask == 0:
                    continue
                packed.append((channel + 1) | 0x80)
                packed.append(mask)
                if n is not None:
                    packed.append(n)
                if ins is not None:
                    packed.append(ins)
                if vol is not None:
                    packed.append(vol)
                if fx is not None:
                    packed.append(EFFECTS[fx[0]])
                    packed.append(fx[1])
            packed.append(0)
        return struct.pack("<HH4x", len(packed), self.rows) + bytes(packed)


class Module:
    def __init__(self, name, speed, tempo, global_volume=128, mix_volume=48, separation=128):
        self.name = name
        self.speed = speed
        self.tempo = tempo
        self.global_volume = global_volume
        self.mix_volume = mix_volume
        self.separation = separation
        self.samples = []
        self.instruments = []
        self.patterns = []
        self.orders = []
        self.channel_pan = {}
        self.channel_volume = {}

    def add_sample(self, sample):
        self.samples.append(sample)
        return len(self.samples)

    def add_instrument(self, instrument):
        self.instruments.append(instrument)
        return len(self.instruments)

    def add_pattern(self, pattern):
        self.patterns.append(pattern)
        return len(self.patterns) - 1

    def set_channel(self, channel, pan=32, volume=64):
        self.channel_pan[channel] = pan
        self.channel_volume[channel] = volume

    def duration(self):
        """Seconds the order list plays before it starts over, with the speed and tempo unchanged."""
        rows = sum(self.patterns[p].rows for p in self.orders)
        return rows * self.speed * 2.5 / self.tempo

    def encode(self):
        orders = bytes(self.orders) + bytes([255])
        used = max(list(self.channel_pan) + [ch for p in self.patterns for (_, ch) in p.cells]) + 1
        pans = bytes(self.channel_pan.get(ch, 32) if ch < used else 32 | 0x80 for ch in range(64))
        volumes = bytes(self.channel_volume.get(ch, 64) for ch in range(64))
        flags = 0x01 | 0x04 | 0x08  # stereo, instruments, linear slides
        header = (b"IMPM" + _text(self.name, 26) + bytes([4, 16])
                  + struct.pack("<HHHHHHHH", len(orders), len(self.instruments), len(self.samples),
                                len(self.patterns), 0x0214, 0x0214, flags, 0)
                  + bytes([self.global_volume, self.mix_volume, self.speed, self.tempo, self.separation, 0])
                  + struct.pack("<HII", 0, 0, 0) + pans + volumes)
        assert len(header) == 0xC0

        tables_size = len(orders) + 4 * (len(self.instruments) + len(self.samples) + len(self.patterns))
        offset = 0xC0 + tables_size
        instrument_blocks = [ins.encode() for ins in self.instruments]
        instrument_offsets = []
        for block in instrument_blocks:
            instrument_offsets.append(offset)
            offset += len(block)
        sample_header_offsets = []
        for _ in self.samples:
            sample_header_offsets.append(offset)
            offset += 0x50
        pattern_blocks = [p.encode() for p in self.patterns]
        pattern_offsets = []
        for block in pattern_blocks:
            pattern_offsets.append(offset)
            offset += len(block)
        sample_headers = []
        sample_bodies = []
        for s in self.samples:
            sample_headers.append(s.header(offset))
            body = s.pcm.tobytes()
            sample_bodies.append(body)
            offset += len(body)

        table = struct.pack("<%dI" % (len(instrument_offsets) + len(sample_header_offsets) + len(pattern_offsets)),
                            *(instrument_offsets + sample_header_offsets + pattern_offsets))
        return b"".join([header, orders, table] + instrument_blocks + sample_headers + pattern_blocks + sample_bodies)
