// The one cursor implementation behind every symbol table's named entry
// points: each table is described by where its list, handle, name, texts and
// owned stores lie.
#pragma once
#include "toolkit/ad.h"

#include <algorithm>

// A text field that is terminated on its way into a table.
struct AdTextField {
    std::size_t offset;
    std::size_t size;  // 0 ends the list
};

constexpr int AD_TABLE_TEXT_FIELDS = 4;

struct AdTableDesc {
    AdRecordList* AdDrawing::*list;
    std::size_t recordSize;  // bytes a caller's record holds
    std::size_t storedSize;  // bytes of a stored record; BLOCK keeps bookkeeping after the header
    std::size_t handleOffset;
    std::size_t nameOffset;
    // Owned stores, as offsets in the record data; -1 names none.
    std::int32_t storeOffsets[AD_TABLE_STORE_SLOTS];
    AdTextField texts[AD_TABLE_TEXT_FIELDS];
    std::int32_t memoryError;  // set when a stored record cannot be allocated
};

// Errors a table's delete reports, in the order of its steps.
struct AdTableDeleteErrors {
    std::int32_t empty;
    std::int32_t notFound;
    std::int32_t store;
    std::int32_t unlink;
    std::int32_t free;
};

extern const AdTableDesc adLayerTable;
extern const AdTableDesc adLtypeTable;
extern const AdTableDesc adStyleTable;
extern const AdTableDesc adVportTable;
extern const AdTableDesc adViewTable;
extern const AdTableDesc adUcsTable;
extern const AdTableDesc adAppidTable;
extern const AdTableDesc adDimStyleTable;
extern const AdTableDesc adBlockTable;
extern const AdTableDesc adClassTable;
extern const AdTableDesc adVportEntityTable;

constexpr std::size_t AD_TABLE_MAX_STORED =
    std::max({sizeof(AdLayerRecord), sizeof(AdLtypeRecord), sizeof(AdStyleRecord), sizeof(AdVportRecord),
              sizeof(AdViewTableRecord), sizeof(AdUcsRecord), sizeof(AdAppidRecord), sizeof(AdDimStyleRecord),
              sizeof(AdStoredBlock), sizeof(AdClassRecord), sizeof(AdVportEntityHeader)});

AdRecordList* adTableList(const AdDrawing* drawing, const AdTableDesc& table);
int adTableRewind(AdDrawing* drawing, const AdTableDesc& table);
int adTableNext(AdDrawing* drawing, const AdTableDesc& table, void* record);
std::int32_t adTableCount(const AdDrawing* drawing, const AdTableDesc& table);
int adTableByHandle(AdDrawing* drawing, const AdTableDesc& table, const AdHandle* handle, void* record);
int adTableHandleByName(const AdDrawing* drawing, const AdTableDesc& table, const char* name, AdHandle* handle);
int adTableUpdate(AdDrawing* drawing, const AdTableDesc& table, const void* record);
// Enters the record's handle and links a stored copy by position (the
// positions of adListInsertKeyed); 1 or 0.
int adTableInsert(AdDrawing* drawing, const AdTableDesc& table, const void* record, int position,
                  AdListRecord* reference);
int adTableDelete(AdDrawing* drawing, const AdTableDesc& table, const AdHandle* handle,
                  const AdTableDeleteErrors& errors);

// The record holding a handle in this table, or null (303 unknown, 304 in
// another list).
AdListRecord* adTableFind(AdDrawing* drawing, const AdTableDesc& table, const AdHandle* handle);
// The first record whose name field equals name ignoring ASCII case, or null.
AdListRecord* adTableFindByName(const AdDrawing* drawing, const AdTableDesc& table, const char* name);
// Copies bytes of a stored record's data, and its links.
void adTableReadField(AdListRecord* record, std::size_t offset, void* destination, std::size_t length);
AdListRecord adTableLinks(AdListRecord* record);
// 1 when the stored record's name equals name ignoring ASCII case.
int adTableNameIs(AdListRecord* record, const AdTableDesc& table, const char* name);
// The handle of the table's first record; null for an empty or absent table.
void adTableFirstHandle(AdDrawing* drawing, const AdTableDesc& table, AdHandle* handle);

// Cuts every text field of a record to its field (last byte NUL).
void adTableTerminateTexts(const AdTableDesc& table, void* record);
// Copies text into a field of size bytes, cut to size - 1 bytes and
// terminated; a null text gives an empty field.
void adTableCopyText(char* field, std::size_t size, const char* text);
