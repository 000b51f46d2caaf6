#include "toolkit/solids/module_state.h"

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/tolerances.h"

void resetSolidsState() {
    resetBasicTolerances();
    diagnosticSwitches = DiagnosticSwitches{};
    setDiagnosticSink(nullptr, nullptr);
}
