// Replaying the display-list cache: the slots whose cells the cache window
// overlaps, in the fixed replay order (every node before the nodes below
// it), decoded into the host's routines in device units, with the draw
// poll, progress and the draw continue flag.
#include "toolkit/display/cache.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct Replay {
    AdDrawing* drawing;
    AdDisplayState* state;
    AdCacheRecorder* r;
    std::int32_t rect[4];  // the device rectangle
    std::int64_t total;
    std::int64_t done;
    std::int64_t step;
    std::int64_t threshold;
    // Virtual to device units: a multiplication where the recording divides,
    // which may put a point one device unit further toward zero.
    double scaleX, scaleY;
    std::int32_t windowX, windowY;

    DevicePoint device(std::uint16_t x, std::uint16_t y) const {
        return DevicePoint{static_cast<std::int32_t>((std::int32_t{x} - windowX) * scaleX),
                           static_cast<std::int32_t>((std::int32_t{y} - windowY) * scaleY)};
    }
};

void visibleSlots(const AdCacheMapping& m, bool visible[AD_CACHE_SLOTS]) {
    const std::int32_t x1 = m.windowX, y1 = m.windowY, x2 = m.windowX + m.windowWidth, y2 = m.windowY + m.windowHeight;
    std::memset(visible, 0, AD_CACHE_SLOTS);
    bool any = false;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            if (column * 4096 + 4095 < x1 || column * 4096 > x2 || row * 4096 + 4095 < y1 || row * 4096 > y2) continue;
            visible[row * 8 + column] = true;
            visible[64 + (row / 2) * 4 + column / 2] = true;
            visible[80 + (row / 4) * 2 + column / 4] = true;
            any = true;
        }
    visible[AD_CACHE_ROOT] = any;
}

void sendPolygon(Replay& p, std::vector<std::vector<DevicePoint>>& contours) {
    const AdRenderHooks& hooks = adRender->hooks;
    void* user = p.drawing->userData;
    if (contours.size() == 1) {
        std::vector<DevicePoint>& c = contours[0];
        if (adCacheClipPolygon(c, p.rect) < 3 || !hooks.hostPolygon) return;
        const std::int16_t range[2] = {0, static_cast<std::int16_t>(c.size() > 32767 ? 32766 : c.size() - 1)};
        hooks.hostPolygon(range, c.data(), user);
        return;
    }
    AdClipPolygon subject{}, box{}, result{};
    std::vector<std::int32_t> sizes;
    for (const auto& c : contours) sizes.push_back(static_cast<std::int32_t>(c.size()));
    const std::int32_t n = static_cast<std::int32_t>(contours.size());
    const AdClipPoint corners[4] = {{double(p.rect[0]), double(p.rect[1])}, {double(p.rect[2]), double(p.rect[1])},
                                    {double(p.rect[2]), double(p.rect[3])}, {double(p.rect[0]), double(p.rect[3])}};
    if (adClipPolygonAlloc(&subject, n, sizes.data()) && adClipPolygonFromPoints(&box, 4, corners)) {
        for (std::int32_t c = 0; c < n; ++c) {
            AdClipPoint* out = adClipPolygonContourPoints(&subject, c);
            for (std::size_t i = 0; i < contours[c].size(); ++i)
                out[i] = AdClipPoint{double(contours[c][i].x), double(contours[c][i].y)};
        }
        if (adClipIntersect(&subject, &box, &result) > 0 && hooks.hostPolyPolygon) {
            std::vector<DevicePoint> points;
            std::vector<std::int32_t> counts;
            for (std::int32_t c = 0; c < adClipPolygonContourCount(&result); ++c) {
                const std::int32_t size = adClipPolygonContourSize(&result, c);
                const AdClipPoint* q = adClipPolygonContourPoints(&result, c);
                for (std::int32_t i = 0; i < size; ++i)
                    points.push_back(DevicePoint{static_cast<std::int32_t>(q[i].x), static_cast<std::int32_t>(q[i].y)});
                counts.push_back(size);
            }
            if (!points.empty())
                hooks.hostPolyPolygon(points.data(), counts.data(), static_cast<std::int32_t>(counts.size()), user);
        }
    }
    adClipPolygonFree(&subject);
    adClipPolygonFree(&box);
    adClipPolygonFree(&result);
}

// After every record but a pen and a closing bracket: the poll, progress,
// and whether the draw goes on.
bool afterRecord(Replay& p, std::int64_t consumed) {
    const AdRenderHooks& hooks = adRender->hooks;
    void* user = p.drawing->userData;
    if (hooks.drawPoll && ++p.state->emitted >= adRenderValues.pollInterval) {
        p.state->emitted = 0;
        hooks.drawPoll(user);
    }
    const std::int64_t bytes = p.done + consumed;
    if (hooks.drawProgress && bytes >= p.threshold) {
        hooks.drawProgress(static_cast<std::int16_t>(bytes * 100 / p.total), user);
        while (p.threshold <= bytes) p.threshold += p.step;
    }
    return adRenderValues.drawContinue != 0;
}

// The list's bytes into the replay's buffer, which grows to the largest
// list and is used again for the next.
void listBytes(AdStore* list, std::vector<std::uint8_t>& bytes) {
    bytes.resize(static_cast<std::size_t>(adStoreSize(list)));
    AdStream* in = adStreamOpenRead(list);
    if (!in || (!bytes.empty() && !adStreamRead(in, bytes.data(), static_cast<std::int32_t>(bytes.size()))))
        bytes.clear();
    adStreamCloseRead(in);
}

void replaySlot(Replay& p, AdStore* list, std::vector<std::uint8_t>& bytes) {
    listBytes(list, bytes);
    const AdRenderHooks& hooks = adRender->hooks;
    AdCacheRecorder* r = p.r;
    void* user = p.drawing->userData;
    adRenderValues.drawContinue = 1;
    r->host = DevicePoint{0, 0};
    if (hooks.hostMoveTo) hooks.hostMoveTo(0, 0, user);
    std::int16_t colour = 7;
    if (hooks.hostSetColor) hooks.hostSetColor(7, user);
    std::int32_t weight = 0;
    if (hooks.hostLineWeight) hooks.hostLineWeight(0, user);
    r->pixelsLeft = 0;
    std::uint16_t x = 0, y = 0;
    DevicePoint current{0, 0};
    bool polygon = false, contourStarted = false;
    std::vector<std::vector<DevicePoint>> contours;
    const std::size_t size = bytes.size();
    std::size_t at = 0;
    const auto need = [&](std::size_t n) { return at + n <= size; };
    while (at < size) {
        const std::uint8_t tag = bytes[at++];
        bool counts = true;
        if (tag & AD_CACHE_PEN) {
            counts = false;
            if (!need(1)) break;
            const std::uint8_t flags = bytes[at++];
            if (flags & 1) {
                if (!need(1)) break;
                const std::int16_t c = bytes[at++];
                if (c != colour && hooks.hostSetColor) hooks.hostSetColor(c, user);
                colour = c;
            }
            if (flags & 2) {
                if (!need(4)) break;
                std::int32_t w;
                std::memcpy(&w, &bytes[at], 4);
                at += 4;
                if (w != weight && hooks.hostLineWeight) hooks.hostLineWeight(w, user);
                weight = w;
            }
        } else if (tag & AD_CACHE_BRACKET) {
            if (!polygon) {
                polygon = true, contourStarted = false;
                contours.clear();
            } else {
                polygon = false, counts = false;
                if (!contours.empty()) sendPolygon(p, contours);
            }
        } else if (tag & AD_CACHE_SPECIAL) {
            if (!need(1)) break;
            const std::uint8_t subtype = bytes[at++];
            if (!adCacheReplaySpecial(p.drawing, subtype, bytes.data(), size, at)) break;
        } else {
            const bool absolute = (tag & AD_CACHE_ABSOLUTE) != 0;
            const std::size_t width = absolute ? 2 : 1;
            if (!need(((tag & AD_CACHE_X) ? width : 0) + ((tag & AD_CACHE_Y) ? width : 0))) break;
            for (const std::uint8_t axis : {AD_CACHE_X, AD_CACHE_Y}) {
                if (!(tag & axis)) continue;
                std::uint16_t& value = axis == AD_CACHE_X ? x : y;
                if (absolute) value = static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
                else value = static_cast<std::uint16_t>(value + static_cast<std::int8_t>(bytes[at]));
                at += width;
            }
            const DevicePoint device = p.device(x, y);
            if (polygon) {
                if ((tag & AD_CACHE_MOVE) || !contourStarted) contours.emplace_back();
                contourStarted = true;
                contours.back().push_back(device);
            } else if (tag & AD_CACHE_MOVE) {
                current = device;
            } else {
                adCacheEmitSegment(p.drawing, current, device);
                current = device;
            }
        }
        if (counts && !afterRecord(p, static_cast<std::int64_t>(at))) break;
    }
}

}  // namespace

void adCacheReplay(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    AdCacheRecorder* r = state->cacheRecorder;
    if (!r) return;
    adRender->cacheDrawing = drawing;
    bool visible[AD_CACHE_SLOTS];
    visibleSlots(state->cache, visible);
    const AdCacheMapping& m = state->cache;
    Replay p{drawing, state, r, {0, 0, m.deviceWidth, m.deviceHeight}, 0, 0, 1, 0,
             m.windowWidth ? static_cast<double>(m.deviceWidth) / m.windowWidth : 1.0,
             m.windowHeight ? static_cast<double>(m.deviceHeight) / m.windowHeight : 1.0,
             m.windowWidth ? m.windowX : 0, m.windowHeight ? m.windowY : 0};
    for (int slot = 0; slot < AD_CACHE_SLOTS; ++slot)
        if (visible[slot]) p.total += adStoreSize(r->slots[slot].list);
    p.step = p.total / 20 > 1 ? p.total / 20 : 1;
    p.threshold = p.step;
    std::vector<std::uint8_t> bytes;
    for (const std::uint8_t slot : adCacheReplayOrder) {
        if (!visible[slot] || !r->slots[slot].list) continue;
        replaySlot(p, r->slots[slot].list, bytes);
        p.done += adStoreSize(r->slots[slot].list);
        if (!adRenderValues.drawContinue) break;
    }
    adRender->lastPoint = DevicePoint{AD_UNKNOWN_DEVICE_POINT, AD_UNKNOWN_DEVICE_POINT};
    if (adRender->hooks.drawProgress) adRender->hooks.drawProgress(100, drawing->userData);
}

// Sutherland-Hodgman against the four edges, whose inside is the same for
// either orientation of the contour. Only a contour without area is
// dropped: judging it by its first three vertices would let a contour whose
// first three are collinear through unclipped.
std::int32_t adCacheClipPolygon(std::vector<DevicePoint>& contour, const std::int32_t rect[4]) {
    double area = 0.0;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const DevicePoint& a = contour[i];
        const DevicePoint& b = contour[(i + 1) % contour.size()];
        area += double(a.x) * b.y - double(b.x) * a.y;
    }
    if (area == 0.0) return 0;
    const DevicePoint edges[4][2] = {{{rect[0], rect[3]}, {rect[0], rect[1]}},
                                     {{rect[0], rect[1]}, {rect[2], rect[1]}},
                                     {{rect[2], rect[1]}, {rect[2], rect[3]}},
                                     {{rect[2], rect[3]}, {rect[0], rect[3]}}};
    std::vector<DevicePoint> out;
    for (const auto& edge : edges) {
        const DevicePoint a = edge[0], b = edge[1];
        const auto s = [&](const DevicePoint& q) {
            return (double(b.x) - a.x) * (double(q.y) - a.y) - (double(b.y) - a.y) * (double(q.x) - a.x);
        };
        out.clear();
        DevicePoint previous = contour.back();
        double sp = s(previous);
        for (const DevicePoint& cur : contour) {
            const double sc = s(cur);
            if (sp >= 0.0) out.push_back(previous);
            if ((sp > 0.0 && sc < 0.0) || (sp < 0.0 && sc > 0.0)) {
                const double wp = std::fabs(sp), wc = std::fabs(sc);
                out.push_back(DevicePoint{static_cast<std::int32_t>((wc * previous.x + wp * cur.x) / (wp + wc)),
                                          static_cast<std::int32_t>((wc * previous.y + wp * cur.y) / (wp + wc))});
            }
            previous = cur, sp = sc;
        }
        contour.swap(out);
        if (contour.size() < 3) return static_cast<std::int32_t>(contour.size());
    }
    return static_cast<std::int32_t>(contour.size());
}
