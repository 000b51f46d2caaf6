// CLASSES: the cursor family, lookups by number and DXF name, registration.
#include "toolkit/db/table_cursor.h"

#include <cstring>

int adClassRewind(AdDrawing* drawing) { return adTableRewind(drawing, adClassTable); }
int adClassNext(AdDrawing* drawing, AdClassRecord* record) { return adTableNext(drawing, adClassTable, record); }
std::int32_t adClassCount(const AdDrawing* drawing) { return adTableCount(drawing, adClassTable); }

namespace {

// Read in place: the DWG reader looks a class up by number for every entity
// and object of a class.
std::int16_t numberOf(AdListRecord* record) {
    std::int16_t number = 0;
    std::memcpy(&number, adListRecordData(record) + offsetof(AdClassRecord, number), sizeof number);
    return number;
}

AdListRecord* findByNumber(const AdDrawing* drawing, std::int16_t number) {
    AdRecordList* list = adTableList(drawing, adClassTable);
    AdListRecord* record = adListFirst(list);
    for (std::int32_t i = adListCount(list); record && i > 0; --i) {
        if (numberOf(record) == number) return record;
        record = record->next;
    }
    return nullptr;
}

}  // namespace

int adClassByName(const AdDrawing* drawing, const char* dxfName, AdClassRecord* record) {
    if (!record) return 0;
    AdListRecord* found = adTableFindByName(drawing, adClassTable, dxfName);
    if (!found) {
        std::memset(static_cast<void*>(record), 0, sizeof *record);
        return 0;
    }
    adTableReadField(found, 0, record, sizeof *record);
    return 1;
}

int adClassUpdate(AdDrawing* drawing, const AdClassRecord* record) {
    AdListRecord* found = record ? findByNumber(drawing, record->number) : nullptr;
    if (!found) return 0;
    AdClassRecord stored = *record;
    adTableTerminateTexts(adClassTable, &stored);
    HostMemMove(adListRecordData(found), &stored, sizeof stored);
    drawing->entityClassesMarked = 0;
    return 1;
}

int adClassNameByNumber(const AdDrawing* drawing, std::int16_t number, char* name) {
    AdListRecord* found = name ? findByNumber(drawing, number) : nullptr;
    if (!found) return 0;
    adTableReadField(found, offsetof(AdClassRecord, dxfName), name, AD_TABLE_NAME_SIZE);
    name[AD_TABLE_NAME_SIZE - 1] = '\0';
    return 1;
}

std::int16_t adClassNextNumber(const AdDrawing* drawing) {
    AdRecordList* list = adTableList(drawing, adClassTable);
    std::int16_t highest = AD_FIRST_CLASS_NUMBER - 1;
    AdListRecord* record = adListFirst(list);
    for (std::int32_t i = adListCount(list); record && i > 0; --i) {
        if (numberOf(record) > highest) highest = numberOf(record);
        record = record->next;
    }
    return highest == INT16_MAX ? 0 : static_cast<std::int16_t>(highest + 1);
}

int adClassAdd(AdDrawing* drawing, const AdClassRecord* record) {
    AdRecordList* list = adTableList(drawing, adClassTable);
    if (!list || !record) return 0;
    AdClassRecord stored = *record;
    adTableTerminateTexts(adClassTable, &stored);
    adClassNumSet(drawing, stored.dxfName, stored.number);
    drawing->entityClassesMarked = 0;
    return adListAppendNew(&stored, sizeof stored, list) != nullptr;
}

std::int16_t adClassRegister(AdDrawing* drawing, const char* dxfName, const char* className,
                             const char* applicationName, std::int32_t proxyFlags, std::int16_t isEntity,
                             std::int16_t wasProxy) {
    if (!adTableList(drawing, adClassTable) || !dxfName) return 0;
    if (adTableFindByName(drawing, adClassTable, dxfName)) return 1;
    AdClassRecord record;
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    record.number = adClassNextNumber(drawing);
    if (record.number == 0) return 0;
    adTableCopyText(record.dxfName, sizeof record.dxfName, dxfName);
    adTableCopyText(record.className, sizeof record.className, className);
    adTableCopyText(record.applicationName, sizeof record.applicationName, applicationName);
    record.proxyFlags = proxyFlags;
    record.wasProxy = wasProxy;
    record.isEntity = isEntity;
    return adClassAdd(drawing, &record) ? record.number : 0;
}
