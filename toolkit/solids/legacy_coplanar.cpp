#include <cmath>

#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/legacy_predicates.h"
#include "toolkit/solids/legacy_vectors.h"
#include "toolkit/solids/polynomial_roots.h"

namespace {

// The points of a line for the roots of a quadratic in its parameter.
std::int32_t linePointsFromQuadratic(const LegacyLine& line, double a2, double a1, double a0, LegacyList& list) {
    double roots[2];
    std::int32_t doubleRoot = 0;
    std::int32_t found = solveQuadratic(a2, a1, a0, roots, doubleRoot);
    for (std::int32_t i = 0; i < found; ++i) addLegacyPoint(line.point + roots[i] * line.direction, doubleRoot, list);
    return found > 0 ? 0 : 1;
}

aPoint parabolaPoint(const LegacyParabola& p, double t) {
    return p.vertex + (2 * p.focal * t) * p.u + (p.focal * t * t) * p.v;
}

}  // namespace

std::int32_t coplanarLineLine(const LegacyLine& a, const LegacyLine& b, LegacyList& list) {
    list.count = 0;
    aVector w = b.point - a.point;
    aVector n = cross(a.direction, b.direction);
    double nn = dot(n, n);
    if (nn >= 1e-8) {
        addLegacyPoint(a.point + (dot(cross(w, b.direction), n) / nn) * a.direction, 0, list);
        return 0;
    }
    aVector wHat;
    if (vecNormalizeInto(w, wHat) >= 1e-7 && 1 - std::fabs(dot(wHat, b.direction)) >= 1e-8) return -6;
    return 0;  // the same line
}

std::int32_t coplanarLineCircle(const LegacyLine& line, const LegacyCircle& circle, LegacyList& list) {
    list.count = 0;
    LegacyList scratch;
    if (intersectLineSphere(line, {circle.centre, circle.radius}, scratch) != 0) return 1;
    copyLegacyResults(scratch, list);
    return 0;
}

std::int32_t coplanarLineEllipse(const LegacyLine& line, const LegacyEllipse& ellipse, LegacyList& list) {
    list.count = 0;
    aPoint f1, f2;
    legacyEllipseFoci(ellipse, f1, f2);
    const aPoint& P = line.point;
    const aVector& d = line.direction;
    double K = 4 * ellipse.major * ellipse.major;
    double S = dot(d, f2 - f1);
    double Q = (P - f1).lengthSquared() - (P - f2).lengthSquared();
    double Rr = (P - f2).lengthSquared();
    double M = dot(d, P - f2);
    return linePointsFromQuadratic(line, 4 * (S * S - K), 4 * ((Q - K) * S - 2 * K * M),
                                   (K - Q) * (K - Q) - 4 * K * Rr, list);
}

std::int32_t coplanarLineHyperbola(const LegacyLine& line, const LegacyHyperbola& hyperbola, LegacyList& list) {
    list.count = 0;
    aPoint f1, f2;
    legacyHyperbolaFoci(hyperbola, f1, f2);
    const aPoint& P = line.point;
    const aVector& d = line.direction;
    double K = 4 * hyperbola.a * hyperbola.a;
    double D1 = (P - f1).lengthSquared(), D2 = (P - f2).lengthSquared();
    double H = dot(d, P - f1), I = dot(d, P - f2);
    return linePointsFromQuadratic(line, 4 * ((H - I) * (H - I) - K), 4 * ((D1 - D2) * (H - I) - K * (H + I)),
                                   (D1 - D2) * (D1 - D2) - 2 * K * (D1 + D2) + K * K, list);
}

std::int32_t coplanarLineParabola(const LegacyLine& line, const LegacyParabola& parabola, LegacyList& list) {
    list.count = 0;
    const aVector& d = line.direction;
    const double a = parabola.focal;
    if (1 - std::fabs(dot(d, parabola.v)) < 1e-8) {
        if (a == 0) return 1;
        addLegacyPoint(parabolaPoint(parabola, dot(line.point - parabola.vertex, parabola.u) / (2 * a)), 0, list);
        return 0;
    }
    const aVector& N = parabola.normal;
    double roots[2];
    std::int32_t doubleRoot = 0;
    std::int32_t found = solveQuadratic(a * dot(N, cross(parabola.v, d)), 2 * a * dot(N, cross(parabola.u, d)),
                                        dot(N, cross(parabola.vertex - line.point, d)), roots, doubleRoot);
    for (std::int32_t i = 0; i < found; ++i) addLegacyPoint(parabolaPoint(parabola, roots[i]), doubleRoot, list);
    return found > 0 ? 0 : 1;
}

std::int32_t coplanarCircleCircle(const LegacyCircle& a, const LegacyCircle& b, LegacyList& list) {
    list.count = 0;
    aVector d = b.centre - a.centre;
    double e = d.length();
    const double r1 = a.radius, r2 = b.radius;
    if (e >= 1e-7)
        d = d / e;
    else if (std::fabs(r1 - r2) < 1e-7)
        return 0;  // the same circle
    const double sum = r1 + r2, diff = std::fabs(r1 - r2);
    const bool inner = r1 <= r2;
    if (std::fabs(e - sum) >= 1e-7 && std::fabs(e - diff) >= 1e-7) {
        if (e > sum) return 1;
        if (e < diff) return inner ? -1 : -2;
        double q = lawOfCosines(r1, e, r2);
        aPoint base = a.centre + (q * r1) * d;
        double h = std::sqrt(std::fmax(1 - q * q, 0.0)) * r1;
        aVector m = cross(a.normal, d);
        vecNormalize(m);
        addLegacyPoint(base + h * m, 0, list);
        addLegacyPoint(base - h * m, 0, list);
        return 0;
    }
    addLegacyPoint(inner ? b.centre - r2 * d : a.centre + r1 * d, 1, list);
    return 0;
}

std::int32_t coplanarCircleEllipse(const LegacyCircle& circle, const LegacyEllipse& ellipse, LegacyList& list) {
    list.count = 0;
    const double a = ellipse.major, b = ellipse.minor, r = circle.radius;
    aVector D = ellipse.centre - circle.centre;
    double f = dot(D, ellipse.u), g = dot(D, ellipse.v), DD = dot(D, D);
    double l = a * a - r * r + DD;
    double k[5] = {l + 2 * a * f, 4 * b * g, 2 * (DD - a * a + 2 * b * b - r * r), 4 * b * g, l - 2 * a * f};
    PolyRoot angles[8];
    std::int32_t found = solveHalfAngleQuartic(k, angles);
    for (std::int32_t i = 0; i < found; ++i) {
        double t = angles[i].value;
        addLegacyPoint(ellipse.centre + (a * std::cos(t)) * ellipse.u + (b * std::sin(t)) * ellipse.v,
                       angles[i].multiplicity > 1 ? 1 : 0, list);
    }
    return found > 0 ? 0 : 1;
}

std::int32_t coplanarCircleHyperbola(const LegacyCircle& circle, const LegacyHyperbola& hyperbola, LegacyList& list) {
    const double a = hyperbola.a, b = hyperbola.b, r = circle.radius;
    aVector D = hyperbola.centre - circle.centre;
    double f = dot(D, hyperbola.u), g = dot(D, hyperbola.v), h = dot(D, D);
    double w = h + a * a - r * r;
    double k[5] = {w + 2 * a * f, 4 * b * g, 2 * (a * a + r * r + 2 * b * b - h), -4 * b * g, w - 2 * a * f};
    PolyRoot angles[8];
    std::int32_t found = solveHalfAngleQuarticPlain(k, angles);
    if (found <= 0) return 1;
    list.count = 0;
    for (std::int32_t i = 0; i < found; ++i) {
        double t = angles[i].value;
        double c = std::cos(t);
        if (std::fabs(c) < 1e-12) continue;  // the asymptote direction has no point
        addLegacyPoint(hyperbola.centre + (1 / c) * (a * hyperbola.u + (b * std::sin(t)) * hyperbola.v),
                       angles[i].multiplicity > 1 ? 1 : 0, list);
    }
    return list.count > 0 ? 0 : 1;
}

std::int32_t coplanarCircleParabola(const LegacyCircle& circle, const LegacyParabola& parabola, LegacyList& list) {
    const double a = parabola.focal;
    aVector D = parabola.vertex - circle.centre;
    double k[5] = {dot(D, D) - circle.radius * circle.radius, 4 * a * dot(D, parabola.u),
                   4 * a * a + 2 * a * dot(D, parabola.v), 0, a * a};
    PolyRoot roots[kMaxPolynomialDegree];
    std::int32_t found = solvePolynomial(k, 4, roots);
    if (found <= 0) return 1;
    list.count = 0;
    for (std::int32_t i = 0; i < found; ++i)
        addLegacyPoint(parabolaPoint(parabola, roots[i].value), roots[i].multiplicity > 1 ? 1 : 0, list);
    return 0;
}
