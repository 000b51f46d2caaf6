// Elliptical and circular arcs held exactly as one to four rational
// quadratic B-spline segments.
#pragma once

#include <memory>

#include "toolkit/solids/conic.h"
#include "toolkit/solids/nurbs_curve.h"

class c_RatQuadraticCurve : public c_NURBSCurve {};

// The parameter u in [0, 1] of X on the rational quadratic segment of the
// weighted control points p0, p1, p2 (four floats each) in the plane of n.
double quadraticSegmentParameter(const aPoint& x, const float* p0, const float* p1, const float* p2,
                                 const aVector& n);

class c_ConicArc : public c_RatQuadraticCurve {
public:
    // The arc from start to end angle, counter-clockwise; equal angles give
    // the full turn.
    c_ConicArc(const c_Circle& circle, double startAngle, double endAngle);
    c_ConicArc(const c_Ellipse& ellipse, double startAngle, double endAngle);
    c_ConicArc(const c_ConicArc&) = delete;
    c_ConicArc& operator=(const c_ConicArc&) = delete;

    double getParameterOf(const aPoint& p) const override;

    const c_Conic* getConic() const { return conic.get(); }
    int getSegmentCount() const { return segmentCount; }

private:
    c_ConicArc(const c_Conic& source, double startAngle, double endAngle, double a, double b);
    bool buildSegments(const c_Ellipse& frame);

    std::unique_ptr<c_Conic> conic;
    double startAngle = 0;
    double segmentSweep = 0;
    int segmentCount = 0;
};
