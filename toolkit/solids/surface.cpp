#include "toolkit/solids/surface.h"

#include <cstring>

#include "toolkit/solids/diagnostics.h"

bool isClass(const c_Surface& surface, const char* name) { return std::strcmp(surface.className(), name) == 0; }

std::int32_t c_Surface::intersect(const c_Curve&, LegacyIntersectionList&) const {
    if (diagnosticSwitches.surface) writeDiagnostic(DiagnosticStream::out, "c_Surface::intersect called.\n");
    return 0;
}

void c_Surface::makeOldStyleEntity(LegacyEntityHandle& out) const {
    if (diagnosticSwitches.surface)
        Diagnostic(DiagnosticStream::err) << "c_Surface::makeOldStyleEntity making NULL entity (" << className()
                                          << ").\n";
    out = nullEntityHandle;
}

aVector c_Surface::normalAt(const aPoint&) const {
    if (diagnosticSwitches.surface)
        writeDiagnostic(DiagnosticStream::err, "c_Surface::normalAt returning a zero vector.\n");
    return zeroVector;
}

c_FramedQuadric::c_FramedQuadric(const aPoint& origin_, const aVector& reference, const aVector& axis_)
    : origin(origin_), xAxis(reference), yAxis(0, 0, 0), axis(axis_) {
    updateFrame();
}

std::ostream& c_FramedQuadric::printFrame(std::ostream& os) const {
    os << className() << "( ";
    origin.print(os);
    for (const aVector* v : {&xAxis, &yAxis, &axis}) {
        os << " , ";
        aPoint(*v).print(os);
    }
    return os;
}
