// Unlinking and freeing list records.
#include "toolkit/ad.h"

AdListRecord* adListUnlinkRange(AdRecordList* list, AdListRecord* from, AdListRecord* to) {
    if (!list || !from || !to || list->count == 0 || from->list != list || to->list != list) return nullptr;

    // Count the range first, so that a range whose end does not follow its
    // start is refused before anything changes. The count bounds the walk.
    std::int32_t passed = 0;
    bool holdsCurrent = false;
    AdListRecord* r = from;
    for (;;) {
        if (!r || passed >= list->count) return nullptr;
        ++passed;
        if (r == list->current) holdsCurrent = true;
        if (r == to) break;
        r = r->next;
    }
    AdListRecord* before = from->previous;
    AdListRecord* after = to->next;

    list->count -= passed;
    if (before)
        before->next = after;
    else
        list->first = after;
    if (after)
        after->previous = before;
    else
        list->last = before;
    // A cursor left on an unlinked record would lead a walk out of the list
    // (or into freed memory): it moves on to the first record after the range.
    if (holdsCurrent || !list->first) list->current = after;

    // The range leaves as a chain of its own that belongs to no list, ready to
    // be inserted again or freed.
    from->previous = nullptr;
    to->next = nullptr;
    for (r = from; r; r = r->next) r->list = nullptr;
    return from;
}

AdListRecord* adListUnlink(AdRecordList* list, AdListRecord* record) { return adListUnlinkRange(list, record, record); }

AdListRecord* adListUnlinkLast(AdRecordList* list) {
    AdListRecord* last = adListLast(list);
    return adListUnlinkRange(list, last, last);
}

int adListFreeRecords(AdRecordList* list) {
    if (!list) return 0;
    AdListRecord* r = list->first;
    for (std::int32_t i = 0; r && i < list->count; ++i) {
        AdListRecord* next = r->next;
        HostFree(r);
        r = next;
    }
    list->count = 0;
    list->first = list->current = list->last = nullptr;
    return 1;
}

int adListFree(AdRecordList* list) {
    if (!adListFreeRecords(list)) return 0;
    HostFree(list);
    return 1;
}

int adListFreeIfAny(AdRecordList* list) { return list ? adListFree(list) : 1; }
