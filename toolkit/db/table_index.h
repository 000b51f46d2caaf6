// The handle of a table record named by its position in the table, as files
// before AC1012 name layers, linetypes, styles and the rest.
#pragma once
#include "toolkit/ad.h"

// The index-th record (from 0) of a table walked with its cursor; a null
// handle and 0 when the table holds fewer records or the index is negative.
template <class Record>
int adTableHandleAtIndex(AdDrawing* drawing, int (*rewind)(AdDrawing*), int (*next)(AdDrawing*, Record*),
                         std::int32_t index, AdHandle* handle) {
    *handle = AdHandle{};
    if (index < 0 || !rewind(drawing)) return 0;
    Record* record = static_cast<Record*>(HostAlloc(sizeof(Record)));
    if (!record) return 0;
    int found = 0;
    for (std::int32_t i = 0; i <= index && next(drawing, record); ++i) {
        if (i == index) {
            *handle = record->handle;
            found = 1;
        }
    }
    HostFree(record);
    return found;
}
