// The value readers of the proxy-graphics stream: points, padded strings and
// the arrays of meshes and shells. Every read is bounded by the store.
#include "toolkit/display/proxy.h"

int adProxySkipPreamble(AdStream* stream) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    std::int32_t preamble[2];
    return adStreamRead(stream, preamble, sizeof preamble);
}

int adProxyReadPoint(AdStream* stream, double point[3]) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    return adStreamReadPoint3D(stream, point);
}

int adProxyReadLong(AdStream* stream, std::int32_t* value) { return adStreamReadLong(stream, value); }

// The terminator may be missing: the string then ends with the store, and
// reading it fails rather than running on.
std::int32_t adProxyReadString(AdStream* stream, char* buffer, std::int32_t capacity) {
    if (capacity > 0) buffer[0] = '\0';
    std::int32_t consumed = 0, kept = 0;
    for (;;) {
        std::uint8_t byte = 0;
        if (!adStreamReadByte(stream, &byte)) return 0;
        ++consumed;
        if (byte == 0) break;
        if (kept < capacity - 1) buffer[kept++] = static_cast<char>(byte);
    }
    if (capacity > 0) buffer[kept] = '\0';
    for (; consumed % 4 != 0; ++consumed) {
        std::uint8_t pad = 0;
        if (!adStreamReadByte(stream, &pad)) return 0;
    }
    return consumed;
}

int adProxyReadShorts(AdStream* stream, std::int32_t n, std::int16_t* out) {
    for (std::int32_t i = 0; i < n; ++i)
        if (!adStreamReadShort(stream, &out[i])) return 0;
    std::int16_t pad = 0;
    return n % 2 == 0 || adStreamReadShort(stream, &pad);
}

int adProxyReadLongs(AdStream* stream, std::int32_t n, std::int32_t* out) {
    for (std::int32_t i = 0; i < n; ++i)
        if (!adStreamReadLong(stream, &out[i])) return 0;
    return 1;
}

namespace {
int skipBytes(AdStream* stream, std::int64_t bytes) {
    const std::int64_t target = adStreamTell(stream) + bytes;
    if (bytes < 0 || target > adStreamLength(stream)) return 0;
    return adStreamSeek(stream, static_cast<std::int32_t>(target));
}
}  // namespace

int adProxySkipLongs(AdStream* stream, std::int32_t n) { return skipBytes(stream, std::int64_t{4} * n); }

int adProxySkipPoints(AdStream* stream, std::int32_t n) { return skipBytes(stream, std::int64_t{24} * n); }
