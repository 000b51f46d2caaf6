// The object cursor: rewind, walk, count and lookup by handle.
#include "toolkit/db/object_kinds.h"

int adObjectReadStored(AdListRecord* record, AdObjectKind* kind, AdObjectHeader* header, void* data) {
    AdStoredObject stored;
    HostMemMove(&stored, adListRecordData(record), sizeof stored);
    if (stored.kind < 0 || stored.kind >= AD_OBJECT_KIND_COUNT) return 0;
    *kind = static_cast<AdObjectKind>(stored.kind);
    *header = stored.header;
    HostMemMove(data, reinterpret_cast<std::uint8_t*>(record) + AD_OBJECT_DATA_OFFSET, adObjectKinds[*kind].dataSize);
    return 1;
}

AdListRecord* adObjectIndexed(AdDrawing* drawing, const AdHandle* handle) {
    if (!adObjectList(drawing) || !handle) return nullptr;
    return static_cast<AdListRecord*>(adHandleIndexFind(drawing, handle));
}

int adObjectRewind(AdDrawing* drawing) { return adListRewind(adObjectList(drawing)); }

int adObjectNext(AdDrawing* drawing, AdObjectHeader* header, void* data) {
    AdRecordList* list = adObjectList(drawing);
    AdListRecord* record = adListCurrent(list);
    if (!record || !header || !data) return 0;
    AdListRecord links;
    HostMemMove(&links, record, sizeof links);
    AdObjectKind kind;
    if (!adObjectReadStored(record, &kind, header, data)) return 0;
    adListSetCurrent(list, links.next);
    return 1;
}

int adObjectByHandle(AdDrawing* drawing, const AdHandle* handle, AdObjectHeader* header, void* data) {
    AdRecordList* list = adObjectList(drawing);
    AdListRecord* record = header && data ? adObjectIndexed(drawing, handle) : nullptr;
    if (!record || adListSetCurrent(list, record) != 0) return 0;
    return adObjectNext(drawing, header, data);
}

std::int32_t adObjectCount(const AdDrawing* drawing) { return adListCount(adObjectList(drawing)); }
