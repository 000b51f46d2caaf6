// The BLOCK table of a DXF file: the block headers read from the 0 BLOCK
// records of BLOCKS, and the BLOCK_RECORD table of AC1012 and later files.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
const std::uint8_t kExternalReference = 0x4;
const std::uint8_t kOverlay = 0x8;

// Passes over the groups of a 102 bracket up to its closing 102.
bool skipBracket(AdDrawing* drawing) {
    while (adDxfReadGroup(drawing)) {
        if (adDxfToken().code == 102) return true;
    }
    return false;
}

// The group 5 of a 0 BLOCK record is the handle of the BLOCK entity that
// begins the block's entity list. The block may hold it for a while only when
// a BLOCK_RECORD table gives the block its own handle before that list is
// read, or when the list's entities all get new handles; otherwise the BLOCK
// entity would find its handle taken and be repaired as a repeat.
bool blockEntityKeepsHandle(const AdDrawing* drawing) {
    const bool blockRecords = drawing->version >= AD_VERSION_FIRST_BITCODED && drawing->dxfBlockRecordCount > 0;
    return !blockRecords && !drawing->assignHandles;
}
}  // namespace

int adDxfBlockNext(AdDrawing* drawing, void* record, std::uint8_t* flag) {
    if (!drawing || !adGlobals || !record || !flag) return 0;
    auto* block = static_cast<AdBlockHeader*>(record);
    adDefaultBlockHeader(block);
    *flag = 0;
    adGlobals->xdataLength = 0;
    std::int64_t position = 0;
    if (!adDxfNextPosition(drawing, &position) || !adDxfSeek(drawing, position)) return 0;
    drawing->dxfBlockOffset = position - drawing->dxfBlocksPosition;
    const bool read =
        adDxfReadTableRecord(drawing, AD_DXF_KIND_BLOCK, block, flag, &block->reactorCount, &block->reactors, nullptr);
    if (read && blockEntityKeepsHandle(drawing)) block->handle = AdHandle{};
    if (!read || !adDxfEnsureHandle(drawing, &block->handle)) {
        adStoreFree(block->reactors);
        block->reactors = nullptr;
        return 0;
    }
    if (drawing->version > AD_VERSION_AC1012 && (block->flags & kOverlay)) block->overlay = 1;
    // An external reference whose load state does not say it is loaded is not.
    block->loadState = (block->flags & kExternalReference) && !(block->loadState & 1) ? 0 : -1;
    return 1;
}

int adDxfBlockRecordRead(AdDrawing* drawing, void* buffer) {
    if (!drawing || !adGlobals || !buffer) return 0;
    auto* record = static_cast<AdDxfBlockRecord*>(buffer);
    std::memset(record, 0, sizeof *record);
    adGlobals->xdataLength = 0;
    if (!adDxfReadGroup(drawing) || !adDxfTokenIs(0, "BLOCK_RECORD")) return 0;
    std::uint8_t xdata = 0;
    bool ok = true;
    AdDxfRecordStep step = AdDxfRecordStep::Group;
    while (ok && (step = adDxfRecordGroup(drawing, &xdata)) == AdDxfRecordStep::Group) {
        const AdDxfToken& t = adDxfToken();
        if (adDxfTokenIs(102, "{ACAD_REACTORS")) {
            ok = skipBracket(drawing);
        } else if (t.code == 310 && !record->preview) {
            ok = adDxfReadChunks(drawing, &record->preview) != 0;
        } else {
            adDxfApplyTableGroup(drawing, AD_DXF_KIND_BLOCK_RECORD, t.code, record);
        }
    }
    ok = ok && step == AdDxfRecordStep::RecordEnd && (!xdata || adCollectExtendedData(drawing, &record->xdata));
    if (!ok) {
        adStoreFree(record->preview);
        record->preview = nullptr;
    }
    return ok ? 1 : 0;
}
