// HATCH entities: the boundary paths flattened into segment loops, then a
// solid fill of the loops or the pattern's families of parallel lines cut
// against them and drawn, dashed or solid, by the hatch style. Everything is
// worked in the hatch's own plane. Internal to the engine.
#pragma once
#include "toolkit/display/dispatch.h"
#include "toolkit/display/fill.h"

// One family of pattern lines: lines at angle through base, repeated every
// offset, dashed by the dash lengths (negative: a gap; 0: a dot).
struct AdHatchPatternLine {
    double angle;
    double offset[2];
    double base[2];
    std::int16_t dashCount;
    double* dashes;  // null when dashCount is 0
};

struct AdHatchPattern {
    AdHatchPatternLine* lines;
    std::int16_t style;
    std::uint16_t lineCount;
};

// A family needing more lines than this across the boundary's extents, or
// more line-segment tests than the work limit (lines times boundary
// segments), is too dense to draw line by line: the hatch is drawn solid
// (AD_ERR_HATCH_TOO_DENSE).
constexpr double AD_HATCH_LINE_LIMIT = 100000.0;
constexpr double AD_HATCH_WORK_LIMIT = 1e9;
// A span needing more dash pieces than this is drawn as one line.
constexpr double AD_HATCH_PIECE_LIMIT = 1000000.0;

// The pattern lines of the entity's pattern store; 0 when memory runs out
// or the store holds less than its line count says.
int adHatchPatternUnpack(const AdHatchData* hatch, AdHatchPattern* pattern);
// Frees the line array and each line's dashes.
void adHatchPatternFree(AdHatchPattern* pattern);

// A growing segment loop: its segments' stream and their count, and the
// display state whose view sets the chord counts. A loop that is full takes
// no more segments: one was refused, as the loop would count more than
// 65535, or the loop is read only to be passed over.
struct AdLoopWriter {
    AdStream* out;
    std::uint16_t* count;
    const AdDisplayState* state;
    bool full;
};
void adHatchAddSegment(AdLoopWriter* loop, double x0, double y0, double x1, double y1);

void adHatchAddBulgeSpan(const double start[2], const double end[2], double bulge, std::int32_t curveSetting,
                         AdLoopWriter* loop);
void adHatchFlattenArc(const double centre[2], double radius, double start, double end, std::int32_t curveSetting,
                       AdLoopWriter* loop);
void adHatchFlattenEllipse(const double centre[2], const double major[2], double ratio, double start, double end,
                           std::int32_t curveSetting, AdLoopWriter* loop);

// What every pattern line of one hatch shares.
struct AdHatchTarget {
    AdDrawing* drawing;
    const AdMatrix4* matrices;
    const AdMatrix4* block;
    const AdLtypeRecord* linetype;
    AdDrawing* linetypeDrawing;
    double elevation;
};

// Draws every family of the pattern against the loops. 0 when the pattern
// is too dense to draw line by line (nothing drawn).
int adHatchPatternFill(const AdHatchTarget& target, std::int32_t loopCount, const std::uint16_t* counts,
                       AdStore* const* stores, const AdHatchPattern& pattern, const std::uint8_t* loopFlags);

// One crossing of a pattern line with a loop.
struct AdHatchCrossing {
    double x, y;
    std::int16_t loop;
};

// A family's line through P with slope m (unused when vertical) and
// direction (ux, uy).
struct AdHatchLine {
    double px, py;
    double m;
    double ux, uy;
    bool vertical;
};

int adHatchAngleIsVertical(double angle);
int adHatchLineHitsBox(const AdHatchLine& line, const double box[4]);
// Appends the line's crossings with the loop. A line that only touches the
// loop at a vertex, the boundary staying on one side, crosses nothing there.
void adHatchLineCrossings(const AdHatchLine& line, const AdSegment* segments, std::uint16_t count, std::int16_t loop,
                          std::vector<AdHatchCrossing>* crossings);
// Sorted by y for a vertical family, else by x; ascending when ux >= 0.
void adHatchSortCrossings(std::vector<AdHatchCrossing>* crossings, const AdHatchLine& line);
// The spans between the sorted crossings that the style keeps, each dashed
// from P or drawn whole.
void adHatchDrawSpans(const AdHatchTarget& target, const AdHatchLine& line, const AdHatchPatternLine& family,
                      const std::vector<AdHatchCrossing>& crossings, std::int16_t style, const std::uint8_t* loopFlags,
                      std::int32_t loopCount);

int adDrawHatch(AdDrawing* drawing, AdEntityHeader* header, AdHatchData* hatch, const AdMatrix4* block,
                const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing);
void adDrawHatchEntity(AdDrawContext& entity);
