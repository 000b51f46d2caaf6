// A contour array in host memory (with hole flags for a polygon, without for
// strips) that frees everything it holds unless it is handed over: results
// are built in one and only reach the caller when complete.
#pragma once

#include "toolkit/display/clip/clip.h"

#include <cstddef>

class ClipContourStore {
public:
    // count contours without points, hole flags 0. Throws std::bad_alloc.
    ClipContourStore(std::size_t count, bool holes);
    ~ClipContourStore();
    ClipContourStore(const ClipContourStore&) = delete;
    ClipContourStore& operator=(const ClipContourStore&) = delete;

    // Gives contour i n points (none for 0) and its hole flag; throws
    // std::bad_alloc.
    AdClipPoint* contour(std::size_t i, std::size_t n, std::int32_t hole = 0);

    void handOver(AdClipPolygon& polygon);
    void handOver(AdTriStrips& strips);

private:
    std::int32_t count_ = 0;
    std::int32_t* holes_ = nullptr;
    AdClipContour* contours_ = nullptr;
};

// Releases a contour array and its points (null arrays are fine).
void adClipFreeContours(std::int32_t count, AdClipContour* contours);
