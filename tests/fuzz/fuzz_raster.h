// For fuzz targets over the image codecs: one decode of the input from a
// memory stream, after a size-only pass where the codec has one, so that a
// tiny input declaring a huge picture is passed over instead of reported as
// an allocation beyond the fuzzer's memory limit.
#pragma once

#include "imaging/raster_image.h"
#include "imaging/raster_stream.h"

#include <cstddef>
#include <cstdint>

// Pictures above this many pixels are not decoded.
constexpr std::uint64_t kFuzzMaxPixels = 1u << 22;

// PNG and MNG streams name their size in the big-endian fields at bytes 16
// and 20 (the first chunk after the signature): true when that is too large.
inline bool FuzzPngSizeTooLarge(const std::uint8_t* data, std::size_t size) {
    if (size < 24) return false;
    const auto field = [data](std::size_t at) {
        return std::uint64_t{data[at]} << 24 | std::uint64_t{data[at + 1]} << 16 | data[at + 2] << 8 | data[at + 3];
    };
    return field(16) * field(20) > kFuzzMaxPixels;
}

inline void FuzzDecode(const std::uint8_t* data, std::size_t size, std::uint32_t formatId, bool sizeOnlyFirst) {
    if (sizeOnlyFirst) {
        CRasterImage probe;
        probe.Info.Escape = -1;
        CRasterMemStream stream(data, static_cast<std::uint32_t>(size));
        if (!probe.Decode(&stream, formatId) ||
            std::uint64_t{probe.GetWidth()} * probe.GetHeight() > kFuzzMaxPixels) {
            return;
        }
    }
    CRasterImage image;
    CRasterMemStream stream(data, static_cast<std::uint32_t>(size));
    if (image.Decode(&stream, formatId)) {
        // Touch every pixel the decoder claims to have made.
        volatile std::uint32_t sum = 0;
        for (std::uint32_t y = 0; y < image.GetHeight(); ++y) sum = sum + image.GetColorAt(0, y, true).rgbRed;
    }
}
