#include "toolkit/solids/nurbs_intersections.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "toolkit/solids/conic.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/plane.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/rat_bezier_curve.h"
#include "toolkit/solids/tolerances.h"

namespace {
constexpr int kArrayCapacity = 20;
// The containment factor of the Bezier search.
constexpr double kSearchResolution = 2500;
}

double nurbsPlanarityTolerance = 1e-6;

void resetNurbsPlanarityTolerance() { nurbsPlanarityTolerance = BasicDistanceTol; }

bool boxesOverlap(const aBox& a, const aBox& b) {
    return a.xmin <= b.xmax && b.xmin <= a.xmax && a.ymin <= b.ymax && b.ymin <= a.ymax && a.zmin <= b.zmax &&
           b.zmin <= a.zmax;
}

bool clipLineToBox(const aBox& box, const aPoint& p, const aVector& d, double& t0, double& t1) {
    aVector u = d;
    if (u.normalize() < BasicDistanceTol) return false;
    const double low[3] = {box.xmin, box.ymin, box.zmin}, high[3] = {box.xmax, box.ymax, box.zmax};
    std::vector<double> values;
    for (int axis = 0; axis < 3; ++axis) {
        const double ua = u.component(axis), pa = p.component(axis);
        if (std::fabs(ua) > BasicUnitTol) {
            values.push_back((low[axis] - pa) / ua);
            values.push_back((high[axis] - pa) / ua);
        } else if (pa < low[axis] || pa > high[axis]) {
            return false;
        }
    }
    std::sort(values.begin(), values.end());
    const std::size_t m = values.size();
    t0 = values[m / 2 - 1];
    t1 = values[m / 2];
    return true;
}

bool controlPointsStraddle(const c_NURBSCurve& curve, const SurfaceFunction& f, double touching, aPoint* points,
                           int& count, int capacity) {
    bool positive = false, negative = false;
    aPoint p;
    for (int i = 0; curve.getControlPoint(i, p); ++i) {
        const double value = f(p);
        if (std::fabs(value) <= touching) {
            // Only control points the curve runs through are meeting points.
            if (curve.containsPoint(p)) addUniquePoint(p, points, count, capacity);
        } else if (value >= 0) {
            positive = true;
        } else {
            negative = true;
        }
    }
    return positive && negative;
}

aPoint bisectCrossing(const c_NURBSCurve& curve, double a, double fa, double b, const SurfaceFunction& f) {
    aPoint x;
    for (int round = 0; round < 100; ++round) {
        const double m = (a + b) / 2;
        curve.getPointAt(m, x);
        const double d = f(x);
        if (std::fabs(d) < 1e-10) return x;
        if (d * fa > 0)
            a = m;
        else
            b = m;
        if (b - a <= 1e-10) break;
    }
    curve.getPointAt((a + b) / 2, x);
    return x;
}

aPoint* intersectSurfaceFunction(const c_NURBSCurve& curve, const SurfaceFunction& f, double touching, int& count,
                                 bool onlyInsideConvex) {
    auto points = std::make_unique<aPoint[]>(kArrayCapacity);
    count = 0;
    bool allInside = true;
    aPoint p;
    for (int i = 0; curve.getControlPoint(i, p); ++i) allInside = allInside && f(p) < -touching;
    const bool straddle = controlPointsStraddle(curve, f, touching, points.get(), count, kArrayCapacity);
    // Control points on one side of a plane keep the curve there; outside a
    // sphere they do not, since the curve between them may pass through it.
    if (straddle || (onlyInsideConvex && !allInside)) {
        const double start = curve.getStartParameter();
        const double h = (curve.getEndParameter() - start) * 0.012658227848101266;
        double tPrev = start, fPrev = 0;
        for (int i = 0; i < 80; ++i) {
            const double t = start + i * h;
            aPoint x;
            curve.getPointAt(t, x);
            const double value = f(x);
            if (i > 0 && fPrev * value < 0)
                addUniquePoint(bisectCrossing(curve, tPrev, fPrev, t, f), points.get(), count, kArrayCapacity);
            tPrev = t;
            fPrev = value;
        }
    }
    return count > 0 ? points.release() : nullptr;
}

int c_NURBSCurve::intersectNURBS(const c_NURBSCurve& other, aPoint* points, int capacity) const {
    int count = 0;
    const int k = getOrder(), kB = other.getOrder();
    if (!points || k < 1 || kB < 1) return 0;
    for (int i = k - 1; i < k - 1 + getSpanCount() && count < capacity; ++i) {
        const aBox boxA = spanControlBox(i);
        std::unique_ptr<c_RatBezierCurve> segA;
        for (int j = kB - 1; j < kB - 1 + other.getSpanCount() && count < capacity; ++j) {
            if (!boxesOverlap(boxA, other.spanControlBox(j))) continue;
            if (!segA) {
                segA.reset(getBezierSegment(i));
                if (!segA) break;
            }
            std::unique_ptr<c_RatBezierCurve> segB(other.getBezierSegment(j));
            if (!segB) continue;
            aPoint found[kArrayCapacity];
            const int n = segA->intersectBezier(*segB, found, kArrayCapacity);
            snapPoints(found, n);
            // The subdivision reports one crossing several times, as far
            // apart as its containment tolerance; those are one point here.
            scaleCurveTolerances(kSearchResolution);
            for (int f = 0; f < n; ++f) addUniquePoint(found[f], points, count, capacity);
            restoreCurveTolerances();
        }
    }
    return count;
}

std::int32_t c_NURBSCurve::intersectLine(const c_Line& line, LegacyIntersectionList& list) const {
    list.count = 0;
    double t0, t1;
    if (!clipLineToBox(controlBox(), line.getPoint(), line.getDirection(), t0, t1)) return 1;
    aPoint p0, p1;
    line.getPointAt(t0, p0);
    line.getPointAt(t1, p1);
    aPoint points[kArrayCapacity];
    const int n = intersectNURBS(c_NURBSCurve(p0, p1), points, kArrayCapacity);
    if (n == 0 || n == kArrayCapacity) return 1;
    for (int i = 0; i < n; ++i) addLegacyPoint(points[i], 0, list);
    return 2;
}

std::int32_t c_NURBSCurve::coplanarIntersect(const c_Circle& circle, LegacyIntersectionList&) const {
    if (diagnosticSwitches.nurbs) {
        Diagnostic message(DiagnosticStream::err);
        message << "c_NURBSCurve::coplanarIntersect(";
        circle.print(message.stream());
        message << ") called.\n";
    }
    return 1;
}

bool c_NURBSCurve::isPlanar(c_Plane& plane) const {
    const int n = controlPointCount;
    aPoint p0, pm, third;
    if (n <= 3) {
        // Too few points to choose from: the plane through them, or through
        // the straight line they form.
        if (!getControlPoint(0, p0)) return true;
        aPoint far = p0;
        for (int i = 1; i < n; ++i) {
            aPoint q;
            getControlPoint(i, q);
            if (q.distanceTo(p0) > far.distanceTo(p0)) far = q;
        }
        aVector along = far - p0;
        aVector normal;
        for (int i = 1; i < n; ++i) {
            aPoint q;
            getControlPoint(i, q);
            normal = cross(along, q - p0);
            if (normal.length() > BasicDistanceTol) break;
        }
        if (normal.length() <= BasicDistanceTol) {
            if (along.length() <= BasicDistanceTol) return true;
            along.perpendicular(normal);
        }
        plane = c_Plane(p0, normal);
        return true;
    }
    getControlPoint(0, p0);
    getControlPoint(n / 2, pm);
    aVector r = p0 - pm;
    r.normalize();
    double best = 2;
    bool haveThird = false;
    for (int i = 2; i < n; ++i) {
        aPoint q;
        getControlPoint(i, q);
        aVector offset = q - pm;
        if (offset.length() < BasicDistanceTol) continue;
        offset.normalize();
        const double g = std::fabs(dot(r, offset));
        if (g < best) {
            third = q;
            haveThird = true;
            best = g;
            if (best < 0.7) break;
        }
    }
    if (!haveThird) third = pm;
    plane = c_Plane(p0, pm, third);
    for (int i = 0; i < n; ++i) {
        aPoint q;
        getControlPoint(i, q);
        if (std::fabs(plane.signedDistance(q)) > nurbsPlanarityTolerance) return false;
    }
    return true;
}

aPoint* c_NURBSCurve::intersectPlane(const c_Plane& plane, int& count) const {
    return intersectSurfaceFunction(
        *this, [&plane](const aPoint& p) { return plane.signedDistance(p); }, BasicDistanceTol, count, false);
}

aPoint* c_NURBSCurve::intersectSphere(const c_Sphere& sphere, int& count) const {
    return intersectSurfaceFunction(
        *this, [&sphere](const aPoint& p) { return sphere.pointPower(p); }, BasicDistanceSquaredTol, count, true);
}

std::int32_t c_NURBSCurve::intersectCircle(const c_Circle& circle, LegacyIntersectionList& list) const {
    list.count = 0;
    nurbsPlanarityTolerance = circle.getRadius() * 0.0001;
    c_Plane plane;
    const c_Plane circlePlane(circle.getCenter(), circle.getNormal());
    if (!isPlanar(plane)) {
        int n = 0;
        std::unique_ptr<aPoint[]> points(intersectPlane(circlePlane, n));
        for (int i = 0; i < n; ++i)
            if (circle.containsPoint(points[i])) addLegacyPoint(points[i], 0, list);
        return list.count > 0 ? 2 : 1;
    }
    if (circle.getNormal().isParallelTo(plane.getNormal())) {
        if (std::fabs(plane.signedDistance(circle.getCenter())) > BasicDistanceTol) return 1;
        return coplanarIntersect(circle, list);
    }
    c_IntersectionResult planes(circlePlane, plane);
    if (planes.getCount() <= 0) return 1;
    c_Line meet;
    c_IntersectionItem(planes, 0).getLine(meet);
    c_IntersectionResult onCircle(meet, circle);
    for (int i = 0; i < onCircle.getCount(); ++i) {
        aPoint x;
        c_IntersectionItem(onCircle, i).getPoint(x);
        if (containsPoint(x)) addLegacyPoint(x, 0, list);
    }
    return list.count > 0 ? 2 : 1;
}
