#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/rat_bezier_curve.h"
#include "toolkit/solids/tolerances.h"

c_NURBSCurve::c_NURBSCurve(const c_RatBezierCurve& bezier) {
    const int d = bezier.getDegree();
    if (d < 1 || !bezier.getControlPoints()) return;
    std::vector<float> knots(static_cast<std::size_t>(2 * d + 2), 0.0f);
    std::fill(knots.begin() + d + 1, knots.end(), 1.0f);
    specifyNCtlPtsAndOrder(d + 1, d + 1);
    std::copy(knots.begin(), knots.end(), basis->getKnots());
    for (int i = 0; i <= d; ++i) {
        const aHomogeneousPoint h = bezier.getControlPoint(i);
        float* q = &controlPoints[static_cast<std::size_t>(4 * i)];
        q[0] = static_cast<float>(h.x);
        q[1] = static_cast<float>(h.y);
        q[2] = static_cast<float>(h.z);
        q[3] = static_cast<float>(h.w);
    }
}

c_RatBezierCurve* c_NURBSCurve::getBezierSegment(int span) const {
    if (!basis || controlPoints.empty()) return nullptr;
    const int k = getOrder();
    const double a = basis->getKnot(span), b = basis->getKnot(span + 1);
    if (span < k - 1 || span > controlPointCount - 1 || std::fabs(b - a) < BasicAngleTol) return nullptr;
    // Raise both ends of the span to full multiplicity: the span's control
    // points are then its Bezier points.
    const int r = basis->knotMultiplicity(a);
    std::unique_ptr<c_NURBSCurve> refined = std::make_unique<c_NURBSCurve>(*this);
    for (int i = 0; i < k - 1 - r; ++i) refined = std::make_unique<c_NURBSCurve>(*refined, a);
    const int g = refined->basis->knotMultiplicity(b);
    for (int i = 0; i < k - 1 - g; ++i) refined = std::make_unique<c_NURBSCurve>(*refined, b);
    const int j = span + std::max(0, k - 1 - r);
    if (j - k + 1 < 0 || j >= refined->controlPointCount) return nullptr;
    std::vector<aHomogeneousPoint> points;
    for (int c = j - k + 1; c <= j; ++c) {
        const float* q = refined->controlPoint(c);
        points.emplace_back(q[0], q[1], q[2], q[3]);
    }
    return new c_RatBezierCurve(points.data(), k - 1);
}
