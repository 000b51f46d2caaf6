#include <cmath>
#include <numbers>
#include <utility>

#include "toolkit/solids/polynomial_roots.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr std::int32_t kHalfAngleCapacity = 8;

// Appends θ for the half-angle tangent t of one pass. Values of t outside
// [−1, 1] belong to the other pass, and angles within 1e-5 of a stored one
// are the same angle found twice.
void addHalfAngleRoot(double t, std::int32_t multiplicity, double offset, PolyRoot* angles, std::int32_t& count) {
    double theta;
    if (std::fabs(t + 1) < 1e-5)
        theta = offset - kPi / 2;
    else if (std::fabs(t - 1) < 1e-5)
        theta = offset + kPi / 2;
    else if (t >= -1 && t <= 1)
        theta = 2 * std::atan(t) + offset;
    else
        return;
    if (theta > kPi) theta -= 2 * kPi;
    for (std::int32_t i = 0; i < count; ++i)
        if (std::fabs(angles[i].value - theta) < 1e-5) return;
    if (count < kHalfAngleCapacity) angles[count++] = {theta, multiplicity};
}

std::int32_t solveQuarticPass(const double k[5], double offset, PolyRoot* angles, std::int32_t& count) {
    PolyRoot roots[kMaxPolynomialDegree];
    std::int32_t found = solvePolynomial(k, 4, roots);
    for (std::int32_t i = 0; i < found; ++i) addHalfAngleRoot(roots[i].value, roots[i].multiplicity, offset, angles, count);
    return found;
}

std::int32_t solveHalfAngleQuarticWith(double k[5], PolyRoot* angles, bool negateOdd) {
    std::int32_t count = 0;
    auto substitute = [&] {
        std::swap(k[0], k[4]);
        if (negateOdd) {
            k[1] = -k[1];
            k[3] = -k[3];
        }
    };
    solveQuarticPass(k, 0, angles, count);
    substitute();
    solveQuarticPass(k, kPi, angles, count);
    substitute();
    return count;
}

}  // namespace

std::int32_t solveHalfAngleQuadratic(double h2, double h1, double h0, PolyRoot* angles) {
    const double m = std::fmax(std::fabs(h2), std::fmax(std::fabs(h1), std::fabs(h0)));
    const double zero = m * 1e-6, discTol = m * 1e-8;
    const double disc = h1 * h1 - 4 * h2 * h0;
    const double s = disc > discTol ? std::sqrt(disc) : 0;

    std::int32_t count = 0, codes = 0;
    struct Pass {
        double offset;
        std::int32_t allZeroCode, constantCode;
    };
    for (Pass pass : {Pass{0, -1, -4}, Pass{kPi, -2, -8}}) {
        if (pass.offset != 0) {
            // t → −1/t covers the half-turn the first pass leaves out.
            std::swap(h2, h0);
            h1 = -h1;
        }
        if (std::fabs(h2) >= zero && m > 0) {
            const double g = 0.5 / h2;
            if (std::fabs(disc) <= discTol) {
                addHalfAngleRoot(-h1 * g, 2, pass.offset, angles, count);
            } else if (disc > 0) {
                addHalfAngleRoot((-h1 - s) * g, 1, pass.offset, angles, count);
                addHalfAngleRoot((s - h1) * g, 1, pass.offset, angles, count);
            }
        } else if (std::fabs(h1) >= zero && m > 0) {
            addHalfAngleRoot(-h0 / h1, 1, pass.offset, angles, count);
        } else {
            codes += (std::fabs(h0) >= zero && m > 0) ? pass.constantCode : pass.allZeroCode;
        }
    }
    if (codes != 0) return codes;
    if (count == 2 && angles[0].value > angles[1].value) std::swap(angles[0], angles[1]);
    return count;
}

std::int32_t solveHalfAngleQuartic(double k[5], PolyRoot* angles) { return solveHalfAngleQuarticWith(k, angles, true); }

std::int32_t solveHalfAngleQuarticPlain(double k[5], PolyRoot* angles) {
    return solveHalfAngleQuarticWith(k, angles, false);
}
