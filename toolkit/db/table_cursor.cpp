// The shared cursor, lookup, update, insert and delete over any symbol table.
#include "toolkit/db/table_cursor.h"

#include <cstddef>

AdRecordList* adTableList(const AdDrawing* drawing, const AdTableDesc& table) {
    return drawing ? drawing->*table.list : nullptr;
}

void adTableReadField(AdListRecord* record, std::size_t offset, void* destination, std::size_t length) {
    HostMemMove(destination, adListRecordData(record) + offset, length);
}

AdListRecord adTableLinks(AdListRecord* record) {
    AdListRecord links;
    HostMemMove(&links, record, AD_LIST_LINKS_SIZE);
    return links;
}

int adTableNameIs(AdListRecord* record, const AdTableDesc& table, const char* name) {
    // Compared where it lies: a lookup by name visits every record of a
    // table, once per entity while a drawing loads.
    const auto* stored = reinterpret_cast<const char*>(adListRecordData(record) + table.nameOffset);
    return adStrCompareNoCaseN(stored, name, AD_TABLE_NAME_SIZE) == 0;
}

void adTableCopyText(char* field, std::size_t size, const char* text) {
    if (size == 0) return;
    std::size_t n = 0;
    if (text)
        while (n + 1 < size && text[n] != '\0') ++n;
    if (n) HostMemMove(field, text, n);
    field[n] = '\0';
}

int adTableRewind(AdDrawing* drawing, const AdTableDesc& table) {
    AdRecordList* list = adTableList(drawing, table);
    if (!list) return 0;
    adListRewind(list);
    return 1;
}

int adTableNext(AdDrawing* drawing, const AdTableDesc& table, void* record) {
    AdRecordList* list = adTableList(drawing, table);
    return list && record && adListReadNext(list, record, table.recordSize) == 1;
}

std::int32_t adTableCount(const AdDrawing* drawing, const AdTableDesc& table) {
    return adListCount(adTableList(drawing, table));
}

AdListRecord* adTableFind(AdDrawing* drawing, const AdTableDesc& table, const AdHandle* handle) {
    AdRecordList* list = adTableList(drawing, table);
    auto* record = list && handle ? static_cast<AdListRecord*>(adHandleIndexFind(drawing, handle)) : nullptr;
    if (!record) {
        adSetError(AD_ERR_UNKNOWN_HANDLE);
        return nullptr;
    }
    if (adTableLinks(record).list != list) {
        adSetError(AD_ERR_OTHER_TABLE);
        return nullptr;
    }
    return record;
}

int adTableByHandle(AdDrawing* drawing, const AdTableDesc& table, const AdHandle* handle, void* record) {
    AdListRecord* found = adTableFind(drawing, table, handle);
    if (!found) return 0;
    AdRecordList* list = adTableList(drawing, table);
    if (!record || adListSetCurrent(list, found) != 0 || adListReadNext(list, record, table.recordSize) != 1) {
        adSetError(AD_ERR_TABLE_READ);
        return 0;
    }
    return 1;
}

AdListRecord* adTableFindByName(const AdDrawing* drawing, const AdTableDesc& table, const char* name) {
    AdRecordList* list = adTableList(drawing, table);
    if (!list || !name) return nullptr;
    // A list's count bounds the walk even if its links were damaged.
    AdListRecord* record = adListFirst(list);
    for (std::int32_t i = adListCount(list); record && i > 0; --i) {
        if (adTableNameIs(record, table, name)) return record;
        record = adTableLinks(record).next;
    }
    return nullptr;
}

int adTableHandleByName(const AdDrawing* drawing, const AdTableDesc& table, const char* name, AdHandle* handle) {
    if (!handle) return 0;
    *handle = AdHandle{};
    AdListRecord* record = adTableFindByName(drawing, table, name);
    if (!record) return 0;
    adTableReadField(record, table.handleOffset, handle, sizeof *handle);
    return 1;
}

void adTableFirstHandle(AdDrawing* drawing, const AdTableDesc& table, AdHandle* handle) {
    *handle = AdHandle{};
    AdListRecord* first = adListFirst(adTableList(drawing, table));
    if (first) adTableReadField(first, table.handleOffset, handle, sizeof *handle);
}

void adTableTerminateTexts(const AdTableDesc& table, void* record) {
    auto* bytes = static_cast<std::uint8_t*>(record);
    for (const AdTextField& text : table.texts) {
        if (text.size == 0) break;
        bytes[text.offset + text.size - 1] = '\0';
    }
}

int adTableUpdate(AdDrawing* drawing, const AdTableDesc& table, const void* record) {
    if (!record) return 0;
    AdHandle handle;
    HostMemMove(&handle, static_cast<const std::uint8_t*>(record) + table.handleOffset, sizeof handle);
    AdListRecord* found = adTableFind(drawing, table, &handle);
    if (!found) return 0;
    alignas(std::max_align_t) std::uint8_t image[AD_TABLE_MAX_STORED];
    HostMemMove(image, record, table.recordSize);
    adTableTerminateTexts(table, image);
    HostMemMove(adListRecordData(found), image, table.recordSize);
    ++drawing->tableEdits;
    return 1;
}

int adTableInsert(AdDrawing* drawing, const AdTableDesc& table, const void* record, int position,
                  AdListRecord* reference) {
    AdRecordList* list = adTableList(drawing, table);
    if (!list || !record) return 0;
    alignas(std::max_align_t) std::uint8_t image[AD_LIST_LINKS_SIZE + AD_TABLE_MAX_STORED] = {};
    HostMemMove(image + AD_LIST_LINKS_SIZE, record, table.recordSize);
    adTableTerminateTexts(table, image + AD_LIST_LINKS_SIZE);
    AdHandle handle;
    HostMemMove(&handle, image + AD_LIST_LINKS_SIZE + table.handleOffset, sizeof handle);
    if (adListInsertKeyed(&handle, drawing, image, AD_LIST_LINKS_SIZE + table.storedSize, list, position,
                          reference)) {
        ++drawing->tableEdits;
        return 1;
    }
    if (adGlobals && adGlobals->errorCode == AD_ERR_RECORD_MEMORY_INSERT) adGlobals->errorCode = table.memoryError;
    return 0;
}

namespace {

int freeStores(AdListRecord* record, const AdTableDesc& table) {
    for (std::int32_t offset : table.storeOffsets) {
        if (offset < 0) continue;
        AdStore* store = nullptr;
        adTableReadField(record, static_cast<std::size_t>(offset), &store, sizeof store);
        if (store && !adStoreFree(store)) return 0;
    }
    return 1;
}

}  // namespace

int adTableDelete(AdDrawing* drawing, const AdTableDesc& table, const AdHandle* handle,
                  const AdTableDeleteErrors& errors) {
    AdRecordList* list = adTableList(drawing, table);
    if (adListCount(list) == 0) {
        adSetError(errors.empty);
        return 0;
    }
    AdListRecord* found = nullptr;
    AdListRecord* record = adListFirst(list);
    for (std::int32_t i = adListCount(list); handle && record && !found && i > 0; --i) {
        AdHandle stored;
        adTableReadField(record, table.handleOffset, &stored, sizeof stored);
        if (adHandleCompare(&stored, handle) == 0) found = record;
        record = adTableLinks(record).next;
    }
    if (!found) {
        adSetError(errors.notFound);
        return 0;
    }
    record = found;
    // The index entry goes first so that no lookup can reach a freed record;
    // when the index cannot work (209), nothing is changed.
    const int removed = adHandleIndexDelete(drawing, handle);
    if (removed != 1 && removed != 4) return 0;
    ++drawing->tableEdits;
    if (!freeStores(record, table)) {
        adSetError(errors.store);
        return 0;
    }
    // A cursor resting on the record moves on rather than dangle.
    if (adListCurrent(list) == record) adListSetCurrent(list, adTableLinks(record).next);
    if (!adListUnlink(list, record)) {
        adSetError(errors.unlink);
        return 0;
    }
    if (!HostFree(record)) {
        adSetError(errors.free);
        return 0;
    }
    return 1;
}
