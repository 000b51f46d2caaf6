// The display-list cache: while caching is on, a regeneration draws into a
// virtual device 32000 units on its longer side and records every output
// primitive into 85 display lists (slots) that form a quadtree over it; a
// later draw of a view inside the cached one replays only the slots whose
// cells the view overlaps, without walking the drawing. Internal to the
// engine.
//
// A slot's list is a byte stream of records, each starting with a tag byte:
// - bit 7 (0x80): pen; a flags byte (bit 0 colour, bit 1 line weight), then
//   the colour's low byte and the device line weight as 4 bytes (the whole
//   width: a byte would turn a pen 300 units wide into one 44 wide);
// - 0x40: polygon bracket, opening and then closing a polygon;
// - 0x20: special; a subtype byte (0 raster command block, 1 OLE frame,
//   2 frame of a host-drawn image) and its body;
// - otherwise a coordinate: bit 0 move, bit 1 line, bit 2 absolute 16-bit
//   values instead of signed 8-bit deltas, bit 3 x present, bit 4 y present.
#pragma once
#include "toolkit/display/render_state.h"

#include <vector>

constexpr int AD_CACHE_SLOTS = 85;
constexpr int AD_CACHE_ROOT = 84;
constexpr std::int16_t AD_CACHE_NONE = -32000;
constexpr std::int16_t AD_CACHE_FAR = -10000;  // a slot's last point before its first record

constexpr std::uint8_t AD_CACHE_PEN = 0x80;
constexpr std::uint8_t AD_CACHE_BRACKET = 0x40;
constexpr std::uint8_t AD_CACHE_SPECIAL = 0x20;
constexpr std::uint8_t AD_CACHE_MOVE = 0x01;
constexpr std::uint8_t AD_CACHE_LINE = 0x02;
constexpr std::uint8_t AD_CACHE_ABSOLUTE = 0x04;
constexpr std::uint8_t AD_CACHE_X = 0x08;
constexpr std::uint8_t AD_CACHE_Y = 0x10;
constexpr std::uint8_t AD_CACHE_IMAGE_ROWS = 0;
constexpr std::uint8_t AD_CACHE_OLE_FRAME = 1;
constexpr std::uint8_t AD_CACHE_IMAGE_FRAME = 2;

struct AdCacheSlot {
    AdStore* list;  // null until the slot's first record
    AdStream* write;
    std::int16_t lastX, lastY;  // where the slot's last coordinate record ended
    std::int16_t colour;        // last written, AD_CACHE_NONE when none
    std::int32_t weight;
};

struct AdCacheRecorder {
    AdCacheSlot slots[AD_CACHE_SLOTS];
    std::int16_t x, y;   // the current point, virtual units
    DevicePoint device;  // the current point on the device
    DevicePoint host;    // where the host's pen stands
    std::int16_t colour;
    std::int32_t weight;  // device units
    std::uint8_t insidePolygon;
    int slot;  // the current slot
    // A raster command block's pixels may run on into the next block.
    std::int32_t pixelsLeft;
    std::int32_t pixelMode;
    std::uint8_t failed;  // a list could not be written: the cache stays invalid
};

// The replay order: every node before the nodes below it.
extern const std::uint8_t adCacheReplayOrder[AD_CACHE_SLOTS];

int adCacheCommonNode(int a, int b);
// The slot of the smallest node holding both points (virtual units); the
// root for a point outside the virtual device.
int adCacheSlotOf(std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by);

void adCacheInitSlots(AdDrawing* drawing);
void adCacheFreeSlots(AdDrawing* drawing);
void adCacheResetSlots(AdDrawing* drawing);
void adCacheRewind(AdDrawing* drawing);
void adCacheCloseSlots(AdDrawing* drawing);
// 1 when recording could begin (the recorder exists).
int adCacheBeginRecording(AdDrawing* drawing);
void adCacheEndRecording(AdDrawing* drawing);
void adCacheReplay(AdDrawing* drawing);

// Writing into the current slot: opens its list when needed and writes the
// pen record first when the pen changed; 0 when the list cannot be written.
int adCacheOpenSlot(AdCacheRecorder* recorder, int slot, bool pen);
void adCacheWrite(AdCacheRecorder* recorder, const void* bytes, std::size_t count);
void adCacheWriteCoordinate(AdCacheRecorder* recorder, std::int16_t x, std::int16_t y, bool line);

// Virtual units to device units through the cache window, truncated
// toward zero. Inline: a replay converts every point it reads.
inline double adCacheDeviceXd(const AdDisplayState* state, double x) {
    const AdCacheMapping& m = state->cache;
    return m.windowWidth == 0 ? x : (x - m.windowX) * m.deviceWidth / m.windowWidth;
}
inline double adCacheDeviceYd(const AdDisplayState* state, double y) {
    const AdCacheMapping& m = state->cache;
    return m.windowHeight == 0 ? y : (y - m.windowY) * m.deviceHeight / m.windowHeight;
}
inline std::int32_t adCacheDeviceX(const AdDisplayState* state, std::int32_t x) {
    const AdCacheMapping& m = state->cache;
    return m.windowWidth == 0 ? x : static_cast<std::int32_t>((std::int64_t{x} - m.windowX) * m.deviceWidth / m.windowWidth);
}
inline std::int32_t adCacheDeviceY(const AdDisplayState* state, std::int32_t y) {
    const AdCacheMapping& m = state->cache;
    return m.windowHeight == 0 ? y
                               : static_cast<std::int32_t>((std::int64_t{y} - m.windowY) * m.deviceHeight / m.windowHeight);
}
// Draws a device segment, clipped to the device, with move elision.
void adCacheEmitSegment(AdDrawing* drawing, DevicePoint a, DevicePoint b);
// The special primitives converted to device units and handed to the host.
void adCacheSendImageRows(AdDrawing* drawing, std::uint8_t* block, std::int16_t length);
void adCacheSendOleFrame(AdDrawing* drawing, AdOleFrameRecord* frame);
void adCacheSendImageFrame(AdDrawing* drawing, AdImageFrameRecord* frame);
// Replays the body of a special record of the given subtype that starts at
// bytes[at]; moves at past it. False when the body runs past the list's
// end or memory runs out: the slot's replay ends.
bool adCacheReplaySpecial(AdDrawing* drawing, std::uint8_t subtype, const std::uint8_t* bytes, std::size_t size,
                          std::size_t& at);

// The recording routines that stand in the engine-side slots.
void adRecMoveTo(std::int32_t x, std::int32_t y, void* user);
void adRecLineTo(std::int32_t x, std::int32_t y, void* user);
void adRecPolygon(const std::int16_t range[2], const DevicePoint* points, void* user);
void adRecPolyPolygon(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount, void* user);
void adRecColor(std::int16_t colour, void* user);
void adRecLineWeight(std::int32_t weight, void* user);
void adRecImageRows(const std::uint8_t* block, std::int16_t length, void* user);
void adRecOleFrame(AdOleFrameRecord* frame, void* user);
void adRecImageFrame(AdImageFrameRecord* frame, void* user);

// The replay's polygon clip to the device rectangle: one contour in place
// (answers the vertices left), several through the polygon clipper.
std::int32_t adCacheClipPolygon(std::vector<DevicePoint>& contour, const std::int32_t rect[4]);
