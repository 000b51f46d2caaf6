#include "toolkit/solids/intersection_result.h"

#include <memory>
#include <numbers>

#include "toolkit/solids/conic_arc.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/plane.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/surface.h"
#include "toolkit/solids/torus.h"

namespace {

// Makes both legacy entities, runs the routine when both exist and frees them.
template <class A, class B, class Routine>
std::int32_t throughLegacy(const A& a, const B& b, LegacyIntersectionList& list, Routine routine) {
    LegacyEntityHandle ha, hb;
    a.makeOldStyleEntity(ha);
    b.makeOldStyleEntity(hb);
    std::int32_t status = 1;
    if (ha.node && hb.node && routine(ha.node, hb.node, list) == 0) status = 2;
    freeLegacyEntity(ha.node);
    freeLegacyEntity(hb.node);
    return status;
}

// Up to 14 points of two NURBS curves; a full array of 15 counts as failure.
std::int32_t intersectNURBSPair(const c_NURBSCurve& a, const c_NURBSCurve& b, LegacyIntersectionList& list) {
    constexpr int kCapacity = 15;
    aPoint points[kCapacity];
    const int n = a.intersectNURBS(b, points, kCapacity);
    if (n == 0 || n == kCapacity) return 1;
    for (int i = 0; i < n; ++i) addLegacyPoint(points[i], 0, list);
    return 2;
}

// Appends the points of an array the caller handed over, and deletes it.
std::int32_t takePoints(aPoint* points, int count, LegacyIntersectionList& list) {
    std::unique_ptr<aPoint[]> owned(points);
    if (!points) return 1;
    for (int i = 0; i < count; ++i) addLegacyPoint(points[i], 0, list);
    return 2;
}

}  // namespace

c_IntersectionResult::c_IntersectionResult(const c_Curve& a, const c_Curve& b) {
    const bool aN = isClass(a, kNURBSCurveClass), bN = isClass(b, kNURBSCurveClass);
    if (aN && bN) {
        status = intersectNURBSPair(static_cast<const c_NURBSCurve&>(a), static_cast<const c_NURBSCurve&>(b), list);
        return;
    }
    if (aN || bN) {
        const auto& nurbs = static_cast<const c_NURBSCurve&>(aN ? a : b);
        const c_Curve& other = aN ? b : a;
        if (isClass(other, kLineClass)) {
            status = nurbs.intersectLine(static_cast<const c_Line&>(other), list);
            return;
        }
        if (isClass(other, kCircleClass)) {
            status = nurbs.intersectCircle(static_cast<const c_Circle&>(other), list);
            return;
        }
        if (isClass(other, kEllipseClass)) {
            const c_ConicArc arc(static_cast<const c_Ellipse&>(other), 0, 2 * std::numbers::pi);
            status = intersectNURBSPair(nurbs, arc, list);
            return;
        }
        writeDiagnostic(DiagnosticStream::err, "**** ERROR: Bad type in c_IntersectionResult::(curve,curve)\n");
    }
    intersectLegacy(a, b);
}

void c_IntersectionResult::intersectLegacy(const c_Curve& a, const c_Curve& b) {
    status = throughLegacy(a, b, list, intersectLegacyCurves);
}

c_IntersectionResult::c_IntersectionResult(const c_Curve& curve, const c_Surface& surface) {
    if (isClass(curve, kNURBSCurveClass)) {
        const auto& nurbs = static_cast<const c_NURBSCurve&>(curve);
        int count = 0;
        if (isClass(surface, kPlaneClass)) {
            aPoint* points = nurbs.intersectPlane(static_cast<const c_Plane&>(surface), count);
            status = takePoints(points, count, list);
            return;
        }
        if (isClass(surface, kSphereClass)) {
            aPoint* points = nurbs.intersectSphere(static_cast<const c_Sphere&>(surface), count);
            status = takePoints(points, count, list);
            return;
        }
        Diagnostic(DiagnosticStream::err) << "Cannot intersect a NURBS curve with a " << surface.className() << '\n';
        return;
    }
    const bool ellCylinder = isClass(surface, kEllCylinderClass), torus = isClass(surface, kTorusClass);
    if (isClass(curve, kLineClass) && (ellCylinder || torus)) {
        status = surface.intersect(curve, list);
        return;
    }
    if (isClass(curve, kCircleClass) && ellCylinder) {
        status = static_cast<const c_EllCylinder&>(surface).intersectCircle(static_cast<const c_Circle&>(curve), list);
        return;
    }
    if (isClass(curve, kCircleClass) && torus) {
        status = static_cast<const c_Torus&>(surface).intersectCircle(static_cast<const c_Circle&>(curve), list);
        return;
    }
    status = throughLegacy(curve, surface, list, intersectLegacyCurveSurface);
}

c_IntersectionResult::c_IntersectionResult(const c_Surface& a, const c_Surface& b) {
    status = throughLegacy(a, b, list, [](const LegacyNode* na, const LegacyNode* nb, LegacyIntersectionList& out) {
        if (na->type != LEGACY_PLANE || nb->type != LEGACY_PLANE) return std::int32_t{1};
        return intersectPlanePlane(std::get<LegacyPlane>(na->record->geometry),
                                   std::get<LegacyPlane>(nb->record->geometry), out);
    });
}

std::int32_t c_IntersectionResult::getCount() const { return status == 2 && list.count == 0 ? 1 : list.count; }

c_IntersectionItem::c_IntersectionItem(const c_IntersectionResult& result, std::int32_t index) {
    if (result.status != 2) return;
    if (result.list.count == 0)
        whole = true;
    else if (index >= 0 && index < result.list.count)
        item = &result.list.items[index];
}

std::int32_t c_IntersectionItem::kind() const {
    if (whole) return 1;
    if (!item) return 0;
    switch (item->type) {
    case LEGACY_POINT: return 2;
    case LEGACY_LINE:
    case LEGACY_CIRCLE:
    case LEGACY_ELLIPSE: return 3;
    default: return 0;
    }
}

bool c_IntersectionItem::getPoint(aPoint& out) const {
    if (item && item->type == LEGACY_POINT) {
        out = std::get<aPoint>(item->geometry);
        return true;
    }
    out = origin;
    return false;
}

bool c_IntersectionItem::getLine(c_Line& out) const {
    if (item && item->type == LEGACY_LINE) {
        const auto& line = std::get<LegacyLine>(item->geometry);
        out = c_Line(line.point, line.direction);
        return true;
    }
    out = c_Line(origin, xAxis);
    return false;
}
