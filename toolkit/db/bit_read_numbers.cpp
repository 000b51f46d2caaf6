// Integer values of the DWG bit stream: BS, BL and RL.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

namespace {

// bytes little-endian bytes (at most 4).
std::uint32_t readLittleEndian(int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint32_t>(adBitReadByte()) << (8 * i);
    return value;
}

}  // namespace

std::int16_t adBitReadShort() {
    std::uint32_t value = 0;
    switch (adBitReadCode()) {
    case 0: value = readLittleEndian(2); break;
    case 1: value = adBitReadByte(); break;
    case 2: value = 0; break;
    default: value = 256; break;
    }
    return adBitUsable() ? static_cast<std::int16_t>(value) : 0;
}

std::int32_t adBitReadLong() {
    std::uint32_t value = 0;
    switch (adBitReadCode()) {
    case 0: value = readLittleEndian(4); break;
    case 1: value = adBitReadByte(); break;
    default: value = 0; break;  // 11 is never written
    }
    return adBitUsable() ? static_cast<std::int32_t>(value) : 0;
}

std::int32_t adBitReadRawLong() {
    const std::uint32_t value = readLittleEndian(4);
    return adBitUsable() ? static_cast<std::int32_t>(value) : 0;
}
