"""Writes the small shape files the font tests use for what real fonts do not
show: bad shape codes, subshape loops, the bigfont hash table.

edge.shx (shapes 1.1), by shape number:
  0 font information EDGE, above 10, below 2, modes 0
  32 space, advancing 8; there is no '?', so missing characters draw a space
  65 A calls itself as a subshape            66 B pushes five positions
  67 C draws a line, then unknown code 15    68 D divides by 0
  70 F and 71 G call each other              72 H calls I, then moves right
  73 I draws one unit up                     86 V moves (5, 5) in vertical text only
  127 and 248 are empty, so the font is of the special kind
  90 Z comes last in the file and has no end code
bigfont.shx: escape range 0x81..0x9F; 0x8140 draws up, 'A' draws right,
  0xA141 (lead byte outside the range) draws down; the entry of WRAP (below)
  lies before the slot its hash points at; one entry points past the file.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SHAPES_SIGNATURE = b"AutoCAD-86 shapes 1.1\r\n\x1a"
BIGFONT_SIGNATURE = b"AutoCAD-86 bigfont 1.0\r\n\x1a"


def shape(body, name=b""):
    return name + b"\0" + bytes(body)


def edge_font():
    shapes = [
        (0, shape([10, 2, 0, 0], b"EDGE")),
        (32, shape([2, 0x80, 0])),
        (65, shape([7, 65, 0])),
        (66, shape([5, 5, 5, 5, 5, 0])),
        (67, shape([0x14, 15, 0x14, 0])),
        (68, shape([3, 0, 0x14, 0])),
        (70, shape([0x10, 7, 71, 0])),
        (71, shape([0x10, 7, 70, 0])),
        (72, shape([7, 73, 0x10, 0])),
        (73, shape([0x14, 0])),
        (86, shape([14, 8, 5, 5, 0x10, 0])),
        (127, shape([0])),
        (248, shape([0])),
        (90, shape([0x10, 0x10])),
    ]
    return shapes_file(shapes)


def shapes_file(shapes):
    """A shapes 1.1 file of (number, bytes) pairs, in the order given."""
    out = bytearray(SHAPES_SIGNATURE)
    out += struct.pack("<hhh", 0, max(number for number, _ in shapes), len(shapes))
    for number, data in shapes:
        out += struct.pack("<HH", number, len(data))
    for _, data in shapes:
        out += data
    return bytes(out)


def probe_start(code, n):
    swapped = ((code & 0xFF) << 8) | (code >> 8)
    start = swapped % n - 1
    return 0 if start < 0 or start >= n - 2 else start


N = 8
WRAP = next(c for c in range(0x8241, 0xA000) if probe_start(c, N) >= 3)


def bigfont():
    info = shape([0, 0, 2, 9], b"BIGTEST")
    glyphs = [
        (0x8140, shape([0x14, 0])),
        (0x0041, shape([0x10, 0])),
        (0xA141, shape([0x1C, 0])),
        (WRAP, shape([0x24, 0])),
    ]
    ranges = [(0x81, 0x9F)]
    index_start = len(BIGFONT_SIGNATURE) + 6 + 4 * len(ranges)
    data_start = index_start + 8 * N
    data = bytearray(info)
    offsets = {0: data_start}
    for code, body in glyphs:
        offsets[code] = data_start + len(data)
        data += body
    slots = [None] * N
    slots[0] = 0  # the font information
    slots[1] = WRAP  # before its probe start, reached only by wrapping
    for code, _ in glyphs:
        if code == WRAP:
            continue
        slot = probe_start(code, N)
        while slots[slot] is not None:
            slot += 1
        slots[slot] = code
    assert probe_start(WRAP, N) > 1
    out = bytearray(BIGFONT_SIGNATURE)
    out += struct.pack("<hhh", N, N, len(ranges))
    for start, end in ranges:
        out += struct.pack("<HH", start, end)
    lengths = {0: len(info)}
    lengths.update({code: len(body) for code, body in glyphs})
    for slot, code in enumerate(slots):
        if code is None and slot == N - 1:
            out += struct.pack("<HHI", 0x4183, 2, 99999)  # points past the file
        elif code is None:
            out += struct.pack("<HHI", 0, 0, 0)
        else:
            out += struct.pack("<HHI", code, lengths[code], offsets[code])
    out += data
    return bytes(out)


if __name__ == "__main__":
    for name, content in (("edge.shx", edge_font()), ("bigfont.shx", bigfont())):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(content)
    print(f"WRAP = {WRAP:#06x}")
