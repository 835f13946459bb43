#!/usr/bin/env python3
"""Draws the Vellumtide application icon: a warped, glowing grid over a
turning dome of colour, at 16, 32 and 48 pixels, and writes it as a Windows
.ico (32-bit BMP entries with an AND mask), or, for the Linux desktop, as one
PNG of the given size. Run: make-icon.py OUT.ico, or make-icon.py --png SIZE OUT.png"""
import math
import struct
import sys
import zlib


def pixel(size, x, y):
    # Normalised coordinates, centre (0, 0), radius 1 at the edge.
    u = (x + 0.5) / size * 2.0 - 1.0
    v = (y + 0.5) / size * 2.0 - 1.0
    r = math.hypot(u, v)
    # The dome: a deep indigo swirl, brighter toward the middle.
    angle = math.atan2(v, u)
    swirl = 0.5 + 0.5 * math.sin(3.0 * angle + 6.0 * r)
    red = 30 + 60 * swirl * (1.0 - r * 0.6)
    green = 10 + 30 * swirl
    blue = 90 + 110 * (1.0 - r * 0.7)
    # The grid: lines of a sheet bent by a bulge, warm orange and gold.
    bulge = 0.35 * math.exp(-2.5 * r * r)
    gu = (u * (1.0 + bulge)) * 3.0
    gv = (v * (1.0 + bulge) + 0.15 * math.sin(2.5 * u)) * 3.0
    width = 0.09 + 0.25 / size * 6.0
    line = max(0.0, 1.0 - abs(gu - round(gu)) / width) + max(0.0, 1.0 - abs(gv - round(gv)) / width)
    line = min(1.0, line)
    red = red * (1 - line) + 255 * line
    green = green * (1 - line) + (150 + 80 * (1.0 - r)) * line
    blue = blue * (1 - line) + 40 * line
    # A round icon: fully transparent beyond the rim, soft at it.
    alpha = max(0.0, min(1.0, (1.0 - r) * size / 2.0))
    clamp = lambda c: max(0, min(255, int(c)))
    return clamp(blue), clamp(green), clamp(red), clamp(alpha * 255)


def bmp_entry(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):  # bottom-up rows
        rows.append(b''.join(struct.pack('BBBB', *pixel(size, x, y)) for x in range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_row * size)  # the alpha channel decides; mask all opaque
    return header + b''.join(rows) + mask


def png_file(size):
    # Straight RGBA rows, each after a filter byte of 0 (none).
    raw = b''
    for y in range(size):
        raw += b'\0'
        for x in range(size):
            blue, green, red, alpha = pixel(size, x, y)
            raw += struct.pack('BBBB', red, green, blue, alpha)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    if len(sys.argv) == 4 and sys.argv[1] == '--png':
        with open(sys.argv[3], 'wb') as f:
            f.write(png_file(int(sys.argv[2])))
        return
    sizes = [16, 32, 48]
    images = [bmp_entry(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(sys.argv[1], 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main()
