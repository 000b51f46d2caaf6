// Loading the symbol tables and CLASSES: begin the table through the reader,
// then read as many records as the file says the table holds, storing each.
#include "toolkit/db/table_loader.h"

#include "toolkit/db/read_ops.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {
// More viewports than any drawing holds: a larger count is taken as damage.
const std::int32_t kVportLimit = 5000;
const std::int32_t kNoLimit = INT32_MAX;

struct TableLoad;
// Stores one record; image is a list record (links part, then the record).
using AddRecord = int (*)(AdDrawing* drawing, const TableLoad& table, std::uint8_t* image);

struct TableLoad {
    AdReadOp AdReadOps::*begin;
    AdReadTableRecordOp AdReadOps::*next;
    AdTableControl control;
    std::size_t storedSize;    // the record as its list keeps it
    std::size_t handleOffset;  // of the record's own handle
    std::size_t xdataOffset;   // of the record's extended-data store
    AdRecordList* AdDrawing::*list;
    int (*freeList)(AdDrawing* drawing);
    AddRecord add;
    std::int32_t countLimit;
};

std::uint8_t* recordOf(std::uint8_t* image) { return image + AD_LIST_LINKS_SIZE; }

AdHandle* handleOf(std::uint8_t* image, const TableLoad& table) {
    return reinterpret_cast<AdHandle*>(recordOf(image) + table.handleOffset);
}

// Tables without an add routine of their own keep file order: each record
// goes last, entered in the handle index under its handle.
int addKeyed(AdDrawing* drawing, const TableLoad& table, std::uint8_t* image) {
    AdHandle handle = *handleOf(image, table);
    return adListInsertKeyed(&handle, drawing, image, AD_LIST_LINKS_SIZE + table.storedSize, drawing->*table.list,
                             AD_LIST_AT_END, nullptr) != nullptr;
}

int addLayer(AdDrawing* drawing, const TableLoad&, std::uint8_t* image) {
    return adLayerAdd(drawing, reinterpret_cast<const AdLayerRecord*>(recordOf(image)));
}

int addLtype(AdDrawing* drawing, const TableLoad&, std::uint8_t* image) {
    return adLtypeAdd(drawing, reinterpret_cast<const AdLtypeRecord*>(recordOf(image)));
}

bool readsFixedRecords(const AdDrawing* drawing) {
    return drawing->format == AD_FORMAT_DWG && drawing->version < AD_VERSION_FIRST_BITCODED;
}

// One record: read it into a cleared image, give it a handle when the file
// carries none, and store it.
bool loadRecord(AdDrawing* drawing, const TableLoad& table, std::uint8_t* image) {
    std::memset(image, 0, AD_LIST_LINKS_SIZE + table.storedSize);
    std::uint8_t xdataFlag = 0;
    if (!adCallReadTableRecordOp(drawing, table.next, recordOf(image), &xdataFlag)) return false;
    if (xdataFlag && !adCollectExtendedData(drawing, reinterpret_cast<AdStore**>(recordOf(image) + table.xdataOffset)))
        return false;
    if (readsFixedRecords(drawing) && !adNextHandle(drawing, handleOf(image, table))) return false;
    return table.add(drawing, table, image) != 0;
}

int loadTable(AdDrawing* drawing, const TableLoad& table) {
    std::int32_t count = drawing->tableEntryCounts[table.control];
    bool ok = count <= table.countLimit && adCallReadOp(drawing, table.begin);
    auto* image = ok ? static_cast<std::uint8_t*>(HostAlloc(AD_LIST_LINKS_SIZE + table.storedSize)) : nullptr;
    if (ok && !image) {
        adNoMemory(AD_ERR_RECORD_MEMORY_INSERT);
        ok = false;
    }
    for (std::int32_t i = 0; ok && i < count; ++i) ok = loadRecord(drawing, table, image);
    if (image) HostFree(image);
    if (!ok) table.freeList(drawing);
    return ok ? 1 : 0;
}

const TableLoad kLtypes = {&AdReadOps::beginLtypes, &AdReadOps::nextLtype, AD_CONTROL_LTYPE,
                           sizeof(AdLtypeRecord), offsetof(AdLtypeRecord, handle), offsetof(AdLtypeRecord, xdata), &AdDrawing::ltypes,
                           adFreeLtypeList, addLtype, kNoLimit};
const TableLoad kLayers = {&AdReadOps::beginLayers, &AdReadOps::nextLayer, AD_CONTROL_LAYER,
                           sizeof(AdLayerRecord), offsetof(AdLayerRecord, handle), offsetof(AdLayerRecord, xdata), &AdDrawing::layers,
                           adFreeLayerList, addLayer, kNoLimit};
const TableLoad kVports = {&AdReadOps::beginVports, &AdReadOps::nextVport, AD_CONTROL_VPORT,
                           sizeof(AdVportRecord), offsetof(AdVportRecord, handle), offsetof(AdVportRecord, xdata), &AdDrawing::vports,
                           adFreeVportList, addKeyed, kVportLimit};
const TableLoad kUcs = {&AdReadOps::beginUcs, &AdReadOps::nextUcs, AD_CONTROL_UCS,
                        sizeof(AdUcsRecord), offsetof(AdUcsRecord, handle), offsetof(AdUcsRecord, xdata), &AdDrawing::ucss,
                        adFreeUcsList, addKeyed, kNoLimit};
const TableLoad kAppids = {&AdReadOps::beginAppids, &AdReadOps::nextAppid, AD_CONTROL_APPID,
                           sizeof(AdAppidRecord), offsetof(AdAppidRecord, handle), offsetof(AdAppidRecord, xdata), &AdDrawing::appids,
                           adFreeAppidList, addKeyed, kNoLimit};
const TableLoad kViews = {&AdReadOps::beginViews, &AdReadOps::nextView, AD_CONTROL_VIEW,
                          sizeof(AdViewTableRecord), offsetof(AdViewTableRecord, handle), offsetof(AdViewTableRecord, xdata), &AdDrawing::views,
                          adFreeViewList, addKeyed, kNoLimit};
const TableLoad kStyles = {&AdReadOps::beginStyles, &AdReadOps::nextStyle, AD_CONTROL_STYLE,
                           sizeof(AdStyleRecord), offsetof(AdStyleRecord, handle), offsetof(AdStyleRecord, xdata), &AdDrawing::styles,
                           adFreeStyleList, addKeyed, kNoLimit};
// The reader fills the block header that begins the stored block; the
// bookkeeping behind it starts cleared.
const TableLoad kBlocks = {&AdReadOps::beginBlocks, &AdReadOps::nextBlock, AD_CONTROL_BLOCK,
                           sizeof(AdStoredBlock), offsetof(AdStoredBlock, header) + offsetof(AdBlockHeader, handle),
                           offsetof(AdStoredBlock, header) + offsetof(AdBlockHeader, xdata),
                           &AdDrawing::blocks, adFreeBlockList, addKeyed, kNoLimit};
const TableLoad kDimStyles = {&AdReadOps::beginDimStyles, &AdReadOps::nextDimStyle, AD_CONTROL_DIMSTYLE,
                              sizeof(AdDimStyleRecord), offsetof(AdDimStyleRecord, handle), offsetof(AdDimStyleRecord, xdata), &AdDrawing::dimStyles,
                              adFreeDimStyleList, addKeyed, kNoLimit};

std::int16_t classNumber(AdDrawing* drawing, const char* dxfName) {
    AdClassRecord record;
    return adClassByName(drawing, dxfName, &record) ? record.number : 0;
}
}  // namespace

int adLoadLtypes(AdDrawing* drawing) { return loadTable(drawing, kLtypes); }
int adLoadLayers(AdDrawing* drawing) { return loadTable(drawing, kLayers); }
int adLoadVports(AdDrawing* drawing) { return loadTable(drawing, kVports); }
int adLoadUcs(AdDrawing* drawing) { return loadTable(drawing, kUcs); }
int adLoadAppids(AdDrawing* drawing) { return loadTable(drawing, kAppids); }
int adLoadViews(AdDrawing* drawing) { return loadTable(drawing, kViews); }
int adLoadStyles(AdDrawing* drawing) { return loadTable(drawing, kStyles); }
int adLoadDimStyles(AdDrawing* drawing) { return loadTable(drawing, kDimStyles); }

int adLoadBlockTable(AdDrawing* drawing) {
    adMarkBlockNameIndexStale(drawing);
    return loadTable(drawing, kBlocks);
}

// DXF classes are numbered in file order from 500, whatever numbers the file
// implies; DWG classes carry their own.
int adLoadClasses(AdDrawing* drawing) {
    bool ok = drawing->classEntryCount <= INT16_MAX - AD_FIRST_CLASS_NUMBER &&
              adCallReadOp(drawing, &AdReadOps::beginClasses);
    AdClassRecord record;
    for (std::int32_t i = 0; ok && i < drawing->classEntryCount; ++i) {
        std::memset(&record, 0, sizeof record);
        ok = adCallReadRecordOp(drawing, &AdReadOps::nextClass, &record) != 0;
        if (ok && drawing->dxf) record.number = static_cast<std::int16_t>(AD_FIRST_CLASS_NUMBER + i);
        ok = ok && adClassAdd(drawing, &record);
    }
    if (!ok) {
        adFreeClassList(drawing);
        return 0;
    }
    drawing->adpartClass = classNumber(drawing, "ADPART");
    drawing->proxyWrapperClass = classNumber(drawing, "ACAD_PROXY_OBJECT_WRAPPER");
    return 1;
}
