// The table records every loaded drawing has, added when its file lacks them.
#include "toolkit/db/dim_style_header.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/load_stages.h"

namespace {
// Gives the record the table's control as owner and, when it has none, a new
// handle, then links it at position.
template <class Record>
int addStandard(AdDrawing* drawing, const AdTableDesc& table, AdTableControl control, Record* record,
                int position) {
    record->owner = drawing->tableControls[control];
    if (adHandleLength(&record->handle) == 0 && !adNextHandle(drawing, &record->handle)) return 0;
    return adTableInsert(drawing, table, record, position, nullptr);
}

// The drawing's handle for a linetype it keeps apart, made when missing.
int keptHandle(AdDrawing* drawing, AdHandle* handle) {
    return adHandleLength(handle) > 0 || adNextHandle(drawing, handle);
}
}  // namespace

int adAddLtypeRecord(AdDrawing* drawing, const char* name, const AdHandle* handle, int position) {
    AdLtypeRecord record{};
    adTableCopyText(record.name, sizeof record.name, name);
    adDefaultLtypeRecord(&record);
    if (handle) record.handle = *handle;
    return addStandard(drawing, adLtypeTable, AD_CONTROL_LTYPE, &record, position);
}

int adAddContinuousLtype(AdDrawing* drawing) {
    AdLtypeRecord record{};
    adTableCopyText(record.name, sizeof record.name, "Continuous");
    adDefaultLtypeRecord(&record);
    adTableCopyText(record.description, sizeof record.description, "Solid line");
    if (!addStandard(drawing, adLtypeTable, AD_CONTROL_LTYPE, &record, AD_LIST_AT_FRONT)) return 0;
    drawing->continuousLtype = record.handle;
    return 1;
}

int adAddByBlockByLayerLtypes(AdDrawing* drawing) {
    return keptHandle(drawing, &drawing->byBlockLtype) && keptHandle(drawing, &drawing->byLayerLtype) &&
           adAddLtypeRecord(drawing, "ByBlock", &drawing->byBlockLtype, AD_LIST_AT_END) &&
           adAddLtypeRecord(drawing, "ByLayer", &drawing->byLayerLtype, AD_LIST_AT_END);
}

int adAddLayerZero(AdDrawing* drawing) {
    AdLayerRecord record;
    adDefaultLayerRecord(drawing, &record);
    adTableCopyText(record.name, sizeof record.name, "0");
    return addStandard(drawing, adLayerTable, AD_CONTROL_LAYER, &record, AD_LIST_AT_FRONT);
}

int adAddActiveVport(AdDrawing* drawing) {
    AdVportRecord record;
    adDefaultVportRecord(&record);
    adTableCopyText(record.name, sizeof record.name, "*ACTIVE");
    if (const AdHeaderVars* h = drawing->header) {
        for (int i = 0; i < 3; ++i) record.viewDirection[i] = h->viewdir[i];
        record.viewHeight = h->viewsize;
        record.viewTwist = h->viewtwist;
        record.viewCentre[0] = h->viewctr[0];
        record.viewCentre[1] = h->viewctr[1];
    }
    return addStandard(drawing, adVportTable, AD_CONTROL_VPORT, &record, AD_LIST_AT_FRONT);
}

int adAddAcadAppid(AdDrawing* drawing) {
    AdAppidRecord record;
    adDefaultAppidRecord(&record);
    adTableCopyText(record.name, sizeof record.name, "ACAD");
    return addStandard(drawing, adAppidTable, AD_CONTROL_APPID, &record, AD_LIST_AT_FRONT);
}

int adAddStandardStyle(AdDrawing* drawing) {
    AdStyleRecord record;
    adDefaultStyleRecord(&record);
    adTableCopyText(record.name, sizeof record.name, "Standard");
    adTableCopyText(record.fontFile, sizeof record.fontFile, "txt");
    return addStandard(drawing, adStyleTable, AD_CONTROL_STYLE, &record, AD_LIST_AT_END);
}

int adAddStandardDimStyle(AdDrawing* drawing, const AdHandle* handle) {
    AdDimStyleRecord record;
    adDimStyleFromHeader(drawing, &record);
    adTableCopyText(record.name, sizeof record.name, "Standard");
    record.handle = handle ? *handle : AdHandle{};
    return addStandard(drawing, adDimStyleTable, AD_CONTROL_DIMSTYLE, &record, AD_LIST_AT_FRONT);
}
