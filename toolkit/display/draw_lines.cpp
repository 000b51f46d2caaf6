// The straight-line types of the dispatcher: LINE and 3DLINE, RAY and XLINE
// clipped to each viewport, VIEWPORT borders, and the rectangle outline.
#include "toolkit/display/handlers.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/view.h"

#include <cmath>
#include <utility>

namespace {

constexpr double kInfinite = 1e10;

}  // namespace

void adDrawLineEntity(AdDrawContext& entity) {
    const AdLineData& line = entity.data->line;
    if (entity.header->type == AD_ENTITY_LINE && entity.linetype->dashCount <= 0) {
        AdDisplayState* state = entity.drawing->display;
        int first = 0, end = 1;
        adViewportRange(state, &first, &end);
        for (int v = first; v < end; ++v)
            if (adViewportDrawable(state, v)) adEmitThickSegment(entity.drawing, line.start, line.end, entity.matrices, v);
        ++state->curveCounter;
        return;
    }
    adDrawSegment(entity, line.start, line.end);
}

void adDrawRayEntity(AdDrawContext& entity) {
    adDrawInfiniteLine(entity, entity.header->type, entity.data->ray.base, entity.data->ray.direction);
}

// At the top level the first VIEWPORT is the sheet's own and is not drawn;
// every other one gets its border unless it is clipped to an outline.
void adDrawViewportEntity(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    AdDisplayState* state = drawing->display;
    const AdViewportData& viewport = entity.data->viewport;
    const double x1 = viewport.centre[0] - viewport.width / 2.0, x2 = viewport.centre[0] + viewport.width / 2.0;
    const double y1 = viewport.centre[1] - viewport.height / 2.0, y2 = viewport.centre[1] + viewport.height / 2.0;
    const double z = viewport.centre[2];
    AdDisplayState* top = adTopState(drawing);
    if (!top->extentsValid && (state->activeViewports & 1)) {
        const double corners[2][3] = {{x1, y1, z}, {x2, y2, z}};
        for (const auto& corner : corners) {
            double device[2];
            adTransformToDevice(corner, &entity.matrices[0], device);
            adWidenExtents(top, device[0], device[1]);
        }
    }
    if (entity.inherited->depth == 0 && !state->firstViewportSeen) {
        state->firstViewportSeen = 1;
        return;
    }
    if (viewport.statusFlags & 0x10000) return;
    adDrawRectOutline(drawing, x1, y1, x2, y2, z, entity.matrices, &state->continuousRecord, drawing);
}

void adDrawSegment(AdDrawContext& entity, const double start[3], const double end[3]) {
    AdDisplayState* state = entity.drawing->display;
    double a[3] = {start[0], start[1], start[2]}, b[3] = {end[0], end[1], end[2]};
    adApplyLinetype(entity.drawing, a, b, entity.block, entity.matrices, entity.linetype, entity.linetypeDrawing,
                    nullptr, ++state->curveCounter, 0.0);
}

void adDrawRectOutline(AdDrawing* drawing, double x1, double y1, double x2, double y2, double z,
                       const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing) {
    const double p1[3] = {x1, y1, z}, p2[3] = {x2, y1, z}, p3[3] = {x2, y2, z}, p4[3] = {x1, y2, z};
    adQuadOutline(drawing, p1, p2, p3, p4, matrices, linetype, linetypeDrawing);
}

int adClipSegmentToRect(double a[], double b[], double xmin, double ymin, double xmax, double ymax) {
    auto code = [&](const double* p) {
        int c = p[0] < xmin ? 1 : p[0] > xmax ? 2 : 0;
        return c | (p[1] < ymin ? 4 : p[1] > ymax ? 8 : 0);
    };
    // Each round moves one end onto one more edge: eight rounds settle it.
    for (int round = 0; round < 8; ++round) {
        int ca = code(a), cb = code(b);
        if (ca & cb) return 0;
        if (ca == 0 && cb == 0) return 1;
        if (ca == 0) {
            std::swap(a[0], b[0]);
            std::swap(a[1], b[1]);
            std::swap(ca, cb);
        }
        if (ca & 8) {
            a[0] += (b[0] - a[0]) * (ymax - a[1]) / (b[1] - a[1]), a[1] = ymax;
        } else if (ca & 4) {
            a[0] += (b[0] - a[0]) * (ymin - a[1]) / (b[1] - a[1]), a[1] = ymin;
        } else if (ca & 2) {
            a[1] += (b[1] - a[1]) * (xmax - a[0]) / (b[0] - a[0]), a[0] = xmax;
        } else {
            a[1] += (b[1] - a[1]) * (xmin - a[0]) / (b[0] - a[0]), a[0] = xmin;
        }
    }
    return code(a) == 0 && code(b) == 0;
}

// The line is cut to each viewport's device rectangle first, so that its
// dash pattern is walked only over what shows.
void adDrawInfiniteLine(AdDrawContext& entity, std::uint16_t type, const double base[3], const double direction[3]) {
    AdDisplayState* state = entity.drawing->display;
    const std::uint64_t active = state->activeViewports;
    double from[4] = {base[0], base[1], base[2], 1.0};
    const double to[4] = {base[0] + kInfinite * direction[0], base[1] + kInfinite * direction[1],
                          base[2] + kInfinite * direction[2], 1.0};
    if (type == AD_ENTITY_XLINE)
        for (int i = 0; i < 3; ++i) from[i] = base[i] - kInfinite * direction[i];
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end; ++v) {
        state->activeViewports = active;
        if (!adViewportDrawable(state, v)) continue;
        double a[4], b[4];
        adTransformPoint(from, &entity.matrices[v], a);
        adTransformPoint(to, &entity.matrices[v], b);
        const double* r = state->viewports[v].deviceRect;
        if (!adClipSegmentToRect(a, b, r[0], r[1], r[2], r[3])) continue;
        double wa[4], wb[4];
        adDeviceBoxToWorld(&entity.matrices[v], a, b, wa, wb);
        state->activeViewports = std::uint64_t{1} << v;
        adDrawSegment(entity, wa, wb);
    }
    state->activeViewports = active;
}
