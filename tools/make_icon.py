#!/usr/bin/env python3
"""Draws the program's icon and writes res/app.ico.

A rounded square with a blue top-to-bottom gradient holding a 2 x 2 grid of
white rounded tiles (the last one half-lit), drawn procedurally at every size
the shell asks for: 16, 20, 24, 32, 40, 48, 64 and 256 pixels. Small sizes
snap the tiles to whole pixels so they stay crisp. Sizes below 256 are stored
as 32-bit DIBs, the 256 one as PNG, the usual layout of a Windows icon.
Standard library only; the output is reproducible.

usage: make_icon.py [OUTPUT.ico] [--png SIZE OUTPUT.png]
"""

import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
TOP = (0x3D, 0x8F, 0xFF)
BOTTOM = (0x1A, 0x56, 0xD0)
SAMPLES = 4  # per axis, for anti-aliasing


def inside_round_rect(x, y, left, top, right, bottom, radius):
    if x < left or x >= right or y < top or y >= bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def geometry(size):
    """Outer square and the four tiles (left, top, right, bottom, radius, alpha)."""
    inset = max(1, round(size / 16)) if size < 48 else size * 0.06
    outer = (inset, inset, size - inset, size - inset, size * 0.22)
    if size <= 40:
        tile = round(size * 0.26)
        gap = max(1, round(size * 0.08))
        if (size - 2 * tile - gap) % 2:
            gap += 1
        start = (size - 2 * tile - gap) // 2
        radius = max(0.8, size * 0.06)
    else:
        tile, gap = size * 0.26, size * 0.07
        start = (size - 2 * tile - gap) / 2
        radius = size * 0.065
    tiles = []
    for row in range(2):
        for col in range(2):
            left = start + col * (tile + gap)
            top = start + row * (tile + gap)
            alpha = 0.7 if (row, col) == (1, 1) else 1.0
            tiles.append((left, top, left + tile, top + tile, radius, alpha))
    return outer, tiles


def render(size):
    """Rows of straight (not premultiplied) RGBA bytes."""
    outer, tiles = geometry(size)
    step = 1.0 / SAMPLES
    offsets = [(i + 0.5) * step for i in range(SAMPLES)]
    n = SAMPLES * SAMPLES
    rows = []
    for y in range(size):
        row = bytearray()
        t = (y + 0.5) / size
        blue = [TOP[i] + (BOTTOM[i] - TOP[i]) * t for i in range(3)]
        for x in range(size):
            cover = 0.0
            color = [0.0, 0.0, 0.0]
            for oy in offsets:
                for ox in offsets:
                    px, py = x + ox, y + oy
                    if not inside_round_rect(px, py, *outer):
                        continue
                    cover += 1
                    white = 0.0
                    for left, top, right, bottom, radius, alpha in tiles:
                        if inside_round_rect(px, py, left, top, right, bottom, radius):
                            white = alpha
                            break
                    for i in range(3):
                        color[i] += blue[i] * (1 - white) + 255 * white
            if cover:
                row += bytes(round(c / cover) for c in color) + bytes([round(255 * cover / n)])
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def dib(size, rows):
    # BITMAPINFOHEADER with the height doubled (colour plus AND mask), rows
    # bottom-up in BGRA, then a 1-bit AND mask padded to 32-bit rows.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    return out + body


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    args = sys.argv[1:]
    if len(args) == 3 and args[0] == "--png":
        size = int(args[1])
        with open(args[2], "wb") as f:
            f.write(png(size, render(size)))
        return
    out = args[0] if args else os.path.join(root, "res", "app.ico")
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png(size, rows) if size >= 256 else dib(size, rows)))
    with open(out, "wb") as f:
        f.write(ico(images))
    print(f"make_icon: {len(images)} sizes, {os.path.getsize(out)} bytes -> {out}")


if __name__ == "__main__":
    main()
