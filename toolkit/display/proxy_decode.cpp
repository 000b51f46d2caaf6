// The bit-coded proxy data wrappers. Only one proxy store is read at a time
// (the bit reader's buffer is the toolkit's one shared buffer), so the open
// read lives here.
#include "toolkit/display/proxy_decode.h"

#include "toolkit/ad_internal.h"
#include "toolkit/db/bit_stream_state.h"

#include <algorithm>
#include <cstring>

namespace {

struct ProxyRead {
    AdBitStoreRead read;
    AdDrawing* drawing;
};
ProxyRead openRead{};

int answer() { return adBitUsable() ? 1 : 0; }

// Skips the bytes of a run that do not fit.
void skipBytes(std::int32_t count) {
    for (std::int32_t i = 0; i < count && adBitUsable(); ++i) adBitReadByte();
}

}  // namespace

int adProxyOpen(AdDrawing* drawing, AdStore* store) {
    if (!store) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    if (openRead.read.open) adProxyClose(openRead.drawing);
    if (!adBitStoreReadOpen(&openRead.read, store)) return 0;
    openRead.drawing = drawing;
    return 1;
}

int adProxyClose(AdDrawing*) {
    adBitStoreReadClose(&openRead.read);
    openRead.drawing = nullptr;
    return 1;
}

int adDecodeText(char* buffer, std::int32_t capacity) {
    if (capacity > 0) buffer[0] = '\0';
    const std::int32_t length = static_cast<std::uint16_t>(adBitReadShort());
    if (!adBitUsable()) return 0;
    const std::int32_t kept = std::clamp(capacity - 1, 0, length);
    if (kept > 0 && !adBitReadBytes(buffer, kept)) {
        buffer[0] = '\0';
        return 0;
    }
    if (capacity > 0) buffer[kept] = '\0';
    skipBytes(length - kept);
    return answer();
}

int adDecodeBytes(void* buffer, std::int32_t capacity, std::int16_t* length) {
    *length = adBitReadShort();
    const std::int32_t count = static_cast<std::uint16_t>(*length);
    if (!adBitUsable()) return 0;
    const std::int32_t kept = std::clamp(capacity, 0, count);
    if (kept > 0 && !adBitReadBytes(buffer, kept)) return 0;
    skipBytes(count - kept);
    return answer();
}

int adDecodeHandle(AdHandle* handle) {
    adBitReadHandle(handle);
    return answer();
}

int adDecodeLong(std::int32_t* value) {
    *value = adBitReadLong();
    return answer();
}

int adDecodeShort(std::int16_t* value) {
    *value = adBitReadShort();
    return answer();
}

int adDecodeDouble(double* value) {
    adBitReadDouble(value);
    return answer();
}

int adDecodePoint3D(double point[3]) {
    adBitRead3D(point);
    return answer();
}
