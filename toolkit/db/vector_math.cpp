// Vector, segment-angle and ellipse helpers, and the arc that a polyline
// bulge stands for.
#include "toolkit/ad_internal.h"

#include <cmath>

namespace {

constexpr double kSameCoordinate = 1e-14;
constexpr double kHorizontalSlope = 1e-12;
// How close tan may come to its poles before the angle is nudged away.
constexpr double kPoleDistance = 1e-13;
constexpr double kPoleNudge = 2e-13;

int finite(double a, double b, double c) { return std::isfinite(a) && std::isfinite(b) && std::isfinite(c); }

}  // namespace

void adVectorNormalize(double vector[4]) {
    const double length = std::sqrt(vector[0] * vector[0] + vector[1] * vector[1] + vector[2] * vector[2]);
    if (length != 0.0) {
        vector[0] /= length;
        vector[1] /= length;
        vector[2] /= length;
    }
    vector[3] = 1.0;
}

void adVectorCrossRaw(const double a[3], const double b[3], double out[4]) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = 1.0;
}

void adVectorCross(const double a[3], const double b[3], double out[4]) {
    adVectorCrossRaw(a, b, out);
    adVectorNormalize(out);
}

double adAngleOfSegment(const double p[2], const double q[2]) {
    if (q[0] == p[0]) return q[1] < p[1] ? -AD_PI / 2 : AD_PI / 2;
    const double angle = std::atan((q[1] - p[1]) / (q[0] - p[0]));
    return q[0] < p[0] ? angle + AD_PI : angle;
}

double adAngleBetweenAtVertex(const double p0[2], const double vertex[2], const double p2[2]) {
    const double between = std::fabs(adAngleOfSegment(vertex, p2) - adAngleOfSegment(vertex, p0));
    return between > AD_PI ? 2 * AD_PI - between : between;
}

double adEllipseParamToAngle(double parameter, double ratio) {
    return std::atan2(std::sin(parameter) * ratio, std::cos(parameter));
}

double adEllipseAngleToParam(double angle, double ratio) {
    return std::atan2(std::sin(angle), std::cos(angle) * ratio);
}

// The centre lies on the chord's perpendicular bisector, on the line through
// p1 whose direction the included angle fixes.
int adBulgeArcCenter(const double p1[2], const double p2[2], double angle, double* cx, double* cy, double* radius) {
    if (!p1 || !p2 || !cx || !cy || !radius) return 0;
    const double x1 = p1[0], y1 = p1[1], x2 = p2[0], y2 = p2[1];
    const double mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    *cx = mx;
    *cy = my;
    *radius = 0.0;
    const int vertical = std::fabs(x1 - x2) < kSameCoordinate;
    if (vertical && std::fabs(y1 - y2) < kSameCoordinate) {
        *cx = x1;
        *cy = y1;
        return 1;
    }
    // A zero angle is a straight segment: tan(angle / 2) would be 0 and the
    // centre infinitely far away.
    if (angle == 0.0 || !std::isfinite(angle)) return 0;
    double x = 0.0, y = 0.0;
    const double slope = vertical ? 0.0 : (y1 - y2) / (x1 - x2);
    if (!vertical && std::fabs(slope) < kHorizontalSlope) {
        x = mx;
        y = my - (x1 - mx) / std::tan(angle / 2);
    } else {
        const double e = vertical ? 0.0 : -1.0 / slope;
        const double b = my - e * mx;
        double g = std::atan(e) - angle / 2;
        const double turns = std::fabs((g - AD_PI / 2) / AD_PI);
        const double k = turns - std::floor(turns);
        if (k < kPoleDistance || std::fabs(1 - k) < kPoleDistance) g -= kPoleNudge;
        const double m = std::tan(g);
        x = (y1 - m * x1 - b) / (e - m);
        y = e * x + b;
    }
    const double r = std::hypot(x2 - x, y2 - y);
    if (!finite(x, y, r)) return 0;
    *cx = x;
    *cy = y;
    *radius = r;
    return 1;
}
