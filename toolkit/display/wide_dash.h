// Wide pieces of the linetype walk: every drawn piece of a wide segment
// becomes a filled quadrilateral of the interpolated width, held back until
// the next piece shows whether the two join at a common mitre. Internal to
// the engine.
#pragma once
#include "toolkit/display/linetype_walk.h"

// The wide segment a caller hands the applicator. The walk overwrites the
// two joint angles with those of each piece it draws.
struct AdWideSegment {
    double startWidth;
    double endWidth;
    double unused;
    double startJoint;  // radians; AD_NO_JOINT: corners square to the piece
    double endJoint;
};

constexpr double AD_NO_JOINT = -10000.0;

// The left and right corners at one end of a piece.
struct AdWideEdge {
    double left[3];
    double right[3];
};

// The corners of the piece start-end with the given widths, offset along
// the segment's joint angles (square to the piece where there is none).
void adWidePieceCorners(const AdWideSegment* wide, const double start[3], const double end[3], double startWidth,
                        double endWidth, AdWideEdge* startEdge, AdWideEdge* endEdge);

// One walk of a wide segment: what every drawn piece of it needs.
struct AdWideWalk {
    AdDrawing* drawing;
    const AdMatrix4* matrices;
    AdWideSegment* wide;
    double startWidth, widthSlope;  // per device unit from the segment start
    double startJoint, jointSlope;
    double direction;               // the segment's direction less a quarter turn
    double step[3];                 // caller units per device unit
    double curveLength;
    bool patterned;                 // walked in dashes rather than solid
    bool single;                    // one walk for every viewport (viewport 0's pending piece)
    int viewport;                   // the walk's viewport
    int first, end;                 // the viewports its fills go to
};

// The walk of segment start-end, R0 device units long.
AdWideWalk adWideWalkOf(AdDrawing* drawing, const AdMatrix4* matrices, AdWideSegment* wide, const double start[3],
                        const double end[3], double length);
// The drawn piece from-to, s0 and s1 device units from the segment start.
void adWidePiece(const AdWideWalk& walk, AdPatternState& s, const double from[3], const double to[3], double s0,
                 double s1);
// The point the join test of the next wide piece measures its turn from.
void adWideSetPrevious(const double point[3]);
// Fills viewport 0's pending quadrilateral in every drawable viewport (the
// caller clears the pending flag), or viewport v's in v alone (clearing it).
void adFlushWidePiece(AdDrawing* drawing, const AdMatrix4* matrices);
void adFlushWidePieceInViewport(AdDrawing* drawing, const AdMatrix4* matrices, int v);
