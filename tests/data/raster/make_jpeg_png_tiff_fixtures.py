#!/usr/bin/python3
"""Writes small JPEG, PNG and TIFF fixtures beside this script, made by the
codec libraries' own tools and by ImageMagick from pictures made here:

- jpeg/: cjpeg baseline, progressive, optimised, greyscale, with restart
  markers, and 4:4:4 sampling; exiftool's EXIF in both byte orders, with a
  thumbnail whose directory has its own resolution;
- png/: ImageMagick palette, 16-bit grey, interlaced, RGBA and 1-bit writings;
- tiff/: tiffcp re-writings of one picture with LZW (with and without the
  horizontal predictor), Deflate, PackBits, JPEG, in tiles, as separate
  planes, a CCITT group 4 bitmap, and a two-page file.

usage: make_jpeg_png_tiff_fixtures.py   (needs libjpeg-turbo-progs,
libtiff-tools, ImageMagick, libimage-exiftool-perl and python3-pil)
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
    exif_fixtures(out)


# Every field of the EXIF record once, in Intel and in Motorola order. The
# Intel file has no FNumber and no ExposureTime, so the aperture and the
# exposure come from the APEX values; its ISO is below 50. The thumbnail
# directory's resolution differs from the picture's.
EXIF_COMMON = ["-Make=Maker Inc.", "-Model=Model 7 (test)", "-IFD0:XResolution=300", "-IFD0:YResolution=150",
               "-IFD1:XResolution=72", "-IFD1:YResolution=72", "-IFD1:ResolutionUnit=inches",
               "-ExifVersion=0231", "-DateTimeOriginal=2021:06:01 12:34:56", "-CompressedBitsPerPixel=3",
               "-BrightnessValue=5.25", "-ExposureCompensation=-0.7", "-SubjectDistance=3.5", "-MeteringMode#=5",
               "-LightSource#=9", "-FocalLength=35", "-ExifImageWidth=4000", "-ExifImageHeight=3000",
               "-FocalPlaneXResolution=2000", "-FocalPlaneYResolution=1800"]
EXIF_FIXTURES = (
    ("exif_motorola.jpg", "MM", ["-Orientation#=6", "-IFD0:ResolutionUnit#=3", "-ExposureTime=0.004",
                                 "-FNumber=8", "-ExposureProgram#=3", "-ISO=200", "-ExifIFD:Flash#=25",
                                 "-UserComment=Hello  ", "-FocalPlaneResolutionUnit#=4"]),
    ("exif_intel.jpg", "II", ["-Orientation#=1", "-IFD0:ResolutionUnit#=2", "-ShutterSpeedValue=0.01",
                              "-ApertureValue=2.8", "-MaxApertureValue=1.4", "-ExposureProgram#=2", "-ISO=4",
                              "-ExifIFD:Flash#=16", "-FocalPlaneResolutionUnit#=3", "-Comment=a COM comment"]),
)


def exif_fixtures(out):
    baseline = os.path.join(out, "baseline.jpg")
    thumbnail = os.path.join(out, "grey.jpg")
    for name, order, tags in EXIF_FIXTURES:
        target = os.path.join(out, name)
        run("exiftool", "-q", "-o", target, "-ExifByteOrder=" + order, *EXIF_COMMON, *tags,
            "-ThumbnailImage<=" + thumbnail, baseline)


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
