// The colour of one pixel of a read (and, for RLE and 4-bit pictures,
// expanded) bitmap, alone or from a row read whole.
#include "toolkit/display/bitmap.h"

namespace {

std::int32_t columnByte(std::int32_t x, int bits) { return bits == 1 ? x / 8 : bits == 24 ? 3 * x : x; }

// b: the pixel's byte (or three bytes).
void colourOf(const std::uint8_t* b, std::int32_t x, const AdBitmapHeader* header, std::uint8_t rgbOut[3]) {
    rgbOut[0] = rgbOut[1] = rgbOut[2] = 0;
    if (header->bitCount == 1) {
        const std::uint8_t level = (b[0] & (0x80 >> (x % 8))) ? 255 : 0;
        rgbOut[0] = rgbOut[1] = rgbOut[2] = level;
    } else if (header->bitCount == 24) {
        rgbOut[0] = b[2], rgbOut[1] = b[1], rgbOut[2] = b[0];
    } else if (b[0] < header->paletteCount) {  // an index beyond the palette stays black
        const std::uint32_t rgb = header->palette[b[0]];
        rgbOut[0] = static_cast<std::uint8_t>(rgb >> 16);
        rgbOut[1] = static_cast<std::uint8_t>(rgb >> 8);
        rgbOut[2] = static_cast<std::uint8_t>(rgb);
    }
}

}  // namespace

int adBitmapReadRow(std::int32_t y, const AdBitmapHeader* header, AdStream* stream, std::int32_t pixelOffset,
                    std::uint8_t* rowOut) {
    const std::int64_t size = adBitmapRowSize(header);
    const std::int64_t at = pixelOffset + size * y;
    if (y < 0 || y >= header->height || at > INT32_MAX || !adStreamSeek(stream, static_cast<std::int32_t>(at)))
        return 0;
    return adStreamRead(stream, rowOut, static_cast<std::int32_t>(size));
}

void adBitmapRowColour(const std::uint8_t* row, std::int32_t x, const AdBitmapHeader* header, std::uint8_t rgbOut[3]) {
    rgbOut[0] = rgbOut[1] = rgbOut[2] = 0;
    if (x >= 0 && x < header->width) colourOf(row + columnByte(x, header->bitCount), x, header, rgbOut);
}

int adBitmapPixel(std::int32_t x, std::int32_t y, const AdBitmapHeader* header, AdStream* stream,
                  std::int32_t pixelOffset, std::uint8_t rgbOut[3]) {
    rgbOut[0] = rgbOut[1] = rgbOut[2] = 0;
    if (x < 0 || y < 0 || x >= header->width || y >= header->height) return 0;
    const std::int64_t at = pixelOffset + adBitmapRowSize(header) * y + columnByte(x, header->bitCount);
    std::uint8_t bytes[3] = {};
    if (at > INT32_MAX || !adStreamSeek(stream, static_cast<std::int32_t>(at)) ||
        !adStreamRead(stream, bytes, header->bitCount == 24 ? 3 : 1))
        return 0;
    colourOf(bytes, x, header, rgbOut);
    return 1;
}
