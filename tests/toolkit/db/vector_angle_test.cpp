// Angles of vectors in every quadrant and on the axes, and the test for
// oblique directions.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct AngleCase {
    double x, y;
    double expected;
};

class VectorAngle : public testing::TestWithParam<AngleCase> {};

TEST_P(VectorAngle, CoversEveryQuadrantAndTheAxes) {
    const double v[2] = {GetParam().x, GetParam().y};
    EXPECT_DOUBLE_EQ(adVectorAngle(v), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, VectorAngle,
                         testing::Values(AngleCase{0, 0, kPi / 2}, AngleCase{-1, 0, -kPi}, AngleCase{1, 0, 0},
                                         AngleCase{0, -2, -kPi / 2}, AngleCase{1, 1, kPi / 4},
                                         AngleCase{-1, 1, 3 * kPi / 4}, AngleCase{-1, -1, -3 * kPi / 4}));

struct ObliqueCase {
    double degrees;
    int expected;
};

class DirectionIsOblique : public testing::TestWithParam<ObliqueCase> {};

TEST_P(DirectionIsOblique, FifteenDegreesEitherSideOfXIsStraight) {
    const double radians = GetParam().degrees * kPi / 180;
    const double from[3] = {2, 3, 5};
    const double to[3] = {2 + std::cos(radians), 3 + std::sin(radians), -1};
    EXPECT_EQ(adDirectionIsOblique(from, to), GetParam().expected) << GetParam().degrees;
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectionIsOblique,
                         testing::Values(ObliqueCase{0, 0}, ObliqueCase{15, 0}, ObliqueCase{16, 1},
                                         ObliqueCase{-15, 0}, ObliqueCase{-16, 1}, ObliqueCase{90, 1},
                                         ObliqueCase{164, 1}, ObliqueCase{166, 0}, ObliqueCase{180, 0},
                                         ObliqueCase{194, 0}, ObliqueCase{196, 1}));

TEST(DirectionIsOblique, ZeroLengthCountsAsVertical) {
    const double p[3] = {1, 1, 1};
    EXPECT_EQ(adDirectionIsOblique(p, p), 1);
}

}  // namespace
