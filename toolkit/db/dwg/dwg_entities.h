// What the DWG entity readers of AC1012 and later files share: the common
// entity part, the handle references every entity carries, and the readers
// of the entity types with a structure of their own (splines, solids and
// class-numbered entities).
#pragma once
#include "toolkit/ad.h"

// ---- common part and handles (dwgent) ----
// The handle references shared by every entity, in file order.
void adDwgReadEntityHandles(AdDrawing* drawing, AdEntityHeader* header);

// ---- splines, solids, class-numbered entities (dwgclass) ----
// Each reads the type's fields after the common data, then the shared handle
// references, then its own; 1, or 0 when the entity cannot be read.
int adDwgReadSpline(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadSatEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
// Types from 498; header->type may change (a proxy read as its class, or 498).
int adDwgReadClassEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
// Hangs the graphics store that the object start read for an entity of type
// 498 or above on the data field its kind uses: IMAGE and WIPEOUT their pixel
// store, RTEXT and ARCALIGNEDTEXT their own stores, a proxy its graphics
// store when keep is set. The store is freed where the kind keeps none
// (OLE2FRAME, LWPOLYLINE, HATCH, a proxy without keep). The dispatcher calls it
// after adDwgReadClassEntity, which clears the data and may change the type.
void adDwgAttachClassStore(AdDrawing* drawing, const AdEntityHeader* entity, AdEntityData* record, AdStore* store,
                           int keep);
