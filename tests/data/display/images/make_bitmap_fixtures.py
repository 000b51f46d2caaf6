"""Writes the BMP fixtures of the display engine's bitmap reader and, beside
each, Pillow's own decoding of it as a PNG: every depth (1, 4, 8, 24 bits),
the OS/2 header, RLE8 and RLE4 with move escapes, absolute runs and
end-of-line codes. Pillow writes the 1, 8 and 24-bit files itself; it cannot
write 4-bit or RLE files, so those are put together here and Pillow only
reads them. Run with the interpreter that has Pillow."""
import io
import os
import struct

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 13, 7  # an odd width, so rows need padding in every depth


def pattern(x, y):
    return (x * 3 + y * 5) % 16


def palette16():
    return [((i * 16) & 255, (255 - i * 13) & 255, (i * 71) & 255) for i in range(16)]


def bmp(bits, compression, pixels, palette, width=W, height=H, core=False):
    """A BMP file: pixels are the stored bytes, palette (r, g, b) tuples."""
    header = 12 if core else 40
    entry = 3 if core else 4
    offset = 14 + header + entry * len(palette)
    out = b"BM" + struct.pack("<IHHII", offset + len(pixels), 0, 0, offset, header)
    if core:
        out += struct.pack("<HHHH", width, height, 1, bits)
    else:
        out += struct.pack("<iiHHIIiiII", width, height, 1, bits, compression, len(pixels), 2835, 2835,
                           len(palette), 0)
    for r, g, b in palette:
        out += bytes([b, g, r]) + (b"" if core else b"\0")
    return out + pixels


def nibble_rows():
    rows = b""
    for y in range(H):
        line = [pattern(x, y) for x in range(W)] + [0]
        packed = bytes(line[i] << 4 | line[i + 1] for i in range(0, W, 2))
        rows += packed + b"\0" * (-len(packed) % 4)
    return rows


def byte_rows(value):
    rows = b""
    for y in range(H):
        line = bytes(value(x, y) for x in range(W))
        rows += line + b"\0" * (-len(line) % 4)
    return rows


def rle8():
    # Row 0: a run, an absolute run (odd, padded), end of line. Row 1: a move
    # by (4, 2) leaves pixels as entry 0, then a run on row 3. The last row is
    # full before the end-of-bitmap code: some Pillow releases refuse a
    # picture that code leaves short.
    return [bytes([5, 3, 0, 5, 1, 2, 3, 4, 5, 0, 3, 9, 0, 0, 2, 7]), (MOVE, 4, 2),
            bytes([6, 12, 0, 0, 13, 6, 0, 0, 7, 11, 6, 2, 0, 0, 13, 1, 0, 1])]


def rle4():
    # Absolute runs of a multiple of four nibbles: the only lengths whose
    # padding every reader agrees on.
    return [bytes([5, 0x3A, 0, 4, 0x12, 0x34, 3, 0x9F, 0, 0, 2, 0x7E]), (MOVE, 3, 2),
            bytes([7, 0xC1, 0, 0, 0, 12, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 1, 0xD0, 0, 0,
                   13, 0xB0, 0, 0, 13, 0x45, 0, 1])]


PILLOW_READS_MOVES_TWICE = False
MOVE = "move"  # stands for a move escape in a list of RLE codes


def rle_file(bits, compression, parts, pillow):
    """parts: bytes, or (MOVE, dx, dy). Some Pillow releases read two bytes
    too many after a move escape; the file Pillow is given then carries the
    move's two bytes twice, so that its decoding is what the codes mean."""
    codes = b""
    for part in parts:
        if isinstance(part, tuple):
            move = bytes([0, 2, part[1], part[2]])
            codes += move + (move[2:] if pillow and PILLOW_READS_MOVES_TWICE else b"")
        else:
            codes += part
    return bmp(bits, compression, codes, palette16())


def pillow_reads_moves_twice():
    probe = io.BytesIO(bmp(8, 1, bytes([0, 2, 1, 0, 1, 5, 0, 1]), palette16(), width=2, height=2))
    return Image.open(probe).getpixel((1, 1)) != 5


def write(name, data, pillow_data=None):
    path = os.path.join(HERE, name + ".bmp")
    with open(path, "wb") as f:
        f.write(data)
    Image.open(io.BytesIO(pillow_data or data)).convert("RGB").save(os.path.join(HERE, name + ".png"))


def main():
    global PILLOW_READS_MOVES_TWICE
    PILLOW_READS_MOVES_TWICE = pillow_reads_moves_twice()
    grey = Image.new("L", (W, H))
    grey.putdata([pattern(x, y) * 17 for y in range(H) for x in range(W)])
    mono = grey.point(lambda v: 255 if v > 120 else 0).convert("1")
    mono.save(os.path.join(HERE, "mono1.bmp"))
    mono.convert("RGB").save(os.path.join(HERE, "mono1.png"))
    paletted = grey.convert("P")
    paletted.save(os.path.join(HERE, "palette8.bmp"))
    paletted.convert("RGB").save(os.path.join(HERE, "palette8.png"))
    rgb = Image.new("RGB", (W, H))
    rgb.putdata([(x * 19, y * 36, (x * y * 7) & 255) for y in range(H) for x in range(W)])
    rgb.save(os.path.join(HERE, "rgb24.bmp"))
    rgb.save(os.path.join(HERE, "rgb24.png"))
    write("nibble4", bmp(4, 0, nibble_rows(), palette16()))
    write("os2core8", bmp(8, 0, byte_rows(pattern), palette16(), core=True))
    for name, bits, compression, parts in (("rle8", 8, 1, rle8()), ("rle4", 4, 2, rle4())):
        write(name, rle_file(bits, compression, parts, False), rle_file(bits, compression, parts, True))


if __name__ == "__main__":
    main()
