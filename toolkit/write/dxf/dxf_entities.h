// The DXF writer's records: names by handle, entities, tables, the header and
// the drivers. Internal to the toolkit.
#pragma once
#include "toolkit/write/dxf/dxf_writer.h"

// Names of records referred to by handle; name holds AD_TABLE_NAME_SIZE
// bytes. Errors: 66 layer, 68 style, 69 dimension style, 75 block.
int adDxfLtypeName(AdDrawing* source, const AdHandle* handle, char* name);
int adDxfLayerName(AdDrawing* source, const AdHandle* handle, char* name);
int adDxfStyleName(AdDrawing* source, const AdHandle* handle, char* name);
int adDxfBlockName(AdDrawing* source, const AdHandle* handle, char* name);
int adDxfDimStyleName(AdDrawing* source, const AdHandle* handle, char* name);
// 2 found, 1 the default (first) style used and *handle replaced, 0 none.
int adDxfMlineStyleName(AdDrawing* source, AdHandle* handle, char* name);
// "*PAPER_SPACE..." in any case.
bool adDxfIsPaperSpaceName(const char* name);
// An anonymous block's name with its number replaced by the position ("*U27"
// at position 5 is "*U5"); other names unchanged.
void adDxfRenumberBlockName(const char* name, std::int32_t position, char* out);

// The names an entity refers to, resolved before it is written.
struct AdDxfEntityNames {
    char layer[AD_TABLE_NAME_SIZE];
    char linetype[AD_TABLE_NAME_SIZE];
    char style[AD_TABLE_NAME_SIZE];
    char shape[AD_TABLE_NAME_SIZE];
    char block[AD_TABLE_NAME_SIZE];
    char dimStyle[AD_TABLE_NAME_SIZE];
    char mlineStyle[AD_TABLE_NAME_SIZE];
};

// The block being written in BLOCKS.
struct AdDxfBlockBegin {
    char name[AD_TABLE_NAME_SIZE];
    std::uint8_t flags;
    std::int32_t number;
    char xrefPath[AD_TABLE_NAME_SIZE];
    std::int32_t unloaded;
    char description[AD_TABLE_NAME_SIZE];
};

// What the entity writers share while one file is written.
struct AdDxfEntityContext {
    AdDrawing* source;
    AdOutputDrawing* output;
    AdDxfEntityNames names;
    AdDxfBlockBegin block;
    bool inBlocks;
    AdHandle mlineStyle;  // of the MLINE being written: its own, or the default style
    bool spaceBlock;      // the BLOCK being written is a space's own, made by the driver
};

// Looks up the entity's names; 0 with the look-up's error. An unresolvable
// SHAPE gets shape number 255 (left out by the driver).
int adDxfResolveEntityNames(AdDxfEntityContext* context, AdEntityHeader* header, AdEntityData* data);
// Writes one entity (an LWPOLYLINE before AC1014 as POLYLINE, VERTEX and
// SEQEND) with its extended data.
int adDxfWriteEntity(AdDxfEntityContext* context, AdEntityHeader* header, AdEntityData* data);
// The extended data of a record or entity: 1001 and 1003 items by name (a
// 1003 naming no layer is dropped), 0 with AD_ERR_XDATA_APPID for an unknown
// APPID.
int adDxfWriteXdataStore(AdDrawing* source, AdOutputDrawing* output, AdStore* xdata);
void adDxfBeginBlock(AdDxfEntityContext* context, const AdBlockHeader* block, const char* name, std::int32_t number);

// MTEXT texts: pieces of at most 249 bytes (no double-byte character of the
// code page split), every piece but the last as group 3, the last as group
// 1. A piece goes through a 512-byte buffer with its line feeds removed; what
// does not fit the buffer is left out.
int adDxfWriteMtextText(AdOutputDrawing* output, const char* text, std::size_t length, int codePage);
int adDxfWriteMtextPiece(AdOutputDrawing* output, const char* text, std::size_t length, bool more);
// The SAT text of a store as DXF lines: 1 for a whole line, 3 for a piece of
// a longer one, printable bytes b written as 159 - b.
int adDxfWriteSatLines(AdOutputDrawing* output, AdStore* store);

// HEADER and TABLES.
int adDxfWriteHeader(AdDrawing* source, AdOutputDrawing* output, std::int32_t extras);
int adDxfWriteTables(AdDrawing* source, AdOutputDrawing* output, void* recordArea);

// The drivers.
int adDxfWriteR12(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work);
int adDxfWriteR13(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work);
