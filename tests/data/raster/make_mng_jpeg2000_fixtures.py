#!/usr/bin/python3
"""Writes the small MNG, JNG, JPEG-2000, PGX, PNM and Sun raster fixtures
beside this script, made by the programs that write those formats:

- mng/, jng/: ImageMagick animations (three frames, looped or not), a single
  frame, and a JNG without alpha;
- jp2/: opj_compress from pictures made here: three 8-bit components (file
  and code stream), two components, 12-bit grey, 4:2:0 YCbCr, RGBA;
- pnm/, ras/: ImageMagick and netpbm writings of a picture, a grey map whose
  maximum is no power of two, and a mapped Sun raster.

usage: make_mng_jpeg2000_fixtures.py   (needs ImageMagick, opj_compress,
netpbm and python3-pil)
"""
import os
import sys
import tempfile

from PIL import Image

sys.dont_write_bytecode = True
from fixture_tools import CONVERT, folder, run  # noqa: E402



def picture(width, height, mode="RGB"):
    """A picture whose every pixel differs from its neighbours."""
    im = Image.new("RGB", (width, height))
    for y in range(height):
        for x in range(width):
            im.putpixel((x, y), ((x * 29) % 256, (y * 41 + 7) % 256, (x * y * 11 + 60) % 256))
    if mode == "RGBA":
        im = im.convert("RGBA")
        im.putalpha(Image.linear_gradient("L").resize((width, height)))
    return im.convert(mode) if mode not in ("RGB", "RGBA") else im


def mng_fixtures(tmp):
    frames = []
    for n, colour in enumerate(("#d02010", "#10a040", "#2030c0")):
        path = os.path.join(tmp, f"frame{n}.png")
        im = picture(9, 7)
        im.paste(colour, (n * 3, 0, n * 3 + 3, 7))
        im.save(path)
        frames.append(path)
    out = folder("mng")
    run(CONVERT, "-delay", "10", *frames, os.path.join(out, "three_frames.mng"))
    run(CONVERT, "-delay", "10", "-loop", "0", *frames, os.path.join(out, "three_frames_looped.mng"))
    run(CONVERT, frames[0], os.path.join(out, "single.mng"))
    run(CONVERT, frames[1], "-quality", "95", os.path.join(folder("jng"), "plain.jng"))


def jpeg2000_fixtures(tmp):
    out = folder("jp2")
    rgb = os.path.join(tmp, "rgb.ppm")
    picture(11, 9).save(rgb)
    run("opj_compress", "-i", rgb, "-o", os.path.join(out, "rgb8.jp2"), "-n", "2")
    run("opj_compress", "-i", rgb, "-o", os.path.join(out, "rgb8.j2k"), "-n", "2", "-r", "4")
    grey_alpha = os.path.join(tmp, "la.png")
    picture(8, 8, "RGBA").convert("LA").save(grey_alpha)
    run("opj_compress", "-i", grey_alpha, "-o", os.path.join(out, "two_components.j2k"), "-n", "2")
    rgba = os.path.join(tmp, "rgba.png")
    picture(8, 6, "RGBA").save(rgba)
    run("opj_compress", "-i", rgba, "-o", os.path.join(out, "rgba.jp2"), "-n", "2")
    # 12-bit grey from a grey map of maximum 4095.
    grey12 = os.path.join(tmp, "grey12.pgm")
    with open(grey12, "wb") as f:
        f.write(b"P5\n10 6\n4095\n")
        for y in range(6):
            for x in range(10):
                f.write(((x * 409 + y * 97) % 4096).to_bytes(2, "big"))
    run("opj_compress", "-i", grey12, "-o", os.path.join(out, "grey12.j2k"), "-n", "2")
    # 4:2:0 YCbCr: a full luma plane and two quarter-size chroma planes.
    yuv = os.path.join(tmp, "yuv.raw")
    with open(yuv, "wb") as f:
        f.write(bytes((x * 17 + y * 9) % 256 for y in range(8) for x in range(12)))
        f.write(bytes(96 + x * 20 for y in range(4) for x in range(6)))
        f.write(bytes(200 - y * 30 for y in range(4) for x in range(6)))
    run("opj_compress", "-i", yuv, "-o", os.path.join(out, "ycc420.j2k"), "-n", "2",
        "-F", "12,8,3,8,u@1x1:2x2:2x2")


def pnm_and_ras_fixtures(tmp):
    rgb = os.path.join(tmp, "rgb.png")
    picture(10, 7).save(rgb)
    out = folder("pnm")
    run(CONVERT, rgb, "-compress", "none", os.path.join(out, "plain.ppm"))
    run(CONVERT, rgb, "-colorspace", "gray", "-depth", "16", os.path.join(out, "grey16.pgm"))
    with open(os.path.join(out, "maximum_100.pgm"), "wb") as f:
        f.write(b"P2\n# a maximum that is no power of two\n5 3\n100\n")
        f.write(" ".join(str(v * 7 % 101) for v in range(15)).encode() + b"\n")
    run(CONVERT, rgb, "-monochrome", os.path.join(out, "bitmap.pbm"))
    out = folder("ras")
    run(CONVERT, rgb, os.path.join(out, "rgb.ras"))
    run(CONVERT, rgb, "-colors", "16", "-type", "Palette", os.path.join(out, "mapped.ras"))
    run(CONVERT, rgb, "-monochrome", os.path.join(out, "bitmap.ras"))


def main():
    with tempfile.TemporaryDirectory() as tmp:
        mng_fixtures(tmp)
        jpeg2000_fixtures(tmp)
        pnm_and_ras_fixtures(tmp)


if __name__ == "__main__":
    main()
