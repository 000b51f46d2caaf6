// Small geometric predicates of the legacy layer: foci, point-on-curve and
// point-in-plane tests, distances, cone sections and cone normals.
#pragma once

#include "toolkit/solids/legacy_records.h"

// The bound of legacyPointInPlane (an angle bound, not a distance).
extern double legacyPlaneTolerance;
void resetLegacyPlaneTolerance();

void legacyEllipseFoci(const LegacyEllipse& e, aPoint& f1, aPoint& f2);
void legacyHyperbolaFoci(const LegacyHyperbola& h, aPoint& f1, aPoint& f2);
double legacyPointLineDistance(const aPoint& p, const LegacyLine& line);
bool legacyPointOnCircle(const aPoint& p, const LegacyCircle& c);
bool legacyPointOnEllipse(const aPoint& p, const LegacyEllipse& e);
bool legacyPointOnHyperbola(const aPoint& p, const LegacyHyperbola& h);
bool legacyPointOnParabola(const aPoint& p, const LegacyParabola& pa);
// Two point-and-unit-vector records: parallel, and the second point in the
// plane through the first perpendicular to its vector.
bool legacyLinesCoincide(const aPoint& q1, const aVector& d1, const aPoint& q2, const aVector& d2);
double legacyPlaneCosine(const LegacyPlane& plane, const aPoint& p);
bool legacyPointInPlane(const aPoint& p, const LegacyPlane& plane);
double legacyPlaneDistance(const aPoint& p, const LegacyPlane& plane);
void legacyConeSection(const LegacyCone& cone, double h, LegacyCircle& out);
void legacyConeParameters(const LegacyCone& cone, const aPoint& p, double& h, double& angle);
// 2 on the upper nappe, 1 on the lower, −1 at the apex's height (normal = x).
int legacyConeNormal(const LegacyCone& cone, const aPoint& p, aVector& normal);
