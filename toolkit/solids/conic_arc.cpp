#include "toolkit/solids/conic_arc.h"

#include <cmath>
#include <numbers>

#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/line.h"

namespace {
constexpr double kPi = std::numbers::pi;

aPoint positionOf(const float* q, double& w) {
    w = q[3];
    return w != 0 ? aPoint(q[0] / w, q[1] / w, q[2] / w) : aPoint(q[0], q[1], q[2]);
}
}  // namespace

double quadraticSegmentParameter(const aPoint& x, const float* p0, const float* p1, const float* p2,
                                 const aVector& n) {
    double w0, w1, w2;
    aVector e0 = positionOf(p0, w0) - x, e1 = positionOf(p1, w1) - x, e2 = positionOf(p2, w2) - x;
    e0 = w0 * e0;
    e1 = w1 * e1;
    e2 = w2 * e2;
    const aVector a2 = e0 - 2 * e1 + e2, a1 = 2 * (e1 - e0), a0 = e0;
    const aVector q = cross(n, a2);
    const double denominator = dot(a1, q);
    return denominator != 0 ? -dot(a0, q) / denominator : 0;
}

c_ConicArc::c_ConicArc(const c_Circle& circle, double s, double e)
    : c_ConicArc(circle, s, e, circle.getRadius(), circle.getRadius()) {
    if (getControlPointCount() > 0) conic = std::make_unique<c_Circle>(circle);
}

c_ConicArc::c_ConicArc(const c_Ellipse& ellipse, double s, double e)
    : c_ConicArc(ellipse, s, e, ellipse.getRadius(), ellipse.getMinorRadius()) {
    if (getControlPointCount() > 0) conic = std::make_unique<c_Ellipse>(ellipse);
}

c_ConicArc::c_ConicArc(const c_Conic& source, double s, double e, double a, double b) : startAngle(s) {
    // End angles at or before the start go round once more: the sweep lies in (0, 2π].
    double sweep = e - s;
    if (!std::isfinite(sweep))
        sweep = 2 * kPi;
    else if (sweep <= 0)
        sweep = std::fmod(sweep, 2 * kPi) + 2 * kPi;
    segmentCount = sweep <= kPi / 2 ? 1 : sweep <= kPi ? 2 : sweep <= 3 * kPi / 2 ? 3 : 4;
    segmentSweep = sweep / segmentCount;
    specifyNCtlPtsAndOrder(2 * segmentCount + 1, 3);
    if (!getControlPoints()) return;
    const c_Ellipse frame(source.getCenter(), source.getXAxis(), cross(source.getXAxis(), source.getYAxis()), a, b);
    if (!buildSegments(frame)) {
        freeArrays();
        return;
    }
    std::vector<float> knots{0, 0, 0};
    for (int i = 1; i < segmentCount; ++i) {
        knots.push_back(static_cast<float>(double(i) / segmentCount));
        knots.push_back(static_cast<float>(double(i) / segmentCount));
    }
    knots.insert(knots.end(), {1, 1, 1});
    replaceBasis(std::make_unique<c_BSplineBasisFcns>(getControlPointCount() - 1, 3, knots.data()));
}

bool c_ConicArc::buildSegments(const c_Ellipse& frame) {
    const double middleWeight = std::cos(segmentSweep / 2);
    aPoint p;
    frame.getPointAt(startAngle, p);
    storeControlPoint(0, p, 1);
    c_Line startTangent(p, frame.tangentAtAngle(startAngle));
    for (int segment = 0; segment < segmentCount; ++segment) {
        const double theta = startAngle + (segment + 1) * segmentSweep;
        aPoint q;
        frame.getPointAt(theta, q);
        c_Line endTangent(q, frame.tangentAtAngle(theta));
        c_IntersectionResult meet(startTangent, endTangent);
        aPoint middle;
        if (meet.getStatus() != 2 || !c_IntersectionItem(meet, 0).getPoint(middle)) return false;
        storeControlPoint(2 * segment + 1, middle, middleWeight);
        storeControlPoint(2 * segment + 2, q, 1);
        startTangent = endTangent;
    }
    return true;
}

double c_ConicArc::getParameterOf(const aPoint& x) const {
    const c_BSplineBasisFcns* basis = getBasis();
    if (!basis || !basis->getKnots()) return -1;
    const double below = basis->getKnot(0) - 1;
    if (!conic) return below;
    double phi = std::fmod(conic->getParameterOf(x) - startAngle, 2 * kPi);
    if (phi < 0) phi += 2 * kPi;
    const double width = basis->getKnot(3) - basis->getKnot(2);
    double base = 0;
    int j = 0;
    // Bounded by the segments there are: a point past the last one is off the arc.
    while (phi > segmentSweep && j < getControlPointCount()) {
        base += width;
        j += 2;
        phi -= segmentSweep;
    }
    if (j + 2 >= getControlPointCount()) return below;
    const double u = quadraticSegmentParameter(x, controlPoint(j), controlPoint(j + 1), controlPoint(j + 2),
                                               conic->getNormal());
    return u * width + base;
}
