// The outline of a quadrilateral through the linetype applicator, and the
// intersection of lines and segments in the XY plane.
#include "toolkit/display/linetype.h"

#include <cmath>

namespace {

bool sameValue(double a, double b) { return std::fabs(a - b) < (std::fabs(a) + std::fabs(b)) * 1e-9 + 1e-10; }

bool samePoint(const double a[2], const double b[2]) { return sameValue(a[0], b[0]) && sameValue(a[1], b[1]); }

}  // namespace

void adQuadOutline(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3], const double p4[3],
                   const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing) {
    const double* corners[4] = {p1, p2, p3, p4};
    AdDisplayState* state = drawing->display;
    for (int side = 0; side < 4; ++side) {
        const double* a = corners[side];
        const double* b = corners[(side + 1) % 4];
        double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
        state->curveCounter += state->restartAtVertex;
        adApplyLinetype(drawing, start, end, nullptr, matrices, linetype, linetypeDrawing, nullptr, state->curveCounter,
                        0.0);
    }
}

int adIntersect2D(const double p0[2], const double p1[2], const double q0[2], const double q1[2], double point[2],
                  double* t, double* u) {
    const double d1x = p1[0] - p0[0], d1y = p1[1] - p0[1];
    const double d2x = q1[0] - q0[0], d2y = q1[1] - q0[1];
    const double den = d2x * d1y - d2y * d1x;
    double tt = 0.0, uu = 0.0;
    if (std::fabs(den) > 1e-6 * std::fabs(d1x * d2x + d1y * d2y)) {
        tt = (d2x * (q0[1] - p0[1]) - d2y * (q0[0] - p0[0])) / den;
        uu = (d1x * (q0[1] - p0[1]) - d1y * (q0[0] - p0[0])) / den;
    } else if (samePoint(p0, q0)) {
        tt = uu = 0.0;
    } else if (samePoint(p0, q1)) {
        tt = 0.0, uu = 1.0;
    } else if (samePoint(p1, q0)) {
        tt = 1.0, uu = 0.0;
    } else if (samePoint(p1, q1)) {
        tt = uu = 1.0;
    } else {
        return 0;
    }
    if (point) point[0] = p0[0] + tt * d1x, point[1] = p0[1] + tt * d1y;
    if (t) *t = tt;
    if (u) *u = uu;
    return 1;
}

int adSegmentsCross2D(const double p0[2], const double p1[2], const double q0[2], const double q1[2],
                      double point[2]) {
    double t = 0.0, u = 0.0;
    if (!adIntersect2D(p0, p1, q0, q1, point, &t, &u)) return 0;
    const double lo = -1e-12, hi = 1.000000000001;
    return t >= lo && t <= hi && u >= lo && u <= hi;
}

int adLinesMeet2D(const double p0[2], const double p1[2], const double q0[2], const double q1[2], double point[2]) {
    return adIntersect2D(p0, p1, q0, q1, point, nullptr, nullptr);
}
