// Real roots of polynomials of degree at most 20, and the equations in
// t = tan(θ/2) that the conic intersections reduce to.
#pragma once

#include <cstdint>

// Root arrays come out in ascending order of value; the angle solvers keep
// the angle in value.
struct PolyRoot {
    double value = 0;
    std::int32_t multiplicity = 0;
};

inline constexpr std::int32_t kMaxPolynomialDegree = 20;

// p(x) and p'(x) of k[0] + k[1]·x + ... + k[n]·x^n.
void evaluatePolynomial(const double* k, std::int32_t n, double x, double& p, double& dp);

// The real roots of k[0 .. n] (ascending coefficients) into roots, which holds
// kMaxPolynomialDegree records. Answers their number, −1 when every
// coefficient is zero or only a constant is left, −3 above degree 20.
std::int32_t solvePolynomial(const double* k, std::int32_t n, PolyRoot* roots);
// The same for a monic q (q[n] = 1) under the solver tolerances in force.
std::int32_t solveMonicPolynomial(const double* q, std::int32_t n, PolyRoot* roots);

// a2·x² + a1·x + a0 = 0: 1 or 2 roots in ascending order, −1 when a2 and a1
// both vanish, −2 without a real root.
std::int32_t solveQuadratic(double a2, double a1, double a0, double roots[2], std::int32_t& doubleRoot);

// Angles θ in (−π, π] whose half-angle tangent solves the equation; the count,
// or a negative sum of degeneracy codes. angles holds four records.
std::int32_t solveHalfAngleQuadratic(double h2, double h1, double h0, PolyRoot* angles);
// Two passes over the quartic k[0 .. 4]: as given, then with t → −1/t for
// coefficients with k1 = k3 (the Plain form for k1 = −k3). k is restored.
// angles holds eight records.
std::int32_t solveHalfAngleQuartic(double k[5], PolyRoot* angles);
std::int32_t solveHalfAngleQuarticPlain(double k[5], PolyRoot* angles);

// Puts the solver tolerances back to their start values.
void resetSolverTolerances();
