// LTYPE: the cursor family; BYBLOCK and BYLAYER stay at the end of the table.
#include "toolkit/db/table_cursor.h"

int adLtypeRewind(AdDrawing* drawing) { return adTableRewind(drawing, adLtypeTable); }
int adLtypeNext(AdDrawing* drawing, AdLtypeRecord* record) { return adTableNext(drawing, adLtypeTable, record); }
std::int32_t adLtypeCount(const AdDrawing* drawing) { return adTableCount(drawing, adLtypeTable); }
int adLtypeByHandle(AdDrawing* drawing, const AdHandle* handle, AdLtypeRecord* record) {
    return adTableByHandle(drawing, adLtypeTable, handle, record);
}
int adLtypeHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle) {
    return adTableHandleByName(drawing, adLtypeTable, name, handle);
}
int adLtypeUpdate(AdDrawing* drawing, const AdLtypeRecord* record) {
    return adTableUpdate(drawing, adLtypeTable, record);
}

namespace {

// The run of BYBLOCK/BYLAYER records that ends a table holds at most these.
constexpr int kMaxTrailingRun = 3;

bool isByName(const char* name) {
    return adStrCompareNoCaseN(name, "BYBLOCK", AD_TABLE_NAME_SIZE) == 0 ||
           adStrCompareNoCaseN(name, "BYLAYER", AD_TABLE_NAME_SIZE) == 0;
}

bool isByRecord(AdListRecord* record) {
    char name[AD_TABLE_NAME_SIZE];
    adTableReadField(record, adLtypeTable.nameOffset, name, sizeof name);
    name[sizeof name - 1] = '\0';
    return isByName(name);
}

}  // namespace

int adLtypeAdd(AdDrawing* drawing, const AdLtypeRecord* record) {
    AdRecordList* list = adTableList(drawing, adLtypeTable);
    if (!list || !record) return 0;
    char name[AD_TABLE_NAME_SIZE];
    adTableCopyText(name, sizeof name, record->name);
    AdListRecord* before = nullptr;
    if (!isByName(name)) {
        AdListRecord* walk = adListLast(list);
        for (int i = 0; walk && i < kMaxTrailingRun && isByRecord(walk); ++i) {
            before = walk;
            walk = adTableLinks(walk).previous;
        }
    }
    return adTableInsert(drawing, adLtypeTable, record, before ? AD_LIST_BEFORE_REFERENCE : AD_LIST_AT_END, before);
}

int adLtypeDelete(AdDrawing* drawing, const AdHandle* handle) {
    static constexpr AdTableDeleteErrors errors = {AD_ERR_LTYPE_EMPTY, AD_ERR_LTYPE_NOT_FOUND, AD_ERR_LTYPE_STORE_FREE,
                                                   AD_ERR_LTYPE_UNLINK, AD_ERR_LTYPE_FREE};
    return adTableDelete(drawing, adLtypeTable, handle, errors);
}
