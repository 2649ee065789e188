#!/usr/bin/env python3
"""Draws the program icon: a white helm wheel on a teal disc, 16, 32 and 48 pixels,
32-bit with alpha, written as a Windows .ico file."""
import math
import struct
import sys

TEAL = (0x0E, 0x6E, 0x8C)
WHITE = (0xFF, 0xFF, 0xFF)


def coverage(size, inside):
    """Fraction of each pixel for which inside(x, y) holds (4x4 supersampling), x/y in -1..1."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(4):
                for sx in range(4):
                    x = ((px + (sx + 0.5) / 4) / size) * 2 - 1
                    y = ((py + (sy + 0.5) / 4) / size) * 2 - 1
                    hits += inside(x, y)
            row.append(hits / 16.0)
        rows.append(row)
    return rows


def disc(x, y):
    return x * x + y * y <= 0.96 * 0.96


def wheel(x, y):
    r = math.hypot(x, y)
    if 0.50 <= r <= 0.64 or r <= 0.16:
        return True
    if r > 0.80:
        return False
    # Eight spokes, each a thin band through the centre; they poke out past the rim as grips.
    angle = math.atan2(y, x)
    for k in range(4):
        a = k * math.pi / 4
        if abs(math.sin(angle - a)) * r <= 0.055:
            return True
    return False


def image(size):
    back = coverage(size, disc)
    fore = coverage(size, lambda x, y: disc(x, y) and wheel(x, y))
    pixels = bytearray()
    for py in reversed(range(size)):  # bottom-up rows
        for px in range(size):
            a, f = back[py][px], fore[py][px]
            color = [round(TEAL[i] * (1 - f / a if a else 0) + WHITE[i] * (f / a if a else 0))
                     for i in range(3)]
            pixels += bytes((color[2], color[1], color[0], round(a * 255)))
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(pixels) + mask_row * size, 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask_row * size)


def main(path):
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])
