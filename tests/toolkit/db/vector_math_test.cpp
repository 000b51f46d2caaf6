// Vector arithmetic: normalising, cross products, angles of segments and at
// vertices, ellipse parameters, and bulge arc centres with their refusals.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTolerance = 1e-9;

TEST(VectorMath, NormalizeScalesToUnitLengthAndSetsW) {
    double v[4] = {3, 4, 0, 7};
    adVectorNormalize(v);
    EXPECT_DOUBLE_EQ(v[0], 0.6);
    EXPECT_DOUBLE_EQ(v[1], 0.8);
    EXPECT_DOUBLE_EQ(v[2], 0.0);
    EXPECT_DOUBLE_EQ(v[3], 1.0);

    double zero[4] = {0, 0, 0, 5};
    adVectorNormalize(zero);
    EXPECT_EQ(zero[0], 0.0);
    EXPECT_EQ(zero[1], 0.0);
    EXPECT_EQ(zero[2], 0.0);
    EXPECT_EQ(zero[3], 1.0);
}

TEST(VectorMath, CrossIsTheNormalisedRightHandedProduct) {
    const double a[3] = {2, 0, 0};
    const double b[3] = {0, 3, 0};
    double out[4] = {9, 9, 9, 9};
    adVectorCross(a, b, out);
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[1], 0.0);
    EXPECT_DOUBLE_EQ(out[2], 1.0);
    EXPECT_DOUBLE_EQ(out[3], 1.0);

    adVectorCross(b, a, out);
    EXPECT_DOUBLE_EQ(out[2], -1.0);

    adVectorCross(a, a, out);  // parallel: the zero vector survives normalising
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[1], 0.0);
    EXPECT_EQ(out[2], 0.0);
    EXPECT_EQ(out[3], 1.0);
}

struct SegmentCase {
    double qx, qy;
    double expected;
};

class AngleOfSegment : public testing::TestWithParam<SegmentCase> {};

// Directions left of the vertical lie in pi/2..3pi/2, not in -pi..-pi/2.
TEST_P(AngleOfSegment, GivesTheDirectionFromPToQ) {
    const double p[2] = {1, 1};
    const double q[2] = {1 + GetParam().qx, 1 + GetParam().qy};
    EXPECT_NEAR(adAngleOfSegment(p, q), GetParam().expected, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(Cases, AngleOfSegment,
                         testing::Values(SegmentCase{1, 1, kPi / 4}, SegmentCase{-1, 1, 3 * kPi / 4},
                                         SegmentCase{-1, -1, 5 * kPi / 4}, SegmentCase{1, -1, -kPi / 4},
                                         SegmentCase{-1, 0, kPi}, SegmentCase{0, 2, kPi / 2},
                                         SegmentCase{0, -2, -kPi / 2}, SegmentCase{0, 0, kPi / 2}));

struct VertexCase {
    double p0[2];
    double p2[2];
};

class AngleBetweenAtVertex : public testing::TestWithParam<VertexCase> {};

// The answer is the unsigned angle between the two legs, whatever their
// order and whichever side of the vertical they lie.
TEST_P(AngleBetweenAtVertex, MatchesTheAngleBetweenTheLegs) {
    const VertexCase& c = GetParam();
    const double vertex[2] = {0, 0};
    const double dot = c.p0[0] * c.p2[0] + c.p0[1] * c.p2[1];
    const double expected = std::acos(dot / (std::hypot(c.p0[0], c.p0[1]) * std::hypot(c.p2[0], c.p2[1])));
    EXPECT_NEAR(adAngleBetweenAtVertex(c.p0, vertex, c.p2), expected, kTolerance);
    EXPECT_NEAR(adAngleBetweenAtVertex(c.p2, vertex, c.p0), expected, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(Cases, AngleBetweenAtVertex,
                         testing::Values(VertexCase{{1, 0}, {0, 1}}, VertexCase{{1, 0}, {-1, -1}},
                                         VertexCase{{1, -1}, {-1, -0.5}}, VertexCase{{0, -1}, {-1, 1}},
                                         VertexCase{{2, 0}, {-3, 0}}, VertexCase{{0, 3}, {0, 1}}));

TEST(AngleBetweenAtVertex, KnownAngles) {
    const double vertex[2] = {0, 0};
    const double east[2] = {1, 0};
    const double north[2] = {0, 1};
    const double southWest[2] = {-1, -1};
    EXPECT_NEAR(adAngleBetweenAtVertex(east, vertex, north), kPi / 2, kTolerance);
    EXPECT_NEAR(adAngleBetweenAtVertex(east, vertex, southWest), 3 * kPi / 4, kTolerance);
}

TEST(EllipseParameter, ConversionsFollowTheAxisRatioAndInvertEachOther) {
    EXPECT_NEAR(adEllipseParamToAngle(kPi / 4, 0.5), std::atan(0.5), kTolerance);
    EXPECT_NEAR(adEllipseAngleToParam(std::atan(0.5), 0.5), kPi / 4, kTolerance);
    EXPECT_NEAR(adEllipseParamToAngle(kPi / 2, 0.25), kPi / 2, kTolerance);
    for (double t = -3.0; t <= 3.0; t += 0.5) {
        EXPECT_NEAR(adEllipseAngleToParam(adEllipseParamToAngle(t, 0.3), 0.3), t, kTolerance) << t;
        EXPECT_NEAR(adEllipseParamToAngle(t, 1.0), t, kTolerance) << t;
    }
}

struct ArcCase {
    const char* name;
    double p1[2];
    double p2[2];
    double angle;
    double cx, cy, radius;
};

class BulgeArcCenter : public testing::TestWithParam<ArcCase> {};

TEST_P(BulgeArcCenter, CentreIsEquidistantOnTheRightSide) {
    const ArcCase& c = GetParam();
    double cx = 0, cy = 0, radius = 0;
    ASSERT_EQ(adBulgeArcCenter(c.p1, c.p2, c.angle, &cx, &cy, &radius), 1);
    EXPECT_NEAR(cx, c.cx, kTolerance);
    EXPECT_NEAR(cy, c.cy, kTolerance);
    EXPECT_NEAR(radius, c.radius, kTolerance);
    EXPECT_NEAR(std::hypot(c.p1[0] - cx, c.p1[1] - cy), radius, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BulgeArcCenter,
    testing::Values(ArcCase{"HalfCircleOverHorizontalChord", {0, 0}, {2, 0}, kPi, 1, 0, 1},
                    ArcCase{"HalfCircleOverVerticalChord", {0, 0}, {0, 2}, kPi, 0, 1, 1},
                    ArcCase{"HalfCircleOverDiagonal", {0, 0}, {1, 1}, kPi, 0.5, 0.5, std::sqrt(0.5)},
                    ArcCase{"QuarterCounterClockwise", {1, 0}, {0, 1}, kPi / 2, 0, 0, 1},
                    ArcCase{"QuarterClockwise", {1, 0}, {0, 1}, -kPi / 2, 1, 1, 1},
                    ArcCase{"QuarterOverHorizontalChord", {-1, 1}, {1, 1}, kPi / 2, 0, 2, std::sqrt(2.0)},
                    ArcCase{"CoincidentPoints", {3, 4}, {3, 4}, kPi, 3, 4, 0}),
    [](const testing::TestParamInfo<ArcCase>& info) { return info.param.name; });

struct NoArcCase {
    const char* name;
    double p1[2];
    double p2[2];
    double angle;
};

class BulgeArcCenterRefuses : public testing::TestWithParam<NoArcCase> {};

// A zero angle is a straight segment: no finite centre exists, so the
// answer is no arc rather than infinities in the outputs.
TEST_P(BulgeArcCenterRefuses, AnswersNoArcWithFiniteOutputs) {
    const NoArcCase& c = GetParam();
    double cx = 99, cy = 99, radius = 99;
    EXPECT_EQ(adBulgeArcCenter(c.p1, c.p2, c.angle, &cx, &cy, &radius), 0);
    EXPECT_DOUBLE_EQ(cx, (c.p1[0] + c.p2[0]) / 2);
    EXPECT_DOUBLE_EQ(cy, (c.p1[1] + c.p2[1]) / 2);
    EXPECT_EQ(radius, 0.0);
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Cases, BulgeArcCenterRefuses,
                         testing::Values(NoArcCase{"ZeroOverHorizontalChord", {0, 0}, {2, 0}, 0.0},
                                         NoArcCase{"ZeroOverVerticalChord", {0, 0}, {0, 2}, 0.0},
                                         NoArcCase{"ZeroOverDiagonal", {0, 0}, {1, 3}, -0.0},
                                         NoArcCase{"InfiniteAngle", {0, 0}, {1, 3}, kInfinity},
                                         NoArcCase{"NaNAngle", {0, 0}, {2, 0}, kNaN}),
                         [](const testing::TestParamInfo<NoArcCase>& info) { return info.param.name; });

}  // namespace
