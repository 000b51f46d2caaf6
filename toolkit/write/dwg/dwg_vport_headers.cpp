// The viewport entity headers of a bit-coded DWG file: one record per
// paper-space VIEWPORT, chained by viewport id, and the drawing's own.
#include "toolkit/write/dwg/dwg_table_record.h"

#include "toolkit/db/bit_stream_state.h"

namespace {
constexpr std::int16_t kLastId = 50;

int writeHeader(AdDwgWriter* writer, const AdDwgVportMapEntry& entry, const AdHandle& next) {
    const AdHandle& own = entry.header;
    if (!adDwgRecordBegin(writer, AD_DWG_VPORT_ENTITY, &own, nullptr, nullptr, false)) return 0;
    adBitWriteLong(0);
    const bool current = adHandleLength(&own) && adHandleCompare(&own, &writer->handles.currentVportEntity) == 0;
    adBitWriteText(current ? "1" : "");
    adBitWriteBit(0);
    adBitWriteShort(0);
    adBitWriteBit(0);
    adBitWriteBit(entry.on);
    adDwgMarkDataEnd(writer);
    writer->xrefBlock = AdHandle{};
    if (!adDwgWriteTableHandles(writer, &own, &writer->handles.controls[AD_CONTROL_VPORT_ENTITY], nullptr, 0,
                                nullptr))
        return 0;
    adBitWriteHandle(&entry.viewport, AD_REF_SOFT_POINTER);
    adBitWriteHandle(&next, AD_REF_HARD_POINTER);
    return adDwgRecordEnd(writer, &own);
}
}  // namespace

int adDwgWriteVportEntityHeaders(AdDwgWriter* writer) {
    const std::vector<AdDwgVportMapEntry>& map = writer->vportMap;
    // The header of each viewport id, for the chain from one id to the next.
    AdHandle byId[kLastId + 1] = {};
    for (std::size_t i = 1; i < map.size(); ++i)
        if (map[i].id >= 1 && map[i].id <= kLastId) byId[map[i].id] = map[i].header;
    for (std::size_t i = 0; i < map.size(); ++i) {
        const std::int16_t id = map[i].id;
        const AdHandle next = i > 0 && id >= 1 && id < kLastId ? byId[id + 1] : AdHandle{};
        if (!writeHeader(writer, map[i], next)) return 0;
    }
    return 1;
}
