#include <cmath>
#include <numbers>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/legacy_predicates.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/polynomial_roots.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/tolerances.h"

namespace {
constexpr double kPi = std::numbers::pi;
}  // namespace

c_EllCone::c_EllCone(const aPoint& apex, const aVector& majorDirection, const aVector& axis_, double halfAngle_,
                     double ratio_)
    : c_FramedQuadric(apex, majorDirection, axis_), halfAngle(halfAngle_), ratio(ratio_) {
    if (halfAngle < BasicAngleTol) halfAngle = kPi / 4;
    if (ratio < BasicDistanceTol) ratio = 1.0;
}

c_EllCone::c_EllCone(const aPoint& apex, const aVector& axis_, double halfAngle_)
    : c_FramedQuadric(apex, axis_), halfAngle(halfAngle_), ratio(1.0) {
    if (halfAngle < BasicAngleTol) halfAngle = kPi / 4;
}

std::ostream& c_EllCone::print(std::ostream& os) const {
    printFrame(os);
    return os << " , " << halfAngle << " , " << ratio << " )";
}

std::ostream& c_Cone::print(std::ostream& os) const {
    printFrame(os);
    return os << " , " << halfAngle << " )";
}

aVector c_EllCone::rulingDirection(double theta) const {
    aVector d = std::tan(halfAngle) * (std::cos(theta) * xAxis + (ratio * std::sin(theta)) * yAxis) + axis;
    d.normalize();
    return d;
}

c_Curve* c_EllCone::ruling(double theta) const { return new c_Line(origin, rulingDirection(theta)); }

std::int32_t c_EllCone::rulings(double first, std::int32_t count, c_Curve** curves) const {
    if (count <= 0 || !curves) return 0;
    for (std::int32_t k = 0; k < count; ++k) curves[k] = ruling(first + k * 2 * kPi / count);
    return count;
}

std::int32_t c_EllCone::isoCurves(std::int32_t count, c_Curve** curves) const { return rulings(0, count, curves); }

std::int32_t c_Cone::isoCurves(std::int32_t count, c_Curve** curves) const { return rulings(0.21678, count, curves); }

std::int32_t c_EllCone::silhouettes(const aVector& view, c_Curve** curves) const {
    const double r = ratio * std::tan(halfAngle) * dot(axis, view);
    const double a = ratio * dot(xAxis, view);
    const double b = dot(yAxis, view);
    PolyRoot angles[4];
    const std::int32_t found = solveHalfAngleQuadratic(a + r, -2 * b, r - a, angles);
    // Seen from inside the cone there is no outline ruling: nothing to draw.
    if (found <= 0) return 0;
    const double first = angles[0].value;
    const double second = found == 1 ? first + kPi : angles[1].value;
    curves[0] = ruling(first);
    curves[1] = ruling(second);
    return 2;
}

std::int32_t c_EllCone::curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const {
    if (max <= 0) return 0;
    if (p.coincidesWith(origin)) return rulings(0.1334, max, curves);
    curves[0] = new c_Line(p, p - origin);
    return 1;
}

LegacyCone c_EllCone::legacyCone() const {
    return {origin, xAxis, yAxis, axis, halfAngle, std::tan(halfAngle), std::cos(halfAngle)};
}

void c_EllCone::makeOldStyleEntity(LegacyEntityHandle& out) const {
    if (diagnosticSwitches.surface && !isClass(*this, kConeClass))
        writeDiagnostic(DiagnosticStream::err, "*** Warning: c_EllCone::makeOldStyleEntity is generating "
                                               "a right circular cone to pass to old cryph.\n");
    newLegacyCone(legacyCone(), out);
}

aVector c_EllCone::normalAt(const aPoint& p) const {
    aVector along, u;
    axis.decompose(p - origin, along, u);
    u.normalize();
    const double ux = dot(u, xAxis), uy = dot(u, yAxis);
    aVector m = (ratio * ux) * xAxis + uy * yAxis - (ratio * std::tan(halfAngle)) * axis;
    m.normalize();
    return -m;
}

aVector c_Cone::normalAt(const aPoint& p) const {
    // The legacy cone's normal, on a record of our own rather than a pooled
    // entity that nobody would free.
    aVector n;
    legacyConeNormal(legacyCone(), p, n);
    n.normalize();
    return n;
}

std::int32_t c_EllCone::algebraicCoefficients(double c[10]) const {
    writeDiagnostic(DiagnosticStream::err, "*** Warning: c_EllCone::algebraicCoefficients not yet implemented.\n");
    for (int i = 0; i < 10; ++i) c[i] = 0;
    return 0;
}

std::int32_t c_Cone::algebraicCoefficients(double c[10]) const {
    const double k = std::cos(halfAngle) * std::cos(halfAngle);
    const aVector o(origin), a = axis;
    const double oa = dot(o, a);
    c[0] = k - a.x * a.x;
    c[1] = k - a.y * a.y;
    c[2] = k - a.z * a.z;
    c[3] = -2 * a.x * a.y;
    c[4] = -2 * a.y * a.z;
    c[5] = -2 * a.z * a.x;
    c[6] = -2 * (o.x * k - a.x * oa);
    c[7] = -2 * (o.y * k - a.y * oa);
    c[8] = -2 * (o.z * k - a.z * oa);
    c[9] = k * dot(o, o) - oa * oa;
    return 1;
}
