#!/usr/bin/env python3
"""Draws res/archive/res/images/Shadow2.png, the soft shadow around windows.

A 32 x 32 RGBA image drawn as a nine-slice with 12-pixel borders: black whose
alpha falls off smoothly with the distance from the 8 x 8 centre, which stands
for the window itself. Standard library only; the output is reproducible.

usage: make_shadow.py [OUTPUT]
"""

import math
import os
import struct
import sys
import zlib

SIZE = 32
BORDER = 12
MAX_ALPHA = 72  # of 255 at the window's edge


def alpha_at(x, y):
    # Distance from the pixel centre to the inner rectangle.
    cx, cy = x + 0.5, y + 0.5
    dx = max(BORDER - cx, 0.0, cx - (SIZE - BORDER))
    dy = max(BORDER - cy, 0.0, cy - (SIZE - BORDER))
    d = math.hypot(dx, dy) / BORDER
    if d >= 1.0:
        return 0
    # Gaussian-like falloff that reaches zero at the image edge.
    return round(MAX_ALPHA * math.exp(-4.0 * d * d) * (1.0 - d))


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res/archive/res/images/Shadow2.png")
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            row += [0, 0, 0, alpha_at(x, y)]
        rows.append(row)
    with open(out, "wb") as f:
        f.write(png(SIZE, SIZE, rows))


if __name__ == "__main__":
    main()
