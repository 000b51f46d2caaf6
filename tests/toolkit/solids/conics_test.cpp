// Lines, circles and ellipses: repaired directions and axes, angle ranges,
// points on arcs, and segment and conic intersections.
#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>

#include "solids_fixture.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/tolerances.h"

namespace {

using Curves = SolidsTest;
constexpr double kPi = std::numbers::pi;

TEST_F(Curves, LinesRepairTheirDirection) {
    c_Line zero({1, 2, 3}, {0, 0, 0});
    expectNear(zero.getDirection(), zAxis, 0);
    c_Line up({1, 2, 3}, {0, 0, 5});
    expectNear(up.getDirection(), zAxis, 0);
    aPoint p;
    up.getPointAt(2, p);
    expectNear(p, {1, 2, 5});
    EXPECT_DOUBLE_EQ(up.getParameterOf({7, 7, 1}), -2);
    EXPECT_TRUE(up.containsPoint({1, 2, -40}));
    EXPECT_FALSE(up.containsPoint({1, 2.00001, 0}));
    EXPECT_TRUE(up.isEqual(c_Line({1, 2, 9}, {0, 0, -1})));
    EXPECT_FALSE(up.isEqual(c_Line({1, 3, 9}, {0, 0, -1})));

    EXPECT_EQ(up.clone(), nullptr);
    up.transform(aTransform());
    EXPECT_EQ(err, "Cannot clone instances of c_Line\nCannot transform instances of c_Line\n");
    std::ostringstream text;
    up.print(text);
    EXPECT_EQ(text.str(), "c_Line( (1,2,3) , (0,0,1) )");
}

TEST_F(Curves, EllipsesKeepTheMajorAxisFirst) {
    c_Ellipse swapped({0, 0, 0}, xAxis, zAxis, 1, 3);
    EXPECT_EQ(swapped.getRadius(), 3);
    EXPECT_EQ(swapped.getMinorRadius(), 1);
    expectNear(swapped.getXAxis(), yAxis);
    expectNear(swapped.getYAxis(), xAxis);
    expectNear(swapped.getNormal(), -zAxis);
    EXPECT_EQ(c_Ellipse({0, 0, 0}, xAxis, zAxis, 0, 1).getRadius(), 1.5);

    c_Ellipse e;  // a = 1.5, b = 1 in the world frame
    EXPECT_NEAR(e.getParameterOf({1.5, 0, 0}), 0, 1e-15);
    EXPECT_NEAR(e.getParameterOf({0, -1, 0}), -kPi / 2, 1e-15);
    aPoint p;
    e.getPointAt(kPi, p);
    expectNear(p, {-1.5, 0, 0});
    EXPECT_TRUE(e.containsPoint({0, 1, 0}));
    EXPECT_FALSE(e.containsPoint({0, 1, 0.001}));
    expectNear(e.tangentAt({1.5, 0, 0}), yAxis);

    std::unique_ptr<c_Curve> copy(e.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(e.isEqual(*copy));
    c_Circle circle({0, 0, 0}, zAxis, 2);
    EXPECT_EQ(circle.clone(), nullptr);
    EXPECT_EQ(err, "Cannot clone instances of c_Circle\n");
    EXPECT_FALSE(e.isEqual(circle));
    c_Ellipse fromCircle(circle);
    EXPECT_EQ(fromCircle.getMinorRadius(), 2);
}

TEST_F(Curves, CirclesMeasureAndSnap) {
    c_Circle c({1, 1, 0}, xAxis, zAxis, 0);  // a zero radius becomes 1
    EXPECT_EQ(c.getRadius(), 1);
    EXPECT_NEAR(c.getParameterOf({1, 5, 0}), kPi / 2, 1e-15);
    aPoint p(4, 1, 0);
    c.snapPoint(p);
    expectNear(p, {2, 1, 0});
    aPoint centre(1, 1, 0);
    c.snapPoint(centre);
    expectNear(centre, {1, 1, 0});
    EXPECT_TRUE(c.containsPoint({1, 2, 0}));
    expectNear(c.tangentAt({2, 1, 0}), yAxis);
    std::ostringstream text;
    c.print(text);
    EXPECT_EQ(text.str(), "c_Circle( C=(1,1,0) , u=(1,0,0) , v=(0,1,0) , w=(0,0,1) , r=1 )");
}

TEST_F(Curves, AngleRanges) {
    struct Case {
        double t, start, end;
        bool forward, want;
    } cases[] = {
        {3.0, 2.5, -2.5, true, true},   {3.0, 2.5, -2.5, false, false}, {0.0, 2.5, -2.5, false, true},
        {1.0, 0.5, 2.0, true, true},    {2.5, 0.5, 2.0, true, false},   {2.5, 0.5, 2.0, false, true},
        {-7.0, 1.0, 1.0005, true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isAngleInRange(c.t, c.start, c.end, c.forward), c.want) << c.t << ' ' << c.start << ' ' << c.end;

    // The ellipse's full-turn tolerance shrinks with its radius.
    c_Circle circle({0, 0, 0}, zAxis, 100);
    c_Ellipse ellipse({0, 0, 0}, xAxis, zAxis, 100, 50);
    EXPECT_TRUE(circle.isParameterInRange(5, 1, 1.0005, true));
    EXPECT_FALSE(ellipse.isParameterInRange(5, 1, 1.0005, true));
    EXPECT_EQ(BasicAngleTol, 0.001);
}

TEST_F(Curves, NormalizeAngleEndsForEveryInput) {
    struct Case {
        double in, want;
    } cases[] = {
        {4, 4 - 2 * kPi}, {-4, 2 * kPi - 4}, {kPi, kPi}, {1e300, std::remainder(1e300, 2 * kPi)},
        {INFINITY, 0},    {-INFINITY, 0},   {NAN, 0},
    };
    for (const auto& c : cases) {
        double a = c.in;
        normalizeAngle(a);
        EXPECT_NEAR(a, c.want, 1e-12) << c.in;
        EXPECT_TRUE(a >= -kPi && a <= kPi);
    }
}

TEST_F(Curves, ArcPoints) {
    c_Circle unit({0, 0, 0}, xAxis, zAxis, 1);
    aPoint points[64];
    ASSERT_EQ(unit.generateArcPoints(0.01, points, 64, 0, nullptr), 23);
    expectNear(points[0], {-1, 0, 0});
    expectNear(points[22], points[0], 1e-12);
    expectNear(points[11], {1, 0, 0}, 1e-12);

    // A chord tolerance beyond the radius steps by π, which grows to 2π/3.
    ASSERT_EQ(unit.generateArcPoints(2, points, 64, 0, nullptr), 4);
    expectNear(points[1], {std::cos(kPi / 3), -std::sin(kPi / 3), 0}, 1e-12);

    ArcRange quarter{true, 0, kPi / 2};
    int n = unit.generateArcPoints(0.01, points, 64, 1, &quarter);  // clockwise: three quarters
    EXPECT_EQ(n, 18);
    expectNear(points[n - 1], {0, 1, 0}, 1e-12);
    expectNear(points[1], {std::cos(-3 * kPi / 2 / 17), std::sin(-3 * kPi / 2 / 17), 0}, 1e-12);

    EXPECT_EQ(unit.generateArcPoints(0.01, points, 1, 0, nullptr), 1);  // one point fits
    expectNear(points[0], {-1, 0, 0});
    EXPECT_EQ(unit.generateArcPoints(0.01, points, 0, 0, nullptr), 0);
}

TEST_F(Curves, SegmentsMeetOnlyWithinBothEnds) {
    aPoint x;
    EXPECT_TRUE(intersectSegments({0, 0, 0}, {2, 0, 0}, {1, -1, 0}, {1, 1, 0}, x));
    expectNear(x, {1, 0, 0});
    EXPECT_FALSE(intersectSegments({0, 0, 0}, {2, 0, 0}, {3, -1, 0}, {3, 1, 0}, x));
    expectNear(x, {3, 0, 0});
    EXPECT_FALSE(intersectSegments({0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {2, 1, 0}, x));  // parallel
}

TEST_F(Curves, IntersectionResultsThroughTheLegacyLayer) {
    c_Circle a({0, 0, 0}, xAxis, zAxis, 1), b({1, 0, 0}, xAxis, zAxis, 1);
    c_IntersectionResult meet(a, b);
    EXPECT_EQ(meet.getStatus(), 2);
    EXPECT_EQ(meet.getCount(), 2);
    aPoint p;
    EXPECT_TRUE(c_IntersectionItem(meet, 1).getPoint(p));
    EXPECT_NEAR(p.x, 0.5, 1e-12);
    EXPECT_EQ(c_IntersectionItem(meet, 2).kind(), 0);

    c_IntersectionResult same(a, c_Circle({0, 0, 0}, xAxis, zAxis, 1));
    EXPECT_EQ(same.getStatus(), 2);
    EXPECT_EQ(same.getCount(), 1);
    EXPECT_EQ(c_IntersectionItem(same, 0).kind(), 1);

    c_IntersectionResult apart(a, c_Circle({5, 0, 0}, xAxis, zAxis, 1));
    EXPECT_EQ(apart.getStatus(), 1);
    c_IntersectionItem none(apart, 0);
    EXPECT_EQ(none.kind(), 0);
    EXPECT_FALSE(none.getPoint(p));
    expectNear(p, origin);
    c_Line line;
    EXPECT_FALSE(none.getLine(line));
    expectNear(line.getDirection(), xAxis);
}

}  // namespace
