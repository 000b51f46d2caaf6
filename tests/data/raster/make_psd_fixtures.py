#!/usr/bin/python3
"""Writes small PSD fixtures beside this script with ImageMagick: RGB raw and
run-length coded, 8- and 16-bit greyscale, 16-bit RGB, CMYK and indexed.

usage: make_psd_fixtures.py   (needs /usr/bin/convert and python3-pil)
"""
import os
import subprocess
import tempfile

from make_bmp_fixtures import source

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"
KINDS = {
    "rgb_raw": ["-compress", "none"],
    "rgb_rle": ["-compress", "RLE"],
    "grey": ["-colorspace", "gray", "-compress", "RLE"],
    "grey16": ["-colorspace", "gray", "-depth", "16", "-compress", "none"],
    "rgb16": ["-depth", "16", "-compress", "none"],
    "cmyk": ["-colorspace", "cmyk", "-compress", "none"],
    "indexed": ["-type", "palette", "-compress", "none"],
}

if __name__ == "__main__":
    os.makedirs(os.path.join(HERE, "psd"), exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        picture = os.path.join(work, "source.png")
        source(9, 6).save(picture)
        for name, options in KINDS.items():
            subprocess.run([CONVERT, picture, *options, os.path.join(HERE, "psd", name + ".psd")], check=True)
