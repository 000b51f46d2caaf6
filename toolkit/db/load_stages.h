// The load stages that the load driver runs, and the reader operations
// (one table per input format) they call.
#pragma once
#include "toolkit/ad_internal.h"

// Reader operations of one input format, called through the drawing. Every
// operation answers nonzero for success; "next" operations answer 0 also at
// the end of their records, and nextObject answers the type code of the next
// object, 0 at the end. A null slot fails the stage that needs it.
struct AdObjectHeader;
struct AdEntityHeader;
struct AdEntityData;
using AdReadOp = int (*)(AdDrawing* drawing);
using AdReadRecordOp = int (*)(AdDrawing* drawing, void* record);
using AdReadTableRecordOp = int (*)(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
using AdReadObjectOp = int (*)(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
using AdReadEntityOp = int (*)(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data,
                               std::uint8_t* flag);

struct AdReadOps {
    void* unused0;
    AdReadOp nextObject;                  // 1
    AdReadObjectOp readDictionary;        // 2
    AdReadObjectOp readClassObject;       // 3
    AdReadTableRecordOp nextBlock;        // 4
    AdReadRecordOp readBlockHeaderPart;   // 5, DXF only; the block loader calls it directly
    AdReadRecordOp nextClass;             // 6
    AdReadTableRecordOp nextDimStyle;     // 7
    AdReadEntityOp readEntity;            // 8
    AdReadObjectOp readGroup;             // 9
    AdReadOp open;                        // 10: read and check the file's header part
    AdReadTableRecordOp nextLayer;        // 11
    AdReadTableRecordOp nextLtype;        // 12
    AdReadObjectOp readMlineStyle;        // 13
    AdReadTableRecordOp nextAppid;        // 14
    AdReadTableRecordOp nextStyle;        // 15
    AdReadTableRecordOp nextUcs;          // 16
    AdReadTableRecordOp nextView;         // 17
    AdReadTableRecordOp nextVport;        // 18
    AdReadRecordOp nextVportEntity;       // 19
    AdReadOp beginBlockEntities;          // 20
    AdReadOp beginBlocks;                 // 21
    AdReadOp beginClasses;                // 22
    AdReadOp beginDimStyles;              // 23
    AdReadOp beginEntities;               // 24
    AdReadOp beginLayers;                 // 25
    AdReadOp beginLtypes;                 // 26
    AdReadOp seekSaved;                   // 27, not used by the load
    AdReadOp beginObjects;                // 28
    void* unused29;
    AdReadOp beginAppids;                 // 30
    AdReadOp beginStyles;                 // 31
    AdReadOp beginUcs;                    // 32
    AdReadOp beginViews;                  // 33
    AdReadOp beginVportEntities;          // 34
    AdReadOp beginVports;                 // 35
};

// ===== Table loading and standard records =====
// The records every loaded drawing has. Each new record gets the table's
// control as owner and, when the handle given is null, a new handle; 1 or 0
// with the error of the insert. position: AD_LIST_AT_FRONT or AD_LIST_AT_END.
int adAddLtypeRecord(AdDrawing* drawing, const char* name, const AdHandle* handle, int position);
int adAddContinuousLtype(AdDrawing* drawing);  // first in the table
// Appends "ByBlock" and "ByLayer" under the drawing's BYBLOCK and BYLAYER
// handles (new ones when null).
int adAddByBlockByLayerLtypes(AdDrawing* drawing);
int adAddLayerZero(AdDrawing* drawing);     // first in the table
int adAddActiveVport(AdDrawing* drawing);   // first, the view from the header
int adAddAcadAppid(AdDrawing* drawing);     // first in the table
int adAddStandardStyle(AdDrawing* drawing); // last, font file "txt"
// "Standard" from the header's dimension variables, first in the table;
// handle may be null.
int adAddStandardDimStyle(AdDrawing* drawing, const AdHandle* handle);
// Registers the classes every drawing knows, skipping those present.
int adRegisterStandardClasses(AdDrawing* drawing);
// Releases the entry-handle list a bit-coded DWG table read keeps.
void adLoadTableDone(AdDrawing* drawing);
// One of the two space block records as the BLOCK stage found it.
using AdSpaceBlock = AdGlobalState::AdSpaceBlock;
// Stores model space, then paper space, at the end of the BLOCK list, each
// owning a new entity list that becomes the drawing's model or paper space
// list; the handles given (or new) become the drawing's space block handles.
// 1, or 0 with neither stored and both lists freed.
int adAddSpaceBlocks(AdDrawing* drawing, AdSpaceBlock* modelSpace, AdSpaceBlock* paperSpace);

// ===== Block and entity loading =====
// How far the load is through the entity data, 0..100: the file position
// within the ENTITIES section (DXF and fixed-record DWG files) or within the
// paper-space and then the model-space entity chain (bit-coded DWG files),
// truncated and raised by 1. An answer out of range repeats the last one.
std::int32_t adLoadPercent(AdDrawing* drawing);

// Bits of the flag that readEntity answers with the entity.
constexpr std::uint8_t AD_ENTITY_READ_XDATA = 0x01;  // extended data waits in the record buffer
constexpr std::uint8_t AD_ENTITY_READ_SKIP = 0x02;   // the record is to be passed over

// The load-time store (AdDrawing::loadStores) of the deferred extended-data
// name references of DXF files and files before AC1012.
constexpr int AD_LOAD_STORE_NAME_REFERENCES = 3;

// The ENTITIES and block entities stages: 1, or 0 with the error code set.
// A format that reads no entities passes both.
int adLoadEntitiesSection(AdDrawing* drawing);
int adLoadBlockEntities(AdDrawing* drawing);
// Reads entities into listA (listB for paper space) until the list ends (in
// block mode at its ENDBLK) or the host cancels; assign gives every entity a
// new handle. A failure empties both lists and copies the read error into
// the error code. A polyline still being gathered at the end is stored as
// it came.
int adReadEntityList(AdDrawing* drawing, AdRecordList* listA, AdRecordList* listB, int assign, int blockMode);
// Reads and stores one entity: its type code, or 0 at the end of the list and
// on failure (the drawing's read error is set then).
std::uint16_t adReadEntity(AdDrawing* drawing, AdRecordList* listA, AdRecordList* listB, int assign, int blockMode);
// Stores one entity at the end of the list, with a new handle when its own
// is taken; the entity's stores are freed when it cannot be stored.
int adAddEntityRecord(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, AdRecordList* list,
                      AdListRecord** record);

// Deferred 1001 (application) and 1003 (layer) references of DXF files and
// files before AC1012: the item's value at offset in the store stays the
// null handle until adResolveNameReferences writes the handle of the record
// that the name (DXF) or table index left in the global state named.
constexpr std::int16_t AD_NAME_REFERENCE_APPID = 0;
constexpr std::int16_t AD_NAME_REFERENCE_LAYER = 1;
int adBeginNameReferences(AdDrawing* drawing);
int adAddNameReference(AdDrawing* drawing, std::int16_t kind, AdStore* store, std::int32_t offset);
// Forgets the references into an extended-data store that is freed before the
// load ends (its record was not kept), so that resolving never touches it.
void adDropNameReferences(AdDrawing* drawing, const AdStore* store);
int adResolveNameReferences(AdDrawing* drawing);

// The viewport-entity header stage of DWG files: each header that is not
// erased is matched to its paper-space VIEWPORT (by the viewport's number in
// files before AC1012, by handle in later ones; 302 when none matches) and
// its header part copied into that viewport's record; in later files the
// viewport of the first header moves to the front of the list.
int adLoadVportEntityHeaders(AdDrawing* drawing);

// ===== Objects loading and load completion =====
// The OBJECTS stage (AC1012 and later files): every object the reader
// announces is read, given its extended-data store and appended to the
// object list; one that cannot be read or kept is noted in the drawing's
// loadErrors and passed over with all it owned freed. 0 only when the
// section cannot be begun.
int adLoadObjects(AdDrawing* drawing);
// Reads the next class-numbered object (readClassObject) into header and data,
// cleared first over size bytes, and appends it; 1 stored, 0 passed over.
int adLoadClassObject(AdDrawing* drawing, AdObjectHeader* header, void* data, std::size_t size);

// Load completion, run by the driver after the sections in this order.
// The header's current layer, linetype, dimension style, UCS, paper-space
// UCS, text style and dimension text style become handles: table indexes in
// DWG files before AC1012, names (any case) in DXF files; a DXF current layer
// that does not exist is made, an unknown linetype gives BYBLOCK, anything
// else unknown the null handle. For DXF and DWG files before AC1015 the four
// dimension arrow block names become block handles ("_NAME" before NAME).
// Always 1.
int adResolveHeaderReferences(AdDrawing* drawing, AdHeaderVars* header);
// AC1015 DXF: the named-object dictionary's (the first object's)
// "ACAD_PLOTSTYLENAME" entry becomes the plot-style-name dictionary; 0 when
// there is none.
int adTakePlotStyleDictionary(AdDrawing* drawing);
// Files before AC1012: the named-object dictionary with "ACAD_GROUP" and
// "ACAD_MLINESTYLE", the latter holding the multiline style "Standard"
// (elements at +0.5 and -0.5), which becomes the header's current style.
// handles gives the four handles (dictionary, groups, styles, style) or is
// null for new ones. 0 with the object list freed when one cannot be made.
int adCompleteR12Objects(AdDrawing* drawing, AdHeaderVars* header, const AdHandle* handles);
// On upgrade of a file before AC1015 (the handle seed already above every
// handle): the placeholder "Normal" in a new plot-style-name dictionary
// (every layer's plot style), the layouts "Model" and "Layout1" with their
// dictionary when the named-object dictionary (the first object; made by
// adCompleteR12Objects when there is none) has no ACAD_LAYOUT, the
// ACAD_PLOTSETTINGS dictionary and the wipeout variables; their entries are
// added to the named-object dictionary. What was made stays when a later
// part fails (answer 0).
int adCompleteR2000Objects(AdDrawing* drawing);
// Layout names the root dictionary's "ACAD_XREC_ROUNDTRIP" XRECORD lists
// under "EXTNAMES" (code 1 short name, code 2 long name) take their long
// names back in the layout dictionary. 1 also when there is no such list.
int adRestoreLongLayoutNames(AdDrawing* drawing, const AdHandle* root);
// The MLINESTYLE the header names ("Standard" when none), made when the
// objects lack it; its handle out. 0 when it cannot be made.
int adFindStandardMlineStyle(AdDrawing* drawing, AdHandle* handle);
// The DIMSTYLE completion: arrowheads the DXF reader deferred become
// standard arrowhead blocks in their styles, and in files before AC1015 a
// DIMFIT above 3 (header and every DIMSTYLE) is split by adSplitDimFit.
void adLoadCompletion(AdDrawing* drawing);
// value above 3: DIMFIT 3 and DIMTMOVE value - 3; otherwise value and 0.
void adSplitDimFit(std::int32_t value, std::uint8_t* dimfit, std::int16_t* dimtmove);
// When the universal date is (0, 0) it becomes the local date taken in the
// local time zone and converted to universal time, in whole seconds.
void adDefaultUniversalDate(const AdJulianDate* local, AdJulianDate* universal);
