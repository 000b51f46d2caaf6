// The one process-wide state of the toolkit and the shared failure reporting.
#include "toolkit/ad.h"

AdGlobalState* adGlobals = nullptr;

void adSetError(std::int32_t code) {
    if (adGlobals) adGlobals->errorCode = code;
}

void adFatalError(std::int32_t condition) {
    if (adGlobals && adGlobals->hooks.fatalError) adGlobals->hooks.fatalError(condition);
}

void adNoMemory(std::int32_t code) {
    adSetError(code);
    adFatalError(AD_FATAL_NO_MEMORY);
}
