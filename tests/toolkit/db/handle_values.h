// Handles from and to plain numbers, for readable test cases.
#pragma once
#include "toolkit/ad.h"

inline AdHandle H(std::uint64_t value) {
    AdHandle h;
    for (int i = 7; i >= 0; --i, value >>= 8) h.b[i] = static_cast<std::uint8_t>(value);
    return h;
}

inline std::uint64_t V(const AdHandle& h) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : h.b) value = value << 8 | byte;
    return value;
}
