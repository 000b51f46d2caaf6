// The "MVIEW" extended data that carries a VIEWPORT's view for the versions
// whose VIEWPORT record has no room for it: the "ACAD" application's list of
// the view, its modes, snap and grid and the layers frozen in it, ahead of
// the entity's own extended data.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include <cstring>

namespace {
struct ItemWriter {
    AdStream* out;
    bool ok = true;
    void put(AdXdataItem& item) { ok = ok && adXdataWriteItem(out, &item) != 0; }
    void text(std::int16_t code, const char* text) {
        AdXdataItem item{};
        item.code = code;
        std::strncpy(item.value.text, text, sizeof item.value.text - 1);
        put(item);
    }
    void handle(std::int16_t code, const AdHandle& handle) {
        AdXdataItem item{};
        item.code = code;
        item.value.handle = handle;
        put(item);
    }
    void point(const double p[3]) {
        AdXdataItem item{};
        item.code = 1010;
        std::memcpy(item.value.point, p, sizeof item.value.point);
        put(item);
    }
    void real(double value) {
        AdXdataItem item{};
        item.code = 1040;
        item.value.real = value;
        put(item);
    }
    void integer(std::int32_t value) {
        AdXdataItem item{};
        item.code = 1070;
        item.value.int16 = static_cast<std::int16_t>(value);
        put(item);
    }
};

void writeView(ItemWriter& w, const AdViewportData& v) {
    const std::int32_t flags = v.statusFlags;
    w.integer(16);
    w.point(v.viewTarget);
    w.point(v.viewDirection);
    for (double value : {v.twist, v.viewHeight, v.viewCentre[0], v.viewCentre[1], v.lensLength, v.frontClip,
                         v.backClip})
        w.real(value);
    w.integer(flags & 0x1F);
    w.integer(v.circleZoom);
    for (int bit : {7, 5, 8, 9, 10}) w.integer((flags >> bit) & 1);
    w.integer((flags & 0x3000) ? 1 : 0);
    for (double value : {v.snapAngle, v.snapBase[0], v.snapBase[1], v.snapSpacing[0], v.snapSpacing[1],
                         v.gridSpacing[0], v.gridSpacing[1]})
        w.real(value);
    w.integer((flags >> 11) & 1);
}
}  // namespace

AdStore* adDwgBuildMviewXdata(AdDrawing* source, const AdEntityHeader* header, const AdViewportData& v) {
    AdStore* store = adStoreCreate(4096);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) {
        if (store) adStoreFree(store);
        adNoMemory(AD_ERR_SAVE_WORK_AREA);
        return nullptr;
    }
    ItemWriter w{out};
    AdHandle acad{};
    adAppidHandleByName(source, "ACAD", &acad);
    w.handle(1001, acad);
    w.text(1000, "MVIEW");
    w.text(1002, "{");
    writeView(w, v);
    w.text(1002, "{");
    AdStream* layers = v.frozenLayers && v.frozenLayerCount > 0 ? adStreamOpenRead(v.frozenLayers) : nullptr;
    AdHandle layer{};
    for (std::int32_t i = 0; layers && i < v.frozenLayerCount && adStreamReadHandle(layers, &layer); ++i)
        w.handle(1003, layer);
    if (layers) adStreamCloseRead(layers);
    w.text(1002, "}");
    w.text(1002, "}");
    AdStream* own = header->xdata ? adStreamOpenRead(header->xdata) : nullptr;
    AdXdataItem item{};
    while (own && adXdataReadItem(own, &item)) w.put(item);
    if (own) adStreamCloseRead(own);
    const bool ok = adStreamCloseWrite(out) != 0 && w.ok;
    if (!ok) {
        adStoreFree(store);
        return nullptr;
    }
    return store;
}
