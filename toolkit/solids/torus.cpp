#include "toolkit/solids/torus.h"

#include <cmath>
#include <numbers>

#include "toolkit/solids/conic.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/tolerances.h"

namespace {
constexpr double kPi = std::numbers::pi;
}

c_Torus::c_Torus(const aPoint& centre_, const aVector& reference, const aVector& axis_, double major_, double minor_)
    : centre(centre_), xAxis(reference), yAxis(0, 0, 0), axis(axis_), major(major_), minor(minor_) {
    orthonormalFrame(xAxis, yAxis, axis);
    if (minor < 0) {
        minor = -minor;
        infiniteVolume = 1;
    }
    if (major < 0) {
        major = -major;
        kind = lemon;
    } else if (major < minor) {
        kind = apple;
    }
}

std::ostream& c_Torus::print(std::ostream& os) const {
    os << className() << "( ";
    centre.print(os);
    for (const aVector* v : {&xAxis, &yAxis, &axis}) {
        os << " , ";
        aPoint(*v).print(os);
    }
    static const char* const kKinds[] = {"doughnut", "apple", "lemon"};
    const char* kindWord = kind >= doughnut && kind <= lemon ? kKinds[kind] : "BAD TORUS TYPE";
    return os << " , " << major << " , " << minor << " , " << kindWord << " , "
              << (infiniteVolume ? "infinite volume" : "compact") << " )";
}

std::int32_t c_Torus::notIntersected(const c_Curve& curve, LegacyIntersectionList& list) const {
    list.count = 0;
    if (diagnosticSwitches.torus) {
        Diagnostic message(DiagnosticStream::out);
        message << "----> c_Torus::intersect(";
        curve.print(message.stream());
        message << ") called\n";
    }
    return 1;
}

std::int32_t c_Torus::intersect(const c_Curve& curve, LegacyIntersectionList& list) const {
    return notIntersected(curve, list);
}

std::int32_t c_Torus::intersectCircle(const c_Circle& circle, LegacyIntersectionList& list) const {
    return notIntersected(circle, list);
}

double c_Torus::thetaLimit() const { return minor > major ? kPi - std::acos(major / minor) : kPi; }

c_Circle* c_Torus::majorCircle(double theta) const {
    const double limit = thetaLimit();
    if (limit < kPi - BasicAngleTol) {
        if (theta >= limit) {
            if (diagnosticSwitches.torus)
                writeDiagnostic(DiagnosticStream::err, "c_Torus::majorCircle: theta too large.\n");
            theta = limit - 0.02;
        } else if (theta <= -limit) {
            if (diagnosticSwitches.torus)
                writeDiagnostic(DiagnosticStream::err, "c_Torus::majorCircle: theta too small.\n");
            theta = 0.02 - limit;
        }
    }
    return new c_Circle(centre + (minor * std::sin(theta)) * axis, xAxis, axis, major + minor * std::cos(theta));
}

c_Circle* c_Torus::minorCircle(double phi) const {
    const aVector r = std::cos(phi) * xAxis + std::sin(phi) * yAxis;
    return new c_Circle(centre + major * r, r, cross(r, axis), minor);
}

std::int32_t c_Torus::generateCircles(std::int32_t n, c_Curve** curves) const {
    if (n <= 0) return 0;
    if (kind == lemon && diagnosticSwitches.torus)
        writeDiagnostic(DiagnosticStream::err, "WARNING: 'lemon' in c_Torus::generateCircles\n");
    const double limit = thetaLimit();
    const double h = 2 * limit / n;
    double theta0 = 0.21784, dTheta = h;
    if (std::fabs(kPi - limit) > BasicAngleTol) {
        theta0 = -(limit - h / 2);
        dTheta = 2 * (limit - h / 2) / n;
    }
    const double phi0 = 0.38714, dPhi = 2 * kPi / n;
    for (std::int32_t i = 0; i < n; ++i) {
        curves[2 * i] = majorCircle(theta0 + i * dTheta);
        curves[2 * i + 1] = minorCircle(phi0 + i * dPhi);
    }
    return 2 * n;
}

aVector c_Torus::normalAt(const aPoint& p) const {
    aVector along, across;
    axis.decompose(p - centre, along, across);
    across.normalize();
    aVector n = p - (centre + major * across);
    n.normalize();
    return infiniteVolume ? -n : n;
}

std::int32_t c_Torus::curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const {
    if (max < 2) return 0;
    const aPoint foot = centre + dot(p - centre, axis) * axis;
    curves[0] = new c_Circle(foot, p - foot, axis, p.distanceTo(foot));
    aVector out = p - foot;
    out.normalize();
    const aPoint tube = centre + major * out;
    curves[1] = new c_Circle(tube, p - tube, cross(axis, p - tube), minor);
    return 2;
}
