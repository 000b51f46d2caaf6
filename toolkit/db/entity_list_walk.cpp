// Finding a block's entity list and reading entities from a list, by cursor
// or by handle.
#include "toolkit/db/entity_insert_refs.h"
#include "toolkit/db/entity_list_steps.h"

#include <cstddef>

namespace {

constexpr std::size_t kEntitiesOffset = offsetof(AdStoredBlock, header) + offsetof(AdBlockHeader, entities);

// The list of the block, and whether the block exists.
AdRecordList* blockList(AdDrawing* drawing, const AdHandle* block, bool* found) {
    AdListRecord* record = adInsertBlockRecord(drawing, block);
    *found = record != nullptr;
    AdRecordList* list = nullptr;
    if (record) HostMemMove(&list, adListRecordData(record) + kEntitiesOffset, sizeof list);
    return list;
}

}  // namespace

AdRecordList* adBlockEntityList(AdDrawing* drawing, const AdHandle* block) {
    adSetError(AD_ERR_NO_BLOCK_LIST);
    bool found = false;
    AdRecordList* list = blockList(drawing, block, &found);
    if (found) adSetError(AD_OK);
    return list;
}

std::int32_t adBlockEntityCount(AdDrawing* drawing, const AdHandle* block) {
    bool found = false;
    return adListCount(blockList(drawing, block, &found));
}

AdListRecord* adEntityRecordOf(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle) {
    auto* record = drawing && handle ? static_cast<AdListRecord*>(adHandleIndexFind(drawing, handle)) : nullptr;
    if (!record) {
        adSetError(AD_ERR_ENTITY_UNKNOWN);
        return nullptr;
    }
    AdListRecord links;
    HostMemMove(&links, record, sizeof links);
    if (!list || links.list != list) {
        adSetError(AD_ERR_ENTITY_OTHER_LIST);
        return nullptr;
    }
    return record;
}

int adEntityRewind(AdRecordList* list) {
    if (!list) return 0;
    adListRewind(list);
    return 1;
}

int adEntityNext(AdRecordList* list, AdEntityHeader* header, AdEntityData* data) {
    if (!list || !header) return 0;
    AdListRecord* current = adListCurrent(list);
    AdListRecord* next = nullptr;
    if (!current || !adUnpackEntityRecord(current, header, data, nullptr, &next)) return 0;
    adListSetCurrent(list, next);
    return 1;
}

int adEntityByHandle(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle, AdEntityHeader* header,
                     AdEntityData* data) {
    AdListRecord* record = adEntityRecordOf(drawing, list, handle);
    if (!record || !header) return 0;
    adListSetCurrent(list, record);
    return adEntityNext(list, header, data);
}
