#include "toolkit/solids/transform.h"

#include <cmath>
#include <cstring>

#include "toolkit/solids/tolerances.h"

const aTransform identityTransform;
const double identity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
const double zero3[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};

aTransform::aTransform() : m{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}} {}

aTransform::aTransform(const double values[16]) { std::memcpy(m, values, sizeof m); }

aTransform::aTransform(const double rotation[9], const aPoint& centre) {
    aVector q(centre);
    setRotationAndTranslation(rotation, q - multiply3(rotation, q));
}

aPoint aTransform::transformPoint(const aPoint& p) const {
    double r[4];
    for (int i = 0; i < 4; ++i) r[i] = m[i][0] * p.x + m[i][1] * p.y + m[i][2] * p.z + m[i][3];
    if (std::fabs(r[3]) > BasicDistanceTol) return {r[0] / r[3], r[1] / r[3], r[2] / r[3]};
    return {r[0], r[1], r[2]};
}

aVector aTransform::transformVector(const aVector& v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

void aTransform::setRotationAndTranslation(const double rotation[9], const aVector& translation) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m[i][j] = rotation[3 * i + j];
        m[i][3] = translation.component(i);
    }
    m[3][0] = m[3][1] = m[3][2] = 0;
    m[3][3] = 1;
}

void crossMatrix3(const aVector& v, double out[9]) { set3(out, 0, -v.z, v.y, v.z, 0, -v.x, -v.y, v.x, 0); }

void outerProduct3(const aVector& a, const aVector& b, double out[9]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out[3 * i + j] = a.component(i) * b.component(j);
}

aVector multiply3(const double m[9], const aVector& v) {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

void add3(const double a[9], const double b[9], double out[9]) {
    for (int i = 0; i < 9; ++i) out[i] = a[i] + b[i];
}

void scale3(double s, const double m[9], double out[9]) {
    for (int i = 0; i < 9; ++i) out[i] = s * m[i];
}

void copy3(const double m[9], double out[9]) { std::memmove(out, m, 9 * sizeof(double)); }

void set3(double out[9], double a00, double a01, double a02, double a10, double a11, double a12, double a20,
          double a21, double a22) {
    const double v[9] = {a00, a01, a02, a10, a11, a12, a20, a21, a22};
    copy3(v, out);
}

void rotationMatrix3(const aVector& axis, double angle, double out[9]) {
    aVector q;
    if (axis.unitVectorInto(q) < BasicDistanceTol) {
        copy3(identity3, out);
        return;
    }
    double co = std::cos(angle), si = std::sin(angle);
    double part[9], sum[9];
    scale3(co, identity3, sum);
    outerProduct3(q, q, part);
    scale3(1 - co, part, part);
    add3(sum, part, sum);
    crossMatrix3(q, part);
    scale3(si, part, part);
    add3(sum, part, out);
}
