// Stores filled with a recognisable byte pattern, and their contents read back.
#pragma once
#include "toolkit/ad.h"

#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> Pattern(std::size_t n, std::uint8_t seed = 3) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) % 251);
    return bytes;
}

inline bool WriteAll(AdStream* s, const std::vector<std::uint8_t>& bytes) {
    return adStreamWrite(s, bytes.data(), static_cast<std::int32_t>(bytes.size())) == 1;
}

inline AdStore* StoreWith(const std::vector<std::uint8_t>& bytes, std::int16_t blockSize = AD_STORE_BLOCK_SIZE) {
    AdStore* store = adStoreCreate(blockSize);
    AdStream* s = adStreamOpenWrite(store);
    WriteAll(s, bytes);
    adStreamCloseWrite(s);
    return store;
}

inline std::vector<std::uint8_t> ReadAll(AdStore* store) {
    AdStream* s = adStreamOpenRead(store);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(adStreamLength(s)));
    adStreamRead(s, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    adStreamCloseRead(s);
    return bytes;
}
