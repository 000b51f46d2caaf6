// Small BMP files put together byte by byte for the display tests, and byte
// stores that hold them as a host's image loader would.
#pragma once
#include "toolkit/ad.h"

#include <cstdint>
#include <string>
#include <vector>

inline void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xff);
}

// A file with a header of headerSize bytes (at least 40; zeros after the
// first 40), the palette (0xRRGGBB, 4 bytes an entry) and the pixel bytes.
inline std::string bmpFile(std::uint32_t headerSize, std::int32_t width, std::int32_t height, std::uint16_t bits,
                           std::uint32_t compression, const std::vector<std::uint32_t>& palette,
                           const std::string& pixels) {
    const std::uint32_t offset = 14 + headerSize + 4 * static_cast<std::uint32_t>(palette.size());
    std::string out = "BM";
    putLe(out, offset + static_cast<std::uint32_t>(pixels.size()), 4);
    putLe(out, 0, 4);
    putLe(out, offset, 4);
    putLe(out, headerSize, 4);
    putLe(out, static_cast<std::uint32_t>(width), 4);
    putLe(out, static_cast<std::uint32_t>(height), 4);
    putLe(out, 1, 2);
    putLe(out, bits, 2);
    putLe(out, compression, 4);
    putLe(out, static_cast<std::uint32_t>(pixels.size()), 4);
    out += std::string(16 + headerSize - 40, '\0');
    for (std::uint32_t rgb : palette) putLe(out, rgb, 4);
    return out + pixels;
}

// A store holding the bytes; null when memory runs out.
inline AdStore* storeFromBytes(const std::string& bytes) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) return store;
    if (!bytes.empty()) adStreamWrite(out, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    adStreamCloseWrite(out);
    return store;
}
