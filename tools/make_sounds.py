#!/usr/bin/python3
"""Synthesizes every sound effect of the game as 22050 Hz, 16-bit, mono WAV.

Usage: make_sounds.py [output directory]   (default: the repository's resource/)

Each sound is a function returning float samples; the peak it is scaled to
reflects how often it plays (the gun fires 7 times a second and stays modest,
a boss landing is allowed to be loud).
"""

import os
import sys

import numpy as np

from synthlib import (RATE, additive, decay, exp_glide, fade_edges, fit, fm, noise, normalize, one_pole_high,
                      one_pole_low, place, ramp, rng, samples, saw, segments, sine, soft_clip, square, svf,
                      triangle, wav_bytes)

SOUNDS = {}


def sound(name, peak):
    def register(func):
        SOUNDS[name] = (func, peak)
        return func
    return register


# --- Heroine -----------------------------------------------------------------

@sound("dahliagun.wav", 0.50)
def dahlia_gun():
    length = 0.12
    pitch = exp_glide(length, 1500.0, 260.0)
    body = square(pitch, length, duty=0.3) * decay(length, 28.0)
    zap = sine(exp_glide(length, 3200.0, 900.0), length) * decay(length, 60.0)
    crack = svf(noise(length, 11), 2600.0, 0.3, "band") * decay(length, 90.0) * 2.5
    return one_pole_low(0.45 * body + 0.35 * zap + crack, 5000.0)


@sound("jump.wav", 0.42)
def jump():
    length = 0.16
    pitch = exp_glide(length, 280.0, 760.0)
    tone = square(pitch, length, duty=0.25) * 0.5 + triangle(pitch, length) * 0.5
    env = segments([(0.0, 0.0), (0.006, 1.0), (0.09, 0.7), (length, 0.0)], length)
    whoosh = svf(noise(length, 21), exp_glide(length, 900.0, 2400.0), 0.4, "band") * env * 0.6
    return one_pole_low(tone * env + whoosh, 4000.0)


@sound("land.wav", 0.55)
def land():
    length = 0.14
    thump = sine(exp_glide(length, 140.0, 48.0), length) * decay(length, 30.0)
    grit = svf(noise(length, 31), 700.0, 0.2, "low") * decay(length, 45.0) * 1.8
    return thump + grit


def hurt_voice(vowel, pitch_start, pitch_end, seed):
    """A short pained cry: a glottal buzz through three vowel formants, plus a body hit."""
    length = 0.26
    jitter = 1.0 + 0.015 * svf(noise(length, seed), 30.0, 0.0, "low") * 8.0
    pitch = exp_glide(length, pitch_start, pitch_end) * jitter
    buzz = additive(pitch, length, [(k, 1.0 / k) for k in range(1, 12)])
    voice = np.zeros_like(buzz)
    for freq, gain in vowel:
        voice += svf(buzz, freq, 0.88, "band") * gain
    env = segments([(0.0, 0.0), (0.012, 1.0), (0.08, 0.8), (length, 0.0)], length)
    breath = svf(noise(length, seed + 1), 2200.0, 0.3, "band") * env * 0.25
    hit = sine(exp_glide(length, 180.0, 60.0), length) * decay(length, 40.0) * 0.8
    return voice * env * 0.6 + breath + hit


@sound("dahliahit1.wav", 0.60)
def dahlia_hit_1():
    return hurt_voice([(780.0, 1.0), (1180.0, 0.55), (2600.0, 0.25)], 440.0, 300.0, 41)


@sound("dahliahit2.wav", 0.60)
def dahlia_hit_2():
    return hurt_voice([(620.0, 1.0), (1050.0, 0.5), (2450.0, 0.2)], 400.0, 260.0, 43)


@sound("dahliahit3.wav", 0.60)
def dahlia_hit_3():
    return hurt_voice([(560.0, 1.0), (1850.0, 0.45), (2550.0, 0.25)], 470.0, 330.0, 45)


def footstep(center, seed):
    length = 0.07
    scuff = svf(noise(length, seed), center, 0.45, "band") * decay(length, 70.0)
    heel = sine(exp_glide(length, 160.0, 90.0), length) * decay(length, 80.0) * 0.5
    return scuff * 2.0 + heel


@sound("step_1.wav", 0.26)
def step_1():
    return footstep(1300.0, 51)


@sound("step_2.wav", 0.26)
def step_2():
    return footstep(1050.0, 52)


@sound("step_3.wav", 0.26)
def step_3():
    return footstep(1550.0, 53)


# --- Shots striking the ground ---------------------------------------------------

def impact(length, center, seed, ring=0.0):
    crack = svf(noise(length, seed), center, 0.5, "band") * decay(length, 55.0) * 2.0
    debris = np.zeros(samples(length))
    r = rng(seed + 100)
    for _ in range(5):
        at = r.uniform(0.01, length * 0.6)
        grain_len = 0.012
        grain = svf(noise(grain_len, int(r.randint(1, 10000))), r.uniform(1500.0, 3200.0), 0.6, "band")
        place(debris, grain * decay(grain_len, 200.0) * r.uniform(0.3, 0.8), at)
    out = crack + debris * decay(length, 12.0)
    if ring > 0.0:
        whine = sine(exp_glide(length, ring, ring * 0.62) * (1.0 + 0.01 * sine(38.0, length)), length)
        out += whine * segments([(0.0, 0.0), (0.01, 0.5), (length, 0.0)], length)
    return out


@sound("hitground_1.wav", 0.36)
def hitground_1():
    return impact(0.12, 1800.0, 61)


@sound("hitground_2.wav", 0.36)
def hitground_2():
    return impact(0.14, 1300.0, 62)


@sound("hitground_3.wav", 0.34)
def hitground_3():
    return impact(0.30, 2200.0, 63, ring=3100.0)


@sound("hitground_4.wav", 0.36)
def hitground_4():
    length = 0.12
    thud = sine(exp_glide(length, 220.0, 90.0), length) * decay(length, 35.0)
    return impact(length, 900.0, 64) + thud * 0.8


@sound("hitground_5.wav", 0.34)
def hitground_5():
    return impact(0.26, 2600.0, 65, ring=2400.0)


@sound("hitground_6.wav", 0.36)
def hitground_6():
    return impact(0.16, 1600.0, 66)


# --- Creatures -------------------------------------------------------------------

def boing(length, low, high, wobble, seed):
    """A springy hop: a pitch that shoots up and wobbles back."""
    t = np.arange(samples(length)) / RATE
    pitch = low + (high - low) * (1.0 - np.exp(-t * 30.0)) * (1.0 + 0.25 * np.sin(2 * np.pi * wobble * t))
    tone = fm(pitch, 1.0, 1.2 * decay(length, 10.0), length)
    env = segments([(0.0, 0.0), (0.005, 1.0), (length, 0.0)], length)
    tap = svf(noise(length, seed), 900.0, 0.3, "band") * decay(length, 80.0)
    return tone * env + tap


@sound("springfoot_low.wav", 0.38)
def springfoot_low():
    return boing(0.16, 220.0, 380.0, 22.0, 71)


@sound("springfoot_high.wav", 0.42)
def springfoot_high():
    return boing(0.24, 320.0, 880.0, 16.0, 72)


@sound("crushfoot_low.wav", 0.60)
def crushfoot_low():
    length = 0.34
    spring = boing(length, 70.0, 150.0, 9.0, 81)
    grunt = svf(saw(exp_glide(length, 95.0, 70.0), length), 500.0, 0.8, "band") * decay(length, 9.0)
    return spring + grunt * 0.8


@sound("crushfoot_high.wav", 0.66)
def crushfoot_high():
    length = 0.5
    rise = fm(exp_glide(length, 60.0, 210.0), 1.5, 2.5 * decay(length, 4.0), length)
    whoosh = svf(noise(length, 82), exp_glide(length, 300.0, 2500.0), 0.5, "band")
    env = segments([(0.0, 0.0), (0.02, 1.0), (0.3, 0.7), (length, 0.0)], length)
    return (rise * 0.8 + whoosh * 0.9) * env


def heavy_thud(length, seed, depth):
    boom = sine(exp_glide(length, depth * 2.0, depth * 0.6), length) * decay(length, 6.0)
    rumble = svf(noise(length, seed), exp_glide(length, 900.0, 120.0), 0.3, "low") * decay(length, 7.0) * 1.6
    crack = svf(noise(length, seed + 1), 1800.0, 0.4, "band") * decay(length, 60.0) * 1.2
    return soft_clip(boom * 1.3 + rumble + crack, 1.4)


@sound("crushfoot_land.wav", 0.80)
def crushfoot_land():
    return heavy_thud(0.75, 83, 45.0)


@sound("enemy_die_big.wav", 0.72)
def enemy_die_big():
    """The boss's roar when it loses a phase and when its death begins."""
    length = 0.95
    t = np.arange(samples(length)) / RATE
    pitch = exp_glide(length, 210.0, 85.0) * (1.0 + 0.06 * np.sin(2 * np.pi * 13.0 * t))
    roar = fm(pitch, 0.5, 4.0 * decay(length, 1.5) + 1.0, length)
    growl = saw(pitch * 0.5, length)
    throat = svf(roar * 0.6 + growl * 0.6, exp_glide(length, 1600.0, 500.0), 0.75, "band")
    env = segments([(0.0, 0.0), (0.04, 1.0), (0.55, 0.75), (length, 0.0)], length)
    breath = svf(noise(length, 84), 1200.0, 0.3, "band") * env * 0.35
    return soft_clip((throat * 1.6 + breath) * env, 1.5)


@sound("crushfoot_die.wav", 0.72)
def crushfoot_die():
    """A long, sinking groan with a failing tremolo."""
    length = 1.7
    t = np.arange(samples(length)) / RATE
    pitch = exp_glide(length, 150.0, 38.0)
    trem = 0.6 + 0.4 * np.sin(2 * np.pi * (9.0 - 5.0 * t / length) * t)
    body = saw(pitch, length) + 0.7 * square(pitch * 0.501, length, 0.4)
    groan = svf(body, exp_glide(length, 900.0, 180.0), 0.8, "low")
    env = segments([(0.0, 0.0), (0.08, 1.0), (1.0, 0.7), (length, 0.0)], length)
    rattle = svf(noise(length, 85), 400.0, 0.5, "band") * trem * 0.5
    return soft_clip((groan * trem + rattle) * env, 1.3)


@sound("shockwave.wav", 0.72)
def shockwave():
    length = 0.8
    sweep = svf(noise(length, 86), exp_glide(length, 200.0, 1400.0), 0.7, "band")
    swell = segments([(0.0, 0.2), (0.12, 1.0), (0.5, 0.6), (length, 0.0)], length)
    low = sine(exp_glide(length, 70.0, 35.0), length) * decay(length, 3.0)
    return soft_clip(sweep * swell * 1.4 + low, 1.2)


@sound("double_shot.wav", 0.46)
def double_shot():
    length = 0.17
    out = np.zeros(samples(length))
    for at, base in ((0.0, 1700.0), (0.045, 1500.0)):
        shot_len = 0.1
        pitch = exp_glide(shot_len, base, base * 0.35)
        zap = fm(pitch, 1.41, 3.0 * decay(shot_len, 25.0), shot_len) * decay(shot_len, 30.0)
        place(out, zap, at)
    click = svf(noise(length, 91), 3000.0, 0.3, "band") * decay(length, 120.0)
    return out + click


@sound("puke.wav", 0.55)
def puke():
    """Acid spat out: a wet, gurgling retch."""
    length = 0.5
    t = np.arange(samples(length)) / RATE
    gurgle = 700.0 + 450.0 * np.sin(2 * np.pi * 23.0 * t) * np.sin(2 * np.pi * 3.0 * t)
    wet = svf(noise(length, 101), gurgle, 0.85, "band")
    retch = svf(saw(exp_glide(length, 140.0, 90.0), length), 800.0, 0.7, "band")
    env = segments([(0.0, 0.0), (0.03, 1.0), (0.3, 0.8), (length, 0.0)], length)
    bubbles = np.zeros(samples(length))
    r = rng(102)
    for _ in range(9):
        blip_len = 0.03
        blip = sine(exp_glide(blip_len, r.uniform(500.0, 900.0), r.uniform(1200.0, 1800.0)), blip_len)
        place(bubbles, blip * decay(blip_len, 90.0) * 0.35, r.uniform(0.05, 0.42))
    return (wet * 1.3 + retch * 0.6) * env + bubbles


@sound("multiblast.wav", 0.55)
def multiblast():
    """A fan of spit shots leaving at once: three wet pops in quick succession."""
    length = 0.32
    out = np.zeros(samples(length))
    for i, at in enumerate((0.0, 0.035, 0.07)):
        pop_len = 0.2
        pitch = exp_glide(pop_len, 620.0 - 70.0 * i, 160.0)
        pop = square(pitch, pop_len, 0.4) * decay(pop_len, 20.0)
        squelch = svf(noise(pop_len, 111 + i), exp_glide(pop_len, 2400.0, 500.0), 0.75, "band") * decay(pop_len, 16.0)
        place(out, one_pole_low(pop, 2500.0) * 0.7 + squelch, at)
    return out


def explosion_body(length, seed, boom_hz, brightness):
    t = np.arange(samples(length)) / RATE
    cutoff = 180.0 + brightness * np.exp(-t * 6.0)
    roar = svf(noise(length, seed), cutoff, 0.35, "low") * 2.2
    boom = sine(exp_glide(length, boom_hz, boom_hz * 0.45), length) * decay(length, 5.0)
    crackle = np.zeros(samples(length))
    r = rng(seed + 1)
    for _ in range(int(length * 40)):
        at = r.uniform(0.0, length * 0.8)
        crackle[samples(at)] += r.uniform(-1.0, 1.0)
    crackle = svf(crackle, 2500.0, 0.4, "band") * np.exp(-t * 4.0)
    env = segments([(0.0, 0.0), (0.004, 1.0), (length * 0.3, 0.6), (length, 0.0)], length)
    return soft_clip((roar + boom * 1.2 + crackle * 1.5) * env, 1.6)


@sound("explosion.wav", 0.85)
def explosion():
    return explosion_body(1.1, 121, 70.0, 3800.0)


@sound("explosion1.wav", 0.75)
def explosion1():
    return explosion_body(0.65, 131, 95.0, 4500.0)


@sound("enemy_die.wav", 0.60)
def enemy_die():
    """A creature bursting: a squeal that drops away into a wet pop."""
    length = 0.38
    squeal = fm(exp_glide(length, 1100.0, 180.0), 2.0, 2.0 * decay(length, 6.0), length) * decay(length, 7.0)
    pop_len = 0.2
    pop = sine(exp_glide(pop_len, 320.0, 70.0), pop_len) * decay(pop_len, 18.0)
    splat = svf(noise(pop_len, 141), 1200.0, 0.5, "band") * decay(pop_len, 22.0) * 1.6
    out = squeal * 0.7
    place(out, pop + splat, 0.06)
    return out


# --- Water -----------------------------------------------------------------------

def splash_body(length, seed, drops, brightness):
    t = np.arange(samples(length)) / RATE
    wash = svf(noise(length, seed), brightness * np.exp(-t * 3.0) + 400.0, 0.4, "low")
    hiss = one_pole_high(noise(length, seed + 1), 2500.0) * np.exp(-t * 9.0) * 0.4
    env = segments([(0.0, 0.0), (0.01, 1.0), (length * 0.35, 0.5), (length, 0.0)], length)
    blips = np.zeros(samples(length))
    r = rng(seed + 2)
    for _ in range(drops):
        blip_len = 0.025
        start = r.uniform(600.0, 1400.0)
        blip = sine(exp_glide(blip_len, start, start * 2.2), blip_len) * decay(blip_len, 110.0)
        place(blips, blip * r.uniform(0.2, 0.5), r.uniform(0.02, length * 0.8))
    return (wash * 1.5 + hiss) * env + blips


@sound("splash.wav", 0.62)
def splash():
    return splash_body(0.65, 151, 12, 3000.0)


@sound("wading.wav", 0.30)
def wading():
    return splash_body(0.22, 161, 3, 1800.0)


# --- Menus and speech boxes ------------------------------------------------------

@sound("menu_move.wav", 0.36)
def menu_move():
    length = 0.06
    tone = square(880.0, length, 0.25) * 0.5 + sine(1760.0, length) * 0.5
    return one_pole_low(tone, 4000.0) * decay(length, 45.0)


@sound("menu_pick.wav", 0.42)
def menu_pick():
    length = 0.2
    out = np.zeros(samples(length))
    for at, freq in ((0.0, 659.25), (0.055, 987.77)):
        note_len = 0.14
        note = additive(freq, note_len, [(1, 1.0), (2, 0.35), (3, 0.15)]) * decay(note_len, 22.0)
        place(out, note, at)
    return out


@sound("type_letter.wav", 0.22)
def type_letter():
    length = 0.022
    click = svf(noise(length, 171), 2400.0, 0.5, "band") * decay(length, 260.0)
    pip = square(1250.0, length, 0.5) * decay(length, 180.0) * 0.25
    return click * 2.0 + one_pole_low(pip, 3000.0)


@sound("type_punc.wav", 0.24)
def type_punc():
    length = 0.045
    click = svf(noise(length, 181), 1500.0, 0.5, "band") * decay(length, 150.0)
    pip = square(830.0, length, 0.5) * decay(length, 90.0) * 0.3
    return click * 2.0 + one_pole_low(pip, 2500.0)


@sound("type_end.wav", 0.32)
def type_end():
    length = 0.3
    bell = fm(1318.5, 3.5, 1.8 * decay(length, 14.0), length) * decay(length, 12.0)
    return bell + sine(2637.0, length) * decay(length, 30.0) * 0.2


def render(func, peak):
    signal = fade_edges(one_pole_high(func(), 25.0))
    return normalize(signal, peak)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resource")
    os.makedirs(out_dir, exist_ok=True)
    for name in sorted(SOUNDS):
        func, peak = SOUNDS[name]
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(wav_bytes(render(func, peak)))


if __name__ == "__main__":
    main()
