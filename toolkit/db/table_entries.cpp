// Named cursor entry points of the tables without rules of their own.
#include "toolkit/db/table_cursor.h"

int adStyleRewind(AdDrawing* drawing) { return adTableRewind(drawing, adStyleTable); }
int adStyleNext(AdDrawing* drawing, AdStyleRecord* record) { return adTableNext(drawing, adStyleTable, record); }
std::int32_t adStyleCount(const AdDrawing* drawing) { return adTableCount(drawing, adStyleTable); }
int adStyleByHandle(AdDrawing* drawing, const AdHandle* handle, AdStyleRecord* record) {
    return adTableByHandle(drawing, adStyleTable, handle, record);
}
int adStyleHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle) {
    return adTableHandleByName(drawing, adStyleTable, name, handle);
}

int adVportRewind(AdDrawing* drawing) { return adTableRewind(drawing, adVportTable); }
int adVportNext(AdDrawing* drawing, AdVportRecord* record) { return adTableNext(drawing, adVportTable, record); }
std::int32_t adVportCount(const AdDrawing* drawing) { return adTableCount(drawing, adVportTable); }
int adVportByHandle(AdDrawing* drawing, const AdHandle* handle, AdVportRecord* record) {
    return adTableByHandle(drawing, adVportTable, handle, record);
}
int adVportUpdate(AdDrawing* drawing, const AdVportRecord* record) {
    return adTableUpdate(drawing, adVportTable, record);
}

int adAppidRewind(AdDrawing* drawing) { return adTableRewind(drawing, adAppidTable); }
int adAppidNext(AdDrawing* drawing, AdAppidRecord* record) { return adTableNext(drawing, adAppidTable, record); }
std::int32_t adAppidCount(const AdDrawing* drawing) { return adTableCount(drawing, adAppidTable); }
int adAppidByHandle(AdDrawing* drawing, const AdHandle* handle, AdAppidRecord* record) {
    return adTableByHandle(drawing, adAppidTable, handle, record);
}
int adAppidHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle) {
    return adTableHandleByName(drawing, adAppidTable, name, handle);
}

int adDimStyleRewind(AdDrawing* drawing) { return adTableRewind(drawing, adDimStyleTable); }
int adDimStyleNext(AdDrawing* drawing, AdDimStyleRecord* record) {
    return adTableNext(drawing, adDimStyleTable, record);
}
std::int32_t adDimStyleCount(const AdDrawing* drawing) { return adTableCount(drawing, adDimStyleTable); }
int adDimStyleByHandle(AdDrawing* drawing, const AdHandle* handle, AdDimStyleRecord* record) {
    return adTableByHandle(drawing, adDimStyleTable, handle, record);
}
int adDimStyleUpdate(AdDrawing* drawing, const AdDimStyleRecord* record) {
    return adTableUpdate(drawing, adDimStyleTable, record);
}

int adUcsRewind(AdDrawing* drawing) { return adTableRewind(drawing, adUcsTable); }
int adUcsNext(AdDrawing* drawing, AdUcsRecord* record) { return adTableNext(drawing, adUcsTable, record); }
std::int32_t adUcsCount(const AdDrawing* drawing) { return adTableCount(drawing, adUcsTable); }
