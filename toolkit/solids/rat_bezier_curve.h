// Rational Bezier curves in weighted homogeneous form; NURBS spans are cut
// into them to be intersected by recursive subdivision.
#pragma once

#include <vector>

#include "toolkit/solids/box.h"
#include "toolkit/solids/curve.h"

class c_RatBezierCurve : public c_Curve {
public:
    c_RatBezierCurve() = default;
    // Copies degree + 1 weighted points.
    c_RatBezierCurve(const aHomogeneousPoint* points, int degree);

    std::ostream& print(std::ostream& os) const override;
    bool containsPoint(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    void getPointAt(double t, aPoint& out) const override;
    aVector tangentAt(const aPoint& p) const override;
    const char* className() const override { return kRatBezierClass; }

    // De Casteljau at x; the halves' control points go to left and right
    // (degree + 1 each) when given.
    aHomogeneousPoint subdivide(double x, aHomogeneousPoint* left, aHomogeneousPoint* right) const;
    // Two new curves, [0, x] and [x, 1], that the caller owns.
    void split(double x, c_RatBezierCurve*& first, c_RatBezierCurve*& second) const;
    aHomogeneousPoint getControlPoint(int i) const;
    const aHomogeneousPoint* getControlPoints() const { return points.empty() ? nullptr : points.data(); }
    int getDegree() const { return degree; }
    aBox controlBox() const;
    bool containsHomogeneous(const aHomogeneousPoint& h) const { return containsPoint(h.toPoint()); }
    // Points where the two curves meet, at most capacity of them.
    int intersectBezier(const c_RatBezierCurve& other, aPoint* out, int capacity) const;

private:
    std::vector<aHomogeneousPoint> points;
    int degree = 0;
};

// Multiply the distance tolerances and the point tolerance by f until
// restoreCurveTolerances; a scaling already active, or f < 0, is left alone.
void scaleCurveTolerances(double f);
void restoreCurveTolerances();
