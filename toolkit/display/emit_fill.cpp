// Filled quads and contours: mapped to the device per viewport, clipped to
// the viewport's rectangle or to the clip region in force, and handed to the
// host's polygon, poly-polygon and OLE-frame hooks.
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kRegionPolygonLimit = 9;
constexpr std::int32_t kRangeLimit = 32767;

bool hasHole(const AdClipPolygon* region) {
    for (std::int32_t i = 0; i < region->contourCount; ++i)
        if (region->holeFlags && region->holeFlags[i]) return true;
    return false;
}

void emitOrFrame(AdDrawing* drawing, std::int16_t count, const DevicePoint* points, AdDisplayState* extents,
                 AdOleFrameRecord* frame) {
    if (!frame) {
        adEmitPolygon(count, points, drawing, extents);
        return;
    }
    frame->outlineCount = count;
    frame->outline = const_cast<DevicePoint*>(points);
    if (adRender->hooks.oleFrame) adRender->hooks.oleFrame(frame, drawing->userData);
}

DevicePoint toDevice(const AdClipPoint& p) { return DevicePoint{adDeviceCoord(p.x), adDeviceCoord(p.y)}; }

// Triangles of the strips, from the last strip to the first, as polygons.
void emitStrips(AdDrawing* drawing, const AdTriStrips& strips, AdDisplayState* extents, AdOleFrameRecord* frame) {
    for (std::int32_t s = strips.stripCount - 1; s >= 0; --s) {
        const AdClipContour& strip = strips.strips[s];
        for (std::int32_t k = 0; k + 2 < strip.vertexCount; ++k) {
            DevicePoint triangle[3] = {toDevice(strip.points[k]), toDevice(strip.points[k + 1]),
                                       toDevice(strip.points[k + 2])};
            emitOrFrame(drawing, 3, triangle, extents, frame);
        }
    }
}

bool quadFilled(AdDrawing* drawing, int v) {
    const std::uint16_t type = adCurrentEntity()->type;
    const std::int16_t hatch = adClassNumHatch(drawing);
    return type == AD_ENTITY_MLINE || type == AD_ENTITY_TEXT || (hatch != 0 && type == static_cast<std::uint16_t>(hatch)) ||
           adFillVisibleInViewport(drawing, v);
}

bool usesObjectFrame(const AdEntityHeader* entity) {
    return (entity->flags & AD_ENTITY_FLAG_EXTRUDED) && entity->type != AD_ENTITY_MLINE &&
           entity->type != AD_ENTITY_LEADER;
}

void objectFrame(AdMatrix4* ocs) { adMatrixFromExtrusion(adCurrentEntity()->extrusion, ocs); }

// Without the host's poly-polygon hook: the clipped set as triangles, over
// one flattened point array per run of at most kRangeLimit points.
void fillAsTriangles(AdDrawing* drawing, const AdClipPolygon& clipped) {
    AdTriStrips strips{};
    if (!adClipPolygonToStrips(&clipped, &strips)) return;
    std::vector<DevicePoint> flat;
    std::int32_t s = 0;
    while (s < strips.stripCount) {
        flat.clear();
        std::vector<std::int16_t> starts;
        for (; s < strips.stripCount; ++s) {
            const AdClipContour& strip = strips.strips[s];
            if (!flat.empty() && static_cast<std::int32_t>(flat.size()) + strip.vertexCount > kRangeLimit) break;
            if (strip.vertexCount > kRangeLimit) continue;
            for (std::int32_t k = 0; k + 2 < strip.vertexCount; ++k)
                starts.push_back(static_cast<std::int16_t>(flat.size() + k));
            for (std::int32_t k = 0; k < strip.vertexCount; ++k) flat.push_back(toDevice(strip.points[k]));
        }
        if (!adRender->hooks.polygon) continue;
        for (std::int16_t first : starts) {
            const std::int16_t range[2] = {first, static_cast<std::int16_t>(first + 2)};
            adRender->hooks.polygon(range, flat.data(), drawing->userData);
        }
    }
    adTriStripsFree(&strips);
}

// The contours one by one through the clip set, for the host's even-odd fill.
void fillAsContours(AdDrawing* drawing, const std::vector<AdClipPoint>& points, const std::int16_t* counts,
                    std::int16_t contourCount, const AdClipPolygon& clip) {
    std::vector<DevicePoint> out;
    std::vector<std::int32_t> outCounts;
    std::size_t at = 0;
    for (std::int16_t c = 0; c < contourCount; ++c) {
        const std::int32_t n = counts[c];
        AdClipPolygon contour{}, result{};
        if (n >= 3 && adClipPolygonFromPoints(&contour, n, points.data() + at) &&
            adClipIntersect(&contour, const_cast<AdClipPolygon*>(&clip), &result) > 0) {
            for (std::int32_t r = 0; r < result.contourCount; ++r) {
                const AdClipContour& piece = result.contours[r];
                for (std::int32_t k = 0; k < piece.vertexCount; ++k) out.push_back(toDevice(piece.points[k]));
                outCounts.push_back(piece.vertexCount);
            }
        }
        adClipPolygonFree(&contour);
        adClipPolygonFree(&result);
        at += static_cast<std::size_t>(n > 0 ? n : 0);
    }
    if (!outCounts.empty() && adRender->hooks.polyPolygon)
        adRender->hooks.polyPolygon(out.data(), outCounts.data(), static_cast<std::int32_t>(outCounts.size()),
                                    drawing->userData);
}

}  // namespace

void adEmitPolygon(std::int16_t count, const DevicePoint* points, AdDrawing* drawing, AdDisplayState* extents) {
    if (count <= 0) return;
    if (extents && !extents->extentsValid)
        for (std::int16_t i = 0; i < count; ++i) adWidenExtents(extents, points[i].x, points[i].y);
    bool sameX = true, sameY = true;
    for (std::int16_t i = 1; i < count; ++i) {
        sameX = sameX && points[i].x == points[0].x;
        sameY = sameY && points[i].y == points[0].y;
    }
    if (sameX || sameY || !adRender->hooks.polygon) return;
    const std::int16_t range[2] = {0, static_cast<std::int16_t>(count - 1)};
    adRender->hooks.polygon(range, points, drawing->userData);
}

// A set with holes, or with a contour longer than 9 points, goes as
// triangles: contour by contour would fill the holes.
void adEmitRegion(AdDrawing* drawing, const AdClipPolygon* region, AdDisplayState* extents, AdOleFrameRecord* frame) {
    bool small = !hasHole(region);
    for (std::int32_t i = 0; i < region->contourCount && small; ++i)
        small = region->contours[i].vertexCount <= kRegionPolygonLimit;
    if (small) {
        for (std::int32_t i = region->contourCount - 1; i >= 0; --i) {
            const AdClipContour& contour = region->contours[i];
            DevicePoint points[kRegionPolygonLimit];
            for (std::int32_t k = 0; k < contour.vertexCount; ++k) points[k] = toDevice(contour.points[k]);
            emitOrFrame(drawing, static_cast<std::int16_t>(contour.vertexCount), points, extents, frame);
        }
        return;
    }
    AdTriStrips strips{};
    if (!adClipPolygonToStrips(region, &strips)) return;
    emitStrips(drawing, strips, extents, frame);
    adTriStripsFree(&strips);
}

std::int16_t adQuadCornersInViewport(AdDrawing* drawing, double points[8], int v) {
    std::int16_t n = 4;
    adRemoveDuplicatePoints(points, &n);
    adSetClipRect(drawing->display, v);
    AdDisplayState* top = adTopState(drawing);
    if (v == 0 && !top->extentsValid)
        for (int k = 0; k < n; ++k) adWidenExtents(top, points[2 * k], points[2 * k + 1]);
    return n;
}

void adFillQuadInViewport(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3],
                          const double p4[3], const AdMatrix4* matrices, int v, const AdMatrix4* matrix,
                          AdOleFrameRecord* frame) {
    if (!quadFilled(drawing, v)) {
        adEmitThickSegment(drawing, p1, p2, matrices, v);
        adEmitThickSegment(drawing, p2, p4, matrices, v);
        adEmitThickSegment(drawing, p4, p3, matrices, v);
        adEmitThickSegment(drawing, p3, p1, matrices, v);
        return;
    }
    AdDisplayState* state = drawing->display;
    double points[8];
    const double* corners[4] = {p1, p2, p4, p3};
    for (int k = 0; k < 4; ++k) adTransformToDevice(corners[k], matrix, points + 2 * k);
    if (frame) {
        frame->left = adDeviceCoord(points[0]);
        frame->top = adDeviceCoord(points[1]);
        frame->right = adDeviceCoord(points[4]);
        frame->bottom = adDeviceCoord(points[5]);
    }
    const std::int16_t n = adQuadCornersInViewport(drawing, points, v);
    AdDisplayState* top = adTopState(drawing);
    AdDisplayState* extents = v != 0 ? top : nullptr;
    if (n < 2) return;
    if (n == 2) {
        adEmitDeviceLine(drawing, points, points + 2, v);
        return;
    }
    const AdClipLevel* level = state->clipStack;
    if (level && (state->viewports[v].outline || level->below)) {
        AdClipPolygon quad{}, result{};
        if (adClipPolygonFromPoints(&quad, n, reinterpret_cast<const AdClipPoint*>(points)) &&
            adClipIntersect(&quad, const_cast<AdClipPolygon*>(&level->sets[v]), &result) > 0)
            adEmitRegion(drawing, &result, extents, frame);
        adClipPolygonFree(&quad);
        adClipPolygonFree(&result);
        return;
    }
    std::int16_t outCount = 0;
    if (!adClipPolygonToRect(n, points, &outCount, adRender->deviceOutline)) return;
    emitOrFrame(drawing, outCount, adRender->deviceOutline, extents, frame);
}

int adFillQuadOneViewport(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3],
                          const double p4[3], const AdMatrix4* matrices, int v) {
    adPollPrimitive(drawing);
    if (!adViewportDrawable(drawing->display, v)) return 1;
    AdMatrix4 matrix = matrices[v];
    if (usesObjectFrame(adCurrentEntity())) {
        AdMatrix4 ocs;
        objectFrame(&ocs);
        adMatrixMultiply(&ocs, &matrices[v], &matrix);
    }
    adFillQuadInViewport(drawing, p1, p2, p3, p4, matrices, v, &matrix, nullptr);
    return 1;
}

int adFillQuad(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3], const double p4[3],
               const AdMatrix4* matrices) {
    adPollPrimitive(drawing);
    const AdDisplayState* state = drawing->display;
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    AdMatrix4* own = nullptr;
    if (usesObjectFrame(adCurrentEntity())) {
        own = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
        if (!own) {
            adNoMemory(AD_ERR_VIEWPORT_MATRICES);
            return 0;
        }
        AdMatrix4 ocs;
        objectFrame(&ocs);
        for (int v = first; v < end; ++v) adMatrixMultiply(&ocs, &matrices[v], &own[v]);
    }
    for (int v = first; v < end; ++v)
        if (adViewportDrawable(state, v))
            adFillQuadInViewport(drawing, p1, p2, p3, p4, matrices, v, own ? &own[v] : &matrices[v], nullptr);
    if (own) HostFree(own);
    return 1;
}

namespace {

int fillContours(AdDrawing* drawing, const double* points, const std::int16_t* counts, std::int16_t contourCount,
                 const AdMatrix4* matrices) {
    std::int32_t total = 0;
    for (std::int16_t c = 0; c < contourCount; ++c) total += counts[c] > 0 ? counts[c] : 0;
    if (total == 0) return 0;
    adPollPrimitive(drawing);
    AdDisplayState* state = drawing->display;
    AdDisplayState* top = adTopState(drawing);
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    std::vector<AdClipPoint> device(static_cast<std::size_t>(total));
    for (int v = first; v < end; ++v) {
        if (!adViewportDrawable(state, v)) continue;
        for (std::int32_t i = 0; i < total; ++i) {
            double out[2];
            adTransformToDevice(points + 3 * i, &matrices[v], out);
            device[static_cast<std::size_t>(i)] = AdClipPoint{out[0], out[1]};
        }
        adSetClipRect(state, v);
        if (end == 1 && !top->extentsValid)
            for (const AdClipPoint& p : device) adWidenExtents(top, p.x, p.y);
        const AdClipLevel* level = state->clipStack;
        if (!level) continue;
        if (adRender->hooks.hostPolyPolygon) {
            fillAsContours(drawing, device, counts, contourCount, level->sets[v]);
            continue;
        }
        // The whole set, holes included, read by the even-odd rule.
        std::vector<std::int32_t> sizes;
        for (std::int16_t c = 0; c < contourCount; ++c) sizes.push_back(counts[c] > 0 ? counts[c] : 0);
        AdClipPolygon set{}, clipped{};
        if (adClipPolygonAlloc(&set, contourCount, sizes.data())) {
            std::size_t at = 0;
            for (std::int16_t c = 0; c < contourCount; ++c) {
                if (sizes[c] > 0)
                    std::memcpy(set.contours[c].points, device.data() + at, sizeof(AdClipPoint) * sizes[c]);
                at += static_cast<std::size_t>(sizes[c]);
            }
            if (adClipIntersect(&set, const_cast<AdClipPolygon*>(&level->sets[v]), &clipped) > 0)
                fillAsTriangles(drawing, clipped);
        }
        adClipPolygonFree(&set);
        adClipPolygonFree(&clipped);
    }
    return 1;
}

}  // namespace

// The scratch of a fill comes from the standard allocator: running out of it
// ends the fill with the toolkit's memory error.
int adFillContours(AdDrawing* drawing, const double* points, const std::int16_t* counts, std::int16_t contourCount,
                   const AdMatrix4* matrices) {
    try {
        return fillContours(drawing, points, counts, contourCount, matrices);
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_RENDER_MEMORY);
        return 0;
    }
}
