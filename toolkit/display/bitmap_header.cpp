// The BMP file and information headers and the palette.
#include "toolkit/display/bitmap.h"

#include <cstring>

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kLongestHeader = 64;

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool os2Signature(std::uint16_t signature) {
    static const char* const kSignatures[] = {"BA", "CI", "CP", "IC", "PT"};
    for (const char* s : kSignatures)
        if (signature == u16(reinterpret_cast<const std::uint8_t*>(s))) return true;
    return false;
}

// The fields of the information header (zero beyond the header's size, so
// a header shorter than 40 bytes leaves the fields it does not hold zero).
void infoFields(const std::uint8_t* b, AdBitmapHeader* out) {
    out->width = static_cast<std::int32_t>(u32(b + 4));
    out->height = static_cast<std::int32_t>(u32(b + 8));
    out->planes = u16(b + 12);
    out->bitCount = u16(b + 14);
    out->compression = u32(b + 16);
    out->imageSize = u32(b + 20);
    out->xResolution = static_cast<std::int32_t>(u32(b + 24));
    out->yResolution = static_cast<std::int32_t>(u32(b + 28));
    out->coloursUsed = u32(b + 32);
    out->coloursImportant = u32(b + 36);
    for (int i = 0; i < 4; ++i) out->extraShorts[i] = u16(b + 40 + 2 * i);
    for (int i = 0; i < 4; ++i) out->extraLongs[i] = u32(b + 48 + 4 * i);
}

// The palette fills the bytes between the headers and the pixels; a table
// claims at most 256 entries whatever the offsets say.
bool readPalette(AdStream* stream, std::uint32_t entrySize, AdBitmapHeader* out) {
    const std::uint32_t start = kFileHeaderSize + out->headerSize;
    const std::uint32_t room = out->bitsOffset > start ? out->bitsOffset - start : 0;
    std::uint32_t count = room / entrySize;
    if (count > AD_BITMAP_PALETTE_LIMIT) count = AD_BITMAP_PALETTE_LIMIT;
    out->paletteCount = static_cast<std::int32_t>(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t e[4] = {};
        if (!adStreamRead(stream, e, static_cast<std::int32_t>(entrySize))) return false;
        out->palette[i] = static_cast<std::uint32_t>(e[2]) << 16 | static_cast<std::uint32_t>(e[1]) << 8 | e[0];
    }
    return true;
}

bool depthReadable(const AdBitmapHeader& h) {
    switch (h.compression) {
        case AD_BITMAP_RGB: return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 24;
        case AD_BITMAP_RLE8: return h.bitCount == 8;
        case AD_BITMAP_RLE4: return h.bitCount == 4;
        default: return false;
    }
}

// Uncompressed rows must all be in the store, so that every row drawn has
// bytes behind it and the row count is bounded by the data.
bool pixelsPresent(const AdBitmapHeader& h, std::int32_t storeLength) {
    if (h.bitsOffset > static_cast<std::uint32_t>(storeLength)) return false;
    if (h.compression != AD_BITMAP_RGB) return true;
    const std::int64_t stored = h.bitCount == 4 ? (std::int64_t{h.width} * 4 + 31) / 32 * 4 : adBitmapRowSize(&h);
    const std::int64_t room = storeLength - static_cast<std::int64_t>(h.bitsOffset);
    return stored <= room && stored * h.height <= room;
}

}  // namespace

std::int64_t adBitmapRowSize(const AdBitmapHeader* header) {
    const std::int64_t width = header->width;
    switch (header->bitCount) {
        case 1: return (width + 31) / 32 * 4;
        case 24: return (3 * width + 3) & ~std::int64_t{3};
        default: return (width + 3) & ~std::int64_t{3};
    }
}

int adReadBitmapHeader(AdStream* stream, AdBitmapHeader* header) {
    std::memset(header, 0, sizeof *header);
    header->status = AD_BITMAP_UNREADABLE;
    std::uint8_t file[kFileHeaderSize + 4];
    if (!stream || !adStreamRewind(stream) || !adStreamRead(stream, file, sizeof file)) return 0;
    const std::uint16_t signature = u16(file);
    if (signature != u16(reinterpret_cast<const std::uint8_t*>("BM"))) {
        if (os2Signature(signature)) header->status = AD_BITMAP_OS2_ARRAY;
        return 0;
    }
    header->fileSize = u32(file + 2);
    header->reserved[0] = u16(file + 6);
    header->reserved[1] = u16(file + 8);
    header->bitsOffset = u32(file + 10);
    header->headerSize = u32(file + 14);
    const std::uint32_t size = header->headerSize;
    if (size < kCoreHeaderSize || size > kLongestHeader) return 0;
    std::uint8_t info[kLongestHeader] = {};
    std::memcpy(info, file + kFileHeaderSize, 4);
    if (!adStreamRead(stream, info + 4, static_cast<std::int32_t>(size - 4))) return 0;
    if (size == kCoreHeaderSize) {
        header->width = u16(info + 4);
        header->height = u16(info + 6);
        header->planes = u16(info + 8);
        header->bitCount = u16(info + 10);
        header->imageSize = static_cast<std::uint32_t>(
            header->height * ((std::int64_t{header->planes} * header->bitCount * header->width + 31) / 32 * 4));
    } else {
        infoFields(info, header);
    }
    if (!readPalette(stream, size == kCoreHeaderSize ? 3 : 4, header)) return 0;
    header->pixelPosition = static_cast<std::int32_t>(header->bitsOffset);
    if (header->width < 1 || header->height < 1 || !depthReadable(*header) ||
        !pixelsPresent(*header, adStreamLength(stream)))
        return 0;
    header->status = AD_BITMAP_READABLE;
    return 1;
}
