// The display engine's own reader of BMP file images, as the host loads them
// into a byte store for an IMAGE: the file and information headers with the
// palette, the expansion of RLE8, RLE4 and 4-bit pictures into one byte a
// pixel, and the colour of one pixel. The bytes come from any file a drawing
// names, so every size and offset is checked before it is used. Internal to
// the engine.
#pragma once
#include "toolkit/ad.h"

#include <cstdint>

constexpr int AD_BITMAP_PALETTE_LIMIT = 256;
// An expanded picture may take at most this many bytes: a few hundred bytes
// of RLE codes must not be able to ask for gigabytes.
constexpr std::int64_t AD_BITMAP_EXPANSION_LIMIT = std::int64_t{1} << 26;

enum AdBitmapStatus : std::int16_t {
    AD_BITMAP_READABLE = 0,
    AD_BITMAP_UNREADABLE = 1,  // not a bitmap the engine reads
    AD_BITMAP_OS2_ARRAY = 2,   // an OS/2 bitmap array, icon or pointer
};

enum AdBitmapCompression : std::uint32_t {
    AD_BITMAP_RGB = 0,
    AD_BITMAP_RLE8 = 1,
    AD_BITMAP_RLE4 = 2,
};

struct AdBitmapHeader {
    std::int16_t status;
    std::int32_t paletteCount;
    std::uint32_t fileSize;
    std::uint16_t reserved[2];
    std::uint32_t bitsOffset;
    std::uint32_t headerSize;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t planes;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::uint32_t imageSize;
    std::int32_t xResolution;
    std::int32_t yResolution;
    std::uint32_t coloursUsed;
    std::uint32_t coloursImportant;
    std::uint16_t extraShorts[4];  // of headers longer than 40 bytes
    std::uint32_t extraLongs[4];
    std::uint32_t palette[AD_BITMAP_PALETTE_LIMIT];  // 0x00RRGGBB
    std::int32_t pixelPosition;  // stream position of the pixel data
};

// Reads the headers and the palette from the stream's start. A readable
// bitmap is 1, 4, 8 or 24 bits a pixel, uncompressed or (8 and 4 bits) RLE,
// at least one pixel wide and high, bottom-up, with its pixel data inside
// the store. 1 when the status is readable.
int adReadBitmapHeader(AdStream* stream, AdBitmapHeader* header);

// The bytes of one stored row in the layout adBitmapPixel reads: 1 bit a
// pixel, 1 byte a pixel for 4 and 8 bits (after expansion), or 3 bytes.
std::int64_t adBitmapRowSize(const AdBitmapHeader* header);

// RLE8, RLE4 and uncompressed 4-bit pictures become one byte a pixel in a
// new store (*expanded; null for the others, whose pixels are read in
// place); the header's pixel position then refers to that store. 0 when
// memory runs out or the picture is too large to expand.
int adExpandBitmap(AdStream* stream, AdBitmapHeader* header, AdStore** expanded);

// Stored row y whole (adBitmapRowSize bytes); 0 when it is missing.
int adBitmapReadRow(std::int32_t y, const AdBitmapHeader* header, AdStream* stream, std::int32_t pixelOffset,
                    std::uint8_t* rowOut);
// R, G, B of pixel x of a row read whole; black outside the row.
void adBitmapRowColour(const std::uint8_t* row, std::int32_t x, const AdBitmapHeader* header, std::uint8_t rgbOut[3]);

// R, G, B of pixel x of stored row y (rows from the bottom). 0 when the
// pixel lies outside the picture or its bytes are missing.
int adBitmapPixel(std::int32_t x, std::int32_t y, const AdBitmapHeader* header, AdStream* stream,
                  std::int32_t pixelOffset, std::uint8_t rgbOut[3]);
