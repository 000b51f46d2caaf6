// The steps of reading an entity list that adReadEntity shares with the
// polyline gathering and the reference resolution.
#pragma once
#include "toolkit/ad.h"

// Turns the names or table indexes the reader left in the global state into
// the entity's handles.
void adResolveEntityReferences(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);

// Forgets what a POLYLINE or INSERT left for its VERTEX and SEQEND records,
// so nothing carries over from one entity list to the next.
void adResetEntityInheritance();

// Polyline gathering, live while adReadEntityList runs: simple 2D polylines
// are held back until their SEQEND and then stored as one LWPOLYLINE.
int adPolylineGatherOpen(AdDrawing* drawing);
// Ends the gathering: a polyline still held is stored as it came (keep) or
// freed with its stores; 0 when storing it failed (read error set).
int adPolylineGatherClose(AdDrawing* drawing, int keep);
// Offers the entity to the gathering: 1 when it took it (stored or held), 0
// when the caller stores it, -1 on failure (read error set). When the answer
// is 1 or -1 the entity's stores are the gathering's.
int adPolylineGatherOffer(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, AdRecordList* list);
// The SEQEND of a polyline that is being converted keeps no extended data.
int adPolylineGatherConverting(const AdDrawing* drawing, std::uint16_t type);

// AC1012 and later DXF files: the BLOCK and ENDBLK entities of the space
// block stored in node give the drawing its handles for them, and the BLOCK
// its description; nothing for other files. 0 when memory runs out.
int adReadSpaceFrame(AdDrawing* drawing, AdListRecord* node);
