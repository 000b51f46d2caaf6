// Line weights as files code them: a 5-bit index into a fixed table.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int32_t kCodes = 32;
constexpr std::int16_t kLineweights[kCodes] = {0,   5,   9,   13,  15,  18,  20,  25,  30,  35, 40,
                                               50,  53,  60,  70,  80,  90,  100, 106, 120, 140, 158,
                                               200, 211, 0,   0,   0,   0,   -1,  -1,  -2,  -3};
}  // namespace

std::int16_t adLineweightFromIndex(std::int32_t code) {
    return code >= 0 && code < kCodes ? kLineweights[code] : 0;
}

std::int32_t adLineweightIndex(std::int16_t weight) {
    for (std::int32_t code = 0; code < kCodes; ++code)
        if (kLineweights[code] == weight) return code;
    return -1;
}
