// Circles, arcs and ellipses as chords: the chord counts every curve of the
// engine uses, and the arc and ellipse generators. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// Chords per quarter circle: the segment count for boundary outlines, else
// the curve resolution (0: from the view).
std::int32_t adCurveSetting(const AdEntityHeader* header);
std::int32_t adCircleSegments(const AdDisplayState* state, double radius);
std::int32_t adArcSegments(const AdDisplayState* state, double sweep, double radius, std::int32_t setting);

// A box widened by chord ends mapped through its matrix (min x, y, z, max x,
// y, z; only x and y change), for callers that measure arcs and text.
struct AdArcBox {
    double* box;
    const AdMatrix4* matrix;
};
// Widens the box by p and q, each taken with w = 1 through its matrix.
void adGrowExtents(const double p[3], const double q[3], const AdArcBox* extents);

// The arc from start to end (end > start) about the centre, each chord
// through the linetype when draw is set; the number of chords. The
// pattern is fitted a whole number of times along the arc for this arc only.
std::int32_t adDrawArc(AdDrawing* drawing, const double centre[3], double start, double end, double radius,
                       const AdMatrix4* block, const AdMatrix4* matrices, std::uint8_t draw,
                       const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing, const AdArcBox* box);
int adDrawEllipse(AdDrawing* drawing, AdEllipseData* ellipse, const AdMatrix4* block, const AdLtypeRecord* linetype,
                  AdDrawing* linetypeDrawing);

// Direction angle of the 2D point seen from the centre, in (-pi, pi];
// -pi/2 for coincident points.
double adAngleFromCentre(const double centre[2], const double point[2]);
