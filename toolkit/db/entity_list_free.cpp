// Emptying entity lists: every entity's stores and records, for a block that
// goes and for the drawing's close.
#include "toolkit/db/entity_list_steps.h"

#include <cstddef>

namespace {

constexpr std::size_t kEntitiesOffset = offsetof(AdStoredBlock, header) + offsetof(AdBlockHeader, entities);

void freeListAndHeader(AdDrawing* drawing, AdRecordList* list) {
    adFreeEntityList(drawing, list);
    HostFree(list);
}

}  // namespace

void adFreeEntityList(AdDrawing* drawing, AdRecordList* list) {
    if (!list) return;
    AdListRecord* record = list->first;
    const std::int32_t count = list->count;
    list->count = 0;
    list->first = list->current = list->last = nullptr;
    // The count bounds the walk even if the links were damaged; a record
    // that does not unpack still goes, only its stores cannot be told. Most
    // entities own no store, which their fixed part tells without unpacking.
    for (std::int32_t i = 0; record && i < count; ++i) {
        AdPackedEntity fixed;
        HostMemMove(&fixed, record, sizeof fixed);
        const bool stores = (fixed.mask & (AD_PACKED_XDATA | AD_PACKED_REACTORS)) != 0 ||
                            adEntityTypeHasStores(drawing, fixed.type);
        AdEntityHeader header;
        AdEntityData data;
        if (stores && adUnpackEntityRecord(record, &header, &data, nullptr, nullptr))
            adEntityFreeStores(drawing, &header, &data);
        HostFree(record);
        record = fixed.links.next;
    }
}

// The model and paper space lists are freed last, once each, whichever block
// records name them.
void adFreeDrawingEntityLists(AdDrawing* drawing) {
    AdRecordList* blocks = drawing->blocks;
    AdListRecord* record = adListFirst(blocks);
    for (std::int32_t i = adListCount(blocks); record && i > 0; --i) {
        std::uint8_t* field = adListRecordData(record) + kEntitiesOffset;
        AdRecordList* list = nullptr;
        HostMemMove(&list, field, sizeof list);
        if (list && list != drawing->modelSpace && list != drawing->paperSpace) {
            freeListAndHeader(drawing, list);
            list = nullptr;
            HostMemMove(field, &list, sizeof list);
        }
        AdListRecord links;
        HostMemMove(&links, record, sizeof links);
        record = links.next;
    }
    if (drawing->paperSpace != drawing->modelSpace) freeListAndHeader(drawing, drawing->paperSpace);
    freeListAndHeader(drawing, drawing->modelSpace);
    drawing->modelSpace = drawing->paperSpace = nullptr;
}
