// Building small picture files byte by byte in tests.
#pragma once

#include "imaging/raster_types.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t Rgb(RGBQUAD q) { return q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue; }

inline void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
