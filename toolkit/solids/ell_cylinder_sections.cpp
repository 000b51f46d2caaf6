#include <cmath>
#include <numbers>
#include <utility>

#include "toolkit/solids/conic.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/plane.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/tolerances.h"

namespace {

constexpr int kScanSteps = 100;
constexpr double kScanStart = 0.142296;

// F(θ), a multiple of the derivative of the squared distance of the section
// point at θ from the section centre.
struct SectionExtrema {
    double c2, c3;
    double at(double theta) const {
        const double s = std::sin(theta), c = std::cos(theta);
        return c2 * s * c + c3 * c * c - c3 * s * s;
    }
};

double bisectSectionRoot(const SectionExtrema& f, double a, double b) {
    double fa = f.at(a);
    while (b - a > 1e-9) {
        const double m = (a + b) / 2, fm = f.at(m);
        if (fa * fm <= 0) {
            b = m;
        } else {
            a = m;
            fa = fm;
        }
    }
    return (a + b) / 2;
}

bool firstPoint(const c_IntersectionResult& result, aPoint& p) {
    return result.getStatus() == 2 && c_IntersectionItem(result, 0).getPoint(p);
}

}  // namespace

std::int32_t c_EllCylinder::intersectPlane(const c_Plane& plane, LegacyIntersectionList& list) const {
    list.count = 0;
    const aVector& n = plane.getNormal();
    const double zn = dot(axis, n);
    if (std::fabs(zn) < BasicUnitTol) {
        // The two section lines of a plane along the axis are not produced.
        if (diagnosticSwitches.surface)
            writeDiagnostic(DiagnosticStream::err, "*** Warning: c_EllCylinder::handleDegenerateSlice.\n");
        return 1;
    }
    const c_IntersectionResult onAxis(c_Line(origin, axis), plane);
    if (onAxis.getStatus() != 2) {
        writeDiagnostic(DiagnosticStream::err, "c_EllCylinder::intersect(plane): axis did not intersect plane.\n");
        return 1;
    }
    aPoint centre;
    if (!firstPoint(onAxis, centre)) {
        writeDiagnostic(DiagnosticStream::err, "c_EllCylinder::intersect(plane): no ellipse center.\n");
        return 1;
    }

    const double xn = dot(xAxis, n), yn = dot(yAxis, n);
    const double a2 = major * major, b2 = minor * minor;
    const SectionExtrema f{(b2 * yn * yn - a2 * xn * xn) / (zn * zn) + b2 - a2, major * minor * xn * yn / (zn * zn)};
    double angles[kScanSteps];
    int found = 0;
    const double step = 2 * std::numbers::pi / kScanSteps;
    double previous = f.at(kScanStart);
    for (int k = 1; k < kScanSteps; ++k) {
        const double theta = kScanStart + k * step, value = f.at(theta);
        if (previous * value < 0) angles[found++] = bisectSectionRoot(f, theta - step, theta);
        previous = value;
    }
    if (found < 2) {
        writeDiagnostic(DiagnosticStream::err, "c_EllCylinder::intersect(plane): no maxima.\n");
        return 1;
    }
    if (found != 4 && diagnosticSwitches.surface)
        Diagnostic(DiagnosticStream::err) << "c_EllCylinder::intersect(plane): " << found << " intersections.\n";

    aVector e[2];
    double length[2];
    for (int i = 0; i < 2; ++i) {
        aPoint v;
        if (!firstPoint(c_IntersectionResult(c_Line(pointAt(angles[i]), axis), plane), v)) return 1;
        e[i] = v - centre;
        length[i] = e[i].normalize();
    }
    if (length[0] < length[1]) {
        std::swap(length[0], length[1]);
        std::swap(e[0], e[1]);
    }
    if (std::fabs(length[0] - length[1]) >= BasicDistanceTol)
        addLegacyEllipse(centre, e[0], e[1], n, length[0], length[1], 0, list);
    else
        addLegacyCircle(centre, e[0], e[1], n, (length[0] + length[1]) / 2, 0, list);
    return 2;
}

std::int32_t c_EllCylinder::intersectCircle(const c_Circle& circle, LegacyIntersectionList& list) const {
    list.count = 0;
    LegacyIntersectionList section;
    if (intersectPlane(c_Plane(circle.getCenter(), circle.getNormal()), section) != 2) return 1;
    const LegacyCircle legacy{circle.getCenter(), circle.getXAxis(), circle.getYAxis(), circle.getNormal(),
                              circle.getRadius()};
    bool yielded = false;
    for (std::int32_t i = 0; i < section.count; ++i) {
        const LegacyItem& item = section.items[i];
        LegacyIntersectionList scratch;
        std::int32_t code;
        switch (item.type) {
        case LEGACY_LINE: code = coplanarLineCircle(std::get<LegacyLine>(item.geometry), legacy, scratch); break;
        case LEGACY_CIRCLE:
            code = coplanarCircleCircle(std::get<LegacyCircle>(item.geometry), legacy, scratch);
            break;
        case LEGACY_ELLIPSE:
            code = coplanarCircleEllipse(legacy, std::get<LegacyEllipse>(item.geometry), scratch);
            break;
        default:
            if (diagnosticSwitches.surface)
                writeDiagnostic(DiagnosticStream::err, "*** Error: c_EllCylinder::intersect: Bad item.\n");
            continue;
        }
        if (code != 0) continue;
        if (!yielded)
            copyLegacyResults(scratch, list);
        else
            appendLegacyResults(scratch, list);
        yielded = true;
    }
    return yielded ? 2 : 1;
}
