// Vector helpers of the display engine: extrusion frames, rotation about an
// axis, plane normals and circles through three points.
#include "toolkit/display/render_state.h"

#include <cmath>

namespace {

// Points within the threshold of the z axis take the y axis as their helper
// (the arbitrary-axis rule of drawing files).
constexpr double kArbitraryAxisLimit = 1.0 / 64.0;

}  // namespace

void adMatrixFromExtrusion(const double normal[3], AdMatrix4* matrix) {
    *matrix = adIdentityMatrix;
    for (int j = 0; j < 3; ++j) matrix->m[2][j] = normal[j];
    const bool nearZ = std::fabs(normal[0]) < kArbitraryAxisLimit && std::fabs(normal[1]) < kArbitraryAxisLimit;
    const double helper[3] = {0.0, nearZ ? 1.0 : 0.0, nearZ ? 0.0 : 1.0};
    double xAxis[4], yAxis[4];
    adVectorCross(helper, normal, xAxis);
    adVectorCross(normal, xAxis, yAxis);
    for (int j = 0; j < 3; ++j) {
        matrix->m[0][j] = xAxis[j];
        matrix->m[1][j] = yAxis[j];
    }
    matrix->m[0][3] = matrix->m[1][3] = matrix->m[2][3] = 0.0;
}

void adRotateAboutAxis(double point[3], const double axisPoint[3], const double axis[3], double angle) {
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    // A zero axis turns nothing.
    if (length == 0.0) return;
    const double ax = axis[0] / length, ay = axis[1] / length, az = axis[2] / length;
    const double cs = std::cos(angle), sn = std::sin(angle), k = 1.0 - cs;
    const AdMatrix4 r = {{{ax * ax + cs * (1 - ax * ax), k * ax * ay + sn * az, k * ax * az - sn * ay, 0},
                          {k * ax * ay - sn * az, ay * ay + cs * (1 - ay * ay), k * ay * az + sn * ax, 0},
                          {k * ax * az + sn * ay, k * ay * az - sn * ax, az * az + cs * (1 - az * az), 0},
                          {0, 0, 0, 1}}};
    double d[4] = {point[0] - axisPoint[0], point[1] - axisPoint[1], point[2] - axisPoint[2], 1.0};
    adTransformPoint(d, &r, d);
    for (int j = 0; j < 3; ++j) point[j] = axisPoint[j] + d[j];
}

void adPlaneNormal(const double p0[3], const double p1[3], const double p2[3], double out[4]) {
    const double a[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    const double b[3] = {p0[0] - p1[0], p0[1] - p1[1], p0[2] - p1[2]};
    adVectorCross(a, b, out);
}

double adPointDistance(const double p[3], const double q[3]) {
    const double dx = p[0] - q[0], dy = p[1] - q[1], dz = p[2] - q[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The perpendicular bisectors of P0P1 and P1P2 meet at the centre; they are
// intersected in the coordinate plane where they are least parallel. Three
// collinear points have no centre: the answer is then the first bisector's
// midpoint.
void adCircleCentre3P(const double p0[3], const double p1[3], const double p2[3], const double normal[3],
                      double out[3]) {
    const double u[3] = {p0[0] - p1[0], p0[1] - p1[1], p0[2] - p1[2]};
    const double v[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    double m1[3], m2[3];
    for (int i = 0; i < 3; ++i) {
        m1[i] = (p0[i] + p1[i]) / 2.0;
        m2[i] = (p2[i] + p1[i]) / 2.0;
    }
    double d1[4], d2[4];
    adVectorCross(u, normal, d1);
    adVectorCross(normal, v, d2);
    int a = 0, b = 1;
    double determinant = d1[0] * d2[1] - d1[1] * d2[0];
    const double xz = d1[0] * d2[2] - d1[2] * d2[0];
    if (std::fabs(xz) > std::fabs(determinant)) {
        a = 0, b = 2;
        determinant = xz;
    }
    const double yz = d1[1] * d2[2] - d1[2] * d2[1];
    if (std::fabs(yz) > std::fabs(determinant)) {
        a = 1, b = 2;
        determinant = yz;
    }
    const double t = determinant == 0.0 ? 0.0 : ((m2[a] - m1[a]) * d2[b] - (m2[b] - m1[b]) * d2[a]) / determinant;
    for (int i = 0; i < 3; ++i) out[i] = m1[i] + t * d1[i];
}
