// The arc caps of a multiline: half circles (or half discs) about the
// midpoint of two element points, in a frame that puts the first point on
// the frame's x axis.
#include "toolkit/display/curves.h"
#include "toolkit/display/emit.h"
#include "toolkit/display/mline.h"

#include <cmath>
#include <numbers>

namespace {

// The cap's frame and its per-viewport matrices; null matrices when memory
// ran out (the error is set then).
struct CapFrame {
    AdMatrix4 full;
    AdMatrix4* matrices = nullptr;
    double radius = 0.0;

    CapFrame(AdDrawing* drawing, const double a[3], const double b[3], const AdMatrix4* model, std::int32_t error) {
        const double h[3] = {(a[0] + b[0]) / 2.0, (a[1] + b[1]) / 2.0, (a[2] + b[2]) / 2.0};
        radius = adPointDistance(h, a);
        const AdEntityHeader* entity = adCurrentEntity();
        AdMatrix4 local;
        adMatrixIdentity(&local);
        if (entity->flags & AD_ENTITY_FLAG_EXTRUDED) adMatrixFromExtrusion(entity->extrusion, &local);
        AdMatrix4 translate;
        adMatrixIdentity(&translate);
        adMatrixPreTranslate(h, &translate);
        adMatrixMultiply(&local, &translate, &local);
        AdMatrix4 inverse = local;
        double start[4] = {a[0], a[1], a[2], 1.0};
        if (adMatrixInvert(&inverse)) adTransformPoint(start, &inverse, start);
        const double origin[2] = {0.0, 0.0};
        full = local;
        adMatrixMultiply(&full, model, &full);
        adMatrixRotateZ(adAngleFromCentre(origin, start), &full);
        matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
        if (!matrices) {
            adNoMemory(error);
            return;
        }
        const AdDisplayState* state = drawing->display;
        for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) adMatrixMultiply(&full, &state->viewports[v].full, &matrices[v]);
    }
    ~CapFrame() {
        if (matrices) HostFree(matrices);
    }
    CapFrame(const CapFrame&) = delete;
    CapFrame& operator=(const CapFrame&) = delete;
};

}  // namespace

void adDrawMlineArcCap(AdDrawing* drawing, const double a[3], const double b[3], double sign, std::int16_t colourA,
                       std::int16_t colourB, const AdMatrix4* model) {
    CapFrame frame(drawing, a, b, model, AD_ERR_MLINE_CAP_OUTLINE);
    if (!frame.matrices) return;
    AdDisplayState* state = drawing->display;
    const double centre[3] = {0.0, 0.0, 0.0};
    const double quarter = sign * std::numbers::pi / 2;
    if (colourA >= 0) adSetPenColor(drawing, colourA);
    adDrawArc(drawing, centre, 0.0, quarter, frame.radius, &frame.full, frame.matrices, 1, &state->continuousRecord,
              drawing, nullptr);
    if (colourB >= 0) adSetPenColor(drawing, colourB);
    adDrawArc(drawing, centre, quarter, 2.0 * quarter, frame.radius, &frame.full, frame.matrices, 1,
              &state->continuousRecord, drawing, nullptr);
}

void adFillMlineArcCap(AdDrawing* drawing, const double a[3], const double b[3], double sign, std::int16_t fillColour,
                       const AdMatrix4* model) {
    CapFrame frame(drawing, a, b, model, AD_ERR_MLINE_CAP_FILL);
    if (!frame.matrices) return;
    const std::int32_t steps = adCircleSegments(drawing->display, frame.radius) / 2;
    const double step = sign * std::numbers::pi / steps;
    const double centre[3] = {0.0, 0.0, 0.0};
    double previous[3] = {frame.radius, 0.0, 0.0};
    adSetPenColor(drawing, adMapColor(fillColour));
    for (std::int32_t k = 1; k <= steps; ++k) {
        const double next[3] = {frame.radius * std::cos(k * step), frame.radius * std::sin(k * step), 0.0};
        adFillQuad(drawing, centre, previous, next, next, frame.matrices);
        for (int i = 0; i < 3; ++i) previous[i] = next[i];
    }
}
