// Block numbers of files before AC1012: an INSERT or DIMENSION names its
// block by its place in the BLOCK table, which the table of handles answers
// without a walk of the BLOCK list per entity.
#include <cstring>

#include "toolkit/ad.h"
#include "toolkit/db/r12/r12_read.h"

namespace {

bool isSpace(const AdDrawing* drawing, const AdHandle& handle) {
    return adHandleCompare(&handle, &drawing->modelSpaceBlock) == 0 ||
           adHandleCompare(&handle, &drawing->paperSpaceBlock) == 0;
}

}  // namespace

int adBuildBlockNumberTable(AdDrawing* drawing) {
    adFreeBlockNumberTable(drawing);
    const std::int32_t count = adListCount(drawing->blocks);
    if (count <= 0) return 1;
    auto* handles = static_cast<AdHandle*>(HostAlloc(sizeof(AdHandle) * static_cast<std::size_t>(count)));
    if (!handles) {
        adFatalError(AD_FATAL_NO_MEMORY);
        return 0;
    }
    std::int32_t n = 0;
    AdListRecord* node = adListFirst(drawing->blocks);
    for (std::int32_t i = 0; node && i < count; ++i, node = node->next) {
        AdBlockHeader block;
        std::memcpy(&block, adListRecordData(node), sizeof block);
        if (!isSpace(drawing, block.handle)) handles[n++] = block.handle;
    }
    drawing->blockNumbers = handles;
    drawing->blockNumberCount = n;
    return 1;
}

int adBlockHandleByNumber(const AdDrawing* drawing, std::int32_t number, AdHandle* handle) {
    *handle = AdHandle{};
    if (number < 0 || number >= drawing->blockNumberCount) return 0;
    *handle = drawing->blockNumbers[number];
    return 1;
}

void adFreeBlockNumberTable(AdDrawing* drawing) {
    HostFree(drawing->blockNumbers);
    drawing->blockNumbers = nullptr;
    drawing->blockNumberCount = 0;
}
