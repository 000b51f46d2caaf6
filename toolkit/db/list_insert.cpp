// Linking records and chains into a list.
#include "toolkit/ad.h"

std::int32_t adListInsertChain(AdRecordList* list, AdListRecord* position, AdListRecord* chain) {
    if (!list) return -1;
    if (position && position->list != list) return -2;
    if (!chain) return 0;

    // A chain may come linked through its next fields only: its previous links
    // are set here so that it can be walked both ways once it is in the list.
    std::int32_t count = 0;
    AdListRecord* chainLast = chain;
    for (AdListRecord* r = chain; r; r = r->next) {
        if (r != chain) r->previous = chainLast;
        r->list = list;
        chainLast = r;
        ++count;
    }
    list->count += count;

    if (!list->first) {
        chain->previous = nullptr;
        chainLast->next = nullptr;
        list->first = list->current = chain;
        list->last = chainLast;
    } else if (!position) {
        chain->previous = nullptr;
        chainLast->next = list->first;
        list->first->previous = chainLast;
        list->first = chain;
    } else {
        chain->previous = position;
        chainLast->next = position->next;
        if (position->next)
            position->next->previous = chainLast;
        else
            list->last = chainLast;
        position->next = chain;
    }
    return count;
}

std::int32_t adListInsertChainFirst(AdRecordList* list, AdListRecord* chain) {
    return adListInsertChain(list, nullptr, chain);
}

std::int32_t adListInsertLast(AdRecordList* list, AdListRecord* chain) {
    return adListInsertChain(list, list ? list->last : nullptr, chain);
}

std::int32_t adListInsertAfter(AdRecordList* list, AdListRecord* position, AdListRecord* chain) {
    return adListInsertChain(list, position, chain);
}

std::int32_t adListInsertBefore(AdRecordList* list, AdListRecord* record, AdListRecord* chain) {
    if (!list) return -1;
    if (!record || record->list != list) return -2;
    return adListInsertChain(list, record->previous, chain);
}

std::int32_t adListInsertBeforeCurrent(AdRecordList* list, AdListRecord* chain) {
    if (!list || !list->current) return -1;
    return adListInsertBefore(list, list->current, chain);
}

int adListAppend(AdRecordList* list, AdListRecord* record) {
    if (!list) return -1;
    if (!record) return 0;
    record->next = nullptr;
    return adListInsertLast(list, record);
}
