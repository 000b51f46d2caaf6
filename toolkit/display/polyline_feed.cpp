// POLYLINE with its VERTEX records and LWPOLYLINE with its vertex store,
// read into one polyline shape for the wide-polyline drawing.
#include "toolkit/display/polyline.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/mesh.h"

#include <cmath>
#include <new>

namespace {

// POLYLINE flags.
constexpr std::int16_t kClosed = 0x01;
constexpr std::int16_t k3D = 0x08;
constexpr std::int16_t kMesh = 0x10;
constexpr std::int16_t kPolyface = 0x40;
constexpr std::int16_t kLinetypeGeneration = 0x80;
// VERTEX flag of a spline frame control point.
constexpr std::int16_t kFrameVertex = 0x10;
// LWPOLYLINE flags.
constexpr std::int16_t kLwConstantWidth = 0x04;
constexpr std::int16_t kLwBulges = 0x10;
constexpr std::int16_t kLwWidths = 0x20;
constexpr std::int16_t kLwLinetypeGeneration = 0x100;
constexpr std::int16_t kLwClosed = 0x200;

constexpr double kBulgeFloor = 5e-05;

// The vertex as drawn: tiny bulges are straight, and widths too small to
// show on the device are 0.
void addVertex(AdPolylineShape& shape, const AdDisplayState* state, const double point[3], double startWidth,
               double endWidth, double bulge) {
    if (std::fabs(bulge) < kBulgeFloor || !std::isfinite(bulge)) bulge = 0.0;
    if (!(startWidth >= state->smallSize)) startWidth = 0.0;
    if (!(endWidth >= state->smallSize)) endWidth = 0.0;
    // A vertex on the last one only brings its widths.
    if (!shape.vertices.empty()) {
        AdPolyVertex& last = shape.vertices.back();
        if (last.point[0] == point[0] && last.point[1] == point[1] && last.point[2] == point[2]) {
            last.startWidth = startWidth;
            last.endWidth = endWidth;
            last.bulge = bulge;
            return;
        }
    }
    shape.vertices.push_back(AdPolyVertex{{point[0], point[1], point[2]}, startWidth, endWidth, bulge});
}

// The VERTEX records up to the SEQEND (or the end of the list).
void readVertices(AdDrawContext& entity, AdPolylineShape& shape, const AdPolylineData polyline) {
    AdDrawing* drawing = entity.drawing;
    AdEntityHeader* header = entity.header;
    const AdEntityHeader saved = *header;
    for (std::int32_t guard = adListCount(entity.list); guard > 0; --guard) {
        if (!adNextSubEntity(drawing, entity.list, 0) || header->type == AD_ENTITY_SEQEND) break;
        if (header->type != AD_ENTITY_VERTEX) continue;
        const AdVertexData& v = entity.data->vertex;
        if (v.flags & kFrameVertex) continue;
        const double startWidth = v.startWidthGiven ? v.startWidth : polyline.startWidth;
        const double endWidth = v.endWidthGiven ? v.endWidth : polyline.endWidth;
        double point[3] = {v.point[0], v.point[1], v.point[2]};
        if (!(polyline.flags & k3D)) point[2] = polyline.elevation;
        addVertex(shape, drawing->display, point, startWidth, endWidth, v.bulge);
    }
    // The vertices' reading left their own header in the shared buffer.
    *header = saved;
}

void readLightweight(AdDrawContext& entity, AdPolylineShape& shape) {
    const AdLwpolylineData& lw = entity.data->lwpolyline;
    if (lw.vertexCount <= 0 || !lw.vertices) return;
    AdStream* in = adStreamOpenRead(lw.vertices);
    if (!in) return;
    const bool constant = (lw.flags & kLwConstantWidth) != 0;
    // Bounded by the store: a count larger than the data ends with the data.
    for (std::int32_t i = 0; i < lw.vertexCount; ++i) {
        double xy[2], bulge = 0.0, widths[2] = {0.0, 0.0};
        if (!adStreamReadDouble(in, &xy[0]) || !adStreamReadDouble(in, &xy[1])) break;
        if ((lw.flags & kLwBulges) && !adStreamReadDouble(in, &bulge)) break;
        if ((lw.flags & kLwWidths) && (!adStreamReadDouble(in, &widths[0]) || !adStreamReadDouble(in, &widths[1])))
            break;
        if (constant) widths[0] = widths[1] = lw.constantWidth;
        const double point[3] = {xy[0], xy[1], lw.elevation};
        addVertex(shape, entity.drawing->display, point, widths[0], widths[1], bulge);
    }
    adStreamCloseRead(in);
}

}  // namespace

void adDrawPolylineEntity(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    AdDisplayState* state = drawing->display;
    const bool lightweight = entity.header->type != AD_ENTITY_POLYLINE;
    const AdPolylineData polyline = lightweight ? AdPolylineData{} : entity.data->polyline;
    // A polyline on a layer that is off reads past its vertices.
    if (entity.colour < 0) {
        if (!lightweight) adSkipToSeqend(drawing, entity.list);
        return;
    }
    if (!lightweight && (polyline.flags & (kMesh | kPolyface))) {
        const std::int16_t substitute = entity.inherited->depth != 0 ? 1 : 0;
        if (polyline.flags & kMesh)
            adDrawPolygonMesh(drawing, entity.matrices, entity.list, substitute);
        else
            adDrawPolyfaceMesh(drawing, entity.matrices, entity.inherited->colour, entity.list, substitute);
        return;
    }
    for (AdPatternState* s = adPatternStates(); s < adPatternStates() + AD_VIEWPORT_LIMIT; ++s) {
        s->carry = 0.0;
        s->index = 0;
        s->widePending = 0;
    }
    AdPolylineShape shape;
    try {
        if (lightweight) {
            const std::int16_t flags = entity.data->lwpolyline.flags;
            shape.closed = (flags & kLwClosed) != 0;
            shape.continuousPattern = (flags & kLwLinetypeGeneration) != 0;
            readLightweight(entity, shape);
        } else {
            shape.closed = (polyline.flags & kClosed) != 0;
            shape.continuousPattern = (polyline.flags & kLinetypeGeneration) != 0;
            readVertices(entity, shape, polyline);
        }
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_POLYLINE_VERTICES);
        if (!lightweight) adSkipToSeqend(drawing, entity.list);
        return;
    }
    state->drawingPolyline = 1;
    state->polyline3D = !lightweight && (polyline.flags & k3D) ? 1 : 0;
    state->restartAtVertex = shape.continuousPattern ? 0 : 1;
    adDrawPolylineShape(entity, shape);
    state->drawingPolyline = 0;
    state->polyline3D = 0;
    state->restartAtVertex = 1;
}
