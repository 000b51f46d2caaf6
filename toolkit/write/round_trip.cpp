// The root dictionary's header round-trip entry: it belongs to the drawing's
// own version, so a save at another version writes the drawing without it and
// puts it back afterwards.
#include "toolkit/write/writer.h"
#include "toolkit/db/object_kinds.h"

#include <cstring>
#include <memory>

namespace {
constexpr const char* kRoundTripEntry = "ACDBHEADERROUNDTRIPXREC";
// Dictionaries nest only a few levels; a deeper walk is a cycle in the data.
constexpr int kMaxDictionaryDepth = 64;

void detachObjectTree(AdDrawing* drawing, AdRecordList* side, const AdHandle& handle, int depth) {
    if (depth > kMaxDictionaryDepth) return;
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    if (!adObjectByHandle(drawing, &handle, &header, data.get())) return;
    if (header.type == AD_OBJECT_DICTIONARY && data->dictionary.entries) {
        AdStream* entries = adStreamOpenRead(data->dictionary.entries);
        AdNameRecord entry{};
        for (std::int32_t i = 0; entries && i < data->dictionary.entryCount; ++i) {
            if (!adStreamReadNameRecord(entries, &entry)) break;
            detachObjectTree(drawing, side, entry.handle, depth + 1);
        }
        if (entries) adStreamCloseRead(entries);
    }
    auto* record = static_cast<AdListRecord*>(adHandleIndexFind(drawing, &handle));
    if (!record || record->list != drawing->objects) return;
    adListUnlink(drawing->objects, record);
    record->next = record->previous = nullptr;
    record->list = nullptr;
    adListInsertLast(side, record);
    adHandleIndexDelete(drawing, &handle);
}

// The root dictionary, when the drawing's first object is one.
bool readRoot(AdDrawing* drawing, AdObjectHeader* header, AdObjectData* data) {
    adObjectRewind(drawing);
    return adObjectNext(drawing, header, data) && header->type == AD_OBJECT_DICTIONARY;
}

}  // namespace

void adDetachRoundTripEntry(AdDrawing* drawing, AdRecordList* side, AdHandle* entry) {
    *entry = AdHandle{};
    AdObjectHeader root{};
    auto data = std::make_unique<AdObjectData>();
    if (!readRoot(drawing, &root, data.get())) return;
    AdStore* fresh = adStoreCreate(AD_STORE_BLOCK_SIZE);
    if (!fresh) return;
    AdStream* in = adStreamOpenRead(data->dictionary.entries);
    AdStream* out = adStreamOpenWrite(fresh);
    bool found = false;
    bool failed = !in || !out;
    AdNameRecord record{};
    for (std::int32_t i = 0; !failed && i < data->dictionary.entryCount; ++i) {
        if (!adStreamReadNameRecord(in, &record)) {
            failed = true;
        } else if (!found && std::strcmp(record.name, kRoundTripEntry) == 0) {
            found = true;
            *entry = record.handle;
        } else if (!adStreamWriteNameRecord(out, &record)) {
            failed = true;
        }
    }
    if (in) adStreamCloseRead(in);
    if (out) adStreamCloseWrite(out);
    if (failed || !found) {
        adStoreFree(fresh);
        *entry = AdHandle{};
        return;
    }
    detachObjectTree(drawing, side, *entry, 0);
    // The walk moved the cursor: read the root again before storing it back.
    AdObjectHeader again{};
    if (!adObjectByHandle(drawing, &root.handle, &again, data.get())) {
        adStoreFree(fresh);
        return;
    }
    data->dictionary.entryCount -= 1;
    adObjectUpdateStore(drawing, &again, data.get(), &data->dictionary.entries, fresh);
}

void adRestoreRoundTripEntry(AdDrawing* drawing, AdRecordList* side, const AdHandle* entry) {
    if (!side) return;
    for (AdListRecord* r = side->first; r; r = r->next) {
        AdStoredObject stored;
        HostMemMove(&stored, adListRecordData(r), sizeof stored);
        adHandleIndexInsert(drawing, &stored.header.handle, r);
    }
    // The records move to the object list whether or not the index took them
    // all: none of them may be freed with the side list.
    AdListRecord* chain = side->first;
    side->first = side->current = side->last = nullptr;
    side->count = 0;
    if (chain) adListInsertLast(drawing->objects, chain);
    if (adHandleLength(entry) == 0) return;

    AdObjectHeader root{};
    auto data = std::make_unique<AdObjectData>();
    if (!readRoot(drawing, &root, data.get())) return;
    AdStream* out = adStreamOpenAppend(data->dictionary.entries);
    if (!out) return;
    AdNameRecord record{};
    std::strcpy(record.name, kRoundTripEntry);
    record.handle = *entry;
    const int written = adStreamWriteNameRecord(out, &record);
    adStreamCloseAppend(out);
    if (!written) return;
    data->dictionary.entryCount += 1;
    adObjectUpdate(drawing, &root, data.get());
}
