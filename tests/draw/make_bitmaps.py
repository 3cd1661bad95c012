#!/usr/bin/env python3
"""Writes the bitmap resources the framed panel tests compile into their
executable: a 40-byte bitmap information header followed by the pixels.

usage: make_bitmaps.py OUTDIR
"""
import os
import struct
import sys


def header(width, height, bits):
    image = (bits // 8) * width * abs(height)
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image, 0, 0, 0, 0)


def bitmap32(width, height, pixel):
    """pixel(column, screen_row) -> (blue, green, red, alpha); rows are stored
    bottom-up for a positive height and top-down for a negative one."""
    rows = abs(height)
    order = range(rows - 1, -1, -1) if height > 0 else range(rows)
    data = bytearray(header(width, height, 32))
    for row in order:
        for col in range(width):
            data += bytes(pixel(col, row))
    return bytes(data)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        # opaque, every pixel different: shows position and row order
        '101.bin': bitmap32(16, 16, lambda c, r: (16 * c, 16 * r, 200, 255)),
        # opaque and stored top-down
        '102.bin': bitmap32(4, 3, lambda c, r: (10 + 40 * r, 40 * r, 30 + 50 * c, 255)),
        # 24 bits per pixel: not usable as an icon
        '103.bin': header(16, 16, 24) + bytes(16 * 16 * 3),
        # a 32-bit header whose pixel data is cut short
        '104.bin': header(16, 16, 32) + bytes(100),
        # fully transparent red
        'LOGO.bin': bitmap32(16, 16, lambda c, r: (0, 0, 255, 0)),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
