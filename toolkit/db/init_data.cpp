// Start-up reading of the init data: the banner, the map offsets and the two
// built-in fonts. Code-page maps other than 0 and 1 are read on first use.
#include "toolkit/db/init_data.h"
#include "toolkit/db/host_scope.h"

#include <cstring>

namespace {

// A banner is one short line; a longer run without its NUL is not init data.
constexpr int kBannerLimit = 4096;

// The banner ends at its first NUL, and the byte before that must be 'H'.
int readBanner(void* handle) {
    const AdInitHooks* hooks = adInitHooks();
    int last = -1;
    for (int i = 0; i < kBannerLimit; ++i) {
        int c = hooks->getc(handle);
        if (c == 0) return last == 'H';
        if (c < 0) return 0;
        last = c;
    }
    return 0;
}

int readOffsets(void* handle, AdInitDataState* state) {
    std::uint8_t raw[4 * AD_CODE_PAGE_MAP_COUNT];
    if (!adInitReadBytes(handle, raw, sizeof raw)) return 0;
    for (int m = 0; m < AD_CODE_PAGE_MAP_COUNT; ++m)
        state->mapOffsets[m] = static_cast<std::int32_t>(adInitGet32(raw + 4 * m));
    return 1;
}

// An index of `count` entries, then `length` shape bytes; every offset must
// point into the shape bytes.
int readFont(void* handle, AdShapeIndexEntry* index, int count, std::uint8_t* shapes, std::uint32_t length) {
    for (int i = 0; i < count; ++i) {
        std::uint8_t raw[6];
        if (!adInitReadBytes(handle, raw, sizeof raw)) return 0;
        index[i].number = adInitGet16(raw);
        index[i].offset = adInitGet32(raw + 2);
        if (index[i].offset >= length) return 0;
    }
    return adInitReadBytes(handle, shapes, length);
}

// Map 0 passes every byte through; map 1 keeps only ASCII.
void buildFixedMaps(AdInitDataState* state) {
    for (int c = 0; c < 256; ++c) {
        state->maps[0].single[c] = static_cast<std::uint16_t>(c);
        state->maps[1].single[c] = static_cast<std::uint16_t>(c < 128 ? c : 0);
    }
    state->maps[0].loaded = 1;
    state->maps[1].loaded = 1;
}

void* allocZeroed(std::size_t length) {
    void* block = HostAlloc(length);
    if (block) std::memset(block, 0, length);
    return block;
}

}  // namespace

int adLoadInitData(const char* name) {
    AdGlobalState* g = adGlobals;
    if (!g) return 0;
    adFreeCodePages();
    adSetError(AD_ERR_INIT_DATA_OPEN);
    if (!name) name = "0";
    // A cut name would open another file, so an over-long one is refused.
    if (std::strlen(name) >= AD_INIT_DATA_NAME_SIZE) return 0;

    auto* state = static_cast<AdInitDataState*>(allocZeroed(sizeof(AdInitDataState)));
    if (!state) {
        adNoMemory(AD_ERR_INIT_DATA_OPEN);
        return 0;
    }
    std::memcpy(state->name, name, std::strlen(name) + 1);
    g->initData = state;

    const AdInitHooks* hooks = adInitHooks();
    void* handle = hooks->open(state->name);
    if (!handle) {
        adFreeCodePages();
        return 0;
    }
    // The data file is closed whatever happens; a load that fails leaves no
    // code pages or shapes behind.
    AdScopeExit close([&] { hooks->close(handle); });
    AdScopeExit discard([] { adFreeCodePages(); });
    g->simplexIndex = static_cast<AdShapeIndexEntry*>(allocZeroed(AD_SIMPLEX_SHAPE_COUNT * sizeof(AdShapeIndexEntry)));
    g->simplexShapes = static_cast<std::uint8_t*>(allocZeroed(AD_SIMPLEX_SHAPE_BYTES));
    g->gdtIndex = static_cast<AdShapeIndexEntry*>(allocZeroed(AD_GDT_SHAPE_COUNT * sizeof(AdShapeIndexEntry)));
    g->gdtShapes = static_cast<std::uint8_t*>(allocZeroed(AD_GDT_SHAPE_BYTES));
    if (!g->simplexIndex || !g->simplexShapes || !g->gdtIndex || !g->gdtShapes) {
        adNoMemory(AD_ERR_INIT_DATA_OPEN);
        return 0;
    }

    if (!readBanner(handle)) {
        adSetError(AD_ERR_INIT_DATA_BANNER);
        return 0;
    }
    adSetError(AD_OK);
    int ok = readOffsets(handle, state);
    buildFixedMaps(state);
    ok = ok && readFont(handle, g->simplexIndex, AD_SIMPLEX_SHAPE_COUNT, g->simplexShapes, AD_SIMPLEX_SHAPE_BYTES);
    ok = ok && readFont(handle, g->gdtIndex, AD_GDT_SHAPE_COUNT, g->gdtShapes, AD_GDT_SHAPE_BYTES);
    if (!ok) {
        // Data that ends early or points outside itself is as unusable as none.
        adSetError(AD_ERR_INIT_DATA_OPEN);
        return 0;
    }
    discard.dismiss();
    return 1;
}

void adFreeCodePages() {
    AdGlobalState* g = adGlobals;
    if (!g) return;
    HostFree(g->simplexIndex);
    HostFree(g->simplexShapes);
    HostFree(g->gdtIndex);
    HostFree(g->gdtShapes);
    g->simplexIndex = nullptr;
    g->simplexShapes = nullptr;
    g->gdtIndex = nullptr;
    g->gdtShapes = nullptr;
    if (g->initData) {
        for (AdCodePageTable& table : g->initData->maps) adFreeCodePageTable(&table);
        HostFree(g->initData);
        g->initData = nullptr;
    }
}
