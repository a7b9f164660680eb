#!/usr/bin/env python3
"""Draws the program icon and writes resources/kem.ico.

The icon is a pocket calculator whose display shows a rising bar chart. The
output is byte-for-byte reproducible: run this script again after changing the
drawing and commit both files. Images, in the order Windows prefers them:
32x32 in 16 colours, 32x32 in 256 colours, 16x16 in 16 colours.
"""

import os
import struct

# The 16 colours every display of the target systems has (the VGA palette).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# 256 colours: the VGA colours first, then a 6x6x6 colour cube, then black.
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE_256 = VGA + CUBE + [(0, 0, 0)] * (256 - len(VGA) - len(CUBE))

OUTLINE = (16, 24, 48)
BODY = (44, 70, 128)
BODY_LIGHT = (88, 120, 184)
BODY_DARK = (28, 44, 88)
LCD = (168, 212, 150)
LCD_DARK = (24, 72, 32)
KEY = (220, 220, 220)
KEY_SHADOW = (120, 120, 130)
KEY_EQUALS = (232, 112, 40)

# The same drawing in the plain colours of the 16-colour images, where the
# nearest match of the shaded colours would turn the body teal.
PLAIN = {BODY: (0, 0, 128), LCD: (192, 192, 192), LCD_DARK: (0, 128, 0), KEY: (255, 255, 255),
         KEY_EQUALS: (255, 0, 0), OUTLINE: (0, 0, 0)}


def fill(img, x0, y0, x1, y1, colour):
    """Fills the box from (x0, y0) to (x1, y1), both corners included."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def draw_calculator(size, shaded):
    """Returns rows of RGB tuples (None = transparent) for one icon image."""
    img = [[None] * size for _ in range(size)]
    if size == 32:
        left, top, right, bottom = 5, 1, 26, 30
        lcd = (8, 4, 23, 10)
        bars = [(10, 8), (13, 7), (16, 6), (19, 5)]  # (x, top row) of 2-wide bars
        key_x, key_y, key_w, key_h = [8, 14, 20], [13, 17, 21, 25], 4, 3
    else:
        left, top, right, bottom = 2, 0, 13, 15
        lcd = (4, 1, 11, 5)
        bars = [(5, 4), (7, 3), (9, 2)]
        key_x, key_y, key_w, key_h = [4, 7, 10], [7, 10, 13], 2, 2

    # Body with cut corners and a dark outline.
    fill(img, left, top, right, bottom, OUTLINE)
    fill(img, left + 1, top + 1, right - 1, bottom - 1, BODY)
    for (cx, cy) in [(left, top), (right, top), (left, bottom), (right, bottom)]:
        img[cy][cx] = None
    if shaded:
        # Light from the top left: a bright edge there, a dark one opposite.
        fill(img, left + 1, top + 1, right - 1, top + 1, BODY_LIGHT)
        fill(img, left + 1, top + 1, left + 1, bottom - 1, BODY_LIGHT)
        fill(img, left + 2, bottom - 1, right - 1, bottom - 1, BODY_DARK)
        fill(img, right - 1, top + 2, right - 1, bottom - 1, BODY_DARK)

    # The display with its bar chart.
    x0, y0, x1, y1 = lcd
    fill(img, x0, y0, x1, y1, OUTLINE)
    fill(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, LCD)
    bar_w = 2 if size == 32 else 1
    for (bx, by) in bars:
        fill(img, bx, by, bx + bar_w - 1, y1 - 1, LCD_DARK)

    # The keys; the bottom-right one is the equals key.
    for row, ky in enumerate(key_y):
        for col, kx in enumerate(key_x):
            last = row == len(key_y) - 1 and col == len(key_x) - 1
            fill(img, kx, ky, kx + key_w - 1, ky + key_h - 1, KEY_EQUALS if last else KEY)
            if shaded:
                fill(img, kx, ky + key_h - 1, kx + key_w - 1, ky + key_h - 1, KEY_SHADOW)
    return img


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def encode_image(img, bits):
    """One icon image: BITMAPINFOHEADER, palette, colour bits, mask bits."""
    size = len(img)
    palette = VGA if bits == 4 else PALETTE_256
    xor_stride = ((size * bits + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_rows, and_rows = [], []
    for row in reversed(img):  # bottom-up, as in every DIB
        if bits == 4:
            row = [PLAIN.get(c, c) for c in row]
        indexes = [0 if c is None else nearest(palette, c) for c in row]
        if bits == 4:
            packed = bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, size, 2))
        else:
            packed = bytes(indexes)
        xor_rows.append(packed.ljust(xor_stride, b"\0"))
        mask = 0
        for x, c in enumerate(row):
            if c is None:
                mask |= 1 << (size - 1 - x)
        and_rows.append(mask.to_bytes(size // 8, "big").ljust(and_stride, b"\0"))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    quads = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + quads + pixels


def main():
    images = [
        (32, 4, encode_image(draw_calculator(32, False), 4)),
        (32, 8, encode_image(draw_calculator(32, True), 8)),
        (16, 4, encode_image(draw_calculator(16, False), 4)),
    ]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kem.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
