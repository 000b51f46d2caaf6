// 2D and 3D polylines and lightweight polylines: the vertices the
// dispatcher feeds, turned into pieces (arc pieces for bulges), and drawn
// as centre lines through the linetype or as wide quadrilaterals joined at
// their vertices. Internal to the engine.
#pragma once
#include "toolkit/display/dispatch.h"

#include <vector>

// One vertex of a polyline in the entity's coordinates.
struct AdPolyVertex {
    double point[3];
    double startWidth;
    double endWidth;
    double bulge;  // tangent of a quarter of the included angle to the next vertex
};

// The polyline as a whole: its vertices in order, whether it closes, and
// whether the dash pattern runs on across its vertices.
struct AdPolylineShape {
    std::vector<AdPolyVertex> vertices;
    bool closed = false;
    bool continuousPattern = false;  // the linetype-generation flag
};

// The join of consecutive wide segments is mitred when the vertex angle is
// at least this; below it the ends are squared off.
double adMiterLimit(const AdPolyVertex& u, const AdPolyVertex& v, const AdPolyVertex& w);

// Draws the shape under the entity's matrices and linetype. A shape of one
// vertex draws nothing.
void adDrawPolylineShape(AdDrawContext& entity, const AdPolylineShape& shape);

// The dispatcher's handler of POLYLINE and LWPOLYLINE.
void adDrawPolylineEntity(AdDrawContext& entity);
