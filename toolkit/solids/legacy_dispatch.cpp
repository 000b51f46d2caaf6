#include <utility>

#include "toolkit/solids/legacy_intersections.h"

namespace {

template <class T>
const T& as(const LegacyNode* node) {
    return std::get<T>(node->record->geometry);
}

// A node whose type code does not match its record is treated as missing.
bool usable(const LegacyNode* node) {
    return node && node->record && legacyTypeOf(node->record->geometry) == node->type;
}

}  // namespace

std::int32_t intersectLegacyCurves(const LegacyNode* a, const LegacyNode* b, LegacyIntersectionList& list) {
    if (!usable(a) || !usable(b)) return 1;
    if (a->type > b->type) std::swap(a, b);
    if (a->type == LEGACY_LINE) {
        const LegacyLine& line = as<LegacyLine>(a);
        switch (b->type) {
        case LEGACY_LINE: return intersectLineLine(line, as<LegacyLine>(b), list);
        case LEGACY_CIRCLE: return intersectLineCircle(line, as<LegacyCircle>(b), list);
        case LEGACY_ELLIPSE: return intersectLineEllipse(line, as<LegacyEllipse>(b), list);
        case LEGACY_PARABOLA: return intersectLineParabola(line, as<LegacyParabola>(b), list);
        case LEGACY_HYPERBOLA: return intersectLineHyperbola(line, as<LegacyHyperbola>(b), list);
        default: return 1;
        }
    }
    if (a->type == LEGACY_CIRCLE) {
        const LegacyCircle& circle = as<LegacyCircle>(a);
        switch (b->type) {
        case LEGACY_CIRCLE: return intersectCircleCircle(circle, as<LegacyCircle>(b), list);
        case LEGACY_ELLIPSE: return intersectCircleEllipse(circle, as<LegacyEllipse>(b), list);
        case LEGACY_PARABOLA: return intersectCircleParabola(circle, as<LegacyParabola>(b), list);
        case LEGACY_HYPERBOLA: return intersectCircleHyperbola(circle, as<LegacyHyperbola>(b), list);
        default: return 1;
        }
    }
    return 1;
}

std::int32_t intersectLegacyCurveSurface(const LegacyNode* curve, const LegacyNode* surface,
                                         LegacyIntersectionList& list) {
    if (!usable(curve) || !usable(surface)) return 1;
    if (curve->type == LEGACY_LINE) {
        const LegacyLine& line = as<LegacyLine>(curve);
        switch (surface->type) {
        case LEGACY_PLANE: return intersectLinePlane(line, as<LegacyPlane>(surface), list);
        case LEGACY_CYLINDER: return intersectLineCylinder(line, as<LegacyCylinder>(surface), list);
        case LEGACY_SPHERE: return intersectLineSphere(line, as<LegacySphere>(surface), list);
        case LEGACY_CONE: return intersectLineCone(line, as<LegacyCone>(surface), list);
        default: return 1;
        }
    }
    if (curve->type == LEGACY_CIRCLE) {
        const LegacyCircle& circle = as<LegacyCircle>(curve);
        switch (surface->type) {
        case LEGACY_PLANE: return intersectCirclePlane(circle, as<LegacyPlane>(surface), list);
        case LEGACY_CYLINDER: return intersectCircleCylinder(circle, as<LegacyCylinder>(surface), list);
        case LEGACY_SPHERE: return intersectCircleSphere(circle, as<LegacySphere>(surface), list);
        case LEGACY_CONE: return intersectCircleCone(circle, as<LegacyCone>(surface), list);
        default: return 1;
        }
    }
    return 1;
}
