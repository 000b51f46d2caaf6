// Closed-form intersections of the legacy layer. Every routine clears the
// result list first (unless noted), appends what it finds with a tangency
// flag and answers a code:
//   0 done (points, if any, are in the list; none for contained cases)
//   1 no intersection, or a pair that is not supported
//  −1, −2 coplanar circles nested without contact (−1: the first is the smaller)
//  −3 circle and plane in parallel distinct planes
//  −4 circle inside a sphere's section circle without contact
//  −5 line parallel to a cylinder's axis, inside it
//  −6 parallel distinct lines
//  −7 line parallel to a plane, off it
//  −8 parallel distinct planes
#pragma once

#include <cstdint>

#include "toolkit/solids/legacy_records.h"

using LegacyList = LegacyIntersectionList;

// Plane sections of the surfaces.
std::int32_t intersectPlanePlane(const LegacyPlane& a, const LegacyPlane& b, LegacyList& list);
std::int32_t intersectPlaneSphere(const LegacyPlane& plane, const LegacySphere& sphere, LegacyList& list);
std::int32_t intersectPlaneCylinder(const LegacyPlane& plane, const LegacyCylinder& cylinder, LegacyList& list);
std::int32_t intersectPlaneCone(const LegacyPlane& plane, const LegacyCone& cone, LegacyList& list);

// Curves with surfaces.
std::int32_t intersectLinePlane(const LegacyLine& line, const LegacyPlane& plane, LegacyList& list);
std::int32_t intersectLineCylinder(const LegacyLine& line, const LegacyCylinder& cylinder, LegacyList& list);
std::int32_t intersectLineSphere(const LegacyLine& line, const LegacySphere& sphere, LegacyList& list);
std::int32_t intersectLineCone(const LegacyLine& line, const LegacyCone& cone, LegacyList& list);
std::int32_t intersectCirclePlane(const LegacyCircle& circle, const LegacyPlane& plane, LegacyList& list);
std::int32_t intersectCircleCylinder(const LegacyCircle& circle, const LegacyCylinder& cylinder, LegacyList& list);
std::int32_t intersectCircleSphere(const LegacyCircle& circle, const LegacySphere& sphere, LegacyList& list);
std::int32_t intersectCircleCone(const LegacyCircle& circle, const LegacyCone& cone, LegacyList& list);

// Curves with curves.
std::int32_t intersectLineLine(const LegacyLine& a, const LegacyLine& b, LegacyList& list);
std::int32_t intersectLineCircle(const LegacyLine& line, const LegacyCircle& circle, LegacyList& list);
std::int32_t intersectLineEllipse(const LegacyLine& line, const LegacyEllipse& ellipse, LegacyList& list);
std::int32_t intersectLineParabola(const LegacyLine& line, const LegacyParabola& parabola, LegacyList& list);
std::int32_t intersectLineHyperbola(const LegacyLine& line, const LegacyHyperbola& hyperbola, LegacyList& list);
std::int32_t intersectCircleCircle(const LegacyCircle& a, const LegacyCircle& b, LegacyList& list);
std::int32_t intersectCircleEllipse(const LegacyCircle& circle, const LegacyEllipse& ellipse, LegacyList& list);
std::int32_t intersectCircleParabola(const LegacyCircle& circle, const LegacyParabola& parabola, LegacyList& list);
std::int32_t intersectCircleHyperbola(const LegacyCircle& circle, const LegacyHyperbola& hyperbola, LegacyList& list);

// The same pairs known to share a plane.
std::int32_t coplanarLineLine(const LegacyLine& a, const LegacyLine& b, LegacyList& list);
std::int32_t coplanarLineCircle(const LegacyLine& line, const LegacyCircle& circle, LegacyList& list);
std::int32_t coplanarLineEllipse(const LegacyLine& line, const LegacyEllipse& ellipse, LegacyList& list);
std::int32_t coplanarLineHyperbola(const LegacyLine& line, const LegacyHyperbola& hyperbola, LegacyList& list);
std::int32_t coplanarLineParabola(const LegacyLine& line, const LegacyParabola& parabola, LegacyList& list);
std::int32_t coplanarCircleCircle(const LegacyCircle& a, const LegacyCircle& b, LegacyList& list);
std::int32_t coplanarCircleEllipse(const LegacyCircle& circle, const LegacyEllipse& ellipse, LegacyList& list);
std::int32_t coplanarCircleHyperbola(const LegacyCircle& circle, const LegacyHyperbola& hyperbola, LegacyList& list);
std::int32_t coplanarCircleParabola(const LegacyCircle& circle, const LegacyParabola& parabola, LegacyList& list);
