// Host-drawn images: per drawable viewport the host hears the picture's
// device corners, its outline clipped to the viewport and its clip boundary
// clipped likewise, and paints the picture itself.
#include "toolkit/display/emit.h"
#include "toolkit/display/image.h"

#include <vector>

namespace {

std::int32_t rounded(double value) { return adDeviceCoord(value + 0.5); }

// The viewport's clip region: the region in force, or its rectangle.
bool viewportRegion(const AdDisplayState* state, int v, AdClipPolygon* region) {
    const AdClipLevel* level = state->clipStack;
    if (level && (state->viewports[v].outline || level->below)) return adClipPolygonCopy(region, &level->sets[v]) != 0;
    const double* r = state->viewports[v].clipRect;
    const AdClipPoint corners[4] = {{r[0], r[1]}, {r[2], r[1]}, {r[2], r[3]}, {r[0], r[3]}};
    return adClipPolygonFromPoints(region, 4, corners) != 0;
}

// The points inside the region: the first contour of the intersection,
// truncated. The contour may have any number of vertices.
std::vector<DevicePoint> clipped(const std::vector<AdClipPoint>& points, AdClipPolygon* region) {
    std::vector<DevicePoint> out;
    if (points.size() < 3) return out;
    AdClipPolygon polygon{}, result{};
    if (adClipPolygonFromPoints(&polygon, static_cast<std::int32_t>(points.size()), points.data()) &&
        adClipIntersect(&polygon, region, &result) > 0) {
        const AdClipPoint* q = adClipPolygonContourPoints(&result, 0);
        for (std::int32_t i = 0; i < adClipPolygonContourSize(&result, 0); ++i)
            out.push_back(DevicePoint{adDeviceCoord(q[i].x), adDeviceCoord(q[i].y)});
    }
    adClipPolygonFree(&polygon);
    adClipPolygonFree(&result);
    return out;
}

void frameInViewport(AdDrawing* drawing, const AdImageData* image, const AdMatrix4* matrix, int v,
                     AdImageFrameRecord* record) {
    AdDisplayState* state = drawing->display;
    const double w = image->size[0], h = image->size[1];
    const double steps[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    double points[8];
    DevicePoint corners[4];
    for (int k = 0; k < 4; ++k) {
        double world[3];
        for (int c = 0; c < 3; ++c)
            world[c] = image->insertion[c] + steps[k][0] * image->uVector[c] + steps[k][1] * image->vVector[c];
        adTransformToDevice(world, matrix, points + 2 * k);
        points[2 * k] += 0.5, points[2 * k + 1] += 0.5;
        corners[k] = DevicePoint{adDeviceCoord(points[2 * k]), adDeviceCoord(points[2 * k + 1])};
    }
    const std::int16_t n = adQuadCornersInViewport(drawing, points, v);
    AdDisplayState* top = adTopState(drawing);
    if (n < 2) return;
    // Seen edge-on the picture is a line.
    if (n == 2) {
        adEmitDeviceLine(drawing, points, points + 2, v);
        return;
    }
    AdClipPolygon region{};
    if (!viewportRegion(state, v, &region)) {
        adNoMemory(AD_ERR_VIEWPORT_MATRICES);
        return;
    }
    std::vector<AdClipPoint> quad;
    for (int k = 0; k < n; ++k) quad.push_back(AdClipPoint{points[2 * k], points[2 * k + 1]});
    std::vector<DevicePoint> outline = clipped(quad, &region);
    if (v != 0 && !top->extentsValid)
        for (const DevicePoint& p : outline) adWidenExtents(top, p.x, p.y);
    bool wide = false, high = false;
    for (const DevicePoint& p : outline) {
        wide = wide || p.x != outline[0].x;
        high = high || p.y != outline[0].y;
    }
    if (wide && high) {
        std::vector<AdClipPoint> boundary;
        for (std::int32_t i = 0; i < record->boundaryCount; ++i) {
            double p[3] = {record->boundary[2 * i], record->boundary[2 * i + 1], 0.0}, d[2];
            adPixelToWorld(p, image);
            adTransformToDevice(p, matrix, d);
            boundary.push_back(AdClipPoint{double(rounded(d[0])), double(rounded(d[1]))});
        }
        std::vector<DevicePoint> clip = clipped(boundary, &region);
        // A clip boundary wholly outside the viewport leaves nothing of the
        // picture to show; sent without one the host would paint it whole.
        if (boundary.size() >= 3 && clip.empty()) {
            adClipPolygonFree(&region);
            return;
        }
        for (int k = 0; k < 4; ++k) record->corners[k] = corners[k];
        record->outline = outline.data();
        record->outlineCount = static_cast<std::int32_t>(outline.size());
        record->clip = clip.empty() ? nullptr : clip.data();
        record->clipCount = static_cast<std::int32_t>(clip.size());
        if (adRender->hooks.imageFrame) adRender->hooks.imageFrame(record, drawing->userData);
        record->outline = record->clip = nullptr;
        record->outlineCount = record->clipCount = 0;
    }
    adClipPolygonFree(&region);
}

}  // namespace

int adDrawImageFrames(AdDrawing* drawing, const AdImageData* image, const AdMatrix4* matrices,
                      AdImageFrameRecord* record) {
    const AdDisplayState* state = drawing->display;
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end; ++v)
        if (adViewportDrawable(state, v)) frameInViewport(drawing, image, &matrices[v], v, record);
    return 1;
}
