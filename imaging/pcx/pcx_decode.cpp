// PCX decoding.
#include "imaging/pcx/pcx_image.h"
#include "imaging/raster_bytes.h"

#include <cstdio>
#include <new>
#include <vector>

namespace {

// The layouts a PCX file can hold: bits per pixel per plane and planes.
bool KnownLayout(std::uint32_t bits, std::uint32_t planes) {
    if (bits == 8) return planes == 1 || planes == 3 || planes == 4;
    if (bits == 1) return planes >= 1 && planes <= 4;
    return (bits == 2 || bits == 4) && planes == 1;
}

}  // namespace

bool CRasterImagePCX::Decode(CRasterStream* stream, std::uint32_t formatId) {
    if (!stream) return false;
    std::uint8_t header[128];
    if (!ReadExactly(stream, header, sizeof header)) return Fail("Can't read PCX image");
    if (header[0] != 10) return Fail("Error: Not a PCX file");
    if (header[2] != 1) return Fail("PCX file has unknown encoding scheme");
    const std::uint32_t bits = header[3], planes = header[65], bytesPerLine = LoadLe16(header + 66);
    const std::int64_t width = std::int64_t{LoadLe16(header + 8)} - LoadLe16(header + 4) + 1;
    const std::int64_t height = std::int64_t{LoadLe16(header + 10)} - LoadLe16(header + 6) + 1;
    if (formatId == kRasterUnknown) {
        const std::uint8_t version = header[1];
        if ((version != 0 && (version < 2 || version > 5)) || !KnownLayout(bits, planes) || width <= 0 || height <= 0)
            return Fail("Error: Not a PCX file");
    }
    if (planes > 4) return Fail("Can't handle image with more than 4 planes");
    if (!KnownLayout(bits, planes)) return Fail(planes > 1 ? "Can't handle more than 1 bit per pixel" : "corrupted PCX");
    // The scan lines must hold the picture's pixels: the decoding below reads
    // every one of them out of bytesPerLine bytes a plane.
    if (width <= 0 || height <= 0 ||
        bytesPerLine < (static_cast<std::uint64_t>(width) * bits + 7) / 8)
        return Fail("corrupted PCX");

    std::uint32_t depth = bits;
    if (bits == 8 && planes >= 3) depth = 24;
    else if (bits == 1 && planes >= 2) depth = 4;
    const std::uint64_t lineBytes = std::uint64_t{bytesPerLine} * planes;
    const std::uint64_t total = lineBytes * static_cast<std::uint64_t>(height);
    // Two bytes give at most 63: a tiny file cannot hold a huge picture.
    const std::uint64_t left = BytesLeft(stream);
    if (total > left * 32 + 63) return Fail("corrupted PCX");
    if (!Create(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), depth, kRasterPcx))
        return false;
    SetDpiX(LoadLe16(header + 12));
    SetDpiY(LoadLe16(header + 14));
    if (planes == 4 && bits == 8) CreateAlphaPlane();
    if (Info.Escape) return Fail("Cancelled");

    std::vector<std::uint8_t> data(static_cast<std::size_t>(total)), packed(static_cast<std::size_t>(left));
    const std::size_t available = stream->Read(packed.data(), 1, packed.size());
    std::size_t in = 0;
    for (std::size_t out = 0; out < data.size();) {
        if (in >= available) return Fail("corrupted PCX");
        std::uint8_t byte = packed[in++];
        std::size_t count = 1;
        if (byte >= 0xC0) {
            count = byte & 0x3F;
            if (in >= available) return Fail("corrupted PCX");
            byte = packed[in++];
            if (count > data.size() - out) return Fail("repeat count spans end of image");
        }
        for (; count > 0; --count) data[out++] = byte;
    }
    // Back to just after the pixel data, where an 8-bit table follows.
    stream->Seek(static_cast<long>(in) - static_cast<long>(available), SEEK_CUR);

    std::uint8_t colours[768] = {};
    for (int i = 0; i < 48; ++i) colours[i] = header[16 + i];
    if (bits == 8 && planes == 1) {
        if (stream->GetC() != 12) return Fail("bad color map signature");
        if (!ReadExactly(stream, colours, sizeof colours)) return Fail("corrupted PCX");
    } else if (bits == 1 && planes == 1) {
        const std::uint8_t blackWhite[6] = {0, 0, 0, 255, 255, 255};
        for (int i = 0; i < 6; ++i) colours[i] = blackWhite[i];
    }
    if (IsIndexed()) SetPaletteTriples(colours, GetPaletteCount());

    for (std::uint32_t y = 0; y < GetHeight(); ++y) {
        if (Info.Escape) return Fail("Cancelled");
        const std::uint8_t* line = data.data() + y * lineBytes;
        const std::int64_t row = static_cast<std::int64_t>(GetHeight()) - 1 - y;
        for (std::uint32_t x = 0; x < GetWidth(); ++x) {
            if (depth == 24) {
                SetColorAt(x, row, {line[x + 2 * bytesPerLine], line[x + bytesPerLine], line[x], 0}, false);
                if (planes == 4) SetAlphaAt(x, row, line[x + 3 * bytesPerLine]);
            } else if (planes == 1) {
                // Packed pixels: the leftmost in the most significant bits.
                const std::uint32_t perByte = 8 / bits, shift = 8 - bits * (x % perByte + 1);
                SetIndexAt(x, row, static_cast<std::uint8_t>((line[x / perByte] >> shift) & ((1u << bits) - 1)));
            } else {
                // One bit a plane: plane i gives bit i of the index.
                std::uint8_t index = 0;
                for (std::uint32_t plane = 0; plane < planes; ++plane) {
                    index |= ((line[plane * bytesPerLine + x / 8] >> (7 - x % 8)) & 1) << plane;
                }
                SetIndexAt(x, row, index);
            }
        }
    }
    return true;
}
