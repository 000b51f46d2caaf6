#include "toolkit/solids/conic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/solids/tolerances.h"

namespace {
constexpr double kPi = std::numbers::pi;
}

c_Conic::c_Conic(const aPoint& center_, const aVector& xAxisSeed, const aVector& normal_)
    : center(center_), xAxis(xAxisSeed), yAxis(0, 0, 0), normal(normal_) {
    orthonormalFrame(xAxis, yAxis, normal);
}

void c_Conic::transform(const aTransform& m) {
    center = m.transformPoint(center);
    xAxis = m.transformVector(xAxis);
    yAxis = m.transformVector(yAxis);
    normal = m.transformVector(normal);
}

bool c_Conic::isInPlane(const aPoint& p) const { return std::fabs(dot(p - center, normal)) < BasicDistanceTol; }

void normalizeAngle(double& angle) {
    if (!std::isfinite(angle)) {
        angle = 0;
        return;
    }
    // Far-off angles are first brought near the range in one step.
    if (std::fabs(angle) > 64 * kPi) angle = std::remainder(angle, 2 * kPi);
    while (angle < -kPi) angle += 2 * kPi;
    while (angle > kPi) angle -= 2 * kPi;
}

bool isAngleInRange(double t, double start, double end, bool forward) {
    if (std::fabs(start - end) < BasicAngleTol) return true;
    if (forward) return start < end ? (start <= t && t <= end) : (t >= start || t <= end);
    return start >= end ? (end <= t && t <= start) : (t <= start || t >= end);
}

int c_Conic::generateArcPoints(double h, aPoint* points, int maxCount, int reversed, const ArcRange* range) const {
    if (!points || maxCount < 1) return 0;
    const double a = getRadius(), b = secondRadius();
    double start = -kPi, end = -kPi;
    if (range && range->present) {
        start = range->start;
        end = range->end;
        normalizeAngle(start);
        normalizeAngle(end);
    }
    if (std::fabs(start - end) < BasicAngleTol) {
        end += reversed == 1 ? -2 * kPi : 2 * kPi;
    } else if (end < start && reversed != 1) {
        end += 2 * kPi;
    } else if (start < end && reversed == 1) {
        end -= 2 * kPi;
    }
    const double sweep = end - start;
    const double rmax = std::max(a, b);
    double step = kPi;
    if (h < rmax && h > BasicDistanceTol) step = 2 * std::acos(1 - h / rmax);
    int n = std::max(static_cast<int>(std::trunc(std::fabs(sweep) / step + 0.5)) + 1, 2);
    n = std::min(n, maxCount);
    double delta = n > 1 ? sweep / (n - 1) : 0;
    while (std::fabs(delta) >= kPi && n < maxCount) {
        ++n;
        delta = sweep / (n - 1);
    }
    for (int i = 0; i < n; ++i) {
        double theta = start + i * delta;
        points[i] = center + (a * std::cos(theta)) * xAxis + (b * std::sin(theta)) * yAxis;
    }
    return n;
}

// ---- c_Ellipse ----

c_Ellipse::c_Ellipse(const aPoint& center_, const aVector& xAxisSeed, const aVector& normal_, double major,
                     double minor)
    : c_Conic(center_, xAxisSeed, normal_), a(major), b(minor) {
    validateEllipse();
}

c_Ellipse::c_Ellipse(const c_Circle& circle) : c_Conic(circle), a(circle.getRadius()), b(circle.getRadius()) {}

void c_Ellipse::validateEllipse() {
    if (a < BasicDistanceTol) a = 1.5;
    if (b < BasicDistanceTol) b = 1.0;
    if (a < b) {
        std::swap(a, b);
        std::swap(xAxis, yAxis);
        normal = -normal;
    }
}

std::ostream& c_Ellipse::print(std::ostream& os) const {
    os << className() << "( ";
    center.print(os);
    for (const aVector* v : {&xAxis, &yAxis, &normal}) {
        os << " , ";
        aPoint(*v).print(os);
    }
    return os << " , " << a << " , " << b << " )";
}

void c_Ellipse::getFoci(aPoint& f1, aPoint& f2) const {
    double e = std::sqrt(std::max(a * a - b * b, 0.0));
    f1 = center - e * xAxis;
    f2 = center + e * xAxis;
}

bool c_Ellipse::containsPoint(const aPoint& p) const {
    aPoint f1, f2;
    getFoci(f1, f2);
    double d = p.distanceTo(f1) + p.distanceTo(f2) - 2 * a;
    return std::fabs(d) < BasicDistanceTol && isInPlane(p);
}

double c_Ellipse::getParameterOf(const aPoint& p) const {
    aVector v = p - center;
    return std::atan2(dot(v, yAxis) / b, dot(v, xAxis) / a);
}

void c_Ellipse::getPointAt(double t, aPoint& out) const {
    out = center + (a * std::cos(t)) * xAxis + (b * std::sin(t)) * yAxis;
}

void c_Ellipse::makeOldStyleEntity(LegacyEntityHandle& out) const {
    newLegacyEllipse({center, xAxis, yAxis, normal, a, b}, out);
}

bool c_Ellipse::isParameterInRange(double t, double start, double end, bool forward) const {
    // The full-turn test compares arc length, so the angle tolerance shrinks
    // with the radius.
    const double saved = BasicAngleTol;
    BasicAngleTol = saved / a;
    bool inside = isAngleInRange(t, start, end, forward);
    BasicAngleTol = saved;
    return inside;
}

bool c_Ellipse::isEqual(const c_Curve& other) const {
    if (!c_Curve::isEqual(other)) return false;
    const auto& e = static_cast<const c_Ellipse&>(other);
    return center.coincidesWith(e.center) && xAxis.isParallelTo(e.xAxis) && yAxis.isParallelTo(e.yAxis) &&
           std::fabs(a - e.a) < BasicDistanceTol && std::fabs(b - e.b) < BasicDistanceTol;
}

aVector c_Ellipse::tangentAtAngle(double theta) const {
    aVector t = (-a * std::sin(theta)) * xAxis + (b * std::cos(theta)) * yAxis;
    t.normalize();
    return t;
}

// ---- c_Circle ----

c_Circle::c_Circle(const aPoint& center_, const aVector& xAxisSeed, const aVector& normal_, double radius)
    : c_Conic(center_, xAxisSeed, normal_), r(radius) {
    if (r < BasicDistanceTol) r = 1.0;
}

c_Circle::c_Circle(const aPoint& center_, const aVector& normal_, double radius)
    : c_Circle(center_, zeroVector, normal_, radius) {}

std::ostream& c_Circle::print(std::ostream& os) const {
    os << className() << "( C=";
    center.print(os);
    os << " , u=";
    aPoint(xAxis).print(os);
    os << " , v=";
    aPoint(yAxis).print(os);
    os << " , w=";
    aPoint(normal).print(os);
    return os << " , r=" << r << " )";
}

bool c_Circle::containsPoint(const aPoint& p) const {
    double e = p.distanceSquaredTo(center) - r * r;
    return std::fabs(e) < BasicDistanceSquaredTol && isInPlane(p);
}

double c_Circle::getParameterOf(const aPoint& p) const {
    aVector u = p - center;
    u.normalize();
    return std::atan2(dot(u, yAxis), dot(u, xAxis));
}

void c_Circle::getPointAt(double t, aPoint& out) const {
    out = center + r * (std::cos(t) * xAxis + std::sin(t) * yAxis);
}

void c_Circle::makeOldStyleEntity(LegacyEntityHandle& out) const {
    newLegacyCircle({center, xAxis, yAxis, normal, r}, out);
}

bool c_Circle::isParameterInRange(double t, double start, double end, bool forward) const {
    return isAngleInRange(t, start, end, forward);
}

void c_Circle::snapPoint(aPoint& p) const {
    aVector u = p - center;
    if (u.normalize() > BasicDistanceTol) p = center + r * u;
}

bool c_Circle::isEqual(const c_Curve& other) const {
    if (!c_Curve::isEqual(other)) return false;
    const auto& c = static_cast<const c_Circle&>(other);
    return center.coincidesWith(c.center) && normal.isParallelTo(c.normal) && std::fabs(r - c.r) < BasicDistanceTol;
}

aVector c_Circle::tangentAt(const aPoint& p) const {
    aVector t = cross(normal, p - center);
    t.normalize();
    return t;
}
