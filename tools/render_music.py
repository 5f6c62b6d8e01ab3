#!/usr/bin/python3
"""Plays music files through the game's own audio stack (SDL 1.2 and SDL_mixer 1.2)
and reports what comes out.

Usage: render_music.py [--seconds N] [--raw OUT_PREFIX] file.it ...

For each file: loads it with Mix_LoadMUS, plays it looping forever into SDL's
disk audio driver (22050 Hz, 16-bit, mono, as the game opens the device), reads
back N seconds and prints the loudness of each second. Exits non-zero when a
file fails to load or to play, stays silent for a whole second, or clips.
"""

import ctypes
import os
import sys
import tempfile
import time

import numpy as np

RATE = 22050
SDL_INIT_AUDIO = 0x10
AUDIO_S16SYS = 0x8010


def render(path, seconds):
    scratch = tempfile.mkdtemp()
    raw = os.path.join(scratch, "out.raw")
    os.environ["SDL_AUDIODRIVER"] = "disk"
    os.environ["SDL_DISKAUDIOFILE"] = raw
    os.environ["SDL_DISKAUDIODELAY"] = "0"
    sdl = ctypes.CDLL("libSDL-1.2.so.0")
    mixer = ctypes.CDLL("libSDL_mixer-1.2.so.0")
    mixer.Mix_LoadMUS.restype = ctypes.c_void_p
    mixer.Mix_LoadMUS.argtypes = [ctypes.c_char_p]
    mixer.Mix_PlayMusic.argtypes = [ctypes.c_void_p, ctypes.c_int]
    mixer.Mix_FreeMusic.argtypes = [ctypes.c_void_p]
    if sdl.SDL_Init(SDL_INIT_AUDIO) != 0:
        return None, "SDL_Init failed"
    try:
        if mixer.Mix_OpenAudio(RATE, AUDIO_S16SYS, 1, 1024) != 0:
            return None, "Mix_OpenAudio failed"
        sdl.SDL_PauseAudio(1)  # the disk driver writes silence as fast as it can until the music starts
        music = mixer.Mix_LoadMUS(path.encode())
        if not music:
            mixer.Mix_CloseAudio()
            return None, "Mix_LoadMUS failed"
        if mixer.Mix_PlayMusic(music, -1) != 0:
            return None, "Mix_PlayMusic failed"
        sdl.SDL_PauseAudio(0)
        # Silence written while the module loaded comes first; on a busy machine it can be many
        # seconds long, so the music's own seconds are counted from where it stood at the start.
        written_before = os.path.getsize(raw) if os.path.exists(raw) else 0
        wanted = written_before + int((seconds + 2.0) * RATE * 2)
        deadline = time.monotonic() + 120
        while (not os.path.exists(raw) or os.path.getsize(raw) < wanted) and time.monotonic() < deadline:
            time.sleep(0.05)
        mixer.Mix_HaltMusic()
        mixer.Mix_FreeMusic(music)
        mixer.Mix_CloseAudio()
    finally:
        sdl.SDL_Quit()
    with open(raw, "rb") as f:
        data = np.frombuffer(f.read(), dtype="<i2")
    start = int(np.argmax(data != 0))
    data = data[start:start + int(seconds * RATE)]
    os.remove(raw)
    os.rmdir(scratch)
    return data, None


def main():
    args = sys.argv[1:]
    seconds = 10.0
    raw_prefix = None
    if args[:1] == ["--seconds"]:
        seconds = float(args[1])
        args = args[2:]
    if args[:1] == ["--raw"]:
        raw_prefix = args[1]
        args = args[2:]
    failed = False
    for path in args:
        data, error = render(path, seconds)
        if error:
            print("%s: %s" % (path, error))
            failed = True
            continue
        x = data.astype(np.float64) / 32768.0
        per_second = [np.sqrt(np.mean(x[i:i + RATE] ** 2)) for i in range(0, len(x) - RATE + 1, RATE)]
        clipped = int(np.sum(np.abs(data) >= 32767))
        print("%s: %.1f s rendered, peak %.2f, clipped samples %d" % (path, len(x) / RATE, np.max(np.abs(x)), clipped))
        print("  rms per second: " + " ".join("%.3f" % v for v in per_second))
        if raw_prefix:
            data.tofile(raw_prefix + os.path.basename(path) + ".raw")
        if min(per_second) < 0.003 or clipped > 0:
            failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
