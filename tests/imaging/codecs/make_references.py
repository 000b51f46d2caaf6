#!/usr/bin/python3
"""Writes reference pixels for the JPEG, PNG, TIFF, MNG, JNG, JPEG-2000, PNM and
Sun raster files of the shared raster data, made by other readers: djpeg for
JPEG (Pillow's samples for CMYK), Pillow for PNG, tiff2rgba for TIFF,
ImageMagick for MNG, JNG and Sun raster (every frame of an animation, each
composited over white), opj_decompress for JPEG-2000 (PGX through a lossless
opj_compress first), netpbm for PNM; GIF, PCX, TGA and WBMP as ImageMagick
composes them (-coalesce), with Pillow's reading beside it where the two
differ (<file>.alt.ref) and a log per folder of how they agree; the PSD
composite as Pillow reads it (ImageMagick's where Pillow cannot); for WMF the
share of ink in ImageMagick's rendering (ink.txt).

usage: make_references.py RASTER_DIR OUT_DIR

One OUT_DIR/<format>/<file>.ref per file: a header line
    <status> <width> <height> <channels> <frames> <tolerance> <hash>
then width x height x channels bytes, top row first (RGB or RGBA); for large
pictures only the CRC-32 of those bytes stands in the header
(otherwise "-"), which keeps the references small. status is
"ok", or "refused" when the reference reader fails (no pixels follow), or
"damaged" when it reports errors but still gives pixels (a decoder may then
refuse too), or "partial" when the reference reader does not know every
feature the file uses (no pixels follow; a decoder may draw what it can), or
"toolarge" when the picture holds more samples than a decoder needs to take
(no pixels follow). Frames after the first of an animation have their own
files, <file>.<n>.ref.
"""
import os
import re
import subprocess
import sys
import tempfile
import zlib

from PIL import Image


LARGE = 1 << 20


def write(path, status, width=0, height=0, channels=0, frames=1, tolerance=0, data=b""):
    digest = "-"
    if width * height > LARGE and tolerance == 0:
        digest = f"{zlib.crc32(data):08x}"
        data = b""
    with open(path + ".tmp", "wb") as out:
        out.write(f"{status} {width} {height} {channels} {frames} {tolerance} {digest}\n".encode())
        out.write(data)
    os.replace(path + ".tmp", path)


def read_pnm(data):
    # P5 or P6 with maxval 255, as djpeg writes them.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pixels = data[pos + 1:]
    width, height = int(fields[1]), int(fields[2])
    if fields[0] == b"P5":
        pixels = bytes(b for v in pixels for b in (v, v, v))
    return width, height, pixels


def cmyk_to_rgb(image):
    # Adobe stores CMYK inverted; Pillow hands back the un-inverted values, so
    # the stored samples are 255 minus them. Red = black x cyan / 255 and so on.
    out = bytearray()
    for c, m, y, k in image.getdata():
        c, m, y, k = 255 - c, 255 - m, 255 - y, 255 - k
        out += bytes((k * c // 255, k * m // 255, k * y // 255))
    return bytes(out)


def jpeg_reference(path, ref):
    with Image.open(path) as image:
        if image.mode == "CMYK":
            image.load()
            write(ref, "ok", image.width, image.height, 3, data=cmyk_to_rgb(image))
            return
    run = subprocess.run(["djpeg", "-pnm", path], capture_output=True)
    if not run.stdout:
        write(ref, "refused")
        return
    width, height, pixels = read_pnm(run.stdout)
    # djpeg ends with status 2 after warnings: damaged data that still decodes.
    write(ref, "ok" if run.returncode == 0 else "damaged", width, height, 3, data=pixels)


def composite(fg, alpha, bg):
    # libpng's rounding for 8-bit composition.
    temp = fg * alpha + bg * (255 - alpha) + 128
    return (temp + (temp >> 8)) >> 8


def png_chunks(path):
    with open(path, "rb") as f:
        data = f.read()
    pos, chunks, intact = 8, {}, True
    while pos + 8 <= len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind = data[pos + 4:pos + 8].decode("latin-1")
        chunks.setdefault(kind, data[pos + 8:pos + 8 + length])
        stored = data[pos + 8 + length:pos + 12 + length]
        intact = intact and stored == zlib.crc32(data[pos + 4:pos + 8 + length]).to_bytes(4, "big")
        pos += 12 + length
    return chunks, intact


def png_reference(path, ref):
    try:
        image = Image.open(path)
        image.load()
    except Exception:
        write(ref, "refused")
        return
    # Pillow passes over CRC errors; libpng refuses them.
    chunks, intact = png_chunks(path)
    status = "ok" if intact else "damaged"
    ihdr = chunks["IHDR"]
    depth, colour = ihdr[8], ihdr[9]
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    pixel_depth = depth * channels
    width, height = image.size
    rgba = image.convert("RGBA") if image.mode not in ("I", "I;16") else None
    if rgba is None:
        # 16-bit grey: the high byte of each sample, and tRNS on the full value.
        values = list(image.getdata())
        key = image.info.get("transparency")
        rgba = Image.new("RGBA", image.size)
        rgba.putdata([(v >> 8, v >> 8, v >> 8, 0 if key is not None and v == key else 255) for v in values])
    keep_alpha = colour == 6 and pixel_depth == 32 or colour == 4 and pixel_depth == 32
    composited = colour != 3 and not keep_alpha and (colour in (4, 6) or "tRNS" in chunks)
    tolerance = 1 if composited and depth == 16 else 0
    if composited:
        if "bKGD" in chunks:
            b = chunks["bKGD"]
            shift = 8 if depth == 16 else 0
            if colour in (0, 4):
                grey = int.from_bytes(b[0:2], "big") >> shift
                background = (grey, grey, grey)
            else:
                background = tuple(int.from_bytes(b[i:i + 2], "big") >> shift for i in (0, 2, 4))
        else:
            background = (192, 192, 192)
        data = bytearray()
        for r, g, b_, a in rgba.getdata():
            data += bytes((composite(r, a, background[0]), composite(g, a, background[1]),
                           composite(b_, a, background[2])))
        write(ref, status, width, height, 3, tolerance=tolerance, data=bytes(data))
    elif keep_alpha:
        write(ref, status, width, height, 4, data=rgba.tobytes())
    elif colour == 3:
        # Indexes beyond a short palette show black, as the palette's unused entries are.
        entries = len(chunks["PLTE"]) // 3
        rgb = rgba.convert("RGB").getdata()
        data = bytearray()
        for index, pixel in zip(image.getdata(), rgb):
            data += bytes(pixel) if index < entries else b"\0\0\0"
        write(ref, status, width, height, 3, data=bytes(data))
    else:
        write(ref, status, width, height, 3, data=rgba.convert("RGB").tobytes())


def tiff_reference(path, ref):
    frames, tolerance = 1, 0
    try:
        with Image.open(path) as image:
            frames = getattr(image, "n_frames", 1)
            # A 16-bit colour map is scaled by 255/65535 here, where
            # tiff2rgba takes the high byte.
            tolerance = 1 if image.mode == "P" else 0
    except Exception:
        frames = 0
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "rgba.tif")
        run = subprocess.run(["tiff2rgba", "-c", "none", path, out], capture_output=True, text=True)
        errors = [line for line in run.stderr.splitlines() if "Warning" not in line and line.strip()]
        if run.returncode != 0 or not os.path.exists(out):
            write(ref, "refused", frames=frames)
            return
        # The output keeps a BigTIFF input's form and a fax page's fill order,
        # neither of which Pillow reads.
        classic = os.path.join(tmp, "classic.tif")
        subprocess.run(["tiffcp", "-c", "none", "-f", "msb2lsb", out, classic], capture_output=True, check=True)
        with Image.open(classic) as rgba:
            # tiff2rgba writes associated alpha: the samples as they are, not
            # divided by alpha as Pillow's conversion would.
            rgba.tile = [(t[0], t[1], t[2], ("RGBA",) + tuple(t[3][1:])) if t[3][0] == "RGBa" else t
                         for t in rgba.tile]
            data = rgba.convert("RGBA").tobytes()
            write(ref, "damaged" if errors else "ok", rgba.width, rgba.height, 4, frames=frames,
                  tolerance=tolerance, data=data)


def read_netpbm(data):
    """(width, height, channels, maxval, samples) of a raw PNM or PAM image."""
    fields, pos = {}, 2
    magic = data[:2]
    if magic == b"P7":
        end = data.index(b"ENDHDR\n")
        for line in data[3:end].decode().splitlines():
            key, _, value = line.partition(" ")
            fields[key] = value.strip()
        width, height = int(fields["WIDTH"]), int(fields["HEIGHT"])
        channels, maxval = int(fields["DEPTH"]), int(fields["MAXVAL"])
        pos = end + 7
    else:
        numbers = []
        while len(numbers) < 3:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while data[end:end + 1].isdigit():
                end += 1
            numbers.append(int(data[pos:end]))
            pos = end
        pos += 1
        width, height, maxval = numbers
        channels = 3 if magic == b"P6" else 1
    size = 2 if maxval > 255 else 1
    raw = data[pos:pos + width * height * channels * size]
    samples = [int.from_bytes(raw[i:i + size], "big") for i in range(0, len(raw), size)]
    return width, height, channels, maxval, samples


def netpbm_bytes(width, height, channels, maxval, samples, alpha=None):
    """RGB (or RGBA) bytes, samples scaled to 0...255 with rounding."""
    scale = (lambda v: v) if maxval == 255 else (lambda v: (v * 255 + maxval // 2) // maxval)
    out = bytearray()
    for i in range(width * height):
        pixel = samples[i * channels:(i + 1) * channels]
        rgb = pixel * 3 if channels == 1 else pixel[:3]
        out += bytes(scale(v) for v in rgb)
        if alpha is not None:
            out.append(scale(pixel[3]) if channels == 4 else 255)
    return bytes(out)


def magick_frames(path, ref, check_stderr=True):
    with tempfile.TemporaryDirectory() as tmp:
        run = subprocess.run(["convert", path, "-coalesce", "-background", "white", "-alpha", "remove",
                              "-alpha", "off", "-depth", "8", os.path.join(tmp, "f-%d.ppm")],
                             capture_output=True, text=True)
        frames = sorted((f for f in os.listdir(tmp)), key=lambda n: int(n[2:-4]))
        if not frames:
            write(ref, "refused")
            return
        if check_stderr and run.stderr.strip():
            write(ref, "partial", frames=len(frames))
            return
        for n, name in enumerate(frames):
            with open(os.path.join(tmp, name), "rb") as f:
                width, height, channels, maxval, samples = read_netpbm(f.read())
            target = ref if n == 0 else ref[:-4] + f".{n}.ref"
            write(target, "ok", width, height, 3, frames=len(frames),
                  data=netpbm_bytes(width, height, channels, maxval, samples))


def mng_reference(path, ref):
    with open(path, "rb") as f:
        data = f.read()
    # ImageMagick reads a JNG's 8-bit background entries by their low byte,
    # libmng by their high byte: a JNG with alpha shows a different background.
    if data[:4] == b"\x8bJNG" and b"bKGD" in data and data[24] in (12, 14):
        write(ref, "partial")
        return
    magick_frames(path, ref)


def ras_reference(path, ref):
    # Pillow, since ImageMagick reads run-length 24-bit pixels in red-first order.
    try:
        with Image.open(path) as image:
            write(ref, "ok", image.width, image.height, 3, data=image.convert("RGB").tobytes())
    except Exception:
        write(ref, "refused")


def pnm_reference(path, ref):
    with open(path, "rb") as f:
        bitmap = f.read(2) in (b"P1", b"P4")
    if bitmap:
        with Image.open(path) as image:
            grey = image.convert("L")
            write(ref, "ok", image.width, image.height, 3,
                  data=bytes(v for g in grey.getdata() for v in (g, g, g)))
        return
    run = subprocess.run(["pamdepth", "255", path], capture_output=True)
    if run.returncode != 0 or not run.stdout:
        write(ref, "refused")
        return
    width, height, channels, maxval, samples = read_netpbm(run.stdout)
    write(ref, "ok", width, height, 3, data=netpbm_bytes(width, height, channels, maxval, samples))


# Pictures with more samples than this are refused by the decoder before it
# allocates; their references stay empty.
JPEG2000_SAMPLE_LIMIT = 1 << 27


def jp2_has_icc(path):
    """Whether a JP2 file's colour box carries an ICC profile (methods 2 and 3)."""
    with open(path, "rb") as f:
        data = f.read()
    pos = data.find(b"colr")
    return pos >= 0 and data[pos + 4] in (2, 3)


def jpeg2000_reference(path, ref):
    if path.endswith(".jp2") and jp2_has_icc(path):
        # opj_decompress applies the profile, which the decoder does not:
        # ImageMagick reads the samples as they are.
        magick_frames(path, ref, check_stderr=False)
        return
    with tempfile.TemporaryDirectory() as tmp:
        source = path
        if path.endswith(".pgx"):
            source = os.path.join(tmp, "lossless.j2k")
            run = subprocess.run(["opj_compress", "-i", path, "-o", source, "-n", "1"], capture_output=True, text=True)
            if run.returncode != 0:
                write(ref, "refused")
                return
        dump = subprocess.run(["opj_dump", "-i", source], capture_output=True, text=True).stdout
        sizes = [int(v) for v in re.findall(r"x1=(\d+), y1=(\d+)", dump)[:1][0]] if "x1=" in dump else [0, 0]
        comps = int(re.search(r"numcomps=(\d+)", dump).group(1)) if "numcomps=" in dump else 0
        if sizes[0] * sizes[1] * comps > JPEG2000_SAMPLE_LIMIT:
            write(ref, "toolarge", sizes[0], sizes[1], comps)
            return
        out = os.path.join(tmp, "out.pnm")
        command = ["opj_decompress", "-i", source, "-o", out]
        if source.endswith((".j2k", ".jpc")) and comps not in (1, 3):
            # A bare code stream's components other than three are frames.
            command.append("-split-pnm")
        run = subprocess.run(command, capture_output=True, text=True)
        outputs = sorted(f for f in os.listdir(tmp) if f.startswith("out"))
        if run.returncode != 0 or not outputs:
            write(ref, "refused")
            return
        status = "damaged" if "[ERROR]" in run.stdout + run.stderr else "ok"
        if len(outputs) > 1:
            # Components of unequal size come out one file each: the frames.
            outputs.sort(key=lambda n: int(re.search(r"_(\d+)\.", n).group(1)))
        for n, name in enumerate(outputs):
            with open(os.path.join(tmp, name), "rb") as f:
                width, height, channels, maxval, samples = read_netpbm(f.read())
            target = ref if n == 0 else ref[:-4] + f".{n}.ref"
            rgba = channels in (2, 4)
            if channels == 2:
                samples = [v for i in range(0, len(samples), 2) for v in (samples[i],) * 3 + (samples[i + 1],)]
                channels = 4
            write(target, status, width, height, 4 if rgba else 3, frames=len(outputs),
                  data=netpbm_bytes(width, height, channels, maxval, samples, alpha=True if rgba else None))


def magick_coalesced(path):
    """Every frame as ImageMagick composes it (-coalesce), RGBA, or None."""
    with tempfile.TemporaryDirectory() as tmp:
        run = subprocess.run(["convert", path, "-coalesce", os.path.join(tmp, "f_%d.png")], capture_output=True)
        names = sorted((n for n in os.listdir(tmp)), key=lambda n: int(n[2:-4]))
        if run.returncode != 0 or not names:
            return None
        frames = []
        for name in names:
            with Image.open(os.path.join(tmp, name)) as frame:
                frames.append(frame.convert("RGBA"))
        return frames


def pillow_frames(path):
    """Every frame as Pillow composes it, RGBA, or None."""
    try:
        with Image.open(path) as image:
            frames = []
            for index in range(getattr(image, "n_frames", 1)):
                image.seek(index)
                frames.append(image.convert("RGBA"))
            return frames
    except Exception:
        return None


def frame_difference(a, b):
    """The largest channel difference of two RGBA frames; the colour of a
    pixel both leave fully transparent does not count."""
    if a.size != b.size:
        return 256
    worst = 0
    for p, q in zip(a.getdata(), b.getdata()):
        if p[3] == 0 and q[3] == 0:
            continue
        worst = max(worst, max(abs(x - y) for x, y in zip(p, q)))
    return worst


def agreement(folder, name, magick, pillow):
    """One line for the evidence log: how ImageMagick's and Pillow's readings compare."""
    if magick is None or pillow is None:
        readers = "ImageMagick only" if pillow is None and magick else "Pillow only" if pillow else "neither"
        return f"{folder}/{name}: read by {readers}"
    if len(magick) != len(pillow):
        return f"{folder}/{name}: frame counts differ ({len(magick)} / {len(pillow)})"
    worst = max(frame_difference(a, b) for a, b in zip(magick, pillow))
    return f"{folder}/{name}: {len(magick)} frame(s), largest difference between the readers {worst}"


def frames_reference(path, ref, tolerance=0):
    """GIF, PCX, TGA and WBMP: RGBA frames as ImageMagick composes them (the
    reader that reads all four), frame 0 in <file>.ref, frame n in
    <file>.n.ref; refused when ImageMagick reports the file broken."""
    folder, name = os.path.basename(os.path.dirname(path)), os.path.basename(path)
    magick, pillow = magick_coalesced(path), pillow_frames(path)
    with open(os.path.join(os.path.dirname(ref), "agreement.txt"), "a") as log:
        log.write(agreement(folder, name, magick, pillow) + "\n")
    strict = subprocess.run(["identify", "-regard-warnings", path], capture_output=True)
    if magick is None or strict.returncode != 0:
        write(ref, "refused")
        return
    # Where Pillow reads the frame otherwise, its reading stands beside
    # ImageMagick's as <name>.alt.ref: a decoder must match one of them.
    for index, frame in enumerate(magick):
        target = ref[:-4] + (f".{index}" if index else "")
        write(target + ".ref", "ok", frame.width, frame.height, 4, frames=len(magick), tolerance=tolerance,
              data=frame.tobytes())
        other = pillow[index] if pillow and len(pillow) == len(magick) else None
        if other is not None and frame_difference(frame, other) > tolerance:
            write(target + ".alt.ref", "ok", other.width, other.height, 4, frames=len(magick),
                  tolerance=tolerance, data=other.tobytes())


def tga_reference(path, ref):
    # Five-bit channels become value x 8 here, where ImageMagick scales them
    # to the full range.
    with open(path, "rb") as f:
        header = f.read(18)
    five_bits = header[16] in (15, 16) or (header[1] == 1 and header[7] in (15, 16))
    frames_reference(path, ref, tolerance=7 if five_bits else 0)


def psd_reference(path, ref):
    """The composite of a PSD file as Pillow reads it (ImageMagick's first image
    where Pillow cannot), RGB; ImageMagick's beside it as <file>.alt.ref where
    the two differ. Colour modes converted by formula (CMYK, Lab, duotone,
    multichannel) get a tolerance: each reader converts them its own way."""
    name = os.path.basename(path)
    with open(path, "rb") as f:
        header = f.read(26)
    channels, depth, mode = (int.from_bytes(header[i:i + 2], "big") for i in (12, 22, 24))
    # 16-bit samples: the reader takes the high byte where the others round.
    tolerance = (0 if mode in (1, 2, 3) else 24) + (1 if depth == 16 else 0)
    pillow = magick = None
    try:
        with Image.open(path) as image:
            image.load()
            pillow = image.convert("RGB")
    except Exception:
        pass
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "composite.png")
        run = subprocess.run(["convert", path + "[0]", "-colorspace", "sRGB", "-depth", "8", out], capture_output=True)
        if run.returncode == 0 and os.path.exists(out):
            with Image.open(out) as image:
                magick = image.convert("RGB")
    with open(os.path.join(os.path.dirname(ref), "agreement.txt"), "a") as log:
        both = pillow is not None and magick is not None
        log.write(f"psd/{name}: " + (f"largest difference between the readers "
                                     f"{frame_difference(pillow.convert('RGBA'), magick.convert('RGBA'))}"
                                     if both else f"read by {'Pillow' if pillow else 'ImageMagick' if magick else 'neither'}")
                  + "\n")
    first = pillow or magick
    # The reader refuses bitmap-mode (1-bit) and 32-bit files by design.
    if first is None or depth not in (8, 16):
        write(ref, "refused")
        return
    # ImageMagick alone, with a transparency plane: it gives transparent pixels
    # black, where the reader keeps their stored colour; only the decoding counts.
    colours = {1: 1, 2: 1, 3: 3, 4: 4, 8: 1, 9: 3}.get(mode, channels)
    status = "partial" if pillow is None and channels > colours else "ok"
    write(ref, status, first.width, first.height, 3, tolerance=tolerance, data=first.tobytes())
    if pillow is not None and magick is not None and magick.size == pillow.size:
        write(ref[:-4] + ".alt.ref", "ok", magick.width, magick.height, 3, tolerance=tolerance, data=magick.tobytes())


def wmf_reference(path, ref):
    """Placeable and standard WMF files as ImageMagick renders them: one line
    of <file> <width> <height> <ink> in ink.txt, ink being the share of the
    picture's pixels that are not white, or <file> refused (or unrendered
    when ImageMagick takes more than two minutes)."""
    name = os.path.basename(path)
    line = f"{name} refused"
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "rendered.png")
        try:
            run = subprocess.run(["convert", path, "-background", "white", "-flatten", out], capture_output=True,
                                 timeout=120)
        except subprocess.TimeoutExpired:
            run = None
        if run is None:
            line = f"{name} unrendered"
        elif run.returncode == 0 and os.path.exists(out):
            with Image.open(out) as image:
                grey = image.convert("L")
                ink = sum(1 for v in grey.getdata() if v < 250) / (grey.width * grey.height)
                line = f"{name} {grey.width} {grey.height} {ink:.4f}"
    with open(os.path.join(os.path.dirname(ref), "ink.txt"), "a") as log:
        log.write(line + "\n")


def main():
    raster, out = sys.argv[1], sys.argv[2]
    makers = {"jpeg": jpeg_reference, "png": png_reference, "tiff": tiff_reference, "mng": mng_reference,
              "jng": mng_reference, "jp2": jpeg2000_reference, "pnm": pnm_reference, "ras": ras_reference,
              "gif": frames_reference, "pcx": frames_reference, "tga": tga_reference, "wbmp": frames_reference,
              "psd": psd_reference, "wmf": wmf_reference}
    # The project's own fixtures (a folder per format) get references too.
    if len(sys.argv) > 3:
        for folder, maker in makers.items():
            source = os.path.join(sys.argv[3], folder)
            if os.path.isdir(source):
                os.makedirs(os.path.join(out, "fixtures", folder), exist_ok=True)
                for log in ("agreement.txt", "ink.txt"):
                    open(os.path.join(out, "fixtures", folder, log), "w").close()
                for name in sorted(os.listdir(source)):
                    if not name.endswith((".py", ".sh")):
                        maker(os.path.join(source, name), os.path.join(out, "fixtures", folder, name + ".ref"))
    for folder, maker in makers.items():
        source = os.path.join(raster, folder)
        if not os.path.isdir(source):
            continue
        os.makedirs(os.path.join(out, folder), exist_ok=True)
        for log in ("agreement.txt", "ink.txt"):
            open(os.path.join(out, folder, log), "w").close()
        for name in sorted(os.listdir(source)):
            maker(os.path.join(source, name), os.path.join(out, folder, name + ".ref"))


if __name__ == "__main__":
    main()
