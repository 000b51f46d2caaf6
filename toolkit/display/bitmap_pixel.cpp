// The colour of one pixel of a read (and, for RLE and 4-bit pictures,
// expanded) bitmap.
#include "toolkit/display/bitmap.h"

int adBitmapPixel(std::int32_t x, std::int32_t y, const AdBitmapHeader* header, AdStream* stream,
                  std::int32_t pixelOffset, std::uint8_t rgbOut[3]) {
    rgbOut[0] = rgbOut[1] = rgbOut[2] = 0;
    if (x < 0 || y < 0 || x >= header->width || y >= header->height) return 0;
    const int bits = header->bitCount;
    const std::int64_t column = bits == 1 ? x / 8 : bits == 24 ? std::int64_t{3} * x : x;
    const std::int64_t at = pixelOffset + adBitmapRowSize(header) * y + column;
    if (at > INT32_MAX || !adStreamSeek(stream, static_cast<std::int32_t>(at))) return 0;
    std::uint8_t b[3] = {};
    if (!adStreamRead(stream, b, bits == 24 ? 3 : 1)) return 0;
    if (bits == 1) {
        const std::uint8_t level = (b[0] & (0x80 >> (x % 8))) ? 255 : 0;
        rgbOut[0] = rgbOut[1] = rgbOut[2] = level;
    } else if (bits == 24) {
        rgbOut[0] = b[2], rgbOut[1] = b[1], rgbOut[2] = b[0];
    } else {
        // An index beyond the palette has no colour: the pixel stays black.
        if (b[0] >= header->paletteCount) return 0;
        const std::uint32_t rgb = header->palette[b[0]];
        rgbOut[0] = static_cast<std::uint8_t>(rgb >> 16);
        rgbOut[1] = static_cast<std::uint8_t>(rgb >> 8);
        rgbOut[2] = static_cast<std::uint8_t>(rgb);
    }
    return 1;
}
