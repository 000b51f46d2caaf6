// The drawing's handle seed: the next free handle.
#include "toolkit/ad.h"

int adNextHandle(AdDrawing* drawing, AdHandle* handle) {
    if (!drawing || adHandleLength(&drawing->handleSeed) == 0) return 0;
    *handle = drawing->handleSeed;
    adHandleIncrement(&drawing->handleSeed);
    return 1;
}

int adSetHandleSeed(AdDrawing* drawing, const AdHandle* seed) {
    if (!drawing) return 0;
    drawing->handleSeed = *seed;
    return 1;
}
