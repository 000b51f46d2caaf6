// Curve intersections: Bezier subdivision and pairs, dispatch on class names,
// NURBS curves against planes, spheres and other surfaces, and circles meeting
// arcs off the ground plane.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "solids_fixture.h"
#include "toolkit/solids/conic_arc.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_intersections.h"
#include "toolkit/solids/plane.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/rat_bezier_curve.h"
#include "toolkit/solids/tolerances.h"

namespace {

using CurveIntersections = SolidsTest;
constexpr double kPi = std::numbers::pi;

c_RatBezierCurve bezier(std::vector<aHomogeneousPoint> points) {
    return c_RatBezierCurve(points.data(), static_cast<int>(points.size()) - 1);
}

c_NURBSCurve curveOf(const std::vector<aPoint>& points, const std::vector<float>& knots) {
    std::vector<float> cps;
    for (const aPoint& p : points) cps.insert(cps.end(), {float(p.x), float(p.y), float(p.z), 1.0f});
    return c_NURBSCurve(cps.data(), static_cast<int>(points.size()), knots.data(), static_cast<int>(knots.size()));
}

std::vector<aPoint> pointsOf(const c_IntersectionResult& result) {
    std::vector<aPoint> out;
    for (int i = 0; i < result.getCount(); ++i) {
        aPoint p;
        if (c_IntersectionItem(result, i).getPoint(p)) out.push_back(p);
    }
    return out;
}

// The distance from p to the curve over [t0, t1], by dense sampling and a
// narrowing search around the best sample.
double distanceToCurve(const c_Curve& curve, const aPoint& p, double t0, double t1) {
    auto dist = [&](double t) {
        aPoint q;
        curve.getPointAt(t, q);
        return q.distanceTo(p);
    };
    const int n = 2000;
    double h = (t1 - t0) / n, best = t0;
    for (int i = 0; i <= n; ++i)
        if (dist(t0 + i * h) < dist(best)) best = t0 + i * h;
    double lo = std::max(t0, best - h), hi = std::min(t1, best + h);
    for (int i = 0; i < 100; ++i) {
        double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
        (dist(a) < dist(b) ? hi : lo) = dist(a) < dist(b) ? b : a;
    }
    return dist((lo + hi) / 2);
}

TEST_F(CurveIntersections, BezierSubdivision) {
    c_RatBezierCurve arch = bezier({{0.0, 0.0, 0.0, 1.0}, {1.0, 2.0, 0.0, 1.0}, {2.0, 0.0, 0.0, 1.0}});
    aPoint p;
    arch.getPointAt(0.5, p);
    expectNear(p, {1, 1, 0});
    c_RatBezierCurve *first = nullptr, *second = nullptr;
    arch.split(0.5, first, second);
    std::unique_ptr<c_RatBezierCurve> a(first), b(second);
    const aHomogeneousPoint wantA[] = {{0.0, 0.0, 0.0, 1.0}, {0.5, 1.0, 0.0, 1.0}, {1.0, 1.0, 0.0, 1.0}};
    const aHomogeneousPoint wantB[] = {{1.0, 1.0, 0.0, 1.0}, {1.5, 1.0, 0.0, 1.0}, {2.0, 0.0, 0.0, 1.0}};
    for (int i = 0; i < 3; ++i) {
        expectNear(a->getControlPoint(i).toPoint(), wantA[i].toPoint());
        expectNear(b->getControlPoint(i).toPoint(), wantB[i].toPoint());
    }
    EXPECT_EQ(arch.getControlPoint(3).w, 1);
    EXPECT_EQ(arch.getControlPoint(3).x, 0);
    EXPECT_EQ(arch.tangentAt(p).length(), 0);
    EXPECT_EQ(err, "*** c_RatBezierCurve::tangentAt(const aPoint& p) const called\n");
    EXPECT_TRUE(arch.containsPoint({1, 1, 0}));
    EXPECT_EQ(BasicDistanceTol, 1e-6);  // the containment scaling is undone
}

// The subdivision search works to its containment tolerance (2500 times
// the point tolerance): every point it reports lies that close to both
// curves, and every true crossing has a point that close to it.
constexpr double kSearchTol = 3e-3;

void expectCrossings(const std::vector<aPoint>& found, const c_Curve& a, double a0, double a1, const c_Curve& b,
                     double b0, double b1, const std::vector<aPoint>& crossings) {
    EXPECT_FALSE(found.empty());
    for (const aPoint& p : found) {
        EXPECT_LT(distanceToCurve(a, p, a0, a1), kSearchTol) << p.x << ' ' << p.y << ' ' << p.z;
        EXPECT_LT(distanceToCurve(b, p, b0, b1), kSearchTol) << p.x << ' ' << p.y << ' ' << p.z;
    }
    for (const aPoint& c : crossings) {
        bool near = false;
        for (const aPoint& p : found) near = near || p.distanceTo(c) < kSearchTol;
        EXPECT_TRUE(near) << "no point near " << c.x << ' ' << c.y << ' ' << c.z;
    }
}

TEST_F(CurveIntersections, BezierPairs) {
    aPoint found[8];
    c_RatBezierCurve a = bezier({{0.0, 0.0, 0.0, 1.0}, {2.0, 0.0, 0.0, 1.0}});
    c_RatBezierCurve b = bezier({{1.0, -1.0, 0.0, 1.0}, {1.0, 1.0, 0.0, 1.0}});
    ASSERT_EQ(a.intersectBezier(b, found, 8), 1);
    expectNear(found[0], {1, 0, 0}, 1e-9);

    // An arch crossed twice by a line, and just missed by another.
    c_RatBezierCurve up = bezier({{0.0, 0.0, 0.0, 1.0}, {1.0, 2.0, 0.0, 1.0}, {2.0, 0.0, 0.0, 1.0}});
    c_RatBezierCurve flat = bezier({{-1.0, 0.5, 0.0, 1.0}, {3.0, 0.5, 0.0, 1.0}});
    int n = up.intersectBezier(flat, found, 8);
    const double x = std::sqrt(0.5) / 2;  // y = 2u(1 − u)·2 = 0.5 at u = 1/2 ± x
    expectCrossings({found, found + n}, up, 0, 1, flat, 0, 1, {{1 - 2 * x, 0.5, 0}, {1 + 2 * x, 0.5, 0}});
    c_RatBezierCurve above = bezier({{-1.0, 1.01, 0.0, 1.0}, {3.0, 1.01, 0.0, 1.0}});
    EXPECT_EQ(up.intersectBezier(above, found, 8), 0);

    // The same curve twice overlaps everywhere: the search must end quickly
    // and report no more than it has room for.
    EXPECT_LE(up.intersectBezier(up, found, 8), 8);
}

TEST_F(CurveIntersections, DispatchOnClassNames) {
    c_NURBSCurve wave = curveOf({{0, 0, 0}, {1, 2, 0}, {2, -2, 0}, {3, 2, 0}, {4, 0, 0}}, {0, 0, 0, 0, 1, 2, 2, 2, 2});

    c_Line level({-1, 0.1, 0}, xAxis);
    c_IntersectionResult withLine(wave, level);
    ASSERT_EQ(withLine.getStatus(), 2);
    expectCrossings(pointsOf(withLine), wave, 0, 2, level, 0, 6, {});
    // The wave crosses y = 0.1 four times; each crossing is found.
    std::vector<double> xs;
    for (const aPoint& p : pointsOf(withLine))
        if (std::none_of(xs.begin(), xs.end(), [&](double v) { return std::fabs(v - p.x) < 0.01; })) xs.push_back(p.x);
    EXPECT_EQ(xs.size(), 4u);

    // An upright circle through the wave's middle point (2, 0, 0).
    c_Circle upright({2, 1, 0}, yAxis, xAxis, 1);
    c_IntersectionResult withCircle(upright, wave);
    ASSERT_EQ(withCircle.getStatus(), 2);
    expectNear(pointsOf(withCircle).at(0), {2, 0, 0}, 1e-6);
    // The circle in the curve's own plane is the case left undone.
    EXPECT_EQ(c_IntersectionResult(wave, c_Circle({2, 0, 0}, xAxis, zAxis, 1)).getStatus(), 1);

    c_Ellipse ellipse({2, 0, 0}, xAxis, zAxis, 1.5, 0.5);
    c_IntersectionResult withEllipse(wave, ellipse);
    ASSERT_EQ(withEllipse.getStatus(), 2);
    expectCrossings(pointsOf(withEllipse), wave, 0, 2, ellipse, -kPi, kPi, {});

    c_NURBSCurve other = curveOf({{0, -1, 0}, {4, 1, 0}}, {0, 0, 1, 1});
    c_IntersectionResult pair(wave, other);
    ASSERT_EQ(pair.getStatus(), 2);
    expectCrossings(pointsOf(pair), wave, 0, 2, other, 0, 1, {{2, 0, 0}});

    // A near miss just above the hump's top, and the tangent line at it.
    c_NURBSCurve hump = curveOf({{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {0, 0, 0, 1, 1, 1});
    EXPECT_EQ(c_IntersectionResult(hump, c_Line({0, 1.01, 0}, xAxis)).getStatus(), 1);
    c_Line top({0, 1, 0}, xAxis);
    c_IntersectionResult touching(hump, top);
    ASSERT_EQ(touching.getStatus(), 2);
    expectCrossings(pointsOf(touching), hump, 0, 1, top, 0, 4, {{1, 1, 0}});

    c_IntersectionResult bad(wave, bezier({{0.0, 0.0, 0.0, 1.0}, {1.0, 1.0, 0.0, 1.0}}));
    EXPECT_EQ(bad.getStatus(), 1);
    EXPECT_EQ(err, "**** ERROR: Bad type in c_IntersectionResult::(curve,curve)\n");
}

TEST_F(CurveIntersections, NurbsWithPlanes) {
    c_NURBSCurve rising({0, 0, -1}, {0, 0, 1});
    c_IntersectionResult crossing(rising, c_Plane());
    ASSERT_EQ(crossing.getStatus(), 2);
    aPoint p = pointsOf(crossing).at(0);
    EXPECT_LT(std::fabs(p.z), 1e-10);

    c_NURBSCurve resting = curveOf({{0, 0, 1}, {1, 0, 2}, {2, 0, 0}}, {0, 0, 0, 1, 1, 1});
    int count = 0;
    std::unique_ptr<aPoint[]> touching(resting.intersectPlane(c_Plane(), count));
    ASSERT_EQ(count, 1);
    expectNear(touching[0], {2, 0, 0});
    EXPECT_EQ(resting.intersectPlane(c_Plane({0, 0, 5}, zAxis), count), nullptr);

    // A plane through a quarter arc's chord touches it at both ends only.
    c_ConicArc quarter(c_Circle({0, 0, 0}, xAxis, zAxis, 1), 0, kPi / 2);
    std::unique_ptr<aPoint[]> ends(quarter.intersectPlane(c_Plane({0.5, 0.5, 0}, aVector(1, 1, 0)), count));
    ASSERT_EQ(count, 2);
    expectNear(ends[0], {1, 0, 0}, 1e-6);
    expectNear(ends[1], {0, 1, 0}, 1e-6);
    // One through the arc's middle, square to it, crosses once.
    std::unique_ptr<aPoint[]> middle(quarter.intersectPlane(c_Plane({0, 0, 0}, aVector(1, -1, 0)), count));
    ASSERT_EQ(count, 1);
    expectNear(middle[0], {std::sqrt(0.5), std::sqrt(0.5), 0}, 1e-6);
}

TEST_F(CurveIntersections, BoxClippingAndPlanarity) {
    aBox box{-1, 1, -1, 1, -1, 1};
    double t0, t1;
    ASSERT_TRUE(clipLineToBox(box, {0, 0, 0}, xAxis, t0, t1));
    EXPECT_EQ(t0, -1);
    EXPECT_EQ(t1, 1);
    EXPECT_FALSE(clipLineToBox(box, {0, 0, 0}, zeroVector, t0, t1));
    EXPECT_FALSE(clipLineToBox(box, {0, 5, 0}, xAxis, t0, t1));

    // Four control points: the middle one is skipped, the last one decides.
    c_NURBSCurve four = curveOf({{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 1, 3}}, {0, 0, 0, 0, 1, 1, 1, 1});
    c_Plane plane;
    EXPECT_TRUE(four.isPlanar(plane));
    EXPECT_NEAR(plane.signedDistance({3, 1, 3}), 0, 1e-9);

    // Three control points off the z = 0 plane lie in the plane through them.
    c_NURBSCurve arc = curveOf({{0, 0, 5}, {1, 1, 6}, {2, 0, 7}}, {0, 0, 0, 1, 1, 1});
    ASSERT_TRUE(arc.isPlanar(plane));
    for (const aPoint& q : {aPoint(0, 0, 5), aPoint(1, 1, 6), aPoint(2, 0, 7)})
        EXPECT_NEAR(plane.signedDistance(q), 0, 1e-9);
}

// A circle touching a three-point arc that lies off z = 0: found only when
// the arc's own plane is used.
TEST_F(CurveIntersections, CirclesMeetArcsOffTheGroundPlane) {
    c_ConicArc arc(c_Circle({0, 0, 3}, xAxis, zAxis, 2), 0, kPi / 2);  // in the plane z = 3
    const double s = std::sqrt(2.0);
    c_Circle upright({s, s, 4}, zAxis, {1, -1, 0}, 1);  // standing on the arc's middle
    c_IntersectionResult result(arc, upright);
    ASSERT_EQ(result.getStatus(), 2);
    expectNear(pointsOf(result).at(0), {s, s, 3}, 1e-5);
}

TEST_F(CurveIntersections, NurbsWithSpheresAndOtherSurfaces) {
    c_NURBSCurve through({-3, 0, 0}, {3, 0, 0});
    c_IntersectionResult sphere(through, c_Sphere({0, 0, 0}, 2));
    ASSERT_EQ(sphere.getStatus(), 2);
    std::vector<aPoint> points = pointsOf(sphere);
    ASSERT_EQ(points.size(), 2u);
    for (const aPoint& p : points) EXPECT_NEAR(p.distanceTo(origin), 2, 1e-6);
    EXPECT_EQ(c_IntersectionResult(through, c_Sphere({0, 5, 0}, 2)).getStatus(), 1);

    c_IntersectionResult cylinder(through, c_Cylinder({0, 0, 0}, zAxis, 1));
    EXPECT_EQ(cylinder.getStatus(), 1);
    EXPECT_EQ(err, "Cannot intersect a NURBS curve with a c_Cylinder\n");
}

}  // namespace
