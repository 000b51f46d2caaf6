// Solid fill of segment loops. A segment loop is a closed chain of straight
// segments (start x, start y, end x, end y as doubles, 32 bytes each) in a
// byte store, with its segment count beside it. Hatches fill theirs by a
// vertical sweep into trapezoids after the island rules; glyphs hand theirs
// to the emission layer's multi-contour fill. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

#include <vector>

struct AdSegment {
    double x0, y0, x1, y1;
};

// One end of a non-vertical edge, as the sweep sorts and keeps them.
struct AdEdgeEvent {
    double x, y;
    double slope, intercept;
    std::int32_t edge;  // +n at the left end of edge n, -n at its right end
};

// Edges that may span one sweep position at once. A fill that would need
// more is refused whole (AD_ERR_FILL_TOO_LARGE) rather than drawn in part.
constexpr std::int32_t AD_ACTIVE_EDGE_LIMIT = 806;

// A loop's segments; false when its store holds fewer than count.
bool adReadSegments(AdStore* store, std::uint16_t count, std::vector<AdSegment>* out);

// Solid HATCH: the island rules of the hatch style (0 normal, 1 outer,
// 2 ignore) over the loops, then the sweep into adFillQuad at the elevation.
void adHatchSolidFill(AdDrawing* drawing, const AdMatrix4* matrices, std::int32_t loopCount, std::uint16_t* counts,
                      AdStore* const* stores, std::int16_t style, double elevation);

// Sets the count of every loop the style leaves out to 0.
void adHatchDropIslands(std::int32_t loopCount, std::uint16_t* counts, AdStore* const* stores, std::int16_t style);
// Boxes are min x, min y, max x, max y; touching boxes overlap.
int adHatchBoxesOverlap(const double a[4], const double b[4]);
// 1 when (x, y) lies inside the loop or on it within tolerance; onVertex is
// set when it lies on one of the loop's vertices.
int adHatchPointInLoop(const AdSegment* segments, std::uint16_t count, double x, double y, double tolerance,
                       std::uint8_t* onVertex);

// x ascending, then y descending, then slope descending: -1, 0 or 1.
int adHatchCompareEdgeEvents(const AdEdgeEvent* a, const AdEdgeEvent* b);
// Sorts the events in runs of at most capacity, then merges the runs by x
// alone (equal x: the earlier run first); range receives the x span of the
// events. 0 when memory runs out.
int adHatchSortEdgeEvents(std::vector<AdEdgeEvent>* events, std::int32_t capacity, double* range);

// Glyph outlines: the loops as the contours of one even-odd fill, or joined
// into one contour when the host has no poly-polygon hook.
void adFillLoops(AdDrawing* drawing, const AdMatrix4* matrices, std::int32_t loopCount, const std::uint16_t* counts,
                 AdStore* const* stores);
