// Device and clip rectangles of the viewport entries, and the clip polygon
// each viewport starts with.
#include "toolkit/display/view.h"

#include <algorithm>

void adMainDeviceRect(AdDisplayState* state, const std::int32_t rect[4]) {
    AdViewportEntry& entry = state->viewports[0];
    for (int k = 0; k < 4; ++k) entry.deviceRect[k] = rect[k];
    entry.clipRect[0] = rect[0];
    entry.clipRect[1] = rect[1];
    entry.clipRect[2] = rect[2] + 0.5;
    entry.clipRect[3] = rect[3] + 0.5;
}

void adViewportDeviceRect(AdDisplayState* state, int i) {
    AdViewportEntry& entry = state->viewports[i];
    const AdMatrix4& sheet = state->viewports[0].full;
    const double low[4] = {entry.sheetCentre[0] - entry.sheetWidth / 2.0, entry.sheetCentre[1] - entry.sheetHeight / 2.0,
                           0.0, 1.0};
    const double high[4] = {entry.sheetCentre[0] + entry.sheetWidth / 2.0,
                            entry.sheetCentre[1] + entry.sheetHeight / 2.0, 0.0, 1.0};
    double a[4], b[4];
    adTransformPoint(low, &sheet, a);
    adTransformPoint(high, &sheet, b);
    entry.deviceRect[0] = a[0];
    entry.deviceRect[1] = a[1];
    entry.deviceRect[2] = b[0];
    entry.deviceRect[3] = b[1];
    const double* device = state->viewports[0].deviceRect;
    entry.clipRect[0] = std::max(a[0], device[0]);
    entry.clipRect[1] = std::max(a[1], device[1]);
    entry.clipRect[2] = std::min(b[0], device[2]);
    entry.clipRect[3] = std::min(b[1], device[3]);
}

int adViewportClip(AdDisplayState* state, int i) {
    AdClipLevel* level = state->clipStack;
    if (!level) return 1;
    const AdViewportEntry& entry = state->viewports[i];
    const double* r = entry.clipRect;
    const AdClipPoint corners[4] = {{r[0], r[1]}, {r[2], r[1]}, {r[2], r[3]}, {r[0], r[3]}};
    AdClipPolygon& set = level->sets[i];
    adClipPolygonFree(&set);
    if (!adClipPolygonFromPoints(&set, 4, corners)) return 0;
    if (!entry.outline || entry.outlineCount <= 0) return 1;
    AdClipPolygon outline{};
    if (!adClipPolygonFromPoints(&outline, entry.outlineCount, entry.outline)) return 0;
    AdClipPoint* points = adClipPolygonContourPoints(&outline, 0);
    const AdMatrix4& sheet = state->viewports[0].full;
    for (std::int32_t k = 0; k < entry.outlineCount; ++k) {
        const double p[4] = {points[k].x, points[k].y, 0.0, 1.0};
        double q[4];
        adTransformPoint(p, &sheet, q);
        points[k] = AdClipPoint{q[0], q[1]};
    }
    const bool ok = adClipIntersect(&set, &outline, &set) >= 0;
    adClipPolygonFree(&outline);
    return ok ? 1 : 0;
}
