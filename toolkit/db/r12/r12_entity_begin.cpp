// The start of an entity list of a fixed-record DWG file: the entities
// section, or one block's definition in the blocks section.
#include "toolkit/db/r12/r12_entities.h"

#include <cstdio>

namespace {

// A list that starts outside the file is empty: the file is left at its end,
// where the first read finds nothing.
int startWalk(AdDrawing* drawing, std::int64_t start, bool inBlock) {
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || !drawing->file) return 0;
    AdDrawing::AdR12Walk& walk = drawing->r12Walk;
    walk = AdDrawing::AdR12Walk{};
    walk.inBlock = inBlock ? 1 : 0;
    walk.runStart = start;
    if (start < 0 || start >= dwg->fileLength) return HostSeek(drawing->file, 0, SEEK_END) == 0;
    return HostSeek(drawing->file, start, SEEK_SET) == 0;
}

}  // namespace

int adR12BeginEntities(AdDrawing* drawing) {
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    return dwg ? startWalk(drawing, dwg->entitiesStart, false) : 0;
}

int adR12BeginBlockEntities(AdDrawing* drawing) {
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg) return 0;
    // The block's offset carries flags in its top bits, as jump addresses do.
    const std::int64_t offset = drawing->dxfBlockOffset & AD_R12_ADDRESS_MASK;
    return startWalk(drawing, static_cast<std::int64_t>(dwg->blocksStart) + offset, true);
}
