// The BLOCK and ENDBLK entities that frame the model and paper space blocks
// of AC1012 and later DXF files: the spaces' own entities come from the
// ENTITIES section, but the frames' handles are the drawing's to keep.
#include "toolkit/db/entity_loading.h"
#include "toolkit/db/read_ops.h"
#include "toolkit/db/load_stages.h"

#include <cstring>

namespace {
// The next entity of the block the reader stands in; the null handle when
// there is none. Nothing of it is kept but its handle.
AdHandle frameHandle(AdDrawing* drawing, AdEntityData* data) {
    AdEntityHeader header{};
    std::uint8_t flag = 0;
    int got = 0;
    // Skipped records are bounded by the file: each takes the reader forward.
    do {
        header = AdEntityHeader{};
        std::memset(data, 0, sizeof *data);
        flag = 0;
        got = drawing->readOps->readEntity(drawing, &header, data, &flag);
        // A read that failed half-way may have filled stores too.
        adEntityFreeStores(drawing, &header, data);
    } while (got && (flag & AD_ENTITY_READ_SKIP));
    return got ? header.handle : AdHandle{};
}
}  // namespace

int adReadSpaceFrame(AdDrawing* drawing, AdListRecord* node) {
    // Without a BLOCKS section the spaces have no frames to read: a read from
    // position 0 would take the whole file for entities.
    if (!drawing->dxf || drawing->version < AD_VERSION_FIRST_BITCODED || !drawing->readOps ||
        !drawing->readOps->readEntity || drawing->dxfBlocksPosition == 0)
        return 1;
    AdStoredBlock block;
    std::memcpy(&block, adListRecordData(node), sizeof block);
    const bool model = adHandleCompare(&block.header.handle, &drawing->modelSpaceBlock) == 0;
    AdHandle* blockEntity = model ? &drawing->modelSpaceBlockEntity : &drawing->paperSpaceBlockEntity;
    AdHandle* endblkEntity = model ? &drawing->modelSpaceEndblkEntity : &drawing->paperSpaceEndblkEntity;
    AdEntityData* data = static_cast<AdEntityData*>(HostAlloc(sizeof(AdEntityData)));
    if (!data) {
        adNoMemory(AD_ERR_RECORD_MEMORY_INSERT);
        return 0;
    }
    drawing->dxfBlockOffset = block.filePosition;
    adCallReadOp(drawing, &AdReadOps::beginBlockEntities);
    *blockEntity = frameHandle(drawing, data);
    *endblkEntity = frameHandle(drawing, data);
    HostFree(data);
    std::memcpy(block.header.description, drawing->dxfBlockDescription, sizeof block.header.description);
    block.header.description[sizeof block.header.description - 1] = '\0';
    std::memcpy(adListRecordData(node), &block, sizeof block);
    return 1;
}
