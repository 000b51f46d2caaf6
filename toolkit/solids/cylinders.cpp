#include <cmath>
#include <numbers>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/polynomial_roots.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/tolerances.h"

namespace {
constexpr double kPi = std::numbers::pi;
}  // namespace

c_EllCylinder::c_EllCylinder(const aPoint& origin_, const aVector& majorDirection, const aVector& axis_,
                             double major_, double minor_)
    : c_FramedQuadric(origin_, majorDirection, axis_), major(major_), minor(minor_) {
    if (!(major >= BasicDistanceTol && minor >= BasicDistanceTol && major >= minor)) {
        major = 2.0;
        minor = 1.0;
    }
}

c_EllCylinder::c_EllCylinder(const aPoint& origin_, const aVector& axis_, double radius)
    : c_FramedQuadric(origin_, axis_), major(radius), minor(radius) {
    if (radius < BasicDistanceTol) major = minor = 1.0;
}

std::ostream& c_EllCylinder::print(std::ostream& os) const {
    return printFrame(os) << " , " << major << " , " << minor << " )";
}

std::ostream& c_Cylinder::print(std::ostream& os) const {
    return printFrame(os) << " , " << major << " )";
}

aPoint c_EllCylinder::pointAt(double theta) const {
    return origin + (major * std::cos(theta)) * xAxis + (minor * std::sin(theta)) * yAxis;
}

c_Curve* c_EllCylinder::ruling(double theta) const { return new c_Line(pointAt(theta), axis); }

std::int32_t c_EllCylinder::rulings(double first, std::int32_t count, c_Curve** curves) const {
    if (count <= 0 || !curves) return 0;
    for (std::int32_t k = 0; k < count; ++k) curves[k] = ruling(first + k * 2 * kPi / count);
    return count;
}

std::int32_t c_EllCylinder::isoCurves(std::int32_t count, c_Curve** curves) const { return rulings(0, count, curves); }

std::int32_t c_Cylinder::isoCurves(std::int32_t count, c_Curve** curves) const {
    return rulings(0.2162, count, curves);
}

std::int32_t c_EllCylinder::silhouettes(const aVector& view, c_Curve** curves) const {
    const double A = minor * dot(xAxis, view);
    double first = 0, second = kPi;
    if (std::fabs(A) >= BasicDistanceTol) {
        PolyRoot angles[4];
        if (solveHalfAngleQuadratic(A, -2 * major * dot(yAxis, view), -A, angles) >= 2) {
            first = angles[0].value;
            second = angles[1].value;
        }
    }
    curves[0] = ruling(first);
    curves[1] = ruling(second);
    return 2;
}

std::int32_t c_Cylinder::silhouettes(const aVector& view, c_Curve** curves) const {
    aVector w = cross(view, axis);
    if (w.normalize() < BasicDistanceTol) {
        axis.perpendicular(w);
        w.normalize();
    }
    curves[0] = new c_Line(origin + major * w, axis);
    curves[1] = new c_Line(origin - major * w, axis);
    return 2;
}

void c_EllCylinder::makeOldStyleEntity(LegacyEntityHandle& out) const {
    if (diagnosticSwitches.surface && !isClass(*this, kCylinderClass))
        writeDiagnostic(DiagnosticStream::err, "*** Warning: c_EllCylinder::makeOldStyleEntity is generating "
                                               "a right circular cylinder to pass to old cryph.\n");
    newLegacyCylinder({origin, xAxis, yAxis, axis, (major + minor) / 2}, out);
}

aVector c_EllCylinder::normalAt(const aPoint& p) const {
    aVector along, across;
    axis.decompose(p - origin, along, across);
    if (across.normalize() < BasicDistanceTol) {
        if (diagnosticSwitches.surface)
            writeDiagnostic(DiagnosticStream::err, "*** Warning: c_EllCylinder::normalAt: point on axis\n.");
        return zeroVector;
    }
    const double ux = dot(across, xAxis), uy = dot(across, yAxis);
    return cross((minor * ux) * yAxis - (major * uy) * xAxis, axis);
}

aVector c_Cylinder::normalAt(const aPoint& p) const {
    const aVector d = p - origin;
    aVector n = d - dot(d, axis) * axis;
    n.normalize();
    return n;
}

void c_EllCylinder::cylinderCoefficients(double radius, double c[10]) const {
    const aVector o(origin), a = axis;
    const double oa = dot(o, a);
    c[0] = 1 - a.x * a.x;
    c[1] = 1 - a.y * a.y;
    c[2] = 1 - a.z * a.z;
    c[3] = -2 * a.x * a.y;
    c[4] = -2 * a.y * a.z;
    c[5] = -2 * a.z * a.x;
    c[6] = 2 * (a.x * oa - o.x);
    c[7] = 2 * (a.y * oa - o.y);
    c[8] = 2 * (a.z * oa - o.z);
    c[9] = dot(o, o) - oa * oa - radius * radius;
}

std::int32_t c_EllCylinder::algebraicCoefficients(double c[10]) const {
    writeDiagnostic(DiagnosticStream::out, "*** Warning (c_EllCylinder::algebraicCoefficients): "
                                           "returning cylinder algebraic coefficients.\n");
    cylinderCoefficients(major, c);
    return 1;
}

std::int32_t c_Cylinder::algebraicCoefficients(double c[10]) const {
    cylinderCoefficients(major, c);
    return 1;
}

std::int32_t c_EllCylinder::intersect(const c_Curve& curve, LegacyIntersectionList& list) const {
    list.count = 0;
    if (!isClass(curve, kLineClass)) return 0;
    const auto& line = static_cast<const c_Line&>(curve);
    const aVector& d = line.getDirection();
    if (d.isParallelTo(axis)) {
        if (diagnosticSwitches.surface)
            writeDiagnostic(DiagnosticStream::err, "c_EllCylinder::intersect(line): line parallel to axis.\n");
        return 1;
    }
    const aVector w = line.getPoint() - origin;
    const double dx = dot(w, xAxis), dy = dot(w, yAxis), sx = dot(d, xAxis), sy = dot(d, yAxis);
    const double a2 = major * major, b2 = minor * minor;
    double roots[2];
    std::int32_t doubleRoot = 0;
    const std::int32_t found = solveQuadratic(a2 * sy * sy + b2 * sx * sx, 2 * (b2 * dx * sx + a2 * dy * sy),
                                              a2 * dy * dy + b2 * dx * dx - a2 * b2, roots, doubleRoot);
    for (std::int32_t i = 0; i < found; ++i) {
        aPoint p;
        line.getPointAt(roots[i], p);
        addLegacyPoint(p, found == 1 ? 1 : 0, list);
    }
    return found > 0 ? 2 : 1;
}
