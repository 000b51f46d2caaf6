#include "toolkit/solids/nurbs_surface.h"

#include <algorithm>
#include <cmath>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/float_rows.h"
#include "toolkit/solids/nurbs_curve.h"

namespace {

constexpr float kBinomial[5][5] = {{1, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {1, 2, 1, 0, 0}, {1, 3, 3, 1, 0}, {1, 4, 6, 4, 1}};

bool sameWeightedPoint(const float* a, const float* b) {
    return aPoint(a[0], a[1], a[2], a[3]).coincidesWith(aPoint(b[0], b[1], b[2], b[3]));
}

// Closed directions wrap once around the range; open ones clamp.
double clampOrWrap(double t, double lo, double hi, bool closed) {
    if (t < lo) return closed ? hi - (lo - t) : lo;
    if (t > hi) return closed ? lo + (t - hi) : hi;
    return t;
}

// Integer part of the maximum plus one, at least 1: the unit of the failure
// sentinels.
double sentinelUnit(double max) { return max >= 1 ? std::trunc(max + 1) : 1; }

}  // namespace

c_NURBSSurface::c_NURBSSurface(const float* given, int nu_, int nv_, const float* uKnotFloats, int uKnotCount,
                               const float* vKnotFloats, int vKnotCount)
    : nu(nu_), nv(nv_) {
    uKnots = std::make_unique<c_BSplineBasisFcns>(nu - 1, uKnotCount - nu, uKnotFloats);
    vKnots = std::make_unique<c_BSplineBasisFcns>(nv - 1, vKnotCount - nv, vKnotFloats);
    if (nu > 0 && nv > 0) {
        points.assign(static_cast<std::size_t>(4 * nu * nv), 0.0f);
        if (given) std::copy_n(given, points.size(), points.begin());
    }
    if (uKnots->getOrder() > 0) uBasis.assign(static_cast<std::size_t>(uKnots->getOrder()), 0.0f);
    if (vKnots->getOrder() > 0) vBasis.assign(static_cast<std::size_t>(vKnots->getOrder()), 0.0f);
}

std::ostream& c_NURBSSurface::print(std::ostream& os) const {
    os << className() << ' ' << nu - 1 << ' ' << nv - 1 << ' ' << uKnots->getOrder() << ' ' << vKnots->getOrder();
    for (int i = 0; i < nu && !points.empty(); ++i) {
        os << "\n\t";
        for (int j = 0; j < nv; ++j)
            for (int c = 0; c < 4; ++c) os << point(i, j)[c] << ' ';
    }
    os << "\n\t";
    for (const auto& knots : {uKnots.get(), vKnots.get()}) {
        for (int i = 0; i < knots->getKnotCount(); ++i) os << knots->getKnot(i) << ' ';
        os << '\n';
    }
    return os;
}

aHomogeneousPoint c_NURBSSurface::homogeneousPointAt(double u, double v) const {
    if (points.empty() || !hasKnots()) return aHomogeneousPoint(0.0, 0.0, 0.0, 1.0);
    const int su = uKnots->Evaluate(u, uBasis.data()), sv = vKnots->Evaluate(v, vBasis.data());
    if (su < 0 || sv < 0) return aHomogeneousPoint(0.0, 0.0, 0.0, 1.0);
    const int pu = uKnots->getOrder() - 1, pv = vKnots->getOrder() - 1;
    double sum[4] = {0, 0, 0, 0};
    for (int j = 0; j <= pv; ++j) {
        double row[4] = {0, 0, 0, 0};
        for (int k = 0; k <= pu; ++k) {
            const float* q = point(su - pu + k, sv - pv + j);
            for (int c = 0; c < 4; ++c) row[c] += uBasis[k] * q[c];
        }
        for (int c = 0; c < 4; ++c) sum[c] += vBasis[j] * row[c];
    }
    return aHomogeneousPoint(sum[0], sum[1], sum[2], sum[3]);
}

bool c_NURBSSurface::homogeneousDerivatives(double u, double v, int d, aVector A[3][3], float w[3][3]) const {
    if (d < 0 || d > 2 || points.empty() || !hasKnots()) return false;
    for (int k = 0; k <= d; ++k)
        for (int l = 0; l <= 2; ++l) {
            A[k][l] = zeroVector;
            w[k][l] = 0;
        }
    const int ku = uKnots->getOrder(), kv = vKnots->getOrder();
    const int pu = ku - 1, pv = kv - 1;
    const int du = std::min(d, pu), dv = std::min(d, pv);
    float** nu_ = allocFloatRows(ku, ku);
    float** nv_ = allocFloatRows(kv, kv);
    bool valid = false;
    if (nu_ && nv_) {
        const int su = uKnots->evaluateDerivatives(u, du, nu_);
        const int sv = vKnots->evaluateDerivatives(v, dv, nv_);
        valid = su >= 0 && sv >= 0;
        for (int k = 0; valid && k <= du; ++k) {
            for (int l = 0; l <= std::min(d - k, dv); ++l) {
                double sum[4] = {0, 0, 0, 0};
                for (int j = 0; j <= pv; ++j)
                    for (int i = 0; i <= pu; ++i) {
                        const float* q = point(su - pu + i, sv - pv + j);
                        const double b = double(nu_[k][i]) * nv_[l][j];
                        for (int c = 0; c < 4; ++c) sum[c] += b * q[c];
                    }
                A[k][l] = aVector(sum[0], sum[1], sum[2]);
                w[k][l] = static_cast<float>(sum[3]);
            }
        }
    }
    freeFloatRows(nu_);
    freeFloatRows(nv_);
    return valid;
}

bool c_NURBSSurface::rationalDerivatives(double u, double v, int d, aVector S[3][3]) const {
    aVector A[3][3];
    float w[3][3];
    if (d < 1 || d > 2 || !homogeneousDerivatives(u, v, d, A, w) || w[0][0] == 0) return false;
    for (int k = 0; k <= d; ++k) {
        for (int l = 0; l <= d - k; ++l) {
            aVector value = A[k][l];
            for (int j = 1; j <= l; ++j) value = value - (kBinomial[l][j] * w[0][j]) * S[k][l - j];
            for (int i = 1; i <= k; ++i) {
                value = value - (kBinomial[k][i] * w[i][0]) * S[k - i][l];
                aVector inner;
                for (int j = 1; j <= l; ++j) inner += (kBinomial[l][j] * w[i][j]) * S[k - i][l - j];
                value = value - kBinomial[k][i] * inner;
            }
            S[k][l] = value / w[0][0];
        }
    }
    return true;
}

std::vector<float> c_NURBSSurface::uColumn(int i) const {
    std::vector<float> out;
    for (int j = 0; j < nv && !points.empty(); ++j) out.insert(out.end(), point(i, j), point(i, j) + 4);
    return out;
}

std::vector<float> c_NURBSSurface::vRow(int j) const {
    std::vector<float> out;
    for (int i = 0; i < nu && !points.empty(); ++i) out.insert(out.end(), point(i, j), point(i, j) + 4);
    return out;
}

c_NURBSCurve* c_NURBSSurface::uIsoCurve(double u) const {
    std::vector<float> cps;
    for (int j = 0; j < nv; ++j) {
        const std::vector<float> row = vRow(j);
        aHomogeneousPoint h;
        c_NURBSCurve(row.data(), nu, uKnots->getKnots(), uKnots->getKnotCount()).getPointAt(u, h);
        cps.insert(cps.end(), {float(h.x), float(h.y), float(h.z), float(h.w)});
    }
    return new c_NURBSCurve(cps.data(), nv, vKnots->getKnots(), vKnots->getKnotCount());
}

c_NURBSCurve* c_NURBSSurface::vIsoCurve(double v) const {
    std::vector<float> cps;
    for (int i = 0; i < nu; ++i) {
        const std::vector<float> column = uColumn(i);
        aHomogeneousPoint h;
        c_NURBSCurve(column.data(), nv, vKnots->getKnots(), vKnots->getKnotCount()).getPointAt(v, h);
        cps.insert(cps.end(), {float(h.x), float(h.y), float(h.z), float(h.w)});
    }
    return new c_NURBSCurve(cps.data(), nu, uKnots->getKnots(), uKnots->getKnotCount());
}

std::int32_t c_NURBSSurface::isoCurves(std::int32_t n, c_Curve** curves) const {
    if (n <= 0) return 0;
    const double du = (uMax() - uMin()) / (n + 1), dv = (vMax() - vMin()) / (n + 1);
    for (std::int32_t i = 0; i < n; ++i) {
        curves[i] = uIsoCurve(uMin() + (i + 1) * du);
        curves[n + i] = vIsoCurve(vMin() + (i + 1) * dv);
    }
    return 2 * n;
}

aVector c_NURBSSurface::normalAt(const aPoint& p) const {
    double u, v;
    getParameterOf(p, u, v);
    aVector S[3][3];
    if (!rationalDerivatives(u, v, 1, S)) return zeroVector;
    aVector n = cross(S[1][0], S[0][1]);
    n.normalize();
    return n;
}

std::int32_t c_NURBSSurface::curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const {
    double u, v;
    getParameterOf(p, u, v);
    if (max < 1) return 0;
    curves[0] = uIsoCurve(u);
    if (max < 2) return 1;
    curves[1] = vIsoCurve(v);
    return 2;
}

bool c_NURBSSurface::isClosedU() const {
    if (closedU == 0) {
        closedU = nu > 0 ? 1 : 2;
        for (int j = 0; j < nv && closedU == 1 && !points.empty(); ++j)
            if (!sameWeightedPoint(point(0, j), point(nu - 1, j))) closedU = 2;
    }
    return closedU == 1;
}

bool c_NURBSSurface::isClosedV() const {
    if (closedV == 0) {
        closedV = nv > 0 ? 1 : 2;
        for (int i = 0; i < nu && closedV == 1 && !points.empty(); ++i)
            if (!sameWeightedPoint(point(i, 0), point(i, nv - 1))) closedV = 2;
    }
    return closedV == 1;
}

void c_NURBSSurface::closestSample(const aPoint& p, int n, double& u, double& v) const {
    u = uMin();
    v = vMin();
    if (n <= 1) return;
    double best = pointAt(u, v).distanceTo(p);
    const double du = (uMax() - uMin()) / (n - 1), dv = (vMax() - vMin()) / (n - 1);
    for (int i = 1; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const double su = uMin() + i * du, sv = vMin() + j * dv;
            const double d = pointAt(su, sv).distanceTo(p);
            if (d < best) {
                best = d;
                u = su;
                v = sv;
            }
        }
    }
}

int c_NURBSSurface::try_getParameterOf(const aPoint& p, int n, double& u, double& v) const {
    if (!hasKnots()) return -1;
    closestSample(p, n, u, v);
    const bool cu = isClosedU(), cv = isClosedV();
    for (int iteration = 0; iteration < 500; ++iteration) {
        aVector S[3][3];
        if (!rationalDerivatives(u, v, 2, S)) return -4;
        const aPoint s(S[0][0]);
        if (s.coincidesWith(p)) return 0;
        const aVector r = s - p;
        aVector su = S[1][0], sv = S[0][1];
        su.normalize();
        sv.normalize();
        const double rl = r.length();
        if (std::fabs(dot(r, su)) / rl <= 1e-10 && std::fabs(dot(r, sv)) / rl <= 1e-10) return -2;
        const double j00 = dot(S[1][0], S[1][0]) + dot(r, S[2][0]);
        const double j01 = dot(S[1][0], S[0][1]) + dot(r, S[1][1]);
        const double j11 = dot(S[0][1], S[0][1]) + dot(r, S[0][2]);
        const double det = j00 * j11 - j01 * j01;
        if (std::fabs(det) <= 1e-7) return -4;
        const double b0 = -dot(r, S[1][0]), b1 = -dot(r, S[0][1]);
        const double nextU = clampOrWrap(u + (j11 * b0 - j01 * b1) / det, uMin(), uMax(), cu);
        const double nextV = clampOrWrap(v + (j00 * b1 - j01 * b0) / det, vMin(), vMax(), cv);
        if (((nextU - u) * su + (nextV - v) * sv).length() <= 1e-8) return -3;
        u = nextU;
        v = nextV;
    }
    return -5;
}

void c_NURBSSurface::getParameterOf(const aPoint& p, double& u, double& v) const {
    double sentinel = 50;
    for (int n = 100; n < 250; n += 55) {
        const int code = try_getParameterOf(p, n, u, v);
        if (code == 0 || code == -2 || code == -3) return;
        if (code == -4 || code == -5) continue;
        if (code == -1) {
            sentinel = 10;
        } else {
            Diagnostic(DiagnosticStream::out) << "Undefined return code from try_getParameterOf: " << code << '\n';
            sentinel = 40;
        }
        break;
    }
    u = sentinel * sentinelUnit(uMax());
    v = sentinel * sentinelUnit(vMax());
}
