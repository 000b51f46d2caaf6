// World and device coordinates of a shown drawing, and the one conversion of
// a double to a device coordinate.
#include "toolkit/display/render_state.h"

#include <cmath>
#include <limits>

std::int32_t adDeviceCoord(double value) {
    if (std::isnan(value)) return 0;
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (value <= low) return std::numeric_limits<std::int32_t>::min();
    if (value >= high) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

// The view matrix is the main view's world-to-device matrix. While the
// display-list cache is on it maps onto the cache's virtual device, which
// the cache window then maps onto the real device.
void adWorldToDevice(const AdDrawing* drawing, const double world[3], double deviceOut[2]) {
    const AdDisplayState* state = drawing->display;
    const double p[4] = {world[0], world[1], world[2], 1.0};
    double q[4];
    adTransformPoint(p, &state->viewports[0].full, q);
    if (state->caching) {
        const AdCacheMapping& cache = state->cache;
        // An empty window maps nothing; keep the virtual coordinates.
        if (cache.windowWidth != 0) q[0] = (q[0] - cache.windowX) * cache.deviceWidth / cache.windowWidth;
        if (cache.windowHeight != 0) q[1] = (q[1] - cache.windowY) * cache.deviceHeight / cache.windowHeight;
    }
    deviceOut[0] = q[0];
    deviceOut[1] = q[1];
}

int adDeviceToWorld(const AdDrawing* drawing, const double device[2], double worldOut[3]) {
    const AdDisplayState* state = drawing->display;
    double p[4] = {device[0], device[1], 0.0, 1.0};
    if (state->caching) {
        const AdCacheMapping& cache = state->cache;
        if (cache.deviceWidth != 0) p[0] = static_cast<double>(cache.windowWidth) * p[0] / cache.deviceWidth + cache.windowX;
        if (cache.deviceHeight != 0)
            p[1] = static_cast<double>(cache.windowHeight) * p[1] / cache.deviceHeight + cache.windowY;
    }
    AdMatrix4 inverse = state->viewports[0].full;
    if (!adMatrixInvert(&inverse)) return 0;
    double q[4];
    adTransformPoint(p, &inverse, q);
    worldOut[0] = q[0];
    worldOut[1] = q[1];
    worldOut[2] = q[2];
    return 1;
}

AdMatrix4* adViewMatrix(AdDrawing* drawing) { return &drawing->display->viewports[0].full; }

std::int16_t adExtentsValid(const AdDrawing* drawing) { return drawing->display->extentsValid; }

void adGetExtentsSize(const AdDrawing* drawing, double* width, double* height) {
    *width = drawing->display->extentsWidth;
    *height = drawing->display->extentsHeight;
}
