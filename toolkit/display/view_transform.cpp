// The view transform of a shown drawing: the matrices of every viewport
// entry for a view and a device rectangle, and the display-list cache's
// virtual device with the window the real device sees of it.
#include "toolkit/display/view.h"

#include <cmath>
#include <cstring>

namespace {

void setW(AdViewRecord* view) {
    view->direction[3] = 0.0;
    view->target[3] = 1.0;
    view->up[3] = 0.0;
}

// The view's corners mapped into the virtual device through the cached
// matrix: x1, y1, x2, y2.
void mappedCorners(const AdDisplayState* state, const AdViewRecord* view, double out[4]) {
    AdViewRecord low = *view, high = *view;
    adViewPan(&low, -view->width / 2.0, -view->height / 2.0);
    adViewPan(&high, view->width / 2.0, view->height / 2.0);
    double a[4], b[4];
    adTransformPoint(low.target, &state->cacheBlock.full, a);
    adTransformPoint(high.target, &state->cacheBlock.full, b);
    out[0] = a[0], out[1] = a[1], out[2] = b[0], out[3] = b[1];
}

std::int32_t window16(double value) { return static_cast<std::int32_t>(static_cast<std::uint16_t>(adDeviceCoord(value))); }

}  // namespace

void adViewportsChanged(AdDisplayState* state) {
    state->planViewports = 0;
    for (int i = 0; i < state->viewportCount; ++i) {
        AdViewportEntry& entry = state->viewports[i];
        entry.scale = entry.scaleCopy = adMatrixScale(&entry.full);
        const double* d = entry.direction;
        if (d[0] == 0.0 && d[1] == 0.0 && d[2] > 0.0) state->planViewports |= std::uint64_t{1} << i;
    }
}

void adComputeView(AdDrawing* drawing, const AdViewRecord* view, const std::int32_t rect[4]) {
    AdDisplayState* state = drawing->display;
    if (std::memcmp(view, &state->storedView, sizeof(AdViewRecord)) != 0) {
        state->extentsValid = 0;
        state->deviceExtents[0] = state->deviceExtents[1] = 1e300;
        state->deviceExtents[2] = state->deviceExtents[3] = -1e300;
        state->storedView = *view;
    }
    AdViewportEntry& main = state->viewports[0];
    for (int k = 0; k < 4; ++k) {
        main.direction[k] = view->direction[k];
        main.target[k] = view->target[k];
        main.up[k] = view->up[k];
    }
    adViewOrientation(main.target, main.direction, main.up, 0.0, 0.0, &state->worldToView);
    adViewToDeviceMatrix(rect[0], rect[1], rect[2], rect[3], view->width, view->height, &state->viewToDevice);
    adMatrixMultiply(&state->worldToView, &state->viewToDevice, &main.full);
    main.viewHeight = view->height;
    adMainDeviceRect(state, rect);
    adViewportClip(state, 0);
    if (state->paperSpace) {
        const double width = view->width != 0.0 ? view->width : 1.0;
        const double height = view->height != 0.0 ? view->height : 1.0;
        const double kx = (rect[2] - rect[0]) / width, ky = (rect[3] - rect[1]) / height;
        for (int i = 1; i < state->viewportCount; ++i) {
            AdViewportEntry& entry = state->viewports[i];
            adViewOrientation(entry.target, entry.direction, entry.up, 0.0, 0.0, &state->worldToView);
            adViewportDeviceRect(state, i);
            adViewportClip(state, i);
            const double* d = entry.deviceRect;
            const double h = entry.viewHeight;
            const double w = h * adRectAspect(d[0], d[1], d[2], d[3]) * (kx != 0.0 ? ky / kx : 1.0);
            AdMatrix4 toDevice;
            adViewToDeviceMatrix(d[0], d[1], d[2], d[3], w, h, &toDevice);
            adMatrixMultiply(&state->worldToView, &toDevice, &entry.full);
        }
    }
    adViewportsChanged(state);
}

int adMakeViewTransform(AdDrawing* drawing, AdViewRecord* view, const std::int32_t deviceRect[4],
                        std::int32_t virtualRect[4]) {
    AdDisplayState* state = drawing->display;
    setW(view);
    if (!state->caching) {
        adComputeView(drawing, view, deviceRect);
        return 0;
    }
    // A cached view that cannot serve the new one is rebuilt at once, so
    // the regeneration that follows draws the new view.
    if (state->cacheBlock.valid && adCacheCoversView(state, view)) state->cacheBlock.valid = 0;
    const int regenerate = state->cacheBlock.valid ? 0 : 1;
    if (regenerate) {
        std::int32_t local[4];
        std::int32_t* rect = virtualRect ? virtualRect : local;
        adSetupVirtualDevice(state, deviceRect, rect);
        adComputeView(drawing, view, rect);
        state->cacheBlock.view = *view;
        state->cacheBlock.full = state->viewports[0].full;
    }
    adSetCacheWindow(state, view);
    return regenerate;
}

void adInvalidateViewCache(AdDrawing* drawing) { drawing->display->cacheBlock.valid = 0; }

void adGetCachedView(const AdDrawing* drawing, AdViewRecord* out) { *out = drawing->display->cacheBlock.view; }

int adZoomExtents(AdDrawing* drawing, AdViewRecord* out) {
    *out = drawing->display->extentsView;
    return 1;
}

// A device without width or height counts as one unit wide or high.
void adSetupVirtualDevice(AdDisplayState* state, const std::int32_t rect[4], std::int32_t virtualOut[4]) {
    AdCacheBlock& cache = state->cacheBlock;
    cache.left = rect[0], cache.top = rect[1], cache.right = rect[2], cache.bottom = rect[3];
    double w = static_cast<double>(rect[2]) - rect[0], h = static_cast<double>(rect[3]) - rect[1];
    if (!(w > 0.0)) w = 1.0;
    if (!(h > 0.0)) h = 1.0;
    if (h > w) {
        cache.virtualHeight = AD_VIRTUAL_DEVICE_SIZE;
        cache.virtualWidth = static_cast<std::int32_t>(w * AD_VIRTUAL_DEVICE_SIZE / h);
    } else {
        cache.virtualWidth = AD_VIRTUAL_DEVICE_SIZE;
        cache.virtualHeight = static_cast<std::int32_t>(h * AD_VIRTUAL_DEVICE_SIZE / w);
    }
    state->cache.deviceWidth = static_cast<std::int32_t>(w);
    state->cache.deviceHeight = static_cast<std::int32_t>(h);
    virtualOut[0] = virtualOut[1] = 0;
    virtualOut[2] = cache.virtualWidth;
    virtualOut[3] = cache.virtualHeight;
    state->virtualScale = w / AD_VIRTUAL_DEVICE_SIZE;
}

int adCacheCoversView(const AdDisplayState* state, const AdViewRecord* view) {
    const AdCacheBlock& cache = state->cacheBlock;
    if (std::memcmp(view->direction, cache.view.direction, sizeof view->direction) != 0 ||
        std::memcmp(view->up, cache.view.up, sizeof view->up) != 0)
        return 1;
    const double w = static_cast<double>(state->cache.deviceWidth), h = static_cast<double>(state->cache.deviceHeight);
    if (!(w / AD_VIRTUAL_DEVICE_SIZE <= view->width / cache.view.width)) return 1;
    if (!(h / AD_VIRTUAL_DEVICE_SIZE <= view->height / cache.view.height)) return 1;
    double c[4];
    mappedCorners(state, view, c);
    return !(c[0] >= 0.0 && c[1] >= 0.0 && c[2] <= cache.virtualWidth + 1 && c[3] <= cache.virtualHeight + 1);
}

void adSetCacheWindow(AdDisplayState* state, const AdViewRecord* view) {
    double c[4];
    mappedCorners(state, view, c);
    AdCacheMapping& map = state->cache;
    map.windowX = window16(c[0]);
    map.windowY = window16(c[1]);
    map.windowWidth = window16(c[2]) - map.windowX;
    map.windowHeight = window16(c[3]) - map.windowY;
}
