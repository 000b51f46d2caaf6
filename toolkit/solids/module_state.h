// The module-wide state of the solid-model code (tolerances, pools, solver
// settings, diagnostic switches and sink) back to its start values. Tests call
// it between cases; the bridge resets what it needs by itself.
#pragma once

void resetSolidsState();
