// Tori and NURBS surfaces: torus kinds, limits and circles, surface evaluation
// and inversion, iso-curves and closure.
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

#include "solids_fixture.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/torus.h"

namespace {

using TorusAndNurbsSurfaces = SolidsTest;
constexpr double kPi = std::numbers::pi;

double onTorus(const c_Torus& t, const aPoint& p) {
    aVector w = p - t.getCentre();
    double h = dot(w, t.getAxis());
    double rho = std::sqrt(std::fmax(w.lengthSquared() - h * h, 0.0));
    return std::hypot(rho - t.getMajorRadius(), h) - t.getMinorRadius();
}

TEST_F(TorusAndNurbsSurfaces, TorusKindsAndLimits) {
    c_Torus apple({0, 0, 0}, xAxis, zAxis, 1, 2);
    EXPECT_EQ(apple.getKind(), c_Torus::apple);
    EXPECT_NEAR(apple.thetaLimit(), 2 * kPi / 3, 1e-12);
    std::unique_ptr<c_Circle> pulled(apple.majorCircle(3.0));
    double theta = 2 * kPi / 3 - 0.02;
    expectNear(pulled->getCenter(), {0, 0, 2 * std::sin(theta)}, 1e-12);
    EXPECT_NEAR(pulled->getRadius(), 1 + 2 * std::cos(theta), 1e-12);

    c_Torus lemon({0, 0, 0}, xAxis, zAxis, -3, 1);
    EXPECT_EQ(lemon.getKind(), c_Torus::lemon);
    EXPECT_EQ(lemon.getMajorRadius(), 3);

    c_Torus inside({0, 0, 0}, xAxis, zAxis, 3, -1);
    EXPECT_TRUE(inside.isInfiniteVolume());
    std::ostringstream text;
    inside.print(text);
    EXPECT_NE(text.str().find("infinite volume"), std::string::npos);
    expectNear(inside.normalAt({4, 0, 0}), {-1, 0, 0});  // towards the tube centre
    expectNear(c_Torus().normalAt({3, 0, 0}), {1, 0, 0});
}

TEST_F(TorusAndNurbsSurfaces, TorusCircles) {
    c_Torus doughnut({1, 2, 3}, xAxis, aVector(0, 1, 1), 3, 1);
    c_Curve* out[16];
    Curves circles = take(out, doughnut.generateCircles(4, out));
    ASSERT_EQ(circles.size(), 8u);
    for (const auto& c : circles)
        for (double t = -3; t < 3.2; t += 0.5) {
            aPoint p;
            c->getPointAt(t, p);
            EXPECT_NEAR(onTorus(doughnut, p), 0, 1e-9);
        }
    // The first tube angle is 0.21784: that circle's plane sits minor·sin θ up the axis.
    auto* first = static_cast<c_Circle*>(circles[0].get());
    EXPECT_NEAR(dot(first->getCenter() - doughnut.getCentre(), doughnut.getAxis()), std::sin(0.21784), 1e-12);

    c_Torus plain;
    Curves through = take(out, plain.curvesThrough({3, 0, 0}, out, 7));
    ASSERT_EQ(through.size(), 2u);
    EXPECT_NEAR(static_cast<c_Circle&>(*through[0]).getRadius(), 3, 1e-12);
    expectNear(static_cast<c_Circle&>(*through[0]).getNormal(), zAxis);
    EXPECT_NEAR(static_cast<c_Circle&>(*through[1]).getRadius(), 1, 1e-12);
    EXPECT_TRUE(through[1]->containsPoint({3, 0, 0}));

    // Torus intersections are not computed.
    c_IntersectionResult line(c_Line({-5, 0, 0}, xAxis), plain);
    EXPECT_EQ(line.getStatus(), 1);
    EXPECT_EQ(c_IntersectionResult(c_Circle({0, 0, 0}, zAxis, 2), plain).getStatus(), 1);
}

// The B-spline basis function N(i, k) at t by the plain recursion, as an
// independent check of the surface evaluation.
double basis(const std::vector<float>& t, int i, int k, double x) {
    if (k == 1) {
        if (t[i] <= x && x < t[i + 1]) return 1;
        // The end of the range belongs to the last non-empty span.
        return x == t.back() && t[i] < x && t[i + 1] == x ? 1 : 0;
    }
    double value = 0;
    if (t[i + k - 1] > t[i]) value += (x - t[i]) / (t[i + k - 1] - t[i]) * basis(t, i, k - 1, x);
    if (t[i + k] > t[i + 1]) value += (t[i + k] - x) / (t[i + k] - t[i + 1]) * basis(t, i + 1, k - 1, x);
    return value;
}

struct SurfaceData {
    int nu, nv;
    std::vector<float> points, uKnots, vKnots;
    std::unique_ptr<c_NURBSSurface> surface() const {
        return std::make_unique<c_NURBSSurface>(points.data(), nu, nv, uKnots.data(), int(uKnots.size()),
                                                vKnots.data(), int(vKnots.size()));
    }
    aPoint direct(double u, double v) const {
        double sum[4] = {0, 0, 0, 0};
        const int ku = int(uKnots.size()) - nu, kv = int(vKnots.size()) - nv;
        for (int j = 0; j < nv; ++j)
            for (int i = 0; i < nu; ++i) {
                double b = basis(uKnots, i, ku, u) * basis(vKnots, j, kv, v);
                for (int c = 0; c < 4; ++c) sum[c] += b * points[4 * (i + j * nu) + c];
            }
        return {sum[0] / sum[3], sum[1] / sum[3], sum[2] / sum[3]};
    }
};

SurfaceData randomSurface(std::mt19937& rng, int degreeU, int degreeV) {
    std::uniform_real_distribution<float> coord(-3, 3), weight(0.5f, 2);
    SurfaceData s{degreeU + 3, degreeV + 2, {}, {}, {}};
    for (int j = 0; j < s.nv; ++j)
        for (int i = 0; i < s.nu; ++i) {
            float w = weight(rng);
            float x = float(i) + coord(rng) / 4, y = float(j) + coord(rng) / 4, z = coord(rng);
            s.points.insert(s.points.end(), {w * x, w * y, w * z, w});
        }
    auto knots = [](int n, int k) {
        std::vector<float> t(k, 0.0f);
        for (int i = 1; i < n - k + 1; ++i) t.push_back(float(i) / float(n - k + 1));
        t.insert(t.end(), k, 1.0f);
        return t;
    };
    s.uKnots = knots(s.nu, degreeU + 1);
    s.vKnots = knots(s.nv, degreeV + 1);
    return s;
}

TEST_F(TorusAndNurbsSurfaces, NurbsSurfaceEvaluationAndInversion) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> param(0, 1);
    for (int du = 1; du <= 3; ++du) {
        for (int dv = 1; dv <= 3; ++dv) {
            SurfaceData data = randomSurface(rng, du, dv);
            auto surface = data.surface();
            for (int k = 0; k < 3; ++k) {
                double u = param(rng), v = param(rng);
                aPoint p = surface->pointAt(u, v);
                expectNear(p, data.direct(u, v), 1e-5);
                double bu, bv;
                surface->getParameterOf(p, bu, bv);
                EXPECT_LT(surface->pointAt(bu, bv).distanceTo(p), 1e-4) << du << dv << " at " << u << ',' << v;
            }
            // Normals square to both iso-curve tangents.
            aVector S[3][3];
            ASSERT_TRUE(surface->rationalDerivatives(0.3, 0.6, 1, S));
            aVector n = surface->normalAt(surface->pointAt(0.3, 0.6));
            EXPECT_NEAR(dot(n, S[1][0]) / S[1][0].length(), 0, 1e-4);
            EXPECT_NEAR(dot(n, S[0][1]) / S[0][1].length(), 0, 1e-4);
        }
    }
}

TEST_F(TorusAndNurbsSurfaces, NurbsSurfaceIsoCurvesAndClosure) {
    std::mt19937 rng(5);
    SurfaceData data = randomSurface(rng, 2, 2);
    auto surface = data.surface();
    c_Curve* out[4];
    Curves iso = take(out, surface->isoCurves(1, out));
    ASSERT_EQ(iso.size(), 2u);
    for (double t : {0.1, 0.5, 0.9}) {
        aPoint p;
        iso[0]->getPointAt(t, p);
        expectNear(p, surface->pointAt(0.5, t), 1e-5);
        iso[1]->getPointAt(t, p);
        expectNear(p, surface->pointAt(t, 0.5), 1e-5);
    }
    EXPECT_FALSE(surface->isClosedU());

    // Make the last u column repeat the first: closed in u.
    for (int j = 0; j < data.nv; ++j)
        for (int c = 0; c < 4; ++c) data.points[4 * (data.nu - 1 + j * data.nu) + c] = data.points[4 * (j * data.nu) + c];
    EXPECT_TRUE(data.surface()->isClosedU());

    // A point far away fails every attempt: the sentinels lie past the range.
    double u, v;
    c_NURBSSurface empty(nullptr, 0, 0, nullptr, 0, nullptr, 0);
    empty.getParameterOf({1, 1, 1}, u, v);
    EXPECT_EQ(u, 10);
    EXPECT_EQ(v, 10);
}

}  // namespace
