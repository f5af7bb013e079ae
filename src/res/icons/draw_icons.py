#!/usr/bin/env python3
"""Draws the module's four icons as 32x32, 16-colour .ico files.

    python3 draw_icons.py [output directory]

The pictures are drawn here in code (a fax machine, a fine page, an ultrafine
page with denser lines, a cover sheet) so that they can be changed and drawn
again; the .ico files beside this script are its output.
"""
import os
import struct
import sys

SIZE = 32
# The 16 colours every Windows display has, in the order of its palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, GREY, RED, BLUE, WHITE = 0, 4, 7, 8, 9, 12, 15
CLEAR = None


class Canvas:
    def __init__(self):
        self.pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(self, left, top, right, bottom, colour):
        """Fills the rectangle with corners (left, top) and (right, bottom), inclusive."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.pixels[y][x] = colour

    def frame(self, left, top, right, bottom, colour):
        self.fill(left, top, right, top, colour)
        self.fill(left, bottom, right, bottom, colour)
        self.fill(left, top, left, bottom, colour)
        self.fill(right, top, right, bottom, colour)

    def hline(self, left, right, y, colour):
        self.fill(left, y, right, y, colour)


def page(canvas, left=6, top=1, right=25, bottom=30, fold=6):
    """A white sheet with its top right corner folded over."""
    canvas.fill(left, top, right, bottom, WHITE)
    canvas.frame(left, top, right, bottom, BLACK)
    for i in range(fold):
        # Cut the corner away, then draw the fold's edge and its shadow.
        canvas.fill(right - fold + 1 + i, top, right, top + i, CLEAR)
        canvas.pixels[top + i][right - fold + 1 + i] = BLACK
    canvas.fill(right - fold + 1, top + 1, right - fold + 1, top + fold, BLACK)
    canvas.fill(right - fold + 1, top + fold, right, top + fold, BLACK)
    for i in range(1, fold):
        canvas.fill(right - fold + 2, top + i, right - fold + i, top + i, SILVER)


def fine_page():
    canvas = Canvas()
    page(canvas)
    for y in range(9, 29, 4):
        canvas.hline(9, 22, y, GREY)
    return canvas


def ultrafine_page():
    canvas = Canvas()
    page(canvas)
    for y in range(9, 29, 2):
        canvas.hline(9, 22, y, BLACK)
    return canvas


def cover_sheet():
    canvas = Canvas()
    page(canvas)
    # A title band with "FAX" cut out of it, then address lines and a note.
    canvas.fill(9, 8, 22, 14, NAVY)
    letters = [
        "### ### # #",
        "#   # # # #",
        "##  ###  # ",
        "#   # # # #",
        "#   # # # #",
    ]
    for row, text in enumerate(letters):
        for column, mark in enumerate(text):
            if mark == "#":
                canvas.pixels[9 + row][10 + column] = WHITE
    for y in (17, 19, 21):
        canvas.hline(9, 16, y, GREY)
        canvas.hline(18, 22, y, BLACK)
    for y in (24, 26, 28):
        canvas.hline(9, 22, y, BLUE)
    return canvas


def fax_machine():
    canvas = Canvas()
    # Paper coming out of the top, with a few printed lines.
    canvas.fill(11, 2, 24, 13, WHITE)
    canvas.frame(11, 2, 24, 13, BLACK)
    for y in (5, 7, 9, 11):
        canvas.hline(13, 22, y, GREY)
    # The body.
    canvas.fill(2, 12, 29, 27, SILVER)
    canvas.frame(2, 12, 29, 27, BLACK)
    canvas.fill(3, 27, 29, 28, GREY)
    canvas.fill(10, 13, 25, 14, BLACK)  # the paper slot
    # The handset on the left, lying in its cradle.
    canvas.fill(3, 16, 8, 25, BLACK)
    canvas.fill(4, 17, 7, 18, GREY)
    canvas.fill(4, 23, 7, 24, GREY)
    # A display and the keypad.
    canvas.fill(11, 16, 20, 18, NAVY)
    canvas.fill(12, 17, 15, 17, 14)
    for row in range(3):
        for column in range(3):
            x, y = 12 + column * 3, 20 + row * 2
            canvas.fill(x, y, x + 1, y, BLACK)
    canvas.fill(23, 16, 27, 18, RED)  # the start key
    canvas.fill(23, 21, 27, 25, GREY)
    return canvas


def ico_bytes(canvas):
    """One 32x32 4-bit image with its transparency mask, bottom row first."""
    xor = bytearray()
    mask = bytearray()
    for y in range(SIZE - 1, -1, -1):
        row = canvas.pixels[y]
        for x in range(0, SIZE, 2):
            high = row[x] if row[x] is not CLEAR else 0
            low = row[x + 1] if row[x + 1] is not CLEAR else 0
            xor.append(high << 4 | low)
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (1 if row[x] is CLEAR else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    return directory + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, draw in (("fax_machine", fax_machine), ("fine", fine_page),
                       ("ultrafine", ultrafine_page), ("cover_sheet", cover_sheet)):
        with open(os.path.join(out, name + ".ico"), "wb") as f:
            f.write(ico_bytes(draw()))


if __name__ == "__main__":
    main()
