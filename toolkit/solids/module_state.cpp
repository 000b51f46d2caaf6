#include "toolkit/solids/module_state.h"

#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/legacy_predicates.h"
#include "toolkit/solids/legacy_records.h"
#include "toolkit/solids/nurbs_intersections.h"
#include "toolkit/solids/polynomial_roots.h"
#include "toolkit/solids/rat_bezier_curve.h"
#include "toolkit/solids/tolerances.h"

void resetSolidsState() {
    restoreCurveTolerances();
    resetBasicTolerances();
    resetSatPointExtents();
    diagnosticSwitches = DiagnosticSwitches{};
    setDiagnosticSink(nullptr, nullptr);
    resetSolverTolerances();
    resetLegacyPlaneTolerance();
    resetNurbsPlanarityTolerance();
    freeLegacyPools();
}
