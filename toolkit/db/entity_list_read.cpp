// The ENTITIES and block entities stages and the entity-list reader they
// share, with the host's progress and its chance to cancel after every
// entity and every block.
#include "toolkit/db/entity_loading.h"
#include "toolkit/db/read_ops.h"
#include "toolkit/db/load_stages.h"

#include <cstring>

namespace {

constexpr std::int32_t kEntitiesProgress = 46;
constexpr std::int32_t kBlocksProgress = 71;
constexpr std::int32_t kBlocksSpan = 25;
constexpr std::int32_t kProgressEvery = 10;

// Whether the drawing's format has an entity reader at all.
bool readsEntities(const AdDrawing* drawing) { return drawing->readOps && drawing->readOps->readEntity; }

void report(std::int32_t percent) {
    if (adGlobals->hooks.loadProgress) adGlobals->hooks.loadProgress(percent);
}

// How far the reader is through the ENTITIES section, in steps of 5.
std::int32_t sectionPercent(AdDrawing* drawing) {
    std::int32_t p = adLoadPercent(drawing);
    if (p > 100) p = 100;
    return p - p % 5;
}

// The block's chain starts where the BLOCK record reader found it, and its
// BLOCK entity takes the base point and path that reader left.
void restoreDwgBlock(AdDrawing* drawing, const AdStoredBlock& block) {
    drawing->currentBlockEntity = block.blockEntity;
    drawing->currentEndblkEntity = block.endblkEntity;
    drawing->currentFirstEntity = block.firstEntity;
    drawing->currentLastEntity = block.lastEntity;
    std::memcpy(adGlobals->blockBasePoint, block.basePoint, sizeof adGlobals->blockBasePoint);
    std::memcpy(adGlobals->blockXrefPath, block.xrefPath, sizeof adGlobals->blockXrefPath);
    adGlobals->blockXrefPath[sizeof adGlobals->blockXrefPath - 1] = '\0';
}

}  // namespace

int adReadEntityList(AdDrawing* drawing, AdRecordList* listA, AdRecordList* listB, int assign, int blockMode) {
    adResetHandleCaches(drawing);
    adResetEntityInheritance();
    drawing->readError = 0;
    if (!adPolylineGatherOpen(drawing)) {
        adNoMemory(adGlobals->errorCode);
        return 0;
    }
    const bool section = listA == drawing->modelSpace && !blockMode;
    std::int32_t count = 0;
    std::int32_t lastPercent = -1;
    bool ended = false;
    // Each entity takes the reader forward through a file of bounded size.
    for (;;) {
        const std::uint16_t type = adReadEntity(drawing, listA, listB, assign, blockMode);
        if (type == 0) {
            ended = drawing->readError == 0;
            break;
        }
        ++count;
        if (section && count % kProgressEvery == 0 && adGlobals->hooks.loadProgress) {
            const std::int32_t p = sectionPercent(drawing);
            if (p != lastPercent) report(kEntitiesProgress + p / 4);
            lastPercent = p;
        }
        if (blockMode && type == AD_ENTITY_ENDBLK) {
            ended = true;
            break;
        }
        if (!adGlobals->continueFlag) break;
    }
    // A polyline whose list ended before its SEQEND is kept as it came.
    adPolylineGatherClose(drawing, ended && adGlobals->continueFlag);
    if (drawing->readError == 0) return 1;
    adFreeEntityList(drawing, listA);
    if (listB != listA) adFreeEntityList(drawing, listB);
    adGlobals->errorCode = drawing->readError;
    return 0;
}

// A format without an entity reader cannot give its entities: the stage fails
// rather than a drawing loading as if it had none.
int adLoadEntitiesSection(AdDrawing* drawing) {
    if (!readsEntities(drawing)) return 0;
    if (drawing->readOps->beginEntities && !adCallReadOp(drawing, &AdReadOps::beginEntities)) return 0;
    return adReadEntityList(drawing, drawing->modelSpace, drawing->paperSpace, drawing->handlesMissing, 0);
}

int adLoadBlockEntities(AdDrawing* drawing) {
    if (!readsEntities(drawing)) return 0;
    if (!drawing->blocks) return 1;
    const std::int32_t n = adListCount(drawing->blocks);
    std::int32_t i = 0;
    for (AdListRecord* node = adListFirst(drawing->blocks); node && i < n; node = node->next) {
        ++i;
        report(kBlocksProgress + static_cast<std::int32_t>(static_cast<std::int64_t>(kBlocksSpan) * i / n));
        AdStoredBlock block;
        std::memcpy(&block, adListRecordData(node), sizeof block);
        const AdHandle& handle = block.header.handle;
        if (adHandleCompare(&handle, &drawing->modelSpaceBlock) == 0 ||
            adHandleCompare(&handle, &drawing->paperSpaceBlock) == 0) {
            if (!adReadSpaceFrame(drawing, node)) return 0;
            continue;
        }
        if (!adIsBitCodedDwg(drawing)) drawing->dxfBlockOffset = block.filePosition;
        else restoreDwgBlock(drawing, block);
        if (block.header.erased) continue;
        adCallReadOp(drawing, &AdReadOps::beginBlockEntities);
        AdRecordList* list = block.header.entities;
        if (!list || !adReadEntityList(drawing, list, list, drawing->assignHandles, 1)) return 0;
        if (!adGlobals->continueFlag) return 1;
        // Only the description goes back: reading the block's own entities
        // may have changed its stored record (an INSERT of the block itself
        // gives it its INSERT reference store).
        if (drawing->dxf) {
            char* description = reinterpret_cast<AdStoredBlock*>(adListRecordData(node))->header.description;
            std::memcpy(description, drawing->dxfBlockDescription, sizeof block.header.description);
            description[sizeof block.header.description - 1] = '\0';
        }
    }
    return 1;
}
