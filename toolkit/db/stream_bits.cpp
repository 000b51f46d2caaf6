// Moving raw bytes from the current DWG bit reader into a stream.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <algorithm>

int adStreamCopyFromBits(AdStream* stream, std::int32_t count) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_WRITE_NULL);
        return 0;
    }
    std::uint8_t run[512];
    for (std::int32_t left = count; left > 0;) {
        const std::int32_t n = std::min<std::int32_t>(left, sizeof run);
        if (!adBitReadBytes(run, n) || !adStreamWrite(stream, run, n)) return 0;
        left -= n;
    }
    return 1;
}
