// The island rules of solid hatches: which loops lie inside which, and which
// of the nested ones the hatch style leaves out.
#include "toolkit/display/fill.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

struct Box {
    double b[4] = {1e300, 1e300, -1e300, -1e300};
    void widen(double x, double y) {
        b[0] = std::min(b[0], x), b[1] = std::min(b[1], y);
        b[2] = std::max(b[2], x), b[3] = std::max(b[3], y);
    }
};

void dropIslands(std::int32_t loopCount, std::uint16_t* counts, AdStore* const* stores, std::int16_t style) {
    const std::size_t n = static_cast<std::size_t>(loopCount);
    std::vector<std::vector<AdSegment>> loops(n);
    std::vector<Box> boxes(n);
    std::vector<std::int16_t> nesting(n, 0);
    Box all;
    for (std::size_t l = 0; l < n; ++l) {
        if (!adReadSegments(stores[l], counts[l], &loops[l])) loops[l].clear();
        for (const AdSegment& s : loops[l]) {
            boxes[l].widen(s.x0, s.y0), boxes[l].widen(s.x1, s.y1);
            all.widen(s.x0, s.y0), all.widen(s.x1, s.y1);
        }
    }
    const double tolerance = std::max(all.b[2] - all.b[0], all.b[3] - all.b[1]) / 100000.0;
    for (std::size_t r = 0; r < n; ++r) {
        if (counts[r] == 0) continue;
        for (std::size_t g = 0; g < n; ++g) {
            if (g == r || counts[g] == 0 || !adHatchBoxesOverlap(boxes[r].b, boxes[g].b)) continue;
            bool inside = !loops[r].empty(), onVertex = false;
            for (const AdSegment& s : loops[r]) {
                std::uint8_t vertex = 0;
                if (!adHatchPointInLoop(loops[g].data(), static_cast<std::uint16_t>(loops[g].size()), s.x0, s.y0,
                                        tolerance, &vertex)) {
                    inside = false;
                    break;
                }
                onVertex = onVertex || vertex;
            }
            if (!inside) continue;
            if (nesting[r] < INT16_MAX) ++nesting[r];
            if (onVertex) {
                counts[r] = 0;
                break;
            }
            if (style != 0 && nesting[r] > 1) break;
        }
    }
    for (std::size_t l = 0; l < n; ++l)
        if ((style == 1 && nesting[l] > 1) || (style == 2 && nesting[l] >= 1)) counts[l] = 0;
}

}  // namespace

int adHatchBoxesOverlap(const double a[4], const double b[4]) {
    return !(a[2] < b[0] || b[2] < a[0] || a[3] < b[1] || b[3] < a[1]);
}

int adHatchPointInLoop(const AdSegment* segments, std::uint16_t count, double x, double y, double tolerance,
                       std::uint8_t* onVertex) {
    *onVertex = 0;
    bool inside = false;
    for (std::uint16_t i = 0; i < count; ++i) {
        const AdSegment& s = segments[i];
        if ((std::fabs(x - s.x0) < tolerance && std::fabs(y - s.y0) < tolerance) ||
            (std::fabs(x - s.x1) < tolerance && std::fabs(y - s.y1) < tolerance)) {
            *onVertex = 1;
            return 1;
        }
        if ((y >= s.y0 && y < s.y1) || (y >= s.y1 && y < s.y0)) {
            const double xc = s.x1 + (s.x0 - s.x1) * (y - s.y1) / (s.y0 - s.y1);
            if (std::fabs(x - xc) < tolerance) return 1;
            if (x < xc) inside = !inside;
        }
    }
    return inside ? 1 : 0;
}

// Without memory for its arrays the fill goes on with every loop.
void adHatchDropIslands(std::int32_t loopCount, std::uint16_t* counts, AdStore* const* stores, std::int16_t style) {
    try {
        dropIslands(loopCount, counts, stores, style);
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_FILL_MEMORY);
    }
}
