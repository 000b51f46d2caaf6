// Freeing a table list together with the byte stores its records own.
#include "toolkit/ad.h"

namespace {

bool pointerFits(std::int32_t position, std::size_t recordSize) {
    return position >= 0 && sizeof(void*) <= recordSize && static_cast<std::size_t>(position) <= recordSize - sizeof(void*);
}

}  // namespace

int adFreeTableList(AdRecordList* list, std::size_t recordSize, const std::int32_t storePositions[AD_TABLE_STORE_SLOTS],
                    std::int32_t nextPosition) {
    if (!list || !storePositions || !pointerFits(nextPosition, recordSize)) return 0;
    for (int slot = 0; slot < AD_TABLE_STORE_SLOTS; ++slot)
        if (storePositions[slot] != -1 && !pointerFits(storePositions[slot], recordSize)) return 0;

    AdListRecord* record = list->first;
    std::int32_t visited = 0;
    while (record && visited < list->count) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(record);
        for (int slot = 0; slot < AD_TABLE_STORE_SLOTS; ++slot) {
            if (storePositions[slot] == -1) continue;
            AdStore* store = nullptr;
            HostMemMove(&store, bytes + storePositions[slot], sizeof store);
            adStoreFree(store);
        }
        AdListRecord* next = nullptr;
        HostMemMove(&next, bytes + nextPosition, sizeof next);
        record = next;
        ++visited;
    }
    // When the walk could not reach every record, the list itself is still
    // freed: stopping here would leave it and all its records behind.
    const bool complete = visited == list->count;
    adListFree(list);
    return complete ? 1 : 0;
}
