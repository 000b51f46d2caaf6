// The built-in arrowhead shapes: closed filled, closed, open, dot, origin
// circle, open 90 and oblique, drawn with the continuous linetype.
#include "toolkit/display/emit.h"
#include "toolkit/display/leader.h"
#include "toolkit/display/linetype.h"

#include <cmath>
#include <numbers>

namespace {

constexpr std::int16_t kFilled = 0, kClosed = 1, kOpen = 2, kDot = 3, kOrigin = 4, kOpen90 = 5, kNone = 6,
                       kOblique = 7;
constexpr double kOpen90Factor = 2.777777;
constexpr std::int32_t kDefaultCircleSteps = 30;

struct Pen {
    AdDrawing* drawing;
    const AdMatrix4* model;
    const AdMatrix4* matrices;

    void segment(const double a[3], const double b[3]) const {
        AdDisplayState* state = drawing->display;
        double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
        adApplyLinetype(drawing, start, end, model, matrices, &state->continuousRecord, drawing, nullptr,
                        ++state->curveCounter, 0.0);
    }
};

void along(const double base[3], const double d[3], double t, const double p[3], double u, double out[3]) {
    for (int i = 0; i < 3; ++i) out[i] = base[i] + t * d[i] + u * p[i];
}

}  // namespace

void adMovePointToward(double point[3], const double target[3], double distance) {
    double d[4] = {target[0] - point[0], target[1] - point[1], target[2] - point[2], 0.0};
    adVectorNormalize(d);
    for (int i = 0; i < 3; ++i) point[i] += distance * d[i];
}

void adDrawArrowShape(AdDrawing* drawing, double tip[3], const double other[3], const AdMatrix4* model,
                      const AdMatrix4* matrices, const char* blockName, double halfSize, bool move) {
    std::int16_t code = 8;
    adArrowheadIndex(blockName, &code);
    const double length = 2.0 * halfSize;
    if (code == kNone || code > kOblique) return;
    if (adPointDistance(tip, other) < 2.0 * length) return;
    double d[4] = {other[0] - tip[0], other[1] - tip[1], other[2] - tip[2], 0.0};
    adVectorNormalize(d);
    const AdEntityHeader* entity = adCurrentEntity();
    double n[3] = {0.0, 0.0, 1.0};
    if (entity->flags & AD_ENTITY_FLAG_EXTRUDED)
        for (int i = 0; i < 3; ++i) n[i] = entity->extrusion[i];
    double p[4] = {n[1] * d[2] - n[2] * d[1], n[2] * d[0] - n[0] * d[2], n[0] * d[1] - n[1] * d[0], 0.0};
    adVectorNormalize(p);
    const Pen pen{drawing, model, matrices};
    double back[3] = {tip[0], tip[1], tip[2]}, p1[3], p2[3];
    bool hasBack = true;
    switch (code) {
    case kFilled: case kClosed: case kOpen:
        along(tip, d, length, p, 0.0, back);
        along(back, d, 0.0, p, length / 6.0, p1);
        along(back, d, 0.0, p, -length / 6.0, p2);
        break;
    case kDot: case kOrigin:
        along(tip, d, length / 2.0, p, 0.0, back);
        break;
    case kOpen90:
        along(tip, d, length * (kOpen90Factor / 3.0), p, 0.0, back);
        along(back, d, 0.0, p, length * (kOpen90Factor / 6.0), p1);
        along(back, d, 0.0, p, -length * (kOpen90Factor / 6.0), p2);
        break;
    default:  // oblique: a stroke through the tip, no back point
        along(tip, d, length / 2.0, p, length / 2.0, p1);
        along(tip, d, -length / 2.0, p, -length / 2.0, p2);
        hasBack = false;
        break;
    }
    if (code == kDot || code == kOrigin) {
        std::int32_t steps = 4 * adGetCurveResolution();
        if (steps < 1) steps = kDefaultCircleSteps;
        const double radius = length / 2.0;
        double previous[3];
        along(tip, d, 0.0, p, radius, previous);
        for (std::int32_t k = 1; k <= steps; ++k) {
            const double a = 2.0 * std::numbers::pi * k / steps;
            double next[3];
            along(tip, d, std::sin(a) * radius, p, std::cos(a) * radius, next);
            pen.segment(previous, next);
            if (code == kDot) adFillQuad(drawing, tip, previous, next, next, matrices);
            for (int i = 0; i < 3; ++i) previous[i] = next[i];
        }
    } else {
        pen.segment(tip, p1);
        if (code != kOpen && code != kOpen90) pen.segment(p1, p2);
        pen.segment(p2, tip);
        if (code == kFilled) adFillQuad(drawing, tip, p1, p2, p2, matrices);
    }
    const bool stays = !move && (code == kOpen || code == kOpen90 || code == kOblique);
    if (hasBack && !stays)
        for (int i = 0; i < 3; ++i) tip[i] = back[i];
}
