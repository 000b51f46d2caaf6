// The display-list cache's slots: the quadtree over the virtual device, the
// lists' lifecycle and the writing of pen and coordinate records.
#include "toolkit/display/cache.h"
#include "toolkit/display/view.h"

#include <cstring>

namespace {

// Heap order of the quadtree (root 0, the children of n are 4n + 1 .. 4n + 4)
// to slot numbers.
constexpr std::uint8_t kHeapToSlot[AD_CACHE_SLOTS] = {
    84, 80, 81, 82, 83, 64, 65, 68, 69, 66, 67, 70, 71, 72, 73, 76, 77, 74, 75, 78, 79, 0,  1,  8,  9,  2,  3,  10, 11,
    16, 17, 24, 25, 18, 19, 26, 27, 4,  5,  12, 13, 6,  7,  14, 15, 20, 21, 28, 29, 22, 23, 30, 31, 32, 33, 40, 41, 34,
    35, 42, 43, 48, 49, 56, 57, 50, 51, 58, 59, 36, 37, 44, 45, 38, 39, 46, 47, 52, 53, 60, 61, 54, 55, 62, 63};

int heapOf(int slot) {
    for (int n = 0; n < AD_CACHE_SLOTS; ++n)
        if (kHeapToSlot[n] == slot) return n;
    return 0;
}

int cellOf(std::int32_t x, std::int32_t y) {
    if (x < 0 || y < 0 || x > 32767 || y > 32767) return -1;
    return (y >> 12) * 8 + (x >> 12);
}

AdCacheRecorder* recorderOf(AdDrawing* drawing) { return drawing->display->cacheRecorder; }

}  // namespace

const std::uint8_t adCacheReplayOrder[AD_CACHE_SLOTS] = {
    84, 80, 68, 17, 25, 24, 16, 64, 8,  0,  1,  9,  65, 10, 2,  3,  11, 69, 19, 27, 26, 18, 81, 70, 21, 29, 28, 20, 66,
    12, 4,  5,  13, 67, 14, 6,  7,  15, 71, 23, 31, 30, 22, 83, 75, 46, 38, 39, 47, 79, 55, 63, 62, 54, 78, 53, 61, 60,
    52, 74, 44, 36, 37, 45, 82, 73, 42, 34, 35, 43, 77, 51, 59, 58, 50, 76, 49, 57, 56, 48, 72, 40, 32, 33, 41};

int adCacheCommonNode(int a, int b) {
    int m = heapOf(a), n = heapOf(b);
    while (m != n) {
        if (m == 0 || n == 0) return AD_CACHE_ROOT;
        if (m > n) m = (m - 1) / 4;
        else n = (n - 1) / 4;
    }
    return kHeapToSlot[m];
}

int adCacheSlotOf(std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by) {
    const int a = cellOf(ax, ay), b = cellOf(bx, by);
    if (a < 0 || b < 0) return AD_CACHE_ROOT;
    return adRender->nodeTable[a * AD_NODE_TABLE_SIZE + b];
}

void adCacheInitSlots(AdDrawing* drawing) {
    AdCacheRecorder* r = recorderOf(drawing);
    if (!r) return;
    for (AdCacheSlot& slot : r->slots) slot = AdCacheSlot{nullptr, nullptr, 0, 0, AD_CACHE_NONE, AD_CACHE_NONE};
    r->failed = 0;
}

void adCacheFreeSlots(AdDrawing* drawing) {
    AdCacheRecorder* r = recorderOf(drawing);
    if (!r) return;
    for (AdCacheSlot& slot : r->slots) {
        if (slot.write) adStreamCloseWrite(slot.write);
        if (slot.list) adStoreFree(slot.list);
        slot.list = nullptr;
        slot.write = nullptr;
    }
}

void adCacheResetSlots(AdDrawing* drawing) {
    adCacheFreeSlots(drawing);
    adCacheInitSlots(drawing);
}

void adCacheRewind(AdDrawing* drawing) {
    AdCacheRecorder* r = recorderOf(drawing);
    adRender->cacheDrawing = drawing;
    for (AdCacheSlot& slot : r->slots) slot.lastX = slot.lastY = AD_CACHE_FAR;
    r->host = DevicePoint{0, 0};
    r->insidePolygon = 0;
    r->pixelsLeft = 0;
    r->pixelMode = 0;
    r->colour = drawing->display->penColour;
    r->weight = drawing->display->penWidth;
    if (adRender->hooks.hostMoveTo) adRender->hooks.hostMoveTo(0, 0, drawing->userData);
}

void adCacheCloseSlots(AdDrawing* drawing) {
    AdCacheRecorder* r = recorderOf(drawing);
    for (AdCacheSlot& slot : r->slots) {
        if (slot.write && !adStreamCloseWrite(slot.write)) r->failed = 1;
        slot.write = nullptr;
    }
}

int adCacheOpenSlot(AdCacheRecorder* r, int index, bool pen) {
    r->slot = index;
    AdCacheSlot& slot = r->slots[index];
    if (!slot.list) {
        slot.list = adStoreCreate(AD_STORE_BLOCK_SIZE);
        slot.write = slot.list ? adStreamOpenWrite(slot.list) : nullptr;
    }
    if (!slot.write) {
        r->failed = 1;
        return 0;
    }
    if (!pen || (slot.colour == r->colour && slot.weight == r->weight)) return 1;
    std::uint8_t record[7] = {AD_CACHE_PEN, 0};
    std::size_t length = 2;
    if (slot.colour != r->colour) {
        record[1] |= 1;
        record[length++] = static_cast<std::uint8_t>(r->colour);
    }
    if (slot.weight != r->weight) {
        record[1] |= 2;
        std::memcpy(record + length, &r->weight, 4);
        length += 4;
    }
    slot.colour = r->colour;
    slot.weight = r->weight;
    adCacheWrite(r, record, length);
    return 1;
}

void adCacheWrite(AdCacheRecorder* r, const void* bytes, std::size_t count) {
    AdCacheSlot& slot = r->slots[r->slot];
    if (!slot.write || !adStreamWrite(slot.write, bytes, static_cast<std::int32_t>(count))) r->failed = 1;
}

// Deltas of a signed byte when both fit, else absolute values; a line of
// no length is still written (a delta of 0 in y) so that it is drawn.
void adCacheWriteCoordinate(AdCacheRecorder* r, std::int16_t x, std::int16_t y, bool line) {
    AdCacheSlot& slot = r->slots[r->slot];
    const auto dx = static_cast<std::int16_t>(x - slot.lastX), dy = static_cast<std::int16_t>(y - slot.lastY);
    std::uint8_t record[5];
    std::size_t length = 1;
    std::uint8_t tag = line ? AD_CACHE_LINE : AD_CACHE_MOVE;
    const bool far = (dx >= 128 || dx <= -128) || (dy >= 128 || dy <= -128);
    if (dx == 0 && dy == 0) {
        if (!line) return;
        tag |= AD_CACHE_Y;
        record[length++] = 0;
    } else if (far) {
        tag |= AD_CACHE_ABSOLUTE;
        if (dx != 0) tag |= AD_CACHE_X, std::memcpy(record + length, &x, 2), length += 2;
        if (dy != 0) tag |= AD_CACHE_Y, std::memcpy(record + length, &y, 2), length += 2;
    } else {
        if (dx != 0) tag |= AD_CACHE_X, record[length++] = static_cast<std::uint8_t>(dx);
        if (dy != 0) tag |= AD_CACHE_Y, record[length++] = static_cast<std::uint8_t>(dy);
    }
    record[0] = tag;
    adCacheWrite(r, record, length);
    slot.lastX = x;
    slot.lastY = y;
}

