// Where the entity reader of AC1012+ files starts: the space chains the open
// takes from the two space block records, and the begin operations of the
// ENTITIES section and of one block's list.
#include "toolkit/db/dwg/dwg_blocks.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/r12/dwg_r12.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {

// Forgets where the last list stood; the space chains stay.
void startWalk(AdDrawing* drawing, const AdHandle& first) {
    AdDrawing::AdDwgChains& c = drawing->dwgChains;
    const AdHandle keep[4] = {c.modelFirst, c.modelLast, c.paperFirst, c.paperLast};
    c = AdDrawing::AdDwgChains{};
    c.modelFirst = keep[0];
    c.modelLast = keep[1];
    c.paperFirst = keep[2];
    c.paperLast = keep[3];
    c.next = first;
}

// One space block record: its BLOCK and ENDBLK entities and its chain ends.
int readSpace(AdDrawing* drawing, const AdHandle& handle, AdHandle* blockEntity, AdHandle* endblkEntity,
              AdHandle* first, AdHandle* last) {
    auto* record = static_cast<AdBlockHeader*>(HostAlloc(sizeof(AdBlockHeader)));
    if (!record) {
        adNoMemory(AD_ERR_STATE_MEMORY);
        return 0;
    }
    *record = AdBlockHeader{};
    const std::int32_t before = adGlobals->errorCode;
    const int read = adDwgReadBlockByHandle(drawing, &handle, record);
    if (read) {
        *blockEntity = drawing->currentBlockEntity;
        *endblkEntity = drawing->currentEndblkEntity;
        *first = drawing->currentFirstEntity;
        *last = drawing->currentLastEntity;
    } else if (adGlobals->errorCode == before) {
        adSetError(AD_ERR_DWG_OBJECT_CRC);
    }
    if (record->preview) adStoreFree(record->preview);
    if (record->reactors) adStoreFree(record->reactors);
    HostFree(record);
    return read;
}

}  // namespace

int adDwgReadSpaceBlocks(AdDrawing* drawing) {
    AdDrawing::AdDwgChains& c = drawing->dwgChains;
    return readSpace(drawing, drawing->modelSpaceBlock, &drawing->modelSpaceBlockEntity,
                     &drawing->modelSpaceEndblkEntity, &c.modelFirst, &c.modelLast) &&
           readSpace(drawing, drawing->paperSpaceBlock, &drawing->paperSpaceBlockEntity,
                     &drawing->paperSpaceEndblkEntity, &c.paperFirst, &c.paperLast);
}

int adDwgBeginEntities(AdDrawing* drawing) {
    if (adIsFixedRecordDwg(drawing)) return adR12BeginEntities(drawing);
    startWalk(drawing, drawing->dwgChains.paperFirst);
    AdDrawing::AdDwgChains& c = drawing->dwgChains;
    c.firstChainLast = c.paperLast;
    c.secondFirst = c.modelFirst;
    c.secondLast = c.modelLast;
    return 1;
}

int adDwgBeginBlockEntities(AdDrawing* drawing) {
    if (adIsFixedRecordDwg(drawing)) return adR12BeginBlockEntities(drawing);
    startWalk(drawing, drawing->currentBlockEntity);
    AdDrawing::AdDwgChains& c = drawing->dwgChains;
    // A block's list is one chain, from its BLOCK entity to its ENDBLK.
    c.phase = 1;
    c.inBlock = 1;
    c.blockFirst = drawing->currentFirstEntity;
    c.blockLast = drawing->currentLastEntity;
    c.blockEndblk = drawing->currentEndblkEntity;
    return 1;
}
