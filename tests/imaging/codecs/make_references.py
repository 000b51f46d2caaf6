#!/usr/bin/python3
"""Writes reference pixels for the JPEG, PNG and TIFF files of the shared raster
data, made by other readers: djpeg for JPEG (Pillow's samples for CMYK),
Pillow for PNG, tiff2rgba for TIFF.

usage: make_references.py RASTER_DIR OUT_DIR

One OUT_DIR/<format>/<file>.ref per file: a header line
    <status> <width> <height> <channels> <frames> <tolerance> <hash>
then width x height x channels bytes, top row first (RGB or RGBA); for large
pictures only the CRC-32 of those bytes stands in the header
(otherwise "-"), which keeps the references small. status is
"ok", or "refused" when the reference reader fails (no pixels follow), or
"damaged" when it reports errors but still gives pixels (a decoder may then
refuse too).
"""
import os
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


def main():
    raster, out = sys.argv[1], sys.argv[2]
    makers = {"jpeg": jpeg_reference, "png": png_reference, "tiff": tiff_reference}
    for folder, maker in makers.items():
        source = os.path.join(raster, folder)
        if not os.path.isdir(source):
            continue
        os.makedirs(os.path.join(out, folder), exist_ok=True)
        for name in sorted(os.listdir(source)):
            maker(os.path.join(source, name), os.path.join(out, folder, name + ".ref"))


if __name__ == "__main__":
    main()
