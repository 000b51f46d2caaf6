// Byte stores: creation, release, size and patching stored bytes in place.
#include "toolkit/ad.h"

#include <algorithm>

AdStore* adStoreCreate(std::int16_t blockSize) {
    if (blockSize < 1) return nullptr;
    auto* store = static_cast<AdStore*>(HostAlloc(sizeof(AdStore)));
    if (!store) {
        adFatalError(AD_FATAL_NO_MEMORY);
        return nullptr;
    }
    AdStore empty{};
    empty.magic = AD_STORE_MAGIC;
    empty.blockSize = blockSize;
    HostMemMove(store, &empty, sizeof empty);
    return store;
}

int adStoreFree(AdStore* store) {
    if (!store) return 0;
    adListFreeIfAny(store->chain);
    HostFree(store);
    return 1;
}

std::int32_t adStoreSize(const AdStore* store) { return store ? store->length : 0; }

// Only bytes already in the chain can be patched: anything past the stored
// length is refused before a byte is written.
int adStorePatch(AdStore* store, std::int32_t offset, const void* source, std::int32_t count) {
    if (!store || offset < 0 || count < 0 || (!source && count > 0)) return 0;
    AdStore header;
    HostMemMove(&header, store, sizeof header);
    if (static_cast<std::int64_t>(offset) + count > header.length) return 0;
    if (count == 0) return 1;

    AdListRecord* block = adListFirst(header.chain);
    while (block && offset >= header.blockSize) {
        offset -= header.blockSize;
        block = block->next;
    }
    const auto* from = static_cast<const std::uint8_t*>(source);
    while (count > 0) {
        if (!block) return 0;
        const std::int32_t k = std::min<std::int32_t>(count, header.blockSize - offset);
        HostMemMove(adListRecordData(block) + offset, from, static_cast<std::size_t>(k));
        from += k;
        count -= k;
        offset = 0;
        block = block->next;
    }
    return 1;
}
