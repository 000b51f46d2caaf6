// LWPOLYLINE entities of AC1014 and later files: vertices, then bulges, then
// width pairs, which the stored form keeps together per vertex.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kExtrusion = AD_DWG_LW_EXTRUSION;
constexpr std::int16_t kThickness = AD_DWG_LW_THICKNESS;
constexpr std::int16_t kConstantWidth = AD_DWG_LW_CONSTANT_WIDTH;
constexpr std::int16_t kElevation = AD_DWG_LW_ELEVATION;
constexpr std::int16_t kBulges = AD_DWG_LW_BULGES;
constexpr std::int16_t kWidths = AD_DWG_LW_WIDTHS;
// The fewest bits of a vertex (2RD, or two DD from AC1015 on), a bulge and
// a width pair.
constexpr std::int64_t kRawVertexBits = 128;
constexpr std::int64_t kDdVertexBits = 4;
constexpr std::int64_t kBulgeBits = 2;
constexpr std::int64_t kWidthBits = 4;

// What was read, each list in a store of its own until they are merged.
struct Lists {
    std::int32_t bulges = 0;
    std::int32_t widths = 0;
    AdStore* stores[3] = {};
};

// count entries of n BD each; only the first keep go to the store.
int readValues(std::int32_t count, int n, std::int32_t keep, AdStore** store) {
    return adDwgFillList(count, keep == count ? n * std::int32_t{sizeof(double)} : 0, store,
                         [&](AdDwgStoreFill* fill, std::int32_t i) {
        for (int k = 0; k < n; ++k) {
            double value = 0.0;
            adBitReadDouble(&value);
            if (i < keep) adDwgFillDouble(fill, value);
        }
    });
}

int readVertices(bool ac1015, std::int32_t count, AdStore** store) {
    double point[2] = {};
    return adDwgFillList(count, sizeof point, store, [&](AdDwgStoreFill* fill, std::int32_t i) {
        if (i == 0 || !ac1015) {
            adBitReadRaw2D(point);
        } else {
            adBitReadDefDouble(&point[0], point[0]);
            adBitReadDefDouble(&point[1], point[1]);
        }
        adDwgFillBytes(fill, point, sizeof point);
    });
}

// Per vertex x, y, the bulge when flagged (0 beyond those read) and the
// widths when flagged (the constant width beyond those read).
int merge(const AdLwpolylineData& p, const Lists& lists, AdStore** out) {
    AdStream* in[3] = {};
    bool ok = true;
    for (int i = 0; i < 3; ++i)
        if (lists.stores[i]) ok = ok && (in[i] = adStreamOpenRead(lists.stores[i])) != nullptr;
    const std::int64_t vertexBytes = (2 + ((p.flags & kBulges) ? 1 : 0) + ((p.flags & kWidths) ? 2 : 0)) * sizeof(double);
    AdDwgStoreFill fill{};
    if (ok && adDwgFillOpen(&fill, p.vertexCount * vertexBytes)) {
        for (std::int32_t v = 0; v < p.vertexCount && fill.ok; ++v) {
            double values[5] = {0.0, 0.0, 0.0, p.constantWidth, p.constantWidth};
            fill.ok = adStreamRead(in[0], values, 2 * sizeof(double)) &&
                      (v >= lists.bulges || adStreamRead(in[1], &values[2], sizeof(double))) &&
                      (v >= lists.widths || adStreamRead(in[2], &values[3], 2 * sizeof(double)));
            adDwgFillBytes(&fill, values, 2 * sizeof(double));
            if (p.flags & kBulges) adDwgFillBytes(&fill, &values[2], sizeof(double));
            if (p.flags & kWidths) adDwgFillBytes(&fill, &values[3], 2 * sizeof(double));
        }
    }
    for (AdStream* stream : in)
        if (stream) adStreamCloseRead(stream);
    return ok && adDwgFillClose(&fill, out);
}

int readLists(AdLwpolylineData& p, bool ac1015, Lists& lists) {
    const std::int32_t vertices = adBitReadLong();
    const std::int32_t bulges = (p.flags & kBulges) ? adBitReadLong() : 0;
    const std::int32_t widths = (p.flags & kWidths) ? adBitReadLong() : 0;
    if (!adDwgCountFits(vertices, 1) || !adDwgCountFits(bulges, 1) || !adDwgCountFits(widths, 1)) return 0;
    const std::int64_t least = vertices * (ac1015 ? kDdVertexBits : kRawVertexBits) +
                               static_cast<std::int64_t>(bulges) * kBulgeBits +
                               static_cast<std::int64_t>(widths) * kWidthBits;
    if (!adDwgCountFits(least, 1)) return 0;
    lists.bulges = bulges < vertices ? bulges : vertices;
    lists.widths = widths < vertices ? widths : vertices;
    p.vertexCount = vertices;
    return readVertices(ac1015, vertices, &lists.stores[0]) &&
           readValues(bulges, 1, lists.bulges, &lists.stores[1]) &&
           readValues(widths, 2, lists.widths, &lists.stores[2]);
}
}  // namespace

int adDwgReadLwpolyline(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdLwpolylineData& p = data->lwpolyline;
    p.flags = adBitReadShort();
    if (p.flags & kConstantWidth) adBitReadDouble(&p.constantWidth);
    if (p.flags & kElevation) adBitReadDouble(&p.elevation);
    if (p.flags & kThickness) adBitReadDouble(&header->thickness);
    if (p.flags & kExtrusion) adDwgReadNormal(header->extrusion);
    Lists lists;
    int ok = readLists(p, adDwgIsAc1015(drawing), lists);
    if (ok && p.vertexCount > 0 && !(p.flags & (kBulges | kWidths))) {
        // Points alone: the vertex list is already the stored form.
        p.vertices = lists.stores[0];
        lists.stores[0] = nullptr;
    } else if (ok && p.vertexCount > 0) {
        ok = merge(p, lists, &p.vertices);
    }
    for (AdStore* store : lists.stores)
        if (store) adStoreFree(store);
    return ok && adDwgClassHandles(drawing, header);
}
