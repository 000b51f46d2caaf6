// Small list records holding one int, and a view of a list that checks its
// links while it reads the values.
#pragma once
#include "toolkit/ad.h"

#include <cstring>
#include <initializer_list>
#include <vector>

inline AdListRecord* IntRecord(int value) {
    auto* record = static_cast<AdListRecord*>(HostAlloc(AD_LIST_LINKS_SIZE + sizeof(int)));
    *record = AdListRecord{};
    std::memcpy(adListRecordData(record), &value, sizeof value);
    return record;
}

inline int IntOf(AdListRecord* record) {
    int value;
    std::memcpy(&value, adListRecordData(record), sizeof value);
    return value;
}

// A chain linked through its next fields only, as callers hand one over.
inline AdListRecord* IntChain(std::initializer_list<int> values) {
    AdListRecord* first = nullptr;
    AdListRecord* last = nullptr;
    for (int v : values) {
        AdListRecord* r = IntRecord(v);
        (last ? last->next : first) = r;
        last = r;
    }
    return first;
}

inline void FreeChain(AdListRecord* chain) {
    while (chain) {
        AdListRecord* next = chain->next;
        HostFree(chain);
        chain = next;
    }
}

// The values from first to last; empty with a -1 entry when a link, the list
// field, the count or the back links disagree.
inline std::vector<int> Values(AdRecordList* list) {
    std::vector<int> values;
    AdListRecord* previous = nullptr;
    for (AdListRecord* r = adListFirst(list); r; r = r->next) {
        if (r->list != list || r->previous != previous || values.size() > 1000) return {-1};
        values.push_back(IntOf(r));
        previous = r;
    }
    if (previous != adListLast(list) || static_cast<std::int32_t>(values.size()) != adListCount(list)) return {-1};
    return values;
}

inline AdListRecord* Nth(AdRecordList* list, int n) {
    AdListRecord* r = adListFirst(list);
    while (n-- > 0 && r) r = r->next;
    return r;
}

inline AdRecordList* IntList(std::initializer_list<int> values) {
    AdRecordList* list = adListCreate();
    adListInsertLast(list, IntChain(values));
    return list;
}
