// A handle as the number it spells.
#pragma once
#include "toolkit/ad.h"

#include <bit>
#include <cstdint>
#include <cstring>

// The eight bytes, most significant first, as one 64-bit number: one load and
// a byte swap. A byte-at-a-time loop is not recognised as a swap by every
// compiler, and the handle index compares one of these per search step.
inline std::uint64_t adHandleValue(const AdHandle* handle) {
    std::uint64_t value = 0;
    std::memcpy(&value, handle->b, sizeof value);
    if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
    return value;
}

// The inverse: the number as eight bytes, most significant first.
inline void adHandleSetValue(AdHandle* handle, std::uint64_t value) {
    if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
    std::memcpy(handle->b, &value, sizeof value);
}
