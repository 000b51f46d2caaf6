// The ACAD_BLKREFS and ACAD_UNLOAD entries of external-reference blocks: the
// AC1014 form keeps them in the block's extension dictionary, every other
// version does without.
#include "toolkit/write/writer.h"

#include <cstring>
#include <memory>

namespace {
constexpr const char* kBlockRefs = "ACAD_BLKREFS";
constexpr const char* kUnload = "ACAD_UNLOAD";

// Adds an IDBUFFER owned by the extension dictionary, with the dictionary as
// its one reactor.
bool addIdBuffer(AdDrawing* drawing, const AdHandle& handle, const AdHandle& dictionary) {
    AdObjectHeader header{};
    header.type = adClassNumIdBuffer(drawing);
    if (header.type == 0) return false;
    auto data = std::make_unique<AdObjectData>();
    adObjectDefaults(drawing, &header, data.get());
    header.handle = handle;
    header.owner = dictionary;
    header.reactors = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* reactors = header.reactors ? adStreamOpenWrite(header.reactors) : nullptr;
    const bool written = reactors && adStreamWriteHandle(reactors, &dictionary);
    if (reactors) adStreamCloseWrite(reactors);
    header.reactorCount = written ? 1 : 0;
    if (adObjectAdd(drawing, &header, data.get())) return true;
    adStoreFree(header.reactors);
    return false;
}

// Rewrites the IDBUFFER's handle list with the block's INSERT handles.
void fillBlockRefs(AdDrawing* drawing, const AdHandle& handle, AdStore* inserts, std::int32_t count) {
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    if (!adObjectByHandle(drawing, &handle, &header, data.get()) || header.type != adClassNumIdBuffer(drawing))
        return;
    AdStore* fresh = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* in = fresh ? adStreamOpenRead(inserts) : nullptr;
    AdStream* out = in ? adStreamOpenWrite(fresh) : nullptr;
    std::int32_t copied = 0;
    AdHandle insert{};
    while (out && copied < count && adStreamReadHandle(in, &insert) && adStreamWriteHandle(out, &insert)) ++copied;
    if (in) adStreamCloseRead(in);
    if (out) adStreamCloseWrite(out);
    if (!out || copied != count) {
        adStoreFree(fresh);
        return;
    }
    if (data->idBuffer.count == count) {
        adStoreFree(fresh);
        return;
    }
    data->idBuffer.count = count;
    adObjectUpdateStore(drawing, &header, data.get(), &data->idBuffer.handles, fresh);
}

bool appendEntry(AdStream* out, const char* name, const AdHandle& handle) {
    AdNameRecord record{};
    std::strncpy(record.name, name, sizeof(record.name) - 1);
    record.handle = handle;
    return adStreamWriteNameRecord(out, &record) != 0;
}

void syncBlock(AdDrawing* drawing, AdBlockHeader* block, std::int16_t version) {
    const std::int32_t referenceBytes = adStoreSize(block->insertReferences);
    std::int32_t references = referenceBytes / 8;
    std::int32_t unloaded = block->unloaded;
    const bool xref = (block->flags & 0x04) != 0;
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    const bool hasDictionary = adHandleLength(&block->extensionDictionary) != 0 &&
                               adObjectByHandle(drawing, &block->extensionDictionary, &header, data.get()) &&
                               header.type == AD_OBJECT_DICTIONARY;
    const bool attention = version == AD_VERSION_AC1014 && xref && (references > 0 || unloaded);
    if (!attention) {
        if (!hasDictionary) return;
        references = 0;
        unloaded = 0;
    }
    if (!hasDictionary) {
        header = AdObjectHeader{};
        header.type = AD_OBJECT_DICTIONARY;
        adObjectDefaults(drawing, &header, data.get());
        data->dictionary.hardOwner = 1;
        if (!adNextHandle(drawing, &header.handle)) return;
        header.owner = block->handle;
        data->dictionary.entries = adStoreCreate(AD_STORE_BLOCK_SIZE);
        data->dictionary.entryCount = 0;
        if (!data->dictionary.entries) return;
        if (!adObjectAdd(drawing, &header, data.get())) {
            adStoreFree(data->dictionary.entries);
            return;
        }
        block->extensionDictionary = header.handle;
        adBlockUpdate(drawing, block);
    }

    AdStore* fresh = adStoreCreate(AD_STORE_BLOCK_SIZE);
    if (!fresh) return;
    AdStream* in = data->dictionary.entries ? adStreamOpenRead(data->dictionary.entries) : nullptr;
    AdStream* out = adStreamOpenWrite(fresh);
    bool changed = false;
    bool failed = !out;
    AdHandle blockRefs{};
    bool keptRefs = false;
    bool keptUnload = false;
    std::int32_t count = 0;
    AdNameRecord entry{};
    for (std::int32_t i = 0; in && !failed && i < data->dictionary.entryCount; ++i) {
        if (!adStreamReadNameRecord(in, &entry)) {
            failed = true;
            break;
        }
        const bool isRefs = adStrCompareNoCase(entry.name, kBlockRefs) == 0;
        const bool isUnload = adStrCompareNoCase(entry.name, kUnload) == 0;
        if ((isRefs && references <= 0) || (isUnload && !unloaded)) {
            adObjectDelete(drawing, &entry.handle);
            changed = true;
            continue;
        }
        if (isRefs) {
            keptRefs = true;
            blockRefs = entry.handle;
        }
        if (isUnload) keptUnload = true;
        if (!adStreamWriteNameRecord(out, &entry)) failed = true;
        ++count;
    }
    if (in) adStreamCloseRead(in);
    if (!failed && references > 0 && !keptRefs) {
        if (adNextHandle(drawing, &blockRefs) && addIdBuffer(drawing, blockRefs, header.handle) &&
            appendEntry(out, kBlockRefs, blockRefs)) {
            ++count;
            changed = true;
            keptRefs = true;
        }
    }
    if (!failed && keptRefs && references > 0) fillBlockRefs(drawing, blockRefs, block->insertReferences, references);
    if (!failed && unloaded && !keptUnload) {
        AdHandle handle{};
        if (adNextHandle(drawing, &handle) && addIdBuffer(drawing, handle, header.handle) &&
            appendEntry(out, kUnload, handle)) {
            ++count;
            changed = true;
        }
    }
    if (out) adStreamCloseWrite(out);
    if (failed || !changed) {
        adStoreFree(fresh);
        return;
    }
    // Deleting and adding objects moved the cursor: read the dictionary again.
    if (!adObjectByHandle(drawing, &block->extensionDictionary, &header, data.get())) {
        adStoreFree(fresh);
        return;
    }
    data->dictionary.entryCount = count;
    adObjectUpdateStore(drawing, &header, data.get(), &data->dictionary.entries, fresh);
}
}  // namespace

void adSyncXrefBlockRefs(AdDrawing* drawing, std::int16_t version) {
    const std::int32_t count = adBlockCount(drawing);
    auto block = std::make_unique<AdBlockHeader>();
    adBlockRewind(drawing);
    for (std::int32_t i = 0; i < count && adBlockNext(drawing, block.get()); ++i) syncBlock(drawing, block.get(), version);
}
