#include <cmath>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/tolerances.h"

namespace {

// Brings t′ back into [lo, hi]: closed curves wrap around, open ones clamp.
double wrapOrClamp(double t, double lo, double hi, bool closed) {
    const double length = hi - lo;
    if (t >= lo && t <= hi) return t;
    if (!closed || !(length > 0)) return t < lo ? lo : hi;
    double over = t < lo ? lo - t : t - hi;
    over = std::fmod(over, length);
    return t < lo ? hi - over : lo + over;
}

}  // namespace

double c_NURBSCurve::closestSampledParameter(const aPoint& p, int n) const {
    const double a = getStartParameter();
    const double h = n > 0 ? (getEndParameter() - a) / n : 0;
    double best = a, bestDistance = INFINITY;
    for (int i = 0; i <= n; ++i) {
        aPoint q;
        getPointAt(a + i * h, q);
        double d = q.distanceSquaredTo(p);
        if (d < bestDistance) {
            bestDistance = d;
            best = a + i * h;
        }
    }
    return best;
}

std::int8_t c_NURBSCurve::try_getParameterOf(const aPoint& x, int samples, double& t) const {
    if (!basis || !basis->getKnots()) return -1;
    t = closestSampledParameter(x, samples);
    const double lo = basis->getStartParameter(), hi = basis->getEndParameter();
    aPoint first, last;
    const bool closed = getControlPoint(0, first) && getControlPoint(controlPointCount - 1, last) &&
                        first.coincidesWith(last);
    for (int iteration = 0; iteration < 500; ++iteration) {
        aVector D[3];
        if (!derivatives(t, 2, D)) return -2;
        const aPoint q(D[0]);
        if (x.coincidesWith(q)) return 0;
        aVector p = q - x;
        const double f = dot(D[1], p);
        const double s = D[1].length();
        const double m = p.normalize();
        if (m * s < BasicUnitTol) return -2;
        if (std::fabs(f) / (m * s) <= 1e-10) return -3;
        // The derivative of f: Q″ against the offset itself (p has been made a
        // unit vector above, so its length m comes back in).
        const double g = dot(D[2], m * p) + s * s;
        if (std::fabs(g) < BasicUnitTol) return -4;
        const double next = wrapOrClamp(t - f / g, lo, hi, closed);
        if (std::fabs(next - t) * s <= 1e-8) return -5;
        t = next;
    }
    return -6;
}

double c_NURBSCurve::getParameterOf(const aPoint& x) const {
    const double hi = getEndParameter();
    const double F = hi >= 1 ? std::trunc(hi + 1) : 1;
    double t = 0;
    for (int n = 100;; n += 55) {
        const std::int8_t code = try_getParameterOf(x, n, t);
        switch (code) {
        case 0:
        case -3:
        case -5: return t;
        case -6:
            if (n + 55 < 250) continue;
            return 50 * F;
        case -4: return 30 * F;
        case -2: return 20 * F;
        case -1: return 10 * F;
        default:
            Diagnostic(DiagnosticStream::out) << "Undefined return code from try_getParameterOf: " << int{code}
                                              << '\n';
            return 40 * F;
        }
    }
}
