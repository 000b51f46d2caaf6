// LAYER: the cursor family and the layer switches.
#include "toolkit/db/table_cursor.h"

int adLayerRewind(AdDrawing* drawing) { return adTableRewind(drawing, adLayerTable); }
int adLayerNext(AdDrawing* drawing, AdLayerRecord* record) { return adTableNext(drawing, adLayerTable, record); }
std::int32_t adLayerCount(const AdDrawing* drawing) { return adTableCount(drawing, adLayerTable); }
int adLayerByHandle(AdDrawing* drawing, const AdHandle* handle, AdLayerRecord* record) {
    return adTableByHandle(drawing, adLayerTable, handle, record);
}
int adLayerHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle) {
    return adTableHandleByName(drawing, adLayerTable, name, handle);
}
int adLayerUpdate(AdDrawing* drawing, const AdLayerRecord* record) {
    return adTableUpdate(drawing, adLayerTable, record);
}
int adLayerAdd(AdDrawing* drawing, const AdLayerRecord* record) {
    return adTableInsert(drawing, adLayerTable, record, AD_LIST_AT_END, nullptr);
}

int adLayerGetState(AdDrawing* drawing, const AdHandle* layer, std::uint8_t* on, std::uint8_t* frozen,
                    std::uint8_t* frozenInNew, std::uint8_t* locked) {
    AdListRecord* record = adTableFind(drawing, adLayerTable, layer);
    if (!record) return 0;
    AdLayerRecord stored;
    adTableReadField(record, 0, &stored, sizeof stored);
    if (on) *on = stored.colour >= 0;
    if (frozen) *frozen = (stored.flags & 1) != 0;
    if (frozenInNew) *frozenInNew = (stored.flags & 2) != 0;
    if (locked) *locked = (stored.flags & 4) != 0;
    return 1;
}

namespace {

// Any non-zero byte switches on: callers pass 1 or 0xFF (-1) for true.
std::uint8_t withBit(std::uint8_t flags, std::uint8_t bit, std::uint8_t value) {
    return value ? static_cast<std::uint8_t>(flags | bit) : static_cast<std::uint8_t>(flags & ~bit);
}

}  // namespace

int adLayerSetState(AdDrawing* drawing, const AdHandle* layer, std::uint8_t on, std::uint8_t frozen,
                    std::uint8_t frozenInNew, std::uint8_t locked) {
    AdListRecord* record = adTableFind(drawing, adLayerTable, layer);
    if (!record) return 0;
    AdLayerRecord stored;
    adTableReadField(record, 0, &stored, sizeof stored);
    // In 32 bits so that colour -32768 turns on as 32767 rather than overflow.
    std::int32_t magnitude = stored.colour < 0 ? -static_cast<std::int32_t>(stored.colour) : stored.colour;
    if (magnitude > INT16_MAX) magnitude = INT16_MAX;
    stored.colour = static_cast<std::int16_t>(on ? magnitude : -magnitude);
    stored.flags = withBit(stored.flags, 1, frozen);
    stored.flags = withBit(stored.flags, 2, frozenInNew);
    stored.flags = withBit(stored.flags, 4, locked);
    HostMemMove(adListRecordData(record), &stored, sizeof stored);
    return 1;
}
