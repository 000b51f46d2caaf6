// The placement matrix of a text, a tolerance frame or another annotation
// whose insertion point and x direction are given in world coordinates.
// Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// out = matrix after a translation to the insertion point, the current
// entity's object frame when it has one, a turn to the direction's angle
// and a uniform scale.
void adTextFrameMatrix(const double insertion[3], const double direction[3], const AdMatrix4* matrix, AdMatrix4* out,
                       double scale);
