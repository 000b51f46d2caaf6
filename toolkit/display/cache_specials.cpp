// Raster command blocks, OLE frames and the frames of host-drawn images in
// the display-list cache: stored whole in the root slot, in virtual units,
// and converted to device units each time they reach the host.
//
// An image frame keeps only the host's identifier of its picture. The host
// releases a picture when the display that opened it ends (the pictures of
// external references included, which the top-level display keeps), and
// the lists go with that display, so no list outlives a picture it names.
#include "toolkit/display/cache.h"
#include "toolkit/display/image.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

AdDrawing* target() { return adRender->cacheDrawing; }

double getDouble(const std::uint8_t* p) {
    double v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
void putDouble(std::uint8_t* p, double v) { std::memcpy(p, &v, sizeof v); }
std::int32_t get32(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

constexpr std::int32_t kEntrySize = 48;

}  // namespace

// Pixel data is skipped by the countdown its piece started, which runs on
// from one block into the next.
void adCacheSendImageRows(AdDrawing* drawing, std::uint8_t* block, std::int16_t length) {
    const AdDisplayState* state = drawing->display;
    AdCacheRecorder* r = state->cacheRecorder;
    std::int32_t at = 0;
    while (at < length) {
        if (r->pixelsLeft > 0) {
            const bool bits = r->pixelMode == AD_RASTER_MODE_BITS;
            r->pixelsLeft -= bits ? 8 : 1;
            at += bits ? 1 : 3;
            continue;
        }
        if (at + 4 > length) break;
        const std::int32_t tag = get32(block + at);
        if (tag == AD_RASTER_IMAGE_HEADER && at + 16 <= length) {
            r->pixelMode = get32(block + at + 12);
            at += 16;
        } else if (tag == AD_RASTER_ROW_PIECE && at + static_cast<std::int32_t>(AD_RASTER_PIECE_SIZE) <= length) {
            std::uint8_t* entry = block + at + 4;
            for (int e = 0; e < 2; ++e, entry += kEntrySize) {
                putDouble(entry, adCacheDeviceXd(state, getDouble(entry)));
                putDouble(entry + 8, adCacheDeviceYd(state, getDouble(entry + 8)));
            }
            r->pixelsLeft = get32(entry);
            const AdCacheMapping& m = state->cache;
            if (m.windowWidth != 0) putDouble(entry + 4, getDouble(entry + 4) * m.deviceWidth / m.windowWidth);
            if (m.windowHeight != 0) putDouble(entry + 12, getDouble(entry + 12) * m.deviceHeight / m.windowHeight);
            at += static_cast<std::int32_t>(AD_RASTER_PIECE_SIZE);
        } else {
            at += 4;
        }
    }
    if (adRender->hooks.hostImageDraw) adRender->hooks.hostImageDraw(block, length, drawing->userData);
}

void adCacheSendOleFrame(AdDrawing* drawing, AdOleFrameRecord* frame) {
    const AdDisplayState* state = drawing->display;
    frame->left = adCacheDeviceX(state, frame->left);
    frame->top = adCacheDeviceY(state, frame->top);
    frame->right = adCacheDeviceX(state, frame->right);
    frame->bottom = adCacheDeviceY(state, frame->bottom);
    for (std::int32_t i = 0; i < frame->outlineCount; ++i)
        frame->outline[i] = DevicePoint{adCacheDeviceX(state, frame->outline[i].x), adCacheDeviceY(state, frame->outline[i].y)};
    if (adRender->hooks.hostOleFrame) adRender->hooks.hostOleFrame(frame, drawing->userData);
}

// The outline and the clip boundary are cut to the device as well: a
// replayed view may show only part of what was recorded. A frame left
// without an outline, or with a clip boundary none of which is left, shows
// nothing and is not sent.
void adCacheSendImageFrame(AdDrawing* drawing, AdImageFrameRecord* frame) {
    const AdDisplayState* state = drawing->display;
    const auto convert = [state](DevicePoint p) {
        return DevicePoint{adCacheDeviceX(state, p.x), adCacheDeviceY(state, p.y)};
    };
    for (DevicePoint& p : frame->corners) p = convert(p);
    const std::int32_t rect[4] = {0, 0, state->cache.deviceWidth, state->cache.deviceHeight};
    std::vector<DevicePoint> outline, clip;
    for (std::int32_t i = 0; i < frame->outlineCount; ++i) outline.push_back(convert(frame->outline[i]));
    for (std::int32_t i = 0; i < frame->clipCount; ++i) clip.push_back(convert(frame->clip[i]));
    // Points all on the device keep their order.
    const auto cut = [&rect](std::vector<DevicePoint>& points) {
        const bool inside = std::all_of(points.begin(), points.end(), [&rect](const DevicePoint& p) {
            return p.x >= rect[0] && p.x <= rect[2] && p.y >= rect[1] && p.y <= rect[3];
        });
        return inside ? static_cast<std::int32_t>(points.size()) : adCacheClipPolygon(points, rect);
    };
    if (outline.empty() || cut(outline) < 3) return;
    if (!clip.empty() && cut(clip) < 3) return;
    AdImageFrameRecord device = *frame;
    device.outline = outline.data();
    device.outlineCount = static_cast<std::int32_t>(outline.size());
    device.clip = clip.empty() ? nullptr : clip.data();
    device.clipCount = static_cast<std::int32_t>(clip.size());
    if (adRender->hooks.hostImageFrame) adRender->hooks.hostImageFrame(&device, drawing->userData);
}

void adRecImageRows(const std::uint8_t* block, std::int16_t length, void*) {
    AdCacheRecorder* r = target()->display->cacheRecorder;
    if (length <= 0) return;
    if (adCacheOpenSlot(r, AD_CACHE_ROOT, false)) {
        const std::uint8_t head[4] = {AD_CACHE_SPECIAL, AD_CACHE_IMAGE_ROWS, static_cast<std::uint8_t>(length & 0xff),
                                      static_cast<std::uint8_t>(length >> 8)};
        adCacheWrite(r, head, sizeof head);
        adCacheWrite(r, block, static_cast<std::size_t>(length));
    }
    std::vector<std::uint8_t> copy(block, block + length);
    adCacheSendImageRows(target(), copy.data(), length);
}

void adRecOleFrame(AdOleFrameRecord* frame, void*) {
    AdCacheRecorder* r = target()->display->cacheRecorder;
    const std::int32_t count = frame->outlineCount > 0 ? frame->outlineCount : 0;
    const std::int32_t size = adStoreSize(frame->picture);
    if (adCacheOpenSlot(r, AD_CACHE_ROOT, false)) {
        const std::uint8_t head[2] = {AD_CACHE_SPECIAL, AD_CACHE_OLE_FRAME};
        const std::int32_t values[6] = {frame->left, frame->top, frame->right, frame->bottom, size, count};
        adCacheWrite(r, head, sizeof head);
        adCacheWrite(r, values, sizeof values);
        adCacheWrite(r, frame->outline, sizeof(DevicePoint) * static_cast<std::size_t>(count));
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        AdStream* in = adStreamOpenRead(frame->picture);
        if (in && size > 0 && adStreamRead(in, bytes.data(), size)) adCacheWrite(r, bytes.data(), bytes.size());
        else if (size > 0) r->failed = 1;
        adStreamCloseRead(in);
    }
    std::vector<DevicePoint> outline(frame->outline, frame->outline + count);
    AdOleFrameRecord copy = *frame;
    copy.outline = outline.data();
    adCacheSendOleFrame(target(), &copy);
}

// The frame's identifier, corners and both point lists; the picture's own
// clip boundary in pixel coordinates stays out of the list.
void adRecImageFrame(AdImageFrameRecord* frame, void*) {
    AdCacheRecorder* r = target()->display->cacheRecorder;
    const std::int32_t outlineCount = frame->outline && frame->outlineCount > 0 ? frame->outlineCount : 0;
    const std::int32_t clipCount = frame->clip && frame->clipCount > 0 ? frame->clipCount : 0;
    if (adCacheOpenSlot(r, AD_CACHE_ROOT, false)) {
        const std::uint8_t head[2] = {AD_CACHE_SPECIAL, AD_CACHE_IMAGE_FRAME};
        adCacheWrite(r, head, sizeof head);
        adCacheWrite(r, &frame->hostImage, 4);
        adCacheWrite(r, frame->corners, sizeof frame->corners);
        adCacheWrite(r, &outlineCount, 4);
        adCacheWrite(r, frame->outline, sizeof(DevicePoint) * static_cast<std::size_t>(outlineCount));
        adCacheWrite(r, &clipCount, 4);
        adCacheWrite(r, frame->clip, sizeof(DevicePoint) * static_cast<std::size_t>(clipCount));
    }
    AdImageFrameRecord copy = *frame;
    copy.outlineCount = outlineCount, copy.clipCount = clipCount;
    adCacheSendImageFrame(target(), &copy);
}

namespace {

// A count of points and the points that follow it; false when the list
// ends first.
bool readPoints(const std::uint8_t* bytes, std::size_t size, std::size_t& at, std::vector<DevicePoint>& points) {
    if (at + 4 > size) return false;
    const std::int32_t count = get32(bytes + at);
    at += 4;
    if (count < 0 || static_cast<std::size_t>(count) > (size - at) / sizeof(DevicePoint)) return false;
    points.resize(static_cast<std::size_t>(count));
    if (count > 0) std::memcpy(points.data(), bytes + at, points.size() * sizeof(DevicePoint));
    at += points.size() * sizeof(DevicePoint);
    return true;
}

bool replayImageRows(AdDrawing* drawing, const std::uint8_t* bytes, std::size_t size, std::size_t& at) {
    if (at + 2 > size) return false;
    const std::int16_t n = static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8);
    at += 2;
    if (n <= 0 || static_cast<std::size_t>(n) > size - at) return false;
    std::vector<std::uint8_t> block(bytes + at, bytes + at + n);
    at += static_cast<std::size_t>(n);
    adCacheSendImageRows(drawing, block.data(), n);
    return true;
}

bool replayOleFrame(AdDrawing* drawing, const std::uint8_t* bytes, std::size_t size, std::size_t& at) {
    std::int32_t v[6];
    if (at + sizeof v > size) return false;
    std::memcpy(v, bytes + at, sizeof v);
    at += sizeof v;
    const std::size_t points = static_cast<std::size_t>(v[5]) * sizeof(DevicePoint);
    if (v[4] < 0 || v[5] < 0 || points > size - at || static_cast<std::size_t>(v[4]) > size - at - points) return false;
    std::vector<DevicePoint> outline(static_cast<std::size_t>(v[5]));
    if (!outline.empty()) std::memcpy(outline.data(), bytes + at, points);
    at += points;
    AdStore* picture = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = picture ? adStreamOpenWrite(picture) : nullptr;
    bool ok = out && (v[4] == 0 || adStreamWrite(out, bytes + at, v[4]));
    if (out) ok = adStreamCloseWrite(out) && ok;
    at += static_cast<std::size_t>(v[4]);
    if (!ok) {
        if (picture) adStoreFree(picture);
        adNoMemory(AD_ERR_RENDER_MEMORY);
        return false;
    }
    AdOleFrameRecord frame{picture, v[4], v[0], v[1], v[2], v[3], v[5], outline.data()};
    adCacheSendOleFrame(drawing, &frame);
    adStoreFree(picture);
    return true;
}

bool replayImageFrame(AdDrawing* drawing, const std::uint8_t* bytes, std::size_t size, std::size_t& at) {
    AdImageFrameRecord frame{};
    if (at + 4 + sizeof frame.corners > size) return false;
    frame.hostImage = get32(bytes + at);
    std::memcpy(frame.corners, bytes + at + 4, sizeof frame.corners);
    at += 4 + sizeof frame.corners;
    std::vector<DevicePoint> outline, clip;
    if (!readPoints(bytes, size, at, outline) || !readPoints(bytes, size, at, clip)) return false;
    frame.outlineCount = static_cast<std::int32_t>(outline.size());
    frame.clipCount = static_cast<std::int32_t>(clip.size());
    frame.outline = outline.empty() ? nullptr : outline.data();
    frame.clip = clip.empty() ? nullptr : clip.data();
    adCacheSendImageFrame(drawing, &frame);
    return true;
}

}  // namespace

bool adCacheReplaySpecial(AdDrawing* drawing, std::uint8_t subtype, const std::uint8_t* bytes, std::size_t size,
                          std::size_t& at) {
    switch (subtype) {
        case AD_CACHE_IMAGE_ROWS: return replayImageRows(drawing, bytes, size, at);
        case AD_CACHE_OLE_FRAME: return replayOleFrame(drawing, bytes, size, at);
        case AD_CACHE_IMAGE_FRAME: return replayImageFrame(drawing, bytes, size, at);
        default: return false;
    }
}
