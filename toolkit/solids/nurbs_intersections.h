// Helpers of the NURBS curve intersections.
#pragma once

#include <functional>

#include "toolkit/solids/box.h"
#include "toolkit/solids/vector.h"

class c_NURBSCurve;

// The planarity tolerance of NURBS–circle intersections.
extern double nurbsPlanarityTolerance;
void resetNurbsPlanarityTolerance();

using SurfaceFunction = std::function<double(const aPoint&)>;

bool boxesOverlap(const aBox& a, const aBox& b);
// The parameters of the line P + t·D (D normalized) where it runs through
// the middle pair of the box's slab planes; false for a zero direction or a
// line parallel to a slab and outside it.
bool clipLineToBox(const aBox& box, const aPoint& p, const aVector& d, double& t0, double& t1);
// Offers control points on the surface (|f| within the touching tolerance)
// that lie on the curve to points; true when the others lie on both sides.
bool controlPointsStraddle(const c_NURBSCurve& curve, const SurfaceFunction& f, double touching, aPoint* points,
                           int& count, int capacity);
// The curve point between parameters a and b where f changes sign.
aPoint bisectCrossing(const c_NURBSCurve& curve, double a, double fa, double b, const SurfaceFunction& f);
// Crossings of the curve with the zero set of f: a new array of 20 points,
// or null when there is none. onlyInsideConvex: only the side f < 0 is
// convex (a sphere), so control points all outside still need the search.
aPoint* intersectSurfaceFunction(const c_NURBSCurve& curve, const SurfaceFunction& f, double touching, int& count,
                                 bool onlyInsideConvex);
