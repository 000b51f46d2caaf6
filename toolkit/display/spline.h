// SPLINE entities as chords, for the dispatcher and for callers that want
// the chords as an outline. Internal to the engine.
#pragma once
#include "toolkit/display/dispatch.h"

// Degrees above this are drawn with this degree.
constexpr int AD_SPLINE_DEGREE_LIMIT = 31;

// Draws the spline's chords through the linetype, or, with an outline
// stream, writes each chord's ends there as 2D points and counts the chord.
// chordsPerSpan 0 or less means 10. 1, or 0 when memory ran out; a spline
// whose data does not hold what its counts say draws nothing.
int adDrawSpline(AdDrawing* drawing, AdSplineData* spline, const AdMatrix4* block, const AdMatrix4* matrices,
                 const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing, std::int32_t chordsPerSpan,
                 AdStream* outline, std::uint16_t* chords);

// The dispatcher's handler of SPLINE.
void adDrawSplineEntity(AdDrawContext& entity);
