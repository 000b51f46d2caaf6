// Polygon and triangle-strip records: building, copying, reading, releasing.
#include "toolkit/display/clip/clip_contour_store.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

template <class T>
T* hostArray(std::size_t n) {
    if (n == 0) return nullptr;
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    void* block = HostAlloc(n * sizeof(T));
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
}

void clear(AdClipPolygon* polygon) {
    polygon->contourCount = 0;
    polygon->holeFlags = nullptr;
    polygon->contours = nullptr;
}

// Runs a building step into polygon; any failure leaves it empty.
template <class Build>
int buildPolygon(AdClipPolygon* polygon, Build build) {
    if (!polygon) {
        adSetError(AD_ERR_CLIP_ARGUMENT);
        return 0;
    }
    clear(polygon);
    try {
        return build();
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_CLIP_MEMORY);
        return 0;
    }
}

// Contour i of an array, or null outside it.
const AdClipContour* contourAt(std::int32_t count, const AdClipContour* contours, std::int32_t i) {
    return contours && i >= 0 && i < count ? &contours[i] : nullptr;
}
std::int32_t sizeOf(const AdClipContour* c) { return c && c->vertexCount > 0 ? c->vertexCount : 0; }
AdClipPoint* pointsOf(const AdClipContour* c) { return c ? c->points : nullptr; }

}  // namespace

ClipContourStore::ClipContourStore(std::size_t count, bool holes) {
    if (count > INT32_MAX) throw std::bad_alloc();
    if (holes && count > 0) {
        holes_ = hostArray<std::int32_t>(count);
        std::memset(holes_, 0, count * sizeof(std::int32_t));
    }
    try {
        contours_ = hostArray<AdClipContour>(count);
    } catch (const std::bad_alloc&) {
        if (holes_) HostFree(holes_);
        throw;
    }
    count_ = static_cast<std::int32_t>(count);
    for (std::int32_t i = 0; i < count_; ++i) contours_[i] = {0, nullptr};
}

ClipContourStore::~ClipContourStore() {
    adClipFreeContours(count_, contours_);
    if (holes_) HostFree(holes_);
}

AdClipPoint* ClipContourStore::contour(std::size_t i, std::size_t n, std::int32_t hole) {
    if (n > INT32_MAX) throw std::bad_alloc();
    contours_[i].points = hostArray<AdClipPoint>(n);
    contours_[i].vertexCount = static_cast<std::int32_t>(n);
    if (holes_) holes_[i] = hole;
    return contours_[i].points;
}

void ClipContourStore::handOver(AdClipPolygon& polygon) {
    polygon.contourCount = count_;
    polygon.holeFlags = holes_;
    polygon.contours = contours_;
    count_ = 0;
    holes_ = nullptr;
    contours_ = nullptr;
}

void ClipContourStore::handOver(AdTriStrips& strips) {
    strips.stripCount = count_;
    strips.strips = contours_;
    count_ = 0;
    contours_ = nullptr;
}

void adClipFreeContours(std::int32_t count, AdClipContour* contours) {
    if (!contours) return;
    for (std::int32_t i = 0; i < count; ++i)
        if (contours[i].points) HostFree(contours[i].points);
    HostFree(contours);
}

int adClipPolygonFromPoints(AdClipPolygon* polygon, std::int32_t count, const AdClipPoint* points) {
    return buildPolygon(polygon, [&] {
        if (count < 0 || (count > 0 && !points)) {
            adSetError(AD_ERR_CLIP_ARGUMENT);
            return 0;
        }
        ClipContourStore store(1, true);
        AdClipPoint* to = store.contour(0, static_cast<std::size_t>(count));
        if (count > 0) std::memcpy(to, points, static_cast<std::size_t>(count) * sizeof(AdClipPoint));
        store.handOver(*polygon);
        return 1;
    });
}

int adClipPolygonAlloc(AdClipPolygon* polygon, std::int32_t count, const std::int32_t* vertexCounts) {
    return buildPolygon(polygon, [&] {
        bool valid = count >= 0 && (count == 0 || vertexCounts);
        for (std::int32_t i = 0; valid && i < count; ++i) valid = vertexCounts[i] >= 0;
        if (!valid) {
            adSetError(AD_ERR_CLIP_ARGUMENT);
            return 0;
        }
        ClipContourStore store(static_cast<std::size_t>(count), true);
        for (std::int32_t i = 0; i < count; ++i) store.contour(i, static_cast<std::size_t>(vertexCounts[i]));
        store.handOver(*polygon);
        return 1;
    });
}

int adClipPolygonCopy(AdClipPolygon* destination, const AdClipPolygon* source) {
    if (destination == source) return destination ? 1 : 0;
    return buildPolygon(destination, [&] {
        const std::int32_t count = adClipPolygonContourCount(source);
        ClipContourStore store(static_cast<std::size_t>(count), true);
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t n = adClipPolygonContourSize(source, i);
            const AdClipPoint* from = source->contours[i].points;
            const std::size_t kept = from ? static_cast<std::size_t>(n) : 0;
            AdClipPoint* to = store.contour(i, kept, source->holeFlags ? source->holeFlags[i] : 0);
            if (kept > 0) std::memcpy(to, from, kept * sizeof(AdClipPoint));
        }
        store.handOver(*destination);
        return 1;
    });
}

void adClipPolygonFree(AdClipPolygon* polygon) {
    if (!polygon) return;
    adClipFreeContours(polygon->contourCount, polygon->contours);
    if (polygon->holeFlags) HostFree(polygon->holeFlags);
    clear(polygon);
}

std::int32_t adClipPolygonContourCount(const AdClipPolygon* polygon) {
    return polygon && polygon->contours && polygon->contourCount > 0 ? polygon->contourCount : 0;
}

std::int32_t adClipPolygonContourSize(const AdClipPolygon* polygon, std::int32_t i) {
    return polygon ? sizeOf(contourAt(polygon->contourCount, polygon->contours, i)) : 0;
}

AdClipPoint* adClipPolygonContourPoints(const AdClipPolygon* polygon, std::int32_t i) {
    return polygon ? pointsOf(contourAt(polygon->contourCount, polygon->contours, i)) : nullptr;
}

void adTriStripsFree(AdTriStrips* strips) {
    if (!strips) return;
    adClipFreeContours(strips->stripCount, strips->strips);
    strips->stripCount = 0;
    strips->strips = nullptr;
}

std::int32_t adTriStripsCount(const AdTriStrips* strips) {
    return strips && strips->strips && strips->stripCount > 0 ? strips->stripCount : 0;
}

std::int32_t adTriStripsSize(const AdTriStrips* strips, std::int32_t i) {
    return strips ? sizeOf(contourAt(strips->stripCount, strips->strips, i)) : 0;
}

AdClipPoint* adTriStripsPoints(const AdTriStrips* strips, std::int32_t i) {
    return strips ? pointsOf(contourAt(strips->stripCount, strips->strips, i)) : nullptr;
}
