// The linetype pattern applicator: every straight piece the engine draws as
// a line goes through adApplyLinetype, which walks the dash pattern along it
// in device units and sends dashes and dots to the emission layer. Also the
// quadrilateral outline and the 2D intersections of lines and segments.
// Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// A wide polyline piece: its widths, joins and fill are drawn by the wide
// dashes; declared here so callers can pass one.
struct AdWideSegment;

// At most this many pieces are walked for one segment in one viewport; a
// pattern that would need more (zoomed far in on a long line) is drawn solid.
constexpr std::int64_t AD_LINETYPE_PIECE_LIMIT = 1000000;
// A curve whose repetitions are not counted runs this many of them.
constexpr std::int32_t AD_LINETYPE_ENDLESS = 2000000000;

// The pattern position of one viewport.
struct AdPatternState {
    double phase;            // pattern units of the shortened first dash still to draw; -1 once used
    std::int32_t count;      // whole repetitions still to run before the closing dash
    std::uint8_t fresh;      // the curve has not drawn its first piece
    std::uint8_t start;      // the curve's first segment is not yet prepared
    std::uint8_t joinCheck;  // the next wide piece is the first of its curve
    std::int16_t index;      // the current dash entry
    double carry;            // device units of the current entry drawn in earlier segments
    std::uint8_t widePending;
    std::uint8_t elementDrawn[AD_LTYPE_DASH_COUNT];
};

// The 49 pattern states (one per viewport); cleared by the display setup.
AdPatternState* adPatternStates();
void adResetPatternStates();

// Draws start-end under the linetype in every viewport it belongs to. start
// and end are working storage (see the single and per-viewport walks).
// curve: a new display-state curve counter value per curve; curveLength the
// whole curve's length in the caller's coordinates, or 0.
void adApplyLinetype(AdDrawing* drawing, double start[3], double end[3], const AdMatrix4* model,
                     const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing,
                     AdWideSegment* wide, std::int32_t curve, double curveLength);
// One segment in viewport v with the entity's thickness.
void adEmitThickSegment(AdDrawing* drawing, const double start[3], const double end[3], const AdMatrix4* matrices,
                        int v);
// The device length of end - start through viewport v's matrix.
double adViewSegmentLength(const double start[3], const double end[3], const AdMatrix4* matrices, int v);

// p1-p2, p2-p3, p3-p4 and p4-p1 through the linetype, each side its own curve.
void adQuadOutline(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3], const double p4[3],
                   const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing);
// Lines P0P1 and Q0Q1 in the XY plane: 1 when they meet (t along P, u along
// Q), 0 when parallel without a shared end point. Any output may be null.
int adIntersect2D(const double p0[2], const double p1[2], const double q0[2], const double q1[2], double point[2],
                  double* t, double* u);
int adSegmentsCross2D(const double p0[2], const double p1[2], const double q0[2], const double q1[2],
                      double point[2]);
int adLinesMeet2D(const double p0[2], const double p1[2], const double q0[2], const double q1[2], double point[2]);
