// The view that shows a drawing's extents: from what the last draw put on
// the device when that is known, else from the header's extents.
#include "toolkit/display/view.h"

#include <cmath>

namespace {

// The header's box; the never-set values (1e20 and -1e20) give the default
// sheet or a box mirrored from the other corner.
void headerBox(const AdDrawing* drawing, bool paper, double min[4], double max[4]) {
    const AdHeaderVars* header = drawing->header;
    for (int i = 0; i < 3; ++i) min[i] = max[i] = 0.0;
    min[3] = max[3] = 1.0;
    if (!header) return;
    const double* lo = paper ? header->pextmin : header->extmin;
    const double* hi = paper ? header->pextmax : header->extmax;
    for (int i = 0; i < 3; ++i) min[i] = lo[i], max[i] = hi[i];
    if (paper) return;
    if (lo[0] == 1e20 && lo[1] == 1e20 && hi[0] == -1e20 && hi[1] == -1e20) {
        min[0] = min[1] = min[2] = 0.0;
        max[0] = 11.0, max[1] = 8.5, max[2] = 0.0;
        return;
    }
    if (lo[0] == 1e20 && lo[1] == 1e20 && lo[2] == 1e20)
        for (int i = 0; i < 3; ++i) min[i] = hi[i] - std::fabs(hi[i]);
    if (hi[0] == -1e20 && hi[1] == -1e20 && hi[2] == -1e20)
        for (int i = 0; i < 3; ++i) max[i] = lo[i] + std::fabs(lo[i]);
}

}  // namespace

int adComputeExtentsView(AdDrawing* drawing, AdViewRecord* out) {
    AdDisplayState* state = drawing->display;
    double worldMin[4], worldMax[4], viewMin[4], viewMax[4];
    if (!state->extentsValid) {
        const std::int16_t tileMode = drawing->header ? drawing->header->tilemode : 1;
        headerBox(drawing, tileMode == 0, worldMin, worldMax);
        adTransformBox(worldMin, worldMax, &state->worldToView, viewMin, viewMax);
    } else {
        const double* e = state->deviceExtents;
        const double p1[2] = {e[0], e[1]}, p2[2] = {e[2], e[3]};
        adDeviceBoxToWorld(&state->viewports[0].full, p1, p2, worldMin, worldMax);
        adDeviceBoxToWorld(&state->viewToDevice, p1, p2, viewMin, viewMax);
    }
    for (int i = 0; i < 3; ++i) out->target[i] = (worldMin[i] + worldMax[i]) / 2.0;
    out->target[3] = 1.0;
    state->extentsWidth = std::fabs(viewMax[0] - viewMin[0]);
    state->extentsHeight = std::fabs(viewMax[1] - viewMin[1]);
    const double w = state->extentsWidth * 1.0000001, h = state->extentsHeight * 1.0000001;
    const AdViewRecord& stored = state->storedView;
    // A stored view without height has no aspect: take the box's own.
    const double a = stored.height != 0.0 ? stored.width / stored.height : (h != 0.0 ? w / h : 1.0);
    if (h == 0.0 || a < w / h) {
        out->width = w;
        out->height = a != 0.0 ? w / a : w;
    } else {
        out->width = h * a;
        out->height = h;
    }
    for (int i = 0; i < 3; ++i) {
        out->direction[i] = stored.direction[i];
        out->up[i] = stored.up[i];
    }
    out->direction[3] = out->up[3] = 0.0;
    return state->extentsValid;
}
