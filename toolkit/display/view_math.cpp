// The matrices of a view: world to view from target, direction and up
// vector, view to device from a device rectangle, and the boxes mapped
// through them.
#include "toolkit/display/view.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSmallComponent = 1e-13;

// M = M x R, R an axis rotation given by its sine and cosine.
void axisRotation(double sn, double cs, AdMatrix4* matrix, int axis) {
    AdMatrix4 r = adIdentityMatrix;
    const int a = axis == 0 ? 1 : 0;
    const int b = axis == 2 ? 1 : 2;
    if (axis == 1) {
        r.m[a][a] = cs, r.m[a][b] = -sn, r.m[b][a] = sn, r.m[b][b] = cs;
    } else {
        r.m[a][a] = cs, r.m[a][b] = sn, r.m[b][a] = -sn, r.m[b][b] = cs;
    }
    adMatrixMultiply(matrix, &r, matrix);
}

void zeroSmall(double v[3]) {
    for (int i = 0; i < 3; ++i)
        if (std::fabs(v[i]) < kSmallComponent) v[i] = 0.0;
}

}  // namespace

void adViewOrientation(const double target[4], const double direction[4], const double up[4], double cx, double cy,
                       AdMatrix4* out) {
    AdMatrix4 v = adIdentityMatrix;
    for (int j = 0; j < 3; ++j) v.m[3][j] = -target[j];
    double d[4] = {direction[0], direction[1], direction[2], 0.0};
    adVectorNormalize(d);
    const double r = std::sqrt(d[1] * d[1] + d[2] * d[2]);
    if (r > 1e-30) axisRotation(d[1] / r, d[2] / r, &v, 0);
    axisRotation(-d[0], r, &v, 1);
    const double u[4] = {up[0], up[1], up[2], 0.0};
    double uv[4];
    adTransformPoint(u, &v, uv);
    // Translation does not move a direction; take it off the w = 0 product.
    const double ux = uv[0], uy = uv[1];
    const double l = std::sqrt(ux * ux + uy * uy);
    if (l > 1e-30) axisRotation(ux / l, uy / l, &v, 2);
    v.m[3][0] -= cx;
    v.m[3][1] -= cy;
    *out = v;
}

void adUpVector(const double direction[4], double twist, double upOut[4]) {
    double d[4] = {direction[0], direction[1], direction[2], 0.0};
    adVectorNormalize(d);
    double up[4] = {0.0, 1.0, 0.0, 0.0};
    if (d[0] != 0.0 || d[1] != 0.0) {
        const double z[3] = {0.0, 0.0, 1.0};
        double t[4];
        adVectorCross(z, d, t);
        adVectorCross(d, t, up);
    }
    if (twist != 0.0) {
        const double origin[3] = {0.0, 0.0, 0.0};
        adRotateAboutAxis(up, origin, d, -twist);
        adVectorNormalize(up);
    }
    zeroSmall(up);
    upOut[0] = up[0], upOut[1] = up[1], upOut[2] = up[2], upOut[3] = 0.0;
}

void adViewGroundPoint(const AdDisplayState* state, double pointOut[4]) {
    AdMatrix4 w = state->worldToView;
    const double origin[4] = {0.0, 0.0, 0.0, 1.0};
    const double ahead[4] = {0.0, 0.0, 1.0, 1.0};
    double p0[4] = {0.0, 0.0, 0.0, 1.0}, p1[4] = {0.0, 0.0, 1.0, 1.0};
    if (adMatrixInvert(&w)) {
        adTransformPoint(origin, &w, p0);
        adTransformPoint(ahead, &w, p1);
    }
    double out[4] = {0.0, 0.0, 0.0, 1.0};
    for (int k = 2; k >= 0; --k) {
        if (std::fabs(p1[k] - p0[k]) <= 1e-6) continue;
        for (int i = 0; i < 3; ++i) out[i] = p0[i] - (p0[i] - p1[i]) * p0[k] / (p0[k] - p1[k]);
        break;
    }
    for (int i = 0; i < 4; ++i) pointOut[i] = out[i];
}

void adViewToDeviceMatrix(double x1, double y1, double x2, double y2, double width, double height, AdMatrix4* out) {
    if (width == 0.0) width = height;
    if (height == 0.0) height = width;
    if (width == 0.0) width = height = 1.0;
    const double sx = (x2 - x1) / width, sy = (y2 - y1) / height;
    AdMatrix4 m = adIdentityMatrix;
    const double t[3] = {(x1 + x2) / 2.0 + 0.5, (y1 + y2) / 2.0 + 0.5, 0.0};
    adMatrixPreTranslate(t, &m);
    adMatrixScaleAxes(sx, sy, sx, &m);
    *out = m;
}

double adRectAspect(double x1, double y1, double x2, double y2) {
    const double height = y2 - y1;
    return (x2 - x1) / (std::fabs(height) < 1e-10 ? 1.0 : height);
}

void adDeviceBoxToWorld(const AdMatrix4* matrix, const double p1[2], const double p2[2], double out1[4],
                        double out2[4]) {
    AdMatrix4 inverse = *matrix;
    const double a[4] = {p1[0], p1[1], 0.0, 1.0}, b[4] = {p2[0], p2[1], 0.0, 1.0};
    // A singular matrix maps nothing back: the device points stand.
    if (!adMatrixInvert(&inverse)) inverse = adIdentityMatrix;
    adTransformPoint(a, &inverse, out1);
    adTransformPoint(b, &inverse, out2);
}

void adTransformBox(const double min[4], const double max[4], const AdMatrix4* matrix, double outMin[4],
                    double outMax[4]) {
    for (int i = 0; i < 3; ++i) outMin[i] = 1e300, outMax[i] = -1e300;
    for (int corner = 0; corner < 8; ++corner) {
        const double p[4] = {corner & 1 ? max[0] : min[0], corner & 2 ? max[1] : min[1], corner & 4 ? max[2] : min[2],
                             1.0};
        double q[4];
        adTransformPoint(p, matrix, q);
        for (int i = 0; i < 3; ++i) {
            outMin[i] = std::min(outMin[i], q[i]);
            outMax[i] = std::max(outMax[i], q[i]);
        }
    }
    outMin[3] = outMax[3] = 1.0;
}

void adSetSpaceMode(AdDrawing* drawing, std::int8_t paper) {
    AdDisplayState* state = drawing->display;
    state->paperSpace = paper ? 1 : 0;
    state->viewportCount = paper ? std::max<std::int16_t>(state->layoutViewportCount, 1) : 1;
}
