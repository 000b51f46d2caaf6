// The two mesh forms of POLYLINE drawn as wireframes: polyface meshes
// (faces of up to four vertex numbers) and M x N polygon meshes. Both read
// their VERTEX records up to the SEQEND themselves. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// 1, or 0 when memory ran out. byBlockColour colours BYBLOCK faces;
// substituteLayer is adNextSubEntity's.
int adDrawPolyfaceMesh(AdDrawing* drawing, const AdMatrix4* matrices, std::int16_t byBlockColour, AdRecordList* list,
                       std::int16_t substituteLayer);
int adDrawPolygonMesh(AdDrawing* drawing, const AdMatrix4* matrices, AdRecordList* list, std::int16_t substituteLayer);

// One mesh edge through the continuous linetype; the dash pattern restarts
// on each edge while the restart-at-vertex flag is set.
void adDrawMeshEdge(AdDrawing* drawing, const AdMatrix4* matrices, const double a[3], const double b[3]);
