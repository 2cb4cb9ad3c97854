#!/usr/bin/env python3
"""Draws the macro buttons' glyph strip MACROS.BTN: 50 pictures of 20 x 20
pixels one above the other (20 x 1000), a 24-bit Windows bitmap. Each
picture is one of five light shapes in one of ten colours, so that the two
letters of a button's name stay readable over it.
    python3 data/make_glyphs.py data/MACROS.BTN"""
import struct
import sys

FACE = (0xF0, 0xF0, 0xF0)
COLOURS = [(0xFF, 0xB0, 0xB0), (0xB0, 0xE0, 0xB0), (0xB0, 0xC8, 0xFF), (0xFF, 0xE0, 0x90),
           (0xE0, 0xB0, 0xF0), (0xA0, 0xE8, 0xE8), (0xFF, 0xC8, 0xE0), (0xD0, 0xD0, 0xA0),
           (0xC0, 0xC0, 0xC0), (0xFF, 0xD0, 0xA0)]


def inside(shape, x, y):
    cx, cy = x - 9.5, y - 9.5
    if shape == 0:  # a disc
        return cx * cx + cy * cy <= 72
    if shape == 1:  # a square
        return abs(cx) <= 7 and abs(cy) <= 7
    if shape == 2:  # a diamond
        return abs(cx) + abs(cy) <= 9
    if shape == 3:  # a triangle pointing up
        return 3 <= y <= 17 and abs(cx) <= (y - 3) * 0.6
    return max(abs(cx), abs(cy)) <= 8 and (abs(cx) <= 3 or abs(cy) <= 3)  # a cross


def glyph(i, x, y):
    colour = COLOURS[i % 10]
    if not inside(i // 10, x, y):
        return FACE
    edge = any(not inside(i // 10, x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    return tuple(c // 2 for c in colour) if edge else colour


def main(path):
    width, height = 20, 1000
    row_bytes = width * 3  # 60: already a multiple of 4
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom row first
        for x in range(width):
            r, g, b = glyph(y // 20, x, y % 20)
            data += bytes((b, g, r))
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    assert len(data) == row_bytes * height
    with open(path, "wb") as f:
        f.write(header + info + bytes(data))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "MACROS.BTN")
