#!/usr/bin/env python3
"""Writes the sample sound the sound test plays: half a second of a 440 Hz tone, 8 kHz mono
16-bit PCM. 440 Hz fits the half second 220 times, so the tone loops without a click."""

import math
import struct
import sys
import wave

RATE = 8000
SECONDS = 0.5
FREQUENCY = 440
AMPLITUDE = 0.4 * 32767


def main(path):
    frames = int(RATE * SECONDS)
    samples = (int(AMPLITUDE * math.sin(2 * math.pi * FREQUENCY * i / RATE)) for i in range(frames))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", s) for s in samples))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_test_wav.py OUTPUT.wav")
    main(sys.argv[1])
