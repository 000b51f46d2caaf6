// Rational B-spline curves. Control points are stored as weighted floats
// (w·x, w·y, w·z, w); parameters and evaluated points are doubles.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/solids/box.h"
#include "toolkit/solids/bspline_basis.h"
#include "toolkit/solids/curve.h"
#include "toolkit/solids/geometry_fwd.h"

class c_NURBSCurve : public c_Curve {
public:
    c_NURBSCurve() = default;
    c_NURBSCurve(const c_NURBSCurve& other);
    c_NURBSCurve& operator=(const c_NURBSCurve&) = delete;
    // The Bezier curve as one span: knots d + 1 zeros and d + 1 ones.
    explicit c_NURBSCurve(const c_RatBezierCurve& bezier);
    // The straight segment from a (parameter 0) to b (parameter 1).
    c_NURBSCurve(const aPoint& a, const aPoint& b);
    // order = knotCount − count.
    c_NURBSCurve(const float* controlPoints, int count, const float* knots, int knotCount);
    // The same curve with x inserted into its knots.
    c_NURBSCurve(const c_NURBSCurve& curve, double x);

    std::ostream& print(std::ostream& os) const override;
    c_Curve* clone() const override { return new c_NURBSCurve(*this); }
    bool isClosed() const override;
    bool containsPoint(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    using c_Curve::getPointAt;
    void getPointAt(double t, aPoint& out) const override;
    bool isParameterInRange(double t, double start, double end, bool forward) const override;
    bool isEqual(const c_Curve&) const override { return false; }
    aVector tangentAt(const aPoint& p) const override { return tangentAt(getParameterOf(p)); }
    void transform(const aTransform& m) override;
    const char* className() const override { return kNURBSCurveClass; }
    bool isValidParameter(double t) const override { return basis && basis->containsParameter(t); }

    void allocateArrays();
    void freeArrays();
    void specifyNCtlPtsAndOrder(int count, int order);
    void setControlPoints(const float* points);
    bool getControlPoint(int i, aPoint& out) const;
    const float* getControlPoints() const { return controlPoints.empty() ? nullptr : controlPoints.data(); }
    int getControlPointCount() const { return controlPointCount; }
    const float* getKnots() const { return basis ? basis->getKnots() : nullptr; }
    int getKnotCount() const { return basis ? basis->getKnotCount() : 0; }
    int getOrder() const { return basis ? basis->getOrder() : 0; }
    int getSpanCount() const { return controlPointCount - getOrder() + 1; }
    double getStartParameter() const { return basis ? basis->getStartParameter() : 0; }
    double getEndParameter() const { return basis ? basis->getEndParameter() : 0; }
    const c_BSplineBasisFcns* getBasis() const { return basis.get(); }

    // (0, 0, 0, 1) for a parameter outside the range.
    void getPointAt(double t, aHomogeneousPoint& out) const;
    bool homogeneousDerivatives(double t, int d, aVector* A, double* w) const;
    // Position and derivatives 1..d (1 ≤ d ≤ 4) of the rational curve.
    bool derivatives(double t, int d, aVector* D) const;
    aVector tangentAt(double t) const;
    // 0 exact hit, −1 no basis, −2 degenerate, −3 perpendicular, −4 flat
    // second derivative, −5 converged, −6 iteration limit; t carries the
    // parameter in and out.
    std::int8_t try_getParameterOf(const aPoint& x, int samples, double& t) const;
    double closestSampledParameter(const aPoint& p, int n) const;
    aBox controlBox() const;
    aBox spanControlBox(int span) const;
    // The span's Bezier form, or null for an empty span; the caller owns it.
    c_RatBezierCurve* getBezierSegment(int span) const;
    void snapPoints(aPoint* points, int count) const;

    // Intersections with other curves and surfaces.
    int intersectNURBS(const c_NURBSCurve& other, aPoint* points, int capacity) const;
    std::int32_t intersectLine(const c_Line& line, LegacyIntersectionList& list) const;
    std::int32_t intersectCircle(const c_Circle& circle, LegacyIntersectionList& list) const;
    // Crossings with the plane, or null; the caller deletes the array.
    aPoint* intersectPlane(const c_Plane& plane, int& count) const;
    aPoint* intersectSphere(const c_Sphere& sphere, int& count) const;
    bool isPlanar(c_Plane& plane) const;
    std::int32_t coplanarIntersect(const c_Circle& circle, LegacyIntersectionList& list) const;

protected:
    // Four floats of control point i.
    const float* controlPoint(int i) const { return &controlPoints[static_cast<std::size_t>(4 * i)]; }
    // Stores a Cartesian position with weight w.
    void storeControlPoint(int i, const aPoint& p, double w);
    void replaceBasis(std::unique_ptr<c_BSplineBasisFcns> newBasis) { basis = std::move(newBasis); }

private:
    aBox boxOf(int first, int last) const;

    std::vector<float> controlPoints;
    int controlPointCount = 0;
    std::unique_ptr<c_BSplineBasisFcns> basis;
    mutable std::vector<float> basisValues;
};
