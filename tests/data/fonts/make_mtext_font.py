"""Writes boxes.shx, the shape font the MTEXT layout tests measure with, so
that every width and height can be worked out by hand.

boxes.shx (shapes 1.1, above 10, below 2), by shape number:
  32 space: pen up, 6 right
  33 to 126 but 'g': a box of ink from x 1 to 5 and y 0 to 10, then the
     pen ends at x 6 (the advance)
  103 g: the same box reaching down to y -2
"""

import os
import struct

from make_fonts import SHAPES_SIGNATURE, shape

HERE = os.path.dirname(os.path.abspath(__file__))

BOX = [2, 0x10, 1, 0x40, 0xA4, 0x48, 0xAC, 2, 0x50, 0]
DESCENDER = [2, 0x10, 0x2C, 1, 0x40, 0xC4, 0x48, 0xCC, 2, 0x24, 0x50, 0]


def boxes_font():
    shapes = [(0, shape([10, 2, 0, 0], b"BOXES")), (32, shape([2, 0x60, 0]))]
    for number in range(33, 127):
        shapes.append((number, shape(DESCENDER if number == ord("g") else BOX)))
    out = bytearray(SHAPES_SIGNATURE)
    out += struct.pack("<hhh", 0, 126, len(shapes))
    for number, data in shapes:
        out += struct.pack("<HH", number, len(data))
    for _, data in shapes:
        out += data
    return bytes(out)


if __name__ == "__main__":
    with open(os.path.join(HERE, "boxes.shx"), "wb") as f:
        f.write(boxes_font())
