// 4×4 transforms and plain 3×3 matrices (nine doubles, row-major).
#pragma once

#include "toolkit/solids/vector.h"

// Points are column vectors: p' = M·(x, y, z, 1); translation is column 3.
struct aTransform {
    double m[4][4];

    aTransform();  // the identity
    explicit aTransform(const double values[16]);  // row order
    // p' = R·(p − centre) + centre.
    aTransform(const double rotation[9], const aPoint& centre);

    // Divides by W only when it is not near zero.
    aPoint transformPoint(const aPoint& p) const;
    // The upper-left 3×3 block only.
    aVector transformVector(const aVector& v) const;
    void setRotationAndTranslation(const double rotation[9], const aVector& translation);
};

extern const aTransform identityTransform;
extern const double identity3[9];
extern const double zero3[9];

void crossMatrix3(const aVector& v, double out[9]);
void outerProduct3(const aVector& a, const aVector& b, double out[9]);
aVector multiply3(const double m[9], const aVector& v);
void add3(const double a[9], const double b[9], double out[9]);
void scale3(double s, const double m[9], double out[9]);
void copy3(const double m[9], double out[9]);
void set3(double out[9], double a00, double a01, double a02, double a10, double a11, double a12, double a20,
          double a21, double a22);
// Rotation by angle about the axis; the identity for a near-zero axis.
void rotationMatrix3(const aVector& axis, double angle, double out[9]);
