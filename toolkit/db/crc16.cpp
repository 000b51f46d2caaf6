// CRC-16/ARC (reflected polynomial 0xA001, no final XOR) over a start value,
// and the stamp that closes a fixed-size record with it.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <array>

namespace {

constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = makeTable();

}  // namespace

std::uint16_t adCrc16(std::uint16_t seed, const void* bytes, std::int32_t count) {
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    std::uint16_t crc = seed;
    for (std::int32_t i = 0; i < count; ++i) crc = static_cast<std::uint16_t>(kTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8));
    return crc;
}

std::uint16_t adCrcStamp(void* record, std::int32_t size, std::uint16_t x) {
    if (size < 2) return 0;
    auto* p = static_cast<std::uint8_t*>(record);
    const auto value = static_cast<std::uint16_t>(adCrc16(0, p, size - 2) ^ x);
    p[size - 2] = static_cast<std::uint8_t>(value);
    p[size - 1] = static_cast<std::uint8_t>(value >> 8);
    return value;
}
