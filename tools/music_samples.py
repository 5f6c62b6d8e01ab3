"""Synthesized instrument samples for the music modules.

Pitched samples record one note at a known frequency; `pitched` turns that into
the C-5 playback rate the module needs. Sustained sounds loop over a stretch
that holds a whole number of cycles of every partial, so the loop is seamless:
either one period of exactly N samples (frequency RATE / N) or a span of whole
seconds with partials at whole-number frequencies.
"""

import math

import numpy as np

from itwriter import Sample
from synthlib import (RATE, additive, decay, exp_glide, fm, noise, normalize, one_pole_high, one_pole_low, rng,
                      samples, segments, sine, soft_clip, svf)

MIDDLE_C = 261.6256  # the pitch of note C-5


def pitched(name, data, base_freq, loop=None, volume=64, peak=0.9):
    return Sample(name, normalize(data, peak), RATE * MIDDLE_C / base_freq, loop=loop, volume=volume)


def drum(name, data, volume=64, peak=0.9):
    """An unpitched one-shot that sounds at its recorded rate on C-5."""
    return Sample(name, normalize(data, peak), RATE, volume=volume)


# Highest harmonic kept in each keyboard range of a single-cycle instrument, so
# that no partial passes the mixer's Nyquist limit at the top of its range.
CYCLE_SPLITS = ((0, 31), (48, 20), (60, 10), (72, 5), (84, 2))


def one_cycle(name, wave, harmonics=31, volume=64):
    """A looped single cycle of 64 points, wave mapping phase 0..1 to -1..1, with
    partials above `harmonics` removed."""
    n = 64
    spectrum = np.fft.rfft([wave(i / n) for i in range(n)])
    spectrum[0] = 0.0
    spectrum[harmonics + 1:] = 0.0
    data = np.fft.irfft(spectrum, n)
    return Sample(name, 0.5 * data / np.max(np.abs(data)), n * MIDDLE_C, loop=(0, n), volume=volume)


def cycle_set(name, wave):
    """One band-limited cycle per keyboard range: (lowest note, sample) pairs."""
    return [(lowest, one_cycle("%s %d" % (name, lowest), wave, top)) for lowest, top in CYCLE_SPLITS]


# --- Chip sounds ------------------------------------------------------------------

def pulse(duty):
    return lambda ph: 1.0 if ph < duty else -1.0


def stepped_triangle(ph):
    """A triangle quantized to 16 levels, the grainy bass of old sound chips."""
    tri = 4.0 * abs(ph - 0.5) - 1.0
    return round((tri + 1.0) * 7.5) / 7.5 - 1.0


def chip_noise(seconds, seed, hold):
    """Noise held for `hold` samples at a time: crunchy like a chip's noise channel."""
    r = rng(seed)
    n = samples(seconds)
    steps = r.choice([-1.0, 1.0], size=n // hold + 1)
    return np.repeat(steps, hold)[:n]


def chip_kick():
    length = 0.16
    ph = np.cumsum(exp_glide(length, 220.0, 45.0)) / RATE
    tri = 4.0 * np.abs(ph % 1.0 - 0.5) - 1.0
    return np.round(tri * 7.5) / 7.5 * decay(length, 18.0)


def chip_snare():
    length = 0.18
    ph = np.cumsum(exp_glide(length, 400.0, 150.0)) / RATE
    blip = (4.0 * np.abs(ph % 1.0 - 0.5) - 1.0) * decay(length, 40.0)
    return chip_noise(length, 301, 2) * decay(length, 18.0) + 0.6 * blip


def chip_hat(length=0.05, seed=302):
    return chip_noise(length, seed, 1) * decay(length, 80.0 * 0.05 / length)


# --- Drum machine sounds -------------------------------------------------------------

def kick(length=0.4, top=160.0, bottom=45.0, click=0.5, drive=1.5):
    body = sine(exp_glide(length, top, bottom) * 1.0, length) * segments(
        [(0.0, 1.0), (0.06, 0.9), (length, 0.0)], length) * decay(length, 4.0)
    tick = one_pole_high(noise(0.01, 311), 2000.0) * decay(0.01, 400.0)
    out = body.copy()
    out[:len(tick)] += click * tick
    return soft_clip(out, drive)


def snare(length=0.28, tone=190.0, seed=321, snappy=1.0):
    body = sine(exp_glide(length, tone * 1.4, tone), length) * decay(length, 16.0)
    rattle = svf(noise(length, seed), 4000.0, 0.2, "high") * decay(length, 9.0) * snappy
    crack = svf(noise(length, seed + 1), 1800.0, 0.5, "band") * decay(length, 22.0)
    return soft_clip(body * 1.2 + rattle * 1.4 + crack * 1.8, 2.0)


def clap(seed=331):
    length = 0.3
    src = svf(noise(length, seed), 1300.0, 0.6, "band")
    env = np.zeros(samples(length))
    for at in (0.0, 0.011, 0.022):
        part = decay(0.012, 300.0)
        s = samples(at)
        env[s:s + len(part)] = np.maximum(env[s:s + len(part)], part)
    s = samples(0.033)
    env[s:] = np.maximum(env[s:], decay(length - 0.033, 11.0)[:len(env) - s])
    return soft_clip(src * env * 4.0, 1.5)


def hat(length=0.05, seed=341, rate=None):
    metal = np.zeros(samples(length))
    for i, f in enumerate((3120.0, 4280.0, 5390.0, 6730.0, 8190.0, 9340.0)):
        metal += np.sign(np.sin(2.0 * math.pi * f * np.arange(samples(length)) / RATE + i))
    sizzle = one_pole_high(metal * 0.3 + noise(length, seed), 6000.0)
    return soft_clip(normalize(sizzle, 1.0) * 2.5, 1.0) * decay(length, rate if rate else 4.0 / length)


def shaker(seed=351):
    length = 0.09
    env = segments([(0.0, 0.0), (0.03, 1.0), (length, 0.0)], length)
    return one_pole_high(noise(length, seed), 5000.0) * env


def rim(seed=361):
    length = 0.08
    click = svf(noise(length, seed), 2200.0, 0.85, "band") * decay(length, 90.0)
    knock = sine(1700.0, length) * decay(length, 70.0) + sine(520.0, length) * decay(length, 50.0)
    return click + knock * 0.6


def crash(seed=371, length=1.6):
    return hat(length, seed, 2.5) + one_pole_high(noise(length, seed + 1), 3000.0) * decay(length, 2.2) * 0.5


def riser(seed=381, length=2.2):
    cut = exp_glide(length, 300.0, 3600.0)
    swell = segments([(0.0, 0.0), (length * 0.9, 1.0), (length, 0.0)], length)
    return svf(noise(length, seed), cut, 0.8, "band") * swell


# --- Pitched synth sounds --------------------------------------------------------------

def saw_partials(count, tilt=1.0):
    return [(k, 1.0 / k ** tilt) for k in range(1, count + 1)]


def detuned_loop(freqs, seconds, partials):
    """Saw-like voices at whole-number frequencies over a whole number of seconds: a seamless loop."""
    n = samples(seconds)
    t = np.arange(n) / RATE
    out = np.zeros(n)
    for voice, f in enumerate(freqs):
        for k, amp in partials:
            out += amp * np.sin(2.0 * math.pi * (k * f * t + 0.13 * voice * k))
    return out


def pad_sample(name, partials=12, tilt=1.3, spread=(-1, 0, 1), volume=64):
    base = 262
    data = detuned_loop([base + d for d in spread], 1.0, saw_partials(partials, tilt))
    return pitched(name, data, base, loop=(0, samples(1.0)), volume=volume, peak=0.7)


def reese_sample(name):
    """Two saws half a hertz apart at C-4: a slowly phasing drum and bass bass."""
    data = detuned_loop([131.0, 131.5], 2.0, saw_partials(28, 1.15))
    return pitched(name, data, 131.0, loop=(0, samples(2.0)), peak=0.8)


def sine_sample(name, base_period=84, harmonics=((1, 1.0),), volume=64):
    freq = RATE / base_period
    data = additive(freq, base_period / RATE, list(harmonics))
    return pitched(name, data, freq, loop=(0, base_period), volume=volume, peak=0.8)


def acid_sample(name, start_cut, end_cut, resonance, drive, seconds=0.7):
    """A squelchy bass note: a saw through a resonant low-pass whose cutoff falls,
    then settles; the last period loops so held notes keep sounding."""
    period = 168
    freq = RATE / period
    length = seconds
    ph = np.arange(samples(length)) % period / period
    saw_wave = 2.0 * ph - 1.0
    t = np.arange(samples(length)) / RATE
    cut = end_cut + (start_cut - end_cut) * np.exp(-t * 12.0)
    out = soft_clip(svf(saw_wave, cut, resonance, "low") * drive, 1.0)
    n = len(out)
    loop_start = n - period
    tail = out[loop_start - period:loop_start]
    out[loop_start:] = tail  # one clean period to loop
    return pitched(name, out, freq, loop=(loop_start, n), peak=0.85)


def stab_sample(name, intervals=(0, 3, 7, 10, 12)):
    """A filtered minor-seventh chord stab on C-5, played at any root for parallel chords."""
    length = 0.45
    base = 262.5
    t = np.arange(samples(length)) / RATE
    chord = np.zeros(samples(length))
    for i, semis in enumerate(intervals):
        f = base * 2.0 ** (semis / 12.0)
        for detune in (-0.004, 0.004):
            ph = (f * (1.0 + detune) * t + 0.21 * i) % 1.0
            chord += 2.0 * ph - 1.0
    cut = 700.0 + 2600.0 * np.exp(-t * 14.0)
    return pitched(name, svf(chord, cut, 0.5, "low") * decay(length, 6.0), base, peak=0.85)


def bell_sample(name, ratio=3.5, index=2.2, seconds=1.6, brightness=14.0):
    base = RATE / 84
    env = decay(seconds, 3.0)
    tone = fm(base, ratio, index * decay(seconds, brightness * 0.3), seconds) * env
    shimmer = sine(base * 4.0, seconds) * decay(seconds, brightness) * 0.25
    return pitched(name, fade_tail(tone + shimmer), base, peak=0.85)


def electric_piano_sample(name, seconds=2.2):
    base = RATE / 84
    body = fm(base, 1.0, 1.6 * decay(seconds, 2.5) + 0.2, seconds) * decay(seconds, 1.6)
    tine = fm(base * 1.0, 14.0, 0.9 * decay(seconds, 18.0), seconds) * decay(seconds, 9.0) * 0.35
    attack = segments([(0.0, 0.0), (0.003, 1.0)], seconds)
    return pitched(name, fade_tail((body + tine) * attack), base, peak=0.85)


def flute_sample(name):
    """A breathy flute on C-5 with a 5 Hz vibrato; one whole second loops seamlessly."""
    base = 262
    n = samples(1.0)
    t = np.arange(n) / RATE
    vib = 0.006 * base / (2 * math.pi * 5.0) * (1.0 - np.cos(2 * math.pi * 5.0 * t))
    ph = base * t + vib
    tone = np.sin(2 * math.pi * ph) + 0.18 * np.sin(4 * math.pi * ph) + 0.06 * np.sin(6 * math.pi * ph)
    breath = svf(noise(1.0, 391), 2200.0, 0.5, "band") * 0.05
    data = tone + breath
    fade = samples(0.01)
    data[-fade:] = data[-fade:] * np.linspace(1, 0, fade) + data[:fade] * np.linspace(0, 1, fade)
    return pitched(name, data, base, loop=(0, n), peak=0.8)


def pluck_bass_sample(name, seconds=1.2):
    base = RATE / 168
    tone = additive(base, seconds, [(1, 1.0), (2, 0.35), (3, 0.12)])
    thump = segments([(0.0, 0.0), (0.004, 1.0)], seconds) * decay(seconds, 2.2)
    return pitched(name, fade_tail(tone * thump), base, peak=0.85)


def fade_tail(signal, seconds=0.05):
    out = signal.copy()
    n = min(samples(seconds), len(out))
    out[len(out) - n:] *= np.linspace(1.0, 0.0, n)
    return out
