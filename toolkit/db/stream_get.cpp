// The "get" reads: the destination is cleared first, so a failed read leaves
// zeros rather than stale values.
#include "toolkit/ad.h"

int adStreamGetShort(AdStream* stream, std::int16_t* value) {
    *value = 0;
    return adStreamReadShort(stream, value) ? 1 : 0;
}

// The 32-bit value keeps its sign in the wider slot.
int adStreamGetLong(AdStream* stream, std::intptr_t* value) {
    *value = 0;
    std::int32_t v = 0;
    if (!adStreamReadLong(stream, &v)) return 0;
    *value = v;
    return 1;
}

int adStreamGetDouble(AdStream* stream, double* value) {
    *value = 0.0;
    return adStreamReadDouble(stream, value) ? 1 : 0;
}

int adStreamGetDoubles(AdStream* stream, double* values, std::int32_t count) {
    if (count < 0) return 0;
    for (std::int32_t i = 0; i < count; ++i) values[i] = 0.0;
    for (std::int32_t i = 0; i < count; ++i)
        if (!adStreamReadDouble(stream, &values[i])) return 0;
    return 1;
}

int adStreamGetPoint3D(AdStream* stream, double point[3]) { return adStreamGetDoubles(stream, point, 3); }
