#include "toolkit/solids/tolerances.h"

namespace {
constexpr double kAngleTol = 0.001;
constexpr double kDistanceTol = 1e-6;
constexpr double kDistanceSquaredTol = 0.0002;
constexpr double kUnitTol = 1e-6;

double pointTolerance = kDistanceTol;
}  // namespace

double BasicAngleTol = kAngleTol;
double BasicDistanceTol = kDistanceTol;
double BasicDistanceSquaredTol = kDistanceSquaredTol;
double BasicUnitTol = kUnitTol;

void resetBasicTolerances() {
    BasicAngleTol = kAngleTol;
    BasicDistanceTol = kDistanceTol;
    BasicDistanceSquaredTol = kDistanceSquaredTol;
    BasicUnitTol = kUnitTol;
    pointTolerance = kDistanceTol;
}

double getPointTolerance() { return pointTolerance; }

void setPointTolerance(double tolerance) {
    if (tolerance >= 0) pointTolerance = tolerance;
}
