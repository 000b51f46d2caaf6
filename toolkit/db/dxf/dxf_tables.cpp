// The next-record operations of the symbol tables read through their maps.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstddef>

namespace {
struct TableRecord {
    std::int16_t kind;
    void (*defaults)(AdDrawing* drawing, void* record);
    std::size_t handle;
    std::size_t reactorCount;
    std::size_t reactors;
};

template <typename Record>
constexpr TableRecord tableRecord(std::int16_t kind, void (*defaults)(AdDrawing*, void*)) {
    return {kind, defaults, offsetof(Record, handle), offsetof(Record, reactorCount), offsetof(Record, reactors)};
}

// LAYER leaves its linetype's name for the loader; none is left from the
// last layer.
void layerDefaults(AdDrawing* drawing, void* record) {
    adDefaultLayerRecord(drawing, static_cast<AdLayerRecord*>(record));
    adGlobals->dxfNames[AD_DXF_NAME_LAYER_LINETYPE][0] = '\0';
}

const TableRecord kRecords[] = {
    tableRecord<AdLayerRecord>(AD_DXF_KIND_LAYER, layerDefaults),
    tableRecord<AdStyleRecord>(AD_DXF_KIND_STYLE,
                               [](AdDrawing*, void* r) { adDefaultStyleRecord(static_cast<AdStyleRecord*>(r)); }),
    tableRecord<AdViewTableRecord>(
        AD_DXF_KIND_VIEW, [](AdDrawing*, void* r) { adDefaultViewRecord(static_cast<AdViewTableRecord*>(r)); }),
    tableRecord<AdVportRecord>(AD_DXF_KIND_VPORT,
                               [](AdDrawing*, void* r) { adDefaultVportRecord(static_cast<AdVportRecord*>(r)); }),
    tableRecord<AdAppidRecord>(AD_DXF_KIND_APPID,
                               [](AdDrawing*, void* r) { adDefaultAppidRecord(static_cast<AdAppidRecord*>(r)); }),
    tableRecord<AdDimStyleRecord>(
        AD_DXF_KIND_DIMSTYLE, [](AdDrawing* d, void* r) { adDefaultDimStyleRecord(d, static_cast<AdDimStyleRecord*>(r)); }),
    tableRecord<AdUcsRecord>(AD_DXF_KIND_UCS,
                             [](AdDrawing*, void* r) { adDefaultUcsRecord(static_cast<AdUcsRecord*>(r)); }),
};

template <typename T>
T* fieldAt(void* record, std::size_t offset) {
    return reinterpret_cast<T*>(static_cast<std::uint8_t*>(record) + offset);
}
}  // namespace

int adDxfEnsureHandle(AdDrawing* drawing, AdHandle* handle) {
    return adHandleLength(handle) > 0 || adNextHandle(drawing, handle) ? 1 : 0;
}

int adDxfTableNext(AdDrawing* drawing, int kind, void* record, std::uint8_t* xdataFlag) {
    if (!drawing || !adGlobals || !record || !xdataFlag) return 0;
    for (const TableRecord& table : kRecords) {
        if (table.kind != kind) continue;
        table.defaults(drawing, record);
        adGlobals->xdataLength = 0;
        *xdataFlag = 0;
        AdStore** reactors = fieldAt<AdStore*>(record, table.reactors);
        if (adDxfReadTableRecord(drawing, kind, record, xdataFlag, fieldAt<std::int32_t>(record, table.reactorCount),
                                 reactors, nullptr) &&
            adDxfEnsureHandle(drawing, fieldAt<AdHandle>(record, table.handle)))
            return 1;
        // A record that is not handed out takes its store with it.
        adStoreFree(*reactors);
        *reactors = nullptr;
        return 0;
    }
    return 0;
}
