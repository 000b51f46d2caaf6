// The INSERT references of block headers.
#include "toolkit/db/entity_insert_refs.h"

#include <cstddef>

namespace {

constexpr std::int16_t kReferenceBlockSize = 128;
constexpr std::size_t kStoreOffset = offsetof(AdStoredBlock, header) + offsetof(AdBlockHeader, insertReferences);

}  // namespace

AdListRecord* adInsertBlockRecord(AdDrawing* drawing, const AdHandle* block) {
    if (!drawing || !drawing->blocks || !block) return nullptr;
    auto* record = static_cast<AdListRecord*>(adHandleIndexFind(drawing, block));
    if (!record) return nullptr;
    AdListRecord links;
    HostMemMove(&links, record, sizeof links);
    return links.list == drawing->blocks ? record : nullptr;
}

int adInsertReferenceAdd(AdListRecord* blockRecord, const AdHandle* insert) {
    AdStore* store = nullptr;
    HostMemMove(&store, adListRecordData(blockRecord) + kStoreOffset, sizeof store);
    const bool created = !store;
    if (created && !(store = adStoreCreate(kReferenceBlockSize))) return 0;
    AdStream* stream = adStreamOpenAppend(store);
    const bool written = stream && adStreamWriteHandle(stream, insert) == 1;
    const bool closed = stream && adStreamCloseAppend(stream) == 1;
    if (!written || !closed) {
        if (created) adStoreFree(store);
        return 0;
    }
    if (created) HostMemMove(adListRecordData(blockRecord) + kStoreOffset, &store, sizeof store);
    return 1;
}
