// Outlines of the clip entities of non-rectangular viewports. Internal to
// the engine.
#pragma once
#include "toolkit/display/render_state.h"

// The outline of the entity with the handle in the list (a CIRCLE, ELLIPSE,
// SPLINE, REGION, POLYLINE or LWPOLYLINE) as 2D points (two doubles each) in a new
// store, which the caller frees; null for any other type, or when the
// entity cannot be read. The entity is marked as a boundary in the drawing.
AdStore* adClipEntityOutline(AdDrawing* drawing, const AdHandle* entityHandle, AdRecordList* list);
