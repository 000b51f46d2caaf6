// The error code, the continue flag and the start-up settings the host reads.
#include "toolkit/ad.h"

int adClearError() {
    if (!adGlobals) return 0;
    adGlobals->errorCode = AD_OK;
    return 1;
}

// Called from inside the load-progress hook to stop a load at its next check.
void adClearContinueFlag() {
    if (adGlobals) adGlobals->continueFlag = 0;
}

void adSetAcceptPreRelease() {
    if (adGlobals) adGlobals->acceptPreRelease = 1;
}

std::int16_t adGetNameLengthLimit() { return adGlobals ? adGlobals->nameLengthLimit : 0; }

std::int16_t adCurrentCodePage() { return adGlobals ? adGlobals->currentCodePage : 0; }
