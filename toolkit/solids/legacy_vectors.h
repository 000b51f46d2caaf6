// Vector helpers of the legacy geometry layer, with its own fixed tolerances
// (1e-7 for lengths, 1e-8 for the perpendicular choice, 1e-14 for coincident
// points) rather than the process-wide ones.
#pragma once

#include "toolkit/solids/vector.h"

// Divides by the length only above 1e-7; answers the length, or 0 for a
// shorter vector, which is left as it was.
double vecNormalize(aVector& v);
// Writes v / |v| only above 1e-7; answers the length.
double vecNormalizeInto(const aVector& v, aVector& out);
// A unit vector perpendicular to v.
aVector vecPerpendicular(const aVector& v);
// w = v normalized, u = its perpendicular, third = w × u; answers 0 for a
// vector shorter than 1e-7 and 1 otherwise.
int vecFrame(const aVector& v, aVector& u, aVector& third, aVector& w);
bool pointsCoincide3(const aPoint& p, const aPoint& q);
// The cosine of the angle opposite k in a triangle of sides a, b, k.
double lawOfCosines(double a, double b, double k);
