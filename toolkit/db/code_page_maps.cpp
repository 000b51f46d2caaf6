// Reading one code-page map from the init data the first time a page needs it.
#include "toolkit/db/init_data.h"

namespace {

// Reads n little-endian 16-bit values into values (read as bytes first, then
// decoded in place: value i only overwrites the bytes it was made from).
int readValues(void* handle, std::uint16_t* values, std::size_t n) {
    auto* raw = reinterpret_cast<std::uint8_t*>(values);
    if (!adInitReadBytes(handle, raw, 2 * n)) return 0;
    for (std::size_t i = 0; i < n; ++i) values[i] = adInitGet16(raw + 2 * i);
    return 1;
}

// Binary search and the lead-byte list rely on strictly ascending codes, each
// with a lead byte.
int codesAreOrdered(const std::uint16_t* codes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (codes[i] < 256) return 0;
        if (i > 0 && codes[i] <= codes[i - 1]) return 0;
    }
    return 1;
}

void collectLeadBytes(AdCodePageTable* table) {
    table->leadCount = 0;
    for (std::size_t i = 0; i < table->pairCount; ++i) {
        auto lead = static_cast<std::uint8_t>(table->codes[i] >> 8);
        if (table->leadCount == 0 || table->leadBytes[table->leadCount - 1] != lead)
            table->leadBytes[table->leadCount++] = lead;
    }
}

int readTable(void* handle, AdCodePageTable* table) {
    for (int c = 0; c < 128; ++c) table->single[c] = static_cast<std::uint16_t>(c);
    std::uint16_t count = 0;
    if (!readValues(handle, table->single + 128, 128) || !readValues(handle, &count, 1)) return 0;
    if (count == 0) return 1;
    table->codes = static_cast<std::uint16_t*>(HostAlloc(count * sizeof(std::uint16_t)));
    table->values = static_cast<std::uint16_t*>(HostAlloc(count * sizeof(std::uint16_t)));
    if (!table->codes || !table->values) return 0;
    table->pairCount = count;
    if (!readValues(handle, table->codes, count) || !readValues(handle, table->values, count)) return 0;
    if (!codesAreOrdered(table->codes, count)) return 0;
    collectLeadBytes(table);
    return 1;
}

}  // namespace

int adLoadCodePageTable(AdInitDataState* state, int map) {
    std::int32_t offset = state->mapOffsets[map];
    if (offset < 0) return 0;
    const AdInitHooks* hooks = adInitHooks();
    void* handle = hooks->open(state->name);
    if (!handle) return 0;
    AdCodePageTable* table = &state->maps[map];
    int ok = hooks->seek(handle, offset, 0) == 0 && readTable(handle, table);
    hooks->close(handle);
    if (!ok) {
        adFreeCodePageTable(table);
        return 0;
    }
    table->loaded = 1;
    return 1;
}

void adFreeCodePageTable(AdCodePageTable* table) {
    HostFree(table->codes);
    HostFree(table->values);
    table->codes = nullptr;
    table->values = nullptr;
    table->pairCount = 0;
    table->leadCount = 0;
    table->loaded = 0;
}
