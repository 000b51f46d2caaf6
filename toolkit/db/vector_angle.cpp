// Directions of 2D vectors, as the text and dimension code asks for them.
#include "toolkit/ad_internal.h"

#include <cmath>

namespace {
constexpr double kFifteenDegrees = 0.2617993877991494;
constexpr double kOneSixtyFiveDegrees = 2.8797932657906435;
}  // namespace

double adVectorAngle(const double vector[2]) {
    const double x = vector[0];
    const double y = vector[1];
    if (x == 0.0) return y >= 0.0 ? AD_PI / 2 : -AD_PI / 2;
    const double a = std::atan(y / x);
    if (x > 0.0) return a;
    return y > 0.0 ? a + AD_PI : a - AD_PI;
}

int adDirectionIsOblique(const double from[3], const double to[3]) {
    const double delta[2] = {to[0] - from[0], to[1] - from[1]};
    const double angle = adVectorAngle(delta);
    if (angle >= -kFifteenDegrees && angle <= kFifteenDegrees) return 0;
    return std::fabs(angle) >= kOneSixtyFiveDegrees ? 0 : 1;
}
