#include "toolkit/solids/legacy_predicates.h"

#include <cmath>

#include "toolkit/solids/legacy_vectors.h"

namespace {
constexpr double kStartPlaneTolerance = 1e-8;

// Both foci at centre ∓ e·u.
void foci(const aPoint& centre, const aVector& u, double e, aPoint& f1, aPoint& f2) {
    f1 = centre - e * u;
    f2 = centre + e * u;
}
}  // namespace

double legacyPlaneTolerance = kStartPlaneTolerance;

void resetLegacyPlaneTolerance() { legacyPlaneTolerance = kStartPlaneTolerance; }

void legacyEllipseFoci(const LegacyEllipse& e, aPoint& f1, aPoint& f2) {
    foci(e.centre, e.u, std::sqrt(std::fmax(e.major * e.major - e.minor * e.minor, 0.0)), f1, f2);
}

void legacyHyperbolaFoci(const LegacyHyperbola& h, aPoint& f1, aPoint& f2) {
    foci(h.centre, h.u, std::sqrt(h.a * h.a + h.b * h.b), f1, f2);
}

double legacyPointLineDistance(const aPoint& p, const LegacyLine& line) {
    aVector w = p - line.point;
    double along = dot(w, line.direction);
    return std::sqrt(std::fmax(w.lengthSquared() - along * along, 0.0));
}

double legacyPlaneCosine(const LegacyPlane& plane, const aPoint& p) {
    aVector v = p - plane.point;
    return vecNormalize(v) > 1e-7 ? dot(v, plane.normal) : 0;
}

bool legacyPointInPlane(const aPoint& p, const LegacyPlane& plane) {
    return std::fabs(legacyPlaneCosine(plane, p)) < legacyPlaneTolerance;
}

double legacyPlaneDistance(const aPoint& p, const LegacyPlane& plane) { return dot(p - plane.point, plane.normal); }

bool legacyPointOnCircle(const aPoint& p, const LegacyCircle& c) {
    if (!legacyPointInPlane(p, {c.centre, c.normal})) return false;
    aVector w = p - c.centre;
    if (vecNormalize(w) <= 1e-7) return false;
    return pointsCoincide3(p, c.centre + c.radius * w);
}

bool legacyPointOnEllipse(const aPoint& p, const LegacyEllipse& e) {
    aPoint f1, f2;
    legacyEllipseFoci(e, f1, f2);
    double g = p.distanceTo(f1) + p.distanceTo(f2) - 2 * e.major;
    return std::fabs(g) < 1e-7 && legacyPointInPlane(p, {e.centre, e.normal});
}

bool legacyPointOnHyperbola(const aPoint& p, const LegacyHyperbola& h) {
    aPoint f1, f2;
    legacyHyperbolaFoci(h, f1, f2);
    double g = std::fabs(p.distanceTo(f1) - p.distanceTo(f2)) - 2 * h.a;
    return std::fabs(g) < 1e-7 && legacyPointInPlane(p, {h.centre, h.normal});
}

bool legacyPointOnParabola(const aPoint& p, const LegacyParabola& pa) {
    aPoint focus = pa.vertex + pa.focal * pa.v;
    LegacyLine directrix{pa.vertex - pa.focal * pa.v, pa.u};
    double g = p.distanceTo(focus) - legacyPointLineDistance(p, directrix);
    return std::fabs(g) < 1e-7 && legacyPointInPlane(p, {pa.vertex, pa.normal});
}

bool legacyLinesCoincide(const aPoint& q1, const aVector& d1, const aPoint& q2, const aVector& d2) {
    if (1 - std::fabs(dot(d1, d2)) >= 1e-8) return false;
    aPoint foot = q1 + dot(q2 - q1, d1) * d1;
    return pointsCoincide3(q1, foot);
}

void legacyConeSection(const LegacyCone& cone, double h, LegacyCircle& out) {
    out = {cone.apex + h * cone.axis, cone.x, cone.y, cone.axis, cone.tanHalfAngle * std::fabs(h)};
}

void legacyConeParameters(const LegacyCone& cone, const aPoint& p, double& h, double& angle) {
    aVector v = p - cone.apex;
    h = dot(v, cone.axis);
    aVector w = v - h * cone.axis;
    angle = 0;
    if (w.lengthSquared() >= 1e-14) {
        w = w / w.length();
        if (h < 0) w = -w;
        angle = std::atan2(dot(w, cone.y), dot(w, cone.x));
    }
}

int legacyConeNormal(const LegacyCone& cone, const aPoint& p, aVector& normal) {
    double h, angle;
    legacyConeParameters(cone, p, h, angle);
    if (std::fabs(h) < 1e-7) {
        normal = cone.x;
        return -1;
    }
    double c = cone.cosHalfAngle;
    normal = p - (cone.apex + (h / (c * c)) * cone.axis);
    vecNormalize(normal);
    return h > 0 ? 2 : 1;
}
