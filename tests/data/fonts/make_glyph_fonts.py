"""Writes the small shape fonts the glyph interpreter's tests draw with, one
shape per behaviour, so that every stroke can be predicted by hand.

glyphs.shx (shapes 1.1, above 10, below 2), by shape number:
  32 space: pen up, 8 right        63 ?: 4 right        37 %: 2 right
  48 0: 3 right                     49 1: 5 right
  65 A: the sixteen vectors of length 1, in direction order
  66 B: right, pen up, right, pen down, right
  67 C: times 2, 1 right, divided by 4, 1 right
  68 D: code 8 (3, -2), code 9 (1, 1) (2, 0)
  69 E: octant arc radius 3, counter-clockwise from octant 1, one octant
  70 F: fractional arc, offsets 64 and 128, radius 3, from octant 1, two octants
  71 G: octant arc radius 2, clockwise from octant 2, two octants
  72 H: bulge 127 over (8, 0); code 13: bulge -127 over (8, 0), a straight (0, 8)
  73 I: 1 up
  74 J: code 14 before displacement (5, 5), then 1 right
  75 K: right, push, up, pop, down
  76 L: code 14, code 14, 1 up, then 1 left, 1 right
  77 M: code 14 before a code 9 run, then 1 right
  78 N: code 14 before subshape I, then 1 right
  85 U: right, subshape I, right
  82 R: right, then itself as a subshape
  88 X: six pushes, then right
  90 Z: right, divide by 0, right
  81 Q: bulge 127 over (0, 0), then right
  256, 257, 258 (degree, plus-minus, diameter): vectors 0x11, 0x12, 0x13
glyphbig.shx: bigfont, character height 8, escape range 0x81..0x82:
  0x8140: 8 up; 0x8141: extended subshape 0x8140 at offset (2, 1) in a box
  4 by 4, then 1 right; 0x8142: subshape 0x81 0x40, then 1 right
glyphuni.shx: unifont, above 10, below 2:
  0x41: 1 right; 0xB0: 0x14; 0xB1: 0x24; 0x2205: 0x34;
  0x4E00: subshape 0x0041 (two bytes), then up 1; 0x3F ?: 4 right
"""

import os
import struct

from make_fonts import BIGFONT_SIGNATURE, probe_start, shape, shapes_file

HERE = os.path.dirname(os.path.abspath(__file__))
UNIFONT_SIGNATURE = b"AutoCAD-86 unifont 1.0\r\n\x1a"


def glyphs_font():
    shapes = [
        (0, shape([10, 2, 0, 0], b"GLYPHS")),
        (32, shape([2, 0x80, 0])),
        (37, shape([0x20, 0])),
        (48, shape([0x30, 0])),
        (49, shape([0x50, 0])),
        (63, shape([0x40, 0])),
        (65, shape(list(range(0x10, 0x20)) + [0])),
        (66, shape([0x10, 2, 0x10, 1, 0x10, 0])),
        (67, shape([4, 2, 0x10, 3, 4, 0x10, 0])),
        (68, shape([8, 3, 0xFE, 9, 1, 1, 2, 0, 0, 0, 0])),
        (69, shape([10, 3, 0x11, 0])),
        (70, shape([11, 64, 128, 0, 3, 0x12, 0])),
        (71, shape([10, 2, 0xA2, 0])),
        (72, shape([12, 8, 0, 127, 13, 8, 0, 0x81, 0, 8, 0, 0, 0, 0])),
        (73, shape([0x14, 0])),
        (74, shape([14, 8, 5, 5, 0x10, 0])),
        (75, shape([0x10, 5, 0x14, 6, 0x1C, 0])),
        (76, shape([14, 14, 0x14, 0x18, 0x10, 0])),
        (77, shape([14, 9, 1, 1, 2, 2, 0, 0, 0x10, 0])),
        (78, shape([14, 7, 73, 0x10, 0])),
        (81, shape([12, 0, 0, 127, 0x10, 0])),
        (82, shape([0x10, 7, 82, 0])),
        (85, shape([0x10, 7, 73, 0x10, 0])),
        (88, shape([5, 5, 5, 5, 5, 5, 0x10, 0])),
        (90, shape([0x10, 3, 0, 0x10, 0])),
        (256, shape([0x11, 0])),
        (257, shape([0x12, 0])),
        (258, shape([0x13, 0])),
    ]
    return shapes_file(shapes)


def big_font():
    info = shape([8, 0, 0, 8], b"GLYPHBIG")
    glyphs = [
        (0x8140, shape([0x84, 0])),
        (0x8141, shape([7, 0, 0x81, 0x40, 2, 1, 4, 4, 0x10, 0])),
        (0x8142, shape([7, 0x81, 0x40, 0x10, 0])),
    ]
    n = 8
    ranges = [(0x81, 0x82)]
    index_start = len(BIGFONT_SIGNATURE) + 6 + 4 * len(ranges)
    data_start = index_start + 8 * n
    data = bytearray(info)
    entries = {0: (len(info), data_start)}
    for code, body in glyphs:
        entries[code] = (len(body), data_start + len(data))
        data += body
    slots = [None] * n
    for code in entries:
        slot = probe_start(code, n) if code else 0
        while slots[slot] is not None:
            slot = (slot + 1) % n
        slots[slot] = code
    out = bytearray(BIGFONT_SIGNATURE)
    out += struct.pack("<hhh", n, n, len(ranges))
    for start, end in ranges:
        out += struct.pack("<HH", start, end)
    for code in slots:
        length, offset = entries[code] if code is not None else (0, 0)
        out += struct.pack("<HHI", code or 0, length, offset)
    out += data
    return bytes(out)


def unifont():
    shapes = [
        (0, shape([10, 2, 0, 0], b"GLYPHUNI")),
        (0x3F, shape([0x40, 0])),
        (0x41, shape([0x10, 0])),
        (0xB0, shape([0x14, 0])),
        (0xB1, shape([0x24, 0])),
        (0x2205, shape([0x34, 0])),
        (0x4E00, shape([7, 0x00, 0x41, 0x14, 0])),
    ]
    out = bytearray(UNIFONT_SIGNATURE)
    out += struct.pack("<H", len(shapes))
    for number, data in shapes:
        out += struct.pack("<HH", number, len(data)) + data
    return bytes(out)


if __name__ == "__main__":
    for name, content in (("glyphs.shx", glyphs_font()), ("glyphbig.shx", big_font()), ("glyphuni.shx", unifont())):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(content)
