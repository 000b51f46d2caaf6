// The clipper's entry points: trivial results, then the tables and the sweep,
// with the result stored only once it is complete.
#include "toolkit/display/clip/clip_sweep.h"

namespace {

bool validOperation(AdClipOp op) { return op >= AD_CLIP_DIFFERENCE && op <= AD_CLIP_UNION; }

// Results that are empty whatever the other operand holds.
bool trivialEmpty(AdClipOp op, const AdClipPolygon* subject, const AdClipPolygon* clip) {
    const bool noSubject = adClipPolygonContourCount(subject) == 0;
    const bool noClip = adClipPolygonContourCount(clip) == 0;
    if (noSubject && noClip) return true;
    if (noSubject && (op == AD_CLIP_INTERSECTION || op == AD_CLIP_DIFFERENCE)) return true;
    return noClip && op == AD_CLIP_INTERSECTION;
}

// Builds the tables and sweeps them into result, unless the answer is empty.
// False when memory ran out; result is then untouched.
template <class Result, class Sweep>
bool compute(AdClipOp op, const AdClipPolygon* subject, const AdClipPolygon* clip, Result& result, Sweep sweep) {
    if (trivialEmpty(op, subject, clip)) return true;
    try {
        ClipTables tables;
        adClipBuildTables(op, subject, clip, tables);
        if (!tables.minima.empty()) sweep(op, tables, result);
        return true;
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_CLIP_MEMORY);
        return false;
    }
}

}  // namespace

int adClipBoolean(AdClipOp op, AdClipPolygon* subject, AdClipPolygon* clip, AdClipPolygon* result) {
    if (!validOperation(op) || !result) {
        adSetError(AD_ERR_CLIP_ARGUMENT);
        return 0;
    }
    AdClipPolygon built{0, nullptr, nullptr};
    if (!compute(op, subject, clip, built, adClipSweepContours)) return 0;
    if (result == subject || result == clip) adClipPolygonFree(result);
    *result = built;
    return 1;
}

int adClipBooleanStrips(AdClipOp op, const AdClipPolygon* subject, const AdClipPolygon* clip, AdTriStrips* strips) {
    if (!validOperation(op) || !strips) {
        adSetError(AD_ERR_CLIP_ARGUMENT);
        return 0;
    }
    *strips = {0, nullptr};
    return compute(op, subject, clip, *strips, adClipSweepStrips) ? 1 : 0;
}

std::int32_t adClipIntersect(AdClipPolygon* subject, AdClipPolygon* clip, AdClipPolygon* result) {
    return adClipBoolean(AD_CLIP_INTERSECTION, subject, clip, result) ? result->contourCount : -1;
}

std::int32_t adClipIntersectStrips(const AdClipPolygon* subject, const AdClipPolygon* clip, AdTriStrips* strips) {
    return adClipBooleanStrips(AD_CLIP_INTERSECTION, subject, clip, strips) ? strips->stripCount : -1;
}

int adClipPolygonToStrips(const AdClipPolygon* polygon, AdTriStrips* strips) {
    const AdClipPolygon empty{0, nullptr, nullptr};
    return adClipBooleanStrips(AD_CLIP_DIFFERENCE, polygon, &empty, strips);
}
