#include "toolkit/solids/polynomial_roots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "toolkit/solids/diagnostics.h"

namespace {

constexpr double kStartZeroTol = 1e-6;
constexpr double kStartValueTol = 1e-13;
constexpr int kNewtonSteps = 200;
constexpr int kOutwardSteps = 200;
constexpr int kBracketLevels = 6;      // 63 Newton starts before bisection
constexpr int kBisectionSteps = 200;

// Coefficients and values at or below these count as zero.
double zeroTol = kStartZeroTol;
double valueTol = kStartValueTol;

struct Monic {
    const double* q;
    std::int32_t n;
    double value(double x) const {
        double p, dp;
        evaluatePolynomial(q, n, x, p, dp);
        return p;
    }
};

// Newton from x0; converged is false when the step never became small. A
// vanishing or non-finite step ends the run where it stands.
double newtonRoot(const Monic& poly, double x0, bool* converged = nullptr) {
    const double bound = std::fabs(x0) >= 1e-5 ? std::fabs(x0) * 1e-12 : 1e-12;
    double x = x0;
    for (int step = 0; step < kNewtonSteps; ++step) {
        double p, dp;
        evaluatePolynomial(poly.q, poly.n, x, p, dp);
        if (dp == 0) break;
        double next = x - p / dp;
        if (!std::isfinite(next)) break;
        bool done = std::fabs(x - next) <= bound;
        x = next;
        if (done) {
            if (converged) *converged = true;
            return x;
        }
    }
    if (converged) *converged = false;
    return x;
}

// Between two points where p has strictly opposite signs and no critical point.
double bisect(const Monic& poly, double a, double b) {
    double pa = poly.value(a);
    for (int i = 0; i < kBisectionSteps; ++i) {
        double mid = 0.5 * (a + b);
        if (mid <= a || mid >= b) break;
        double pm = poly.value(mid);
        if (pm == 0) return mid;
        if ((pm < 0) == (pa < 0)) {
            a = mid;
            pa = pm;
        } else {
            b = mid;
        }
    }
    return 0.5 * (a + b);
}

// Newton from 1/2, then 1/4 and 3/4, ... of the way from a to b; the first
// converged root strictly inside wins, otherwise bisection settles it.
double bracketRoot(const Monic& poly, double a, double b) {
    for (int level = 1; level <= kBracketLevels; ++level) {
        int parts = 1 << level;
        for (int i = 1; i < parts; i += 2) {
            bool converged = false;
            double r = newtonRoot(poly, a + (b - a) * i / parts, &converged);
            if (converged && a < r && r < b) return r;
        }
    }
    return bisect(poly, a, b);
}

// The one root beyond the outermost critical point c, which p heads for when
// stepping by h. Newton from ever farther starts; when none lands on the
// right side, the step doubles until p changes sign and bisection decides.
bool outerRoot(const Monic& poly, double c, double h, double& root) {
    double y = c + h;
    for (int i = 0; i < kOutwardSteps; ++i) {
        bool converged = false;
        double r = newtonRoot(poly, y, &converged);
        if (converged && (h < 0 ? r <= c : r >= c)) {
            root = r;
            return true;
        }
        y += h;
    }
    double pc = poly.value(c);
    double step = h;
    for (int i = 0; i < 1100; ++i, step *= 2) {
        double far = c + step;
        if (!std::isfinite(far)) break;
        double pf = poly.value(far);
        if ((pf < 0) != (pc < 0) || pf == 0) {
            root = h < 0 ? bisect(poly, far, c) : bisect(poly, c, far);
            return true;
        }
    }
    return false;
}

bool headsForZero(double pc, double py) { return (pc > 0 && py < pc) || (pc < 0 && py > pc); }

void addRoot(PolyRoot* roots, std::int32_t& count, double value, std::int32_t multiplicity) {
    if (count >= kMaxPolynomialDegree) return;
    roots[count++] = {value, multiplicity};
}

void insertZeroRoot(PolyRoot* roots, std::int32_t& count, std::int32_t z) {
    if (z <= 0 || count >= kMaxPolynomialDegree) return;
    std::int32_t at = 0;
    while (at < count && roots[at].value <= 0) ++at;
    for (std::int32_t i = count; i > at; --i) roots[i] = roots[i - 1];
    roots[at] = {0.0, z};
    ++count;
}

double largestMagnitude(const double* k, std::int32_t n, double floor) {
    double m = floor;
    for (std::int32_t i = 0; i <= n; ++i) m = std::max(m, std::fabs(k[i]));
    return m;
}

// Roots of a monic polynomial of degree d > 2 from the roots of its derivative.
void rootsFromCriticalPoints(const Monic& poly, PolyRoot* roots, std::int32_t& count) {
    const std::int32_t d = poly.n;
    double r[kMaxPolynomialDegree + 1];
    for (std::int32_t j = 1; j < d; ++j) r[j - 1] = j * poly.q[j] / d;
    r[d - 1] = 1;

    PolyRoot critical[kMaxPolynomialDegree];
    const double savedZero = zeroTol, savedValue = valueTol;
    const double m = largestMagnitude(r, d - 1, 1.0);
    zeroTol = m * 1e-6;
    valueTol = m * 1e-13;
    std::int32_t k = std::max<std::int32_t>(solveMonicPolynomial(r, d - 1, critical), 0);
    zeroTol = savedZero;
    valueTol = savedValue;

    if (k == 0) {
        addRoot(roots, count, newtonRoot(poly, 0), 1);
        return;
    }

    bool lastWasRoot = false;
    const double x1 = critical[0].value;
    const double p1 = poly.value(x1);
    if (std::fabs(p1) >= valueTol) {
        double h = std::fabs(x1) > 1 ? -0.1 * std::fabs(x1) : -2;
        double root;
        if (headsForZero(p1, poly.value(x1 + h)) && outerRoot(poly, x1, h, root)) addRoot(roots, count, root, 1);
    } else {
        addRoot(roots, count, x1, critical[0].multiplicity + 1);
        lastWasRoot = true;
    }

    for (std::int32_t j = 1; j < k; ++j) {
        const double a = critical[j - 1].value, b = critical[j].value;
        if (lastWasRoot) {
            lastWasRoot = false;
            continue;
        }
        const double pb = poly.value(b);
        if (std::fabs(pb) < valueTol) {
            addRoot(roots, count, b, critical[j].multiplicity + 1);
            lastWasRoot = true;
        } else {
            const double pa = poly.value(a);
            if ((pa < 0 && pb > 0) || (pa > 0 && pb < 0)) addRoot(roots, count, bracketRoot(poly, a, b), 1);
        }
    }

    if (!lastWasRoot) {
        const double xk = critical[k - 1].value;
        const double pk = poly.value(xk);
        double h = std::fabs(xk) > 1 ? 0.1 * std::fabs(xk) : 2;
        double root;
        if (headsForZero(pk, poly.value(xk + h)) && outerRoot(poly, xk, h, root)) addRoot(roots, count, root, 1);
    }
}

}  // namespace

void resetSolverTolerances() {
    zeroTol = kStartZeroTol;
    valueTol = kStartValueTol;
}

void evaluatePolynomial(const double* k, std::int32_t n, double x, double& p, double& dp) {
    double s = 0, ds = 0;
    for (std::int32_t i = n; i >= 1; --i) {
        s = k[i] + x * s;
        ds = i * k[i] + x * ds;
    }
    p = k[0] + x * s;
    dp = ds;
}

std::int32_t solvePolynomial(const double* k, std::int32_t n, PolyRoot* roots) {
    if (n < 0) return -1;
    const double m = largestMagnitude(k, n, 0.0);
    if (m < 1e-8) return -1;
    zeroTol = m * 1e-6;
    std::int32_t d = n;
    while (d > 0 && std::fabs(k[d]) < zeroTol) --d;
    if (d == 0) return -1;
    if (d > kMaxPolynomialDegree) return -3;

    if (std::fabs(k[d]) < 0.001) {
        // Near-degenerate input: worth seeing, though it is solved anyway.
        Diagnostic note(DiagnosticStream::out);
        char line[64];
        for (std::int32_t i = 0; i <= n; ++i) {
            std::snprintf(line, sizeof line, "c[%d] = %lf\n", static_cast<int>(i), k[i]);
            note << line;
        }
    }

    double q[kMaxPolynomialDegree + 1];
    for (std::int32_t i = 0; i < d; ++i) q[i] = k[i] / k[d];
    q[d] = 1;
    const double big = largestMagnitude(q, d, 1.0);
    zeroTol = big * 1e-6;
    valueTol = big * 1e-13;
    return solveMonicPolynomial(q, d, roots);
}

std::int32_t solveMonicPolynomial(const double* q, std::int32_t n, PolyRoot* roots) {
    if (n < 0 || n > kMaxPolynomialDegree) return -3;
    std::int32_t z = 0;
    while (z < n && std::fabs(q[z]) <= zeroTol) ++z;
    const Monic poly{q + z, n - z};
    const std::int32_t d = poly.n;

    std::int32_t count = 0;
    if (d > 2) {
        rootsFromCriticalPoints(poly, roots, count);
    } else if (d > 0) {
        double values[2];
        std::int32_t doubleRoot = 0;
        std::int32_t found = solveQuadratic(d == 2 ? poly.q[2] : 0, poly.q[1], poly.q[0], values, doubleRoot);
        for (std::int32_t i = 0; i < found; ++i) addRoot(roots, count, values[i], doubleRoot ? 2 : 1);
    }
    insertZeroRoot(roots, count, z);
    return count;
}

std::int32_t solveQuadratic(double a2, double a1, double a0, double roots[2], std::int32_t& doubleRoot) {
    const double m = std::max({std::fabs(a2), std::fabs(a1), std::fabs(a0)});
    zeroTol = m * 1e-6;
    doubleRoot = 0;
    if (m == 0) return -1;  // a zero tolerance of 0 would let 0/0 through
    if (std::fabs(a2) < zeroTol) {
        if (std::fabs(a1) < zeroTol) return -1;
        roots[0] = -a0 / a1;
        return 1;
    }
    const double disc = a1 * a1 - 4 * a2 * a0;
    if (std::fabs(disc) < m * 1e-8) {
        roots[0] = -a1 / (2 * a2);
        doubleRoot = 1;
        return 1;
    }
    if (disc < 0) return -2;
    const double s = std::sqrt(disc);
    double r0 = (-a1 - s) / (2 * a2), r1 = (s - a1) / (2 * a2);
    roots[0] = std::min(r0, r1);
    roots[1] = std::max(r0, r1);
    return 2;
}
