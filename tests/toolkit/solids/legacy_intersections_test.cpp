// The older intersection routines: lines, circles and curves against
// surfaces and each other, point predicates, and random points that lie on
// both operands.
#include <cmath>
#include <numbers>
#include <random>

#include "solids_fixture.h"
#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/legacy_predicates.h"

namespace {

using LegacyIntersections = SolidsTest;
constexpr double kPi = std::numbers::pi;

aPoint pointOf(const LegacyList& list, int i) { return std::get<aPoint>(list.items[i].geometry); }

LegacyCircle circleAt(const aPoint& centre, double radius, aVector normal = zAxis) {
    aVector u = std::fabs(normal.z) > 0.9 ? xAxis : zAxis;
    u = cross(normal, cross(u, normal));
    u.normalize();
    return {centre, u, cross(normal, u), normal, radius};
}

LegacyCone coneOf(const aPoint& apex, const aVector& axis, double half) {
    aVector x, y, w = axis;
    x = xAxis;
    orthonormalFrame(x, y, w);
    return {apex, x, y, w, half, std::tan(half), std::cos(half)};
}

struct Expect {
    std::int32_t code;
    std::int32_t count;
    std::int32_t firstTangent;
};

void check(std::int32_t code, const LegacyList& list, Expect want, const char* name) {
    EXPECT_EQ(code, want.code) << name;
    EXPECT_EQ(list.count, want.count) << name;
    if (want.count > 0 && list.count > 0) {
        EXPECT_EQ(list.items[0].tangent, want.firstTangent) << name;
    }
}

TEST_F(LegacyIntersections, LinesWithSurfaces) {
    LegacyList list;
    const LegacySphere unit{{1, 1, 1}, 1};
    check(intersectLineSphere({{1, 1, -5}, zAxis}, unit, list), list, {0, 2, 0}, "through the centre");
    expectNear(pointOf(list, 0), {1, 1, 2});
    expectNear(pointOf(list, 1), {1, 1, 0});
    check(intersectLineSphere({{2, 1, -5}, zAxis}, unit, list), list, {0, 1, 1}, "touching");
    check(intersectLineSphere({{3, 1, -5}, zAxis}, unit, list), list, {1, 0, 0}, "missing");

    const LegacyCylinder cyl{{0, 0, 0}, xAxis, yAxis, zAxis, 2};
    check(intersectLineCylinder({{1, 0, 0}, zAxis}, cyl, list), list, {-5, 0, 0}, "inside, along the axis");
    check(intersectLineCylinder({{2, 0, 0}, zAxis}, cyl, list), list, {0, 0, 0}, "a ruling");
    check(intersectLineCylinder({{3, 0, 0}, zAxis}, cyl, list), list, {1, 0, 0}, "outside, along the axis");
    check(intersectLineCylinder({{-5, 2, 3}, xAxis}, cyl, list), list, {0, 1, 1}, "tangent");
    check(intersectLineCylinder({{-5, 0, 3}, xAxis}, cyl, list), list, {0, 2, 0}, "across");

    const LegacyCone cone = coneOf({0, 0, 0}, zAxis, kPi / 4);
    aVector ruling(1, 0, 1);
    ruling.normalize();
    check(intersectLineCone({{0, 0, 0}, ruling}, cone, list), list, {0, 0, 0}, "the ruling itself");
    check(intersectLineCone({{1, 0, 0}, ruling}, cone, list), list, {0, 1, 0}, "parallel to a ruling");
    check(intersectLineCone({{0, 0, -3}, zAxis}, cone, list), list, {0, 1, 1}, "the axis through the apex");
    expectNear(pointOf(list, 0), {0, 0, 0});
    check(intersectLineCone({{-5, 0, 1}, xAxis}, cone, list), list, {0, 2, 0}, "across one nappe");
    expectNear(pointOf(list, 0), {-1, 0, 1});

    const LegacyPlane plane{{0, 0, 1}, zAxis};
    check(intersectLinePlane({{0, 0, 0}, xAxis}, plane, list), list, {-7, 0, 0}, "parallel, off the plane");
    check(intersectLinePlane({{0, 0, 1}, xAxis}, plane, list), list, {0, 0, 0}, "in the plane");
}

TEST_F(LegacyIntersections, CirclesWithSurfaces) {
    LegacyList list;
    const LegacyCircle circle = circleAt({0, 0, 0}, 1);
    check(intersectCirclePlane(circle, {{1, 0, 0}, xAxis}, list), list, {0, 1, 1}, "tangent plane");
    expectNear(pointOf(list, 0), {1, 0, 0});
    check(intersectCirclePlane(circle, {{0, 0, 2}, zAxis}, list), list, {-3, 0, 0}, "parallel planes");
    check(intersectCirclePlane(circle, {{0, 0, 0}, zAxis}, list), list, {0, 0, 0}, "the circle's own plane");
    check(intersectCirclePlane(circle, {{0.5, 0, 0}, xAxis}, list), list, {0, 2, 0}, "cutting plane");

    check(intersectCircleSphere(circle, {{0, 0, 0}, 3}, list), list, {-4, 0, 0}, "inside the section");
    check(intersectCircleSphere(circle, {{0, 0, 0.5}, std::sqrt(1.25)}, list), list, {0, 0, 0}, "on the sphere");
    check(intersectCircleSphere(circle, {{2, 0, 0}, 1}, list), list, {0, 1, 1}, "touching");
    check(intersectCircleSphere(circle, {{1, 0, 1}, 1}, list), list, {0, 1, 1}, "the sphere touches its plane");
    expectNear(pointOf(list, 0), {1, 0, 0});
    check(intersectCircleSphere(circleAt({0, 0, 0}, 0.5), {{0, 0, 1}, 1}, list), list, {1, 0, 0},
          "the touching point off the circle");

    const LegacyCylinder cyl{{0, 0, 0}, xAxis, yAxis, zAxis, 1};
    check(intersectCircleCylinder(circle, cyl, list), list, {0, 0, 0}, "the circle on the cylinder");
    check(intersectCircleCylinder(circleAt({1.5, 0, 0}, 1), cyl, list), list, {0, 2, 0}, "crossing");
    check(intersectCircleCylinder(circleAt({0, 0, 0}, 1, xAxis), cyl, list), list, {0, 2, 1}, "touching both rulings");

    const LegacyCone cone = coneOf({0, 0, -1}, zAxis, kPi / 4);
    check(intersectCircleCone(circle, cone, list), list, {0, 0, 0}, "the circle on the cone");
    check(intersectCircleCone(circleAt({0, 0, 0}, 0.5), cone, list), list, {1, 0, 0}, "inside the cone");
}

TEST_F(LegacyIntersections, CurvesWithCurves) {
    LegacyList list;
    check(intersectLineLine({{0, 0, 0}, xAxis}, {{0, 1, 0}, xAxis}, list), list, {-6, 0, 0}, "parallel");
    check(intersectLineLine({{0, 0, 0}, xAxis}, {{4, 0, 0}, {-1, 0, 0}}, list), list, {0, 0, 0}, "the same line");
    check(intersectLineLine({{0, 0, 0}, xAxis}, {{0, 0, 1}, yAxis}, list), list, {1, 0, 0}, "skew");
    check(intersectLineLine({{0, 0, 0}, xAxis}, {{2, -3, 0}, yAxis}, list), list, {0, 1, 0}, "crossing");
    expectNear(pointOf(list, 0), {2, 0, 0});

    const LegacyCircle unit = circleAt({0, 0, 0}, 1);
    check(coplanarCircleCircle(unit, circleAt({2, 0, 0}, 1), list), list, {0, 1, 1}, "touching outside");
    expectNear(pointOf(list, 0), {1, 0, 0});
    check(coplanarCircleCircle(unit, circleAt({1, 0, 0}, 1), list), list, {0, 2, 0}, "overlapping");
    check(coplanarCircleCircle(unit, circleAt({0, 0, 0}, 2), list), list, {-1, 0, 0}, "first inside");
    check(coplanarCircleCircle(circleAt({0, 0, 0}, 2), unit, list), list, {-2, 0, 0}, "second inside");
    check(coplanarCircleCircle(unit, unit, list), list, {0, 0, 0}, "the same circle");
    check(coplanarCircleCircle(unit, circleAt({1, 0, 0}, 2), list), list, {0, 1, 1}, "touching inside");
    expectNear(pointOf(list, 0), {-1, 0, 0});
    check(coplanarCircleCircle(unit, circleAt({5, 0, 0}, 1), list), list, {1, 0, 0}, "apart");
    check(intersectCircleCircle(unit, circleAt({0, 0, 0}, 1, xAxis), list), list, {0, 2, 0}, "crossed planes");
    check(intersectLineCircle({{0, 0, -1}, zAxis}, unit, list), list, {1, 0, 0}, "through the centre, upright");
    check(intersectLineCircle({{1, 0, -1}, zAxis}, unit, list), list, {0, 1, 0}, "through the rim, upright");

    const LegacyEllipse ellipse{{1, 1, 0}, xAxis, yAxis, zAxis, 3, 2};
    check(intersectLineEllipse({{-5, 1, 0}, xAxis}, ellipse, list), list, {0, 2, 0}, "along the major axis");
    expectNear(pointOf(list, 0), {-2, 1, 0}, 1e-9);
    expectNear(pointOf(list, 1), {4, 1, 0}, 1e-9);
    check(intersectLineEllipse({{-5, 3, 0}, xAxis}, ellipse, list), list, {0, 1, 1}, "touching the minor vertex");
    check(intersectLineEllipse({{1, 1, -1}, zAxis}, ellipse, list), list, {1, 1, 0}, "through the centre, upright");
}

TEST_F(LegacyIntersections, PointPredicates) {
    const LegacyEllipse ellipse{{0, 0, 0}, xAxis, yAxis, zAxis, 3, 2};
    EXPECT_TRUE(legacyPointOnEllipse({3, 0, 0}, ellipse));
    EXPECT_FALSE(legacyPointOnEllipse({3 + 1e-6, 0, 0}, ellipse));
    EXPECT_FALSE(legacyPointOnEllipse({3, 0, 1}, ellipse));
    EXPECT_TRUE(legacyLinesCoincide({0, 0, 0}, zAxis, {5, 3, 0}, {0, 0, -1}));
    EXPECT_FALSE(legacyLinesCoincide({0, 0, 0}, zAxis, {0, 0, 1}, zAxis));
    EXPECT_TRUE(legacyPointOnCircle({0, 1, 0}, circleAt({0, 0, 0}, 1)));
    EXPECT_FALSE(legacyPointOnCircle({0, 0, 0}, circleAt({0, 0, 0}, 0)));  // the centre is never on it
    const LegacyParabola parabola{{0, 0, 0}, xAxis, yAxis, zAxis, 0.5};
    EXPECT_TRUE(legacyPointOnParabola({2, 2, 0}, parabola));  // t = 2: (2a·t, a·t²)
    EXPECT_TRUE(legacyPointOnHyperbola({2, 0, 0}, {{0, 0, 0}, xAxis, yAxis, zAxis, 2, 1}));

    // The plane test bounds the angle of the offset, not the distance.
    legacyPlaneTolerance = 1e-3;
    EXPECT_TRUE(legacyPointInPlane({1000, 0, 0.5}, {{0, 0, 0}, zAxis}));
    EXPECT_FALSE(legacyPointInPlane({1, 0, 0.5}, {{0, 0, 0}, zAxis}));
    resetSolidsState();
    EXPECT_EQ(legacyPlaneTolerance, 1e-8);

    const LegacyCone cone = coneOf({0, 0, 0}, zAxis, kPi / 4);
    aVector n;
    EXPECT_EQ(legacyConeNormal(cone, {1, 0, 1}, n), 2);
    expectNear(n, aVector(1, 0, -1) / std::sqrt(2.0), 1e-12);
    EXPECT_EQ(legacyConeNormal(cone, {1, 0, -1}, n), 1);
    EXPECT_EQ(legacyConeNormal(cone, {0, 0, 0}, n), -1);
    double h, angle;
    legacyConeParameters(cone, {0, -2, -2}, h, angle);
    EXPECT_NEAR(h, -2, 1e-12);
    EXPECT_NEAR(angle, kPi / 2, 1e-12);  // the lower nappe turns the angle round
}

// Random cases: every point found must satisfy both equations.
TEST_F(LegacyIntersections, RandomPointsLieOnBoth) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(-3, 3);
    auto randomUnit = [&] {
        aVector v;
        while (v.normalize() < 0.1) v = aVector(coord(rng), coord(rng), coord(rng));
        return v;
    };
    int points = 0;
    for (int trial = 0; trial < 200; ++trial) {
        LegacyLine line{{coord(rng), coord(rng), coord(rng)}, randomUnit()};
        LegacySphere sphere{{coord(rng), coord(rng), coord(rng)}, 1 + std::fabs(coord(rng))};
        LegacyCylinder cyl{{coord(rng), coord(rng), coord(rng)}, {}, {}, randomUnit(), 1 + std::fabs(coord(rng))};
        cyl.x = xAxis;
        orthonormalFrame(cyl.x, cyl.y, cyl.axis);
        LegacyCone cone = coneOf({coord(rng), coord(rng), coord(rng)}, randomUnit(), 0.2 + std::fabs(coord(rng)) / 3);
        auto onLine = [&](const aPoint& p) { return cross(p - line.point, line.direction).length(); };
        auto onCylinder = [&](const aPoint& p) {
            return legacyPointLineDistance(p, {cyl.base, cyl.axis}) - cyl.radius;
        };
        auto onCone = [&](const aPoint& p) {
            aVector w = p - cone.apex;
            double along = dot(w, cone.axis);
            return std::sqrt(std::fmax(w.lengthSquared() - along * along, 0.0)) - std::fabs(along) * cone.tanHalfAngle;
        };
        LegacyList list;
        if (intersectLineSphere(line, sphere, list) == 0)
            for (int i = 0; i < list.count; ++i, ++points) {
                EXPECT_NEAR(onLine(pointOf(list, i)), 0, 1e-9);
                EXPECT_NEAR(pointOf(list, i).distanceTo(sphere.centre), sphere.radius, 1e-6);
            }
        if (intersectLineCylinder(line, cyl, list) == 0)
            for (int i = 0; i < list.count; ++i, ++points) {
                EXPECT_NEAR(onLine(pointOf(list, i)), 0, 1e-9);
                EXPECT_NEAR(onCylinder(pointOf(list, i)), 0, 1e-6);
            }
        if (intersectLineCone(line, cone, list) == 0)
            for (int i = 0; i < list.count; ++i, ++points) {
                EXPECT_NEAR(onLine(pointOf(list, i)), 0, 1e-9);
                EXPECT_NEAR(onCone(pointOf(list, i)), 0, 1e-6);
            }

        // A circle and a coplanar ellipse.
        LegacyEllipse ellipse{{coord(rng), coord(rng), 0}, {}, {}, zAxis, 0, 0};
        double turn = coord(rng);
        ellipse.u = aVector(std::cos(turn), std::sin(turn), 0);
        ellipse.v = cross(zAxis, ellipse.u);
        ellipse.minor = 0.5 + std::fabs(coord(rng)) / 2;
        ellipse.major = ellipse.minor + 0.2 + std::fabs(coord(rng)) / 2;
        LegacyCircle circle = circleAt({coord(rng), coord(rng), 0}, 0.5 + std::fabs(coord(rng)));
        if (coplanarCircleEllipse(circle, ellipse, list) == 0)
            for (int i = 0; i < list.count; ++i, ++points) {
                EXPECT_NEAR(pointOf(list, i).distanceTo(circle.centre), circle.radius, 1e-6) << trial;
                aVector w = pointOf(list, i) - ellipse.centre;
                double x = dot(w, ellipse.u) / ellipse.major, y = dot(w, ellipse.v) / ellipse.minor;
                EXPECT_NEAR(x * x + y * y, 1, 1e-6) << trial;
            }
    }
    EXPECT_GT(points, 300);
}

TEST_F(LegacyIntersections, CoplanarConicsOfTheFocalForms) {
    LegacyList list;
    const LegacyHyperbola hyperbola{{0, 0, 0}, xAxis, yAxis, zAxis, 1, 1};  // x² − y² = 1
    check(coplanarLineHyperbola({{-5, 0, 0}, xAxis}, hyperbola, list), list, {0, 2, 0}, "line across both branches");
    expectNear(pointOf(list, 0), {-1, 0, 0}, 1e-9);
    expectNear(pointOf(list, 1), {1, 0, 0}, 1e-9);
    check(coplanarCircleHyperbola(circleAt({0, 0, 0}, std::sqrt(3.0)), hyperbola, list), list, {0, 4, 0},
          "circle through four points");
    for (int i = 0; i < list.count; ++i) {
        aPoint p = pointOf(list, i);
        EXPECT_NEAR(p.x * p.x - p.y * p.y, 1, 1e-9);
    }

    const LegacyParabola parabola{{0, 0, 0}, xAxis, yAxis, zAxis, 0.25};  // y = x²
    check(coplanarLineParabola({{-5, 4, 0}, xAxis}, parabola, list), list, {0, 2, 0}, "line y = 4");
    expectNear(pointOf(list, 0), {-2, 4, 0}, 1e-9);
    check(coplanarLineParabola({{3, -1, 0}, yAxis}, parabola, list), list, {0, 1, 0}, "parallel to the axis");
    expectNear(pointOf(list, 0), {3, 9, 0}, 1e-9);
    check(coplanarCircleParabola(circleAt({0, 1, 0}, 1), parabola, list), list, {0, 3, 0}, "circle through the vertex");
    for (int i = 0; i < list.count; ++i) {
        aPoint p = pointOf(list, i);
        EXPECT_NEAR(p.y, p.x * p.x, 1e-6);
    }
}

}  // namespace
