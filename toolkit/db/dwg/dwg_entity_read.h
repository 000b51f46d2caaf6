// What the entity readers of AC1012 to AC1015 files share: the object types
// they know, the compound values many types read, the per-type readers the
// dispatcher calls, and the chain navigation after each entity.
#pragma once
#include "toolkit/ad.h"

// Object types of the entities (DWG numbering, before the mapping to
// AdEntityType).
enum AdDwgEntityType : std::int16_t {
    AD_DWG_TEXT = 1,
    AD_DWG_ATTRIB = 2,
    AD_DWG_ATTDEF = 3,
    AD_DWG_BLOCK = 4,
    AD_DWG_ENDBLK = 5,
    AD_DWG_SEQEND = 6,
    AD_DWG_INSERT = 7,
    AD_DWG_MINSERT = 8,
    AD_DWG_VERTEX_2D = 10,
    AD_DWG_VERTEX_3D = 11,
    AD_DWG_VERTEX_MESH = 12,
    AD_DWG_VERTEX_PFACE = 13,
    AD_DWG_VERTEX_PFACE_FACE = 14,
    AD_DWG_POLYLINE_2D = 15,
    AD_DWG_POLYLINE_3D = 16,
    AD_DWG_ARC = 17,
    AD_DWG_CIRCLE = 18,
    AD_DWG_LINE = 19,
    AD_DWG_DIM_ORDINATE = 20,
    AD_DWG_DIM_LINEAR = 21,
    AD_DWG_DIM_ALIGNED = 22,
    AD_DWG_DIM_ANG3PT = 23,
    AD_DWG_DIM_ANG2LN = 24,
    AD_DWG_DIM_RADIUS = 25,
    AD_DWG_DIM_DIAMETER = 26,
    AD_DWG_POINT = 27,
    AD_DWG_3DFACE = 28,
    AD_DWG_POLYLINE_PFACE = 29,
    AD_DWG_POLYLINE_MESH = 30,
    AD_DWG_SOLID = 31,
    AD_DWG_TRACE = 32,
    AD_DWG_SHAPE = 33,
    AD_DWG_VIEWPORT = 34,
    AD_DWG_ELLIPSE = 35,
    AD_DWG_SPLINE = 36,
    AD_DWG_REGION = 37,
    AD_DWG_3DSOLID = 38,
    AD_DWG_BODY = 39,
    AD_DWG_RAY = 40,
    AD_DWG_XLINE = 41,
    AD_DWG_MTEXT = 44,
    AD_DWG_LEADER = 45,
    AD_DWG_TOLERANCE = 46,
    AD_DWG_MLINE = 47,
    AD_DWG_OLE2FRAME = 74,
    AD_DWG_LWPOLYLINE = 77,
    AD_DWG_HATCH = 78,
    AD_DWG_FIRST_CLASS_TYPE = 498,
};

// The AC1015 text flag byte: each bit leaves out a field that holds its
// usual value.
enum AdDwgTextFlag : std::uint8_t {
    AD_DWG_TEXT_NO_ELEVATION = 0x01,
    AD_DWG_TEXT_NO_ALIGNMENT = 0x02,
    AD_DWG_TEXT_NO_OBLIQUE = 0x04,
    AD_DWG_TEXT_NO_ROTATION = 0x08,
    AD_DWG_TEXT_NO_WIDTH_FACTOR = 0x10,
    AD_DWG_TEXT_NO_GENERATION = 0x20,
    AD_DWG_TEXT_NO_HORIZONTAL = 0x40,
    AD_DWG_TEXT_NO_VERTICAL = 0x80,
};

// A per-type reader: the type's fields after the common data, the shared
// handle references, then the type's own handles. header->type holds the
// object type while it runs. 1, or 0 when the entity cannot be read (the
// stream failed, or memory ran out with the error set).
using AdDwgEntityReader = int (*)(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);

bool adDwgIsAc1015(const AdDrawing* drawing);
// The extrusion of the entity (AC1015: a set bit for 0,0,1, else 3BD) into
// the header; a 3BD whose x and y are 0 gets z = 1 or -1 by its sign.
void adDwgReadEntityExtrusion(const AdDrawing* drawing, AdEntityHeader* header);
void adDwgReadNormal(double vector[3]);
// The thickness (AC1015: a set bit for 0.0, else BD) into the header.
void adDwgReadEntityThickness(const AdDrawing* drawing, AdEntityHeader* header);
// A relative handle of the entity's own.
void adDwgReadOwnHandle(const AdEntityHeader* header, AdHandle* out);
// A T into a field of size bytes, cut at the field.
void adDwgReadEntityText(char* text, std::int32_t size);

// The common data that follows the object start.
int adDwgReadEntityCommon(AdDrawing* drawing, AdEntityHeader* header);
// With the normalisation option on, moves end by whole turns until it is not
// below start. Nothing changes for values that are not finite, when start -
// end is not below limit, or when a turn no longer changes end.
void adDwgNormaliseEnd(double start, double* end, double limit);

int adDwgReadLineEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadPointEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadCircleEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadArcEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadEllipseEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadRayEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadShapeEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadTextEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadAttdefEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadAttribEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadBlockEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
// The shared handle references, then up to two handles of the type's own
// (null: none); 1, or 0 when the stream failed.
int adDwgReadHandlesWith(AdDrawing* drawing, AdEntityHeader* header, AdHandle* first, AdHandle* second);
// A POLYLINE's first vertex, last vertex and SEQEND, or an INSERT's first
// attribute, last attribute and SEQEND, for the chain navigation.
int adDwgReadSubEntityHandles(const AdEntityHeader* header);
// ENDBLK, SEQEND and the types without a reader of their own: the handle
// references alone, so that the chain still has the entity's links.
int adDwgReadHandlesOnly(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadInsertEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadVertexEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadPolylineEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadDimensionEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadFaceEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadTraceEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadViewportEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadMtextEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadLeaderEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadToleranceEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadMlineEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);

// Works out the next entity of the chain after the one just read (its
// object type in header->type); 0 with AD_ERR_DWG_ENTITY_CHAIN when the
// chain would revisit the entity.
int adDwgChainAfter(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data);
