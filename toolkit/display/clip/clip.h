// The polygon clipper: boolean operations on two polygon sets read by the
// even-odd rule, delivered as contours with hole flags or as triangle strips.
// The display engine uses it for clip regions (viewports, clipped blocks,
// images) and to break filled regions into triangles for hosts that can only
// fill simple polygons.
//
// Every call is self-contained: it keeps no state between calls and takes its
// working memory from the host allocator. Results belong to the caller, who
// releases them with adClipPolygonFree and adTriStripsFree.
//
// What hostile input gives:
// - a negative or absent (null array) contour count reads as the empty
//   polygon; a contour with a negative vertex count or no point array reads as
//   a contour without vertices;
// - a contour with a NaN or infinite coordinate takes no part, as if it had no
//   vertices (its box overlaps nothing);
// - zero-area contours, contours with fewer than two distinct heights, and
//   repeated or self-overlapping contours are absorbed by the even-odd rule:
//   coincident edges of one operand cancel, and result contours and strips of
//   fewer than 3 vertices are dropped;
// - finite coordinates so far apart that a slope or a difference overflows
//   give an unspecified (possibly non-finite) result, but never a crash, a hang
//   or a leak;
// - an operation code outside 0..3 fails with AD_ERR_CLIP_ARGUMENT and
//   touches nothing;
// - when memory runs out the operation fails with AD_ERR_CLIP_MEMORY (and the
//   fatal-error hook with condition 2), releases everything it allocated and
//   leaves its operands, an operand passed as the result included, unchanged.
#pragma once

#include "toolkit/ad.h"

#include <cstdint>

struct AdClipPoint {
    double x;
    double y;
};

// One closed contour: the last vertex joins the first.
struct AdClipContour {
    std::int32_t vertexCount;
    AdClipPoint* points;
};

// A polygon set. holeFlags[i] is 1 when contour i is a hole, 0 for an outer
// boundary; inputs are read by the even-odd rule and their hole flags are
// ignored. The empty polygon has count 0 and neither array.
struct AdClipPolygon {
    std::int32_t contourCount;
    std::int32_t* holeFlags;
    AdClipContour* contours;
};

// Triangle strips: a strip of n vertices stands for the n - 2 triangles
// (0, 1, 2), (1, 2, 3), ...
struct AdTriStrips {
    std::int32_t stripCount;
    AdClipContour* strips;
};

enum AdClipOp : std::int32_t {
    AD_CLIP_DIFFERENCE = 0,    // subject minus clip
    AD_CLIP_INTERSECTION = 1,  // subject and clip
    AD_CLIP_XOR = 2,           // subject or clip but not both
    AD_CLIP_UNION = 3,         // subject or clip
};

// Computes the operation into result: 1, or 0 on failure (see above). The
// result is passed either empty or as one of the two operands; an operand that
// is also the result is released and replaced once the result is complete.
int adClipBoolean(AdClipOp op, AdClipPolygon* subject, AdClipPolygon* clip, AdClipPolygon* result);
// The same sweep with the result as triangle strips: 1, or 0 on failure, the
// strips then left empty. strips is passed empty.
int adClipBooleanStrips(AdClipOp op, const AdClipPolygon* subject, const AdClipPolygon* clip, AdTriStrips* strips);

// Intersection wrappers: the result's contour or strip count, -1 on failure.
std::int32_t adClipIntersect(AdClipPolygon* subject, AdClipPolygon* clip, AdClipPolygon* result);
std::int32_t adClipIntersectStrips(const AdClipPolygon* subject, const AdClipPolygon* clip, AdTriStrips* strips);
// The polygon's own area as triangle strips: 1, or 0 on failure.
int adClipPolygonToStrips(const AdClipPolygon* polygon, AdTriStrips* strips);

// Building and reading polygons. The destination is overwritten, not released.
// Each answers 1, or 0 on failure (AD_ERR_CLIP_MEMORY; AD_ERR_CLIP_ARGUMENT
// for a negative count or a missing point array), the destination then left
// empty.
int adClipPolygonFromPoints(AdClipPolygon* polygon, std::int32_t count, const AdClipPoint* points);
// n contours with the given vertex counts, points unset, hole flags 0.
int adClipPolygonAlloc(AdClipPolygon* polygon, std::int32_t count, const std::int32_t* vertexCounts);
int adClipPolygonCopy(AdClipPolygon* destination, const AdClipPolygon* source);
void adClipPolygonFree(AdClipPolygon* polygon);
std::int32_t adClipPolygonContourCount(const AdClipPolygon* polygon);
// 0 and null for an index outside the polygon.
std::int32_t adClipPolygonContourSize(const AdClipPolygon* polygon, std::int32_t i);
AdClipPoint* adClipPolygonContourPoints(const AdClipPolygon* polygon, std::int32_t i);

void adTriStripsFree(AdTriStrips* strips);
std::int32_t adTriStripsCount(const AdTriStrips* strips);
std::int32_t adTriStripsSize(const AdTriStrips* strips, std::int32_t i);
AdClipPoint* adTriStripsPoints(const AdTriStrips* strips, std::int32_t i);
