#!/usr/bin/env python3
"""Draws the program's icon: a worksheet page with a title band, a grid and a
small bar chart. Writes the scalable SVG and PNGs at the usual sizes from one
list of shapes, so both always agree. Run it from this folder after changing
the drawing; its outputs are kept in the repository."""
import struct
import zlib
from pathlib import Path

# Shapes on a 256-unit square: (kind, x, y, w, h, radius, rgb).
SHAPES = [
    ("rect", 20, 12, 216, 232, 18, (0x2F, 0x4F, 0x3A)),   # page edge
    ("rect", 26, 18, 204, 220, 13, (0xFF, 0xFF, 0xFF)),   # page
    ("rect", 26, 18, 204, 44, 13, (0x2E, 0x8B, 0x57)),    # title band
    ("rect", 26, 48, 204, 14, 0, (0x2E, 0x8B, 0x57)),     # band's square lower edge
    ("rect", 26, 62, 30, 176, 0, (0xE3, 0xE8, 0xE4)),     # row header
]
for y in range(90, 238, 28):                               # row lines
    SHAPES.append(("rect", 26, y, 204, 3, 0, (0xB8, 0xC4, 0xBC)))
for x in (56, 114, 172):                                   # column lines
    SHAPES.append(("rect", x, 62, 3, 176, 0, (0xB8, 0xC4, 0xBC)))
SHAPES += [                                                # the chart's bars
    ("rect", 128, 170, 24, 56, 3, (0x1F, 0x6F, 0xC5)),
    ("rect", 160, 136, 24, 90, 3, (0xE8, 0x8A, 0x1A)),
    ("rect", 192, 104, 24, 122, 3, (0xC0, 0x39, 0x2B)),
    ("rect", 66, 30, 60, 18, 4, (0xFF, 0xFF, 0xFF)),       # title text stroke
]

def svg():
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    for _, x, y, w, h, r, (cr, cg, cb) in SHAPES:
        out.append(f'  <rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" '
                   f'fill="#{cr:02x}{cg:02x}{cb:02x}"/>')
    out.append("</svg>")
    return "\n".join(out) + "\n"

def inside(shape, px, py):
    _, x, y, w, h, r, _ = shape
    if px < x or py < y or px >= x + w or py >= y + h:
        return False
    cx = min(max(px, x + r), x + w - r)
    cy = min(max(py, y + r), y + h - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r

def png(size):
    sub = 4
    scale = 256 / (size * sub)
    rows = []
    for j in range(size):
        row = bytearray([0])
        for i in range(size):
            acc = [0, 0, 0, 0]
            for sj in range(sub):
                for si in range(sub):
                    px = (i * sub + si + 0.5) * scale
                    py = (j * sub + sj + 0.5) * scale
                    colour = None
                    for shape in SHAPES:
                        if inside(shape, px, py):
                            colour = shape[6]
                    if colour:
                        acc[0] += colour[0]; acc[1] += colour[1]; acc[2] += colour[2]; acc[3] += 255
            n = sub * sub
            alpha = acc[3] // n
            if alpha:
                covered = acc[3] // 255
                row += bytes([acc[0] // covered, acc[1] // covered, acc[2] // covered, alpha])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))

if __name__ == "__main__":
    here = Path(__file__).resolve().parent / "icons"
    here.mkdir(exist_ok=True)
    (here / "talloway.svg").write_text(svg())
    for size in (16, 24, 32, 48, 64, 128, 256):
        (here / f"talloway-{size}.png").write_bytes(png(size))
