// The process-wide tolerances of the solid-model code. The renderer and face
// classification change them at run time, so every tolerance test reads them
// here rather than keeping copies.
#pragma once

extern double BasicAngleTol;            // angle and parameter comparisons
extern double BasicDistanceTol;         // zero-length tests
extern double BasicDistanceSquaredTol;  // squared-distance comparisons
extern double BasicUnitTol;             // unit dot-product (parallel) tests

// Puts the four tolerances and the point tolerance back to their start values.
void resetBasicTolerances();

// The one tolerance of point coincidence.
double getPointTolerance();
// A negative tolerance is ignored.
void setPointTolerance(double tolerance);
