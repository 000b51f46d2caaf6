// Encoding images into memory and decoding them back, for the codec tests.
#pragma once

#include "imaging/raster_image.h"
#include "imaging/raster_stream.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The bytes an encoder wrote; empty when it failed.
template <class Encoder>
Bytes EncodeWith(Encoder&& encode) {
    CRasterMemStream stream;
    if (!stream.Open() || !encode(&stream)) return {};
    return Bytes(stream.Buffer, stream.Buffer + stream.End);
}

inline Bytes EncodeToMemory(CRasterImage& image, std::uint32_t formatId) {
    return EncodeWith([&](CRasterStream* stream) { return image.Encode(stream, formatId); });
}

inline bool DecodeFromMemory(CRasterImage& image, const Bytes& bytes, std::uint32_t formatId) {
    CRasterMemStream stream(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return image.Decode(&stream, formatId);
}

// The bytes of a fixture under tests/data/raster; empty when it is missing.
inline Bytes ReadFixture(const std::string& name) {
    std::ifstream in(std::string(VT_TEST_DATA_DIR) + "/raster/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A 24-bit picture whose every pixel differs from its neighbours.
inline void FillPattern(CRasterImage& image) {
    for (std::uint32_t y = 0; y < image.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < image.GetWidth(); ++x) {
            if (image.IsIndexed()) {
                image.SetIndexAt(x, y, static_cast<std::uint8_t>((x + 3 * y) % image.GetPaletteCount()));
            } else {
                image.SetColorAt(x, y, RGBQUAD{std::uint8_t(x * 7), std::uint8_t(y * 5), std::uint8_t(x + y), 0}, false);
            }
        }
    }
}

// Bytes of the first segment with the given JPEG marker, from its marker on.
inline const std::uint8_t* FindMarker(const Bytes& jpeg, std::uint8_t marker) {
    for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return &jpeg[i];
    }
    return nullptr;
}
