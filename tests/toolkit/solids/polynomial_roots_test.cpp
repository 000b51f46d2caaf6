// Polynomial roots: known and random polynomials, degenerate input, small
// leading coefficients, and the half-angle forms over the whole turn.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <numeric>
#include <random>
#include <vector>

#include "solids_fixture.h"
#include "toolkit/solids/polynomial_roots.h"

namespace {

using PolynomialRoots = SolidsTest;
constexpr double kPi = std::numbers::pi;

std::vector<PolyRoot> solve(std::vector<double> k) {
    PolyRoot roots[kMaxPolynomialDegree];
    std::int32_t n = solvePolynomial(k.data(), static_cast<std::int32_t>(k.size()) - 1, roots);
    if (n < 0) return {{static_cast<double>(n), -1}};
    return {roots, roots + n};
}

TEST_F(PolynomialRoots, KnownPolynomials) {
    struct Case {
        const char* name;
        std::vector<double> k;
        std::vector<PolyRoot> want;
    } cases[] = {
        {"(x-1)(x-2)(x-3)", {-6, 11, -6, 1}, {{1, 1}, {2, 1}, {3, 1}}},
        {"x^3", {0, 0, 0, 1}, {{0, 3}}},
        {"x(x^3+x+1)", {0, 1, 1, 0, 1}, {{-0.6823278038280193, 1}, {0, 1}}},
        {"(x-1)^2(x+2)", {2, -3, 0, 1}, {{-2, 1}, {1, 2}}},
        {"x^2+1", {1, 0, 1}, {}},
        {"2x-1", {-1, 2}, {{0.5, 1}}},
        {"(x^2-4)x^2", {0, 0, -4, 0, 1}, {{-2, 1}, {0, 2}, {2, 1}}},
        {"x^4+1 (no real root)", {1, 0, 0, 0, 1}, {}},
        {"(x+1)^2(x-3)^2", {9, 12, -2, -4, 1}, {{-1, 2}, {3, 2}}},
        {"(x-1)^4", {1, -4, 6, -4, 1}, {{1, 4}}},
        {"(x-1)^5", {-1, 5, -10, 10, -5, 1}, {{1, 5}}},
        {"(x^2-1)^3", {-1, 0, 3, 0, -3, 0, 1}, {{-1, 3}, {1, 3}}},
        {"trailing zero coefficients", {-6, 11, -6, 1, 0, 0}, {{1, 1}, {2, 1}, {3, 1}}},
    };
    for (const auto& c : cases) {
        auto got = solve(c.k);
        ASSERT_EQ(got.size(), c.want.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].value, c.want[i].value, 1e-9) << c.name;
            EXPECT_EQ(got[i].multiplicity, c.want[i].multiplicity) << c.name;
        }
    }
}

TEST_F(PolynomialRoots, DegenerateInputAnswersCodes) {
    EXPECT_EQ(solve({1e-9, 1e-9, 1e-9})[0].value, -1);
    EXPECT_EQ(solve({5})[0].value, -1);
    EXPECT_EQ(solve({0, 0})[0].value, -1);
    std::vector<double> degree21(22, 0.0);
    degree21[21] = 1;
    degree21[0] = -1;
    EXPECT_EQ(solve(degree21)[0].value, -3);
    EXPECT_TRUE(out.empty());
}

TEST_F(PolynomialRoots, SmallLeadingCoefficientIsReportedAndSolved) {
    auto got = solve({-1, 0.0005});  // 0.0005x − 1
    ASSERT_EQ(got.size(), 1u);
    EXPECT_NEAR(got[0].value, 2000, 1e-9);
    EXPECT_EQ(out, "c[0] = -1.000000\nc[1] = 0.000500\n");
}

TEST_F(PolynomialRoots, QuadraticCases) {
    struct Case {
        double a2, a1, a0;
        std::int32_t answer, doubleRoot;
        double r0, r1;
    } cases[] = {
        {1, -2, 1, 1, 1, 1, 0}, {1, 0, 1, -2, 0, 0, 0},  {0, 0, 5, -1, 0, 0, 0},
        {0, 0, 0, -1, 0, 0, 0}, {0, 2, -1, 1, 0, 0.5, 0}, {-1, 0, 4, 2, 0, -2, 2},
    };
    for (const auto& c : cases) {
        double roots[2] = {};
        std::int32_t flag = -9;
        ASSERT_EQ(solveQuadratic(c.a2, c.a1, c.a0, roots, flag), c.answer)
            << c.a2 << ' ' << c.a1 << ' ' << c.a0;
        if (c.answer < 1) {
            continue;
        }
        EXPECT_EQ(flag, c.doubleRoot);
        EXPECT_DOUBLE_EQ(roots[0], c.r0);
        if (c.answer == 2) {
            EXPECT_DOUBLE_EQ(roots[1], c.r1);
        }
    }
}

TEST_F(PolynomialRoots, HalfAngleQuadratic) {
    PolyRoot angles[4];
    ASSERT_EQ(solveHalfAngleQuadratic(1, 0, -1, angles), 2);
    EXPECT_NEAR(angles[0].value, -kPi / 2, 1e-12);
    EXPECT_NEAR(angles[1].value, kPi / 2, 1e-12);

    // t = 3 lies outside pass 1's range; pass 2 finds it as s = −1/3, and the
    // vanishing t² term is the root θ = π (t at infinity).
    ASSERT_EQ(solveHalfAngleQuadratic(0, 1, -3, angles), 2);
    EXPECT_NEAR(angles[0].value, 2 * std::atan(3.0), 1e-12);
    EXPECT_NEAR(angles[1].value, kPi, 1e-12);

    EXPECT_EQ(solveHalfAngleQuadratic(0, 0, 0, angles), -3);
    EXPECT_EQ(solveHalfAngleQuadratic(1, 0, 1, angles), 0);
}

TEST_F(PolynomialRoots, HalfAngleQuarticCoversTheWholeTurn) {
    // A quartic in t = tan(θ/2) with k1 = k3 built from the angles ±2.5 and
    // ±0.5: (t² − tan²(0.25))(t² − tan²(1.25)) has k1 = k3 = 0.
    double a = std::tan(0.25), b = std::tan(1.25);
    double k[5] = {a * a * b * b, 0, -(a * a + b * b), 0, 1};
    double copy[5];
    std::copy(k, k + 5, copy);
    PolyRoot angles[8];
    std::int32_t n = solveHalfAngleQuartic(k, angles);
    ASSERT_EQ(n, 4);
    std::vector<double> got;
    for (int i = 0; i < n; ++i) got.push_back(angles[i].value);
    std::sort(got.begin(), got.end());
    const double want[] = {-2.5, -0.5, 0.5, 2.5};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-9);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(k[i], copy[i]);  // handed back unchanged
    n = solveHalfAngleQuarticPlain(k, angles);
    EXPECT_EQ(n, 4);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(k[i], copy[i]);
}

// Polynomials built from known real roots and complex pairs: every real root
// must be found, and nothing else. The roots stay near the unit circle: the
// solver takes coefficients below a millionth of the largest one for zero, so
// a degree-20 polynomial with roots far from it would lose its outer terms.
TEST_F(PolynomialRoots, RandomPolynomialsFromKnownRoots) {
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> place(-1, 1);
    std::uniform_real_distribution<double> angle(0.3, std::numbers::pi - 0.3);
    std::uniform_real_distribution<double> modulus(0.7, 1.3);
    int polynomials = 0;
    for (int degree = 1; degree <= 20; ++degree) {
        for (int trial = 0; trial < 25; ++trial, ++polynomials) {
            // Real roots in distinct slots of width 0.2 across ±[0.6, 1.4], at
            // least 0.12 apart.
            int pairs = std::max(std::uniform_int_distribution<int>(0, degree / 2)(rng), (degree - 7) / 2);
            int real = degree - 2 * pairs;
            std::vector<int> slots(8);
            std::iota(slots.begin(), slots.end(), 0);
            std::shuffle(slots.begin(), slots.end(), rng);
            std::vector<double> roots;
            for (int i = 0; i < real; ++i) roots.push_back((slots[i] < 4 ? -1 : 1) * (0.7 + 0.2 * (slots[i] % 4)) + 0.04 * place(rng));
            std::vector<double> k{1.0};
            auto multiply = [&](std::vector<double> factor) {
                std::vector<double> next(k.size() + factor.size() - 1, 0.0);
                for (std::size_t i = 0; i < k.size(); ++i)
                    for (std::size_t j = 0; j < factor.size(); ++j) next[i + j] += k[i] * factor[j];
                k = next;
            };
            for (double r : roots) multiply({-r, 1});
            for (int p = 0; p < pairs; ++p) {
                double m = modulus(rng), a = angle(rng);
                multiply({m * m, -2 * m * std::cos(a), 1});
            }
            std::sort(roots.begin(), roots.end());
            auto got = solve(k);
            if (got.size() != roots.size()) {
                for (double r : roots) std::fprintf(stderr, "want %.17g\n", r);
                for (auto r : got) std::fprintf(stderr, "got %.17g %d\n", r.value, r.multiplicity);
                for (double c : k) std::fprintf(stderr, "k %.17g\n", c);
            }
            ASSERT_EQ(got.size(), roots.size()) << "degree " << k.size() - 1 << " trial " << trial;
            for (std::size_t i = 0; i < roots.size(); ++i) {
                EXPECT_NEAR(got[i].value, roots[i], 1e-6 * std::max(1.0, std::fabs(roots[i])))
                    << "degree " << k.size() - 1 << " trial " << trial;
                EXPECT_EQ(got[i].multiplicity, 1);
            }
        }
    }
    EXPECT_EQ(polynomials, 500);
}

}  // namespace
