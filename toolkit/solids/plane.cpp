#include "toolkit/solids/plane.h"

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/tolerances.h"

c_Plane::c_Plane(const aPoint& point_, const aVector& normal_) : point(point_), normal(normal_) { validateData(); }

c_Plane::c_Plane(const aPoint& p0, const aPoint& p1, const aPoint& p2) : point(p0), normal(cross(p1 - p0, p2 - p0)) {
    validateData();
}

void c_Plane::validateData() {
    double length = normal.normalize();
    if (diagnosticSwitches.plane)
        Diagnostic(DiagnosticStream::err) << "c_Plane::validateData: vectorLength=" << length << '\n';
    if (length >= BasicDistanceTol) return;
    if (diagnosticSwitches.plane)
        writeDiagnostic(DiagnosticStream::err, "Attempt to create a plane with a zero normal vector.");
    normal = zAxis;
}

std::ostream& c_Plane::print(std::ostream& os) const {
    os << className() << "( ";
    point.print(os);
    os << " , ";
    aPoint(normal).print(os);
    return os << " )";
}

void c_Plane::makeOldStyleEntity(LegacyEntityHandle& out) const { newLegacyPlane({point, normal}, out); }
