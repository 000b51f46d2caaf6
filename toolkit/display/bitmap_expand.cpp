// RLE8, RLE4 and uncompressed 4-bit pictures expanded to one byte a pixel,
// rows padded to four bytes and stored bottom row first, as adBitmapPixel
// reads them. Every write lands inside width x height: a run longer than
// its row is cut at the row's end, and a move below the last row ends the
// picture.
#include "toolkit/display/bitmap.h"

#include <cstring>

namespace {

struct Canvas {
    std::uint8_t* bytes;
    std::int64_t rowSize;
    std::int32_t width;
    std::int32_t height;
    std::int32_t x = 0;
    std::int32_t y = 0;

    void put(std::uint8_t value) {
        if (x < width && y < height) bytes[y * rowSize + x] = value;
        if (x < width) ++x;
    }
    bool ended() const { return y >= height; }
};

bool readByte(AdStream* stream, std::uint8_t* value) { return adStreamReadByte(stream, value) != 0; }

// Count pixels alternating between the nibbles of value (RLE4), or count
// copies of value (RLE8).
void encodedRun(Canvas& c, std::uint8_t count, std::uint8_t value, bool nibbles) {
    for (int i = 0; i < count; ++i)
        c.put(nibbles ? static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0f) : value);
}

// An absolute run: count bytes (RLE8) or nibbles (RLE4), padded to a word.
bool absoluteRun(AdStream* stream, Canvas& c, std::uint8_t count, bool nibbles) {
    const int bytes = nibbles ? (count + 3) / 4 * 2 : count + (count & 1);
    for (int i = 0; i < bytes; ++i) {
        std::uint8_t b = 0;
        if (!readByte(stream, &b)) return false;
        if (!nibbles) {
            if (i < count) c.put(b);
            continue;
        }
        if (2 * i < count) c.put(static_cast<std::uint8_t>(b >> 4));
        if (2 * i + 1 < count) c.put(static_cast<std::uint8_t>(b & 0x0f));
    }
    return true;
}

// The codes end with the data, with the end-of-bitmap escape or below the
// last row; what was not written stays palette entry 0.
void expandRle(AdStream* stream, Canvas& c, bool nibbles) {
    std::uint8_t count = 0, value = 0;
    while (!c.ended() && readByte(stream, &count) && readByte(stream, &value)) {
        if (count > 0) {
            encodedRun(c, count, value, nibbles);
            continue;
        }
        switch (value) {
            case 0:
                c.x = 0, ++c.y;
                break;
            case 1:
                return;
            case 2: {
                std::uint8_t dx = 0, dy = 0;
                if (!readByte(stream, &dx) || !readByte(stream, &dy)) return;
                c.y += dy;
                c.x = c.x + dx < c.width ? c.x + dx : c.width;
                break;
            }
            default:
                if (!absoluteRun(stream, c, value, nibbles)) return;
        }
    }
}

// Stored rows are padded to four bytes, whatever the width.
void expandNibbles(AdStream* stream, Canvas& c) {
    const std::int64_t stored = (std::int64_t{c.width} * 4 + 31) / 32 * 4;
    for (c.y = 0; c.y < c.height; ++c.y) {
        c.x = 0;
        for (std::int64_t i = 0; i < stored; ++i) {
            std::uint8_t b = 0;
            if (!readByte(stream, &b)) return;
            c.put(static_cast<std::uint8_t>(b >> 4));
            c.put(static_cast<std::uint8_t>(b & 0x0f));
        }
    }
}

}  // namespace

int adExpandBitmap(AdStream* stream, AdBitmapHeader* header, AdStore** expanded) {
    *expanded = nullptr;
    const bool rle = header->compression == AD_BITMAP_RLE8 || header->compression == AD_BITMAP_RLE4;
    if (!rle && header->bitCount != 4) return 1;
    const std::int64_t rowSize = adBitmapRowSize(header);
    const std::int64_t total = rowSize * header->height;
    if (rowSize > AD_BITMAP_EXPANSION_LIMIT || total > AD_BITMAP_EXPANSION_LIMIT) return 0;
    auto* bytes = static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(total)));
    if (!bytes) return 0;
    std::memset(bytes, 0, static_cast<std::size_t>(total));
    Canvas canvas{bytes, rowSize, header->width, header->height};
    if (adStreamSeek(stream, header->pixelPosition)) {
        if (rle) expandRle(stream, canvas, header->compression == AD_BITMAP_RLE4);
        else expandNibbles(stream, canvas);
    }
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    const bool written = out && adStreamWrite(out, bytes, static_cast<std::int32_t>(total)) != 0;
    if (out) adStreamCloseWrite(out);
    HostFree(bytes);
    if (!written) {
        if (store) adStoreFree(store);
        return 0;
    }
    *expanded = store;
    header->pixelPosition = 0;
    return 1;
}
