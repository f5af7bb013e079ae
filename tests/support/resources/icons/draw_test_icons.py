#!/usr/bin/env python3
"""Draws the two icons of the window layer's test dialogs as 16x16,
two-colour .ico files: a filled square and an empty frame, told apart at a
glance in a screenshot.

    python3 draw_test_icons.py [output directory]
"""
import os
import struct
import sys

SIZE = 16


def icon(inside):
    """One 16x16 1-bit image: black where inside(x, y), white elsewhere."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    rows = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom row first
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (0 if inside(x, y) else 1)
        rows += struct.pack(">H", bits) + b"\0\0"  # rows are 32-bit aligned
    mask = bytes(4 * SIZE)  # every pixel shown
    image = header + palette + rows + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, 1, 1, len(image), 6 + 16)
    return directory + entry + image


def square(x, y):
    return 3 <= x <= 12 and 3 <= y <= 12


def frame(x, y):
    return (x in (1, 14) and 1 <= y <= 14) or (y in (1, 14) and 1 <= x <= 14)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, inside in (("square", square), ("frame", frame)):
        with open(os.path.join(out, name + ".ico"), "wb") as f:
            f.write(icon(inside))


if __name__ == "__main__":
    main()
