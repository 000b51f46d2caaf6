// BLOCK: the cursor family over block headers. *MODEL_SPACE and
// *PAPER_SPACE stay at the end, so new headers go before them; every change
// of the names invalidates the drawing's sorted block-name index.
#include "toolkit/db/table_cursor.h"

#include <cstring>

int adBlockRewind(AdDrawing* drawing) { return adTableRewind(drawing, adBlockTable); }
int adBlockNext(AdDrawing* drawing, AdBlockHeader* record) { return adTableNext(drawing, adBlockTable, record); }
std::int32_t adBlockCount(const AdDrawing* drawing) { return adTableCount(drawing, adBlockTable); }
int adBlockByHandle(AdDrawing* drawing, const AdHandle* handle, AdBlockHeader* record) {
    return adTableByHandle(drawing, adBlockTable, handle, record);
}

int adBlockHandleByName(AdDrawing* drawing, const char* name, AdHandle* handle) {
    if (!handle) return 0;
    *handle = AdHandle{};
    if (!adTableList(drawing, adBlockTable) || !name) return 0;
    if (adBlockNameIndexNeedsRebuild(drawing, adBlockCount(drawing)) && !adRebuildBlockNameIndex(drawing)) return 0;
    return adFindBlockByName(drawing, name, handle);
}

int adBlockUpdate(AdDrawing* drawing, const AdBlockHeader* record) {
    AdListRecord* found = record ? adTableFind(drawing, adBlockTable, &record->handle) : nullptr;
    if (!found) return 0;
    char oldName[AD_TABLE_NAME_SIZE];
    adTableReadField(found, adBlockTable.nameOffset, oldName, sizeof oldName);
    if (!adTableUpdate(drawing, adBlockTable, record)) return 0;
    if (std::strncmp(oldName, record->name, sizeof oldName) != 0) adMarkBlockNameIndexStale(drawing);
    return 1;
}

namespace {

// At most this many records follow a new block header.
constexpr int kMaxFollowing = 3;

}  // namespace

int adBlockAdd(AdDrawing* drawing, const AdBlockHeader* record) {
    AdRecordList* list = adTableList(drawing, adBlockTable);
    if (!list || !record) return 0;
    AdListRecord* first = adListFirst(list);
    AdListRecord* before = adListLast(list);
    if (!before) {
        adSetError(AD_ERR_BLOCK_EMPTY);
        return 0;
    }
    for (int following = 1; following < kMaxFollowing && before != first &&
                            !adTableNameIs(before, adBlockTable, "*MODEL_SPACE");
         ++following)
        before = adTableLinks(before).previous;
    if (!adTableInsert(drawing, adBlockTable, record, AD_LIST_BEFORE_REFERENCE, before)) return 0;
    adMarkBlockNameIndexStale(drawing);
    return 1;
}

int adBlockDelete(AdDrawing* drawing, const AdHandle* handle) {
    static constexpr AdTableDeleteErrors errors = {AD_ERR_BLOCK_EMPTY, AD_ERR_BLOCK_NOT_FOUND, AD_ERR_BLOCK_STORE_FREE,
                                                   AD_ERR_BLOCK_UNLINK, AD_ERR_BLOCK_FREE};
    if (!adTableDelete(drawing, adBlockTable, handle, errors)) return 0;
    adMarkBlockNameIndexStale(drawing);
    return 1;
}
