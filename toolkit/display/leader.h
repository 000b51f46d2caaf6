// LEADER entities and the arrowheads that annotation draws: built-in shapes
// named by reserved block names, and arrowheads drawn from user blocks; and
// the request a leader leaves for the MTEXT drawing to frame its annotation.
// Internal to the engine.
#pragma once
#include "toolkit/display/dispatch.h"

// The annotation-frame request: the next MTEXT drawn in a drawing pass is
// framed with the margin and clears the request; a null handle means none.
struct AdAnnotationFrame {
    AdHandle annotation;
    double margin;
};
extern AdAnnotationFrame adAnnotationFrame;

// Moves the point by distance toward the target; a target on the point
// leaves it in place.
void adMovePointToward(double point[3], const double target[3], double distance);

// A built-in arrowhead with its tip at tip, pointing from other toward the
// tip, arrow length 2 x halfSize; the tip moves to the arrowhead's back
// unless move is clear and the shape is an open or oblique one.
void adDrawArrowShape(AdDrawing* drawing, double tip[3], const double other[3], const AdMatrix4* model,
                      const AdMatrix4* matrices, const char* blockName, double halfSize, bool move);

// One arrowhead of the entity: from the block with the handle, or the
// built-in shape of its name; then the path's start point in tip.
void adDrawArrowhead(AdDrawContext& entity, double tip[3], const double other[3], const AdHandle& arrowBlock,
                     double halfSize, std::int16_t colour, bool move);

// 1, or 0 when memory ran out.
int adDrawLeader(AdDrawContext& entity, std::int16_t layerColour);

// The dispatcher's handler of LEADER.
void adDrawLeaderEntity(AdDrawContext& entity);
