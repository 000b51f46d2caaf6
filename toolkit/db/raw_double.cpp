// The byte form of doubles in drawing files.
#include "toolkit/db/raw_double.h"

#include <bit>
#include <cstring>

void adDoubleToBytes(double value, std::uint8_t bytes[8]) {
    std::uint64_t v = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i, v >>= 8) bytes[i] = static_cast<std::uint8_t>(v);
}

double adDoubleFromFileBytes(const std::uint8_t bytes[8]) {
    std::uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, bytes, sizeof v);
    } else {
        for (int i = 7; i >= 0; --i) v = (v << 8) | bytes[i];
    }
    return adDoubleFromFileBits(v);
}

double adDoubleFromFileBits(std::uint64_t bits) {
    const std::uint64_t exponent = (bits >> 52) & 0x7FF;
    if (exponent == 0 || exponent == 0x7FF) return 0.0;
    return std::bit_cast<double>(bits);
}
