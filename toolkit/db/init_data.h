// What the init-data loader and the code-page lookups share: the hooks in
// force, the code-page maps, and reading through the hooks.
#pragma once

#include "toolkit/ad.h"

struct AdInitHooks {
    AdInitOpenHook open;
    AdInitGetcHook getc;
    AdInitReadHook read;
    AdInitSeekHook seek;
    AdInitCloseHook close;
};

const AdInitHooks* adInitHooks();

// Reads exactly length bytes; 0 when the data ends first.
int adInitReadBytes(void* handle, void* buffer, std::size_t length);

// Numbers in the init data are little-endian.
inline std::uint16_t adInitGet16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t adInitGet32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// One byte-to-Unicode map. The double-byte codes are ascending and above 255;
// the lead bytes are their distinct high bytes, ascending.
struct AdCodePageTable {
    std::uint8_t loaded;
    std::uint16_t single[256];
    std::uint16_t pairCount;
    std::uint16_t* codes;
    std::uint16_t* values;
    std::int16_t leadCount;
    std::uint8_t leadBytes[256];
};

struct AdInitDataState {
    char name[AD_INIT_DATA_NAME_SIZE];
    std::int32_t mapOffsets[AD_CODE_PAGE_MAP_COUNT];
    AdCodePageTable maps[AD_CODE_PAGE_MAP_COUNT];
};

// Reads map `map` from the init data at its offset; 1, or 0 with the map left
// unloaded and nothing allocated.
int adLoadCodePageTable(AdInitDataState* state, int map);
void adFreeCodePageTable(AdCodePageTable* table);
