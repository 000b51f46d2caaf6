// Numbers from files reach integer fields through these: a value outside the
// target's range is clamped, not undefined.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Truncates toward zero into 32 bits; NaN gives 0.
inline std::int32_t RasterTruncate(double value) {
    if (!(value == value)) return 0;
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, low, high));
}
