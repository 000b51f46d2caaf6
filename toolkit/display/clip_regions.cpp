// The clip-region stack of a shown drawing: one clip polygon set per
// viewport entry and level; the top level is what output is clipped to.
#include "toolkit/display/view.h"

#include <new>
#include <vector>

namespace {

void freeLevel(AdClipLevel* level) {
    for (AdClipPolygon& set : level->sets) adClipPolygonFree(&set);
    HostFree(level);
}

// The store's 3D points as one contour, mapped by the matrix when given.
bool readContour(AdStore* store, const AdMatrix4* matrix, std::vector<AdClipPoint>& contour) {
    AdStream* stream = adStreamOpenRead(store);
    if (!stream) return false;
    double p[4] = {0.0, 0.0, 0.0, 1.0};
    const std::int32_t limit = adStoreSize(store) / static_cast<std::int32_t>(3 * sizeof(double));
    for (std::int32_t i = 0; i < limit && adStreamReadPoint3D(stream, p); ++i) {
        double q[4] = {p[0], p[1], p[2], 1.0};
        if (matrix) adTransformPoint(p, matrix, q);
        contour.push_back(AdClipPoint{q[0], q[1]});
    }
    adStreamCloseRead(stream);
    return true;
}

}  // namespace

int adPushClipRegions(AdDisplayState* state, AdStore* store, const AdMatrix4* matrices) {
    auto* level = static_cast<AdClipLevel*>(HostAlloc(sizeof(AdClipLevel)));
    if (!level) {
        adNoMemory(AD_ERR_DISPLAY_STATE_MEMORY);
        return 0;
    }
    *level = AdClipLevel{};
    AdClipLevel* below = state->clipStack;
    level->below = below;
    state->clipStack = level;
    const int count = state->viewportCount > 0 ? state->viewportCount : 1;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        if (!store || !below) {
            ok = adViewportClip(state, i) != 0;
            if (!store) continue;
        } else {
            ok = adClipPolygonCopy(&level->sets[i], &below->sets[i]) != 0;
        }
        std::vector<AdClipPoint> contour;
        try {
            if (!ok || !readContour(store, matrices ? &matrices[i] : nullptr, contour)) continue;
        } catch (const std::bad_alloc&) {
            adNoMemory(AD_ERR_DISPLAY_STATE_MEMORY);
            ok = false;
            break;
        }
        if (contour.size() < 3) {  // an outline without area lets nothing through
            adClipPolygonFree(&level->sets[i]);
            continue;
        }
        AdClipPolygon clip{};
        ok = adClipPolygonFromPoints(&clip, static_cast<std::int32_t>(contour.size()), contour.data()) &&
             adClipIntersect(&level->sets[i], &clip, &level->sets[i]) >= 0;
        adClipPolygonFree(&clip);
    }
    if (ok) return 1;
    state->clipStack = below;
    freeLevel(level);
    return 0;
}

void adPopClipRegions(AdDisplayState* state) {
    AdClipLevel* level = state->clipStack;
    if (!level) return;
    state->clipStack = level->below;
    freeLevel(level);
}
