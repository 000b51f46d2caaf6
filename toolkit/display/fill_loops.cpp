// Filled glyph outlines: the start points of each loop's segments become the
// contours of one even-odd fill. A host without the poly-polygon hook gets
// them joined into one contour, each inner loop entered and left along a
// seam to the loop before it.
#include "toolkit/display/emit.h"
#include "toolkit/display/fill.h"

#include <limits>
#include <new>

namespace {

constexpr std::int32_t kContourLimit = std::numeric_limits<std::int16_t>::max();

void pushPoint(std::vector<double>* points, double x, double y) {
    points->push_back(x);
    points->push_back(y);
    points->push_back(0.0);
}

bool endsWith(const std::vector<double>& points, std::size_t end, const double* point) {
    return end >= 3 && points[end - 3] == point[0] && points[end - 2] == point[1];
}

void fillLoops(AdDrawing* drawing, const AdMatrix4* matrices, std::int32_t loopCount, const std::uint16_t* counts,
               AdStore* const* stores) {
    std::int64_t total = 0;
    for (std::int32_t l = 0; l < loopCount; ++l) total += counts[l];
    if (total == 0) return;
    const bool contours = adRender->hooks.hostPolyPolygon != nullptr;
    // The emission layer counts contours and their points in 16 bits.
    if ((contours && loopCount > kContourLimit) || (!contours && total + 2 * std::int64_t{loopCount} > kContourLimit)) {
        adSetError(AD_ERR_FILL_TOO_LARGE);
        return;
    }
    std::vector<double> points;
    std::vector<std::int16_t> sizes;
    std::vector<std::size_t> ends;  // where each loop's points end in points
    std::vector<AdSegment> segments;
    for (std::int32_t l = 0; l < loopCount; ++l) {
        if (!adReadSegments(stores[l], counts[l], &segments)) segments.clear();
        if (contours && segments.size() > static_cast<std::size_t>(kContourLimit)) {
            adSetError(AD_ERR_FILL_TOO_LARGE);
            return;
        }
        for (const AdSegment& s : segments) pushPoint(&points, s.x0, s.y0);
        sizes.push_back(static_cast<std::int16_t>(segments.size()));
        ends.push_back(points.size());
    }
    if (contours) {
        adFillContours(drawing, points.data(), sizes.data(), static_cast<std::int16_t>(loopCount), matrices);
        return;
    }
    for (std::int32_t p = loopCount - 1; p >= 1; --p) {
        const std::size_t first = ends[static_cast<std::size_t>(p - 1)];
        const std::size_t end = ends[static_cast<std::size_t>(p)];
        if (end > first && !endsWith(points, end, &points[first])) pushPoint(&points, points[first], points[first + 1]);
        const std::size_t previousFirst = p >= 2 ? ends[static_cast<std::size_t>(p - 2)] : 0;
        if (first > previousFirst) pushPoint(&points, points[first - 3], points[first - 2]);
    }
    const std::int16_t one = static_cast<std::int16_t>(points.size() / 3);
    adFillContours(drawing, points.data(), &one, 1, matrices);
}

}  // namespace

void adFillLoops(AdDrawing* drawing, const AdMatrix4* matrices, std::int32_t loopCount, const std::uint16_t* counts,
                 AdStore* const* stores) {
    try {
        fillLoops(drawing, matrices, loopCount, counts, stores);
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_FILL_MEMORY);
    }
}
