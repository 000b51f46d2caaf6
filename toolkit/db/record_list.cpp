// Record lists: creation, counting and the cursor protocol.
#include "toolkit/ad.h"

AdRecordList* adListCreate() {
    static const AdRecordList empty{};
    auto* list = static_cast<AdRecordList*>(HostAlloc(sizeof(AdRecordList)));
    if (!list) {
        adNoMemory(AD_ERR_LIST_MEMORY);
        return nullptr;
    }
    HostMemMove(list, &empty, sizeof(AdRecordList));
    return list;
}

std::int32_t adListCount(const AdRecordList* list) { return list ? list->count : 0; }

AdListRecord* adListFirst(const AdRecordList* list) { return list ? list->first : nullptr; }

AdListRecord* adListLast(const AdRecordList* list) { return list ? list->last : nullptr; }

AdListRecord* adListCurrent(const AdRecordList* list) { return list ? list->current : nullptr; }

int adListSetCurrent(AdRecordList* list, AdListRecord* record) {
    if (!list || (record && record->list != list)) return -1;
    list->current = record;
    return 0;
}

int adListRewind(AdRecordList* list) {
    if (!list) return 0;
    list->current = list->first;
    return 1;
}

int adListReadNext(AdRecordList* list, void* destination, std::size_t length) {
    if (!list || !list->current) return 0;
    AdListRecord links;
    HostMemMove(&links, list->current, sizeof links);
    HostMemMove(destination, adListRecordData(list->current), length);
    list->current = links.next;
    return 1;
}
