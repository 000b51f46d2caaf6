// Device lines: clipped to the viewport's rectangle, or walked through the
// clip region in force, and handed to the host as moves and lines.
#include "toolkit/display/emit.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

struct Point {
    double x, y;
};

bool nearPoint(const Point& a, const Point& b, double d) {
    return std::fabs(a.x - b.x) <= d && std::fabs(a.y - b.y) <= d;
}

int outcode(double x, double y, const double* r) {
    int code = x < r[0] ? 1 : x > r[2] ? 2 : 0;
    code |= y < r[1] ? 4 : y > r[3] ? 8 : 0;
    return code;
}

bool putSegment(AdGrowBuffer* out, std::int32_t& written, const Point& a, const Point& b) {
    const std::size_t bytes = sizeof(AdDeviceSegment) * (static_cast<std::size_t>(written) + 1);
    auto* segments = static_cast<AdDeviceSegment*>(adBufferGrow(out, bytes));
    if (!segments) {
        written = 0;
        return false;
    }
    segments[written++] = AdDeviceSegment{a.x, a.y, b.x, b.y};
    return true;
}

// The pieces of start-end inside the region: the crossings with every edge,
// sorted along the line, then walked piece by piece.
std::int32_t clipToRegion(const AdClipPolygon& region, const double* r, Point start, Point end, AdGrowBuffer* out) {
    const double d = (r[2] - r[0]) * 1e-6;
    std::vector<Point> points;
    const double s0[2] = {start.x, start.y}, s1[2] = {end.x, end.y};
    for (std::int32_t c = 0; c < region.contourCount; ++c) {
        const AdClipContour& contour = region.contours[c];
        for (std::int32_t i = 0; i < contour.vertexCount; ++i) {
            const AdClipPoint& a = contour.points[i == 0 ? contour.vertexCount - 1 : i - 1];
            const AdClipPoint& b = contour.points[i];
            const double e0[2] = {a.x, a.y}, e1[2] = {b.x, b.y};
            double found[4];
            const int n = adIntersectSegments(s0, s1, e0, e1, found);
            for (int k = 0; k < n; ++k) points.push_back(Point{found[2 * k], found[2 * k + 1]});
        }
    }
    if (points.size() > 1) {
        const bool alongY = std::fabs(end.y - start.y) >= std::fabs(end.x - start.x);
        const bool ascending = alongY ? end.y > start.y : end.x > start.x;
        std::stable_sort(points.begin(), points.end(), [&](const Point& a, const Point& b) {
            const double ka = alongY ? a.y : a.x, kb = alongY ? b.y : b.x;
            return ascending ? ka < kb : ka > kb;
        });
    }
    points.push_back(end);
    std::int32_t written = 0;
    Point s = start;
    bool unknown = true;
    for (std::size_t i = 0; i < points.size();) {
        const Point q = points[i];
        if (nearPoint(q, s, d)) {
            ++i;
            unknown = true;
            continue;
        }
        if (unknown) {
            const double mid[2] = {(s.x + q.x) / 2.0, (s.y + q.y) / 2.0};
            if (!adPointInRegion(mid, &region, d)) {
                s = q;
                unknown = false;
                ++i;
                continue;
            }
        }
        if (!putSegment(out, written, s, q)) return 0;
        // The piece after an inside piece is taken as outside.
        if (++i >= points.size()) break;
        s = points[i++];
        unknown = nearPoint(s, q, d);
    }
    return written;
}

}  // namespace

std::int32_t adClipDeviceLine(AdDrawing* drawing, const double start[2], const double end[2], int v,
                              AdGrowBuffer* out) {
    AdDisplayState* state = drawing->display;
    if (adRender->hooks.drawPoll) adPollPrimitive(drawing);
    AdDisplayState* top = adTopState(drawing);
    const AdEntityHeader* entity = adCurrentEntity();
    const bool clippedExtents = (entity->flags & AD_ENTITY_FLAG_CLIPPED_EXTENTS) != 0;
    const bool countExtents = !top->extentsValid && adRender->suppressExtents == 0 && v == 0;
    if (countExtents && !clippedExtents) {
        adWidenExtents(top, start[0], start[1]);
        adWidenExtents(top, end[0], end[1]);
    }
    const double* r = state->viewports[v].deviceRect;
    const AdClipLevel* level = state->clipStack;
    const bool region = level && (state->viewports[v].outline || level->below);
    Point a{start[0], start[1]}, b{end[0], end[1]};
    std::int32_t written = 0;
    // Each round moves one end onto one more edge: eight rounds end any line.
    for (int round = 0; round < 8; ++round) {
        int ca = outcode(a.x, a.y, r), cb = outcode(b.x, b.y, r);
        if (ca & cb) break;
        if (region) {
            try {
                written = clipToRegion(level->sets[v], r, a, b, out);
            } catch (const std::bad_alloc&) {
                adNoMemory(AD_ERR_RENDER_MEMORY);
                written = 0;
            }
            break;
        }
        if (ca == 0 && cb == 0) {
            putSegment(out, written, a, b);
            break;
        }
        if (ca == 0) {
            std::swap(a, b);
            std::swap(ca, cb);
        }
        if (ca & 8) {
            a.x += (r[3] - a.y) * (b.x - a.x) / (b.y - a.y), a.y = r[3];
        } else if (ca & 4) {
            a.x += (r[1] - a.y) * (b.x - a.x) / (b.y - a.y), a.y = r[1];
        } else if (ca & 2) {
            a.y += (b.y - a.y) / (b.x - a.x) * (r[2] - a.x), a.x = r[2];
        } else {
            a.y += (b.y - a.y) / (b.x - a.x) * (r[0] - a.x), a.x = r[0];
        }
    }
    if (written > 0 && countExtents && clippedExtents) {
        const auto* segments = static_cast<const AdDeviceSegment*>(out->data);
        adWidenExtents(top, segments[0].x1, segments[0].y1);
        adWidenExtents(top, segments[written - 1].x2, segments[written - 1].y2);
    }
    return written;
}

void adEmitDeviceLine(AdDrawing* drawing, const double start[2], const double end[2], int v) {
    AdGrowBuffer* buffer = &adRender->growBuffers[AD_BUFFER_DOUBLE];
    const std::int32_t n = adClipDeviceLine(drawing, start, end, v, buffer);
    const auto* segments = static_cast<const AdDeviceSegment*>(buffer->data);
    const AdRenderHooks& hooks = adRender->hooks;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t x1 = adDeviceCoord(segments[i].x1), y1 = adDeviceCoord(segments[i].y1);
        if ((x1 != adRender->lastPoint.x || y1 != adRender->lastPoint.y) && hooks.moveTo)
            hooks.moveTo(x1, y1, drawing->userData);
        adRender->lastPoint = DevicePoint{adDeviceCoord(segments[i].x2), adDeviceCoord(segments[i].y2)};
        if (hooks.lineTo) hooks.lineTo(adRender->lastPoint.x, adRender->lastPoint.y, drawing->userData);
    }
}
