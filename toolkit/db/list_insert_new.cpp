// Allocating a record and linking it in one step, optionally entering its
// handle into the drawing's handle index.
#include "toolkit/ad.h"

#include <cstdint>

namespace {

// A record holding a copy of the whole image (links part included), its links
// cleared so that it belongs to no list until it is linked.
AdListRecord* newRecordFromImage(const void* image, std::size_t length) {
    if (!image || length < AD_LIST_LINKS_SIZE) return nullptr;
    auto* record = static_cast<AdListRecord*>(HostAlloc(length));
    if (!record) {
        adNoMemory(AD_ERR_RECORD_MEMORY_INSERT);
        return nullptr;
    }
    HostMemMove(record, image, length);
    record->next = record->previous = nullptr;
    record->list = nullptr;
    return record;
}

// 1 when linked (or left unlinked for a position that names no place), 0 when
// the list refused it.
int linkAtPosition(AdRecordList* list, AdListRecord* record, int position, AdListRecord* reference) {
    switch (position) {
        case AD_LIST_AT_FRONT: return adListInsertChainFirst(list, record) > 0;
        case AD_LIST_AT_END: return adListInsertLast(list, record) > 0;
        case AD_LIST_BEFORE_REFERENCE: return adListInsertBefore(list, reference, record) > 0;
        default: return 1;
    }
}

bool isNullHandle(const AdHandle* handle) {
    for (std::uint8_t b : handle->b)
        if (b != 0) return false;
    return true;
}

}  // namespace

AdListRecord* adListAppendNew(const void* data, std::size_t length, AdRecordList* list) {
    if (!list || (!data && length != 0) || length > SIZE_MAX - AD_LIST_LINKS_SIZE) return nullptr;
    auto* record = static_cast<AdListRecord*>(HostAlloc(AD_LIST_LINKS_SIZE + length));
    if (!record) {
        adNoMemory(AD_ERR_RECORD_MEMORY_APPEND);
        return nullptr;
    }
    if (length != 0) HostMemMove(adListRecordData(record), data, length);
    adListAppend(list, record);
    return record;
}

AdListRecord* adListInsertNew(const void* image, std::size_t length, AdRecordList* list, int position,
                              AdListRecord* reference) {
    AdListRecord* record = newRecordFromImage(image, length);
    if (!record) return nullptr;
    if (!linkAtPosition(list, record, position, reference)) {
        HostFree(record);
        return nullptr;
    }
    return record;
}

AdListRecord* adListInsertKeyed(const AdHandle* handle, AdDrawing* drawing, const void* image, std::size_t length,
                                AdRecordList* list, int position, AdListRecord* reference) {
    if (!handle || isNullHandle(handle)) {
        adSetError(AD_ERR_NULL_HANDLE_KEY);
        return nullptr;
    }
    if (!drawing) return nullptr;
    AdListRecord* record = newRecordFromImage(image, length);
    if (!record) return nullptr;

    int entered = adHandleIndexInsert(drawing, handle, record);
    if (entered != 1) {
        if (entered == 2) {
            adSetError(AD_ERR_DUPLICATE_HANDLE);
            if (adGlobals) adGlobals->offendingHandle = *handle;
        } else {
            adSetError(AD_ERR_INDEX_REFUSED);
        }
        HostFree(record);
        return nullptr;
    }
    if (!linkAtPosition(list, record, position, reference)) {
        HostFree(record);
        adHandleIndexDelete(drawing, handle);
        return nullptr;
    }
    return record;
}
