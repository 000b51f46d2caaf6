// The outline of a REGION clip entity: the loops of its edges as the
// solid-model renderer gives them, joined end to end. Internal to the
// engine.
#pragma once
#include "toolkit/display/render_state.h"

#include <vector>

// One loop: x, y pairs.
using AdRegionLoop = std::vector<double>;

// Joins loops whose ends meet (a loop's first point on another's last, or
// the two last points together, the loop then reversed), in list order, and
// writes what remains as one outline of 2D points: every loop, closed where
// it is open, then the first point of every loop from the last back to the
// first, so that the loops stay separate areas joined by zero-width
// bridges. 0 when the stream cannot take the points.
int adWriteRegionLoops(std::vector<AdRegionLoop>& loops, AdStream* out);
// The REGION's SAT text through the renderer into the outline stream; a
// region without SAT text writes nothing. 0 when memory or the stream ran out.
int adRegionOutline(AdStore* sat, AdStream* out, std::int32_t setting);
