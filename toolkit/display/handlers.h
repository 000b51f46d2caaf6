// The handlers of the entity types the dispatcher draws itself (the table
// of all types is in entity_handlers.cpp).
#pragma once
#include "toolkit/display/dispatch.h"

void adDrawLineEntity(AdDrawContext& entity);      // LINE, 3DLINE
void adDrawRayEntity(AdDrawContext& entity);       // RAY, XLINE
void adDrawViewportEntity(AdDrawContext& entity);  // VIEWPORT
void adDrawPointEntity(AdDrawContext& entity);     // POINT
void adDrawQuadEntity(AdDrawContext& entity);      // TRACE, SOLID, 3DFACE
void adDrawCircleEntity(AdDrawContext& entity);    // CIRCLE, ARC
void adDrawEllipseEntity(AdDrawContext& entity);   // ELLIPSE
void adDrawBlockReference(AdDrawContext& entity);  // INSERT, DIMENSION
void adDrawBlockEntity(AdDrawContext& entity);     // BLOCK
void adDrawSolidEntity(AdDrawContext& entity);     // REGION, 3DSOLID, BODY
void adDrawMTextEntity(AdDrawContext& entity);     // MTEXT
void adDrawRTextEntity(AdDrawContext& entity);     // RTEXT
void adDrawTextEntity(AdDrawContext& entity);      // TEXT, ATTDEF, ATTRIB
void adDrawShapeEntity(AdDrawContext& entity);     // SHAPE
void adDrawProxyEntity(AdDrawContext& entity);     // proxies, ARCALIGNEDTEXT, WIPEOUT
// The solid-model slot's default: the renderer's edges through the linetype.
std::int32_t adSolidBridge(AdSolidDrawRecord* record, std::int32_t* result);
// One primitive the renderer answered with (mode 1 vertex pairs, 3 a line
// strip; count vertices of x, y, z) through the linetype.
void adDrawSolidPrimitive(const AdSolidDrawRecord* record, std::int32_t mode, const double* vertices,
                          std::int32_t count);
