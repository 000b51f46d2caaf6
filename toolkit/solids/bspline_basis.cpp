#include "toolkit/solids/bspline_basis.h"

#include <algorithm>
#include <cmath>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/tolerances.h"

c_BSplineBasisFcns::c_BSplineBasisFcns(int n, int k, const float* given) {
    if (n <= 0 || k <= 0) return;
    lastIndex = n;
    order = k;
    knots.assign(static_cast<std::size_t>(n + k + 1), 0.0f);
    if (given) std::copy(given, given + knots.size(), knots.begin());
}

c_BSplineBasisFcns::c_BSplineBasisFcns(const c_BSplineBasisFcns& basis, double x)
    : lastIndex(basis.lastIndex + 1), order(basis.order), knots(basis.knots) {
    if (knots.empty()) {
        lastIndex = 0;
        return;
    }
    int span = basis.findSpan(x);
    // Outside the range the value goes where it sorts.
    auto at = span >= 0 ? knots.begin() + span + 1 : std::upper_bound(knots.begin(), knots.end(), static_cast<float>(x));
    knots.insert(at, static_cast<float>(x));
}

double c_BSplineBasisFcns::getKnot(int i) const {
    if (i < 0 || i >= getKnotCount()) return -9999.0;
    return knots[static_cast<std::size_t>(i)];
}

double c_BSplineBasisFcns::getStartParameter() const { return knots.empty() ? 0 : getKnot(order - 1); }

double c_BSplineBasisFcns::getEndParameter() const { return knots.empty() ? 0 : getKnot(lastIndex + 1); }

bool c_BSplineBasisFcns::containsParameter(double x) const {
    return !knots.empty() && getStartParameter() <= x && x <= getEndParameter();
}

int c_BSplineBasisFcns::knotMultiplicity(double x) const {
    int count = 0;
    for (float t : knots) {
        if (std::fabs(t - x) < BasicAngleTol)
            ++count;
        else if (t > x)
            break;
    }
    return count;
}

void c_BSplineBasisFcns::clear() {
    knots.clear();
    lastIndex = order = 0;
}

int c_BSplineBasisFcns::findSpan(double x) const {
    if (knots.empty()) return -1;
    const double tol = (getEndParameter() - getStartParameter()) * BasicUnitTol;
    for (int i = order - 1; i <= lastIndex; ++i) {
        double ti = getKnot(i);
        if ((x >= ti || std::fabs(x - ti) < tol) && x < getKnot(i + 1) - tol) return i;
    }
    return std::fabs(x - getKnot(lastIndex + 1)) < tol ? lastIndex : -1;
}

int c_BSplineBasisFcns::Evaluate(double x, float* N) const {
    if (!N) {
        writeDiagnostic(DiagnosticStream::err, "*** Warning: c_BSplineBasisFcns::Evaluate: N is NULL.\n");
        return -1;
    }
    const int i = findSpan(x);
    if (i < 0) return i;
    std::vector<double> left(static_cast<std::size_t>(order)), right(static_cast<std::size_t>(order));
    N[0] = 1;
    for (int j = 1; j < order; ++j) {
        left[j] = x - getKnot(i + 1 - j);
        right[j] = getKnot(i + j) - x;
        double saved = 0;
        for (int r = 0; r < j; ++r) {
            double denominator = right[r + 1] + left[j - r];
            double temp = denominator != 0 ? N[r] / denominator : 0;
            N[r] = static_cast<float>(saved + right[r + 1] * temp);
            saved = left[j - r] * temp;
        }
        N[j] = static_cast<float>(saved);
    }
    return i;
}

int c_BSplineBasisFcns::evaluateDerivatives(double x, int d, float** table) const {
    const int i = findSpan(x);
    if (i < 0 || !table) return -1;
    const int p = order - 1;
    d = std::clamp(d, 0, p);
    const auto k = static_cast<std::size_t>(order);
    // ndu holds the basis values (upper triangle) and knot differences (lower).
    std::vector<std::vector<double>> ndu(k, std::vector<double>(k, 0.0));
    std::vector<double> left(k), right(k);
    ndu[0][0] = 1;
    for (int j = 1; j <= p; ++j) {
        left[j] = x - getKnot(i + 1 - j);
        right[j] = getKnot(i + j) - x;
        double saved = 0;
        for (int r = 0; r < j; ++r) {
            ndu[j][r] = right[r + 1] + left[j - r];
            double temp = ndu[j][r] != 0 ? ndu[r][j - 1] / ndu[j][r] : 0;
            ndu[r][j] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        ndu[j][j] = saved;
    }
    std::vector<std::vector<double>> ders(static_cast<std::size_t>(d + 1), std::vector<double>(k, 0.0));
    for (int j = 0; j <= p; ++j) ders[0][j] = ndu[j][p];
    std::vector<std::vector<double>> a(2, std::vector<double>(k, 0.0));
    for (int r = 0; r <= p; ++r) {
        int s1 = 0, s2 = 1;
        a[0][0] = 1;
        for (int q = 1; q <= d; ++q) {
            double dd = 0;
            const int rq = r - q, pq = p - q;
            if (r >= q) {
                a[s2][0] = ndu[pq + 1][rq] != 0 ? a[s1][0] / ndu[pq + 1][rq] : 0;
                dd = a[s2][0] * ndu[rq][pq];
            }
            const int j1 = rq >= -1 ? 1 : -rq;
            const int j2 = (r - 1 <= pq) ? q - 1 : p - r;
            for (int j = j1; j <= j2; ++j) {
                a[s2][j] = ndu[pq + 1][rq + j] != 0 ? (a[s1][j] - a[s1][j - 1]) / ndu[pq + 1][rq + j] : 0;
                dd += a[s2][j] * ndu[rq + j][pq];
            }
            if (r <= pq) {
                a[s2][q] = ndu[pq + 1][r] != 0 ? -a[s1][q - 1] / ndu[pq + 1][r] : 0;
                dd += a[s2][q] * ndu[r][pq];
            }
            ders[q][r] = dd;
            std::swap(s1, s2);
        }
    }
    double factor = p;
    for (int q = 1; q <= d; ++q) {
        for (int j = 0; j <= p; ++j) ders[q][j] *= factor;
        factor *= p - q;
    }
    for (int q = 0; q <= d; ++q)
        for (int j = 0; j <= p; ++j) table[q][j] = static_cast<float>(ders[q][j]);
    return i;
}
