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

// HEADER and TABLES.
int adDxfWriteHeader(AdDrawing* source, AdOutputDrawing* output, std::int32_t extras);
int adDxfWriteTables(AdDrawing* source, AdOutputDrawing* output, void* recordArea);

// The drivers.
int adDxfWriteR12(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work);
