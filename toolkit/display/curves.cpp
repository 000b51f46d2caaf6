// Circles, arcs and ellipses as chords, each chord through the linetype
// applicator with the curve's counter value, so that a dash pattern runs on
// from chord to chord.
#include "toolkit/display/curves.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The entity linetype scale that fits a whole number of patterns along
// length L; the scale as it is when nothing fits.
double fittedScale(const AdDrawing* drawing, const AdLtypeRecord* linetype, double scale, double length) {
    const double ltscale = drawing->header ? drawing->header->ltscale : 1.0;
    const double p = ltscale * scale * linetype->patternLength;
    if (!(p > 1e-5)) return scale;
    const double u = std::trunc(length / p);
    const double e = std::fabs(u * p - length);
    if (u == 0.0 || !(e > 1e-4)) return scale;
    const double repeats = e >= p / 4.0 || u == 1.0 ? u + 1.0 : u;
    const double fitted = length / (repeats * linetype->patternLength * ltscale);
    return std::isfinite(fitted) ? fitted : scale;
}

}  // namespace

void adGrowExtents(const double p[3], const double q[3], const AdArcBox* extents) {
    for (const double* point : {p, q}) {
        const double in[4] = {point[0], point[1], point[2], 1.0};
        double out[4];
        adTransformPoint(in, extents->matrix, out);
        for (int i = 0; i < 2; ++i) {
            extents->box[i] = std::min(extents->box[i], out[i]);
            extents->box[i + 3] = std::max(extents->box[i + 3], out[i]);
        }
    }
}

std::int32_t adCurveSetting(const AdEntityHeader* header) {
    return header->flags & AD_ENTITY_FLAG_BOUNDARY ? adRender->segmentCount : adRender->curveResolution;
}

std::int32_t adCircleSegments(const AdDisplayState* state, double radius) {
    const double root = std::sqrt(std::fabs(radius * state->currentScale));
    const double raw = kTwoPi * root;
    // Beyond any cap: a huge circle gets the cap, a NaN the least.
    const std::int32_t n = raw >= 1e9 ? 1000000000 : raw >= 0.0 ? static_cast<std::int32_t>(raw) : 0;
    const std::int32_t rounded = n >> 2 << 2;
    if (rounded < 4) return 4;
    const std::int32_t cap = adRenderValues.maxCircleSegments != 0 ? adRenderValues.maxCircleSegments : 64;
    return std::min(rounded, cap);
}

std::int32_t adArcSegments(const AdDisplayState* state, double sweep, double radius, std::int32_t setting) {
    const std::int32_t perCircle = setting != 0 ? 4 * setting : adCircleSegments(state, radius);
    const double n = std::fabs(sweep) / kTwoPi * perCircle + 0.5;
    // A sweep of many turns is still drawn once round.
    const double limited = std::min(n, static_cast<double>(perCircle) + 0.5);
    return std::max(std::isfinite(limited) ? static_cast<std::int32_t>(limited) : 0, 2);
}

std::int32_t adDrawArc(AdDrawing* drawing, const double centre[3], double start, double end, double radius,
                       const AdMatrix4* block, const AdMatrix4* matrices, std::uint8_t draw,
                       const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing, const AdArcBox* box) {
    AdDisplayState* state = drawing->display;
    AdEntityHeader* entity = adCurrentEntity();
    const double sweep = end - start;
    const std::int32_t n = adArcSegments(state, sweep, radius, adCurveSetting(entity));
    const double step = sweep / n;
    double p[3] = {centre[0] + radius * std::cos(start), centre[1] + radius * std::sin(start), centre[2]};
    const double length = radius * std::fabs(sweep);
    const std::int32_t curve = ++state->curveCounter;
    const double ownScale = entity->linetypeScale;
    if (linetype) entity->linetypeScale = fittedScale(drawing, linetype, ownScale, length);
    const double cs = std::cos(step), sn = std::sin(step);
    for (std::int32_t i = 0; i < n; ++i) {
        const double dx = p[0] - centre[0], dy = p[1] - centre[1];
        double q[3] = {centre[0] + dx * cs - dy * sn, centre[1] + dx * sn + dy * cs, p[2]};
        if (box) adGrowExtents(p, q, box);
        if (draw) {
            double a[3] = {p[0], p[1], p[2]}, b[3] = {q[0], q[1], q[2]};
            adApplyLinetype(drawing, a, b, block, matrices, linetype, linetypeDrawing, nullptr, curve, length);
        }
        p[0] = q[0], p[1] = q[1];
    }
    // The fitted scale belongs to this arc: the entity's next arc fits its own.
    entity->linetypeScale = ownScale;
    return n;
}

int adDrawEllipse(AdDrawing* drawing, AdEllipseData* ellipse, const AdMatrix4* block, const AdLtypeRecord* linetype,
                  AdDrawing* linetypeDrawing) {
    AdDisplayState* state = drawing->display;
    const AdEntityHeader* entity = adCurrentEntity();
    AdMatrix4 frame = adIdentityMatrix;
    adMatrixPreTranslate(ellipse->centre, &frame);
    if (entity->flags & AD_ENTITY_FLAG_EXTRUDED) adMatrixMultiply(&adDisplayGlobals->objectMatrix, &frame, &frame);
    AdMatrix4 inverse = frame;
    if (adMatrixInvert(&inverse)) {
        const double end[4] = {ellipse->centre[0] + ellipse->majorAxis[0], ellipse->centre[1] + ellipse->majorAxis[1],
                               ellipse->centre[2] + ellipse->majorAxis[2], 1.0};
        double axis[4];
        adTransformPoint(end, &inverse, axis);
        for (int i = 0; i < 3; ++i) ellipse->majorAxis[i] = axis[i];
    }
    adMatrixMultiply(&frame, block, &frame);
    auto* matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
    if (!matrices) {
        adNoMemory(AD_ERR_ELLIPSE_MATRICES);
        return 0;
    }
    for (int v = 0; v < state->viewportCount && v < AD_VIEWPORT_LIMIT; ++v)
        adMatrixMultiply(&frame, &state->viewports[v].full, &matrices[v]);
    double sweep = ellipse->endParameter - ellipse->startParameter;
    if (!std::isfinite(sweep)) sweep = kTwoPi;
    while (sweep <= 0.0) sweep += kTwoPi;
    const double* axis = ellipse->majorAxis;
    const double a = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1]), b = a * ellipse->axisRatio;
    double theta;
    if (axis[0] == 0.0)
        theta = axis[1] < 0.0 ? -std::numbers::pi / 2.0 : std::numbers::pi / 2.0;
    else
        theta = std::atan(axis[1] / axis[0]) + (axis[0] < 0.0 ? std::numbers::pi : 0.0);
    const std::int32_t n = adArcSegments(state, sweep, a, adCurveSetting(entity));
    const double step = sweep / n, cs = std::cos(step), sn = std::sin(step);
    const double ct = std::cos(theta), st = std::sin(theta);
    double c = std::cos(ellipse->startParameter), s = std::sin(ellipse->startParameter);
    auto point = [&](double out[3]) {
        out[0] = a * c * ct - b * s * st;
        out[1] = a * c * st + b * s * ct;
        out[2] = 0.0;
    };
    double p[3];
    point(p);
    const double length = a * sweep;
    const std::int32_t curve = ++state->curveCounter;
    for (std::int32_t i = 0; i < n; ++i) {
        const double nc = c * cs - s * sn, ns = s * cs + c * sn;
        c = nc, s = ns;
        double q[3];
        point(q);
        double from[3] = {p[0], p[1], p[2]}, to[3] = {q[0], q[1], q[2]};
        adApplyLinetype(drawing, from, to, block, matrices, linetype, linetypeDrawing, nullptr, curve, length);
        p[0] = q[0], p[1] = q[1];
    }
    HostFree(matrices);
    return 1;
}
