#!/usr/bin/python3
"""Writes the "System" font that Wine prefixes get for the calculator.

Usage: make-dialog-font.py SOURCE.ttf OUTPUT.ttf

The window's template asks for 8-point "System". This Wine build has no font
of that name and falls back to DejaVu Sans, whose line height is just the
height of its glyphs: 13 pixels at 96 dpi. An 8-unit field is one line high,
and a sunken edge takes a pixel row off its top and bottom, so the lowest two
rows of every text are cut: "$" loses its tail and reads as "S", and so do the
descenders of "Negative", "Too large" and "1.#J". A line two pixel rows deeper
makes the dialog units, and so every field, tall enough for the whole text.

The output is SOURCE with its descent made deeper by two pixel rows at 8
points and 96 dpi and its family renamed "System" (a changed font must not
keep its old name). Needs fontTools (Debian: python3-fonttools).
"""

import math
import sys

from fontTools.ttLib import TTFont

# 8 points at 96 dots per inch: 8 * 96 / 72 pixels per em, rounded up.
PIXELS_PER_EM = math.ceil(8 * 96 / 72)
# The sunken edge: one pixel row above the text and one below.
EDGE_ROWS = 2
FAMILY = "System"


def deepen(font):
    units_per_em = font["head"].unitsPerEm
    extra = math.ceil(EDGE_ROWS * units_per_em / PIXELS_PER_EM)
    # Windows reads the line from usWinAscent/usWinDescent; other systems from
    # hhea or the typographic values. All three stay in step.
    font["OS/2"].usWinDescent += extra
    font["OS/2"].sTypoDescender -= extra
    font["hhea"].descent -= extra


def rename(font):
    names = {1: FAMILY, 3: FAMILY, 4: FAMILY, 6: FAMILY, 16: FAMILY}
    for record in font["name"].names:
        if record.nameID in names:
            record.string = names[record.nameID]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[2])
    font = TTFont(sys.argv[1])
    deepen(font)
    rename(font)
    font.save(sys.argv[2])


if __name__ == "__main__":
    main()
