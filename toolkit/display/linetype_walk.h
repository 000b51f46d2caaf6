// The walk of one segment along a dash pattern (the applicator's inside).
#pragma once
#include "toolkit/display/linetype.h"

// What one walk reads: the pattern, its scale and the segment left to walk.
struct AdDashWalk {
    const AdLtypeRecord* linetype;
    double scale;       // S: LTSCALE x the view scale of viewport 0 x the entity's linetype scale
    double remaining;   // R: device units of the segment still to walk
    double step[3];     // caller units per device unit along the segment
    double minimumDash;
    bool exactDash;
};

void adStartCurve(AdPatternState& s);
// One piece from `from`: its end goes to `to`; the result is its signed
// device length (negative a gap, 0 a dot, positive a dash).
double adNextDashPiece(AdPatternState& s, const AdDashWalk& walk, const double from[3], double to[3]);
// The segment's direction less a quarter turn, in [0, 2 pi): the angle
// wide dots and complex elements are turned by.
double adWalkDirection(const double start[3], const double end[3]);
