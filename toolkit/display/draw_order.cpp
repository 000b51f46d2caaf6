// Draw order: the ACAD_SORTENTS table of a block, and the top-level
// entities of its list sorted by it.
#include "toolkit/display/dispatch.h"

#include <algorithm>
#include <cstring>

namespace {

bool handleLess(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, 8) < 0; }

struct ObjectBuffer {
    AdObjectData* data = static_cast<AdObjectData*>(HostAlloc(sizeof(AdObjectData)));
    ~ObjectBuffer() {
        if (data) HostFree(data);
    }
};

// The SORTENTSTABLE object of the block's extension dictionary, read into
// data; false when there is none.
bool sortTable(AdDrawing* drawing, const AdBlockHeader& block, AdObjectData* data) {
    AdObjectHeader header{};
    if (adHandleLength(&block.extensionDictionary) == 0 ||
        !adObjectByHandle(drawing, &block.extensionDictionary, &header, data) || header.type != 32 ||
        data->dictionary.entryCount <= 0 || !data->dictionary.entries)
        return false;
    AdStream* stream = adStreamOpenRead(data->dictionary.entries);
    if (!stream) return false;
    AdNameRecord entry{};
    bool found = false;
    for (std::int32_t i = 0; i < data->dictionary.entryCount && adStreamReadNameRecord(stream, &entry); ++i)
        if (adStrCompareNoCase(entry.name, "ACAD_SORTENTS") == 0) {
            found = true;
            break;
        }
    adStreamCloseRead(stream);
    const std::int16_t sortents = adClassNumSortentsTable(drawing);
    return found && sortents != 0 && adObjectByHandle(drawing, &entry.handle, &header, data) &&
           header.type == sortents;
}

}  // namespace

void adDrawOrderInit(AdDrawOrderTable* table) { *table = AdDrawOrderTable{}; }

void adDrawOrderFree(AdDrawOrderTable* table) {
    if (table->pairs) HostFree(table->pairs);
    adDrawOrderInit(table);
}

int adLoadDrawOrder(AdDrawing* drawing, AdRecordList* list, const AdHandle* block, AdDrawOrderTable* table) {
    adDrawOrderInit(table);
    AdBlockHeader header{};
    if (!adBlockByHandle(drawing, block, &header)) {
        adSetError(AD_ERR_NO_BLOCK_LIST);
        return 0;
    }
    ObjectBuffer buffer;
    if (!buffer.data || !sortTable(drawing, header, buffer.data)) return 0;
    const AdSortentsTableData& sort = buffer.data->sortentsTable;
    const std::int32_t n = sort.count;
    if (n <= 0 || !sort.sortHandles || !sort.entityHandles) return 0;
    // The stores bound the count: a table that claims more pairs than it
    // holds keeps those it has.
    const std::int32_t held = std::min(adStoreSize(sort.sortHandles), adStoreSize(sort.entityHandles)) / 8;
    const std::int32_t pairs = std::min(n, held);
    if (pairs <= 0) return 0;
    table->pairs = static_cast<AdDrawOrderPair*>(HostAlloc(sizeof(AdDrawOrderPair) * static_cast<std::size_t>(pairs)));
    if (!table->pairs) return 0;
    table->allocated = pairs;
    AdStream* sorts = adStreamOpenRead(sort.sortHandles);
    AdStream* entities = adStreamOpenRead(sort.entityHandles);
    AdEntityHeader* entity = adDisplayGlobals->subHeader;
    AdEntityData* data = adDisplayGlobals->subData;
    for (std::int32_t i = 0; sorts && entities && i < pairs; ++i) {
        AdDrawOrderPair pair{};
        if (!adStreamReadHandle(entities, &pair.entity) || !adStreamReadHandle(sorts, &pair.sort)) break;
        // Only entities of this list take part.
        if (adEntityByHandle(drawing, list, &pair.entity, entity, data)) table->pairs[table->count++] = pair;
    }
    adStreamCloseRead(sorts);
    adStreamCloseRead(entities);
    std::sort(table->pairs, table->pairs + table->count,
              [](const AdDrawOrderPair& a, const AdDrawOrderPair& b) { return handleLess(a.entity, b.entity); });
    return 1;
}

AdSortEntry* adSortEntities(AdDrawing* /*drawing*/, AdRecordList* list, const AdDrawOrderTable* order,
                            std::int32_t* count) {
    *count = 0;
    if (!order || order->count <= 0) return nullptr;
    const std::int32_t total = adListCount(list);
    if (total <= 0) return nullptr;
    auto* entries = static_cast<AdSortEntry*>(HostAlloc(sizeof(AdSortEntry) * static_cast<std::size_t>(total)));
    if (!entries) return nullptr;
    AdEntityHeader* header = adDisplayGlobals->subHeader;
    AdEntityData* data = adDisplayGlobals->subData;
    AdListRecord* start = adListCurrent(list);
    std::int32_t n = 0;
    for (std::int32_t i = 0; i < total; ++i) {
        AdListRecord* record = adListCurrent(list);
        if (!record || !adEntityNext(list, header, data)) break;
        const std::uint16_t type = header->type;
        if (type == AD_ENTITY_ENDBLK) break;
        // Vertices, attributes and their SEQEND go with the entity before them.
        if (type == AD_ENTITY_VERTEX || type == AD_ENTITY_ATTRIB || type == AD_ENTITY_SEQEND) continue;
        entries[n++] = AdSortEntry{record, header->handle};
    }
    if (start) adListSetCurrent(list, start);
    // The table is ascending by entity handle: one merge gives every entry
    // its sort key.
    std::sort(entries, entries + n, [](const AdSortEntry& a, const AdSortEntry& b) { return handleLess(a.key, b.key); });
    std::int32_t pair = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        while (pair < order->count && handleLess(order->pairs[pair].entity, entries[i].key)) ++pair;
        if (pair < order->count && std::memcmp(order->pairs[pair].entity.b, entries[i].key.b, 8) == 0)
            entries[i].key = order->pairs[pair++].sort;
    }
    std::stable_sort(entries, entries + n, [](const AdSortEntry& a, const AdSortEntry& b) { return handleLess(a.key, b.key); });
    *count = n;
    if (n == 0) {
        HostFree(entries);
        return nullptr;
    }
    return entries;
}
