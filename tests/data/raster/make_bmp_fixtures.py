#!/usr/bin/python3
"""Writes the small BMP and ICO fixtures beside this script.

Each header form, depth, compression and layout the decoder reads, made by
ImageMagick and Pillow where they write it, and here by hand where neither
does (top-down rows, bare DIBs, 5-5-5 without masks, 5-6-5 with its
bit-field masks, 64-byte headers, 1- and 4-bit icons with AND masks).

usage: make_bmp_fixtures.py   (needs /usr/bin/convert and python3-pil)
"""
import io
import os
import struct
import subprocess

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "bmp")
CONVERT = "/usr/bin/convert"


def source(width=13, height=7):
    """A picture whose every pixel differs from its neighbours."""
    im = Image.new("RGB", (width, height))
    for y in range(height):
        for x in range(width):
            im.putpixel((x, y), ((x * 19) % 256, (y * 36 + 5) % 256, (x * y * 7 + 40) % 256))
    return im


def with_alpha(im):
    rgba = im.convert("RGBA")
    for y in range(im.height):
        for x in range(im.width):
            r, g, b, _ = rgba.getpixel((x, y))
            rgba.putpixel((x, y), (r, g, b, 0 if (x + y) % 5 == 0 else (255 if x % 3 else 128)))
    return rgba


def magick(im, spec, *options):
    png = io.BytesIO()
    im.save(png, "PNG")
    data = subprocess.run([CONVERT, "png:-", *options, spec + ":-"], input=png.getvalue(),
                          capture_output=True, check=True).stdout
    return data


def pillow(im, fmt="BMP", **params):
    out = io.BytesIO()
    im.save(out, fmt, **params)
    return out.getvalue()


def fields(data):
    """(pixel offset, header size, width, height, bit count, compression) of a BMP file."""
    offset = struct.unpack_from("<I", data, 10)[0]
    size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    return offset, size, width, height, bits, compression


def top_down(data):
    offset, _, width, height, bits, _ = fields(data)
    row = (width * bits + 31) // 32 * 4
    rows = [data[offset + i * row: offset + (i + 1) * row] for i in range(height)]
    head = bytearray(data[:offset])
    struct.pack_into("<i", head, 22, -height)
    return bytes(head) + b"".join(reversed(rows))


def bare_dib(data):
    return data[14:]


def longer_header(data, size):
    """The 40-byte header padded to `size` bytes (pixel offset moved along)."""
    offset, _, _, _, _, _ = fields(data)
    head = bytearray(data[:54])
    struct.pack_into("<I", head, 14, size)
    struct.pack_into("<I", head, 10, offset + size - 40)
    out = bytearray(head) + bytes(size - 40) + data[54:]
    struct.pack_into("<I", out, 2, len(out))
    return bytes(out)


def file_header(info_and_rest, header_size, table_bytes):
    return b"BM" + struct.pack("<IHHI", 14 + len(info_and_rest), 0, 0, 14 + header_size + table_bytes) + info_and_rest


def info_header(width, height, bits, compression=0, size_image=0, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size_image, 2835, 2835, colours, 0)


def rgb16(im, masks):
    """16 bits: 5-5-5 without masks, or the given red, green, blue masks after the header."""
    width, height = im.size
    row = (width + 1) // 2 * 4
    pixels = bytearray()
    for y in reversed(range(height)):
        line = bytearray()
        for x in range(width):
            word = 0
            for value, mask in zip(im.getpixel((x, y)), masks or (0x7C00, 0x03E0, 0x1F)):
                bits = bin(mask).count("1")
                low = (mask & -mask).bit_length() - 1
                word |= (value >> (8 - bits)) << low
            line += struct.pack("<H", word)
        pixels += line + bytes(row - len(line))
    extra = struct.pack("<III", *masks) if masks else b""
    info = info_header(width, height, 16, 3 if masks else 0)
    return file_header(info + extra + pixels, 40, len(extra))


def icon(images):
    """An icon file from (width, height, bits, table, colour rows, mask rows) entries."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, bodies = b"", b""
    for width, height, bits, table, colour, mask in images:
        body = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, len(colour), 0, 0, 0, 0)
        body += table + colour + mask
        entries += struct.pack("<BBBBHHII", width, height, (len(table) // 4) % 256, 0, 1, bits, len(body), offset)
        bodies += body
        offset += len(body)
    return head + entries + bodies


def mask_rows(width, height, transparent):
    row = (width + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(height)):
        line = bytearray(row)
        for x in range(width):
            if transparent(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def indexed_icon(width, height, bits, transparent):
    colours = 1 << bits
    table = b"".join(struct.pack("<BBBB", (i * 97) % 256, (i * 31) % 256, (i * 255 // (colours - 1)), 0)
                     for i in range(colours))
    row = (width * bits + 31) // 32 * 4
    colour = bytearray()
    for y in reversed(range(height)):
        line = bytearray(row)
        for x in range(width):
            index = (x + 2 * y) % (colours - 1)  # the last index stays unused
            if bits == 1:
                line[x // 8] |= index << (7 - x % 8)
            else:
                line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour += line
    return width, height, bits, table, bytes(colour), mask_rows(width, height, transparent)


def main():
    os.makedirs(OUT, exist_ok=True)
    im = source()
    grey = im.convert("L")
    files = {
        # ImageMagick
        "im_core_24.bmp": magick(im, "bmp2"),
        "im_core_1.bmp": magick(im, "bmp2", "-monochrome"),
        "im_info_24.bmp": magick(im, "bmp3"),
        "im_v5_24.bmp": magick(im, "bmp"),
        "im_info_1.bmp": magick(im, "bmp3", "-monochrome"),
        "im_info_4.bmp": magick(im, "bmp3", "-colors", "16", "-type", "Palette"),
        "im_info_8.bmp": magick(source(40, 9), "bmp3", "-colors", "200", "-type", "Palette"),
        "im_rle8.bmp": magick(source(40, 9), "bmp3", "-colors", "200", "-type", "Palette", "-compress", "RLE"),
        # Pillow
        "pil_1.bmp": pillow(im.convert("1")),
        "pil_l.bmp": pillow(grey),
        "pil_p.bmp": pillow(im.convert("P")),
        "pil_rgb.bmp": pillow(im),
        "pil_rgba.bmp": pillow(with_alpha(im)),
        "pil_rgba_16_32.ico": pillow(with_alpha(source(32, 32)), "ICO", sizes=[(16, 16), (32, 32)],
                                     bitmap_format="bmp"),
        "im_4.ico": magick(im, "ico", "-colors", "16", "-type", "Palette"),
        # by hand
        "top_down_24.bmp": top_down(pillow(im)),
        "top_down_8.bmp": top_down(pillow(im.convert("P"))),
        "bare_dib_8.bmp": bare_dib(pillow(im.convert("P"))),
        "header_64_24.bmp": longer_header(pillow(im), 64),
        "rgb555_plain.bmp": rgb16(im, None),
        "rgb565_masks.bmp": rgb16(im, (0xF800, 0x07E0, 0x001F)),
        "mask_1.ico": icon([indexed_icon(9, 5, 1, lambda x, y: x == y)]),
        "mask_4_two_sizes.ico": icon([indexed_icon(7, 3, 4, lambda x, y: x < 2),
                                      indexed_icon(16, 16, 4, lambda x, y: (x * y) % 7 == 3)]),
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
