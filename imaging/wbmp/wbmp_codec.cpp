// WBMP decoding and encoding. Width and height are multi-byte integers (seven
// bits a byte, most significant first, high bit set on all but the last), so
// sizes from 128 up take two bytes.
#include "imaging/wbmp/wbmp_image.h"
#include "imaging/raster_bytes.h"

#include <cstdio>
#include <vector>

namespace {

// A multi-byte integer of at most four bytes, or -1.
std::int64_t ReadMultiByte(CRasterStream* stream) {
    std::int64_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const int byte = stream->GetC();
        if (byte < 0) return -1;
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80)) return value;
    }
    return -1;
}

bool WriteMultiByte(CRasterStream* stream, std::uint32_t value) {
    std::uint8_t bytes[5];
    int count = 0;
    do {
        bytes[4 - count] = static_cast<std::uint8_t>((value & 0x7F) | (count ? 0x80 : 0));
        value >>= 7;
        ++count;
    } while (value);
    return WriteExactly(stream, bytes + 5 - count, static_cast<std::size_t>(count));
}

}  // namespace

bool CRasterImageWBMP::Decode(CRasterStream* stream, std::uint32_t formatId) {
    if (!stream) return false;
    const int type = stream->GetC(), fixed = stream->GetC();
    if (type < 0 || fixed < 0) return Fail("Not a WBMP");
    if (type != 0) return Fail("Unsupported WBMP type");
    const std::int64_t width = ReadMultiByte(stream), height = ReadMultiByte(stream);
    if (width < 0 || height < 0) return Fail("Not a WBMP");
    if (width == 0 || height == 0) return Fail("Corrupted WBMP");
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) + 7) / 8;
    const std::uint64_t needed = rowBytes * static_cast<std::uint64_t>(height);
    const std::uint64_t left = BytesLeft(stream);
    if (formatId == kRasterUnknown && (fixed != 0 || left != needed)) return Fail("Not a WBMP");
    if (left < needed) return Fail("Corrupted WBMP");
    if (!Create(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 1, kRasterWbmp))
        return Fail("WBMP Create failed");
    SetGreyRamp();
    for (std::uint32_t row = GetHeight(); row-- > 0;) {
        if (!ReadExactly(stream, GetPixels(row), rowBytes)) return Fail("Corrupted WBMP");
    }
    return true;
}

bool CRasterImageWBMP::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    if (GetWidth() >= 256 || GetHeight() >= 256 || GetBpp() != 1) {
        SetLastError("Can't save this image as WBMP");
        return false;
    }
    const std::uint8_t head[2] = {0, 0};
    bool written = WriteExactly(stream, head, 2) && WriteMultiByte(stream, static_cast<std::uint32_t>(GetWidth())) &&
                   WriteMultiByte(stream, static_cast<std::uint32_t>(GetHeight()));
    // A set bit is white in the file: a picture whose colour 0 is the
    // brighter one is written with its bits turned over (the picture itself
    // stays as it is).
    const RGBQUAD first = GetPaletteEntry(0), second = GetPaletteEntry(1);
    const std::uint8_t flip = CompareLuminance(&first, &second) > 0 ? 0xFF : 0;
    const std::size_t rowBytes = (GetWidth() + 7) / 8;
    const std::uint8_t lastMask = static_cast<std::uint8_t>(0xFF00 >> (GetWidth() - 8 * (rowBytes - 1)));
    std::vector<std::uint8_t> line(rowBytes);
    for (std::uint32_t row = GetHeight(); written && row-- > 0;) {
        const std::uint8_t* pixels = GetPixels(row);
        for (std::size_t i = 0; i < rowBytes; ++i) line[i] = pixels[i] ^ flip;
        if (!line.empty()) line.back() &= lastMask;
        written = WriteExactly(stream, line.data(), rowBytes);
    }
    if (!written) SetLastError("Can't save this image as WBMP");
    return written;
}
