// Matrix and vector math: the conventions (row vectors, A x B applies A
// first), inversion against an independent solver, singular matrices, and
// the edge cases of the extrusion frame, axis rotation and circle centre.
#include "toolkit/display/display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {

AdMatrix4 translation(double x, double y, double z) {
    AdMatrix4 m = adIdentityMatrix;
    m.m[3][0] = x, m.m[3][1] = y, m.m[3][2] = z;
    return m;
}

// Within tolerance relative to the larger of 1 and the expected entry.
void expectNear(const AdMatrix4& a, const AdMatrix4& b, double tolerance) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance * std::max(1.0, std::fabs(b.m[i][j]))) << i << "," << j;
}

// The inverse by solving M X = I column by column with partial pivoting on
// rows: a different method from the engine's row-pivoted elimination.
AdMatrix4 solveInverse(const AdMatrix4& m) {
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 8; ++j) a[i][j] = j < 4 ? m.m[i][j] : (j - 4 == i ? 1.0 : 0.0);
    for (int c = 0; c < 4; ++c) {
        int p = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        for (int j = 0; j < 8; ++j) std::swap(a[c][j], a[p][j]);
        for (int r = 0; r < 4; ++r) {
            if (r == c) continue;
            const double f = a[r][c] / a[c][c];
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[c][j];
        }
    }
    AdMatrix4 inverse;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) inverse.m[i][j] = a[i][j + 4] / a[i][i];
    return inverse;
}

}  // namespace

TEST(Matrix, ProductAppliesTheLeftMatrixFirstAndMayOverwriteAnOperand) {
    AdMatrix4 turn = adIdentityMatrix;
    adMatrixRotateZ(std::numbers::pi / 2, &turn);
    const AdMatrix4 shift = translation(5, 0, 0);
    AdMatrix4 product;
    adMatrixMultiply(&turn, &shift, &product);  // turn, then shift
    const double p[4] = {1, 0, 0, 1};
    double q[4];
    adTransformPoint(p, &product, q);
    EXPECT_NEAR(q[0], 5, 1e-12);
    EXPECT_NEAR(q[1], 1, 1e-12);
    AdMatrix4 inPlace = turn;
    adMatrixMultiply(&inPlace, &shift, &inPlace);
    expectNear(inPlace, product, 0);
    inPlace = shift;
    AdMatrix4 separate;
    adMatrixMultiply(&turn, &inPlace, &separate);
    adMatrixMultiply(&turn, &inPlace, &inPlace);
    expectNear(inPlace, separate, 0);
}

TEST(Matrix, TranslationsActBeforeOrAfterTheMatrix) {
    AdMatrix4 scale = adIdentityMatrix;
    scale.m[0][0] = scale.m[1][1] = scale.m[2][2] = 2;
    const double t[3] = {1, 2, 3};
    AdMatrix4 before = scale;
    adMatrixPreTranslate(t, &before);
    AdMatrix4 after = scale;
    adMatrixPostTranslate(1, 2, 3, &after);
    const double origin[4] = {0, 0, 0, 1};
    double a[4], b[4];
    adTransformPoint(origin, &before, a);
    adTransformPoint(origin, &after, b);
    EXPECT_EQ(a[0], 2);  // translated, then scaled
    EXPECT_EQ(a[2], 6);
    EXPECT_EQ(b[0], 1);  // scaled, then translated
    EXPECT_EQ(b[2], 3);
}

TEST(Matrix, ScalingTheAxesKeepsTheTranslation) {
    AdMatrix4 m = translation(5, 5, 0);
    adMatrixScaleAxes(2, 3, 4, &m);
    EXPECT_EQ(m.m[3][0], 5);
    EXPECT_EQ(m.m[3][1], 5);
    EXPECT_EQ(m.m[0][0], 2);
    EXPECT_EQ(m.m[1][1], 3);
    EXPECT_EQ(m.m[2][2], 4);
    EXPECT_NEAR(adMatrixScale(&m), std::sqrt((4.0 + 9.0 + 16.0) / 3.0), 1e-15);
}

TEST(Matrix, InverseAgreesWithAnIndependentSolverOnRandomMatrices) {
    std::mt19937 random(17);
    std::uniform_real_distribution<double> value(-10, 10);
    for (int n = 0; n < 500; ++n) {
        AdMatrix4 m;
        for (auto& row : m.m)
            for (double& x : row) x = value(random);
        // Well conditioned: a strong diagonal, sometimes on a permuted diagonal
        // so that a row starts with 0 and the pivot must be searched.
        for (int i = 0; i < 4; ++i) m.m[i][(i + n) % 4] += (n % 2 ? 40 : -40);
        if (n % 3 == 0) m.m[0][0] = 0;
        AdMatrix4 inverse = m;
        ASSERT_EQ(adMatrixInvert(&inverse), 1);
        expectNear(inverse, solveInverse(m), 1e-12);
        AdMatrix4 product;
        adMatrixMultiply(&m, &inverse, &product);
        expectNear(product, adIdentityMatrix, 1e-10);
    }
}

TEST(Matrix, SingularMatricesAreRefusedAndLeftAsTheyWere) {
    AdMatrix4 zero{};
    AdMatrix4 flat = adIdentityMatrix;  // everything onto the z = 0 plane
    flat.m[2][2] = 0;
    AdMatrix4 twinRows = adIdentityMatrix;
    twinRows.m[1][0] = 1, twinRows.m[1][1] = 0;
    AdMatrix4 notFinite = adIdentityMatrix;
    notFinite.m[1][1] = std::nan("");
    for (const AdMatrix4& singular : {zero, flat, twinRows, notFinite}) {
        AdMatrix4 m = singular;
        EXPECT_EQ(adMatrixInvert(&m), 0);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                if (!std::isnan(singular.m[i][j])) {
                    EXPECT_EQ(m.m[i][j], singular.m[i][j]);
                }
    }
}

TEST(Matrix, ExtrusionFramesFollowTheArbitraryAxisRule) {
    const double tiny = 0.01;  // below 1/64 in x and y, not zero
    const double lengthOfTiny = std::sqrt(1 - 2 * tiny * tiny);
    const struct {
        double normal[3];
        double xAxis[3];
        double yAxis[3];
    } cases[] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        // Near the z axis the helper is the y axis: x = normalised (0, 1, 0) x N.
        {{tiny, tiny, lengthOfTiny}, {lengthOfTiny, 0, -tiny}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        AdMatrix4 m;
        adMatrixFromExtrusion(c.normal, &m);
        const double xLength = std::hypot(c.xAxis[0], c.xAxis[1], c.xAxis[2]);
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(m.m[0][j], c.xAxis[j] / xLength, 1e-12) << j;
            EXPECT_EQ(m.m[2][j], c.normal[j]);
            if (c.yAxis[0] || c.yAxis[1] || c.yAxis[2]) {
                EXPECT_NEAR(m.m[1][j], c.yAxis[j], 1e-12) << j;
            }
        }
        EXPECT_EQ(m.m[0][3], 0);
        EXPECT_EQ(m.m[3][3], 1);
    }
}

TEST(Matrix, RotationAboutAnAxisIsRightHanded) {
    const double origin[3] = {0, 0, 0}, z[3] = {0, 0, 2};
    double p[3] = {1, 0, 0};
    adRotateAboutAxis(p, origin, z, std::numbers::pi / 2);
    EXPECT_NEAR(p[0], 0, 1e-15);
    EXPECT_NEAR(p[1], 1, 1e-15);
    double q[3] = {3, 4, 5};
    const double k[3] = {1, 1, 1}, axis[3] = {1, 2, 3};
    adRotateAboutAxis(q, k, axis, 0);
    EXPECT_NEAR(q[0], 3, 1e-15);
    EXPECT_NEAR(q[1], 4, 1e-15);
    EXPECT_NEAR(q[2], 5, 1e-15);
    // About a line through (1, 1, 0) along z, a half turn mirrors through it.
    double r[3] = {2, 1, 7};
    adRotateAboutAxis(r, k, z, std::numbers::pi);
    EXPECT_NEAR(r[0], 0, 1e-15);
    EXPECT_NEAR(r[1], 1, 1e-15);
    EXPECT_NEAR(r[2], 7, 1e-15);
}

TEST(Matrix, PlaneNormalsCrossProductsAndCircleCentres) {
    const double p0[3] = {1, 0, 0}, p1[3] = {0, 0, 0}, p2[3] = {0, 1, 0};
    double n[4];
    adPlaneNormal(p0, p1, p2, n);  // (P2 - P1) x (P0 - P1)
    EXPECT_EQ(n[2], -1);
    EXPECT_EQ(n[3], 1);
    const double a[3] = {2, 0, 0}, b[3] = {0, 3, 0};
    double raw[4];
    adVectorCrossRaw(a, b, raw);
    EXPECT_EQ(raw[2], 6);
    EXPECT_EQ(raw[3], 1);
    EXPECT_DOUBLE_EQ(adPointDistance(a, b), std::sqrt(13.0));

    const struct {
        double p0[3], p1[3], p2[3], normal[3], centre[3];
    } circles[] = {
        {{5, 0, 0}, {0, 5, 0}, {-5, 0, 0}, {0, 0, 1}, {0, 0, 0}},
        {{3, 1, 2}, {1, 3, 2}, {-1, 1, 2}, {0, 0, 1}, {1, 1, 2}},
        {{0, 2, 4}, {0, 4, 2}, {0, 2, 0}, {1, 0, 0}, {0, 2, 2}},   // in the yz plane
        {{1, 0, 5}, {3, 0, 3}, {5, 0, 5}, {0, 1, 0}, {3, 0, 5}},   // in the xz plane
    };
    for (const auto& c : circles) {
        double centre[3];
        adCircleCentre3P(c.p0, c.p1, c.p2, c.normal, centre);
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(centre[j], c.centre[j], 1e-12) << j;
    }
}
