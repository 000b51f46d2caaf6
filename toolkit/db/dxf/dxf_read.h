// The DXF reader as the load stages and the other readers call it: its
// errors, token, maps, tokenizer and reader operations.
#pragma once
#include "toolkit/ad_internal.h"

// Completes a header read from DXF: the version ("AC2.1..." is AC1002, the
// pre-release "AC1013" and "AC1500" load as AC1014 and AC1015, anything else
// unknown as AC1009 with the drawing's unknownVersion set), the AC1015 form of
// the dimension unit for AC1012 and AC1014, the table-index slots, and
// $ANGBASE from degrees to radians. 0 with error 286 for an "AC1013" file
// when pre-release files are not accepted.
int adDxfHeaderFinish(AdDrawing* drawing);

// ===== DXF reader =====
// A DXF file, ASCII or binary, is read one group (code and value) at a time
// into the current token; the value lands in the slot its code's class
// chooses. The pre-scan (adDxfOpen) reads the HEADER section and notes where
// every other part lies; the readers seek back there when the loaders ask.
using AdDxfToken = AdGlobalState::AdDxfToken;

// The token's text capacity (the work buffer) and the longest ASCII line.
constexpr std::int32_t AD_DXF_TEXT_SIZE = 131072;
constexpr std::int32_t AD_DXF_LINE_LIMIT = 2050;

// AdGlobalState::dxfNames.
enum AdDxfNameSlot : std::int16_t {
    AD_DXF_NAME_LAYER_LINETYPE,  // of the LAYER record being read
    AD_DXF_NAME_TEXT_STYLE,      // TEXT, ATTDEF, ATTRIB, MTEXT and RTEXT 7
    AD_DXF_NAME_MLINE_STYLE,     // MLINE 2
    AD_DXF_NAME_DIMSTYLE,        // DIMENSION, LEADER and TOLERANCE 3
    AD_DXF_NAME_LAYER,           // of the entity being read (8)
    AD_DXF_NAME_LINETYPE,        // 6
    AD_DXF_NAME_SHAPE,           // SHAPE 2
    AD_DXF_NAME_BLOCK,           // INSERT and DIMENSION 2
    AD_DXF_NAME_COUNT
};
static_assert(sizeof(AdGlobalState::dxfNames) / sizeof(AdGlobalState::dxfNames[0]) == AD_DXF_NAME_COUNT);

// AdDrawing::dxfSections: the HEADER section, and each table that holds a record.
constexpr std::uint16_t AD_DXF_SECTION_HEADER = 0x1;
constexpr std::uint16_t AD_DXF_SECTION_LTYPE = 0x2;
constexpr std::uint16_t AD_DXF_SECTION_LAYER = 0x4;
constexpr std::uint16_t AD_DXF_SECTION_STYLE = 0x8;
constexpr std::uint16_t AD_DXF_SECTION_VIEW = 0x10;
constexpr std::uint16_t AD_DXF_SECTION_VPORT = 0x20;
constexpr std::uint16_t AD_DXF_SECTION_APPID = 0x40;
constexpr std::uint16_t AD_DXF_SECTION_DIMSTYLE = 0x80;
constexpr std::uint16_t AD_DXF_SECTION_UCS = 0x100;
constexpr std::uint16_t AD_DXF_SECTION_BLOCK_RECORD = 0x200;

// The load-time stores (AdDrawing::loadStores) of a DXF load: the file
// positions (8 bytes each) of every 0 BLOCK group and of every 0 VIEWPORT
// group of ENTITIES, and the deferred arrowhead names. The BLOCK table's
// reader keeps its stream over the block positions in loadStream.
constexpr int AD_DXF_STORE_BLOCKS = 0;
constexpr int AD_DXF_STORE_VIEWPORTS = 1;
constexpr int AD_DXF_STORE_ARROWS = 2;

// Table and object record kinds of the maps (the order of adDxfRecordKindName).
enum AdDxfRecordKind : std::int16_t {
    AD_DXF_KIND_LTYPE,
    AD_DXF_KIND_LAYER,
    AD_DXF_KIND_STYLE,
    AD_DXF_KIND_VIEW,
    AD_DXF_KIND_VPORT,
    AD_DXF_KIND_APPID,
    AD_DXF_KIND_DIMSTYLE,
    AD_DXF_KIND_UCS,
    AD_DXF_KIND_BLOCK,
    AD_DXF_KIND_BLOCK_RECORD,
    AD_DXF_KIND_MLINESTYLE,
    AD_DXF_KIND_CLASS,
};

// How a map row stores the token.
enum AdDxfFieldKind : std::uint8_t {
    AD_DXF_FIELD_BYTE = 0,    // low byte of the short slot
    AD_DXF_FIELD_INT16 = 1,   // element `index` of an int16 field
    AD_DXF_FIELD_DOUBLE = 2,  // element `index` of a double field
    AD_DXF_FIELD_ANGLE = 3,   // degrees in the file, radians in the field
    AD_DXF_FIELD_TEXT = 4,    // cut to the field
    AD_DXF_FIELD_HANDLE = 6,
    AD_DXF_FIELD_INT32 = 7,   // element `index` of an int32 field
    AD_DXF_FIELD_ARROW = 8,   // DIMSTYLE: an arrowhead block name, stored as the block's handle
    AD_DXF_FIELD_NAME = 9,    // a record name, cut to the field
};

// One row of a map: where the value of a group code goes in a record. Rows
// of a map are sorted by code. size is the whole field's bytes, which bounds
// every store.
struct AdDxfFieldMap {
    std::int16_t code;
    std::int16_t field;  // byte offset in the record
    std::uint8_t kind;   // AdDxfFieldKind
    std::int8_t index;   // element of an array field; -1 counts as 0
    std::uint16_t size;
};

// A DIMSTYLE arrowhead named before its block was read (only while
// adGlobals->arrowheadNameCollection is on): kept in the drawing's
// AD_DXF_STORE_ARROWS store for load completion.
struct AdDeferredArrowName {
    AdHandle style;
    std::int32_t arrowKind;  // 5 DIMBLK, 6 DIMBLK1, 7 DIMBLK2
    char blockName[512];
};

// A BLOCK_RECORD of an AC1012+ file. The three stores belong to the caller.
struct AdDxfBlockRecord {
    AdHandle handle;
    AdHandle owner;
    AdHandle layout;
    AdHandle extensionDictionary;
    char name[512];
    AdStore* preview;  // the bytes of its 310 groups
    AdStore* xdata;
};

// Tokenizer. Each answers 1, or 0 at the end of the input (no error code of
// its own) or on damage (298, 299). Binary values are checked against the
// bytes present: a group cut short by the end of the file is not read.
int adDxfReadLine(AdDrawing* drawing);
int adDxfReadGroup(AdDrawing* drawing);
// Reads past extended-data groups (1000 and up), collecting them; leaves the
// first other group in the token.
int adDxfNextGroup(AdDrawing* drawing, std::uint8_t* xdataFlag);
// What the next group of a record was.
enum class AdDxfRecordStep { Group, RecordEnd, FileEnd };
// The next group of the record being read: Group; RecordEnd at the next 0
// group, which is put back for whoever reads the next record; FileEnd when
// the file ends or is damaged first. With xdataFlag, extended data is
// collected as adDxfNextGroup does; without, its groups come as any other.
AdDxfRecordStep adDxfRecordGroup(AdDrawing* drawing, std::uint8_t* xdataFlag);
// The map of a table or object kind; null and 0 rows when there is none.
const AdDxfFieldMap* adDxfTableMap(int kind, std::int32_t* count);
int adDxfCompareCodes(const void* a, const void* b);
// Stores the token through the kind's map; codes without a row are ignored.
void adDxfApplyTableGroup(AdDrawing* drawing, int kind, std::int16_t code, void* record);
// Reads one record of the kind from the file position on; 0 at 0 ENDSEC.
int adDxfReadTableRecord(AdDrawing* drawing, int kind, void* record, std::uint8_t* xdataFlag,
                         std::int32_t* reactorCount, AdStore** reactors, AdObjectHeader* objectHeader);
// Appends the token as a raw extended-data item to the record buffer
// (adGlobals->xdataLength grows). 0 for a code extended data does not have,
// and for an item the buffer cannot hold: neither stores anything.
int adDxfXdataGroup(AdDrawing* drawing, std::int16_t code);
// The extended data a reader collected in the record buffer (any input
// format) as a new store of items; 0 when it is damaged or memory runs out.
int adCollectExtendedData(AdDrawing* drawing, AdStore** store);
// The token is a 102 group: reads the reactor and extension-dictionary
// groups; the first other group is put back.
int adDxfReadReactors(AdDrawing* drawing, AdStore** reactors, std::int32_t* reactorCount,
                      AdHandle* extensionDictionary);
void adDxfDeferArrowName(AdDrawing* drawing, const AdHandle* style, const char* blockName, std::int32_t arrowKind);
// x is the token's real; y and z come from the groups base + 10 and base + 20
// (any code when base is 0); a group that does not fit is put back.
int adDxfReadPoint(AdDrawing* drawing, double point[3], std::int16_t base);
// The bytes of the current and every following 310 group in a new store; the
// first other group is put back.
int adDxfReadChunks(AdDrawing* drawing, AdStore** store);

// The reader operations (AdReadOps slots) and the calls the block loader
// makes directly.
int adDxfOpen(AdDrawing* drawing);
int adDxfTableBegin(AdDrawing* drawing, int kind);
int adDxfTableNext(AdDrawing* drawing, int kind, void* record, std::uint8_t* xdataFlag);
int adDxfLtypeNext(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDxfClassBegin(AdDrawing* drawing);
int adDxfClassNext(AdDrawing* drawing, void* record);
int adDxfBlockBegin(AdDrawing* drawing);
int adDxfBlockNext(AdDrawing* drawing, void* record, std::uint8_t* flag);
int adDxfBlockRecordBegin(AdDrawing* drawing);
int adDxfBlockRecordRead(AdDrawing* drawing, void* record);
int adDxfBlockEntitiesBegin(AdDrawing* drawing);
int adDxfEntitiesBegin(AdDrawing* drawing);
int adDxfObjectsBegin(AdDrawing* drawing);
int adDxfMlineStylesBegin(AdDrawing* drawing);
int adDxfVportHeaderBegin(AdDrawing* drawing);
int adDxfVportHeaderNext(AdDrawing* drawing, void* record);

// The entity reader (readEntity): the next entity of ENTITIES or of the current
// block into header and data; 1, or 0 when none is left. The names it
// carries are left in the name slots (AdDxfNameSlot, dxfLinetypeIndex,
// entityElevation) for adReadEntity; extended data is left in the record
// buffer with *xdataFlag set. Entities of a registered class the reader
// does not know are kept bit-coded as proxy data.
int adDxfEntityNext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* xdataFlag);
// Groups every entity may carry (5, 6, 8, 38, 39, 48, 60, 62, 67, 370, the
// 102 reactor and extension-dictionary brackets, extended data).
bool adDxfIsCommonEntityGroup(std::int16_t code);
void adDxfApplyCommonEntityGroup(AdDrawing* drawing, std::int16_t code, AdEntityHeader* header, AdEntityData* data,
                                 std::uint8_t* xdataFlag);
// LWPOLYLINE, OLE2FRAME, HATCH, IMAGE, ARCALIGNEDTEXT, RTEXT, WIPEOUT.
bool adDxfIsBuiltinClassEntity(const char* name);
// Stores the token through the entity type's map; codes without a row are
// ignored.
void adDxfApplyEntityGroup(std::int16_t code, AdEntityHeader* header, AdEntityData* data);
// Writes the current group into the in-memory encoder; references (330 to
// 369) go to the reference stream as {handle, kind} and are counted; a 92
// with a graphics store puts the following 310 bytes there. 0 for a code the
// encoder does not carry and when memory runs out.
int adDxfEncodeGroup(AdDrawing* drawing, AdStore* graphics, AdStream* references, std::int32_t* referenceCount);
// Drops the spaces that follow each "A" of an AC1015 file's SAT text; the
// store is replaced. 0 with the store unchanged when memory runs out.
int adDxfSatTextFix(AdStore** store);

// The object reader (nextObject, readDictionary, readClassObject, readGroup,
// readMlineStyle). adDxfObjectKind answers the type code of the next object
// of OBJECTS (32 DICTIONARY, 33 MLINESTYLE, 34 CLASS, 36 GROUP, the class
// number of a known class object, 100 for proxies and other names), 0 at the
// end; an object whose class the drawing lacks is passed over with
// AD_ERR_DXF_OBJECT_CLASS and the next one answers. Each reader answers 1
// with the file before the next object's 0 group; its stores belong to the
// caller. Objects of other registered classes get type
// 499 and are kept bit-coded in AdProxyObjectData.
int adDxfObjectKind(AdDrawing* drawing);
int adDxfDictionaryRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDxfMlineStyleRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDxfGroupRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDxfClassObjectRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
// The plot settings of a LAYOUT or PLOTSETTINGS up to the next 0 or 100
// group, which is put back.
int adDxfPlotSettingsRead(AdDrawing* drawing, AdPlotSettingsData* data);
