// The part every entity record of a bit-coded DWG file begins with, and its
// common handles, for the writers of each entity kind.
#pragma once
#include "toolkit/write/dwg/dwg_writer.h"
#include "toolkit/db/bit_stream_state.h"

#include <initializer_list>

// Where an entity stands in its chain, as the block walk found it.
struct AdDwgEntityLinks {
    AdHandle owner;     // the block header, or the entity that owns a sub-entity
    AdHandle previous;  // null: the entity's own handle stands for it
    AdHandle next;
    std::uint16_t mode;  // 0 owned (the owner handle follows), 1 paper space, 2 model space
    // A POLYLINE's vertices or an INSERT's attributes, and its SEQEND.
    AdHandle firstSub;
    AdHandle lastSub;
    AdHandle seqend;
};

// Record start, entity mode, reactor count, links flag, colour, linetype
// scale and style flags, invisibility and line weight.
int adDwgEntityBegin(AdDwgWriter* writer, const AdEntityHeader* header, std::int16_t type,
                     const AdDwgEntityLinks& links, AdStore* graphics);
// The end of the data and the common handles: owner, reactors, extension
// dictionary, layer, linetype and the links.
int adDwgEntityHandles(AdDwgWriter* writer, const AdEntityHeader* header, std::int16_t type,
                       const AdDwgEntityLinks& links);

// The end of an entity's data and its common handles, after which a kind's
// writer adds handles of its own.
using AdDwgEntityWriter = int (*)(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                                  const AdDwgEntityLinks& links, std::int16_t type);

// The object type an entity is written under (3DLINE as LINE, INSERT,
// VERTEX, POLYLINE and DIMENSION by their data; class numbers as they are).
std::int16_t adDwgEntityType(const AdEntityHeader* header, const AdEntityData* data);
// A proxy goes under the class it stands for, when it names one; 498
// otherwise.
std::int16_t adDwgProxyClass(const AdProxyData& proxy);
// Whether a kind has a writer; the others are left out of the chains.
bool adDwgCanWriteEntity(std::int16_t type);
// One entity record: head, the kind's fields and handles, framing and map
// entry. 1, or 0 with the error set.
int adDwgWriteEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                     const AdDwgEntityLinks& links, std::int16_t type);
// The writers of the kinds; each ends with the common handles and its own.
int adDwgWriteLineEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWritePointEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteCircleEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteArcEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteEllipseEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteRayEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteFaceEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteTraceEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteShapeEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteTextEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteInsertEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteVertexEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWritePolylineEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteDimensionEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteViewportEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);

// The common handles, then the kind's hard pointers in order.
int adDwgEntityHandlesWith(AdDwgWriter* writer, const AdEntityHeader* header, std::int16_t type,
                           const AdDwgEntityLinks& links, std::initializer_list<const AdHandle*> pointers);
int adDwgWriteMtextEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteLeaderEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteToleranceEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteMlineEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteSplineEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
// Types from 498: the kind the drawing's class numbers name, or a proxy.
int adDwgWriteClassEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteHatchEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
int adDwgWriteSatEntity(AdDwgWriter*, const AdEntityHeader*, const AdEntityData*, const AdDwgEntityLinks&, std::int16_t);
// The data bits kept after a solid's SAT text, or the bit that says there
// are none.
int adDwgWriteSatTrailer(const AdSatData& sat);

// A new store of the "MVIEW" extended data of a VIEWPORT followed by the
// entity's own; null with the error set when it cannot be made.
AdStore* adDwgBuildMviewXdata(AdDrawing* source, const AdEntityHeader* header, const AdViewportData& viewport);
inline bool adDwgWritesAc1015(const AdDwgWriter* writer) { return writer->version >= AD_VERSION_AC1015; }
// Thickness and extrusion: BD and 3BD below AC1015, BT and BE from it.
void adDwgWriteThickness(const AdDwgWriter* writer, double thickness);
void adDwgWriteExtrusion(const AdDwgWriter* writer, const double extrusion[3]);

// The entities of one block's list, planned before its header record is
// written (which names the first and last) and written after it.
struct AdDwgEntityPlan {
    struct Item {
        AdHandle handle;
        std::int16_t type;  // 0: left out
        AdDwgEntityLinks links;
        bool complex;  // vertices or attributes and a SEQEND follow
    };
    std::vector<Item> items;  // one per record of the list, in list order
    AdHandle first;
    AdHandle last;
};
int adDwgPlanEntities(AdDwgWriter* writer, AdRecordList* list, const AdHandle& block, std::uint16_t mode,
                      AdDwgEntityPlan* plan);
int adDwgWriteEntities(AdDwgWriter* writer, AdRecordList* list, const AdDwgEntityPlan& plan);
