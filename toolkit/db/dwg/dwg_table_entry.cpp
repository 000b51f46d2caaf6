// The common start and tail of table-entry objects, and the text and handle
// reads they share with the object readers.
#include "toolkit/db/dwg/dwg_table_entry.h"

#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <algorithm>

namespace {
constexpr std::int32_t kSkipPiece = 256;

void releaseCommon(AdDwgEntryCommon* common) {
    if (common->reactors) adStoreFree(common->reactors);
    common->reactors = nullptr;
    common->reactorCount = 0;
}
}  // namespace

int adDwgReadCutText(char* text, std::int32_t size) {
    text[0] = '\0';
    const std::int32_t length = static_cast<std::uint16_t>(adBitReadShort());
    if (!adBitUsable()) return 0;
    const std::int32_t kept = std::min(length, size - 1);
    if (!adBitReadBytes(text, kept)) return 0;
    text[kept] = '\0';
    std::uint8_t rest[kSkipPiece];
    for (std::int32_t left = length - kept; left > 0 && adBitUsable(); left -= kSkipPiece)
        adBitReadBytes(rest, std::min(left, kSkipPiece));
    return adBitUsable() ? 1 : 0;
}

int adDwgReadHandleStore(const AdHandle* base, std::int32_t count, AdStore** out) {
    *out = nullptr;
    if (count <= 0) return adBitUsable() ? 1 : 0;
    AdStore* store = nullptr;
    AdStream* stream = nullptr;
    if (!adDwgOpenStore(&store, &stream)) return 0;
    // Each handle takes at least a byte of the data, so a count beyond the
    // data fails the stream before it can run long.
    int ok = 1;
    for (std::int32_t i = 0; ok && i < count; ++i) {
        AdHandle handle{};
        adBitReadRelHandle(base, &handle);
        ok = adBitUsable() && adStreamWrite(stream, handle.b, sizeof handle.b);
    }
    if (!adDwgCloseStore(&store, stream, ok != 0)) return 0;
    *out = store;
    return 1;
}

bool adDwgOpenStore(AdStore** store, AdStream** out, std::int64_t expectedBytes) {
    *store = adStoreCreate(static_cast<std::int16_t>(std::clamp<std::int64_t>(expectedBytes, 1, AD_STORE_BLOCK_SIZE)));
    *out = *store ? adStreamOpenWrite(*store) : nullptr;
    if (*out) return true;
    if (*store) adStoreFree(*store);
    *store = nullptr;
    adNoMemory(AD_ERR_STREAM_MEMORY);
    return false;
}

int adDwgCloseStore(AdStore** store, AdStream* out, bool ok) {
    if (adStreamCloseWrite(out) && ok) return 1;
    adStoreFree(*store);
    *store = nullptr;
    return 0;
}

int adDwgEntryStart(AdDrawing* drawing, std::int16_t expected, AdDwgEntryCommon* common, std::uint8_t* xdataFlag,
                    bool (*accept)(AdDrawing* drawing, std::int16_t type)) {
    *common = AdDwgEntryCommon{};
    *xdataFlag = 0;
    if (adIsFixedRecordDwg(drawing)) return 0;
    AdHandle entry{};
    if (!adDwgNextTableEntry(drawing, &entry)) {
        common->handle = entry;
        common->erased = 1;
        return 2;
    }
    AdStore* graphics = nullptr;
    common->type = adDwgReadObjectStart(drawing, &common->handle, xdataFlag, 0, &graphics);
    if (common->type == 0) return 0;
    if (common->type != expected && !(accept && accept(drawing, common->type))) {
        *xdataFlag = 0;
        return 0;
    }
    common->reactorCount = adBitCurrent()->reactorCount;
    adDwgReadCutText(common->name, AD_TABLE_NAME_SIZE);
    if (adBitReadBit()) common->flags |= 0x40;
    common->xrefIndex = static_cast<std::int16_t>(adBitReadShort() - 1);
    if (adBitReadBit()) common->flags |= 0x10;
    return adBitUsable() ? 1 : 0;
}

int adDwgEntryTail(AdDrawing* drawing, AdTableControl control, AdDwgEntryCommon* common, AdHandle* xrefBlock) {
    AdBitStream* bs = adBitCurrent();
    // From AC1015 the handles stand apart, from the data size in bits on.
    if (drawing->version >= AD_DWG_AC1015) {
        const std::int64_t taken = adDwgBitsTaken();
        if (taken > bs->bitSize) return adBitFail();
        adBitSkip(static_cast<std::int32_t>(bs->bitSize - taken));
    }
    AdHandle owner{};
    adBitReadRelHandle(&common->handle, &owner);
    if (adBitUsable()) drawing->tableControls[control] = owner;
    if (!adDwgReadHandleStore(&common->handle, common->reactorCount, &common->reactors)) {
        releaseCommon(common);
        return 0;
    }
    adBitReadRelHandle(&common->handle, &common->extensionDictionary);
    adBitReadRelHandle(&common->handle, xrefBlock);
    bs->xrefBlockHandle = *xrefBlock;
    return adDwgEntryFinish(common);
}

int adDwgEntryFinish(AdDwgEntryCommon* common) {
    if (adBitUsable()) return 1;
    releaseCommon(common);
    return 0;
}

void adDwgEntryHandle(const AdDwgEntryCommon* common, AdHandle* out) { adBitReadRelHandle(&common->handle, out); }

std::int16_t adDwgReadViewMode() {
    std::int16_t mode = 0;
    for (int bit = 0; bit < 3; ++bit)
        if (adBitReadBit()) mode = static_cast<std::int16_t>(mode | (1 << bit));
    if (!adBitReadBit()) mode = static_cast<std::int16_t>(mode | 0x10);
    return mode;
}
