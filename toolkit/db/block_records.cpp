// The BLOCK_RECORD table of AC1012 and later DXF files, walked twice by the
// BLOCK stage: first for the handles of the two spaces, then to give every
// stored block the handle, owner, layout, preview and extended data that its
// BLOCK_RECORD holds, since the 0 BLOCK record of BLOCKS carries the handle of
// the BLOCK entity, not that of the block.
#include "toolkit/db/table_loader.h"

#include "toolkit/db/table_cursor.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {

// Frees what the reader made for a record that nothing took over.
void freeRecordStores(AdDrawing* drawing, AdDxfBlockRecord* record) {
    if (record->preview) adStoreFree(record->preview);
    adDropNameReferences(drawing, record->xdata);
    if (record->xdata) adStoreFree(record->xdata);
    record->preview = record->xdata = nullptr;
}

// Reads at most the table's entry count of records, handing each to visit
// until it answers false. A record that cannot be read ends the walk: what
// the walk has not reached keeps what the BLOCKS section gave.
template <class Visit>
void walkBlockRecords(AdDrawing* drawing, Visit visit) {
    if (drawing->dxfBlockRecordCount <= 0 || !adDxfBlockRecordBegin(drawing)) return;
    AdDxfBlockRecord record;
    for (std::int32_t i = 0; i < drawing->dxfBlockRecordCount; ++i) {
        if (!adDxfBlockRecordRead(drawing, &record)) return;
        const bool more = visit(record);
        freeRecordStores(drawing, &record);
        if (!more) return;
    }
}

bool isNamed(const AdDxfBlockRecord& record, const char* name) { return adStrCompareNoCase(record.name, name) == 0; }

// Moves a stored block to the handle of its BLOCK_RECORD in the handle index;
// false, with the block kept under its old handle, when the new handle
// belongs to another record already.
bool moveHandle(AdDrawing* drawing, AdListRecord* node, const AdHandle& from, const AdHandle& to) {
    if (adHandleLength(&to) == 0 || adHandleCompare(&from, &to) == 0) return false;
    if (adHandleIndexFind(drawing, &to)) return false;
    adHandleIndexDelete(drawing, &from);
    if (adHandleIndexInsert(drawing, &to, node) == 1) return true;
    adHandleIndexInsert(drawing, &from, node);
    return false;
}

// Stores are taken over only when the BLOCK_RECORD has them: a block keeps
// the extended data its BLOCK record gave rather than losing it to nothing.
void takeStore(AdDrawing* drawing, AdStore** kept, AdStore** offered) {
    if (!*offered) return;
    adDropNameReferences(drawing, *kept);
    if (*kept) adStoreFree(*kept);
    *kept = *offered;
    *offered = nullptr;
}

// The stored block of that name, through the name index when it could be
// built: a walk of the table per record would make a drawing of many blocks
// load in quadratic time.
AdListRecord* findBlock(AdDrawing* drawing, const char* name, bool indexed) {
    if (!indexed) return adTableFindByName(drawing, adBlockTable, name);
    AdHandle handle{};
    if (!adFindBlockByName(drawing, name, &handle)) return nullptr;
    return static_cast<AdListRecord*>(adHandleIndexFind(drawing, &handle));
}

void takeOver(AdDrawing* drawing, AdDxfBlockRecord* record, bool indexed) {
    AdListRecord* node = findBlock(drawing, record->name, indexed);
    if (!node) return;
    AdStoredBlock block;
    std::memcpy(&block, adListRecordData(node), sizeof block);
    AdBlockHeader& header = block.header;
    header.owner = record->owner;
    header.layout = record->layout;
    if (drawing->version != AD_VERSION_AC1012) header.extensionDictionary = record->extensionDictionary;
    takeStore(drawing, &header.preview, &record->preview);
    takeStore(drawing, &header.xdata, &record->xdata);
    if (moveHandle(drawing, node, header.handle, record->handle)) {
        header.handle = record->handle;
        if (isNamed(*record, "*MODEL_SPACE")) drawing->modelSpaceBlock = record->handle;
        if (isNamed(*record, "*PAPER_SPACE")) drawing->paperSpaceBlock = record->handle;
    }
    std::memcpy(adListRecordData(node), &block, sizeof block);
}
}  // namespace

// A handle that another record holds already, or that the other space took,
// would make the space's record impossible to store: the space then gets a
// new handle instead.
void adDxfFindSpaceHandles(AdDrawing* drawing, AdHandle* modelSpace, AdHandle* paperSpace) {
    walkBlockRecords(drawing, [&](const AdDxfBlockRecord& record) {
        const bool free = !adHandleIndexFind(drawing, &record.handle);
        if (free && isNamed(record, "*MODEL_SPACE") && adHandleCompare(&record.handle, paperSpace) != 0)
            *modelSpace = record.handle;
        if (free && isNamed(record, "*PAPER_SPACE") && adHandleCompare(&record.handle, modelSpace) != 0)
            *paperSpace = record.handle;
        return adHandleLength(modelSpace) == 0 || adHandleLength(paperSpace) == 0;
    });
}

void adDxfTakeBlockRecords(AdDrawing* drawing) {
    // The index keeps the handles the blocks have now; each name is taken
    // over once, so the handles it moves on the way are not looked up again.
    const std::int32_t error = adGlobals->errorCode;
    const bool indexed = adRebuildBlockNameIndex(drawing) == 1;
    if (!indexed) adSetError(error);
    walkBlockRecords(drawing, [&](AdDxfBlockRecord& record) {
        takeOver(drawing, &record, indexed);
        return true;
    });
    adMarkBlockNameIndexStale(drawing);
}
