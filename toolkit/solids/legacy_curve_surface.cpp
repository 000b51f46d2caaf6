#include <cmath>

#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/legacy_predicates.h"
#include "toolkit/solids/legacy_vectors.h"

std::int32_t intersectLinePlane(const LegacyLine& line, const LegacyPlane& plane, LegacyList& list) {
    list.count = 0;
    aVector w = plane.point - line.point;
    double dn = dot(line.direction, plane.normal);
    double wn = dot(w, plane.normal);
    if (std::fabs(dn) >= 1e-8) {
        addLegacyPoint(line.point + (wn / dn) * line.direction, 0, list);
        return 0;
    }
    return std::fabs(wn) >= 1e-7 ? -7 : 0;
}

std::int32_t intersectLineSphere(const LegacyLine& line, const LegacySphere& sphere, LegacyList& list) {
    list.count = 0;
    const aVector& d = line.direction;
    aVector w = sphere.centre - line.point;
    double s = dot(w, d);
    aPoint foot = line.point + s * d;
    aVector e = w - s * d;
    double disc = sphere.radius * sphere.radius - dot(e, e);
    if (std::fabs(disc) < 2e-6) {
        addLegacyPoint(foot, 1, list);
        return 0;
    }
    if (disc < 0) return 1;
    double r = std::sqrt(disc);
    addLegacyPoint(foot + r * d, 0, list);
    addLegacyPoint(foot - r * d, 0, list);
    return 0;
}

std::int32_t intersectLineCylinder(const LegacyLine& line, const LegacyCylinder& cyl, LegacyList& list) {
    list.count = 0;
    const aVector& d = line.direction;
    const aVector& A = cyl.axis;
    if (1 - std::fabs(dot(d, A)) < 1e-8) {
        double delta = legacyPointLineDistance(cyl.base, line);
        if (std::fabs(delta - cyl.radius) >= 1e-7) return delta > cyl.radius ? 1 : -5;
        return 0;  // a ruling of the cylinder
    }
    aVector w = line.point - cyl.base;
    double e = dot(d, A), h = dot(w, A);
    double b = 2 * (dot(d, w) - e * h);
    double a2 = 2 * (1 - e * e);
    double disc = b * b - 4 * (1 - e * e) * (dot(w, w) - h * h - cyl.radius * cyl.radius);
    if (std::fabs(disc) < 2e-6) {
        addLegacyPoint(line.point + (-b / a2) * d, 1, list);
        return 0;
    }
    if (disc < 0) return 1;
    double r = std::sqrt(disc);
    addLegacyPoint(line.point + ((r - b) / a2) * d, 0, list);
    addLegacyPoint(line.point + ((-r - b) / a2) * d, 0, list);
    return 0;
}

std::int32_t intersectLineCone(const LegacyLine& line, const LegacyCone& cone, LegacyList& list) {
    list.count = 0;
    const aVector& d = line.direction;
    const aVector& A = cone.axis;
    const double k = cone.cosHalfAngle * cone.cosHalfAngle;
    aVector w = line.point - cone.apex;
    double dA = dot(d, A), wA = dot(w, A);
    double U = dA * dA - k;
    double B = 2 * (dA * wA - k * dot(d, w));
    double K = wA * wA - k * dot(w, w);
    if (std::fabs(U) < 1e-8) {
        if (std::fabs(B) < 1e-7) return 0;
        addLegacyPoint(line.point + (-K / B) * d, 0, list);
        return 0;
    }
    double disc = B * B - 4 * U * K;
    double tol = 2e-6 * std::fmax(B * B, 4 * U * K);
    if (std::fabs(disc) < tol) {
        addLegacyPoint(line.point + (-B / (2 * U)) * d, 1, list);
        return 0;
    }
    if (disc < 0) return 1;
    double r = std::sqrt(disc);
    double t0 = (-B - r) / (2 * U), t1 = (-B + r) / (2 * U);
    if (t0 > t1) std::swap(t0, t1);
    addLegacyPoint(line.point + t0 * d, 0, list);
    addLegacyPoint(line.point + t1 * d, 0, list);
    return 0;
}

std::int32_t intersectCirclePlane(const LegacyCircle& circle, const LegacyPlane& plane, LegacyList& list) {
    list.count = 0;
    if (1 - std::fabs(dot(circle.normal, plane.normal)) < 1e-8)
        return legacyPointInPlane(circle.centre, plane) ? 0 : -3;
    aVector L = cross(circle.normal, plane.normal);
    vecNormalize(L);
    aVector M = cross(L, circle.normal);
    vecNormalize(M);
    LegacyList scratch;
    if (intersectLinePlane({circle.centre, M}, plane, scratch) != 0 || scratch.count == 0) return 1;
    aPoint foot = std::get<aPoint>(scratch.items[0].geometry);
    double l = circle.centre.distanceTo(foot);
    if (std::fabs(l - circle.radius) < 1e-7) {
        addLegacyPoint(foot, 1, list);
        return 0;
    }
    if (l > circle.radius) return 1;
    double q = std::sqrt(circle.radius * circle.radius - l * l);
    addLegacyPoint(foot + q * L, 0, list);
    addLegacyPoint(foot - q * L, 0, list);
    return 0;
}

std::int32_t intersectCircleSphere(const LegacyCircle& circle, const LegacySphere& sphere, LegacyList& list) {
    list.count = 0;
    LegacyList section;
    if (intersectPlaneSphere({circle.centre, circle.normal}, sphere, section) != 0 || section.count == 0) return 1;
    const LegacyItem& item = section.items[0];
    if (item.type == LEGACY_POINT) {
        const aPoint& p = std::get<aPoint>(item.geometry);
        if (!legacyPointOnCircle(p, circle)) return 1;
        addLegacyPoint(p, 1, list);
        return 0;
    }
    LegacyList scratch;
    switch (coplanarCircleCircle(circle, std::get<LegacyCircle>(item.geometry), scratch)) {
    case 0: appendLegacyResults(scratch, list); return 0;
    case -1: return -4;
    default: return 1;
    }
}

namespace {

// Runs the coplanar routine of each plane-section item against the circle;
// a section that holds the whole circle leaves an empty result and answers 0.
std::int32_t circleAgainstSections(const LegacyCircle& circle, const LegacyList& sections, LegacyList& list) {
    list.count = 0;
    for (std::int32_t i = 0; i < sections.count; ++i) {
        const LegacyItem& item = sections.items[i];
        LegacyList scratch;
        std::int32_t code;
        switch (item.type) {
        case LEGACY_LINE: code = coplanarLineCircle(std::get<LegacyLine>(item.geometry), circle, scratch); break;
        case LEGACY_CIRCLE:
            code = coplanarCircleCircle(std::get<LegacyCircle>(item.geometry), circle, scratch);
            break;
        case LEGACY_ELLIPSE:
            code = coplanarCircleEllipse(circle, std::get<LegacyEllipse>(item.geometry), scratch);
            break;
        case LEGACY_PARABOLA:
            code = coplanarCircleParabola(circle, std::get<LegacyParabola>(item.geometry), scratch);
            break;
        case LEGACY_HYPERBOLA:
            code = coplanarCircleHyperbola(circle, std::get<LegacyHyperbola>(item.geometry), scratch);
            break;
        default: continue;
        }
        if (code != 0) continue;
        if (scratch.count == 0) {
            list.count = 0;
            return 0;
        }
        appendLegacyResults(scratch, list);
    }
    return list.count > 0 ? 0 : 1;
}

}  // namespace

std::int32_t intersectCircleCylinder(const LegacyCircle& circle, const LegacyCylinder& cylinder, LegacyList& list) {
    LegacyList sections;
    list.count = 0;
    if (intersectPlaneCylinder({circle.centre, circle.normal}, cylinder, sections) != 0) return 1;
    return circleAgainstSections(circle, sections, list);
}

std::int32_t intersectCircleCone(const LegacyCircle& circle, const LegacyCone& cone, LegacyList& list) {
    LegacyList sections;
    list.count = 0;
    if (intersectPlaneCone({circle.centre, circle.normal}, cone, sections) != 0) return 1;
    return circleAgainstSections(circle, sections, list);
}
