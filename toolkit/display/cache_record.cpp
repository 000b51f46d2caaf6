// Recording a regeneration: the recording routines stand in the engine-side
// output slots, store each primitive in its slot's list and hand it on,
// converted to device units, to the host's routines.
#include "toolkit/display/cache.h"
#include "toolkit/display/emit.h"

#include <vector>

namespace {

AdDrawing* target() { return adRender->cacheDrawing; }
AdCacheRecorder* recorder() { return target()->display->cacheRecorder; }
const AdDisplayState* state() { return target()->display; }

std::int16_t virtual16(std::int32_t v) { return static_cast<std::int16_t>(v); }

DevicePoint toDevice(std::int32_t x, std::int32_t y) {
    return DevicePoint{adCacheDeviceX(state(), x), adCacheDeviceY(state(), y)};
}

// Cohen-Sutherland against the device rectangle, in 64-bit integers.
int outcode(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    return (x < 0 ? 1 : 0) | (x > w ? 2 : 0) | (y < 0 ? 4 : 0) | (y > h ? 8 : 0);
}

bool clipToDevice(std::int64_t& ax, std::int64_t& ay, std::int64_t& bx, std::int64_t& by, std::int64_t w,
                  std::int64_t h) {
    for (int round = 0; round < 8; ++round) {
        int ca = outcode(ax, ay, w, h), cb = outcode(bx, by, w, h);
        if (ca & cb) return false;
        if (ca == 0 && cb == 0) return true;
        if (ca == 0) {
            std::swap(ax, bx), std::swap(ay, by), std::swap(ca, cb);
        }
        if (ca & 8) ax += (h - ay) * (bx - ax) / (by - ay), ay = h;
        else if (ca & 4) ax += (0 - ay) * (bx - ax) / (by - ay), ay = 0;
        else if (ca & 2) ay += (w - ax) * (by - ay) / (bx - ax), ax = w;
        else ay += (0 - ax) * (by - ay) / (bx - ax), ax = 0;
    }
    return outcode(ax, ay, w, h) == 0 && outcode(bx, by, w, h) == 0;
}

void writeMoveToCurrent(AdCacheRecorder* r) {
    const AdCacheSlot& slot = r->slots[r->slot];
    if (slot.lastX != r->x || slot.lastY != r->y) adCacheWriteCoordinate(r, r->x, r->y, false);
}

}  // namespace

void adCacheEmitSegment(AdDrawing* drawing, DevicePoint a, DevicePoint b) {
    AdCacheRecorder* r = drawing->display->cacheRecorder;
    const AdCacheMapping& m = drawing->display->cache;
    std::int64_t ax = a.x, ay = a.y, bx = b.x, by = b.y;
    if (!clipToDevice(ax, ay, bx, by, m.deviceWidth, m.deviceHeight)) return;
    const AdRenderHooks& hooks = adRender->hooks;
    const DevicePoint start{static_cast<std::int32_t>(ax), static_cast<std::int32_t>(ay)};
    const DevicePoint end{static_cast<std::int32_t>(bx), static_cast<std::int32_t>(by)};
    if (start.x != r->host.x || start.y != r->host.y) {
        if (hooks.hostMoveTo) hooks.hostMoveTo(start.x, start.y, drawing->userData);
    } else if (end.x == start.x && end.y == start.y) {
        return;
    }
    if (hooks.hostLineTo) hooks.hostLineTo(end.x, end.y, drawing->userData);
    r->host = end;
}

void adRecMoveTo(std::int32_t x, std::int32_t y, void*) {
    AdCacheRecorder* r = recorder();
    r->x = virtual16(x), r->y = virtual16(y);
    r->device = toDevice(x, y);
}

void adRecLineTo(std::int32_t x, std::int32_t y, void*) {
    AdCacheRecorder* r = recorder();
    if (!r->insidePolygon && !adCacheOpenSlot(r, adCacheSlotOf(x, y, r->x, r->y), true)) return;
    writeMoveToCurrent(r);
    if (!r->insidePolygon) {
        const DevicePoint to = toDevice(x, y);
        adCacheEmitSegment(target(), r->device, to);
        r->device = to;
    }
    adCacheWriteCoordinate(r, virtual16(x), virtual16(y), true);
    r->x = virtual16(x), r->y = virtual16(y);
}

// The fill's contour goes into the list between two brackets; the fill
// itself reaches the host unclipped, in device units.
void adRecPolygon(const std::int16_t range[2], const DevicePoint* points, void* user) {
    AdCacheRecorder* r = recorder();
    const int first = range[0], last = range[1];
    if (last < first) return;
    int slot = adCacheSlotOf(points[first].x, points[first].y, points[first + (last > first)].x,
                             points[first + (last > first)].y);
    for (int i = first + 1; i < last; ++i) {
        const int edge = adCacheSlotOf(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
        slot = slot <= 63 && edge <= 63 ? adRender->nodeTable[slot * AD_NODE_TABLE_SIZE + edge]
                                        : adCacheCommonNode(slot, edge);
    }
    if (!adCacheOpenSlot(r, slot, true)) return;
    r->insidePolygon = 1;
    adCacheWrite(r, &AD_CACHE_BRACKET, 1);
    adRecMoveTo(points[first].x, points[first].y, user);
    for (int i = first + 1; i <= last; ++i) adRecLineTo(points[i].x, points[i].y, user);
    adRecLineTo(points[first].x, points[first].y, user);
    adCacheWrite(r, &AD_CACHE_BRACKET, 1);
    r->insidePolygon = 0;
    std::vector<DevicePoint> device;
    for (int i = first; i <= last; ++i) device.push_back(toDevice(points[i].x, points[i].y));
    const std::int16_t whole[2] = {0, static_cast<std::int16_t>(last - first)};
    if (adRender->hooks.hostPolygon) adRender->hooks.hostPolygon(whole, device.data(), target()->userData);
    adRender->lastPoint = points[first];
    r->host = device[0];
    adRecMoveTo(points[first].x, points[first].y, user);
}

void adRecPolyPolygon(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount, void* user) {
    AdCacheRecorder* r = recorder();
    if (contourCount <= 0 || !adCacheOpenSlot(r, AD_CACHE_ROOT, true)) return;
    r->insidePolygon = 1;
    adCacheWrite(r, &AD_CACHE_BRACKET, 1);
    std::vector<DevicePoint> device;
    std::int32_t at = 0;
    for (std::int32_t c = 0; c < contourCount; ++c) {
        for (std::int32_t i = 0; i < counts[c]; ++i) {
            const DevicePoint& p = points[at + i];
            if (i == 0) adRecMoveTo(p.x, p.y, user);
            else adRecLineTo(p.x, p.y, user);
            device.push_back(toDevice(p.x, p.y));
        }
        at += counts[c] > 0 ? counts[c] : 0;
    }
    adCacheWrite(r, &AD_CACHE_BRACKET, 1);
    r->insidePolygon = 0;
    if (device.empty()) return;
    if (adRender->hooks.hostPolyPolygon)
        adRender->hooks.hostPolyPolygon(device.data(), counts, contourCount, target()->userData);
    adRender->lastPoint = points[0];
    r->host = device[0];
    adRecMoveTo(points[0].x, points[0].y, user);
}

void adRecColor(std::int16_t colour, void* user) {
    recorder()->colour = colour;
    if (adRender->hooks.hostSetColor) adRender->hooks.hostSetColor(colour, user);
}

void adRecLineWeight(std::int32_t weight, void* user) {
    const AdCacheMapping& m = state()->cache;
    const std::int32_t device =
        m.windowWidth != 0 ? static_cast<std::int32_t>(std::int64_t{weight} * m.deviceWidth / m.windowWidth) : weight;
    recorder()->weight = device;
    if (adRender->hooks.hostLineWeight) adRender->hooks.hostLineWeight(device, user);
}

int adCacheBeginRecording(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    if (!state->cacheRecorder) {
        state->cacheRecorder = static_cast<AdCacheRecorder*>(HostAlloc(sizeof(AdCacheRecorder)));
        if (!state->cacheRecorder) {
            adNoMemory(AD_ERR_RENDER_MEMORY);
            return 0;
        }
        *state->cacheRecorder = AdCacheRecorder{};
        adCacheInitSlots(drawing);
    }
    AdRenderHooks& hooks = adRender->hooks;
    hooks.moveTo = adRecMoveTo;
    hooks.lineTo = adRecLineTo;
    hooks.polygon = adRecPolygon;
    hooks.polyPolygon = adRecPolyPolygon;
    hooks.setColor = adRecColor;
    hooks.lineWeight = adRecLineWeight;
    hooks.imageDraw = hooks.hostImageDraw ? adRecImageRows : nullptr;
    hooks.oleFrame = hooks.hostOleFrame ? adRecOleFrame : nullptr;
    hooks.imageFrame = hooks.hostImageFrame ? adRecImageFrame : nullptr;
    state->deviceScale = state->virtualScale;
    return 1;
}

void adCacheEndRecording(AdDrawing* drawing) {
    AdRenderHooks& hooks = adRender->hooks;
    hooks.moveTo = hooks.hostMoveTo;
    hooks.lineTo = hooks.hostLineTo;
    hooks.polygon = adPassPolygon;
    hooks.polyPolygon = adPassPolyPolygon;
    hooks.setColor = hooks.hostSetColor;
    hooks.lineWeight = hooks.hostLineWeight;
    hooks.imageDraw = hooks.hostImageDraw;
    hooks.oleFrame = hooks.hostOleFrame;
    hooks.imageFrame = hooks.hostImageFrame;
    drawing->display->deviceScale = 1.0;
}
