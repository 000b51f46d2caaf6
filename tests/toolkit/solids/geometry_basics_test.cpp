// Geometry basics: vectors, frames, weighted points, the point tolerance,
// transforms, intervals, boxes, float rows, print forms and the diagnostic
// sink.
#include <cmath>
#include <numbers>
#include <sstream>

#include "solids_fixture.h"
#include "toolkit/solids/box.h"
#include "toolkit/solids/float_rows.h"
#include "toolkit/solids/interval.h"
#include "toolkit/solids/tolerances.h"
#include "toolkit/solids/transform.h"

namespace {

using GeometryBasics = SolidsTest;

TEST_F(GeometryBasics, NormalizeLeavesNearZeroVectorsAlone) {
    aVector tiny(1e-7, 0, 0);
    EXPECT_DOUBLE_EQ(tiny.normalize(), 1e-7);
    expectNear(tiny, {1e-7, 0, 0}, 0);

    aVector v(3, 4, 0);
    EXPECT_DOUBLE_EQ(v.normalize(), 5);
    expectNear(v, {0.6, 0.8, 0});

    aVector zero;
    EXPECT_EQ(zero.normalize(), 0);
    EXPECT_FALSE(std::isnan(zero.x));
}

TEST_F(GeometryBasics, PerpendicularZeroesTheChosenComponent) {
    struct Case {
        aVector in, want;
    } cases[] = {
        {{1, 2, 3}, {0, -3, 2}},   {{3, 2, 1}, {2, -3, 0}},    {{1, 0, 1}, {-1, 0, 1}},
        {{1e-7, 0, 1}, {1, 0, -1e-7}}, {{0, 0, 0}, {0, 0, 0}}, {{0, 5, 1}, {0, 1, -5}},
    };
    for (const auto& c : cases) {
        aVector out;
        c.in.perpendicular(out);
        expectNear(out, c.want);
        EXPECT_EQ(dot(out, c.in), 0) << c.in.x << ',' << c.in.y << ',' << c.in.z;
    }
}

TEST_F(GeometryBasics, OrthonormalFrameIsRightHanded) {
    const double h = std::sqrt(0.5);
    aVector u(1, 1, 0), v, w(0, 0, 5);
    orthonormalFrame(u, v, w);
    expectNear(u, {h, h, 0});
    expectNear(v, {-h, h, 0});
    expectNear(w, {0, 0, 1});

    // A seed along w falls back to w's perpendicular.
    u = aVector(0, 0, 1);
    w = aVector(0, 0, 5);
    orthonormalFrame(u, v, w);
    aVector perp;
    zAxis.perpendicular(perp);
    perp.normalize();
    expectNear(u, perp);
    expectNear(cross(u, v), w);

    // A zero w gives the world axes.
    u = aVector(3, 3, 3);
    w = zeroVector;
    orthonormalFrame(u, v, w);
    expectNear(u, xAxis);
    expectNear(v, yAxis);
    expectNear(w, zAxis);
}

TEST_F(GeometryBasics, ParallelAndSnapTests) {
    EXPECT_TRUE(aVector(1, 0, 0).isParallelTo({-2, 0, 0}));
    EXPECT_FALSE(aVector(1, 0, 0).isParallelTo({1, 0.01, 0}));

    aVector v(1e-8, -0.9999999, 0.5);
    v.snapComponents(1e-6);
    expectNear(v, {0, -1, 0.5}, 0);

    EXPECT_EQ(aVector(1, 2, 3).component(2), 3);
    EXPECT_EQ(aVector(1, 2, 3).component(3), 0);
    EXPECT_EQ(aPoint(1, 2, 3).component(-1), 1);
    EXPECT_EQ(aHomogeneousPoint(1.0, 2.0, 3.0, 4.0).component(-1), 4);
    EXPECT_EQ(aHomogeneousPoint(1.0, 2.0, 3.0, 4.0).component(7), 0);
}

TEST_F(GeometryBasics, WeightedPointsDivideOnlyByUsableWeights) {
    expectNear(aPoint(2.0f, 4.0f, 6.0f, 2.0f), {1, 2, 3});
    expectNear(aPoint(2.0f, 4.0f, 6.0f, 0.0f), {2, 4, 6});
    aHomogeneousPoint h(2.0f, 4.0f, 6.0f, 2.0f);
    EXPECT_EQ(h.x, 2);  // kept as given
    expectNear(h.toPoint(), {1, 2, 3});
    float f[4];
    aPoint(1, 2, 3).toHomogeneousFloats(2, f);
    EXPECT_EQ(f[0], 2);
    EXPECT_EQ(f[2], 6);
    EXPECT_EQ(f[3], 2);
}

TEST_F(GeometryBasics, PointToleranceGovernsCoincidence) {
    aPoint stored[2] = {{0, 0, 0}};
    std::int32_t count = 1;
    addUniquePoint({1e-7, 0, 0}, stored, count, 2);
    EXPECT_EQ(count, 1);
    addUniquePoint({1, 0, 0}, stored, count, 2);
    EXPECT_EQ(count, 2);
    addUniquePoint({5, 0, 0}, stored, count, 2);  // full
    EXPECT_EQ(count, 2);

    setPointTolerance(-1);
    EXPECT_EQ(getPointTolerance(), 1e-6);
    EXPECT_FALSE(aPoint(0, 0, 0).coincidesWith({1e-6, 0, 0}));  // strictly less
    setPointTolerance(0.01);
    EXPECT_TRUE(aPoint(0, 0, 0).coincidesWith({0.005, 0, 0}));
    resetSolidsState();
    EXPECT_EQ(getPointTolerance(), 1e-6);
}

TEST_F(GeometryBasics, TransformsPointsAndVectors) {
    double rot[9];
    rotationMatrix3(zAxis, std::numbers::pi / 2, rot);
    aTransform about(rot, aPoint(1, 1, 0));
    expectNear(about.transformPoint({2, 1, 5}), {1, 2, 5});
    expectNear(about.transformVector({1, 0, 0}), {0, 1, 0});

    // A projective row whose W vanishes gives X, Y, Z undivided.
    double values[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};
    expectNear(aTransform(values).transformPoint({3, 4, 5}), {3, 4, 5});
    values[15] = 2;
    expectNear(aTransform(values).transformPoint({3, 4, 5}), {1.5, 2, 2.5});

    rotationMatrix3(zeroVector, 1.0, rot);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(rot[i], identity3[i]);

    // Rotation about an oblique axis keeps the axis and lengths.
    aVector axis(1, 2, 2);
    rotationMatrix3(axis, 0.7, rot);
    expectNear(multiply3(rot, axis), axis);
    EXPECT_NEAR(multiply3(rot, {3, -1, 2}).length(), aVector(3, -1, 2).length(), 1e-12);
}

struct WordReader {
    std::istringstream in;
    std::string word;
    bool readWord(char*& out, int) {
        if (!(in >> word)) return false;
        out = word.data();
        return true;
    }
    bool readDouble(double& v) { return static_cast<bool>(in >> v); }
};

TEST_F(GeometryBasics, IntervalReadsAndPrintsItsBounds) {
    WordReader reader{std::istringstream("F 0 I F -2.5 F 7"), {}};
    aInterval a, b;
    a.readFrom(reader);
    b.readFrom(reader);
    double v = 9;
    EXPECT_TRUE(a.getLow(v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(a.getHigh(v));
    EXPECT_TRUE(b.getLow(v));
    EXPECT_EQ(v, -2.5);
    std::ostringstream text;
    a.print(text);
    b.print(text);
    EXPECT_EQ(text.str(), "F 0 I F -2.5 F 7 ");

    aInterval ended;
    ended.readFrom(reader);  // nothing left: both unbounded
    EXPECT_FALSE(ended.lowFinite || ended.highFinite);
}

TEST_F(GeometryBasics, PrintForms) {
    std::ostringstream text;
    aPoint(1, -2.5, 0).print(text);
    aHomogeneousPoint(1.0, 2.0, 3.0, 0.5).print(text);
    EXPECT_EQ(text.str(), "(1,-2.5,0)(1,2,3,0.5)");
}

TEST_F(GeometryBasics, BoxesGrowAndContain) {
    aBox box;
    box.initFromPoint({1, 1, 1});
    box.growWithPoint({-1, 3, 1});
    EXPECT_TRUE(box.boxContains({0, 2, 1}));
    EXPECT_FALSE(box.boxContains({0, 2, 1.1}));
    EXPECT_EQ(box.diagonalSquared(), 4 + 4);
}

TEST_F(GeometryBasics, FloatRowsEndWithNullAndFreeToNull) {
    float** rows = allocFloatRows(3, 4);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows[3], nullptr);
    rows[2][3] = 1.5f;
    freeFloatRows(rows);
    EXPECT_EQ(rows, nullptr);
    freeFloatRows(rows);  // null stays null
}

TEST_F(GeometryBasics, DiagnosticsReachTheInstalledSink) {
    Diagnostic(DiagnosticStream::err) << "*** Warning: " << 3 << '\n';
    Diagnostic(DiagnosticStream::out) << "Note\n";
    EXPECT_EQ(err, "*** Warning: 3\n");
    EXPECT_EQ(out, "Note\n");
}

}  // namespace
