#include "toolkit/solids/curve.h"

#include <cstring>

#include "toolkit/solids/diagnostics.h"

bool isClass(const c_Curve& curve, const char* name) { return std::strcmp(curve.className(), name) == 0; }

c_Curve* c_Curve::clone() const {
    Diagnostic(DiagnosticStream::err) << "Cannot clone instances of " << className() << '\n';
    return nullptr;
}

void c_Curve::makeOldStyleEntity(LegacyEntityHandle& out) const {
    if (diagnosticSwitches.curve)
        Diagnostic(DiagnosticStream::err) << "c_Curve::makeOldStyleEntity making NULL entity (" << className()
                                          << ").\n";
    out = nullEntityHandle;
}

bool c_Curve::isParameterInRange(double t, double start, double end, bool) const { return start <= t && t <= end; }

void c_Curve::snapPoint(aPoint& p) const {
    double t = getParameterOf(p);
    if (isValidParameter(t)) getPointAt(t, p);
}

bool c_Curve::isEqual(const c_Curve& other) const { return std::strcmp(className(), other.className()) == 0; }

void c_Curve::transform(const aTransform&) {
    Diagnostic(DiagnosticStream::err) << "Cannot transform instances of " << className() << '\n';
}
