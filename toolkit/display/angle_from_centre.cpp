// The direction of a point seen from a centre, as the multiline caps and
// the proxy records that place arcs by three points take it.
#include "toolkit/display/curves.h"

#include <cmath>
#include <numbers>

double adAngleFromCentre(const double centre[2], const double point[2]) {
    const double dx = point[0] - centre[0], dy = point[1] - centre[1];
    if (dx == 0.0) return dy > 0.0 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    const double a = std::atan(dy / dx);
    if (dx > 0.0) return a;
    return dy < 0.0 ? a - std::numbers::pi : a + std::numbers::pi;
}
