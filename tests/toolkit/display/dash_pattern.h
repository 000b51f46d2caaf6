// A linetype record of the given dash, gap (negative) and dot (0) lengths,
// with a handle that is not the continuous linetype's.
#pragma once
#include "toolkit/display/render_state.h"

#include <cmath>
#include <vector>

inline AdLtypeRecord dashPattern(const std::vector<double>& dashes) {
    AdLtypeRecord record{};
    record.handle.b[7] = 0x20;
    record.dashCount = static_cast<std::int16_t>(dashes.size());
    for (std::size_t i = 0; i < dashes.size(); ++i) {
        record.dashes[i].length = dashes[i];
        record.patternLength += std::fabs(dashes[i]);
    }
    return record;
}
