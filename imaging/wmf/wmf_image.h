// Windows metafiles (format identifier 11): a placeable 16-bit metafile or a
// 32-bit enhanced one, played by GDI into a bitmap of the screen's depth at
// the screen's resolution, at most 4000 pixels either way.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>

// The 22-byte header before a placeable 16-bit metafile, little-endian.
struct WmfPlaceableHeader {
    std::uint32_t key;  // 9AC6CDD7h
    std::int16_t left, top, right, bottom;
    std::uint16_t unitsPerInch;  // 1 to 2540
    std::uint16_t checksum;      // XOR of the ten 16-bit words before it
};

constexpr std::int32_t kWmfMaxSide = 4000;

class CRasterImageWMF : public CRasterImage {
public:
    CRasterImageWMF() : CRasterImage(kRasterWmf) {}
    bool Decode(CRasterStream* stream) { return DecodeAtSize(stream, 0, 0); }
    // A width and height other than 0 replace the file's size before the cap.
    bool DecodeAtSize(CRasterStream* stream, std::int32_t width, std::int32_t height);
    bool Encode(CRasterStream* stream);
};

// The header's 22 bytes; true when the key, the checksum and the units per
// inch make it a placeable header.
bool IsPlaceableHeader(const std::uint8_t* bytes, WmfPlaceableHeader& header);
// Scales a size down so that neither side exceeds 4000, keeping its shape.
void CapSize(std::int32_t& width, std::int32_t& height);

#ifdef _WIN32
// The stream's metafile as an enhanced-metafile handle, or null; `pixels`
// gets the size it asks for on the screen.
HENHMETAFILE ReadPlaceableMetafile(CRasterStream* stream, std::int32_t& width, std::int32_t& height);
HENHMETAFILE ReadEnhancedMetafile(CRasterStream* stream, std::int32_t& width, std::int32_t& height);
#endif
