// VIEWPORT entity objects of AC1012+ files. AC1012 and AC1014 carry only the
// viewport's place on the sheet (its view lives in the viewport-entity
// header); AC1015 carries the view and the layers frozen in it as well.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

namespace {

void readView(AdViewportData& v) {
    adBitRead3D(v.viewTarget);
    adBitRead3D(v.viewDirection);
    adBitReadDouble(&v.twist);
    adBitReadDouble(&v.viewHeight);
    adBitReadDouble(&v.lensLength);
    adBitReadDouble(&v.frontClip);
    adBitReadDouble(&v.backClip);
    adBitReadDouble(&v.snapAngle);
    adBitReadRaw2D(v.viewCentre);
    adBitReadRaw2D(v.snapBase);
    adBitReadRaw2D(v.snapSpacing);
    adBitReadRaw2D(v.gridSpacing);
    v.circleZoom = adBitReadShort();
}

void readUcs(AdViewportData& v) {
    v.renderMode = adBitReadByte();
    adBitReadBit();  // the UCS at the origin is not kept
    v.ucsPerViewport = static_cast<std::int16_t>(adBitReadBit());
    adBitRead3D(v.ucsOrigin);
    adBitRead3D(v.ucsXAxis);
    adBitRead3D(v.ucsYAxis);
    adBitReadDouble(&v.elevation);
    v.orthographicType = adBitReadShort();
}

// count frozen-layer handles; those that name a LAYER record go to a new store.
int readFrozenLayers(AdDrawing* drawing, const AdEntityHeader* header, AdViewportData& v, std::int32_t count) {
    v.frozenLayerCount = 0;
    if (count <= 0) return 1;
    auto* layer = static_cast<AdLayerRecord*>(HostAlloc(sizeof(AdLayerRecord)));
    AdStore* store = nullptr;
    AdStream* out = nullptr;
    if (!layer || !adDwgOpenStore(&store, &out)) {
        if (!layer) adNoMemory(AD_ERR_STATE_MEMORY);
        HostFree(layer);
        return 0;
    }
    // Each handle takes at least a byte, so a count beyond the data fails the
    // stream before the loop can run long.
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count && adBitUsable(); ++i) {
        AdHandle handle{};
        adDwgReadOwnHandle(header, &handle);
        if (!adBitUsable() || !adLayerByHandle(drawing, &handle, layer)) continue;
        ok = adStreamWrite(out, handle.b, sizeof handle.b) != 0;
        if (ok) ++v.frozenLayerCount;
    }
    HostFree(layer);
    ok = ok && adBitUsable();
    if (!adDwgCloseStore(&store, out, ok)) return 0;
    if (v.frozenLayerCount > 0) v.frozenLayers = store;
    else adStoreFree(store);
    return 1;
}

}  // namespace

int adDwgReadViewportEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdViewportData& v = data->viewport;
    adDefaultViewportData(&v);
    v.status = 0;
    adBitRead3D(v.centre);
    adBitReadDouble(&v.width);
    adBitReadDouble(&v.height);
    AdHandle vportEntityHeader{};
    if (!adDwgIsAc1015(drawing)) return adDwgReadHandlesWith(drawing, header, &vportEntityHeader, nullptr);
    readView(v);
    const std::int32_t frozen = adBitReadLong();
    v.statusFlags = adBitReadLong();
    adDwgReadEntityText(v.styleSheet, sizeof v.styleSheet);
    readUcs(v);
    adDwgReadEntityHandles(drawing, header);
    if (!adBitUsable() || !readFrozenLayers(drawing, header, v, frozen)) return 0;
    adDwgReadOwnHandle(header, &v.clipBoundary);
    adDwgReadOwnHandle(header, &vportEntityHeader);
    adDwgReadOwnHandle(header, &v.namedUcs);
    adDwgReadOwnHandle(header, &v.baseUcs);
    return adBitUsable() ? 1 : 0;
}
