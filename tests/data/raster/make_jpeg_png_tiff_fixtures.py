#!/usr/bin/python3
"""Writes small JPEG, PNG and TIFF fixtures beside this script, made by the
codec libraries' own tools and by ImageMagick from pictures made here:

- jpeg/: cjpeg baseline, progressive, optimised, greyscale, with restart
  markers, and 4:4:4 sampling;
- png/: ImageMagick palette, 16-bit grey, interlaced, RGBA and 1-bit writings;
- tiff/: tiffcp re-writings of one picture with LZW (with and without the
  horizontal predictor), Deflate, PackBits, JPEG, in tiles, as separate
  planes, a CCITT group 4 bitmap, and a two-page file.

usage: make_jpeg_png_tiff_fixtures.py   (needs libjpeg-turbo-progs,
libtiff-tools, ImageMagick and python3-pil)
"""
import os
import sys
import tempfile

from PIL import Image

sys.dont_write_bytecode = True
from fixture_tools import CONVERT, folder, run  # noqa: E402



def picture(width=21, height=13):
    """Smooth areas and fine detail, so each codec has work of both kinds."""
    im = Image.new("RGB", (width, height))
    for y in range(height):
        for x in range(width):
            noise = ((x * 2654435761) ^ (y * 40503)) >> 28 & 15
            im.putpixel((x, y), ((x * 12 + noise) % 256, (y * 19 + noise) % 256, (x + y) * 6 % 256))
    return im


def jpeg_fixtures(ppm, pgm):
    out = folder("jpeg")
    for name, options, source in (("baseline.jpg", [], ppm), ("progressive.jpg", ["-progressive"], ppm),
                                  ("optimised.jpg", ["-optimize", "-quality", "60"], ppm),
                                  ("grey.jpg", ["-grayscale"], pgm), ("restart.jpg", ["-restart", "1"], ppm),
                                  ("sampling_444.jpg", ["-sample", "1x1"], ppm)):
        run("cjpeg", *options, "-outfile", os.path.join(out, name), source)


def png_fixtures(png):
    out = folder("png")
    run(CONVERT, png, "-colors", "12", "PNG8:" + os.path.join(out, "palette.png"))
    run(CONVERT, png, "-colorspace", "gray", "-depth", "16", os.path.join(out, "grey16.png"))
    run(CONVERT, png, "-interlace", "PNG", os.path.join(out, "interlaced.png"))
    run(CONVERT, png, "-alpha", "set", "-channel", "A", "-fx", "i/w", os.path.join(out, "rgba.png"))
    run(CONVERT, png, "-monochrome", os.path.join(out, "bitmap.png"))


def tiff_fixtures(tmp, png):
    out = folder("tiff")
    plain = os.path.join(tmp, "plain.tif")
    run(CONVERT, png, "-compress", "none", plain)
    for name, options in (("lzw.tif", ["-c", "lzw"]), ("lzw_predictor.tif", ["-c", "lzw:2"]),
                          ("deflate.tif", ["-c", "zip"]), ("packbits.tif", ["-c", "packbits"]),
                          ("jpeg.tif", ["-c", "jpeg", "-r", "16"]), ("tiled.tif", ["-c", "lzw", "-t", "-w", "16", "-l", "16"]),
                          ("planes.tif", ["-p", "separate"])):
        run("tiffcp", *options, plain, os.path.join(out, name))
    bitmap = os.path.join(tmp, "bitmap.tif")
    run(CONVERT, png, "-monochrome", "-type", "bilevel", "-depth", "1", "-compress", "none", bitmap)
    run("tiffcp", "-c", "g4", bitmap, os.path.join(out, "group4.tif"))
    run("tiffcp", plain, bitmap, os.path.join(out, "two_pages.tif"))


def main():
    with tempfile.TemporaryDirectory() as tmp:
        source = picture()
        ppm, pgm, png = (os.path.join(tmp, name) for name in ("rgb.ppm", "grey.pgm", "rgb.png"))
        source.save(ppm)
        source.convert("L").save(pgm)
        source.save(png)
        jpeg_fixtures(ppm, pgm)
        png_fixtures(png)
        tiff_fixtures(tmp, png)


if __name__ == "__main__":
    main()
