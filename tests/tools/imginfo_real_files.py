#!/usr/bin/python3
"""Decodes every BMP and ICO file beside the repository and every committed
fixture with imginfo --dump, and compares the pixels with what Pillow and
ImageMagick read from the same file; then re-encodes pictures with the
project's encoders (raster_recode) and checks that Pillow and ImageMagick
read the encoded files back with the same pixels, and that the transforms
equal ImageMagick's -rotate, -flip, -flop and -negate.

usage: imginfo_real_files.py DATA_DIR FIXTURE_DIR [EMULATOR] IMGINFO RECODE
The corpus part is skipped, saying so, when DATA_DIR is absent.
"""
import io
import json
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image, IcoImagePlugin

CONVERT = "/usr/bin/convert"

# Files the decoder refuses on purpose, with the reason; the peers may read them.
REFUSED = {
    "bad_bitcount.bmp": "a bit count no BMP has",
    "bad_palettesize.bmp": "more colours than the depth allows",
    "hopper_rle8_gray.bmp": "108-byte header on a compressed picture with a colour table",
    "pal8v5.bmp": "124-byte header on a picture with a colour table",
    "rgba32.bmp": "124-byte header on a bit-field picture",
    "hopper_256_24bpp.ico": "icon entry of size 0 (256)",
    "pillow_multi_png.ico": "first icon image stored as PNG",
}
# Read although a peer refuses it: the rows the file lacks stay blank.
LENIENT = {"bad_shortfile.bmp", "bad_rle.bmp"}
# 16-bit channels widen by shifting (F8 for a full 5-bit channel); the peers scale to FF.
SHIFT_WIDENED = {"rgb16.bmp", "rgb16-565.bmp", "rgb555_plain.bmp", "rgb565_masks.bmp"}
# Where a peer reads a file otherwise than this decoder does, and why.
PEER_DIFFERENCES = {
    ("pal4rle.bmp", "Pillow"): "Pillow's RLE4 reading (ImageMagick agrees with ours)",
    ("pal4rletrns.bmp", "Pillow"): "Pillow's RLE4 reading and skipped pixels (ImageMagick agrees with ours)",
    ("pal8rletrns.bmp", "Pillow"): "Pillow makes skipped RLE pixels transparent (ImageMagick agrees with ours)",
    ("rgb32bf.bmp", "Pillow"): "32-bit bit fields are taken as blue, green, red bytes whatever the masks",
    ("rgb32bf.bmp", "ImageMagick"): "32-bit bit fields are taken as blue, green, red bytes whatever the masks",
    ("pil_rgba.bmp", "ImageMagick"): "ImageMagick takes the unused fourth byte of 32-bit pixels as alpha",
    ("pil_rgba_16_32.ico", "ImageMagick"): "a set AND-mask bit makes a 32-bit icon pixel transparent",
    ("pil_rgba_16_32.ico", "Pillow"): "a set AND-mask bit makes a 32-bit icon pixel transparent",
}


def run(command):
    return subprocess.run(command, capture_output=True, timeout=120)


def read_dump(path):
    """(width, height, rows of RGBA tuples, top row first) of imginfo's 24- or 32-bit dump."""
    data = open(path, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    step = bits // 8
    row = (width * bits + 31) // 32 * 4
    rows = []
    for y in reversed(range(height)):
        base = offset + y * row
        line = []
        for x in range(width):
            p = data[base + x * step: base + x * step + step]
            line.append((p[2], p[1], p[0], p[3] if step == 4 else 255))
        rows.append(line)
    return width, height, rows


def pillow_pixels(path, size=None):
    if path.lower().endswith(".ico"):
        # Pillow orders the entries by size; the first entry is the one of our size.
        with open(path, "rb") as f:
            icon = IcoImagePlugin.IcoFile(f)
            im = icon.getimage(size) if size else icon.frame(0)
    else:
        im = Image.open(path)
    im = im.convert("RGBA")
    return im.width, im.height, [[im.getpixel((x, y)) for x in range(im.width)] for y in range(im.height)]


def magick_pixels(path):
    size = run([CONVERT, path + "[0]", "-format", "%w %h", "info:"])
    data = run([CONVERT, path + "[0]", "-depth", "8", "rgba:-"])
    if size.returncode or data.returncode:
        raise ValueError((size.stderr or data.stderr).decode(errors="replace").strip()[:200])
    width, height = map(int, size.stdout.split())
    raw = data.stdout
    return width, height, [[tuple(raw[(y * width + x) * 4:(y * width + x) * 4 + 4]) for x in range(width)]
                           for y in range(height)]


def differences(ours, theirs, tolerance):
    """How many pixels differ; pixels transparent in both count as equal whatever their colour."""
    if ours[:2] != theirs[:2]:
        return f"size {ours[0]}x{ours[1]} against {theirs[0]}x{theirs[1]}"
    bad = 0
    for line_a, line_b in zip(ours[2], theirs[2]):
        for a, b in zip(line_a, line_b):
            if a[3] == 0 and b[3] == 0:
                continue
            if any(abs(p - q) > tolerance for p, q in zip(a, b)):
                bad += 1
    return f"{bad} pixels differ" if bad else None


class Checker:
    def __init__(self, command, recode, work):
        self.command, self.recode, self.work = command, recode, work
        self.problems, self.lines = [], []

    def decode(self, path):
        """Our pixels of the file, or the error text."""
        dump = os.path.join(self.work, "dump.bmp")
        if os.path.exists(dump):
            os.remove(dump)
        result = run(self.command + ["--json", "--dump", dump, path])
        record = json.loads(result.stdout.decode().strip().splitlines()[0])
        if not record["ok"]:
            return None, record["error"]
        return read_dump(dump), None

    def compare_file(self, path):
        name = os.path.basename(path)
        ours, error = self.decode(path)
        peers = {}
        size = tuple(ours[:2]) if ours else None
        for peer, reader in (("Pillow", lambda p: pillow_pixels(p, size)), ("ImageMagick", magick_pixels)):
            try:
                peers[peer] = reader(path)
            except Exception as e:  # the peer refuses the file
                peers[peer] = str(e).splitlines()[0][:80] if str(e) else type(e).__name__
        if ours is None:
            refused = [p for p, v in peers.items() if isinstance(v, str)]
            self.lines.append(f"{name}: refused ({error}); refused by {refused or 'neither peer'}")
            if name not in REFUSED and len(refused) < 2:
                self.problems.append(f"{name}: refused with {error!r} where {sorted(set(peers) - set(refused))} read it")
            return
        tolerance = 7 if name in SHIFT_WIDENED else 0
        verdicts = []
        for peer, theirs in peers.items():
            known = PEER_DIFFERENCES.get((name, peer))
            if isinstance(theirs, str):
                verdicts.append(f"{peer} refuses")
                if name not in LENIENT and not known:
                    self.problems.append(f"{name}: {peer} refuses it ({theirs}) but we read it")
                continue
            diff = differences(ours, theirs, tolerance)
            verdicts.append(f"{peer} {diff or 'equal'}" + (f" ({known})" if diff and known else ""))
            if diff and name not in LENIENT and not known:
                self.problems.append(f"{name}: against {peer}: {diff}")
        self.lines.append(f"{name}: {ours[0]}x{ours[1]}; " + "; ".join(verdicts))

    def recode_file(self, path, fmt, extension, *extra):
        """Our encoder's file read back by both peers equals our own decoding of the source."""
        name = os.path.basename(path)
        target = os.path.join(self.work, "recoded" + extension)
        result = run(self.recode + [path, target, str(fmt), *extra])
        label = f"{name} -> {extension} {' '.join(extra)}".strip()
        if result.returncode:
            self.problems.append(f"{label}: {result.stderr.decode(errors='replace').strip()}")
            return
        expected, error = self.decode(target)
        if expected is None:
            self.problems.append(f"{label}: we cannot read our own file: {error}")
            return
        for peer, reader in (("Pillow", lambda p: pillow_pixels(p, tuple(expected[:2]))),
                             ("ImageMagick", magick_pixels)):
            try:
                diff = differences(expected, reader(target), 0)
            except Exception as e:
                diff = f"refused: {e}"
            if diff:
                self.problems.append(f"{label}: {peer} reads it differently: {diff}")
        self.lines.append(f"{label}: read back alike")

    def transform(self, path, operation, magick_options):
        name = os.path.basename(path)
        target = os.path.join(self.work, "turned.bmp")
        result = run(self.recode + [path, target, "1", operation])
        if result.returncode:
            self.problems.append(f"{name} {operation}: {result.stderr.decode(errors='replace').strip()}")
            return
        ours, _ = self.decode(target)
        reference = os.path.join(self.work, "reference.png")
        run([CONVERT, path, *magick_options, reference])
        diff = differences(ours, magick_pixels(reference), 0)
        if diff:
            self.problems.append(f"{name} {operation}: against ImageMagick {' '.join(magick_options)}: {diff}")
        self.lines.append(f"{name} {operation}: {'equal to ImageMagick' if not diff else diff}")


def main():
    if len(sys.argv) < 5:
        print(__doc__)
        return 2
    data_dir, fixture_dir = sys.argv[1], sys.argv[2]
    command, recode = sys.argv[3:-1], sys.argv[-1]
    recode = command[:-1] + [recode]
    with tempfile.TemporaryDirectory() as work:
        checker = Checker(command, recode, work)
        fixtures = sorted(os.path.join(fixture_dir, "bmp", f) for f in os.listdir(os.path.join(fixture_dir, "bmp"))
                          if f.endswith((".bmp", ".ico")))
        corpus = []
        for kind in ("bmp", "ico"):
            folder = os.path.join(data_dir, "raster", kind)
            if os.path.isdir(folder):
                corpus += sorted(os.path.join(folder, f) for f in os.listdir(folder))
        if not corpus:
            print(f"no BMP or ICO files under {data_dir}/raster: the corpus part is skipped")
        for path in corpus + fixtures:
            checker.compare_file(path)
        sample = os.path.join(fixture_dir, "bmp", "pil_rgb.bmp")
        for bits, extension in (("1", ".bmp"), ("4", ".bmp"), ("8", ".bmp"), (None, ".bmp"), ("4", ".ico"),
                                ("8", ".ico"), (None, ".ico")):
            checker.recode_file(sample, 1 if extension == ".bmp" else 6, extension, *([bits] if bits else []))
        checker.recode_file(os.path.join(fixture_dir, "bmp", "pil_rgba_16_32.ico"), 6, ".ico")
        for operation, options in (("left", ["-rotate", "-90"]), ("right", ["-rotate", "90"]),
                                   ("half", ["-rotate", "180"]), ("flip", ["-flip"]), ("mirror", ["-flop"]),
                                   ("invert", ["-negate"])):
            for name in ("pil_rgb.bmp", "im_info_4.bmp", "im_core_1.bmp"):
                checker.transform(os.path.join(fixture_dir, "bmp", name), operation, options)
        print("\n".join(checker.lines))
        if checker.problems:
            print("\nPROBLEMS:\n" + "\n".join(checker.problems))
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
