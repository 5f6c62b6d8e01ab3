"""Small synthesis toolkit shared by the sound and music generators.

Everything works on float64 numpy arrays at RATE samples a second. Noise comes
from numpy's legacy RandomState, whose stream is fixed for a given seed, so the
generators write the same bytes on every run.
"""

import math
import struct

import numpy as np

RATE = 22050


def samples(seconds):
    return int(round(seconds * RATE))


def rng(seed):
    return np.random.RandomState(seed)


def noise(seconds, seed):
    return rng(seed).uniform(-1.0, 1.0, samples(seconds))


def ramp(seconds, start, end, curve=1.0):
    """A glide from start to end; curve > 1 stays near start longer."""
    n = samples(seconds)
    x = np.linspace(0.0, 1.0, n, endpoint=False) ** curve
    return start + (end - start) * x


def exp_glide(seconds, start, end):
    """A glide that is linear in pitch (exponential in frequency)."""
    n = samples(seconds)
    x = np.linspace(0.0, 1.0, n, endpoint=False)
    return start * (end / start) ** x


def segments(points, seconds):
    """Piecewise-linear curve through (time, value) points, held after the last."""
    n = samples(seconds)
    t = np.arange(n) / RATE
    times = [p[0] for p in points]
    values = [p[1] for p in points]
    return np.interp(t, times, values)


def decay(seconds, rate):
    """Exponential decay: falls by a factor e every 1/rate seconds."""
    t = np.arange(samples(seconds)) / RATE
    return np.exp(-t * rate)


def adsr(seconds, attack, decay_time, sustain, release):
    n = samples(seconds)
    t = np.arange(n) / RATE
    env = np.interp(t, [0.0, attack, attack + decay_time, max(seconds - release, attack + decay_time), seconds],
                    [0.0, 1.0, sustain, sustain, 0.0])
    return env


def phase_of(freq, seconds):
    """Running phase in cycles for a constant or per-sample frequency."""
    n = samples(seconds)
    f = np.broadcast_to(np.asarray(freq, dtype=np.float64), (n,))
    return np.cumsum(f) / RATE


def sine(freq, seconds, phase=0.0):
    return np.sin(2.0 * math.pi * (phase_of(freq, seconds) + phase))


def fm(carrier, ratio, index, seconds):
    """Two-operator FM: a sine carrier modulated by a sine at carrier * ratio."""
    ph = phase_of(carrier, seconds)
    idx = np.broadcast_to(np.asarray(index, dtype=np.float64), ph.shape)
    return np.sin(2.0 * math.pi * ph + idx * np.sin(2.0 * math.pi * ph * ratio))


def square(freq, seconds, duty=0.5):
    ph = phase_of(freq, seconds) % 1.0
    return np.where(ph < duty, 1.0, -1.0)


def saw(freq, seconds):
    ph = phase_of(freq, seconds) % 1.0
    return 2.0 * ph - 1.0


def triangle(freq, seconds):
    ph = phase_of(freq, seconds) % 1.0
    return 4.0 * np.abs(ph - 0.5) - 1.0


def additive(freq, seconds, harmonics):
    """Sum of sine partials: harmonics is a list of (multiple, amplitude)."""
    ph = phase_of(freq, seconds)
    out = np.zeros_like(ph)
    for mult, amp in harmonics:
        out += amp * np.sin(2.0 * math.pi * ph * mult)
    return out


def svf(signal, cutoff, resonance=0.7, mode="low"):
    """Trapezoidal state-variable filter with a per-sample cutoff in Hz; stable at
    every cutoff below the Nyquist limit. resonance runs from 0 (no peak) to just
    under 1 (ringing)."""
    n = len(signal)
    cut = np.broadcast_to(np.asarray(cutoff, dtype=np.float64), (n,))
    g = np.tan(math.pi * np.clip(cut, 10.0, RATE * 0.45) / RATE)
    k = 2.0 - 2.0 * min(max(resonance, 0.0), 0.98)
    a1 = 1.0 / (1.0 + g * (g + k))
    a2 = g * a1
    a3 = g * a2
    ic1 = ic2 = 0.0
    out = np.empty(n)
    pick = {"low": 0, "band": 1, "high": 2}[mode]
    for i in range(n):
        x = signal[i]
        v3 = x - ic2
        v1 = a1[i] * ic1 + a2[i] * v3
        v2 = ic2 + a2[i] * ic1 + a3[i] * v3
        ic1 = 2.0 * v1 - ic1
        ic2 = 2.0 * v2 - ic2
        out[i] = (v2, v1, x - k * v1 - v2)[pick]
    return out


def one_pole_low(signal, cutoff):
    a = math.exp(-2.0 * math.pi * cutoff / RATE)
    out = np.empty(len(signal))
    y = 0.0
    for i, x in enumerate(signal):
        y = (1.0 - a) * x + a * y
        out[i] = y
    return out


def one_pole_high(signal, cutoff):
    return signal - one_pole_low(signal, cutoff)


def soft_clip(signal, drive=1.0):
    return np.tanh(signal * drive)


def fit(signal, seconds):
    """Pad with silence or cut to the given length."""
    n = samples(seconds)
    out = np.zeros(n)
    m = min(n, len(signal))
    out[:m] = signal[:m]
    return out


def place(target, signal, at):
    """Mix signal into target starting at time `at` (seconds)."""
    start = samples(at)
    end = min(len(target), start + len(signal))
    if end > start:
        target[start:end] += signal[:end - start]
    return target


def fade_edges(signal, fade_in=0.002, fade_out=0.01):
    """Short fades so a sound never starts or stops with a click."""
    out = signal.copy()
    a = min(samples(fade_in), len(out))
    b = min(samples(fade_out), len(out))
    if a > 0:
        out[:a] *= np.linspace(0.0, 1.0, a, endpoint=False)
    if b > 0:
        out[len(out) - b:] *= np.linspace(1.0, 0.0, b)
    return out


def normalize(signal, peak):
    top = np.max(np.abs(signal))
    if top == 0.0:
        return signal
    return signal * (peak / top)


def to_pcm16(signal):
    clipped = np.clip(np.round(signal * 32767.0), -32767, 32767)
    return clipped.astype("<i2")


def wav_bytes(signal):
    """A mono, 16-bit, RATE Hz PCM WAV file image."""
    pcm = to_pcm16(signal).tobytes()
    header = b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVE"
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16)
    return header + fmt + b"data" + struct.pack("<I", len(pcm)) + pcm
