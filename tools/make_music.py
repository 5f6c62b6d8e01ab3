#!/usr/bin/python3
"""Composes the game's four music modules and writes them as .it files.

Usage: make_music.py [output directory]   (default: the repository's resource/)

  chip.it    the level: bright chiptune in A minor, 140 BPM
  dnb.it     the title screen: liquid drum and bass in D minor, 172 BPM
  acid.it    the boss fight: acid techno in E phrygian, 138 BPM
  ending.it  the credits: a warm, slow theme in C major, 90 BPM

Each song is written on one long timeline of 16th-note rows (16 to a bar), then
cut into 64-row patterns played once each in order; identical patterns are
stored once. A song ends by starting over from its first pattern.

Melodies are written as text: "A5/4" is the note A-5 held 4 rows, "-/4" a rest
(the note before is released), "=/2" holds the note before 2 rows longer, a
trailing "!" accents a note and a trailing "~" slides into it from the note
before. "|" marks bars for the reader and is skipped.
"""

import os
import sys

import music_samples as ms
from itwriter import NNA_CUT, NNA_OFF, NOTE_OFF, Envelope, Instrument, Module, Pattern, note

ROWS_PER_BAR = 16
ROWS_PER_PATTERN = 64

NATURAL_MINOR = [0, 2, 3, 5, 7, 8, 10]
MAJOR = [0, 2, 4, 5, 7, 9, 11]


class Song:
    def __init__(self, name, speed, tempo, bars, gain=1.0):
        # The player sets the global volume itself, so a song's loudness is set
        # through the global volume of each of its samples.
        self.module = Module(name, speed, tempo)
        self.sample_volume = int(round(64 * gain))
        self.rows = bars * ROWS_PER_BAR
        self.cells = {}

    def instrument(self, sample, envelope=None, fadeout=0, nna=NNA_CUT, global_volume=128):
        """sample: one Sample, or (lowest note, Sample) splits from ms.cycle_set."""
        for s in [pair[1] for pair in sample] if isinstance(sample, list) else [sample]:
            s.global_volume = self.sample_volume
        if isinstance(sample, list):
            name = sample[0][1].name.rsplit(" ", 1)[0]
            number = [(lowest, self.module.add_sample(s)) for lowest, s in sample]
        else:
            name = sample.name
            number = self.module.add_sample(sample)
        return self.module.add_instrument(Instrument(name, number, envelope, fadeout, nna, global_volume))

    def channel(self, ch, pan=32):
        # Levels are set per note, not per channel: the player ignores channel volumes.
        self.module.set_channel(ch, pan)

    def put(self, row, ch, note_value=None, ins=None, vol=None, fx=None):
        if not 0 <= row < self.rows:
            return
        cell = self.cells.setdefault((row, ch), [None, None, None, None])
        for i, value in enumerate((note_value, ins, vol, fx)):
            if value is not None:
                cell[i] = value

    def line(self, ch, row, text, ins, vol=48, accent=64, transpose=0, release=True, slide_speed=0x30):
        """Writes a melody (see the module text) from `row`; returns the row after it."""
        previous = None
        for token in text.split():
            if token == "|":
                continue
            pitch, length = token.rstrip("!~").split("/")
            length = int(length)
            if pitch == "-":
                if previous is not None:
                    self.put(row, ch, NOTE_OFF)
                previous = None
            elif pitch != "=":
                value = note(pitch) + transpose
                volume = accent if token.endswith("!") else vol
                if token.endswith("~") and previous is not None:
                    self.put(row, ch, value, None, volume, ("G", slide_speed))
                else:
                    self.put(row, ch, value, ins, volume)
                previous = value
            row += length
        if release and previous is not None:
            self.put(row, ch, NOTE_OFF)
        return row

    def hits(self, ch, row, grid, ins, pitch="C5", vols=None):
        """A drum part: one character a row, 'X' accent, 'x' normal, 'o' ghost, '.' nothing."""
        levels = vols or {"X": 64, "x": 50, "o": 26}
        for i, mark in enumerate(grid.replace(" ", "")):
            if mark in levels:
                self.put(row + i, ch, note(pitch), ins, levels[mark])

    def chord(self, channels, row, length, pitches, ins, vol=40, release=True):
        for ch, pitch in zip(channels, pitches):
            self.put(row, ch, note(pitch), ins, vol)
            if release:
                self.put(row + length, ch, NOTE_OFF)

    def held_chords(self, channels, row, chords, ins, vol=40):
        """Sustained chords, one voice a channel: chords is a list of (rows, voicing).
        A voice that keeps its note from one chord to the next is held, not struck again."""
        for voice, ch in enumerate(channels):
            start, held = row, None
            for length, voicing in chords:
                pitch = voicing[voice]
                if pitch != held:
                    if held is not None:
                        self.put(start - 1, ch, NOTE_OFF)
                    self.put(start, ch, note(pitch), ins, vol)
                    held = pitch
                start += length
            self.put(start - 1, ch, NOTE_OFF)

    def build(self):
        encoded = {}
        for start in range(0, self.rows, ROWS_PER_PATTERN):
            pattern = Pattern(ROWS_PER_PATTERN)
            for (row, ch), (n, ins, vol, fx) in self.cells.items():
                if start <= row < start + ROWS_PER_PATTERN:
                    pattern.put(row - start, ch, n, ins, vol, fx)
            key = pattern.encode()
            if key not in encoded:
                encoded[key] = self.module.add_pattern(pattern)
            self.module.orders.append(encoded[key])
        return self.module


def shift_in_scale(pitch, steps, tonic, scale):
    """Moves a note name by whole steps of a scale (for parallel harmony lines)."""
    value = note(pitch) - note(tonic)
    octave, degree = divmod(value, 12)
    if degree not in scale:
        degree -= 1  # a raised note (such as a leading tone) harmonizes like its plain neighbour
    index = scale.index(degree) + steps
    octave += index // len(scale)
    return note(tonic) + 12 * octave + scale[index % len(scale)]


def harmony(text, steps, tonic, scale):
    names = {v: k for k, v in {n + str(o): note(n + str(o)) for n in
                               ("C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B")
                               for o in range(1, 9)}.items()}
    out = []
    for token in text.split():
        if token == "|" or token[0] in "-=":
            out.append(token)
            continue
        pitch, rest = token.split("/")
        out.append(names[shift_in_scale(pitch, steps, tonic, scale)] + "/" + rest)
    return " ".join(out)


def sustain_envelope(attack, level, release, peak=64):
    """Rise to peak in `attack` ticks, settle to `level`, hold until note off, fall in `release` ticks."""
    return Envelope([(0, 0 if attack else peak), (max(attack, 1), peak), (attack + 6, level),
                     (attack + 6 + release, 0)], sustain=2)


def decay_envelope(ticks, end=0):
    return Envelope([(0, 64), (ticks // 4, 40), (ticks, end)])


# --- Level: chiptune ------------------------------------------------------------

CHIP_PROGRESSION = (["Am", "F", "C", "G"] * 3 + ["Dm", "Am", "E", "E", "F", "G", "Am", "Am"]
                    + ["F", "G", "Em", "Am"] + ["Am", "F", "C", "G", "Am", "F", "C", "E"])

CHIP_CHORDS = {"Am": ("A3", 3), "F": ("F3", 4), "C": ("C4", 4), "G": ("G3", 4), "Dm": ("D4", 3), "E": ("E3", 4),
               "Em": ("E3", 3)}

CHIP_THEME = ("A4/2 C5/2 E5/4 D5/2 C5/2 E5/4 | F5/4 E5/2 C5/2 A4/4 C5/4 | G5/4 E5/2 G5/2 C6/4 B5/2 G5/2 "
              "| B5/6 A5/2 G5/4 D5/4 | A5/4 G5/2 E5/2 A5/2 B5/2 C6/4 | C6/2 B5/2 A5/4 F5/4 A5/4 "
              "| G5/2 E5/2 C5/4 E5/2 G5/2 C6/4 | B5/8 D6/4 B5/4")
CHIP_BRIDGE = ("F5/4 A5/4 D6/6 C6/2 | C6/4 B5/2 A5/2 E5/8 | G#5/4 B5/4 E6/4 D6/2 B5/2 | G#5/8 E5/4 B4/4 "
               "| A5/4 C6/4 F6/4 E6/2 C6/2 | D6/4 B5/4 G5/4 B5/2 D6/2 | C6/4 B5/2 A5/2 E5/4 A5/4 | A5/12 -/4")
CHIP_BREAKDOWN = "A5/8 C6/8 | B5/8 D6/8 | G5/8 B5/4 E6/4 | A5/12 -/4"


def chip_song():
    song = Song("Warden - Level", 6, 140, len(CHIP_PROGRESSION))
    lead_env = Envelope([(0, 64), (4, 52), (14, 44), (22, 0)], sustain=2)
    lead = song.instrument(ms.cycle_set("pulse 25%", ms.pulse(0.25)), lead_env, fadeout=256)
    arp = song.instrument(ms.cycle_set("pulse 12%", ms.pulse(0.125)), Envelope([(0, 64), (5, 36), (18, 22)]))
    harm = song.instrument(ms.cycle_set("pulse 50%", ms.pulse(0.5)), lead_env, fadeout=256)
    bass = song.instrument(ms.cycle_set("triangle", ms.stepped_triangle),
                           Envelope([(0, 64), (3, 60), (5, 0)], sustain=1))
    kick = song.instrument(ms.drum("chip kick", ms.chip_kick()))
    snare = song.instrument(ms.drum("chip snare", ms.chip_snare()))
    hat = song.instrument(ms.drum("chip hat", ms.chip_hat()))
    for ch, pan in enumerate((32, 20, 44, 32, 32, 30, 36)):
        song.channel(ch, pan)
    song.channel(1, 18)  # the lead's echo, to one side

    for bar, name in enumerate(CHIP_PROGRESSION):
        row = bar * ROWS_PER_BAR
        root, third = CHIP_CHORDS[name]
        in_breakdown = 20 <= bar < 24
        # Bass: octave-bouncing eighths; the last one walks to the next chord.
        for step in range(8):
            pitch = note(root) - 12 + (12 if step % 2 else 0)
            if in_breakdown and step % 2:
                continue
            song.put(row + 2 * step, 3, pitch, bass, 56 if step % 2 == 0 else 44)
            song.put(row + 2 * step + 1, 3, NOTE_OFF)
        # Arpeggio chords (the final section trades them for a harmony line).
        if bar < 24:
            for step in range(ROWS_PER_BAR):
                song.put(row + step, 2, None, None, None, ("J", third * 16 + 7))
            for step in (0, 3, 6, 8, 11, 14) if not in_breakdown else (0, 8):
                song.put(row + step, 2, note(root) + 12, arp, 30)
        elif bar == 24:
            song.put(row, 2, NOTE_OFF)
        # Drums.
        last_of_phrase = bar % 4 == 3
        if in_breakdown:
            song.hits(4, row, "x...............", kick)
            song.hits(5, row, "........x.......", snare)
            song.hits(6, row, "..o...o...o...o.", hat)
        elif bar >= 4:
            song.hits(4, row, "x.....x.x.....x." if not last_of_phrase else "x.....x.x.x.....", kick)
            song.hits(5, row, "....x.......x..." if not last_of_phrase else "....x.....x.xxXX", snare)
            song.hits(6, row, "xoxoxoxoxoxoxoxo", hat)
        else:
            song.hits(4, row, "x.......x.......", kick)
            song.hits(6, row, "..x...x...x...x." if bar >= 2 else "..o.......o.....", hat)

    def lead_with_echo(row, text):
        song.line(0, row, text, lead, 50)
        song.line(1, row + 3, text, lead, 22)

    bar = ROWS_PER_BAR
    lead_with_echo(4 * bar, CHIP_THEME)
    lead_with_echo(12 * bar, CHIP_BRIDGE)
    lead_with_echo(20 * bar, CHIP_BREAKDOWN)
    lead_with_echo(24 * bar, CHIP_THEME)
    song.line(2, 24 * bar, harmony(CHIP_THEME, -2, "A3", NATURAL_MINOR), harm, 30)
    return song.build()


# --- Title: drum and bass ---------------------------------------------------------

DNB_CHORDS = [  # (bass root, pad voicing)
    ("D3", ("E4", "F4", "A4", "C5")),     # Dm9
    ("A#2", ("D4", "F4", "A4", "A#4")),   # Bbmaj7
    ("F3", ("E4", "F4", "A4", "C5")),     # Fmaj7
    ("E3", ("E4", "G4", "C5", "D5")),     # C/E, add9
    ("G2", ("F4", "A4", "A#4", "D5")),    # Gm9
    ("A#2", ("F4", "A4", "A#4", "D5")),   # Bbmaj7
    ("A2", ("E4", "G4", "A4", "D5")),     # A7sus4
    ("A2", ("E4", "G4", "A4", "C#5")),    # A7
]

DNB_THEME = ("D6/6 C6/2 A5/8 | F5/4 A5/4 C6/4 D6/4 | E6/6 C6/2 A5/4 G5/4 | G5/8 -/4 E5/2 G5/2 "
             "| A5/6 A#5/2 D6/8 | C6/4 D6/4 F6/6 D6/2 | E6/8 D6/4 A5/4 | C#6/8 E6/4 -/4")
DNB_ANSWER = ("A5/3 D6/3 F6/2 E6/4 D6/4 | D6/8 C6/4 A5/4 | C6/3 E6/3 G6/2 F6/4 E6/4 | E6/8 D6/4 C6/4 "
              "| D6/3 F6/3 A6/2 G6/4 F6/4 | F6/8 D6/4 A#5/4 | A5/8 E6/4 D6/4 | C#6/12 -/4")


def dnb_song():
    song = Song("Warden - Title", 6, 172, 40, gain=0.55)
    kick = song.instrument(ms.drum("kick", ms.kick(0.35, 150.0, 48.0, 0.7, 1.8)))
    snare = song.instrument(ms.drum("snare", ms.snare(0.3, 200.0, 321, 1.0)))
    hat = song.instrument(ms.drum("hat", ms.hat(0.045, 341)))
    shaker = song.instrument(ms.drum("shaker", ms.shaker(351)))
    crash = song.instrument(ms.drum("crash", ms.crash(371, 1.6), peak=0.6))
    reese = song.instrument(ms.reese_sample("reese"), sustain_envelope(0, 56, 4), fadeout=512)
    sub = song.instrument(ms.sine_sample("sub", 84, ((1, 1.0), (2, 0.1))), sustain_envelope(0, 64, 3), fadeout=512)
    pad = song.instrument(ms.pad_sample("pad", 10, 1.4), sustain_envelope(18, 52, 30), fadeout=128, nna=NNA_OFF)
    bell = song.instrument(ms.bell_sample("bell", 3.5, 2.0, 1.6, 10.0), decay_envelope(90, 0), nna=NNA_OFF)
    keys = song.instrument(ms.electric_piano_sample("e-piano"), Envelope([(0, 64), (40, 40), (120, 0)]),
                           nna=NNA_OFF)
    for ch, pan in enumerate((32, 32, 40, 24, 32, 32, 18, 26, 38, 46, 32, 48, 32, 22, 44)):
        song.channel(ch, pan)
    song.channel(11, 16)  # echo of the lead
    song.channel(14, 50)  # echo of the bell arpeggios

    bar = ROWS_PER_BAR
    for b in range(40):
        row = b * bar
        root, voicing = DNB_CHORDS[b % 8]
        section = b // 8  # 0 intro, 1 groove, 2 theme, 3 half-time, 4 full
        # Drums.
        fill = b % 4 == 3
        if section in (1, 2, 4):
            song.hits(0, row, "X.........X....." if not fill else "X.........X.X...", kick)
            song.hits(1, row, "....X..o....X..o" if not fill else "....X..o....X.xX", snare)
            song.hits(2, row, "x.x.x.x.x.x.x.x.", hat, vols={"x": 48})
            song.hits(3, row, "oxoxoxoxoxoxoxox", shaker, vols={"x": 36, "o": 18})
        elif section == 3:
            song.hits(0, row, "X...............", kick)
            song.hits(1, row, "........X.......", snare)
            song.hits(2, row, "..x...x...x...x.", hat, vols={"x": 44})
        elif b >= 4:
            song.hits(2, row, "..o...o...o...o.", hat)
        if b % 8 == 0 and section in (1, 2, 4):
            song.put(row, 12, note("C5"), crash, 40)
        # Bass: a rolling reese in the groove sections, a plain sub in the half-time.
        if section in (1, 2, 4):
            r = note(root)
            song.put(row, 4, r, reese, 56)
            song.put(row + 8, 4, NOTE_OFF)
            song.put(row + 10, 4, r, reese, 50)
            song.put(row + 13, 4, NOTE_OFF)
            song.put(row + 14, 4, r + 12, reese, 44)
            song.put(row + 16 - 1, 4, NOTE_OFF)
            song.put(row, 5, r, sub, 40)
            song.put(row + 8, 5, NOTE_OFF)
            song.put(row + 10, 5, r, sub, 36)
            song.put(row + 15, 5, NOTE_OFF)
        elif section == 3:
            song.put(row, 5, note(root), sub, 44)
            song.put(row + 14, 5, NOTE_OFF)
        # Dotted bell arpeggios over the chord: the intro, the half-time and the finale.
        if section in (0, 3, 4):
            tones = voicing[1:] if section != 3 else voicing[:3]
            level = 36 if section == 0 else 24
            for step, pick in ((0, 0), (3, 1), (6, 2), (10, 1)):
                song.put(row + step, 13, note(tones[pick]) + 12, bell, level)
                song.put(row + step + 3, 14, note(tones[pick]) + 12, bell, level // 2)

    for section in range(5):
        chords = [(bar, voicing) for _, voicing in DNB_CHORDS]
        song.held_chords((6, 7, 8, 9), section * 8 * bar, chords, pad, 26 if section == 1 else 34)
    song.line(10, 16 * bar, DNB_THEME, keys, 46)
    song.line(11, 16 * bar + 3, DNB_THEME, keys, 20)
    song.line(10, 24 * bar, DNB_ANSWER, bell, 40)
    song.line(10, 32 * bar, DNB_THEME, keys, 46)
    song.line(11, 32 * bar + 3, DNB_THEME, keys, 20)
    return song.build()


# --- Boss fight: acid techno ---------------------------------------------------------

ACID_RIFF_A = "E3/1! E3/1 E4/1~ E3/1 G3/1 E3/1 E4/1! F3/1~ E3/1 -/1 D4/1 E3/1 A3/1! E3/1~ G4/1 E3/1"
ACID_RIFF_B = "E3/1! -/1 E3/1 G3/1~ A3/1 -/1 E4/1! E3/1 B3/1~ A3/1 G3/1 E3/1! F3/1 F4/1~ E4/1 D4/1"
ACID_ROOTS = [0, 0, 1, -2]  # E, E, F, D: the half-step climb gives the phrygian menace


def acid_song():
    song = Song("Warden - Boss", 6, 138, 32, gain=0.85)
    kick = song.instrument(ms.drum("909 kick", ms.kick(0.45, 170.0, 42.0, 0.9, 2.2)))
    clap = song.instrument(ms.drum("clap", ms.clap(331)))
    hat = song.instrument(ms.drum("closed hat", ms.hat(0.05, 341)))
    open_hat = song.instrument(ms.drum("open hat", ms.hat(0.3, 345, 9.0)))
    crash = song.instrument(ms.drum("crash", ms.crash(371, 1.8), peak=0.6))
    riser = song.instrument(ms.drum("riser", ms.riser(381, 2.2), peak=0.6))
    acid = [song.instrument(ms.acid_sample(name, start, end, res, drive), sustain_envelope(0, 64, 2), fadeout=1024)
            for name, start, end, res, drive in (("acid closed", 700.0, 260.0, 0.82, 2.0),
                                                 ("acid half", 1600.0, 420.0, 0.88, 2.2),
                                                 ("acid open", 3200.0, 700.0, 0.92, 2.6),
                                                 ("acid scream", 3600.0, 1300.0, 0.95, 3.2))]
    stab = song.instrument(ms.stab_sample("minor stab"), decay_envelope(30, 0))
    siren = song.instrument(ms.cycle_set("saw lead", lambda ph: 2.0 * ph - 1.0),
                            sustain_envelope(4, 52, 10), fadeout=256)
    for ch, pan in enumerate((32, 32, 40, 22, 32, 42, 32, 24, 32, 40)):
        song.channel(ch, pan)
    song.channel(8, 50)  # the siren's echo

    bar = ROWS_PER_BAR
    # Which acid sound each 4-bar block uses: the filter opens as the fight goes on.
    acid_shape = [0, 1, 1, 2, 2, 3, 3, 1]
    for b in range(32):
        row = b * bar
        block = b // 4
        shift = ACID_ROOTS[b % 4]
        fill = b % 4 == 3
        breakdown = block == 4
        if not breakdown:
            song.hits(0, row, "X...x...X...x..." if not (fill and block in (3, 7)) else "X...x...X.x.xxxx", kick)
        if block >= 1 and not breakdown:
            song.hits(1, row, "....x.......x..." if not fill else "....x.......x.xx", clap)
        song.hits(2, row, "x.o.x.o.x.o.x.o." if block == 0 else "oxoxoxoxoxoxoxox", hat, vols={"x": 48, "o": 24})
        if block >= 2:
            song.hits(3, row, "..x...x...x...x.", open_hat, vols={"x": 40})
        riff = ACID_RIFF_A if b % 2 == 0 else ACID_RIFF_B
        song.line(4, row, riff, acid[acid_shape[block]], 46, 64, transpose=shift, release=False, slide_speed=0x60)
        if block >= 2 and block != 7:
            for step in (2, 5, 10, 13):
                song.put(row + step, 5, note("E4") + shift, stab, 34)
        if b % 4 == 0 and block in (1, 2, 5, 6):
            song.put(row, 6, note("C5"), crash, 40)
        if b in (14, 18):
            song.put(row, 7, note("C5"), riser, 48)

    siren_line = "B5/16 | C6/16 | B5/8 A5/8 | A5/8 F#5/8 | E6/12 D6/4 | F6/16 | E6/8 D6/8 | D6/8 A5/8"
    song.line(9, 16 * bar, siren_line, siren, 40)
    song.line(8, 16 * bar + 3, siren_line, siren, 16)
    song.line(9, 20 * bar, siren_line, siren, 44)
    song.line(8, 20 * bar + 3, siren_line, siren, 18)
    return song.build()


# --- Credits: the ending theme -------------------------------------------------------------

ENDING_CHORDS = [  # (bass, pad voicing, broken-chord tones)
    ("C3", ("E4", "G4", "C5"), ("C4", "G4", "C5", "E5")),
    ("B2", ("D4", "G4", "B4"), ("B3", "G4", "B4", "D5")),
    ("A2", ("E4", "A4", "C5"), ("A3", "E4", "A4", "C5")),
    ("F2", ("F4", "A4", "C5"), ("F3", "C4", "F4", "A4")),
    ("G2", ("E4", "G4", "C5"), ("G3", "E4", "G4", "C5")),
    ("F2", ("F4", "A4", "C5"), ("F3", "C4", "F4", "A4")),
    ("D3", ("F4", "A4", "C5"), ("D4", "A4", "C5", "F5")),
    ("G2", ("F4", "G4", "B4"), ("G3", "D4", "G4", "B4")),
    ("F2", ("E4", "A4", "C5"), ("F3", "C4", "E4", "A4")),
    ("G2", ("D4", "G4", "B4"), ("G3", "D4", "G4", "B4")),
    ("E2", ("D4", "G4", "B4"), ("E3", "B3", "D4", "G4")),
    ("A2", ("E4", "G4", "C5"), ("A3", "E4", "G4", "C5")),
    ("D3", ("F4", "A4", "C5"), ("D4", "A4", "C5", "F5")),
    ("G2", ("F4", "G4", "B4"), ("G3", "D4", "F4", "B4")),
    ("C3", ("E4", "G4", "C5"), ("C4", "G4", "C5", "E5")),
    ("F2", ("F4", "G#4", "C5"), ("F3", "C4", "F4", "G#4")),
]

ENDING_THEME = ("E6/6 D6/2 C6/4 G5/4 | D6/6 C6/2 B5/4 G5/4 | C6/4 E6/4 A6/6 G6/2 | F6/8 E6/4 C6/4 "
                "| E6/6 D6/2 C6/4 E6/4 | F6/4 A6/4 G6/4 F6/4 | E6/6 D6/2 C6/4 A5/4 | B5/8 D6/8")
ENDING_SECOND = ("A6/6 G6/2 F6/4 C6/4 | B5/6 C6/2 D6/8 | E6/4 G6/4 B6/6 A6/2 | G6/8 E6/8 "
                 "| F6/6 E6/2 D6/4 C6/4 | D6/6 E6/2 F6/4 B5/4 | C6/12 -/4 | -/16")


def ending_song():
    song = Song("Warden - Ending", 6, 90, 24, gain=0.9)
    keys = song.instrument(ms.electric_piano_sample("e-piano"), Envelope([(0, 64), (60, 44), (200, 0)]),
                           fadeout=32, nna=NNA_OFF)
    pad = song.instrument(ms.pad_sample("warm pad", 8, 1.6), sustain_envelope(30, 50, 40), fadeout=96,
                          nna=NNA_OFF)
    flute = song.instrument(ms.flute_sample("flute"), sustain_envelope(4, 56, 12), fadeout=256)
    bass = song.instrument(ms.pluck_bass_sample("soft bass"), sustain_envelope(0, 48, 8), fadeout=512)
    bells = song.instrument(ms.bell_sample("glass bell", 7.0, 1.2, 1.4, 6.0), decay_envelope(80, 0), nna=NNA_OFF)
    kick = song.instrument(ms.drum("soft kick", ms.kick(0.35, 110.0, 45.0, 0.1, 1.0)))
    rim = song.instrument(ms.drum("rim", ms.rim(361)))
    shaker = song.instrument(ms.drum("shaker", ms.shaker(355)))
    for ch, pan in enumerate((28, 22, 32, 42, 32, 32, 40, 32, 32, 24, 44)):
        song.channel(ch, pan)
    song.channel(10, 48)  # echo of the bells

    bar = ROWS_PER_BAR
    for b in range(24):
        row = b * bar
        chord = ENDING_CHORDS[b % 8] if b < 16 else ENDING_CHORDS[8 + (b - 16)]
        root, voicing, broken = chord
        # Broken chords on the electric piano: eighth notes up and back.
        for step, pick in enumerate((0, 1, 2, 3, 2, 1, 2, 3)):
            song.put(row + 2 * step, 0, note(broken[pick]), keys, 40 if step % 2 == 0 else 30)
        if b >= 4:
            song.put(row, 4, note(root), bass, 56)
            song.put(row + 6, 4, NOTE_OFF)
            song.put(row + 8, 4, note(root) + 12, bass, 44)
            song.put(row + 14, 4, NOTE_OFF)
        if 8 <= b < 23:
            song.hits(5, row, "x.........x.....", kick, vols={"x": 50})
            song.hits(6, row, "....x.......x...", rim, vols={"x": 34})
            song.hits(7, row, "x.o.x.o.x.o.x.o.", shaker, vols={"x": 22, "o": 12})

    first_half = [(bar, voicing) for _, voicing, _ in ENDING_CHORDS[:8]]
    second_half = [(bar, voicing) for _, voicing, _ in ENDING_CHORDS[8:]]
    song.held_chords((1, 2, 3), 0, first_half * 2 + second_half, pad, 30)
    song.line(8, 8 * bar, ENDING_THEME, flute, 38)
    song.line(8, 16 * bar, ENDING_SECOND, flute, 38)
    bell_answer = "-/8 G6/4 E6/4 | -/8 F6/4 D6/4 | -/8 E6/4 B5/4 | -/8 C6/4 E6/4"
    song.line(9, 16 * bar, bell_answer, bells, 30)
    song.line(10, 16 * bar + 3, bell_answer, bells, 14)
    song.line(9, 23 * bar, "G#5/4 C6/4 F6/8", bells, 30)
    return song.build()


SONGS = {"chip.it": chip_song, "dnb.it": dnb_song, "acid.it": acid_song, "ending.it": ending_song}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resource")
    os.makedirs(out_dir, exist_ok=True)
    for name, compose in SONGS.items():
        module = compose()
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(module.encode())


if __name__ == "__main__":
    main()
