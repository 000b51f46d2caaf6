// The SAT text of a solid, region or body handed to the solid-model
// renderer in the pieces it asks for. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

struct AdSatSource {
    AdStream* stream;
    std::int32_t remaining;  // bytes not yet handed over
};

// At most size bytes, no more than remain and no more than a 16-bit count;
// 0 at the end of the text or when the store cannot be read.
inline std::int32_t adSatSourceRead(AdSatSource& source, void* buffer, std::int32_t size) {
    constexpr std::int32_t kReadLimit = 0x7fff;
    std::int32_t n = size < source.remaining ? size : source.remaining;
    if (n > kReadLimit) n = kReadLimit;
    if (n <= 0 || !adStreamRead(source.stream, buffer, n)) return 0;
    source.remaining -= n;
    return n;
}
