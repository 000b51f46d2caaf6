// The byte stores an entity owns: the header's xdata and reactors, and the
// stores of its type's data.
#include "toolkit/db/entity_layout.h"
#include "toolkit/db/entity_list_steps.h"
#include "toolkit/db/load_stages.h"

#include <cstddef>

namespace {

constexpr int kTypeStoreMax = 4;

struct StoreField {
    std::size_t offset;  // in AdEntityData
    std::int32_t freeError;
};

struct TypeStores {
    int layout;
    StoreField fields[kTypeStoreMax];
    int count;
};

constexpr std::int32_t kStore = AD_ERR_ENTITY_STORE_FREE;

// Only a proxy's object-id store depends on the data: it is owned while its
// count is non-zero.
constexpr std::size_t kProxyIds = offsetof(AdProxyData, objectIds);

const TypeStores kTypeStores[] = {
    {AD_ENTITY_SPLINE, {{offsetof(AdSplineData, points), kStore}}, 1},
    {AD_ENTITY_REGION, {{offsetof(AdSatData, satText), kStore}, {offsetof(AdSatData, satTail), kStore}}, 2},
    {AD_ENTITY_3DSOLID, {{offsetof(AdSatData, satText), kStore}, {offsetof(AdSatData, satTail), kStore}}, 2},
    {AD_ENTITY_BODY, {{offsetof(AdSatData, satText), kStore}, {offsetof(AdSatData, satTail), kStore}}, 2},
    {AD_ENTITY_VIEWPORT, {{offsetof(AdViewportData, frozenLayers), kStore}}, 1},
    {AD_ENTITY_MTEXT, {{offsetof(AdMtextData, longText), kStore}}, 1},
    {AD_ENTITY_LEADER, {{offsetof(AdLeaderData, vertices), kStore}}, 1},
    // The TOLERANCE store belongs to the entity like every other store field;
    // leaving it out would lose it whenever a TOLERANCE goes.
    {AD_ENTITY_TOLERANCE, {{offsetof(AdToleranceData, store), kStore}}, 1},
    {AD_ENTITY_MLINE, {{offsetof(AdMlineData, vertices), kStore}}, 1},
    {AD_LAYOUT_FIRST_CLASS + AD_KIND_OLE2FRAME - 1, {{offsetof(AdOle2FrameData, data), kStore}}, 1},
    {AD_LAYOUT_FIRST_CLASS + AD_KIND_LWPOLYLINE - 1, {{offsetof(AdLwpolylineData, vertices), kStore}}, 1},
    {AD_LAYOUT_IMAGE,
     {{offsetof(AdImageData, clipVertices), kStore},
      {offsetof(AdImageData, further), kStore},
      {offsetof(AdImageData, pixels), kStore}},
     3},
    {AD_LAYOUT_FIRST_CLASS + AD_KIND_ARCALIGNEDTEXT - 1, {{offsetof(AdArcAlignedTextData, graphics), kStore}}, 1},
    {AD_LAYOUT_FIRST_CLASS + AD_KIND_RTEXT - 1, {{offsetof(AdRtextData, longText), kStore}}, 1},
    {AD_LAYOUT_FIRST_CLASS + AD_KIND_HATCH - 1,
     {{offsetof(AdHatchData, paths), kStore},
      {offsetof(AdHatchData, patternLines), kStore},
      {offsetof(AdHatchData, further), kStore},
      {offsetof(AdHatchData, seeds), kStore}},
     4},
    {AD_LAYOUT_PROXY,
     {{offsetof(AdProxyData, data), AD_ERR_PROXY_DATA_FREE},
      {kProxyIds, AD_ERR_PROXY_IDS_FREE},
      {offsetof(AdProxyData, graphics), kStore},
      {offsetof(AdProxyData, spareStore), kStore}},
     4},
};

// The store fields the entity owns; answers their number.
int ownedFields(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data,
                StoreField fields[kTypeStoreMax]) {
    if (!data) return 0;
    int layout = adEntityLayout(drawing, header->type);
    // A WIPEOUT's last store holds its graphics where an IMAGE holds pixels.
    if (layout == AD_LAYOUT_WIPEOUT) layout = AD_LAYOUT_IMAGE;
    int count = 0;
    for (const TypeStores& type : kTypeStores) {
        if (type.layout != layout) continue;
        for (int i = 0; i < type.count; ++i)
            if (type.fields[i].offset != kProxyIds || data->proxy.objectIdCount != 0) fields[count++] = type.fields[i];
    }
    return count;
}

AdStore* storeAt(const AdEntityData* data, std::size_t offset) {
    AdStore* store = nullptr;
    HostMemMove(&store, reinterpret_cast<const std::uint8_t*>(data) + offset, sizeof store);
    return store;
}

}  // namespace

int adEntityOwnedStores(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data,
                        AdStore* stores[AD_ENTITY_STORE_MAX]) {
    if (!header) return 0;
    int count = 0;
    if (header->xdata) stores[count++] = header->xdata;
    if (header->reactors) stores[count++] = header->reactors;
    StoreField fields[kTypeStoreMax];
    const int n = ownedFields(drawing, header, data, fields);
    for (int i = 0; i < n; ++i)
        if (AdStore* store = storeAt(data, fields[i].offset)) stores[count++] = store;
    return count;
}

int adEntityFreeStores(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    if (!header) return 0;
    adDropNameReferences(drawing, header->xdata);
    if (header->xdata) adStoreFree(header->xdata);
    if (header->reactors) adStoreFree(header->reactors);
    header->xdata = header->reactors = nullptr;
    StoreField fields[kTypeStoreMax];
    const int n = ownedFields(drawing, header, data, fields);
    int freed = 1;
    for (int i = 0; i < n; ++i) {
        AdStore* store = storeAt(data, fields[i].offset);
        if (!store) continue;
        if (!adStoreFree(store)) {
            adSetError(fields[i].freeError);
            freed = 0;
        }
        store = nullptr;
        HostMemMove(reinterpret_cast<std::uint8_t*>(data) + fields[i].offset, &store, sizeof store);
    }
    return freed;
}
