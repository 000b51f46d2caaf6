// Simple 2D polylines (POLYLINE, VERTEX..., SEQEND) become one LWPOLYLINE:
// the records are held in a scratch store until the SEQEND tells whether
// the polyline can be converted, and replayed as they came when it cannot.
#include "toolkit/db/entity_loading.h"
#include "toolkit/db/load_stages.h"

#include <cmath>
#include <cstring>

struct AdPolylineGather {
    AdStore* store;
    AdStream* stream;  // open for writing while a polyline is held
    AdRecordList* list;
    AdEntityHeader polyline;
    AdPolylineData data;
    std::int32_t vertexCount;
    double previous[3];
    bool notConvertible;
    bool varyingWidths;
    bool bulges;
};

namespace {

constexpr std::int16_t kNotSimple = 0x5E;  // curve-fit, spline-fit, 3D, mesh, polyface
constexpr std::int16_t kClosed = 1;
constexpr std::int16_t kLinetypeGeneration = 128;
constexpr std::int16_t kVertexCurveFit = 2;
constexpr double kTiny = 1e-10;

std::int32_t dataSize(std::uint16_t type) {
    if (type == AD_ENTITY_POLYLINE) return sizeof(AdPolylineData);
    if (type == AD_ENTITY_VERTEX) return sizeof(AdVertexData);
    return 0;
}

bool hold(AdPolylineGather* g, const AdEntityHeader* header, const AdEntityData* data) {
    return adStreamWrite(g->stream, header, sizeof *header) &&
           (dataSize(header->type) == 0 || adStreamWrite(g->stream, data, dataSize(header->type)));
}

// Walks the held records: each is stored (keep) or its stores freed.
int release(AdDrawing* drawing, AdPolylineGather* g, bool keep) {
    if (g->stream) adStreamCloseWrite(g->stream);
    g->stream = nullptr;
    AdStream* stream = adStreamOpenRead(g->store);
    int ok = stream != nullptr;
    AdEntityHeader header;
    AdEntityData* data = static_cast<AdEntityData*>(HostAlloc(sizeof(AdEntityData)));
    while (stream && data && adStreamRead(stream, &header, sizeof header)) {
        std::memset(data, 0, sizeof *data);
        if (dataSize(header.type) && !adStreamRead(stream, data, dataSize(header.type))) break;
        if (keep && ok) ok = adAddEntityRecord(drawing, &header, data, g->list, nullptr);
        else adEntityFreeStores(drawing, &header, data);
    }
    if (stream) adStreamCloseRead(stream);
    if (!data) ok = 0;
    HostFree(data);
    adStoreFree(g->store);
    g->store = nullptr;
    return ok;
}

bool differs(double a, double b) { return std::fabs(a - b) >= kTiny; }

void noteVertex(AdPolylineGather* g, const AdEntityHeader* header, const AdVertexData& v) {
    if (g->vertexCount > 0 && !differs(v.point[0], g->previous[0]) && !differs(v.point[1], g->previous[1]) &&
        !differs(v.point[2], g->previous[2]))
        g->notConvertible = true;
    // A vertex that carries records of its own (extended data, reactors)
    // would lose them as a mere point of a light polyline.
    if (header->xdata || header->reactors || (v.flags & kVertexCurveFit)) g->notConvertible = true;
    const double start = v.startWidthGiven ? v.startWidth : g->data.startWidth;
    const double end = v.endWidthGiven ? v.endWidth : g->data.endWidth;
    if (differs(start, g->data.startWidth) || differs(end, g->data.startWidth)) g->varyingWidths = true;
    if (v.bulge != 0.0) g->bulges = true;
    std::memcpy(g->previous, v.point, sizeof g->previous);
    ++g->vertexCount;
}

// The LWPOLYLINE that stands for the held polyline; its points come from the
// held VERTEX records.
int convert(AdDrawing* drawing, AdPolylineGather* g) {
    adStreamCloseWrite(g->stream);
    g->stream = nullptr;
    AdEntityHeader header = g->polyline;
    header.type = static_cast<std::uint16_t>(adClassNumLwpolyline(drawing));
    AdEntityData out{};
    AdLwpolylineData& lw = out.lwpolyline;
    lw.vertexCount = g->vertexCount;
    const bool extruded = header.extrusion[0] != 0.0 || header.extrusion[1] != 0.0 || header.extrusion[2] != 1.0;
    if (extruded) lw.flags |= 1;
    if (std::fabs(header.thickness) >= kTiny) lw.flags |= 2;
    else header.thickness = 0.0;
    if (std::fabs(g->data.elevation) >= kTiny) {
        lw.flags |= 8;
        lw.elevation = g->data.elevation;
    }
    if (g->data.flags & kClosed) lw.flags |= 512;
    if (g->data.flags & kLinetypeGeneration) lw.flags |= 256;
    if (g->bulges) lw.flags |= 16;
    if (g->varyingWidths) {
        lw.flags |= 32;
    } else if (g->data.startWidth >= kTiny) {
        lw.flags |= 4;
        lw.constantWidth = g->data.startWidth;
    }
    lw.vertices = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* points = lw.vertices ? adStreamOpenWrite(lw.vertices) : nullptr;
    AdStream* held = adStreamOpenRead(g->store);
    bool ok = points && held;
    AdEntityHeader h;
    AdVertexData v;
    while (ok && adStreamRead(held, &h, sizeof h)) {
        if (dataSize(h.type) == 0) continue;
        if (h.type == AD_ENTITY_POLYLINE) {
            ok = adStreamRead(held, &v, sizeof(AdPolylineData));
            continue;
        }
        ok = adStreamRead(held, &v, sizeof v) && adStreamPutDouble(points, v.point[0]) &&
             adStreamPutDouble(points, v.point[1]);
        if (ok && (lw.flags & 16)) ok = adStreamPutDouble(points, v.bulge);
        if (ok && (lw.flags & 32))
            ok = adStreamPutDouble(points, v.startWidthGiven ? v.startWidth : g->data.startWidth) &&
                 adStreamPutDouble(points, v.endWidthGiven ? v.endWidth : g->data.endWidth);
    }
    if (held) adStreamCloseRead(held);
    if (points && !adStreamCloseWrite(points)) ok = false;
    adStoreFree(g->store);
    g->store = nullptr;
    if (!ok) {
        adStoreFree(lw.vertices);
        lw.vertices = nullptr;
        adEntityFreeStores(drawing, &header, &out);
        drawing->readError = AD_READ_PACK;
        return 0;
    }
    return adAddEntityRecord(drawing, &header, &out, g->list, nullptr);
}

bool startable(const AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data) {
    return adGlobals->polylineConversion && header->type == AD_ENTITY_POLYLINE &&
           !(data->polyline.flags & kNotSimple) && adClassNumLwpolyline(drawing) != 0;
}

}  // namespace

int adPolylineGatherOpen(AdDrawing* drawing) {
    drawing->polylineGather = static_cast<AdPolylineGather*>(HostAlloc(sizeof(AdPolylineGather)));
    if (!drawing->polylineGather) return 0;
    std::memset(drawing->polylineGather, 0, sizeof(AdPolylineGather));
    return 1;
}

int adPolylineGatherClose(AdDrawing* drawing, int keep) {
    AdPolylineGather* g = drawing->polylineGather;
    if (!g) return 1;
    const int ok = g->store ? release(drawing, g, keep != 0) : 1;
    HostFree(g);
    drawing->polylineGather = nullptr;
    return ok;
}

int adPolylineGatherConverting(const AdDrawing* drawing, std::uint16_t type) {
    const AdPolylineGather* g = drawing->polylineGather;
    return g && g->store && type == AD_ENTITY_SEQEND && !g->notConvertible;
}

int adPolylineGatherOffer(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, AdRecordList* list) {
    AdPolylineGather* g = drawing->polylineGather;
    if (!g) return 0;
    if (g->store && header->type == AD_ENTITY_VERTEX) {
        noteVertex(g, header, data->vertex);
        if (hold(g, header, data)) return 1;
        adEntityFreeStores(drawing, header, data);
        drawing->readError = AD_READ_PACK;
        return -1;
    }
    if (g->store && header->type == AD_ENTITY_SEQEND) {
        const bool replay = g->notConvertible;
        if (replay && !hold(g, header, data)) {
            adEntityFreeStores(drawing, header, data);
            drawing->readError = AD_READ_PACK;
            release(drawing, g, false);
            return -1;
        }
        if (!replay) adEntityFreeStores(drawing, header, data);
        return (replay ? release(drawing, g, true) : convert(drawing, g)) ? 1 : -1;
    }
    // Anything else ends a polyline that had no SEQEND: it stays as it came.
    if (g->store && !release(drawing, g, true)) return -1;
    if (!startable(drawing, header, data)) return 0;
    std::memset(g, 0, sizeof *g);
    g->list = list;
    g->polyline = *header;
    g->data = data->polyline;
    g->varyingWidths = differs(g->data.startWidth, g->data.endWidth);
    g->store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    g->stream = g->store ? adStreamOpenWrite(g->store) : nullptr;
    if (g->stream && hold(g, header, data)) return 1;
    if (g->stream) adStreamCloseWrite(g->stream);
    adStoreFree(g->store);
    std::memset(g, 0, sizeof *g);
    drawing->readError = AD_READ_PACK;
    adEntityFreeStores(drawing, header, data);
    return -1;
}
