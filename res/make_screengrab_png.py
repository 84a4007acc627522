#!/usr/bin/env python3
"""Draws the main window's screengrab button image (68 x 25, 8-bit RGBA) into screengrab.png.

A light rounded pill with a camera on the left and a small chevron on the right (the button
opens a menu). Shapes are signed-distance functions sampled 4 x 4 per pixel for smooth edges.
Rows are written with the PNG filter that packs best, so the program's reader meets all kinds.
Run: python3 res/make_screengrab_png.py
"""
import math
import os
import struct
import zlib

WIDTH, HEIGHT, SAMPLES = 68, 25, 4

FILL = (0xF3, 0xF6, 0xFA)
BORDER = (0xB7, 0xC3, 0xD3)
INK = (0x1B, 0x30, 0x4F)
LENS = (0x3C, 0x7F, 0xB1)


def rounded_box(px, py, cx, cy, half_w, half_h, radius):
    qx = abs(px - cx) - half_w + radius
    qy = abs(py - cy) - half_h + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def segment(px, py, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - half_width


def layers(px, py):
    """(colour, coverage) from bottom to top for one sample point."""
    pill = rounded_box(px, py, 34.0, 12.5, 33.0, 11.5, 11.0)
    yield BORDER, pill <= 0
    yield FILL, pill <= -1.0
    body = rounded_box(px, py, 22.0, 13.5, 10.0, 6.5, 2.0)
    bump = rounded_box(px, py, 19.5, 6.5, 3.5, 1.5, 1.0)
    yield INK, body <= 0 or bump <= 0
    yield FILL, circle(px, py, 22.0, 13.5, 4.6) <= 0
    yield LENS, circle(px, py, 22.0, 13.5, 3.2) <= 0
    yield FILL, circle(px, py, 29.0, 10.0, 0.9) <= 0
    chevron = min(segment(px, py, 46.0, 11.0, 50.0, 15.0, 0.9), segment(px, py, 50.0, 15.0, 54.0, 11.0, 0.9))
    yield INK, chevron <= 0


def pixel(x, y):
    total = [0.0, 0.0, 0.0, 0.0]  # premultiplied r, g, b and alpha
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px, py = x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES
            colour, alpha = (0, 0, 0), 0.0
            for c, covered in layers(px, py):
                if covered:
                    colour, alpha = c, 1.0
            for i in range(3):
                total[i] += colour[i] * alpha
            total[3] += alpha
    n = SAMPLES * SAMPLES
    a = total[3] / n
    if a == 0:
        return (0, 0, 0, 0)
    return tuple(round(total[i] / n / a) for i in range(3)) + (round(a * 255),)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filtered(kind, row, prior, bpp=4):
    out = bytearray()
    for i, v in enumerate(row):
        left = row[i - bpp] if i >= bpp else 0
        up = prior[i]
        up_left = prior[i - bpp] if i >= bpp else 0
        predictor = [0, left, up, (left + up) // 2, paeth(left, up, up_left)][kind]
        out.append((v - predictor) & 0xFF)
    return bytes([kind]) + bytes(out)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def main():
    rows = [bytes(v for x in range(WIDTH) for v in pixel(x, y)) for y in range(HEIGHT)]
    raw, prior = bytearray(), bytes(WIDTH * 4)
    for row in rows:
        # The usual heuristic: the filter whose bytes, read as signed, sum smallest.
        candidates = [filtered(k, row, prior) for k in range(5)]
        raw += min(candidates, key=lambda f: sum(min(b, 256 - b) for b in f[1:]))
        prior = row
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "screengrab.png")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
