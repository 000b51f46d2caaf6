#include <cmath>

#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/legacy_predicates.h"
#include "toolkit/solids/legacy_vectors.h"

std::int32_t intersectLineLine(const LegacyLine& a, const LegacyLine& b, LegacyList& list) {
    list.count = 0;
    aVector n = cross(a.direction, b.direction);
    if (vecNormalize(n) > 1e-7 && !legacyPointInPlane(b.point, {a.point, n})) return 1;  // skew
    return coplanarLineLine(a, b, list);
}

std::int32_t intersectLineCircle(const LegacyLine& line, const LegacyCircle& circle, LegacyList& list) {
    list.count = 0;
    if (std::fabs(dot(line.direction, circle.normal)) >= 1e-5) {
        LegacyList scratch;
        intersectLinePlane(line, {circle.centre, circle.normal}, scratch);
        if (scratch.count == 0 || !legacyPointOnCircle(std::get<aPoint>(scratch.items[0].geometry), circle))
            return 1;
        copyLegacyResults(scratch, list);
        return 0;
    }
    if (std::fabs(dot(line.point - circle.centre, circle.normal)) >= 1e-5) return 1;
    return coplanarLineCircle(line, circle, list);
}

namespace {

// Line against a conic other than a circle: the point where the line meets
// the conic's plane, when it lies on the conic; the coplanar routine when the
// line lies in the plane.
template <class Conic, class OnCurve, class Coplanar>
std::int32_t lineAgainstConic(const LegacyLine& line, const Conic& conic, const aPoint& planePoint,
                              LegacyList& list, OnCurve onCurve, Coplanar coplanar) {
    if (intersectLinePlane(line, {planePoint, conic.normal}, list) != 0) return 1;
    if (list.count > 0) return onCurve(std::get<aPoint>(list.items[0].geometry), conic) ? 0 : 1;
    return coplanar(line, conic, list);
}

// Circle against a conic other than a circle: the points where the circle
// meets the conic's plane that lie on the conic, or the coplanar routine.
template <class Conic, class OnCurve, class Coplanar>
std::int32_t circleAgainstConic(const LegacyCircle& circle, const Conic& conic, const aPoint& planePoint,
                                LegacyList& list, OnCurve onCurve, Coplanar coplanar) {
    if (intersectCirclePlane(circle, {planePoint, conic.normal}, list) != 0) return 1;
    if (list.count == 0) return coplanar(circle, conic, list);
    LegacyList found = list;
    const std::int32_t tangent = found.count == 1 ? 1 : 0;
    list.count = 0;
    for (std::int32_t i = 0; i < found.count; ++i) {
        const aPoint& p = std::get<aPoint>(found.items[i].geometry);
        if (onCurve(p, conic)) addLegacyPoint(p, tangent, list);
    }
    return list.count > 0 ? 0 : 1;
}

}  // namespace

std::int32_t intersectLineEllipse(const LegacyLine& line, const LegacyEllipse& ellipse, LegacyList& list) {
    return lineAgainstConic(line, ellipse, ellipse.centre, list, legacyPointOnEllipse, coplanarLineEllipse);
}

std::int32_t intersectLineHyperbola(const LegacyLine& line, const LegacyHyperbola& hyperbola, LegacyList& list) {
    return lineAgainstConic(line, hyperbola, hyperbola.centre, list, legacyPointOnHyperbola, coplanarLineHyperbola);
}

std::int32_t intersectLineParabola(const LegacyLine& line, const LegacyParabola& parabola, LegacyList& list) {
    return lineAgainstConic(line, parabola, parabola.vertex, list, legacyPointOnParabola, coplanarLineParabola);
}

std::int32_t intersectCircleCircle(const LegacyCircle& a, const LegacyCircle& b, LegacyList& list) {
    list.count = 0;
    if (1 - std::fabs(dot(a.normal, b.normal)) >= 1e-8) {
        LegacyList meet;
        if (intersectPlanePlane({a.centre, a.normal}, {b.centre, b.normal}, meet) != 0 || meet.count == 0) return 1;
        LegacyList scratch;
        if (intersectLineCircle(std::get<LegacyLine>(meet.items[0].geometry), a, scratch) != 0) return 1;
        std::int32_t onBoth = 0, last = 0;
        for (std::int32_t i = 0; i < scratch.count; ++i) {
            if (legacyPointOnCircle(std::get<aPoint>(scratch.items[i].geometry), b)) {
                ++onBoth;
                last = i;
            }
        }
        if (onBoth == 0) return 1;
        if (onBoth == 1)
            addLegacyPoint(std::get<aPoint>(scratch.items[last].geometry), 0, list);
        else
            copyLegacyResults(scratch, list);
        return 0;
    }
    if (!legacyPointInPlane(b.centre, {a.centre, a.normal})) return 1;
    return coplanarCircleCircle(a, b, list);
}

std::int32_t intersectCircleEllipse(const LegacyCircle& circle, const LegacyEllipse& ellipse, LegacyList& list) {
    return circleAgainstConic(circle, ellipse, ellipse.centre, list, legacyPointOnEllipse, coplanarCircleEllipse);
}

std::int32_t intersectCircleHyperbola(const LegacyCircle& circle, const LegacyHyperbola& hyperbola,
                                      LegacyList& list) {
    return circleAgainstConic(circle, hyperbola, hyperbola.centre, list, legacyPointOnHyperbola,
                              coplanarCircleHyperbola);
}

std::int32_t intersectCircleParabola(const LegacyCircle& circle, const LegacyParabola& parabola, LegacyList& list) {
    return circleAgainstConic(circle, parabola, parabola.vertex, list, legacyPointOnParabola,
                              coplanarCircleParabola);
}
