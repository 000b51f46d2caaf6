// NURBS curves: evaluation against an independent one, basis spans and knots,
// point inversion, derivatives, Bezier segments, conic arcs, polyline sample
// counts and knot insertion.
#include <cmath>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "recording_target.h"
#include "solids_fixture.h"
#include "toolkit/solids/conic_arc.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_polyline.h"
#include "toolkit/solids/rat_bezier_curve.h"
#include "toolkit/solids/tolerances.h"

namespace {

using NurbsCurves = SolidsTest;
constexpr double kPi = std::numbers::pi;

// Weighted floats from Cartesian points and weights.
std::vector<float> weighted(const std::vector<aPoint>& points, const std::vector<double>& weights) {
    std::vector<float> out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        double w = weights.empty() ? 1 : weights[i];
        for (double c : {points[i].x * w, points[i].y * w, points[i].z * w, w}) out.push_back(static_cast<float>(c));
    }
    return out;
}

c_NURBSCurve curveOf(const std::vector<aPoint>& points, const std::vector<float>& knots,
                     const std::vector<double>& weights = {}) {
    std::vector<float> cps = weighted(points, weights);
    return c_NURBSCurve(cps.data(), static_cast<int>(points.size()), knots.data(), static_cast<int>(knots.size()));
}

aPoint at(const c_Curve& curve, double t) {
    aPoint p;
    curve.getPointAt(t, p);
    return p;
}

// Random curves of degree 1 to 5, rational and not, evaluated by an
// independent implementation (tests/toolkit/solids/nurbs_reference.py).
TEST_F(NurbsCurves, AgreeWithAnIndependentEvaluation) {
    std::ifstream in(VT_TEST_DATA_DIR "/solids/nurbs_reference.txt");
    ASSERT_TRUE(in) << "missing nurbs_reference.txt";
    std::string line;
    int curves = 0, points = 0;
    std::getline(in, line);
    while (in && line.rfind("curve", 0) == 0) {
        std::istringstream head(line.substr(6));
        int count, order;
        head >> count >> order;
        std::getline(in, line);
        std::istringstream knotText(line);
        std::vector<float> knots;
        for (float k; knotText >> k;) knots.push_back(k);
        std::vector<aPoint> cps;
        std::vector<double> weights;
        for (int i = 0; i < count; ++i) {
            std::getline(in, line);
            std::istringstream row(line);
            double x, y, z, w;
            row >> x >> y >> z >> w;
            cps.emplace_back(x, y, z);
            weights.push_back(w);
        }
        c_NURBSCurve curve = curveOf(cps, knots, weights);
        ASSERT_EQ(curve.getOrder(), order);
        ++curves;
        while (std::getline(in, line) && line.rfind("at", 0) == 0) {
            std::istringstream row(line.substr(3));
            double t;
            aPoint want;
            row >> t >> want.x >> want.y >> want.z;
            aPoint got = at(curve, t);
            expectNear(got, want, 1e-5);
            // Inversion comes back to a point of the curve at the same place.
            double back = curve.getParameterOf(got);
            EXPECT_TRUE(curve.isValidParameter(back)) << "curve " << curves << " t " << t;
            EXPECT_LT(at(curve, back).distanceTo(got), 1e-5) << "curve " << curves << " t " << t;
            ++points;
        }
    }
    EXPECT_EQ(curves, 30);
    EXPECT_EQ(points, 240);
}

TEST_F(NurbsCurves, BasisSpansAndKnots) {
    const float knots[] = {0, 0, 0, 1, 1, 1};
    c_BSplineBasisFcns basis(2, 3, knots);
    struct Case {
        double x;
        int span;
    } cases[] = {{0, 2}, {0.5, 2}, {1.0, 2}, {1.0000001, 2}, {1.01, -1}, {-0.01, -1}};
    for (const auto& c : cases) EXPECT_EQ(basis.findSpan(c.x), c.span) << c.x;
    EXPECT_EQ(basis.getKnot(-1), -9999.0);
    EXPECT_EQ(basis.getKnot(6), -9999.0);
    EXPECT_EQ(basis.knotMultiplicity(1.0), 3);
    EXPECT_EQ(c_BSplineBasisFcns(0, 3, knots).getKnotCount(), 0);
    float N[3];
    EXPECT_EQ(basis.Evaluate(0.5, N), 2);
    EXPECT_FLOAT_EQ(N[0] + N[1] + N[2], 1);
    EXPECT_EQ(basis.Evaluate(0.5, nullptr), -1);
    EXPECT_EQ(err, "*** Warning: c_BSplineBasisFcns::Evaluate: N is NULL.\n");

    c_NURBSCurve curve = curveOf({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}, {0, 0, 0, 1, 1, 1});
    aHomogeneousPoint h;
    curve.getPointAt(1.01, h);
    EXPECT_EQ(h.x, 0);
    EXPECT_EQ(h.w, 1);
}

TEST_F(NurbsCurves, ParametersOfPoints) {
    c_NURBSCurve segment({0, 0, 0}, {1, 0, 0});
    double t = 0;
    EXPECT_EQ(segment.try_getParameterOf({0.25, 1, 0}, 100, t), -3);
    EXPECT_DOUBLE_EQ(t, 0.25);
    EXPECT_DOUBLE_EQ(segment.getParameterOf({0.25, 1, 0}), 0.25);
    EXPECT_TRUE(segment.containsPoint({0.75, 0, 0}));
    EXPECT_FALSE(segment.containsPoint({0.75, 0.1, 0}));
    std::unique_ptr<c_Curve> copy(segment.clone());
    EXPECT_FALSE(segment.isEqual(*copy));

    // A curve without a basis answers beyond any range.
    c_NURBSCurve empty;
    EXPECT_EQ(empty.getParameterOf({0, 0, 0}), 10);
    EXPECT_FALSE(empty.isValidParameter(0));

    // A closed curve whose knots are all equal has a range of length 0: the
    // search must still end.
    c_NURBSCurve collapsed = curveOf({{1, 0, 0}, {0, 1, 0}, {1, 0, 0}}, {2, 2, 2, 2, 2, 2});
    double found = collapsed.getParameterOf({5, 5, 5});
    EXPECT_TRUE(std::isfinite(found));
}

TEST_F(NurbsCurves, DerivativesAndTangents) {
    // The quarter circle as a rational quadratic: its tangent turns with it.
    c_ConicArc quarter(c_Circle({0, 0, 0}, xAxis, zAxis, 2), 0, kPi / 2);
    aVector D[3];
    ASSERT_TRUE(quarter.derivatives(0.5, 2, D));
    expectNear(aPoint(D[0]), {std::sqrt(2.0), std::sqrt(2.0), 0}, 1e-6);
    EXPECT_NEAR(dot(D[1], D[0] - zeroVector), 0, 1e-5);
    expectNear(quarter.tangentAt(0.0), yAxis, 1e-6);
    EXPECT_FALSE(quarter.derivatives(0.5, 5, D));
    EXPECT_FALSE(quarter.derivatives(0.5, 0, D));
}

TEST_F(NurbsCurves, BezierSegmentsOfSpans) {
    c_NURBSCurve cubic = curveOf({{0, 0, 0}, {1, 2, 0}, {2, -1, 1}, {3, 3, 0}, {4, 0, 2}}, {0, 0, 0, 0, 1, 2, 2, 2, 2});
    std::unique_ptr<c_RatBezierCurve> segment(cubic.getBezierSegment(4));
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(segment->getDegree(), 3);
    expectNear(segment->getControlPoint(0).toPoint(), at(cubic, 1), 1e-5);
    expectNear(segment->getControlPoint(3).toPoint(), at(cubic, 2), 1e-5);
    for (double u : {0.25, 0.5, 0.9}) expectNear(at(*segment, u), at(cubic, 1 + u), 1e-5);

    std::unique_ptr<c_RatBezierCurve> first(cubic.getBezierSegment(3));
    ASSERT_NE(first, nullptr);
    expectNear(at(*first, 0.5), at(cubic, 0.5), 1e-5);
    EXPECT_EQ(cubic.getBezierSegment(2), nullptr);  // not a span of the range

    aBox box = cubic.spanControlBox(4);
    EXPECT_EQ(box.xmin, 1);
    EXPECT_EQ(box.xmax, 4);
}

TEST_F(NurbsCurves, ConicArcs) {
    c_Circle unit({0, 0, 0}, xAxis, zAxis, 1);
    c_ConicArc quarter(unit, 0, kPi / 2);
    ASSERT_EQ(quarter.getControlPointCount(), 3);
    const float* q = quarter.getControlPoints();
    const float w = static_cast<float>(std::cos(kPi / 4));
    const float want[12] = {1, 0, 0, 1, w, w, 0, w, 0, 1, 0, 1};
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(q[i], want[i], 1e-6) << i;
    ASSERT_EQ(quarter.getKnotCount(), 6);
    expectNear(at(quarter, 0.5), {std::cos(kPi / 4), std::sin(kPi / 4), 0}, 1e-6);
    EXPECT_NEAR(quarter.getParameterOf({std::cos(kPi / 4), std::sin(kPi / 4), 0}), 0.5, 1e-6);
    EXPECT_EQ(quarter.getParameterOf({0, -1, 0}), -1);
    // Past the arc but short of a whole segment more: still below the range,
    // never a read past the last control point.
    EXPECT_EQ(quarter.getParameterOf({std::cos(2.0), std::sin(2.0), 0}), -1);

    struct Case {
        double start, end;
        int segments;
    } cases[] = {{1, 1, 4}, {0, 3, 2}, {0, kPi / 2, 1}, {0, kPi, 2}, {0, 3 * kPi / 2, 3}, {2, 1, 4}, {0, INFINITY, 4}};
    for (const auto& c : cases) {
        c_ConicArc arc(unit, c.start, c.end);
        EXPECT_EQ(arc.getSegmentCount(), c.segments) << c.start << ' ' << c.end;
        EXPECT_EQ(arc.getControlPointCount(), 2 * c.segments + 1);
    }

    // A far-off end angle does not keep the construction turning.
    EXPECT_GE(c_ConicArc(unit, 0, -1e300).getSegmentCount(), 1);

    // An ellipse arc keeps its points on the ellipse.
    c_Ellipse ellipse({1, 2, 3}, {1, 1, 0}, zAxis, 3, 1);
    c_ConicArc half(ellipse, -1, 2);
    for (double t : {0.1, 0.4, 0.77}) EXPECT_TRUE(ellipse.containsPoint(at(half, t))) << t;
}

TEST_F(NurbsCurves, PolylineSampleCounts) {
    c_ConicArc full(c_Circle({0, 0, 0}, xAxis, zAxis, 1), 0, 0);
    RecordingTarget ten(10);
    drawNURBSPolyline(ten, full.getKnotCount(), full.getKnots(), full.getControlPoints(), full.getOrder());
    ASSERT_EQ(ten.vertices.size(), 41u);
    EXPECT_EQ(ten.modes, std::vector<std::int32_t>{3});
    EXPECT_EQ(ten.ends, 1);
    for (const aPoint& p : ten.vertices) EXPECT_NEAR(p.distanceTo(origin), 1, 1e-6);
    expectNear(ten.vertices.back(), ten.vertices.front(), 1e-6);

    c_NURBSCurve five = curveOf({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}, {4, 0, 0}}, {0, 0, 0, 1, 2, 3, 3, 3});
    struct Case {
        int perSpan;
        std::size_t vertices;
    } cases[] = {{10, 21}, {0, 13}, {-4, 13}};
    for (const auto& c : cases) {
        RecordingTarget target(c.perSpan);
        drawNURBSPolyline(target, five.getKnotCount(), five.getKnots(), five.getControlPoints(), 3);
        ASSERT_EQ(target.vertices.size(), c.vertices) << c.perSpan;
        expectNear(target.vertices.back(), {4, 0, 0}, 1e-6);
    }

    // A negative density for a cubic, and knots that are all equal, still end.
    c_NURBSCurve cubic = curveOf({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}}, {0, 0, 0, 0, 1, 1, 1, 1});
    RecordingTarget negative(-3);
    drawNURBSPolyline(negative, cubic.getKnotCount(), cubic.getKnots(), cubic.getControlPoints(), 4);
    EXPECT_EQ(negative.vertices.size(), 2u);
    const float equal[] = {1, 1, 1, 1, 1, 1, 1, 1};
    RecordingTarget flat(10);
    drawNURBSPolyline(flat, 8, equal, cubic.getControlPoints(), 4);
    ASSERT_EQ(flat.vertices.size(), 1u);
    expectNear(flat.vertices[0], {3, 1, 0});
    RecordingTarget none(10);
    drawNURBSPolyline(none, 0, nullptr, nullptr, 3);
    EXPECT_TRUE(none.modes.empty());
}

TEST_F(NurbsCurves, KnotInsertionKeepsTheShape) {
    c_NURBSCurve curve = curveOf({{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 0}}, {0, 0, 0, 0, 1, 1, 1, 1}, {1, 2, 0.5, 1});
    c_NURBSCurve refined(curve, 0.3);
    EXPECT_EQ(refined.getControlPointCount(), 5);
    EXPECT_EQ(refined.getKnotCount(), 9);
    for (double t : {0.0, 0.2, 0.3, 0.6, 1.0}) expectNear(at(refined, t), at(curve, t), 1e-5);

    std::ostringstream text;
    c_NURBSCurve({0, 0, 0}, {1, 0, 0}).print(text);
    EXPECT_EQ(text.str(), "c_NURBSCurve 2 2\n\t0 0 0 1 \n\t1 0 0 1 \n\t0 0 1 1 \n");
    c_NURBSCurve spare({0, 0, 0}, {1, 0, 0});
    spare.specifyNCtlPtsAndOrder(3, 2);
    EXPECT_EQ(err, "*** Warning: c_NURBSCurve::specifyNCtlPtsAndOrder: Overriding previous settings.\n");
}

}  // namespace
