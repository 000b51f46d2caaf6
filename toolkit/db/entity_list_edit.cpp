// Replacing and deleting entities. Whatever can fail is done before anything
// changes, so that a failed delete leaves the entity, its index entry and its
// block's reference where they were, and a failed update the old entity.
#include "toolkit/db/entity_insert_refs.h"
#include "toolkit/db/entity_list_steps.h"

#include <cstddef>

namespace {

constexpr std::int16_t kReferenceBlockSize = 128;
constexpr std::size_t kReferencesOffset =
    offsetof(AdStoredBlock, header) + offsetof(AdBlockHeader, insertReferences);

// A block's reference store without one INSERT's handle, built before it
// replaces the old one.
struct ReferenceChange {
    AdListRecord* block;   // null: no store changes
    AdStore* replacement;  // null when no handle remains
};

// The position of the last occurrence of the handle in the store, -1 when it
// holds none. The store's size bounds the walk.
std::int32_t lastOccurrence(AdStore* store, const AdHandle* handle) {
    AdStream* stream = adStreamOpenRead(store);
    if (!stream) return -1;
    std::int32_t found = -1;
    AdHandle stored;
    const std::int32_t count = adStoreSize(store) / static_cast<std::int32_t>(sizeof stored);
    for (std::int32_t i = 0; i < count && adStreamReadHandle(stream, &stored); ++i)
        if (adHandleCompare(&stored, handle) == 0) found = i;
    adStreamCloseRead(stream);
    return found;
}

// Copies every handle but the one at skip into a new store.
AdStore* copyWithout(AdStore* store, std::int32_t skip) {
    AdStore* copy = adStoreCreate(kReferenceBlockSize);
    AdStream* in = copy ? adStreamOpenRead(store) : nullptr;
    AdStream* out = in ? adStreamOpenWrite(copy) : nullptr;
    bool copied = out != nullptr;
    AdHandle stored;
    const std::int32_t count = adStoreSize(store) / static_cast<std::int32_t>(sizeof stored);
    for (std::int32_t i = 0; copied && i < count; ++i)
        copied = adStreamReadHandle(in, &stored) == 1 && (i == skip || adStreamWriteHandle(out, &stored) == 1);
    if (in) adStreamCloseRead(in);
    if (out && !adStreamCloseWrite(out)) copied = false;
    if (copied) return copy;
    if (copy) adStoreFree(copy);
    return nullptr;
}

bool prepareReferences(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data,
                       ReferenceChange* change) {
    *change = ReferenceChange{};
    if (header->type != AD_ENTITY_INSERT || !data) return true;
    AdListRecord* block = adInsertBlockRecord(drawing, &data->insert.block);
    AdStore* store = nullptr;
    if (block) HostMemMove(&store, adListRecordData(block) + kReferencesOffset, sizeof store);
    const std::int32_t position = store ? lastOccurrence(store, &header->handle) : -1;
    if (position < 0) return true;
    if (adStoreSize(store) > static_cast<std::int32_t>(sizeof(AdHandle)) &&
        !(change->replacement = copyWithout(store, position)))
        return false;
    change->block = block;
    return true;
}

void commitReferences(const ReferenceChange& change) {
    if (!change.block) return;
    std::uint8_t* field = adListRecordData(change.block) + kReferencesOffset;
    AdStore* old = nullptr;
    HostMemMove(&old, field, sizeof old);
    adStoreFree(old);
    HostMemMove(field, &change.replacement, sizeof change.replacement);
}

// Frees the old entity's stores that the new entity does not hold.
void freeReplacedStores(AdDrawing* drawing, const AdEntityHeader* oldHeader, const AdEntityData* oldData,
                        const AdEntityHeader* header, const AdEntityData* data) {
    AdStore* old[AD_ENTITY_STORE_MAX];
    AdStore* kept[AD_ENTITY_STORE_MAX];
    const int oldCount = adEntityOwnedStores(drawing, oldHeader, oldData, old);
    const int keptCount = adEntityOwnedStores(drawing, header, data, kept);
    for (int i = 0; i < oldCount; ++i) {
        bool held = false;
        for (int k = 0; k < keptCount; ++k) held = held || kept[k] == old[i];
        if (!held) adStoreFree(old[i]);
    }
}

}  // namespace

int adEntityRemove(AdDrawing* drawing, AdRecordList* list, AdListRecord* record, AdEntityHeader* header,
                   AdEntityData* data, int freeStores) {
    AdListRecord links;
    HostMemMove(&links, record, sizeof links);
    if (links.list != list) {
        adSetError(AD_ERR_ENTITY_NOT_IN_LIST);
        return 0;
    }
    ReferenceChange references;
    if (!prepareReferences(drawing, header, data, &references)) return 0;
    // A record that never got into the index (its handle was in use) has no
    // viewport record either: what the index and the viewport list hold under
    // its handle belongs to another entity.
    const bool indexed = adHandleIndexFind(drawing, &header->handle) == record;
    if (indexed && adHandleIndexDelete(drawing, &header->handle) != 1) {
        if (references.replacement) adStoreFree(references.replacement);
        return 0;
    }
    commitReferences(references);
    if (indexed && list == drawing->paperSpace && header->type == AD_ENTITY_VIEWPORT)
        adRemovePaperViewport(drawing, &header->handle);
    return adEntityUnlink(drawing, list, record, header, data, freeStores);
}

int adEntityUnlink(AdDrawing* drawing, AdRecordList* list, AdListRecord* record, AdEntityHeader* header,
                   AdEntityData* data, int freeStores) {
    if (!list || !record) return 0;
    if (!adListUnlink(list, record)) {
        adSetError(AD_ERR_ENTITY_NOT_IN_LIST);
        return 0;
    }
    HostFree(record);
    return freeStores ? adEntityFreeStores(drawing, header, data) : 1;
}

int adEntityDelete(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle, int freeStores) {
    if (!list) {
        adSetError(AD_ERR_ENTITY_LIST_NULL);
        return 0;
    }
    AdEntityHeader header;
    AdEntityData data;
    AdListRecord* record = adEntityRecordOf(drawing, list, handle);
    if (!record || !adEntityByHandle(drawing, list, handle, &header, &data)) {
        adSetError(AD_ERR_ENTITY_READ);
        return 0;
    }
    return adEntityRemove(drawing, list, record, &header, &data, freeStores);
}

int adEntityUpdate(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle, const AdEntityHeader* header,
                   const AdEntityData* data) {
    if (!list) {
        adSetError(AD_ERR_ENTITY_LIST_NULL);
        return 0;
    }
    AdListRecord* record = adEntityRecordOf(drawing, list, handle);
    if (!record || !header) return 0;
    AdListRecord* before = adListCurrent(list);
    AdEntityHeader oldHeader;
    AdEntityData oldData;
    adListSetCurrent(list, record);
    if (!adEntityNext(list, &oldHeader, &oldData)) {
        adSetError(AD_ERR_ENTITY_READ);
        adListSetCurrent(list, before);
        return 0;
    }
    AdListRecord* saved = adListCurrent(list);
    AdListRecord links;
    HostMemMove(&links, record, sizeof links);
    if (!adEntityRemove(drawing, list, record, &oldHeader, &oldData, 0)) {
        adSetError(AD_ERR_ENTITY_REMOVE);
        adListSetCurrent(list, before);
        return 0;
    }
    const int position = !links.previous ? AD_LIST_AT_FRONT : links.next ? AD_LIST_BEFORE_REFERENCE : AD_LIST_AT_END;
    if (!adEntityLink(drawing, list, header, data, position, links.next, AD_ERR_ENTITY_PACK, AD_ERR_ENTITY_VIEWPORT)) {
        // The old entity goes back where it was, with its stores untouched.
        const AdSavedError error = adSaveError();
        if (!adEntityLink(drawing, list, &oldHeader, &oldData, position, links.next, 0, 0))
            freeReplacedStores(drawing, &oldHeader, &oldData, header, data);
        adRestoreError(error);
        adListSetCurrent(list, saved);
        return 0;
    }
    freeReplacedStores(drawing, &oldHeader, &oldData, header, data);
    adListSetCurrent(list, saved);
    return 1;
}
