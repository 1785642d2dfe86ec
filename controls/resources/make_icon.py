#!/usr/bin/env python3
"""Draws the program icon (a small camera) and writes vorn_controls.ico.

Run from anywhere: python3 make_icon.py [output]. The .ico is committed, so
the build does not need Python; rerun this after changing the drawing.
"""
import math
import os
import struct
import sys

SIZES = (16, 32, 48)


def pixel(x, y, n):
    """RGBA of pixel (x, y) of an n by n icon, drawn in unit coordinates."""
    u = (x + 0.5) / n
    v = (y + 0.5) / n
    # Viewfinder bump on top of the body.
    if 0.30 <= u <= 0.58 and 0.16 <= v <= 0.30:
        return (60, 64, 72, 255)
    # Body: a rounded rectangle.
    left, right, top, bottom, r = 0.06, 0.94, 0.26, 0.86, 0.10
    cx = min(max(u, left + r), right - r)
    cy = min(max(v, top + r), bottom - r)
    if math.hypot(u - cx, v - cy) <= r:
        d = math.hypot(u - 0.50, v - 0.56)
        if d <= 0.22:  # lens: rim, glass, highlight
            if d > 0.17:
                return (200, 204, 210, 255)
            if math.hypot(u - 0.45, v - 0.51) < 0.05:
                return (230, 240, 255, 255)
            return (30, 90, 170, 255)
        if math.hypot(u - 0.80, v - 0.38) <= 0.045:  # recording light
            return (220, 40, 40, 255)
        return (60, 64, 72, 255)
    return (0, 0, 0, 0)


def image(n):
    rows = []
    for y in range(n - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    xor = b"".join(rows)
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(n):
            if pixel(x, y, n)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "vorn_controls.ico")
    images = [image(n) for n in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
