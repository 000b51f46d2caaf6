// A handle as the number it spells.
#pragma once
#include "toolkit/ad.h"

#include <cstdint>

// The eight bytes, most significant first, as one 64-bit number; compilers
// make this one load and a byte swap.
inline std::uint64_t adHandleValue(const AdHandle* handle) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : handle->b) value = value << 8 | byte;
    return value;
}
