// The reader of bit-coded DWG files (AC1012 to AC1015) as the load stages
// and the other readers call it: file structure, checks, table and object
// readers, entity readers.
#pragma once
#include "toolkit/ad_internal.h"

// ===== DWG file structure and header variables =====
// Modes of adDwgCheckFile.
constexpr int AD_DWG_CHECK_FULL = 1;
constexpr int AD_DWG_CHECK_QUICK = 2;

// The open operation of the DWG reader: checks the file, reads its
// header variables and, for AC1012 to AC1015, the preview images, the object
// map and the table control objects. 1, or 0 with the error code set.
int adDwgReadHeader(AdDrawing* drawing);
// Checks a DWG file: the quick check reads the file header and the header
// section, the full one also compares the CRCs of the header, classes and
// object-map sections and of every object the map lists. Answers 1 when the
// file fails (the error code says how), 0 when it passes (error 0) or its
// version is not checked (files before AC1009, and AC1009 files whose
// header carries no CRC). Other AC1009 files get their header size (184),
// header CRC (185) and the bounds of their sections and tables (186)
// checked, and in the full check every record of their sections (187 the
// entities, 198 the blocks, 199 the extras) and tables (188 + table) and
// their trailer (200), the sub-code in dwgCheckDetail. The file position is
// left anywhere.
int adDwgCheckFile(HostFile* file, int mode);
// Positions the drawing's input file at the object with that handle; 0 when
// the handle is null or not in the object map.
int adDwgSeekObject(AdDrawing* drawing, const AdHandle* handle);
// Reads the object at the file position (objects of type 0 are passed over)
// up to the end of its common start, leaving the bit reader in the object's
// data. Answers the object type; 0 at the end of the objects (error code
// untouched), or 0 with error 201 for an object that cannot be read. The
// object's extended data goes to the record buffer (buffer32kA) in the raw
// form: per application a 16-bit size, the handle's code byte and bytes, the
// data; then a 16-bit 0; its length in adGlobals->xdataLength. An entity's
// own graphics go into a new store handed out through graphicsOut (null when
// it has none); the caller frees it.
std::int16_t adDwgReadObjectStart(AdDrawing* drawing, AdHandle* handleOut, std::uint8_t* xdataFlagOut, int isEntity,
                                  AdStore** graphicsOut);
// Reads a table control object: its entry count, one byte more when asked
// (the AC1015 DIMSTYLE control), its owner, reactors and extension
// dictionary; the reader is then at the first entry handle.
int adDwgReadControlObject(AdDrawing* drawing, const AdHandle* handle, std::int32_t* countOut, int extraByte);

// ===== DWG table and object readers =====
// Reads a table's control object (one byte more when extraByte is set) and
// up to count non-null entry handles from it into the drawing's load-time
// list, which adDwgNextTableEntry then walks; null on a failure and for files
// before AC1012, which carry no control objects.
AdStream* adDwgBeginTable(AdDrawing* drawing, const AdHandle* control, std::int32_t count, int extraByte);
// The next entry handle of the list, with the file positioned at its object:
// 1; 0 with a null handle at the end of the list, 0 with the handle when its
// object is not in the object map.
int adDwgNextTableEntry(AdDrawing* drawing, AdHandle* handle);

// Known classes by the drawing's class numbers: the object classes the DWG
// object readers take apart, and the entity classes the OBJECTS walk passes
// over. A type below the first class number is neither.
bool adDwgIsObjectClass(const AdDrawing* drawing, std::int16_t type);
bool adDwgIsEntityClass(const AdDrawing* drawing, std::int16_t type);

// ===== DWG entity readers AC1012 to AC1015 =====
// Sets a spline's flags 0x8 (planar) and 0x10 (linear) from its stored fit
// points, or its control points when it has none: two points or fewer, or
// points on one line, give both; points in one plane 0x8; others neither.
// Every reader of SPLINE entities calls it after filling the point store; 0
// when the store could not be read.
int adSplineShapeFlags(AdSplineData* spline);
// The readEntity operation of DWG files: the next entity of the list begun
// by beginBlockEntities or beginEntities, with its extended data waiting in
// the record buffer when the flag says so. 1 when an entity was read; 0 at
// the end of the list, or with the error code set when the chain or the
// entity cannot be read. Files before AC1012 are read by the fixed-record
// reader.
int adDwgEntityNext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* xdataFlag);
// beginEntities: the ENTITIES section, the paper-space chain first, then the
// model-space chain. beginBlockEntities: the list of the block whose BLOCK
// record was read last (its handles in currentBlockEntity ...), from its
// BLOCK entity.
int adDwgBeginEntities(AdDrawing* drawing);
int adDwgBeginBlockEntities(AdDrawing* drawing);
// The model-space and paper-space block records, read during the open: their
// BLOCK and ENDBLK entities and their first and last entities kept in the
// drawing. 1, or 0 with the error code set.
int adDwgReadSpaceBlocks(AdDrawing* drawing);
// What a DIMENSION holds before its fields are read (both DWG entity
// readers): attachment 5, line-spacing style 1 and factor 5/3, the clone
// point's and the text midpoint's z the pending elevation, the rest 0; the
// definition point and the midpoint's x and y are left as they are. The
// dimension-style slots of the global state are cleared.
void adDwgDimensionDefaults(AdDimensionData* data);
