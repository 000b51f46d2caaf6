// Freeing the stores of objects, and the object list with them.
#include "toolkit/db/object_kinds.h"
#include "toolkit/db/load_stages.h"

namespace {

int freeStore(AdStore*& store) {
    const int freed = !store || adStoreFree(store);
    store = nullptr;
    return freed;
}

}  // namespace

int adObjectFreeStores(AdObjectKind kind, AdObjectHeader* header, void* data) {
    int freed = freeStore(header->xdata);
    freed &= freeStore(header->reactors);
    auto* bytes = static_cast<std::uint8_t*>(data);
    for (std::int32_t offset : adObjectKinds[kind].storeOffsets) {
        if (offset < 0) continue;
        AdStore* store;
        HostMemMove(&store, bytes + offset, sizeof store);
        freed &= freeStore(store);
        HostMemMove(bytes + offset, &store, sizeof store);
    }
    return freed;
}

int adObjectFreeData(AdDrawing* drawing, AdObjectHeader* header, void* data) {
    // Without the drawing a class number cannot tell which fields are stores.
    if (!drawing || !header || !data) return 0;
    adDropNameReferences(drawing, header->xdata);
    return adObjectFreeStores(adObjectKindOf(drawing, header->type), header, data);
}

int adFreeObjectList(AdDrawing* drawing) {
    if (!drawing) return 0;
    AdRecordList* list = drawing->objects;
    const std::int32_t count = adListCount(list);
    // The count bounds the walk even if the links were damaged.
    std::int32_t visited = 0;
    for (AdListRecord* record = adListFirst(list); record && visited < count; ++visited) {
        AdObjectKind kind;
        AdObjectHeader header;
        AdObjectData data;
        if (adObjectReadStored(record, &kind, &header, &data)) adObjectFreeStores(kind, &header, &data);
        AdListRecord links;
        HostMemMove(&links, record, sizeof links);
        record = links.next;
    }
    // The list goes even when the walk stopped short.
    adListFreeIfAny(list);
    drawing->objects = nullptr;
    return visited == count;
}
