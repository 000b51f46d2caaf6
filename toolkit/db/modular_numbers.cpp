// Modular numbers of the object map: 7 value bits per byte, least significant
// group first, bit 0x80 on every byte but the last.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

void adModularHandle(std::uint8_t out[10], const AdHandle* handle, std::int32_t* length) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : handle->b) value = (value << 8) | byte;
    std::int32_t n = 0;
    while (value != 0) {
        out[n++] = static_cast<std::uint8_t>(0x80 | (value & 0x7F));
        value >>= 7;
    }
    if (n > 0) out[n - 1] &= 0x7F;
    *length = n;
}

// The last byte keeps 6 value bits and the sign in 0x40; a last group that
// needs 0x40 itself is followed by a byte holding only the sign.
void adModularLong(std::uint8_t out[5], std::int32_t value, std::int32_t* length) {
    const std::uint8_t sign = value < 0 ? 0x40 : 0x00;
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    std::int32_t n = 0;
    while (magnitude > 0x3F) {
        out[n++] = static_cast<std::uint8_t>(0x80 | (magnitude & 0x7F));
        magnitude >>= 7;
    }
    out[n++] = static_cast<std::uint8_t>(magnitude | sign);
    *length = n;
}
