// Drawing a NURBS curve as one connected polyline on a render target.
#pragma once

#include "toolkit/solids/gl_interface.h"

// Samples the curve of the given knots, weighted control points and order
// evenly in parameter, with the density the target asks for, from the first
// knot to the last.
void drawNURBSPolyline(GL_Interface& target, int knotCount, const float* knots, const float* controlPoints,
                       int order);

// The rational basis values R[0 .. m−1] of the m control points at t, by the
// Cox–de Boor recursion over the whole knot vector (k + m knots).
void rationalBasis(int k, double t, int m, const float* knots, const double* weights, double* R);
