// Clipped block references: the outline of a SPATIAL_FILTER and the clip
// level it pushes for the reference's contents. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// The filter's boundary as 3D points (two points are a rectangle's opposite
// corners) through the filter's transforms; null when it has fewer than two
// points or its clip transform has no inverse.
AdStore* adSpatialFilterOutline(const AdSpatialFilterData& filter);
// The closed frame through the outline's points, in colour 7.
void adDrawOutlineFrame(AdDrawing* drawing, AdStore* outline, const AdMatrix4* matrices);
// When the INSERT has an enabled spatial filter: its frame (with XCLIPFRAME)
// and a clip level for the contents, clip mapping block coordinates to the
// world; 1 when a level was pushed (adPopBlockClip takes it off).
int adPushBlockClip(AdDrawing* drawing, const AdEntityHeader& insert, const AdMatrix4& clip);
void adPopBlockClip(AdDrawing* drawing);
