// Loading the symbol tables: begin the table through the reader, then read as
// many records as the file says the table holds, storing each, and make sure
// the records every drawing needs are there afterwards.
#include "toolkit/db/table_loader.h"

#include "toolkit/db/dwg/dwg_blocks.h"
#include "toolkit/db/entity_list_steps.h"
#include "toolkit/db/host_scope.h"
#include "toolkit/db/read_ops.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {
// More viewports than any drawing holds: a larger count is taken as damage.
const std::int32_t kVportLimit = 5000;
const std::int32_t kNoLimit = INT32_MAX;

// What a table's rule decides for a record just read.
enum Verdict { kStore, kSkip, kFail };

struct TableLoad;
// Stores one record; image is a list record (links part, then the record).
using AddRecord = int (*)(AdDrawing* drawing, const TableLoad& table, std::uint8_t* image);

struct TableLoad {
    const AdTableDesc* desc;
    AdReadOp AdReadOps::*begin;
    AdReadTableRecordOp AdReadOps::*next;
    AdTableControl control;
    int xdataSlot;  // which of the description's owned stores holds the extended data
    int (*freeList)(AdDrawing* drawing);
    AddRecord add;
    std::int32_t countLimit;
    void (*prepare)(std::uint8_t* record);            // before each read; null: cleared only
    Verdict (*rule)(AdDrawing* drawing, std::uint8_t* record);  // null: every record stored
    int (*finish)(AdDrawing* drawing, std::int32_t stored);    // null: nothing to add
};

std::uint8_t* recordOf(std::uint8_t* image) { return image + AD_LIST_LINKS_SIZE; }

template <class Record>
Record* as(std::uint8_t* record) {
    return reinterpret_cast<Record*>(record);
}

AdHandle* handleOf(std::uint8_t* record, const AdTableDesc& desc) {
    return reinterpret_cast<AdHandle*>(record + desc.handleOffset);
}

const char* nameOf(std::uint8_t* record, const AdTableDesc& desc) {
    return reinterpret_cast<const char*>(record + desc.nameOffset);
}

// A record that is not kept still owns what its reader made for it.
void freeRecordStores(AdDrawing* drawing, std::uint8_t* record, const AdTableDesc& desc) {
    for (std::int32_t offset : desc.storeOffsets) {
        if (offset < 0) continue;
        AdStore** store = reinterpret_cast<AdStore**>(record + offset);
        adDropNameReferences(drawing, *store);
        if (*store) adStoreFree(*store);
        *store = nullptr;
    }
}

// Tables without an add routine of their own keep file order: each record
// goes last, entered in the handle index under its handle.
int addKeyed(AdDrawing* drawing, const TableLoad& table, std::uint8_t* image) {
    AdHandle handle = *handleOf(recordOf(image), *table.desc);
    return adListInsertKeyed(&handle, drawing, image, AD_LIST_LINKS_SIZE + table.desc->storedSize,
                             drawing->*table.desc->list, AD_LIST_AT_END, nullptr) != nullptr;
}

int addLayer(AdDrawing* drawing, const TableLoad&, std::uint8_t* image) {
    return adLayerAdd(drawing, as<const AdLayerRecord>(recordOf(image)));
}

int addLtype(AdDrawing* drawing, const TableLoad&, std::uint8_t* image) {
    const auto* ltype = as<const AdLtypeRecord>(recordOf(image));
    if (!adLtypeAdd(drawing, ltype)) return 0;
    if (adStrCompareNoCase(ltype->name, "CONTINUOUS") == 0) drawing->continuousLtype = ltype->handle;
    return 1;
}

bool isNamed(std::uint8_t* record, const AdTableDesc& desc, const char* name) {
    return adStrCompareNoCase(nameOf(record, desc), name) == 0;
}

bool sameHandle(const AdHandle& a, const AdHandle& b) {
    return adHandleLength(&a) > 0 && adHandleCompare(&a, &b) == 0;
}

// DXF tables may repeat a name; the first record of a name wins.
bool dxfRepeat(AdDrawing* drawing, std::uint8_t* record, const AdTableDesc& desc) {
    return drawing->dxf && adTableFindByName(drawing, desc, nameOf(record, desc)) != nullptr;
}

// BYBLOCK and BYLAYER are kept as the drawing's handles and added back at the
// end of the table in their own spelling.
Verdict ltypeRule(AdDrawing* drawing, std::uint8_t* record) {
    auto* ltype = as<AdLtypeRecord>(record);
    if (dxfRepeat(drawing, record, adLtypeTable)) return kSkip;
    const bool bitCoded = adIsBitCodedDwg(drawing);
    AdHandle* kept = nullptr;
    if (isNamed(record, adLtypeTable, "BYLAYER") || (bitCoded && sameHandle(ltype->handle, drawing->byLayerLtype)))
        kept = &drawing->byLayerLtype;
    else if (isNamed(record, adLtypeTable, "BYBLOCK") || (bitCoded && sameHandle(ltype->handle, drawing->byBlockLtype)))
        kept = &drawing->byBlockLtype;
    if (kept) {
        // Records of fixed-size files carry no handle: the one given before
        // the table was read stays.
        if (adHandleLength(&ltype->handle) > 0) *kept = ltype->handle;
        return kSkip;
    }
    return kStore;
}

int ltypeFinish(AdDrawing* drawing, std::int32_t) {
    if (adIsFixedRecordDwg(drawing)) return 1;
    if (!adAddByBlockByLayerLtypes(drawing)) return 0;
    return !drawing->dxf || adTableFindByName(drawing, adLtypeTable, "CONTINUOUS") || adAddContinuousLtype(drawing);
}

// The linetype a DXF layer names, compared exactly; BYBLOCK and BYLAYER are
// not linetypes a layer can have, and a name not found leaves the first.
void resolveLayerLinetype(AdDrawing* drawing, AdLayerRecord* layer) {
    const char* wanted = adGlobals->dxfNames[AD_DXF_NAME_LAYER_LINETYPE];
    adTableFirstHandle(drawing, adLtypeTable, &layer->linetype);
    AdRecordList* list = drawing->ltypes;
    AdListRecord* node = list ? list->first : nullptr;
    for (std::int32_t i = 0; node && i < list->count; ++i, node = node->next) {
        auto* ltype = as<AdLtypeRecord>(adListRecordData(node));
        if (std::strcmp(ltype->name, wanted) == 0 && adStrCompareNoCase(ltype->name, "BYBLOCK") != 0 &&
            adStrCompareNoCase(ltype->name, "BYLAYER") != 0) {
            layer->linetype = ltype->handle;
            return;
        }
    }
}

Verdict layerRule(AdDrawing* drawing, std::uint8_t* record) {
    auto* layer = as<AdLayerRecord>(record);
    if (dxfRepeat(drawing, record, adLayerTable)) return kSkip;
    if (drawing->dxf) resolveLayerLinetype(drawing, layer);
    // An external reference's layer keeps no linetype of its own unless the
    // drawing retains the reference's layer settings.
    if (std::strchr(layer->name, '|') && drawing->visRetain == 0) {
        AdHandle continuous{};
        if (adTableHandleByName(drawing, adLtypeTable, "CONTINUOUS", &continuous)) layer->linetype = continuous;
    }
    layer->drawing = layer->drawingCopy = drawing;
    return kStore;
}

int layerFinish(AdDrawing* drawing, std::int32_t) {
    return !drawing->dxf || adTableFindByName(drawing, adLayerTable, "0") || adAddLayerZero(drawing);
}

int vportFinish(AdDrawing* drawing, std::int32_t) {
    return adTableFindByName(drawing, adVportTable, "*ACTIVE") || adAddActiveVport(drawing);
}

void appidPrepare(std::uint8_t* record) { adDefaultAppidRecord(as<AdAppidRecord>(record)); }

int appidFinish(AdDrawing* drawing, std::int32_t stored) {
    if (stored > 0 && !drawing->dxf) return 1;
    return adTableFindByName(drawing, adAppidTable, "ACAD") || adAddAcadAppid(drawing);
}

int styleFinish(AdDrawing* drawing, std::int32_t) {
    return !drawing->dxf || adTableFindByName(drawing, adStyleTable, "STANDARD") || adAddStandardStyle(drawing);
}

Verdict dimStyleRule(AdDrawing* drawing, std::uint8_t* record) {
    auto* style = as<AdDimStyleRecord>(record);
    if (adHandleLength(&style->dimtxsty) == 0) adTableFirstHandle(drawing, adStyleTable, &style->dimtxsty);
    return kStore;
}

// An empty table, or one of erased entries only, still needs "Standard".
int dimStyleFinish(AdDrawing* drawing, std::int32_t) {
    AdRecordList* list = drawing->dimStyles;
    AdListRecord* node = list ? list->first : nullptr;
    for (std::int32_t i = 0; node && i < list->count; ++i, node = node->next)
        if (!as<AdDimStyleRecord>(adListRecordData(node))->erased) return 1;
    return adAddStandardDimStyle(drawing, nullptr);
}

// One record: read it into a cleared image, give it a handle when the file
// carries none, and store it, or drop it with what its reader made for it.
bool loadRecord(AdDrawing* drawing, const TableLoad& table, std::uint8_t* image, std::int32_t* stored) {
    std::uint8_t* record = recordOf(image);
    std::memset(image, 0, AD_LIST_LINKS_SIZE + table.desc->storedSize);
    if (table.prepare) table.prepare(record);
    std::uint8_t xdataFlag = 0;
    if (!adCallReadTableRecordOp(drawing, table.next, record, &xdataFlag)) return false;
    AdStore** xdata = reinterpret_cast<AdStore**>(record + table.desc->storeOffsets[table.xdataSlot]);
    bool ok = !xdataFlag || adCollectExtendedData(drawing, xdata);
    Verdict verdict = ok && table.rule ? table.rule(drawing, record) : kStore;
    if (ok && verdict == kStore) {
        ok = (!adIsFixedRecordDwg(drawing) || adNextHandle(drawing, handleOf(record, *table.desc))) &&
             table.add(drawing, table, image) != 0;
        if (ok) {
            ++*stored;
            return true;
        }
    }
    freeRecordStores(drawing, record, *table.desc);
    return ok;
}

// A failed table reports the stage it failed in, whatever the insert or the
// reader set, so the caller learns which table is damaged.
int loadTable(AdDrawing* drawing, const TableLoad& table) {
    const std::int32_t stage = adGlobals->errorCode;
    std::int32_t count = drawing->tableEntryCounts[table.control];
    bool ok = count <= table.countLimit && adCallReadOp(drawing, table.begin);
    const std::size_t imageSize = AD_LIST_LINKS_SIZE + table.desc->storedSize;
    AdHostBlock<std::uint8_t> image(ok ? static_cast<std::uint8_t*>(HostAlloc(imageSize)) : nullptr);
    if (ok && !image) {
        adNoMemory(AD_ERR_RECORD_MEMORY_INSERT);
        ok = false;
    }
    std::int32_t stored = 0;
    for (std::int32_t i = 0; ok && i < count; ++i) ok = loadRecord(drawing, table, image.get(), &stored);
    image.reset();
    adLoadTableDone(drawing);
    ok = ok && (!table.finish || table.finish(drawing, stored));
    if (ok) return 1;
    table.freeList(drawing);
    adGlobals->errorCode = stage;
    return 0;
}

const TableLoad kLtypes = {&adLtypeTable, &AdReadOps::beginLtypes, &AdReadOps::nextLtype, AD_CONTROL_LTYPE, 0,
                           adFreeLtypeList, addLtype, kNoLimit, nullptr, ltypeRule, ltypeFinish};
const TableLoad kLayers = {&adLayerTable, &AdReadOps::beginLayers, &AdReadOps::nextLayer, AD_CONTROL_LAYER, 0,
                           adFreeLayerList, addLayer, kNoLimit, nullptr, layerRule, layerFinish};
const TableLoad kVports = {&adVportTable, &AdReadOps::beginVports, &AdReadOps::nextVport, AD_CONTROL_VPORT, 0,
                           adFreeVportList, addKeyed, kVportLimit, nullptr, nullptr, vportFinish};
const TableLoad kUcs = {&adUcsTable, &AdReadOps::beginUcs, &AdReadOps::nextUcs, AD_CONTROL_UCS, 0,
                        adFreeUcsList, addKeyed, kNoLimit, nullptr, nullptr, nullptr};
const TableLoad kAppids = {&adAppidTable, &AdReadOps::beginAppids, &AdReadOps::nextAppid, AD_CONTROL_APPID, 0,
                           adFreeAppidList, addKeyed, kNoLimit, appidPrepare, nullptr, appidFinish};
const TableLoad kViews = {&adViewTable, &AdReadOps::beginViews, &AdReadOps::nextView, AD_CONTROL_VIEW, 0,
                          adFreeViewList, addKeyed, kNoLimit, nullptr, nullptr, nullptr};
const TableLoad kStyles = {&adStyleTable, &AdReadOps::beginStyles, &AdReadOps::nextStyle, AD_CONTROL_STYLE, 0,
                           adFreeStyleList, addKeyed, kNoLimit, nullptr, nullptr, styleFinish};

void startSpace(AdSpaceBlock* space, const char* name) {
    *space = AdSpaceBlock{};
    adTableCopyText(space->name, sizeof space->name, name);
}

void keepSpace(AdSpaceBlock* space, const AdStoredBlock& block) {
    space->extensionDictionary = block.header.extensionDictionary;
    space->layout = block.header.layout;
    adTableCopyText(space->name, sizeof space->name, block.header.name);
    space->flags = block.header.flags;
    space->filePosition = block.filePosition;
}

// The reader fills the block header that begins the stored block; the
// bookkeeping behind it comes from what the reader left for the block.
Verdict blockRule(AdDrawing* drawing, std::uint8_t* record) {
    auto* block = as<AdStoredBlock>(record);
    if (adIsBitCodedDwg(drawing)) {
        std::memcpy(block->basePoint, adGlobals->blockBasePoint, sizeof block->basePoint);
        adTableCopyText(block->xrefPath, sizeof block->xrefPath, adGlobals->blockXrefPath);
    }
    block->blockEntity = drawing->currentBlockEntity;
    block->endblkEntity = drawing->currentEndblkEntity;
    block->firstEntity = drawing->currentFirstEntity;
    block->lastEntity = drawing->currentLastEntity;
    if (!adIsBitCodedDwg(drawing)) block->filePosition = drawing->dxfBlockOffset;
    if (isNamed(record, adBlockTable, "*MODEL_SPACE")) {
        keepSpace(&adGlobals->spaceBlocks[0], *block);
        return kSkip;
    }
    if ((drawing->dxf && isNamed(record, adBlockTable, "*PAPER_SPACE")) ||
        (!drawing->dxf && sameHandle(block->header.handle, drawing->paperSpaceBlock))) {
        keepSpace(&adGlobals->spaceBlocks[1], *block);
        return kSkip;
    }
    return kStore;
}

// Every block but the two spaces owns an entity list of its own.
int addBlock(AdDrawing* drawing, const TableLoad& table, std::uint8_t* image) {
    auto* block = as<AdStoredBlock>(recordOf(image));
    block->header.entities = adListCreate();
    if (!block->header.entities) {
        adNoMemory(AD_ERR_RECORD_MEMORY_INSERT);
        return 0;
    }
    if (addKeyed(drawing, table, image)) return 1;
    adListFree(block->header.entities);
    block->header.entities = nullptr;
    return 0;
}

// The space records the BLOCK control does not list are read by handle; a
// header that names none leaves the space to get a new one.
bool readDwgSpace(AdDrawing* drawing, const AdHandle& handle, AdSpaceBlock* space) {
    if (adHandleLength(&handle) == 0) return true;
    AdStoredBlock block{};
    if (!adDwgReadBlockByHandle(drawing, &handle, &block.header)) return false;
    keepSpace(space, block);
    freeRecordStores(drawing, reinterpret_cast<std::uint8_t*>(&block), adBlockTable);
    return true;
}

bool bitCodedDxf(const AdDrawing* drawing) {
    return adIsDxf(drawing) && drawing->version >= AD_VERSION_FIRST_BITCODED;
}

int blockFinish(AdDrawing* drawing, std::int32_t) {
    // The block positions the BLOCK table's begin opened are read through.
    if (drawing->dxf && drawing->loadStream) {
        adStreamCloseRead(drawing->loadStream);
        drawing->loadStream = nullptr;
    }
    adGlobals->spaceBlocks[0].handle = drawing->modelSpaceBlock;
    adGlobals->spaceBlocks[1].handle = drawing->paperSpaceBlock;
    if (bitCodedDxf(drawing)) adDxfFindSpaceHandles(drawing, &adGlobals->spaceBlocks[0].handle, &adGlobals->spaceBlocks[1].handle);
    if (adIsBitCodedDwg(drawing) &&
        (!readDwgSpace(drawing, adGlobals->spaceBlocks[0].handle, &adGlobals->spaceBlocks[0]) || !readDwgSpace(drawing, adGlobals->spaceBlocks[1].handle, &adGlobals->spaceBlocks[1])))
        return 0;
    if (!adAddSpaceBlocks(drawing, &adGlobals->spaceBlocks[0], &adGlobals->spaceBlocks[1])) return 0;
    if (bitCodedDxf(drawing)) adDxfTakeBlockRecords(drawing);
    return 1;
}

// A failed stage leaves neither the records nor their entity lists.
int freeBlocks(AdDrawing* drawing) {
    adFreeDrawingEntityLists(drawing);
    return adFreeBlockList(drawing);
}

const TableLoad kBlocks = {&adBlockTable, &AdReadOps::beginBlocks, &AdReadOps::nextBlock, AD_CONTROL_BLOCK, 1,
                           freeBlocks, addBlock, kNoLimit, nullptr, blockRule, blockFinish};
const TableLoad kDimStyles = {&adDimStyleTable, &AdReadOps::beginDimStyles, &AdReadOps::nextDimStyle,
                              AD_CONTROL_DIMSTYLE, 0, adFreeDimStyleList, addKeyed, kNoLimit, nullptr, dimStyleRule,
                              dimStyleFinish};
}  // namespace

void adLoadTableDone(AdDrawing* drawing) {
    if (!drawing || !adIsBitCodedDwg(drawing)) return;
    if (drawing->loadStream) adStreamCloseRead(drawing->loadStream);
    drawing->loadStream = nullptr;
    if (drawing->loadStores[0]) adStoreFree(drawing->loadStores[0]);
    drawing->loadStores[0] = nullptr;
}

int adLoadLtypes(AdDrawing* drawing) {
    if (adIsFixedRecordDwg(drawing) && !adAddByBlockByLayerLtypes(drawing)) return 0;
    return loadTable(drawing, kLtypes);
}
int adLoadLayers(AdDrawing* drawing) { return loadTable(drawing, kLayers); }
int adLoadVports(AdDrawing* drawing) { return loadTable(drawing, kVports); }
int adLoadUcs(AdDrawing* drawing) { return loadTable(drawing, kUcs); }
int adLoadAppids(AdDrawing* drawing) { return loadTable(drawing, kAppids); }
int adLoadViews(AdDrawing* drawing) { return loadTable(drawing, kViews); }
int adLoadStyles(AdDrawing* drawing) { return loadTable(drawing, kStyles); }
int adLoadDimStyles(AdDrawing* drawing) { return loadTable(drawing, kDimStyles); }

int adLoadBlockTable(AdDrawing* drawing) {
    adMarkBlockNameIndexStale(drawing);
    startSpace(&adGlobals->spaceBlocks[0], "*Model_Space");
    startSpace(&adGlobals->spaceBlocks[1], "*Paper_Space");
    return loadTable(drawing, kBlocks);
}
