#include "toolkit/solids/intersection_result.h"

#include "toolkit/solids/curve.h"
#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/surface.h"

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

}  // namespace

c_IntersectionResult::c_IntersectionResult(const c_Curve& a, const c_Curve& b) { intersectLegacy(a, b); }

void c_IntersectionResult::intersectLegacy(const c_Curve& a, const c_Curve& b) {
    status = throughLegacy(a, b, list, intersectLegacyCurves);
}

c_IntersectionResult::c_IntersectionResult(const c_Curve& curve, const c_Surface& surface) {
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
