// The owner of every object that a dictionary or another object owns, for
// the writers that store owners the drawing does not keep.
#include "toolkit/write/writer.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
// Class-numbered objects whose handles own nothing.
bool ownsNothing(AdDrawing* drawing, std::int16_t type) {
    using ClassNumber = std::int16_t (*)(const AdDrawing*);
    static constexpr ClassNumber kNonOwners[] = {
        adClassNumXrecord,       adClassNumDimAssoc,     adClassNumIdBuffer,          adClassNumSortentsTable,
        adClassNumDictionaryVar, adClassNumImageDef,     adClassNumImageDefReactor,   adClassNumRasterVariables,
        adClassNumSpatialFilter, adClassNumLayerIndex,   adClassNumSpatialIndex,      adClassNumObjectPtr,
        adClassNumDictionaryWithDefault, adClassNumPlaceholder, adClassNumLayout,     adClassNumPlotSettings,
        adClassNumVbaProject,    adClassNumWipeoutVariables,
    };
    for (ClassNumber number : kNonOwners)
        if (number(drawing) == type) return true;
    return false;
}

bool isProxyOwner(AdDrawing* drawing, const AdObjectHeader& header) {
    return header.type > AD_ENTITY_PROXY && !ownsNothing(drawing, header.type);
}

struct Builder {
    AdOwnerMap* map;
    std::int32_t capacity;
    bool add(const AdHandle& child, const AdHandle& owner) {
        if (map->count >= capacity) return false;
        map->pairs[map->count++] = AdOwnerPair{child, owner};
        return true;
    }
};
}  // namespace

int adNoteOwnedHandle(AdOutputDrawing* output, const AdHandle* owner, const AdHandle* child) {
    if (adHandleLength(child) == 0) return 1;
    if (!output->pendingOwners) output->pendingOwners = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = output->pendingOwners ? adStreamOpenAppend(output->pendingOwners) : nullptr;
    if (!out) return 0;
    const int written = adStreamWriteHandle(out, owner) && adStreamWriteHandle(out, child);
    adStreamCloseAppend(out);
    return written;
}

int adBuildOwnerMap(AdDrawing* drawing, AdOutputDrawing* output, AdOwnerMap* map) {
    *map = AdOwnerMap{};
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    std::int64_t count = adStoreSize(output->pendingOwners) / 16;
    adObjectRewind(drawing);
    while (adObjectNext(drawing, &header, data.get())) {
        if (header.type == AD_OBJECT_DICTIONARY && data->dictionary.entryCount > 0) {
            count += data->dictionary.entryCount;
        } else if (isProxyOwner(drawing, header) && data->proxy.referenceCount > 0) {
            count += data->proxy.referenceCount;
        }
    }
    if (count > INT32_MAX / static_cast<std::int64_t>(sizeof(AdOwnerPair))) count = 0;
    map->pairs = static_cast<AdOwnerPair*>(HostAlloc(sizeof(AdOwnerPair) * static_cast<std::size_t>(count + 1)));
    if (!map->pairs) {
        adNoMemory(AD_ERR_OWNER_MAP);
        return 0;
    }
    Builder builder{map, static_cast<std::int32_t>(count)};
    bool first = true;
    adObjectRewind(drawing);
    while (adObjectNext(drawing, &header, data.get())) {
        const bool root = first;
        first = false;
        if (header.type == AD_OBJECT_DICTIONARY) {
            AdStream* entries = data->dictionary.entries ? adStreamOpenRead(data->dictionary.entries) : nullptr;
            AdNameRecord entry{};
            for (std::int32_t i = 0; entries && i < data->dictionary.entryCount; ++i) {
                if (!adStreamReadNameRecord(entries, &entry)) break;
                builder.add(entry.handle, header.handle);
                if (root && std::strcmp(entry.name, "ACAD_GROUP") == 0) map->groupDictionary = entry.handle;
                if (root && std::strcmp(entry.name, "ACAD_MLINESTYLE") == 0) map->mlineStyleDictionary = entry.handle;
            }
            if (entries) adStreamCloseRead(entries);
        } else if (isProxyOwner(drawing, header) && data->proxy.references) {
            AdStream* references = adStreamOpenRead(data->proxy.references);
            AdHandleEntry entry{};
            for (std::int32_t i = 0; references && i < data->proxy.referenceCount; ++i) {
                if (!adStreamReadHandleEntry(references, &entry)) break;
                if (entry.flag == 3 || entry.flag == 4) builder.add(entry.handle, header.handle);
            }
            if (references) adStreamCloseRead(references);
        }
    }
    if (output->pendingOwners) {
        AdStream* pending = adStreamOpenRead(output->pendingOwners);
        AdHandle owner{};
        AdHandle child{};
        while (pending && adStreamReadHandle(pending, &owner) && adStreamReadHandle(pending, &child))
            builder.add(child, owner);
        if (pending) adStreamCloseRead(pending);
        adStoreFree(output->pendingOwners);
        output->pendingOwners = nullptr;
    }
    // Sorted by child, pairs of one child in their order: the first pair of a
    // child is found by a binary search.
    std::stable_sort(map->pairs, map->pairs + map->count, [](const AdOwnerPair& a, const AdOwnerPair& b) {
        return adHandleCompare(&a.child, &b.child) < 0;
    });
    return 1;
}

int adOwnerMapFind(const AdOwnerMap* map, const AdHandle* child, AdHandle* owner) {
    *owner = AdHandle{};
    const AdOwnerPair* end = map->pairs + map->count;
    const AdOwnerPair* found = std::lower_bound(
        static_cast<const AdOwnerPair*>(map->pairs), end, *child, [](const AdOwnerPair& pair, const AdHandle& h) { return adHandleCompare(&pair.child, &h) < 0; });
    if (found == end || adHandleCompare(&found->child, child) != 0) return 0;
    *owner = found->owner;
    return 1;
}

void adOwnerMapFree(AdOwnerMap* map) {
    if (map->pairs) HostFree(map->pairs);
    *map = AdOwnerMap{};
}
