// The object map of a bit-coded DWG file: every record's handle and file
// offset, written in ascending handle order as deltas in modular numbers,
// in sections of about 2 KB with a CRC each.
#include "toolkit/write/dwg/dwg_writer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// A section is closed once it (with its size field) has grown past this.
constexpr std::size_t kSectionLimit = 2031;
constexpr std::uint8_t kMapEnd[4] = {0x00, 0x02, 0x01, 0xD0};

bool handleBefore(const AdDwgMapEntry& a, const AdDwgMapEntry& b) {
    return std::memcmp(a.handle.b, b.handle.b, sizeof a.handle.b) < 0;
}
}  // namespace

int adObjectMapAdd(AdDwgWriter* writer, const AdHandle* handle, std::int32_t offset) {
    try {
        writer->map.push_back({*handle, offset});
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_DWG_MAP_MEMORY);
        return 0;
    }
    return 1;
}

std::vector<std::uint8_t> adObjectMapSection(const std::vector<std::uint8_t>& pairs) {
    const std::size_t size = pairs.size() + 2;
    std::vector<std::uint8_t> section(size + 2);
    section[0] = static_cast<std::uint8_t>((size >> 8) & 0xFF);
    section[1] = static_cast<std::uint8_t>(size & 0xFF);
    std::copy(pairs.begin(), pairs.end(), section.begin() + 2);
    const std::uint16_t crc = adCrc16(AD_DWG_CRC_SEED, section.data(), static_cast<std::int32_t>(size));
    section[size] = static_cast<std::uint8_t>(crc >> 8);
    section[size + 1] = static_cast<std::uint8_t>(crc & 0xFF);
    return section;
}

int adObjectMapWrite(AdDwgWriter* writer) {
    std::vector<AdDwgMapEntry>& map = writer->map;
    std::stable_sort(map.begin(), map.end(), handleBefore);
    const auto twice = std::adjacent_find(map.begin(), map.end(), [](const AdDwgMapEntry& a, const AdDwgMapEntry& b) {
        return std::memcmp(a.handle.b, b.handle.b, sizeof a.handle.b) == 0;
    });
    if (twice != map.end()) {
        adGlobals->offendingHandle = twice->handle;
        adSetError(AD_ERR_DWG_DUPLICATE);
        return 0;
    }
    std::vector<std::uint8_t> pairs;
    AdHandle previous{};
    std::int32_t previousOffset = 0;
    auto writeSection = [&]() {
        const std::vector<std::uint8_t> section = adObjectMapSection(pairs);
        pairs.clear();
        previous = AdHandle{};
        previousOffset = 0;
        return adOutWrite(writer->output, section.data(), section.size());
    };
    for (const AdDwgMapEntry& entry : map) {
        AdHandle delta{};
        adHandleSubtract(&entry.handle, &previous, &delta);
        std::uint8_t bytes[10];
        std::int32_t length = 0;
        adModularHandle(bytes, &delta, &length);
        pairs.insert(pairs.end(), bytes, bytes + length);
        adModularLong(bytes, entry.offset - previousOffset, &length);
        pairs.insert(pairs.end(), bytes, bytes + length);
        previous = entry.handle;
        previousOffset = entry.offset;
        if (pairs.size() + 2 > kSectionLimit && !writeSection()) return 0;
    }
    if (!pairs.empty() && !writeSection()) return 0;
    return adOutWrite(writer->output, kMapEnd, sizeof kMapEnd);
}
