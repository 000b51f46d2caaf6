// TGA decoding.
#include "imaging/tga/tga_image.h"
#include "imaging/raster_bytes.h"

#include <cstdio>
#include <vector>

namespace {

// A 15- or 16-bit value: five bits each of blue, green and red, each
// multiplied by 8; the top bit is not used.
RGBQUAD Quad16(std::uint16_t value) {
    return {static_cast<std::uint8_t>((value & 0x1F) * 8), static_cast<std::uint8_t>(((value >> 5) & 0x1F) * 8),
            static_cast<std::uint8_t>(((value >> 10) & 0x1F) * 8), 0};
}

// One pixel of `bytes` bytes (1 index or grey, 2, 3 or 4 colour) as blue,
// green, red and alpha.
RGBQUAD PixelQuad(const std::uint8_t* p, std::uint32_t bytes) {
    switch (bytes) {
    case 2: return Quad16(LoadLe16(p));
    case 3: return {p[0], p[1], p[2], 255};
    case 4: return {p[0], p[1], p[2], p[3]};
    default: return {p[0], p[0], p[0], 255};
    }
}

// The pixels of a run-length coded file; a packet may run on into the next row.
class RleReader {
public:
    RleReader(CRasterStream* stream, std::uint32_t bytes) : Stream(stream), Bytes(bytes) {}
    bool Read(std::uint8_t* pixels, std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (Left == 0) {
                const int packet = Stream->GetC();
                if (packet < 0) return false;
                Run = (packet & 0x80) != 0;
                Left = (packet & 0x7F) + 1u;
                if (Run && !ReadExactly(Stream, Value, Bytes)) return false;
            }
            if (!Run && !ReadExactly(Stream, Value, Bytes)) return false;
            for (std::uint32_t b = 0; b < Bytes; ++b) pixels[i * Bytes + b] = Value[b];
            --Left;
        }
        return true;
    }

private:
    CRasterStream* Stream;
    std::uint32_t Bytes;
    std::uint32_t Left = 0;
    bool Run = false;
    std::uint8_t Value[4] = {};
};

}  // namespace

bool CRasterImageTGA::Decode(CRasterStream* stream, std::uint32_t formatId) {
    if (!stream) return false;
    std::uint8_t header[18];
    if (!ReadExactly(stream, header, sizeof header)) return Fail("Not a TGA");
    const std::uint32_t idLength = header[0], mapType = header[1], type = header[2];
    const std::uint32_t mapFirst = LoadLe16(header + 3), mapLength = LoadLe16(header + 5), mapEntry = header[7];
    const std::uint32_t width = LoadLe16(header + 12), height = LoadLe16(header + 14), depth = header[16];
    const std::uint8_t descriptor = header[17];
    const std::uint32_t kind = type & 7;
    const bool coded = type > 8;
    if (kind < 1 || kind > 3 || (type & ~0xBu) != 0) return Fail("Unknown TGA image type");
    if (width == 0 || height == 0 || depth == 0 || mapLength > 256 ||
        (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32))
        return Fail("bad TGA header");
    // The depth must suit the kind of picture, and a colour map's entries
    // must be colours: anything else would be read into the wrong places.
    const bool hasMap = mapType != 0 && mapLength > 0;
    const std::uint32_t entryBytes = (mapEntry + 7) / 8;
    if ((kind != 2 && depth != 8) || (kind == 2 && depth == 8) ||
        (hasMap && mapEntry != 15 && mapEntry != 16 && mapEntry != 24 && mapEntry != 32))
        return Fail("bad TGA header");
    const std::uint32_t pixelBytes = (depth + 7) / 8;
    // What the file must hold at least: a run packet gives 128 pixels at most.
    const std::uint64_t left = BytesLeft(stream);
    const std::uint64_t pixels = std::uint64_t{width} * height;
    const std::uint64_t needed = idLength + (hasMap ? std::uint64_t{mapLength} * entryBytes : 0) +
                                 (coded ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes);
    if (formatId == kRasterUnknown && (mapType > 1 || (kind == 1) != (mapType == 1) ||
                                       (!hasMap && (mapFirst || mapLength)) || (descriptor & 0xC0) || needed > left))
        return Fail("Not a TGA");
    if (needed > left) return Fail("corrupted TGA");

    std::uint8_t skipped[256];
    if (!ReadExactly(stream, skipped, idLength)) return Fail("corrupted TGA");
    if (!Create(width, height, depth == 8 ? 8 : 24, kRasterTga)) return Fail("TGA Create failed");
    if (depth == 32) CreateAlphaPlane();
    if (Info.Escape) return Fail("Cancelled");

    if (hasMap) {
        std::vector<std::uint8_t> map(std::size_t{mapLength} * entryBytes);
        if (!ReadExactly(stream, map.data(), map.size())) return Fail("corrupted TGA");
        // Only a colour-mapped picture uses the map; entries sit at their
        // numbers from the first entry's on, and past 255 there are none.
        for (std::uint32_t i = 0; kind == 1 && i < mapLength && mapFirst + i < 256; ++i) {
            SetPaletteEntry(mapFirst + i, PixelQuad(map.data() + i * entryBytes, entryBytes));
        }
    }
    if (kind == 3) SetGreyRamp();

    std::vector<std::uint8_t> line(std::size_t{width} * pixelBytes);
    RleReader runs(stream, pixelBytes);
    const bool topDown = (descriptor & 0x20) != 0;
    for (std::uint32_t i = 0; i < height; ++i) {
        if (Info.Escape) return Fail("Cancelled");
        const bool read = coded ? runs.Read(line.data(), width) : ReadExactly(stream, line.data(), line.size());
        if (!read) return Fail("corrupted TGA");
        const std::uint32_t row = topDown ? height - 1 - i : i;
        std::uint8_t* target = GetPixels(row);
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* pixel = line.data() + std::size_t{x} * pixelBytes;
            if (depth == 8) {
                target[x] = pixel[0];
                continue;
            }
            const RGBQUAD quad = PixelQuad(pixel, pixelBytes);
            target[3 * x] = quad.rgbBlue;
            target[3 * x + 1] = quad.rgbGreen;
            target[3 * x + 2] = quad.rgbRed;
            if (depth == 32) SetAlphaAt(x, row, quad.rgbReserved);
        }
    }
    if (descriptor & 0x10) MirrorHorizontal();
    return true;
}
