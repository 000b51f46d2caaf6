// The entity draw dispatcher: draws an entity list entity by entity under a
// block matrix and the inherited BYBLOCK properties, resolving layer,
// linetype, colour, line weight and plot style, and hands each entity to the
// drawing of its type through one table of handlers. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

struct AdPlotStyle;

// What a nested list inherits from the reference that draws it.
struct AdInherited {
    std::int16_t colour;               // BYBLOCK colour
    const AdLtypeRecord* linetype;     // BYBLOCK linetype
    AdDrawing* linetypeDrawing;        // the drawing that owns it
    const AdPlotStyle* plotStyle;      // BYBLOCK plot style, or null
    std::int16_t lineWeight;           // BYBLOCK line weight
    std::int16_t depth;
    std::int16_t xrefLevel;
    std::uint64_t suppressed;          // suppressed-viewport bitmap
    AdStore* chain;                    // upper-case paths of the drawings being drawn
};

// One entity as the handlers see it.
struct AdDrawContext {
    AdDrawing* drawing;
    AdRecordList* list;
    AdMatrix4* block;
    AdMatrix4* matrices;  // block x each viewport's world to device (a BLOCK entity rebuilds them)
    const AdInherited* inherited;
    AdEntityHeader* header;
    AdEntityData* data;
    AdLtypeRecord* linetype;  // resolved; the first linetype when it has no dashes
    AdDrawing* linetypeDrawing;
    std::int16_t colour;      // resolved colour index; negative: the layer is off
    const AdLayerRecord* layer;
    std::uint8_t endList;     // set by a handler to end the list
    const AdPlotStyle* plotStyle = nullptr;  // resolved, or null
};

using AdEntityHandler = void (*)(AdDrawContext& entity);

// The handler of a type code in this drawing (class types by its class
// numbers); the handler of a type whose drawing is not built draws nothing.
AdEntityHandler adEntityHandler(const AdDrawing* drawing, std::uint16_t type);

int adDrawEntityList(AdDrawing* drawing, AdRecordList* list, AdMatrix4* block, const AdInherited& inherited,
                     const struct AdDrawOrderTable* order);

// One space of the drawing with the external references it queues.
int adDrawSpace(AdDrawing* drawing, AdRecordList* list, const AdDrawOrderTable* order);

// The host's line-weight slot hears a device width when it changes.
void adSetPenWeight(AdDrawing* drawing, std::int16_t lineWeight);

// A segment through the linetype with a new curve counter value.
void adDrawSegment(AdDrawContext& entity, const double start[3], const double end[3]);
void adDrawRectOutline(AdDrawing* drawing, double x1, double y1, double x2, double y2, double z,
                       const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing);
// Cohen-Sutherland in place on x and y; 1 when some part is inside.
int adClipSegmentToRect(double a[], double b[], double xmin, double ymin, double xmax, double ymax);
void adDrawInfiniteLine(AdDrawContext& entity, std::uint16_t type, const double base[3], const double direction[3]);

// The draw order of a block's top-level entities: ACAD_SORTENTS pairs
// (entity handle, sort handle), ascending by entity handle.
struct AdDrawOrderPair {
    AdHandle entity;
    AdHandle sort;
};
struct AdDrawOrderTable {
    AdDrawOrderPair* pairs;
    std::int32_t count;
    std::int32_t allocated;
};
void adDrawOrderInit(AdDrawOrderTable* table);
void adDrawOrderFree(AdDrawOrderTable* table);
int adLoadDrawOrder(AdDrawing* drawing, AdRecordList* list, const AdHandle* block, AdDrawOrderTable* table);

// One top-level entity of a list in draw order: its stored record and key.
struct AdSortEntry {
    AdListRecord* record;
    AdHandle key;
};
// The list's top-level entities ordered by the table; count 0 (null) when
// the table gives no order. The caller frees the array with HostFree.
AdSortEntry* adSortEntities(AdDrawing* drawing, AdRecordList* list, const AdDrawOrderTable* order,
                            std::int32_t* count);
