#!/usr/bin/python3
"""Writes the small GIF, PCX, TGA and WBMP fixtures beside this script.

GIF: animations with every disposal method, transparent frames, frames with
local colour tables, an interlaced picture (Pillow writes them). PCX: every
layout the decoder reads (Pillow for 1-bit, 8-bit and 24-bit; by hand for
2- and 4-bit packed pixels, 1-bit planes, and 8-bit RGBA planes). TGA: every
image type, both row orders, right-to-left pixels, 16- and 32-bit pixels,
a 16-bit colour map and a run packet crossing a row end. WBMP: by hand,
with a width that takes two bytes.

usage: make_gif_pcx_tga_fixtures.py   (needs python3-pil)
"""
import os
import struct

from PIL import Image

from make_bmp_fixtures import source

HERE = os.path.dirname(os.path.abspath(__file__))


def out(folder, name):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    return os.path.join(HERE, folder, name)


def palette_frame(width, height, colours, seed):
    im = Image.new("P", (width, height))
    im.putpalette([c for i in range(colours) for c in ((i * 37 + seed) % 256, (i * 91) % 256, (i * 53 + 7) % 256)])
    for y in range(height):
        for x in range(width):
            im.putpixel((x, y), (x * 3 + y * 5 + seed) % colours)
    return im


def gifs():
    for disposal in range(4):
        first = palette_frame(20, 16, 8, 0)
        frames = [palette_frame(9, 7, 8, k) for k in (1, 2, 3)]
        # Frames smaller than the screen, placed apart, so that each disposal shows.
        canvas = [first]
        for k, frame in enumerate(frames):
            full = first.copy()
            full.paste(frame, (2 + 4 * k, 3 + 2 * k))
            canvas.append(full)
        canvas[0].save(out("gif", f"dispose_{disposal}.gif"), save_all=True, append_images=canvas[1:],
                       disposal=disposal, optimize=False, duration=50, loop=0)
    # Transparent index in later frames: the screen shows through.
    base = palette_frame(16, 12, 16, 4)
    over = base.copy()
    for y in range(12):
        for x in range(16):
            over.putpixel((x, y), 0 if (x + y) % 3 else (x + 5) % 16)
    base.save(out("gif", "transparent_frames.gif"), save_all=True, append_images=[over], transparency=0,
              disposal=1, optimize=False)
    # Frames with local tables of their own.
    a, b = palette_frame(12, 10, 4, 1), palette_frame(12, 10, 64, 9)
    a.save(out("gif", "local_tables.gif"), save_all=True, append_images=[b], optimize=False)
    palette_frame(11, 10, 32, 2).save(out("gif", "interlaced.gif"), interlace=True, optimize=False)
    palette_frame(9, 5, 2, 0).save(out("gif", "two_colours.gif"), optimize=False)


def pcx_header(width, height, bits, planes, bytes_per_line, colours16=b""):
    header = struct.pack("<BBBBHHHHHH", 10, 5, 1, bits, 0, 0, width - 1, height - 1, 72, 72)
    header += colours16.ljust(48, b"\0") + bytes([0, planes]) + struct.pack("<HH", bytes_per_line, 1)
    return header.ljust(128, b"\0")


def pcx_runs(data):
    coded = bytearray()
    i = 0
    while i < len(data):
        n = 1
        while i + n < len(data) and data[i + n] == data[i] and n < 63:
            n += 1
        if n > 1 or data[i] >= 0xC0:
            coded += bytes([0xC0 | n, data[i]])
        else:
            coded.append(data[i])
        i += n
    return bytes(coded)


def pcxs():
    im = source(13, 7)
    im.save(out("pcx", "rgb24.pcx"))
    im.quantize(200).save(out("pcx", "pal8_odd.pcx"))
    im.convert("1").save(out("pcx", "mono.pcx"))
    colours16 = bytes(c for i in range(16) for c in ((i * 16) % 256, (255 - i * 16) % 256, (i * 40) % 256))
    width, height = 11, 5
    index = [[(x * 7 + y * 3) % 16 for x in range(width)] for y in range(height)]
    for bits in (2, 4):
        per = 8 // bits
        bpl = (width + per - 1) // per
        bpl += bpl & 1
        rows = b""
        for y in range(height):
            line = bytearray(bpl)
            for x in range(width):
                line[x // per] |= (index[y][x] % (1 << bits)) << (8 - bits * (x % per + 1))
            rows += pcx_runs(bytes(line))
        open(out("pcx", f"packed{bits}.pcx"), "wb").write(pcx_header(width, height, bits, 1, bpl, colours16) + rows)
    for planes in (2, 3, 4):
        bpl = 2
        rows = b""
        for y in range(height):
            for plane in range(planes):
                line = bytearray(bpl)
                for x in range(width):
                    line[x // 8] |= ((index[y][x] >> plane) & 1) << (7 - x % 8)
                rows += pcx_runs(bytes(line))
        open(out("pcx", f"planes{planes}.pcx"), "wb").write(pcx_header(width, height, 1, planes, bpl, colours16) + rows)
    rgba = source(9, 4).convert("RGBA")
    rows = b""
    for y in range(4):
        for channel in range(4):
            rows += pcx_runs(bytes(rgba.getpixel((x, y))[channel] if channel < 3 else x * 28 for x in range(9)) + b"\0")
    open(out("pcx", "rgba_planes.pcx"), "wb").write(pcx_header(9, 4, 8, 4, 10) + rows)


def tga_header(kind, width, height, depth, descriptor=0, map_length=0, map_entry=0):
    return struct.pack("<BBBHHBHHHHBB", 0, 1 if map_length else 0, kind, 0, map_length, map_entry, 0, 0, width, height,
                       depth, descriptor)


def tgas():
    im = source(13, 7)
    for rle in (False, True):
        suffix = "rle" if rle else "raw"
        for origin in ("bl", "tl"):
            im.save(out("tga", f"rgb_{suffix}_{origin}.tga"), rle=rle, orientation=1 if origin == "tl" else -1)
        im.convert("L").save(out("tga", f"grey_{suffix}.tga"), rle=rle)
        im.quantize(64).save(out("tga", f"pal_{suffix}.tga"), rle=rle)
        rgba = im.convert("RGBA")
        rgba.putalpha(Image.linear_gradient("L").resize(im.size))
        rgba.save(out("tga", f"rgba_{suffix}_tl.tga"), rle=rle, orientation=1)
    width, height = 5, 3
    # 16-bit pixels, 7FFF among them.
    values = [0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x1234, 0x8421, 0x0000, 0x4210, 0x2108, 0x5AD6, 0x6318, 0x7BDE, 0x0C63,
              0x3DEF, 0x294A]
    pixels = struct.pack("<15H", *values)
    open(out("tga", "rgb16.tga"), "wb").write(tga_header(2, width, height, 16) + pixels)
    # Right to left.
    colours = bytes((i * 17) % 256 for i in range(width * height * 3))
    open(out("tga", "rgb_mirrored.tga"), "wb").write(tga_header(2, width, height, 24, 0x10) + colours)
    # A 16-bit colour map.
    open(out("tga", "map16.tga"), "wb").write(tga_header(1, width, height, 8, 0, 15, 16) + pixels +
                                               bytes(i % 15 for i in range(width * height)))
    # Run packets that run on past the row's end into the next row.
    data = bytes([0x86, 10, 20, 30, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x84, 200, 100, 50])
    open(out("tga", "rle_crossing.tga"), "wb").write(tga_header(10, width, height, 24, 0x20) + data)


def wbmps():
    for width, height in ((13, 5), (130, 3)):
        row = (width + 7) // 8
        data = bytes(((y * 37 + x * 11) & 0xFF) for y in range(height) for x in range(row))
        size = bytes([width]) if width < 128 else bytes([0x80 | width >> 7, width & 0x7F])
        open(out("wbmp", f"mono_{width}.wbmp"), "wb").write(b"\0\0" + size + bytes([height]) + data)


if __name__ == "__main__":
    gifs()
    pcxs()
    tgas()
    wbmps()
