// The byte form of doubles in drawing files.
#include "toolkit/db/raw_double.h"

#include <bit>

void adDoubleToBytes(double value, std::uint8_t bytes[8]) {
    std::uint64_t v = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i, v >>= 8) bytes[i] = static_cast<std::uint8_t>(v);
}

double adDoubleFromBytes(const std::uint8_t bytes[8]) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | bytes[i];
    return std::bit_cast<double>(v);
}

double adDoubleFromFileBytes(const std::uint8_t bytes[8]) {
    const int high = bytes[7] & 0x7F;
    if (high == 0 && bytes[6] < 0x10) return 0.0;
    if (high == 0x7F && bytes[6] >= 0xF0) return 0.0;
    return adDoubleFromBytes(bytes);
}
