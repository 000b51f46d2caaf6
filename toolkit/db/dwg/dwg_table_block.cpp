// BLOCK records (block headers) of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_blocks.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::int16_t kBlockType = 49;
constexpr std::int32_t kPreviewPiece = 512;

// Block records are taken whatever type their object claims.
bool anyType(AdDrawing*, std::int16_t) { return true; }

// size bytes of the object into a new store; a size beyond the data fails
// the stream at the first piece that does not fit.
bool readPreview(std::int32_t size, AdStore** preview) {
    if (size < 0) return adBitFail() != 0;
    if (size == 0) return adBitUsable();
    AdStream* out = nullptr;
    if (!adDwgOpenStore(preview, &out)) return false;
    std::uint8_t piece[kPreviewPiece];
    bool ok = true;
    for (std::int32_t left = size; ok && left > 0; left -= kPreviewPiece) {
        const std::int32_t n = std::min(left, kPreviewPiece);
        ok = adBitReadBytes(piece, n) && adStreamWrite(out, piece, n);
    }
    return adDwgCloseStore(preview, out, ok) != 0;
}

// The block's own fields up to the tail; the count of INSERT handles that
// follow the tail in AC1015 files goes to *inserts.
bool readBody(AdDrawing* drawing, AdBlockHeader* record, std::int32_t* inserts) {
    const std::uint8_t bits[] = {1, 2, 4};
    for (std::uint8_t bit : bits)
        if (adBitReadBit()) record->flags |= bit;
    record->overlay = static_cast<std::uint8_t>(adBitReadBit());
    const bool ac1015 = drawing->version >= AD_DWG_AC1015;
    // Set when an external reference's drawing is not loaded.
    if (ac1015) record->unloaded = adBitReadBit();
    adBitRead3D(adGlobals->blockBasePoint);
    adDwgReadCutText(adGlobals->blockXrefPath, sizeof adGlobals->blockXrefPath);
    if (!ac1015) return adBitUsable();
    // Each nonzero byte stands for one INSERT; the data bounds the run.
    while (adBitUsable() && adBitReadByte() != 0) ++*inserts;
    adDwgReadCutText(record->description, AD_TABLE_NAME_SIZE);
    return adBitUsable() && readPreview(adBitReadLong(), &record->preview);
}

void readHandles(AdDrawing* drawing, AdBlockHeader* record, const AdDwgEntryCommon& common, std::int32_t inserts) {
    adDwgEntryHandle(&common, &drawing->currentBlockEntity);
    if ((record->flags & 4) == 0 && !record->overlay) {
        adDwgEntryHandle(&common, &drawing->currentFirstEntity);
        adDwgEntryHandle(&common, &drawing->currentLastEntity);
    }
    adDwgEntryHandle(&common, &drawing->currentEndblkEntity);
    if (drawing->version < AD_DWG_AC1015) return;
    AdHandle dropped{};
    for (std::int32_t i = 0; i < inserts && adBitUsable(); ++i) adDwgEntryHandle(&common, &dropped);
    adDwgEntryHandle(&common, &record->layout);
}
}  // namespace

int adDwgBeginBlocks(AdDrawing* drawing) {
    if (adIsFixedRecordDwg(drawing)) return adR12BeginTable(drawing, AD_CONTROL_BLOCK);
    return adDwgBeginTable(drawing, &drawing->tableControls[AD_CONTROL_BLOCK],
                           drawing->tableEntryCounts[AD_CONTROL_BLOCK], 0)
               ? 1
               : 0;
}

int adDwgNextBlock(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdBlockHeader*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextBlock(drawing, record);
    }
    drawing->currentBlockEntity = drawing->currentEndblkEntity = AdHandle{};
    drawing->currentFirstEntity = drawing->currentLastEntity = AdHandle{};
    std::memset(adGlobals->blockBasePoint, 0, sizeof adGlobals->blockBasePoint);
    adGlobals->blockXrefPath[0] = '\0';
    AdDwgEntryCommon common;
    const int start = adDwgEntryStart(drawing, kBlockType, &common, xdataFlag, anyType);
    adDwgPutCommon(record, common);
    if (start != 1) return start == 2;
    std::int32_t inserts = 0;
    AdHandle xrefBlock{};
    bool ok = readBody(drawing, record, &inserts) && adDwgEntryTail(drawing, AD_CONTROL_BLOCK, &common, &xrefBlock);
    if (ok) {
        readHandles(drawing, record, common, inserts);
        ok = adDwgEntryFinish(&common) != 0;
    }
    if (!ok) {
        if (record->preview) adStoreFree(record->preview);
        record->preview = nullptr;
        return 0;
    }
    adDwgPutCommon(record, common);
    return 1;
}

int adDwgReadBlockByHandle(AdDrawing* drawing, const AdHandle* handle, AdBlockHeader* record) {
    AdStore* store = nullptr;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(&store, &out)) return 0;
    const std::uint8_t length = sizeof handle->b;
    const bool ok = adStreamWrite(out, &length, 1) && adStreamWrite(out, handle->b, length);
    if (!adDwgCloseStore(&store, out, ok) || !adDwgOpenLoadList(drawing, store)) return 0;
    std::uint8_t xdataFlag = 0;
    const int read = adDwgNextBlock(drawing, record, &xdataFlag);
    adDwgDropLoadList(drawing);
    return read && !record->erased;
}
