// The entry handles of one table, taken from its control object into a
// load-time store so that the next-record readers can walk them one by one.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {
// The list lives in the drawing's first load-time store; a DWG load never
// runs the DXF reader, whose scratch shares these slots.
constexpr int kListSlot = 0;

int writeEntry(AdStream* out, const AdHandle& handle) {
    const int length = adHandleLength(&handle);
    const auto lead = static_cast<std::uint8_t>(length);
    return adStreamWrite(out, &lead, 1) && adStreamWrite(out, handle.b + 8 - length, length);
}

// count non-null entry handles from the reader, which stands at the first.
int collect(const AdHandle* control, std::int32_t count, AdStream* out) {
    std::int32_t kept = 0;
    while (kept < count && adBitUsable()) {
        AdHandle entry{};
        adBitReadRelHandle(control, &entry);
        if (!adBitUsable() || adHandleLength(&entry) == 0) continue;
        if (!writeEntry(out, entry)) return 0;
        ++kept;
    }
    return 1;
}
}  // namespace

AdStream* adDwgBeginTable(AdDrawing* drawing, const AdHandle* control, std::int32_t count, int extraByte) {
    if (!drawing || !drawing->file) return nullptr;
    adDwgDropLoadList(drawing);
    if (adIsFixedRecordDwg(drawing)) return nullptr;
    // The count may run past the control's own entries: the LTYPE control
    // lists its BYLAYER and BYBLOCK handles after them.
    std::int32_t entries = 0;
    if (!adDwgReadControlObject(drawing, control, &entries, extraByte)) return nullptr;
    AdStore* store = nullptr;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(&store, &out)) return nullptr;
    const bool ok = collect(control, count, out) != 0;
    if (!adDwgCloseStore(&store, out, ok)) return nullptr;
    return adDwgOpenLoadList(drawing, store);
}

void adDwgDropLoadList(AdDrawing* drawing) {
    if (drawing->loadStream) adStreamCloseRead(drawing->loadStream);
    drawing->loadStream = nullptr;
    if (drawing->loadStores[kListSlot]) adStoreFree(drawing->loadStores[kListSlot]);
    drawing->loadStores[kListSlot] = nullptr;
}

AdStream* adDwgOpenLoadList(AdDrawing* drawing, AdStore* store) {
    adDwgDropLoadList(drawing);
    drawing->loadStores[kListSlot] = store;
    drawing->loadStream = adStreamOpenRead(store);
    if (!drawing->loadStream) adDwgDropLoadList(drawing);
    return drawing->loadStream;
}

int adDwgNextTableEntry(AdDrawing* drawing, AdHandle* handle) {
    *handle = AdHandle{};
    std::uint8_t length = 0;
    if (!drawing || !drawing->loadStream || !adStreamReadByte(drawing->loadStream, &length) || length == 0 ||
        length > 8 || !adStreamRead(drawing->loadStream, handle->b + 8 - length, length)) {
        *handle = AdHandle{};
        return 0;
    }
    return adDwgSeekObject(drawing, handle);
}
