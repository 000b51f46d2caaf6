// The outline of a non-rectangular viewport's clip entity as 2D points in
// sheet units: circles, ellipses, splines and polylines (bulges as arcs),
// their curves cut into the fixed segment count, so that the outline has the
// same shape at every zoom.
#include "toolkit/display/boundary_outline.h"

#include "toolkit/display/curves.h"
#include "toolkit/display/emit.h"
#include "toolkit/display/region_outline.h"
#include "toolkit/display/spline.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr double kBulgeFloor = 0.00005;

struct Points {
    AdStream* out;
    bool ok = true;
    void add(double x, double y) {
        const double p[2] = {x, y};
        ok = ok && std::isfinite(x) && std::isfinite(y) && adStreamWritePoint2D(out, p);
    }
};

void arcPoints(const AdDisplayState* state, double cx, double cy, double start, double end, double r,
               std::int32_t setting, Points& points) {
    const std::int32_t n = adArcSegments(state, end - start, r, setting);
    const double step = (end - start) / n;
    for (std::int32_t i = 0; i <= n; ++i) points.add(cx + r * std::cos(start + i * step), cy + r * std::sin(start + i * step));
}

void ellipsePoints(const AdDisplayState* state, const AdEllipseData& e, std::int32_t setting, Points& points) {
    const double sweep = e.endParameter - e.startParameter;
    const double a = std::hypot(e.majorAxis[0], e.majorAxis[1]), b = a * e.axisRatio;
    const double theta = e.majorAxis[0] == 0.0 ? (e.majorAxis[1] < 0.0 ? -std::numbers::pi / 2.0 : std::numbers::pi / 2.0)
                                               : std::atan(e.majorAxis[1] / e.majorAxis[0]) + (e.majorAxis[0] < 0.0 ? std::numbers::pi : 0.0);
    const std::int32_t n = adArcSegments(state, sweep, a, setting);
    const double ct = std::cos(theta), st = std::sin(theta);
    for (std::int32_t i = 0; i <= n; ++i) {
        const double t = e.startParameter + sweep * i / n;
        const double c = std::cos(t), s = std::sin(t);
        points.add(e.centre[0] + a * c * ct - b * s * st, e.centre[1] + a * c * st + b * s * ct);
    }
}

// Consecutive vertices: repeats skipped, bulged steps as arcs, and the
// closing arc when the last vertex has a bulge.
struct PolylinePoints {
    const AdDisplayState* state;
    std::int32_t setting;
    Points& points;
    double first[2] = {0.0, 0.0};
    double previous[2] = {0.0, 0.0};
    double bulge = 0.0;
    bool started = false;

    void vertex(const double p[2], double nextBulge) {
        if (!started) {
            started = true;
            first[0] = p[0], first[1] = p[1];
            points.add(p[0], p[1]);
        } else {
            if (p[0] == previous[0] && p[1] == previous[1]) return;
            step(p);
        }
        previous[0] = p[0], previous[1] = p[1];
        bulge = nextBulge;
    }
    void step(const double p[2]) {
        if (std::fabs(bulge) < kBulgeFloor) {
            points.add(p[0], p[1]);
            return;
        }
        const double included = 4.0 * std::atan(bulge);
        double cx = 0.0, cy = 0.0, r = 0.0;
        if (!adBulgeArcCenter(previous, p, included, &cx, &cy, &r) || !(r > 0.0)) {
            points.add(p[0], p[1]);
            return;
        }
        const double start = std::atan2(previous[1] - cy, previous[0] - cx);
        arcPoints(state, cx, cy, start, start + included, r, setting, points);
    }
    void close() {
        if (started && std::fabs(bulge) >= kBulgeFloor) step(first);
    }
};

void lightweightPoints(const AdDisplayState* state, const AdLwpolylineData& lw, std::int32_t setting, Points& points) {
    if (!lw.vertices) return;
    AdStream* in = adStreamOpenRead(lw.vertices);
    if (!in) return;
    PolylinePoints walk{state, setting, points};
    for (std::int32_t i = 0; i < lw.vertexCount; ++i) {
        double p[2], bulge = 0.0, widths[2];
        if (!adStreamReadDouble(in, &p[0]) || !adStreamReadDouble(in, &p[1])) break;
        if ((lw.flags & 0x10) && !adStreamReadDouble(in, &bulge)) break;
        if ((lw.flags & 0x20) && (!adStreamReadDouble(in, &widths[0]) || !adStreamReadDouble(in, &widths[1]))) break;
        walk.vertex(p, bulge);
    }
    walk.close();
    adStreamCloseRead(in);
}

// The VERTEX records that follow the POLYLINE, up to the first entity that
// is not one; spline frame points are left out.
void polylinePoints(const AdDisplayState* state, AdRecordList* list, std::int32_t setting, Points& points) {
    AdEntityHeader header{};
    auto data = std::make_unique<AdEntityData>();
    PolylinePoints walk{state, setting, points};
    for (std::int32_t guard = adListCount(list); guard > 0 && adEntityNext(list, &header, data.get()); --guard) {
        if (header.type != AD_ENTITY_VERTEX) break;
        if (data->vertex.flags & 0x10) continue;
        walk.vertex(data->vertex.point, data->vertex.bulge);
    }
    walk.close();
}

}  // namespace

AdStore* adClipEntityOutline(AdDrawing* drawing, const AdHandle* entityHandle, AdRecordList* list) {
    if (!list) return nullptr;
    AdEntityHeader header{};
    auto data = std::make_unique<AdEntityData>();
    if (!adEntityByHandle(drawing, list, entityHandle, &header, data.get())) return nullptr;
    // The entity is a boundary from now on: drawn as an entity too, its
    // curves keep the outline's shape.
    if (!(header.flags & AD_ENTITY_FLAG_BOUNDARY)) {
        header.flags |= AD_ENTITY_FLAG_BOUNDARY;
        adEntityUpdate(drawing, list, entityHandle, &header, data.get());
        adEntityByHandle(drawing, list, entityHandle, &header, data.get());
    }
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) {
        if (store) adStoreFree(store);
        return nullptr;
    }
    const AdDisplayState* state = drawing->display;
    const std::int32_t setting = adRender->segmentCount;
    Points points{out};
    bool known = true;
    switch (header.type) {
    case AD_ENTITY_CIRCLE: {
        const AdCircleData& c = data->circle;
        arcPoints(state, c.centre[0], c.centre[1], 0.0, 2.0 * std::numbers::pi, c.radius, setting, points);
        break;
    }
    case AD_ENTITY_ELLIPSE:
        ellipsePoints(state, data->ellipse, setting, points);
        break;
    case AD_ENTITY_SPLINE: {
        std::uint16_t chords = 0;
        points.ok = adDrawSpline(drawing, &data->spline, &adIdentityMatrix, nullptr, nullptr, drawing, setting, out,
                                 &chords) != 0;
        break;
    }
    case AD_ENTITY_POLYLINE:
        polylinePoints(state, list, setting, points);
        break;
    case AD_ENTITY_REGION:
        points.ok = adRegionOutline(data->sat.satText, out, setting) != 0;
        break;
    default:
        known = adEntityKind(drawing, header.type) == AD_KIND_LWPOLYLINE;
        if (known) lightweightPoints(state, data->lwpolyline, setting, points);
        break;
    }
    adStreamCloseWrite(out);
    if (known && points.ok) return store;
    adStoreFree(store);
    return nullptr;
}
