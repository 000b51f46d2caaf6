// Rational B-spline surfaces: control point (i, j) is element i + j·nu of the
// weighted float points (w·x, w·y, w·z, w).
#pragma once

#include <memory>
#include <vector>

#include "toolkit/solids/bspline_basis.h"
#include "toolkit/solids/surface.h"

class c_NURBSCurve;

class c_NURBSSurface : public c_Surface {
public:
    c_NURBSSurface(const float* points, int nu, int nv, const float* uKnots, int uKnotCount, const float* vKnots,
                   int vKnotCount);
    c_NURBSSurface(const c_NURBSSurface&) = delete;
    c_NURBSSurface& operator=(const c_NURBSSurface&) = delete;

    std::ostream& print(std::ostream& os) const override;
    // n iso-curves in each direction, the boundaries left out; answers 2n.
    std::int32_t isoCurves(std::int32_t count, c_Curve** curves) const override;
    aVector normalAt(const aPoint& p) const override;
    std::int32_t curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const override;
    const char* className() const override { return kNURBSSurfaceClass; }
    // The parameters of the surface point nearest p; far outside the range
    // (10, 40 or 50 times the rounded-up maxima) when the search fails.
    virtual void getParameterOf(const aPoint& p, double& u, double& v) const;

    aHomogeneousPoint homogeneousPointAt(double u, double v) const;
    aPoint pointAt(double u, double v) const { return homogeneousPointAt(u, v).toPoint(); }
    c_NURBSCurve* uIsoCurve(double u) const;
    c_NURBSCurve* vIsoCurve(double v) const;
    bool homogeneousDerivatives(double u, double v, int d, aVector A[3][3], float w[3][3]) const;
    // S[k][l]: the point and its partial derivatives of order k in u and l in
    // v, k + l ≤ d, d 1 or 2.
    bool rationalDerivatives(double u, double v, int d, aVector S[3][3]) const;
    // 0 hit, −1 no knots, −2 perpendicular, −3 converged, −4 singular step,
    // −5 iteration limit.
    int try_getParameterOf(const aPoint& p, int n, double& u, double& v) const;
    bool isClosedU() const;
    bool isClosedV() const;
    std::vector<float> uColumn(int i) const;
    std::vector<float> vRow(int j) const;

    double uMin() const { return uKnots ? uKnots->getStartParameter() : 0; }
    double uMax() const { return uKnots ? uKnots->getEndParameter() : 0; }
    double vMin() const { return vKnots ? vKnots->getStartParameter() : 0; }
    double vMax() const { return vKnots ? vKnots->getEndParameter() : 0; }

private:
    const float* point(int i, int j) const { return &points[static_cast<std::size_t>(4 * (i + j * nu))]; }
    bool hasKnots() const { return uKnots && vKnots && uKnots->getKnots() && vKnots->getKnots(); }
    void closestSample(const aPoint& p, int n, double& u, double& v) const;

    std::vector<float> points;
    int nu = 0, nv = 0;
    std::unique_ptr<c_BSplineBasisFcns> uKnots, vKnots;
    mutable std::vector<float> uBasis, vBasis;
    mutable int closedU = 0, closedV = 0;
};
