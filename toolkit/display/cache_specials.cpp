// Raster command blocks and OLE frames in the display-list cache: stored
// whole in the root slot, in virtual units, and converted to device units
// each time they reach the host.
#include "toolkit/display/cache.h"
#include "toolkit/display/image.h"

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
