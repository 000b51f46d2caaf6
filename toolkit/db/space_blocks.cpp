// The model and paper space block records: stored last in the BLOCK list,
// their entity lists being the drawing's own model and paper space lists.
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/load_stages.h"

#include <cstring>

namespace {
struct Space {
    AdSpaceBlock* found;
    AdHandle AdDrawing::*handle;
    AdRecordList* AdDrawing::*list;
};

AdListRecord* storeSpace(AdDrawing* drawing, const Space& space, AdRecordList* blocks) {
    std::uint8_t image[AD_LIST_LINKS_SIZE + sizeof(AdStoredBlock)] = {};
    auto* block = reinterpret_cast<AdStoredBlock*>(image + AD_LIST_LINKS_SIZE);
    AdSpaceBlock* found = space.found;
    if (adHandleLength(&found->handle) == 0 && !adNextHandle(drawing, &found->handle)) return nullptr;
    adDefaultBlockHeader(&block->header);
    adTableCopyText(block->header.name, sizeof block->header.name, found->name);
    block->header.handle = found->handle;
    block->header.extensionDictionary = found->extensionDictionary;
    block->header.layout = found->layout;
    block->header.flags = found->flags;
    block->filePosition = found->filePosition;
    block->header.entities = adListCreate();
    if (!block->header.entities) {
        adNoMemory(AD_ERR_RECORD_MEMORY_INSERT);
        return nullptr;
    }
    AdListRecord* stored = adListInsertKeyed(&found->handle, drawing, image, sizeof image, blocks, AD_LIST_AT_END, nullptr);
    if (!stored) {
        adListFree(block->header.entities);
        return nullptr;
    }
    drawing->*space.handle = found->handle;
    drawing->*space.list = block->header.entities;
    return stored;
}
}  // namespace

int adAddSpaceBlocks(AdDrawing* drawing, AdSpaceBlock* modelSpace, AdSpaceBlock* paperSpace) {
    AdRecordList* blocks = drawing && modelSpace && paperSpace ? adTableList(drawing, adBlockTable) : nullptr;
    if (!blocks) return 0;
    const Space model = {modelSpace, &AdDrawing::modelSpaceBlock, &AdDrawing::modelSpace};
    const Space paper = {paperSpace, &AdDrawing::paperSpaceBlock, &AdDrawing::paperSpace};
    AdListRecord* first = storeSpace(drawing, model, blocks);
    const bool ok = first && storeSpace(drawing, paper, blocks);
    adMarkBlockNameIndexStale(drawing);
    if (ok) return 1;
    if (first) {
        const std::int32_t error = adGlobals->errorCode;
        adListUnlink(blocks, first);
        adHandleIndexDelete(drawing, &modelSpace->handle);
        HostFree(first);
        adListFree(drawing->modelSpace);
        drawing->modelSpace = nullptr;
        adGlobals->errorCode = error;
    }
    return 0;
}
