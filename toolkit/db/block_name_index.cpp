// The BLOCK table's index by name: (handle, name copy) pairs sorted ignoring
// ASCII case, so that block lookups by name need no walk of the table.
#include "toolkit/ad.h"

#include <algorithm>
#include <cstring>

namespace {
bool nameBefore(const AdBlockNameEntry& a, const AdBlockNameEntry& b) {
    return adStrCompareNoCase(a.name, b.name) < 0;
}

char* copyName(const char* name) {
    std::size_t length = strnlen(name, AD_TABLE_NAME_SIZE - 1);
    auto* copy = static_cast<char*>(HostAlloc(length + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, name, length);
    copy[length] = '\0';
    return copy;
}

// Reads up to count block headers from the first, leaving the table's cursor
// where it was; answers how many entries were filled, and clears complete
// when a name could not be copied.
std::int32_t fillEntries(AdDrawing* drawing, AdBlockNameEntry* entries, std::int32_t count, bool* complete) {
    AdListRecord* saved = adListCurrent(drawing->blocks);
    adBlockRewind(drawing);
    AdBlockHeader header;
    std::int32_t filled = 0;
    while (filled < count && adBlockNext(drawing, &header)) {
        entries[filled].handle = header.handle;
        entries[filled].name = copyName(header.name);
        if (!entries[filled].name) {
            *complete = false;
            break;
        }
        ++filled;
    }
    adListSetCurrent(drawing->blocks, saved);
    return filled;
}

void freeEntries(AdBlockNameEntry* entries, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) HostFree(entries[i].name);
    HostFree(entries);
}
}  // namespace

int adBuildBlockNameIndex(AdDrawing* drawing, std::int32_t count) {
    if (!drawing || !drawing->blocks || count < 0) return 0;
    adFreeBlockNameIndex(drawing);
    std::int32_t capacity = std::min(count, adListCount(drawing->blocks));
    auto* entries = static_cast<AdBlockNameEntry*>(
        HostAlloc(sizeof(AdBlockNameEntry) * static_cast<std::size_t>(std::max(capacity, 1))));
    if (!entries) {
        adNoMemory(AD_ERR_NO_DRAWING_MEMORY);
        return 0;
    }
    bool complete = true;
    std::int32_t filled = fillEntries(drawing, entries, capacity, &complete);
    if (!complete) {
        freeEntries(entries, filled);
        adNoMemory(AD_ERR_NO_DRAWING_MEMORY);
        return 0;
    }
    std::sort(entries, entries + filled, nameBefore);
    drawing->blockNames = entries;
    drawing->blockNameCount = filled;
    drawing->blockNamesStale = 0;
    return 1;
}

int adRebuildBlockNameIndex(AdDrawing* drawing) {
    return drawing ? adBuildBlockNameIndex(drawing, adListCount(drawing->blocks)) : 0;
}

int adFindBlockByName(AdDrawing* drawing, const char* name, AdHandle* handle) {
    if (!drawing || !drawing->blockNames || !name || !handle) return 0;
    AdBlockNameEntry key{{}, const_cast<char*>(name)};
    AdBlockNameEntry* end = drawing->blockNames + drawing->blockNameCount;
    AdBlockNameEntry* found = std::lower_bound(drawing->blockNames, end, key, nameBefore);
    if (found == end || adStrCompareNoCase(found->name, name) != 0) return 0;
    *handle = found->handle;
    return 1;
}

void adMarkBlockNameIndexStale(AdDrawing* drawing) {
    if (drawing) drawing->blockNamesStale = 1;
}

void adClearBlockNameIndex(AdDrawing* drawing) {
    if (!drawing) return;
    drawing->blockNames = nullptr;
    drawing->blockNameCount = 0;
    drawing->blockNamesStale = 0;
}

void adFreeBlockNameIndex(AdDrawing* drawing) {
    if (!drawing || !drawing->blockNames) return;
    freeEntries(drawing->blockNames, drawing->blockNameCount);
    drawing->blockNames = nullptr;
    drawing->blockNameCount = 0;
}

int adBlockNameIndexMissing(const AdDrawing* drawing) { return !drawing || !drawing->blockNames ? 1 : 0; }

std::int32_t adBlockNameIndexCount(const AdDrawing* drawing) { return drawing ? drawing->blockNameCount : 0; }

int adBlockNameIndexNeedsRebuild(const AdDrawing* drawing, std::int32_t count) {
    if (!drawing) return 1;
    return drawing->blockNamesStale || drawing->blockNameCount != count ? 1 : 0;
}
