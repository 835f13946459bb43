#!/usr/bin/env python3
"""Draws Vellum.png, the texture Vellumtide ships with.

A 256 x 256 picture of tide lines on a deep sea: the contour lines of a
smooth wave field, glowing parchment-amber over a dark blue-green ground.
It is kept dark on purpose: the material multiplies it by the vertex colours
and lays every triangle over what is already drawn with a "screen" blend
(source + destination x (1 - source)), so the grid and the dome that covers
it stay visible together, and stacked layers brighten without burning out.
Every wave in the field has a whole number of periods across the picture in
both directions, so the picture tiles seamlessly: the dome wraps it once
around its rim (s runs 0..255 around) and the grid runs across it once.

Only the standard library is used; the output is the same on every run.
Usage: make-vellum-texture.py [output.png]   (default: Vellum.png beside this script)
"""

import math
import os
import struct
import sys
import zlib

SIZE = 256
TAU = 2.0 * math.pi

# (frequency in u, frequency in v, phase, weight): whole-number frequencies
# keep the field periodic over the picture.
WAVES = [
    (1, 2, 0.3, 1.00),
    (-2, 1, 1.7, 0.85),
    (3, -1, 4.1, 0.55),
    (2, 3, 2.6, 0.35),
    (-1, 4, 5.3, 0.25),
]
# A gentle warp of the coordinates makes the lines meander like a tide mark.
WARP = [(0, 3, 0.9, 0.035), (2, 0, 2.2, 0.035)]
CONTOURS = 3.0       # contour lines per unit of the field
LINE_WIDTH = 0.08    # half width of a line, as a fraction of one contour step

GROUND_LOW = (4, 8, 24)       # the deep sea where the field is lowest
GROUND_HIGH = (12, 36, 52)    # ... and where it is highest
LINE_COLOUR = (150, 120, 90)  # the glowing tide line


def field(u, v):
    du = sum(w * math.sin(TAU * (a * u + b * v) + p) for a, b, p, w in WARP[:1])
    dv = sum(w * math.sin(TAU * (a * u + b * v) + p) for a, b, p, w in WARP[1:])
    u2, v2 = u + du, v + dv
    total = sum(w * math.sin(TAU * (a * u2 + b * v2) + p) for a, b, p, w in WAVES)
    return total / sum(w for _, _, _, w in WAVES)  # about -1..1


def texel(x, y):
    u, v = x / SIZE, y / SIZE
    f = field(u, v)
    level = (f + 1.0) * 0.5
    ground = [lo + (hi - lo) * level for lo, hi in zip(GROUND_LOW, GROUND_HIGH)]
    # Distance to the nearest contour, 0 on the line, 0.5 half-way between.
    phase = (f * CONTOURS) % 1.0
    distance = min(phase, 1.0 - phase)
    glow = math.exp(-(distance / LINE_WIDTH) ** 2)
    halo = 0.4 * math.exp(-(distance / (3.0 * LINE_WIDTH)) ** 2)
    light = min(1.0, glow + halo)
    return tuple(int(round(min(255.0, g + (c - g) * light))) for g, c in zip(ground, LINE_COLOUR))


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, rows):
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(png_chunk(b"IHDR", header))
        out.write(png_chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(png_chunk(b"IEND", b""))


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "Vellum.png")
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            row.extend(texel(x, y))
        rows.append(row)
    write_png(path, rows)


if __name__ == "__main__":
    main()
