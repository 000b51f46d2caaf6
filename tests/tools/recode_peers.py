#!/usr/bin/python3
"""Encodes pictures of every depth as GIF (each compressor, and the true-colour
mosaic), PCX, TGA and WBMP with the project's encoders (raster_recode), and
checks that Pillow and ImageMagick read each file back with the pixels the
project's own decoder reads, and with the source's pixels where no depth
reduction came between. JP2 and J2K encodes of a noise picture at several
qualities must decode in opj_decompress as in the project's decoder, be no
larger than the quality's share of the raw size, and be lossless at 100.
TIFF encodes must show tiffinfo the compression and predictor of their depth
and the source's resolution, JPEG encodes identify the quality they were
written with.

usage: recode_peers.py FIXTURE_DIR [EMULATOR] IMGINFO RECODE
"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from imginfo_real_files import Checker, differences, magick_pixels, pillow_pixels  # noqa: E402

# (source, format, extension, step): step is a depth reduction or an option word.
CASES = [
    ("pil_rgb.bmp", 2, ".gif", None),  # true colour: the tile mosaic
    ("pil_rgb.bmp", 2, ".gif", "8"),
    ("pil_rgb.bmp", 2, ".gif", "4"),
    ("pil_rgb.bmp", 2, ".gif", "1"),
    ("im_info_8.bmp", 2, ".gif", "option=1"),
    ("im_info_8.bmp", 2, ".gif", "option=2"),
    ("im_info_4.bmp", 2, ".gif", "option=2"),
    ("im_core_1.bmp", 2, ".gif", "option=2"),
    ("pil_rgb.bmp", 9, ".pcx", None),
    ("pil_rgb.bmp", 9, ".pcx", "8"),
    ("pil_rgb.bmp", 9, ".pcx", "4"),
    ("pil_rgb.bmp", 9, ".pcx", "1"),
    ("pil_rgb.bmp", 8, ".tga", None),
    ("pil_rgb.bmp", 8, ".tga", "8"),
    ("pil_rgba_16_32.ico", 8, ".tga", None),  # 24 bits with alpha: 32-bit pixels
    ("im_core_1.bmp", 10, ".wbmp", None),
]
# Pillow reads neither WBMP nor PCX with 4 planes of 1 bit.
PILLOW_CANNOT = {".wbmp", ".pcx 4"}
# Where ImageMagick reads a file otherwise than Pillow and this decoder, and why.
MAGICK_DIFFERENCES = {
    ".pcx 1": "ImageMagick shows 1-bit single-plane PCX files with the colours the other way round "
              "(the shared mono PCX files too, where Pillow agrees with this decoder)",
}


def tga_magick_pixels(path):
    """This ImageMagick takes the rows of a bottom-left TGA top first (as its own
    writer stores them), where the format, Pillow and the decoder here take
    them bottom first: its rows are turned back."""
    width, height, rows = magick_pixels(path)
    return width, height, rows[::-1]


# (format identifier, extension) of the JPEG-2000 encodes, and the qualities
# tried: quality q keeps at most q per cent of the raw size, 100 is lossless.
JPEG2000_FORMATS = [(12, ".jp2"), (13, ".j2k")]
JPEG2000_QUALITIES = [5, 20, 50, 100]
# What the boxes and the code stream's main header add to the rate's share.
JPEG2000_HEADER_BYTES = 400


# (source, step, what tiffinfo must show): the compression each depth gets,
# the predictor only where it pays (LZW at 8 bits and more).
TIFF_TAGS = [
    ("im_core_1.bmp", None, ["Compression Scheme: CCITT Group 4"], ["Predictor"]),
    ("im_info_4.bmp", None, ["Compression Scheme: LZW"], ["Predictor"]),
    ("im_info_8.bmp", None, ["Compression Scheme: LZW", "Predictor: horizontal differencing"], []),
    ("pil_rgb.bmp", "quality=60", ["Compression Scheme: JPEG"], ["Predictor"]),
]
JPEG_QUALITIES = [30, 85]


def tiff_and_jpeg_checks(checker, fixture_dir, work):
    import shutil
    import subprocess
    if not shutil.which("tiffinfo") or not shutil.which("identify"):
        checker.lines.append("TIFF and JPEG tags: tiffinfo or identify is not installed, not checked")
        return
    for name, step, shown, absent in TIFF_TAGS:
        source = os.path.join(fixture_dir, "bmp", name)
        label = f"{name} -> .tif {step or ''}".strip()
        target = os.path.join(work, "tags.tif")
        result = checker_run(checker.recode + [source, target, "7"] + ([step] if step else []))
        if result.returncode:
            checker.problems.append(f"{label}: {result.stderr.decode(errors='replace').strip()}")
            continue
        info = subprocess.run(["tiffinfo", target], capture_output=True, text=True).stdout
        ours, _ = checker.decode(target)
        dpi, kept = ([subprocess.run(["identify", "-units", "PixelsPerInch", "-format", "%x %y", path],
                                     capture_output=True, text=True).stdout.split() for path in (target, source)])
        missing = [line for line in shown if line not in info] + [f"no {line}" for line in absent if line in info]
        if not dpi or len(dpi) != len(kept) or any(abs(float(a) - float(b)) > 0.5 for a, b in zip(dpi, kept)):
            missing.append(f"resolution {dpi} of the source's {kept}")
        if missing:
            checker.problems.append(f"{label}: tiffinfo or identify lacks {missing}:\n{info}")
        checker.lines.append(f"{label}: tiffinfo {'agrees' if not missing else 'differs'}, {dpi[0] if dpi else '?'} dpi"
                             + ("" if ours else ", we cannot read it"))
    for quality in JPEG_QUALITIES:
        label = f"pil_rgb.bmp -> .jpg quality {quality}"
        target = os.path.join(work, f"q{quality}.jpg")
        result = checker_run(checker.recode + [os.path.join(fixture_dir, "bmp", "pil_rgb.bmp"), target, "3",
                                               f"quality={quality}"])
        if result.returncode:
            checker.problems.append(f"{label}: {result.stderr.decode(errors='replace').strip()}")
            continue
        seen = subprocess.run(["identify", "-format", "%Q", target], capture_output=True, text=True).stdout.strip()
        if seen != str(quality):
            checker.problems.append(f"{label}: identify sees quality {seen!r}")
        checker.lines.append(f"{label}: identify sees {seen}")


def noise_bmp(path, width, height):
    """A picture no coder can shrink, so that the size comes from the rate."""
    import random
    from PIL import Image
    rng = random.Random(40)
    Image.frombytes("RGB", (width, height), bytes(rng.randrange(256) for _ in range(width * height * 3))).save(path)


def jpeg2000_checks(checker, work):
    import shutil
    if not shutil.which("opj_decompress"):
        checker.lines.append("JPEG-2000: opj_decompress is not installed, not checked")
        return
    width, height = 96, 80
    raw = width * height * 3
    source = os.path.join(work, "noise.bmp")
    noise_bmp(source, width, height)
    original, _ = checker.decode(source)
    for fmt, extension in JPEG2000_FORMATS:
        for quality in JPEG2000_QUALITIES:
            label = f"noise.bmp -> {extension} quality {quality}"
            target = os.path.join(work, f"q{quality}{extension}")
            result = checker_run(checker.recode + [source, target, str(fmt), f"quality={quality}"])
            if result.returncode:
                checker.problems.append(f"{label}: {result.stderr.decode(errors='replace').strip()}")
                continue
            size = os.path.getsize(target)
            if quality < 100 and size > raw * quality // 100 + JPEG2000_HEADER_BYTES:
                checker.problems.append(f"{label}: {size} bytes, more than {quality}% of {raw}")
            ours, error = checker.decode(target)
            if ours is None:
                checker.problems.append(f"{label}: we cannot read our own file: {error}")
                continue
            decoded = os.path.join(work, "opj.ppm")
            result = checker_run(["opj_decompress", "-i", target, "-o", decoded])
            if result.returncode:
                checker.problems.append(f"{label}: opj_decompress refuses it: {result.stderr.decode(errors='replace')[:200]}")
                continue
            diff = differences(ours, pillow_pixels(decoded), 0)
            if diff:
                checker.problems.append(f"{label}: opj_decompress reads it differently: {diff}")
            lossless = differences(ours, original, 0) if quality == 100 else None
            if lossless:
                checker.problems.append(f"{label}: not lossless: {lossless}")
            checker.lines.append(f"{label}: {size} bytes (ratio {raw / size:.1f}), "
                                 f"opj_decompress {diff or 'equal'}" + (", lossless" if quality == 100 and not lossless else ""))


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    fixture_dir, command, recode = sys.argv[1], sys.argv[2:-1], sys.argv[-1]
    recode = command[:-1] + [recode]
    with tempfile.TemporaryDirectory() as work:
        checker = Checker(command, recode, work)
        for name, fmt, extension, step in CASES:
            source = os.path.join(fixture_dir, "bmp", name)
            label = f"{name} -> {extension} {step or ''}".strip()
            target = os.path.join(work, "recoded" + extension)
            result = checker_run(recode + [source, target, str(fmt)] + ([step] if step else []))
            if result.returncode:
                checker.problems.append(f"{label}: {result.stderr.decode(errors='replace').strip()}")
                continue
            ours, error = checker.decode(target)
            if ours is None:
                checker.problems.append(f"{label}: we cannot read our own file: {error}")
                continue
            if step is None or step.startswith("option="):
                original, _ = checker.decode(source)
                diff = differences(ours, original, 0)
                if diff:
                    checker.problems.append(f"{label}: our reading differs from the source: {diff}")
            readers = [("ImageMagick", tga_magick_pixels if extension == ".tga" else magick_pixels)]
            if extension not in PILLOW_CANNOT and f"{extension} {step}" not in PILLOW_CANNOT:
                readers.append(("Pillow", lambda p: pillow_pixels(p, tuple(ours[:2]))))
            verdicts = []
            for peer, reader in readers:
                try:
                    diff = differences(ours, reader(target), 0)
                except Exception as e:
                    diff = f"refused: {e}"
                known = MAGICK_DIFFERENCES.get(f"{extension} {step}") if peer == "ImageMagick" else None
                verdicts.append(f"{peer} {diff or 'equal'}" + (f" ({known})" if diff and known else ""))
                if diff and not known:
                    checker.problems.append(f"{label}: {peer} reads it differently: {diff}")
            checker.lines.append(f"{label}: " + "; ".join(verdicts))
        jpeg2000_checks(checker, work)
        tiff_and_jpeg_checks(checker, fixture_dir, work)
        print("\n".join(checker.lines))
        if checker.problems:
            print("\nPROBLEMS:\n" + "\n".join(checker.problems))
            return 1
    return 0


def checker_run(command):
    import subprocess
    return subprocess.run(command, capture_output=True, timeout=120)


if __name__ == "__main__":
    sys.exit(main())
