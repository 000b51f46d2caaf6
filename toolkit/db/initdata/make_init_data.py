#!/usr/bin/python3
"""Builds the toolkit's init data: the code-page maps and the built-in SIMPLEX
and GDT fonts in SHX shape form, as one blob.

Writes a C++ source that holds the blob as a byte array, and a text table of
what every code page must convert each byte and double-byte code to, for the
tests. The output depends only on the inputs, so builds are reproducible.

Blob layout (little-endian): banner line, 'H', NUL; 38 signed 32-bit map
offsets (-1 = absent); SIMPLEX index (16-bit shape number, 32-bit offset) and
shape bytes; GDT index and shape bytes; the maps. A map is 128 16-bit values
for bytes 128..255, a 16-bit pair count n, n ascending double-byte codes and
their n values.
"""

import argparse
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gdt_shapes  # noqa: E402

BANNER = b"Vistrelmar init data: code pages and built-in fonts\nH\0"

# (number, name, map). Pages sharing a map are converted the same way.
CODE_PAGES = [
    (0, "undefined", 0), (1, "ascii", 1),
    (2, "iso8859-1", 2), (3, "iso8859-2", 3), (4, "iso8859-3", 4), (5, "iso8859-4", 5),
    (6, "iso8859-5", 6), (7, "iso8859-6", 7), (8, "iso8859-7", 8), (9, "iso8859-8", 9),
    (10, "iso8859-9", 10), (11, "dos437", 11), (12, "dos850", 12), (13, "dos852", 13),
    (14, "dos855", 14), (15, "dos857", 15), (16, "dos860", 16), (17, "dos861", 17),
    (18, "dos863", 18), (19, "dos864", 19), (20, "dos865", 20), (21, "dos869", 21),
    (22, "dos932", 34), (23, "mac-roman", 22), (24, "big5", 37), (25, "ksc5601", 36),
    (26, "johab", 23), (27, "dos866", 24), (28, "ansi_1250", 25), (29, "ansi_1251", 26),
    (30, "ansi_1252", 27), (31, "gb2312", 35), (32, "ansi_1253", 28), (33, "ansi_1254", 29),
    (34, "ansi_1255", 30), (35, "ansi_1256", 31), (36, "ansi_1257", 32), (37, "ansi_874", 33),
    (38, "ansi_932", 34), (39, "ansi_936", 35), (40, "ansi_949", 36), (41, "ansi_950", 37),
]

# The codec of each map in the blob. Maps 0 and 1 are built by the toolkit
# itself; map 23 (johab) is left out.
MAP_CODECS = {
    2: "iso8859_1", 3: "iso8859_2", 4: "iso8859_3", 5: "iso8859_4", 6: "iso8859_5",
    7: "iso8859_6", 8: "iso8859_7", 9: "iso8859_8", 10: "iso8859_9", 11: "cp437",
    12: "cp850", 13: "cp852", 14: "cp855", 15: "cp857", 16: "cp860", 17: "cp861",
    18: "cp863", 19: "cp864", 20: "cp865", 21: "cp869", 22: "mac_roman", 24: "cp866",
    25: "cp1250", 26: "cp1251", 27: "cp1252", 28: "cp1253", 29: "cp1254", 30: "cp1255",
    31: "cp1256", 32: "cp1257", 33: "cp874", 34: "cp932", 35: "cp936", 36: "cp949",
    37: "cp950",
}
DOUBLE_BYTE_MAPS = {34, 35, 36, 37}
MAP_COUNT = 38

SIMPLEX_COUNT = 100
GDT_COUNT = 103
ABOVE, BELOW = 21, 7
LINE_SPACING = 34
AUTHORED_BEARING = 2
AUTHORED_SPACE = 16


def decode_one(codec, data):
    """The one BMP character `data` decodes to, or None."""
    try:
        text = data.decode(codec)
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 and ord(text) <= 0xFFFF else None


def single_byte_table(codec):
    """Unicode values of bytes 0..255; bytes below 128 map to themselves."""
    return list(range(128)) + [decode_one(codec, bytes([b])) or 0 for b in range(128, 256)]


def double_byte_pairs(codec):
    pairs = []
    for lead in range(1, 256):
        for trail in range(256):
            value = decode_one(codec, bytes([lead, trail]))
            if value is not None:
                pairs.append(((lead << 8) | trail, value))
    return pairs


def map_tables(number):
    """(256 values, sorted pairs) of a map, or None when it is absent."""
    if number == 0:
        return list(range(256)), []
    if number == 1:
        return list(range(128)) + [0] * 128, []
    codec = MAP_CODECS.get(number)
    if codec is None:
        return None
    pairs = double_byte_pairs(codec) if number in DOUBLE_BYTE_MAPS else []
    return single_byte_table(codec), pairs


# ----- SHX shape bytes ------------------------------------------------------

def _vector_bytes():
    steps = [(1, 0), (1, .5), (1, 1), (.5, 1), (0, 1), (-.5, 1), (-1, 1), (-1, .5),
             (-1, 0), (-1, -.5), (-1, -1), (-.5, -1), (0, -1), (.5, -1), (1, -1), (1, -.5)]
    table = {}
    for direction, (sx, sy) in enumerate(steps):
        for length in range(1, 16):
            dx, dy = sx * length, sy * length
            if dx == int(dx) and dy == int(dy):
                table.setdefault((int(dx), int(dy)), (length << 4) | direction)
    return table


VECTOR_BYTES = _vector_bytes()


def signed_byte(value):
    if not -127 <= value <= 127:
        raise ValueError(f"displacement {value} does not fit a shape byte")
    return value & 0xFF


def encode_moves(moves):
    """Displacements as vector bytes where one fits, else code 8 or a code 9 run."""
    out = bytearray()
    pending = []

    def flush():
        if len(pending) >= 4:
            out.append(9)
            for dx, dy in pending:
                out.extend([signed_byte(dx), signed_byte(dy)])
            out.extend([0, 0])
        else:
            for dx, dy in pending:
                out.extend([8, signed_byte(dx), signed_byte(dy)])
        pending.clear()

    for move in moves:
        if move == (0, 0):
            continue
        if move in VECTOR_BYTES:
            flush()
            out.append(VECTOR_BYTES[move])
        else:
            pending.append(move)
    flush()
    return out


def encode_glyph(strokes, advance):
    """One text shape: empty name, pen moves from the baseline origin to the
    advance, and the moves that centre it in a column of vertical text."""
    out = bytearray(b"\0")
    half = advance // 2
    out += bytes([14, 8, signed_byte(-half), signed_byte(-ABOVE)])
    x, y = 0, 0
    for stroke in strokes:
        out.append(2)
        out += encode_moves([(stroke[0][0] - x, stroke[0][1] - y)])
        out.append(1)
        out += encode_moves([(b[0] - a[0], b[1] - a[1]) for a, b in zip(stroke, stroke[1:])])
        x, y = stroke[-1]
    out.append(2)
    out += encode_moves([(advance - x, -y)])
    out += bytes([14, 8, signed_byte(-(advance - half)), signed_byte(-(LINE_SPACING - ABOVE))])
    out.append(0)
    return bytes(out)


def font_info_shape(name):
    return name.encode("ascii") + bytes([0, ABOVE, BELOW, 2, 0])


LINE_FEED_SHAPE = bytes([0, 2, 8, 0, signed_byte(-LINE_SPACING), 0])


def hershey_glyphs(path):
    """Glyphs of a Hershey font file, in file order, as (strokes, advance)
    in SIMPLEX units (baseline 0, y up, left edge at x = 0)."""
    with open(path, "r", encoding="ascii") as f:
        lines = [line.rstrip("\r\n") for line in f]
    glyphs = []
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        if not line.strip():
            continue
        count = int(line[5:8])
        data = line[8:]
        while len(data) < 2 * count and i < len(lines):
            data += lines[i]
            i += 1
        pairs = [(ord(data[k]) - ord("R"), ord(data[k + 1]) - ord("R")) for k in range(0, 2 * count, 2)]
        left, right = pairs[0]
        strokes, current = [], []
        for hx, hy in pairs[1:]:
            if (hx, hy) == (-50, 0):  # " R": pen up
                if current:
                    strokes.append(current)
                current = []
            else:
                current.append((hx - left, 9 - hy))
        if current:
            strokes.append(current)
        glyphs.append((strokes, right - left))
    return glyphs


def authored(strokes):
    """An authored glyph with its bearings and advance."""
    if not strokes:
        return [], AUTHORED_SPACE
    width = max(x for stroke in strokes for x, _ in stroke)
    moved = [[(x + AUTHORED_BEARING, y) for x, y in stroke] for stroke in strokes]
    return moved, width + 2 * AUTHORED_BEARING


def font_shapes(name, glyphs):
    """{shape number: bytes} of a text font from {code: (strokes, advance)}."""
    shapes = {0: font_info_shape(name), 10: LINE_FEED_SHAPE}
    for code, (strokes, advance) in glyphs.items():
        shapes[code] = encode_glyph(strokes, advance)
    return dict(sorted(shapes.items()))


def simplex_shapes(hershey_path):
    # The file holds ASCII 32..126 in order, then the degree sign.
    hershey = hershey_glyphs(hershey_path)
    if len(hershey) != 96:
        raise ValueError(f"{hershey_path}: expected 96 glyphs, found {len(hershey)}")
    glyphs = {32 + i: glyph for i, glyph in enumerate(hershey[:95])}
    glyphs[256] = hershey[95]
    glyphs[257] = authored(gdt_shapes.PLUS_MINUS)
    glyphs[258] = authored(gdt_shapes.DIAMETER)
    return font_shapes("SIMPLEX", glyphs)


def gdt_font_shapes():
    return font_shapes("GDT", {code: authored(strokes) for code, strokes in gdt_shapes.GLYPHS.items()})


def index_and_bytes(shapes, expected_count):
    if len(shapes) != expected_count:
        raise ValueError(f"expected {expected_count} shapes, made {len(shapes)}")
    index, data = bytearray(), bytearray()
    for number, shape in shapes.items():
        index += struct.pack("<HI", number, len(data))
        data += shape
    if len(data) > 8192:
        raise ValueError("a built-in font must fit one 8192-byte page")
    return bytes(index), bytes(data)


# ----- The blob -------------------------------------------------------------

def build_blob(hershey_path):
    simplex_index, simplex_data = index_and_bytes(simplex_shapes(hershey_path), SIMPLEX_COUNT)
    gdt_index, gdt_data = index_and_bytes(gdt_font_shapes(), GDT_COUNT)
    front = simplex_index + simplex_data + gdt_index + gdt_data
    position = len(BANNER) + 4 * MAP_COUNT + len(front)
    offsets, maps = [], bytearray()
    for number in range(MAP_COUNT):
        tables = map_tables(number) if number in MAP_CODECS else None
        if tables is None:
            offsets.append(-1)
            continue
        values, pairs = tables
        offsets.append(position + len(maps))
        maps += struct.pack("<128H", *values[128:])
        maps += struct.pack("<H", len(pairs))
        maps += b"".join(struct.pack("<H", code) for code, _ in pairs)
        maps += b"".join(struct.pack("<H", value) for _, value in pairs)
    blob = BANNER + struct.pack(f"<{MAP_COUNT}i", *offsets) + front + maps
    return blob, len(simplex_data), len(gdt_data)


def write_source(path, blob, simplex_bytes, gdt_bytes):
    rows = []
    for start in range(0, len(blob), 32):
        rows.append(",".join(str(b) for b in blob[start:start + 32]) + ",")
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("// Generated by toolkit/db/initdata/make_init_data.py; do not edit.\n")
        f.write('#include "toolkit/ad.h"\n#include "toolkit/db/init_data_blob.h"\n\n')
        f.write(f"static_assert(AD_SIMPLEX_SHAPE_BYTES == {simplex_bytes}, "
                f"\"AD_SIMPLEX_SHAPE_BYTES must be {simplex_bytes}\");\n")
        f.write(f"static_assert(AD_GDT_SHAPE_BYTES == {gdt_bytes}, \"AD_GDT_SHAPE_BYTES must be {gdt_bytes}\");\n\n")
        f.write(f"const std::uint8_t adInitDataBytes[{len(blob)}] = {{\n")
        f.write("\n".join(rows))
        f.write("\n};\n")
        f.write(f"const std::uint32_t adInitDataLength = {len(blob)};\n")


def write_expectations(path):
    """Per code page: 'page <number> <pair count>', the 256 byte values, then
    the double-byte codes and values, all in hexadecimal; 'absent <number>'
    for a page whose map is not in the data."""
    with open(path, "w", encoding="ascii", newline="\n") as f:
        for number, _, map_number in CODE_PAGES:
            tables = map_tables(map_number)
            if tables is None:
                f.write(f"absent {number}\n")
                continue
            values, pairs = tables
            f.write(f"page {number} {len(pairs)}\n")
            f.write(" ".join(f"{v:x}" for v in values) + "\n")
            for code, value in pairs:
                f.write(f"{code:x} {value:x}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--hershey", required=True, help="the Hershey Roman Simplex font (rowmans.jhf)")
    parser.add_argument("--source", required=True, help="C++ source to write")
    parser.add_argument("--expectations", required=True, help="code-page table for the tests")
    args = parser.parse_args()
    blob, simplex_bytes, gdt_bytes = build_blob(args.hershey)
    write_source(args.source, blob, simplex_bytes, gdt_bytes)
    write_expectations(args.expectations)


if __name__ == "__main__":
    main()
