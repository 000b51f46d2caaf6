// Byte strings for hand-built extended-data fixtures: little-endian numbers
// and doubles as the files and stores hold them.
#pragma once
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Le(std::uint64_t value, int count) {
    Bytes out;
    for (int i = 0; i < count; ++i, value >>= 8) out.push_back(static_cast<std::uint8_t>(value));
    return out;
}
inline Bytes Le16(std::int32_t value) { return Le(static_cast<std::uint16_t>(value), 2); }
inline Bytes Le32(std::int32_t value) { return Le(static_cast<std::uint32_t>(value), 4); }
inline Bytes Dbl(double value) { return Le(std::bit_cast<std::uint64_t>(value), 8); }
inline Bytes Chars(const char* text) { return Bytes(text, text + std::strlen(text)); }
