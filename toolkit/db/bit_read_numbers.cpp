// Integer values of the DWG bit stream: BS, BL and RL.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

std::int16_t adBitReadShort() {
    std::uint32_t value = 0;
    switch (adBitReadCode()) {
    case 0: value = adBitTakeLittleEndian(2); break;
    case 1: value = adBitTake(8); break;
    case 2: value = 0; break;
    default: value = 256; break;
    }
    return adBitUsable() ? static_cast<std::int16_t>(value) : 0;
}

std::int32_t adBitReadLong() {
    std::uint32_t value = 0;
    switch (adBitReadCode()) {
    case 0: value = adBitTakeLittleEndian(4); break;
    case 1: value = adBitTake(8); break;
    default: value = 0; break;  // 11 is never written
    }
    return adBitUsable() ? static_cast<std::int32_t>(value) : 0;
}

std::int32_t adBitReadRawLong() {
    const std::uint32_t value = adBitTakeLittleEndian(4);
    return adBitUsable() ? static_cast<std::int32_t>(value) : 0;
}
