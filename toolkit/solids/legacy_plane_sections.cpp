#include <cmath>
#include <numbers>

#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/legacy_predicates.h"
#include "toolkit/solids/legacy_vectors.h"

namespace {

aVector unit(const aVector& v) {
    aVector u = v;
    vecNormalize(u);
    return u;
}

// The plane (through the apex when it is not) and the cone as the sections
// below read them: the apex on the plane's negative side, the axis towards it.
struct ConeCut {
    aPoint apex;
    aVector axis, n;
    double halfAngle;
};

void coneSectionConic(const ConeCut& c, double h, double k, double s, LegacyList& list) {
    double f = k * k - s * s;
    aPoint centre = c.apex + (h / f) * (k * c.axis - (s * s) * c.n);
    aVector u = unit(c.axis - k * c.n);
    aVector v = unit(cross(c.n, u));
    double first = s * std::cos(c.halfAngle) * std::fabs(h / f);
    double second = s * h / std::sqrt(std::fabs(f));
    if (k > s)
        addLegacyEllipse(centre, u, v, c.n, first, second, 0, list);
    else
        addLegacyHyperbola(centre, u, v, c.n, first, second, 0, list);
}

void coneSectionParabola(const ConeCut& c, double h, double k, LegacyList& list) {
    aVector v = unit(c.axis - k * c.n);
    aVector u = unit(cross(v, c.n));
    aPoint vertex = c.apex + h * c.n + (std::tan(std::numbers::pi / 2 - 2 * c.halfAngle) * h) * v;
    double focal = (h / 2) * k / std::sqrt(1 - k * k);
    addLegacyParabola(vertex, u, v, c.n, focal, 0, list);
}

void coneSectionThroughApex(const LegacyCone& cone, const aVector& n, LegacyList& list) {
    double g = dot(cone.axis, n);
    aVector u = unit(cone.axis - g * n);
    aVector v = unit(cross(n, u));
    double sn = std::sin(cone.halfAngle);
    double e = sn * sn - g * g;
    if (std::fabs(e) < 1e-8) {
        addLegacyLine(cone.apex, u, 1, list);
    } else if (e < 0) {
        addLegacyPoint(cone.apex, 0, list);
    } else {
        double q = std::sqrt(e) / std::cos(cone.halfAngle);
        addLegacyLine(cone.apex, unit(u + q * v), 0, list);
        addLegacyLine(cone.apex, unit(u - q * v), 0, list);
    }
}

}  // namespace

std::int32_t intersectPlanePlane(const LegacyPlane& a, const LegacyPlane& b, LegacyList& list) {
    list.count = 0;
    if (legacyLinesCoincide(a.point, a.normal, b.point, b.normal)) return 0;
    if (1 - std::fabs(dot(a.normal, b.normal)) < 1e-8) return -8;
    aVector d = unit(cross(a.normal, b.normal));
    aVector w = unit(cross(a.normal, d));
    LegacyList scratch;
    if (intersectLinePlane({a.point, w}, b, scratch) != 0 || scratch.count == 0) return -8;
    addLegacyLine(std::get<aPoint>(scratch.items[0].geometry), d, 0, list);
    return 0;
}

std::int32_t intersectPlaneSphere(const LegacyPlane& plane, const LegacySphere& sphere, LegacyList& list) {
    list.count = 0;
    double s = legacyPlaneDistance(sphere.centre, plane);
    aPoint foot = sphere.centre - s * plane.normal;
    if (std::fabs(std::fabs(s) - sphere.radius) < 1e-7) {
        addLegacyPoint(foot, 1, list);
        return 0;
    }
    if (std::fabs(s) > sphere.radius) return 1;
    aVector u, v, w;
    vecFrame(plane.normal, u, v, w);
    addLegacyCircle(foot, u, v, w, std::sqrt(sphere.radius * sphere.radius - s * s), 0, list);
    return 0;
}

std::int32_t intersectPlaneCylinder(const LegacyPlane& plane, const LegacyCylinder& cyl, LegacyList& list) {
    list.count = 0;
    const aVector& n = plane.normal;
    double s = legacyPlaneDistance(cyl.base, plane);
    aPoint foot = cyl.base - s * n;
    double f = dot(cyl.axis, n);
    if (std::fabs(f) < 1e-8) {
        if (std::fabs(std::fabs(s) - cyl.radius) < 1e-7) {
            addLegacyLine(foot, cyl.axis, 1, list);
        } else if (std::fabs(s) > cyl.radius) {
            return 1;
        } else {
            aVector w = unit(cross(cyl.axis, n));
            double q = std::sqrt(cyl.radius * cyl.radius - s * s);
            addLegacyLine(foot + q * w, cyl.axis, 0, list);
            addLegacyLine(foot - q * w, cyl.axis, 0, list);
        }
    } else if (std::fabs(std::fabs(f) - 1) < 1e-8) {
        addLegacyCircle(foot, cyl.x, cyl.y, cyl.axis, cyl.radius, 0, list);
    } else {
        aVector u = unit(cyl.axis - f * n);
        aVector v = unit(cross(n, u));
        addLegacyEllipse(cyl.base - (s / f) * cyl.axis, u, v, n, cyl.radius / std::fabs(f), cyl.radius, 0, list);
    }
    return 0;
}

std::int32_t intersectPlaneCone(const LegacyPlane& plane, const LegacyCone& cone, LegacyList& list) {
    list.count = 0;
    if (legacyPointInPlane(cone.apex, plane)) {
        coneSectionThroughApex(cone, plane.normal, list);
        return 0;
    }
    double g = dot(plane.normal, cone.axis);
    if (std::fabs(1 - std::fabs(g)) < 1e-8) {
        double s = legacyPlaneDistance(cone.apex, plane);
        double x = ((s > 0) == (g > 0)) ? -std::fabs(s) : std::fabs(s);
        LegacyCircle circle;
        legacyConeSection(cone, x, circle);
        addLegacyCircle(circle.centre, circle.u, circle.v, circle.normal, circle.radius, 0, list);
        return 0;
    }
    ConeCut cut{cone.apex, cone.axis, plane.normal, cone.halfAngle};
    double t = dot(cone.apex - plane.point, cut.n);
    if (t > 0) {
        cut.n = -cut.n;
        t = -t;
    }
    double k = dot(cut.axis, cut.n);
    if (k < 0) {
        cut.axis = -cut.axis;
        k = -k;
    }
    double s = std::sin(cone.halfAngle);
    double h = -t;
    if (std::fabs(k - s) >= 1e-8)
        coneSectionConic(cut, h, k, s, list);
    else
        coneSectionParabola(cut, h, k, list);
    return 0;
}
