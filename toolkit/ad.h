// The drawing toolkit's public header.
//
// Conventions that every part of the toolkit follows:
// - Procedural functions with the prefix `ad` over plain records with the prefix
//   `Ad`. Records are copied into and out of caller buffers; nothing outside the
//   toolkit keeps a pointer into a list or a store.
// - Every operation answers 1 for success and 0 (or null) for failure; the reason
//   is the numeric error code in the global state (`adGlobals->errorCode`), and
//   `adErrorText` gives its phrase.
// - References inside stores, lists and the handle index are plain pointers
//   (pointer-sized on every build). Record sizes therefore follow the pointer
//   width; nothing stored in a file or exchanged with another program contains
//   such a reference.
// - Anything stored or exchanged uses fixed-width integers; `long` is never used
//   for a size or a file field (Windows is LLP64, Linux LP64).
// - Every copy into a fixed-size text field is bounded: longer input is cut at
//   the field's size (or refused where the operation says so).
// - Only one thread may be inside the toolkit at a time: there is one global
//   state and no lock.
//
// Two DWG families are told apart throughout: the fixed-record family
// (AC1002-AC1009, fixed-size entity records and table records) and the
// bit-coded family (AC1012-AC1015, bit-packed objects found through the object
// map). DXF files of every version load into the same records.
//
// Contents, in reading order:
//   1. Basics: error codes, the handle value, the host porting layer, the
//      toolkit state and versions, start-up and flow control, byte stores and
//      streams, record lists, init data and code pages, names, helpers, fonts.
//   2. Handles: the handle index and handle arithmetic.
//   3. The drawing: the drawing record, its accessors, header variables.
//   4. Symbol tables: table records and cursors.
//   5. Entities: entity records and packed storage, extended data, entity
//      lists and the standard arrowheads.
//   6. Objects: object records, class numbers, dictionaries and the helpers
//      over them.
//   7. Loading and saving: opening, sniffing and closing drawings; saving.
//   8. Hooks: what the host installs (file finder, font names, progress, init
//      data, glyph outlines).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// ===========================================================================
// 1. Basics
// ===========================================================================

// ---------------------------------------------------------------------------
// Error codes: one numbering for the whole toolkit (core, readers, display
// engine, writers). adErrorText gives each a short phrase. While a load runs
// the error code holds the stage being run (AD_STAGE_*); a failed or
// cancelled load leaves it there unless the failing routine set a code of its
// own. 3 also stands for a file name that does not fit AD_FILE_NAME_SIZE with
// its terminator: such a name is refused, not cut.
// ---------------------------------------------------------------------------
enum AdError : std::int32_t {
    AD_OK = 0,
    // Start-up and the load driver.
    AD_ERR_NO_DRAWING_MEMORY = 1,
    AD_ERR_FILE_OPEN = 3,
    AD_ERR_BEFORE_SNIFF = 4,
    AD_ERR_NOT_DRAWING = 5,
    AD_ERR_XREF_LIMIT = 7,           // all AD_XREF_LIMIT external-reference entries in use
    AD_ERR_UNSUPPORTED_VERSION = 8,  // a DWG version outside AC1002..AC1015
    AD_ERR_BUFFER_32K_A = 9,
    AD_ERR_BUFFER_32K_B = 10,
    AD_ERR_BUFFER_128K_A = 11,  // also: no memory for the sniff buffer
    AD_ERR_BUFFER_128K_B = 12,
    AD_ERR_INIT_DATA = 15,
    AD_ERR_HEADER_REJECTED = 22,
    // The DXF reader.
    AD_ERR_DXF_PRESCAN = 14,       // a group could not be read during the pre-scan
    AD_ERR_DXF_NO_EOF = 30,        // the file ended without 0 EOF
    AD_ERR_DXF_HEADER = 31,
    AD_ERR_DXF_ENTITIES = 32,      // ENTITIES ended before 0 ENDSEC
    AD_ERR_DXF_TABLES = 33,        // a table or TABLES ended early
    AD_ERR_DXF_BLOCKS = 34,
    AD_ERR_DXF_OBJECTS = 35,
    AD_ERR_DXF_OBJECT_CLASS = 36,  // an object's class is not in CLASSES; it was passed over
    AD_ERR_DXF_ENTITY_TYPE = 37,   // an entity of a type the reader does not know; passed over
    AD_ERR_DXF_HEADER_EOF = 155,   // the file ended inside HEADER
    AD_ERR_DXF_LINE_LENGTH = 298,  // an ASCII line over AD_DXF_LINE_LIMIT characters
    AD_ERR_DXF_GROUP_CODE = 299,   // a group code line with a letter
    // The load stage being run (the load driver's section order).
    AD_STAGE_LTYPE = 45,
    AD_STAGE_LAYER = 46,
    AD_STAGE_CLASSES = 47,
    AD_STAGE_VPORT = 48,
    AD_STAGE_UCS = 49,
    AD_STAGE_APPID = 50,
    AD_STAGE_VIEW = 51,
    AD_STAGE_STYLE = 52,
    AD_STAGE_DIMSTYLE = 53,
    AD_STAGE_BLOCK = 54,
    AD_STAGE_ENTITIES = 55,  // also the block-number table of fixed-record DWG files
    AD_STAGE_OBJECTS = 56,
    AD_STAGE_VPORT_ENTITIES = 70,
    AD_STAGE_BLOCK_ENTITIES = 130,
    AD_STAGE_HEADER_REFERENCES = 131,
    AD_STAGE_COMPLETION = 133,
    // The writers.
    AD_ERR_WRITE = 27,               // a file write failed
    AD_ERR_SAVE_WORK_AREA = 57,      // a save work area or the budget table
    AD_ERR_HEADER_LAYER = 59,        // header names: current layer ...
    AD_ERR_HEADER_LTYPE = 60,
    AD_ERR_HEADER_DIMSTYLE = 61,
    AD_ERR_HEADER_UCS = 62,
    AD_ERR_HEADER_PAPER_UCS = 63,
    AD_ERR_HEADER_TEXTSTYLE = 64,
    AD_ERR_HEADER_DIMTXSTY = 65,
    AD_ERR_LAYER_INDEX = 66,         // handle -> table index look-ups
    AD_ERR_LTYPE_INDEX = 67,
    AD_ERR_STYLE_INDEX = 68,
    AD_ERR_DIMSTYLE_INDEX = 69,
    AD_ERR_XDATA_APPID = 71,
    AD_ERR_XDATA_LAYER = 72,
    AD_ERR_R12_BLOCK_LIST = 74,      // a block's entities cannot be walked (fixed-record DWG)
    AD_ERR_BLOCK_INDEX = 75,
    AD_ERR_HEADER_MLSTYLE = 128,
    AD_ERR_OWNER_MAP = 206,
    AD_ERR_DXF_DICTIONARY = 158,     // DXF OBJECTS: a DICTIONARY could not be written
    AD_ERR_DXF_OBJECT = 161,         // DXF OBJECTS: another object could not be written
    AD_ERR_DXF_MTEXT_MEMORY = 259,   // no room for an MTEXT's stored text
    AD_ERR_MTEXT_MATRICES = 260,     // no room for an MTEXT's per-viewport matrices
    AD_ERR_DWG_HEADER_WRITE = 58,     // bit-coded DWG: file header or header section
    AD_ERR_DWG_BLOCK_ENTITY = 145,    // a block without its BLOCK or ENDBLK entity
    AD_ERR_DWG_RECORD_STORE = 146,    // a record's chunk could not be kept
    AD_ERR_DWG_VPORT_HEADER = 149,    // a VIEWPORT without a viewport entity header
    AD_ERR_DWG_DUPLICATE = 153,       // a handle written twice
    AD_ERR_DWG_LEADER_STYLE = 171,    // a LEADER's dimension settings cannot be had
    AD_ERR_DWG_TOLERANCE_STYLE = 174, // a TOLERANCE's dimension style is missing
    AD_ERR_DWG_OBJECT_MAP = 203,      // the object map could not be written
    AD_ERR_DWG_MAP_MEMORY = 211,      // no room for the object map's entries
    AD_ERR_DWG_VPORT_MAP = 213,       // no room for the viewport-entity-header map
    AD_ERR_VERSION_CEILING = 306,
    AD_ERR_NO_WRITER = 307,          // no writer exists for the requested format and version
    AD_ERR_R12_RECORD_TOO_LONG = 309,   // a fixed-record DWG entity longer than a record can be
    AD_ERR_R12_BLOCKS_TOO_LARGE = 310,  // a blocks section past what a BLOCK record can address
    // Table, entity-list and object operations.
    AD_ERR_NO_BLOCK_LIST = 73,         // no block header with that handle
    AD_ERR_LTYPE_EMPTY = 76,
    AD_ERR_LTYPE_NOT_FOUND = 77,
    AD_ERR_BLOCK_EMPTY = 92,
    AD_ERR_BLOCK_NOT_FOUND = 93,
    AD_ERR_ENTITY_STORE_FREE = 98,     // a type store could not be freed
    AD_ERR_ENTITY_NOT_IN_LIST = 99,    // unlink: the record is not in this list
    AD_ERR_LTYPE_STORE_FREE = 106,
    AD_ERR_LTYPE_UNLINK = 107,
    AD_ERR_LTYPE_FREE = 108,
    AD_ERR_BLOCK_STORE_FREE = 124,
    AD_ERR_BLOCK_UNLINK = 126,
    AD_ERR_BLOCK_FREE = 127,
    AD_ERR_ENTITY_LIST_NULL = 151,
    AD_ERR_ENTITY_READ = 152,
    AD_ERR_PROXY_DATA_FREE = 159,
    AD_ERR_PROXY_IDS_FREE = 160,
    AD_ERR_OBJECT_NOT_CURRENT = 164,
    AD_ERR_OBJECT_NOT_FOUND = 168,
    AD_ERR_OBJECT_FREE = 169,
    AD_ERR_OBJECT_UNLINK = 170,
    AD_ERR_ENTITY_REMOVE = 175,        // update: the old entity could not be removed
    AD_ERR_OBJECT_TYPE = 205,
    AD_ERR_LTYPE_MEMORY = 220,
    AD_ERR_BLOCK_MEMORY = 221,
    AD_ERR_ENTITY_UNKNOWN = 226,       // update: the handle is not in the index
    AD_ERR_ENTITY_OTHER_LIST = 227,    // update: the handle's record is in another list
    AD_ERR_ENTITY_PACK = 228,          // update: the new entity could not be packed
    AD_ERR_ENTITY_VIEWPORT = 229,      // update: no paper-space viewport record
    AD_ERR_INSERT_BLOCK = 232,         // an INSERT names no block header of the drawing
    AD_ERR_LAYOUT_VIEWPORT = 291,      // adSetActiveLayout: no paper-space viewport record
    AD_ERR_VPORT_HEADER_UNMATCHED = 302,  // a viewport-entity header matches no viewport
    AD_ERR_UNKNOWN_HANDLE = 303,
    AD_ERR_OTHER_TABLE = 304,
    AD_ERR_TABLE_READ = 305,
    AD_ERR_PACKED_ENTITY = 308,        // a packed record's lengths disagree with its contents
    // An entity that could not be stored while loading (AdDrawing::readError).
    AD_READ_PAPER_VIEWPORT = 287,   // paper-space VIEWPORT before AC1015 without extended data
    AD_READ_XDATA = 288,            // extended data could not be collected
    AD_READ_PACK = 289,             // the entity could not be packed
    AD_READ_VIEWPORT_RECORD = 291,  // no room for a paper-space viewport record
    // Streams, group items, lists and the handle index.
    AD_ERR_STREAM_READ_NULL = 162,
    AD_ERR_STREAM_WRITE_NULL = 163,
    AD_ERR_GROUP_CODE_READ = 165,
    AD_ERR_GROUP_CODE_WRITE = 166,
    AD_ERR_DUPLICATE_HANDLE = 172,
    AD_ERR_INDEX_REFUSED = 173,
    AD_ERR_INDEX_WORK_MEMORY = 209,
    AD_ERR_STREAM_MEMORY = 210,
    AD_ERR_INDEX_NODE_MEMORY = 214,
    AD_ERR_WORK_AREA = 216,
    AD_ERR_LIST_MEMORY = 218,
    AD_ERR_RECORD_MEMORY_APPEND = 222,
    AD_ERR_RECORD_MEMORY_INSERT = 223,
    AD_ERR_NULL_HANDLE_KEY = 231,
    AD_ERR_INDEX_DUPLICATE = 292,
    // Init data, fonts and the toolkit state.
    AD_ERR_INIT_DATA_OPEN = 182,
    AD_ERR_INIT_DATA_BANNER = 183,
    AD_ERR_FONT_INDEX_MEMORY = 267,     // a shape font's index
    AD_ERR_FONT_INDEX_BUFFER = 268,     // the index read buffer of a shapes 1.x font
    AD_ERR_BIGFONT_INDEX_MEMORY = 270,
    AD_ERR_STATE_MEMORY = 284,
    AD_ERR_PRE_RELEASE = 286,
    AD_ERR_FONT_MEMORY = 293,           // a font record, a bigfont buffer or a page
    AD_ERR_FONT_MANAGER = 294,
    // The DWG readers: file structure and checks.
    AD_ERR_DWG_HEADER_SIZE = 184,       // the header is not of a size a fixed header has
    AD_ERR_DWG_HEADER_CRC = 185,        // the header's CRC is wrong
    AD_ERR_DWG_SECTION_RANGE = 186,     // a section or its size lies outside the file
    // The full check of a fixed-record file: a record of the entities section,
    // of a table (the first plus its AdTableControl position), of the blocks
    // or extras section, or the trailer, is damaged.
    AD_ERR_DWG_ENTITY_RECORD = 187,
    AD_ERR_DWG_TABLE_RECORD = 188,
    AD_ERR_DWG_BLOCK_RECORD = 198,
    AD_ERR_DWG_EXTRAS_RECORD = 199,
    AD_ERR_DWG_TRAILER = 200,
    AD_ERR_DWG_OBJECT_CRC = 201,        // an object's CRC or framing is wrong
    AD_ERR_DWG_SECTION_CRC = 202,       // a section's CRC is wrong
    AD_ERR_DWG_ENTITY_CHAIN = 283,      // an entity chain loops, outruns the object map or leaves it
    AD_ERR_DWG_HANDLE_MISSING = 300,    // a control or required object handle is null
    AD_ERR_DWG_TRUNCATED_VIEWS = 301,   // an AC1009 file cut short that has viewport-entity headers
    AD_ERR_R12_ENTITY_SHORT = 340,      // a fixed-record entity too short for its fields; passed over
    AD_ERR_R12_VPORT_CHAIN = 345,       // the viewport-entity header chain loops or leaves its table
    // Extended data.
    // A code extended data does not have, or a 1000 string or 1004 chunk
    // longer than 255 bytes, offered to adXdataWriteItem.
    AD_ERR_XDATA_WRITE = 316,
    // Raw or stored extended data that contradicts itself: an item, application
    // block or handle running past the data, its block or its value area; a
    // negative block size; a collected length outside the record buffer.
    AD_ERR_XDATA_DAMAGED = 317,
    // The display engine and the polygon clipper.
    AD_ERR_XREF_MISSING = 20,    // no file at an external reference's path, after the finder
    AD_ERR_SPLINE_MEMORY = 29,   // a spline's working arrays
    AD_ERR_DISPATCH_LINETYPE = 234,  // the entity's linetype could not be read
    AD_ERR_DISPATCH_STYLE = 235,     // the entity's text style could not be read
    AD_ERR_DISPATCH_MATRICES = 236,  // no memory for an entity's per-view matrices
    AD_ERR_POINT_MATRICES = 238,     // no memory for a POINT's per-view matrices
    AD_ERR_POLYLINE_VERTICES = 241,  // a polyline's vertices
    AD_ERR_LEADER_MEMORY = 28,       // a leader's spline arrays or viewport matrices
    AD_ERR_MLINE_CAP_OUTLINE = 247,  // the viewport matrices of a multiline's arc cap
    AD_ERR_MLINE_CAP_FILL = 248,     // the viewport matrices of a multiline's filled arc cap
    AD_ERR_MLINE_LAYER_LINETYPE = 256,  // a multiline's layer linetype record
    AD_ERR_MLINE_LINETYPES = 257,    // a multiline's element linetype records
    AD_ERR_MESH_SCRATCH = 264,       // a mesh's vertex scratch copy or rows
    AD_ERR_MESH_FIRST_ROW = 266,     // the first-row copy of a mesh closed in M
    AD_ERR_VIEWPORT_MATRICES = 245,  // no memory for a viewport's matrices
    AD_ERR_ELLIPSE_MATRICES = 246,   // no memory for an ellipse's matrices
    AD_ERR_PROXY_MESH_VERTICES = 250,   // a proxy-graphics mesh's vertices
    AD_ERR_PROXY_MESH_ARRAYS = 251,     // a proxy-graphics mesh's edge or face attributes
    AD_ERR_PROXY_SHELL_VERTICES = 252,  // a proxy-graphics shell's vertices
    AD_ERR_PROXY_SHELL_FACES = 253,     // a proxy-graphics shell's face list
    AD_ERR_PROXY_SHELL_ARRAYS = 254,    // a proxy-graphics shell's edge or face attributes
    AD_ERR_PROXY_MATRICES = 255,        // the per-viewport matrices of a proxy-graphics arc
    AD_ERR_DISPLAY_STATE_MEMORY = 275,  // the display state, a view or a clip region
    AD_ERR_RENDER_MEMORY = 277,  // the render context or its buffers
    AD_ERR_CLIP_MEMORY = 280,    // the polygon clipper ran out of memory
    AD_ERR_CLIP_ARGUMENT = 281,  // the polygon clipper got a bad operation code or count
    AD_ERR_SHAPE_MATRICES = 239,  // a SHAPE's per-viewport matrices
    AD_ERR_TEXT_MATRICES = 258,   // a text's per-viewport matrices
    AD_ERR_ELEMENT_MATRICES = 276,  // a complex linetype element's per-viewport matrices
    AD_ERR_TEXT_FONT = 296,       // measuring text: the primary font cannot be loaded or used
    AD_ERR_TEXT_BIGFONT = 297,    // measuring text: the big font cannot be loaded
    AD_ERR_FILL_MEMORY = 381,    // a fill's or a hatch's working arrays
    // A fill with more edges at one sweep position than the edge table holds,
    // a glyph outline of more points than a contour carries, or a hatch loop
    // of more segments than a loop counts: that fill is not drawn.
    AD_ERR_FILL_TOO_LARGE = 382,
    // A hatch pattern family would need more lines than a family may draw:
    // the hatch is drawn solid instead.
    AD_ERR_HATCH_TOO_DENSE = 383,
    // The plot-style table reader (adLoadPlotStyleTable and the style look-ups).
    // Its codes share numbers with the load driver's; they are set only by
    // those calls, so a caller reads them in that context.
    AD_ERR_PLOT_STYLE_INFLATE = 2,  // the body does not inflate; also: no style of that name or handle
    AD_ERR_PLOT_STYLE_OPEN = 3,
    AD_ERR_PLOT_STYLE_EMPTY = 4,
    AD_ERR_PLOT_STYLE_SHORT = 30,
    AD_ERR_PLOT_STYLE_MEMORY = 136,
};

// A short phrase for an error code ("unsupported DWG version"); "unknown
// error" for a number outside the numbering. Never null.
const char* adErrorText(std::int32_t code);

// Condition codes handed to the fatal-error hook.
enum AdFatalCondition : std::int32_t {
    AD_FATAL_NO_MEMORY = 2,
    AD_FATAL_WRITER = 3,         // a failed write
    AD_FATAL_OUTPUT_CLOSED = 4,  // a write to an output the writer closed
    AD_FATAL_BAD_STORED_DATA = 5,
    AD_FATAL_BAD_FILE_DATA = 6,
};

// ---------------------------------------------------------------------------
// Handles: 8 bytes, most significant first, compared bytewise. All zero is null.
// ---------------------------------------------------------------------------
struct AdHandle {
    std::uint8_t b[8];
};

// ---------------------------------------------------------------------------
// Host porting layer: every file access, allocation and record copy of the
// toolkit goes through these.
// ---------------------------------------------------------------------------
// An open file of the host layer; the toolkit only hands it back.
struct HostFile;

HostFile* HostOpenFile(const char* name, const char* mode);
HostFile* HostOpenRead(const char* name);
int HostClose(HostFile* f);
std::size_t HostRead(void* buffer, std::size_t itemSize, std::size_t count, HostFile* f);
std::size_t HostWrite(const void* buffer, std::size_t itemSize, std::size_t count, HostFile* f);
int HostPuts(const char* text, HostFile* f);
int HostGetc(HostFile* f);
char* HostGets(char* buffer, std::int32_t size, HostFile* f);
int HostEof(HostFile* f);
int HostSeek(HostFile* f, std::int64_t offset, int origin);
std::int64_t HostTell(HostFile* f);
std::int64_t HostFileLength(HostFile* f);
int HostAccess(const char* name, int mode);
void* HostAlloc(std::size_t length);
int HostFree(void* block);
int HostMemMove(void* destination, const void* source, std::size_t length);
int HostStartCheck();

// ---------------------------------------------------------------------------
// Toolkit state, hooks and versions
// ---------------------------------------------------------------------------
struct AdDrawing;
struct AdHeaderVars;

using AdFileFinderHook = void (*)(char* name, char* result, void* userData);
using AdFontNameHook = int (*)(void* fontRequest);
using AdFatalErrorHook = int (*)(std::int32_t condition);
using AdProgressHook = void (*)(std::int32_t percent);

// Results of a file finder are written into a buffer of this many bytes.
constexpr std::size_t AD_PATH_SIZE = 512;
// The name field of a table record.
constexpr std::size_t AD_TABLE_NAME_SIZE = 512;

constexpr int AD_DISPLAY_HOOK_COUNT = 4;
constexpr int AD_DISPLAY_HOOK_GLYPH = 0;

struct AdToolkitHooks {
    AdFileFinderHook fileFinder;
    AdFontNameHook fontName;
    AdFatalErrorHook fatalError;
    AdProgressHook loadProgress;
    AdProgressHook saveProgress;
    // Owned by the display engine; the core only clears them at start-up.
    // The font manager resolves TrueType faces only while the glyph slot is set.
    void* display[AD_DISPLAY_HOOK_COUNT];
};

// Version indexes of the version table (AdDrawing::version; -1 unknown).
// AC1002 to AC1009 are the fixed-record DWG files, AC1012 and later the
// bit-coded ones; a DXF file has the version of its header.
enum AdVersion : std::int16_t {
    AD_VERSION_AC1002 = 0,
    AD_VERSION_AC1003 = 1,
    AD_VERSION_AC1004 = 2,
    AD_VERSION_AC1006 = 3,
    AD_VERSION_AC1009 = 4,
    AD_VERSION_AC1012 = 5,
    AD_VERSION_AC1014 = 6,
    AD_VERSION_AC1015 = 7,
    AD_VERSION_COUNT = 8,
    AD_VERSION_FIRST_BITCODED = AD_VERSION_AC1012,
};

// The process-wide state; null while the toolkit is stopped.
struct AdGlobalState {
    std::int16_t preReleaseSeen;
    std::uint8_t continueFlag;
    std::int32_t errorCode;
    // The stage code of the load stage the last load entered (0 before its
    // first), kept when a reader replaces the error code with its own.
    std::int32_t loadStage;
    AdHandle offendingHandle;
    std::int16_t dwgCheckDetail;  // which section or table a failed DWG check found outside the file
    std::uint8_t polylineConversion;
    AdToolkitHooks hooks;
    // Built-in font tables (index and shape bytes of SIMPLEX and GDT).
    struct AdShapeIndexEntry* simplexIndex;
    std::uint8_t* simplexShapes;
    struct AdShapeIndexEntry* gdtIndex;
    std::uint8_t* gdtShapes;
    // The built-in SIMPLEX and GDT fonts made over those tables.
    struct AdFont* builtinFonts[2];
    struct AdInitDataState* initData;  // code-page maps, loaded on first use
    std::uint8_t* workArea;  // 10 bytes of scratch
    AdHandle nullHandle;
    AdHandle handleSeedDefault;
    std::uint8_t* buffer32kA;
    std::uint8_t* buffer32kB;
    std::uint8_t* buffer128kA;
    std::uint8_t* buffer128kB;
    std::int16_t outputBufferSize;
    double linearTolerance;
    double angularTolerance;
    std::int16_t precision;
    char integerFormat[16];
    char realFormat[16];
    char exponentFormat[16];
    std::int16_t acceptPreRelease;
    std::uint8_t entityTypeFilter[32];
    std::int16_t nameLengthLimit;
    std::int16_t currentCodePage;
    AdHandle highestHandle;
    // The reader-operation tables of the two input formats; null until
    // adInstallDwgReadOps / adInstallDxfReadOps.
    const struct AdReadOps* dwgReadOps;
    const struct AdReadOps* dxfReadOps;
    std::int32_t angleNormalisation;
    std::int16_t arrowheadNameCollection;
    std::int32_t xdataCodePages;
    double pfbFontScale;
    // The one current DWG bit stream and the drawing it belongs to.
    struct AdBitStream* bitStream;
    AdDrawing* bitDrawing;
    // Header variables that name table records (AD_HEADER_NAME_*): a DXF
    // header leaves the names here and the fixed DWG header table indexes
    // (AD_HEADER_INDEX_*), until load completion turns them into handles.
    char headerNames[12][512];
    std::int16_t headerIndexes[6];
    // The elevation a reader keeps for the entity it is reading; cleared by
    // adEntityDefaults.
    double entityElevation;
    // Bytes of extended data the DWG object reader left in the record buffer.
    std::int32_t xdataLength;
    // The BLOCK record reader of AC1012+ files leaves the block's base point
    // and external-reference path here for the BLOCK entity that follows.
    double blockBasePoint[3];
    char blockXrefPath[256];
    // The extended-data item reader's place in the record buffer: the next
    // byte, and the end of the open application block of an AC1012+ file (0
    // while none is open); the table index (AC1002..AC1009) or the name (DXF)
    // that the last 1001 or 1003 item gave, for the load to resolve.
    std::int32_t xdataPosition;
    std::int32_t xdataBlockEnd;
    std::int16_t xdataTableIndex;
    char xdataName[256];  // a length byte counts at most 255 characters
    // The DXF reader's current group (AdDxfToken); one drawing is read at a
    // time. Its text lies in the first 128K work buffer.
    struct AdDxfToken {
        std::int16_t code;
        char* text;
        double real;
        std::int16_t shortValue;
        std::int32_t longValue;
        AdHandle handle;
        std::int16_t chunkLength;   // bytes of the last binary 1004 chunk
        std::uint8_t twoByteCodes;  // a binary file whose group codes are two bytes wide from the start
        // A reader that meets the group ending its record puts it back: the
        // next read delivers it again without going back in the file.
        std::int64_t start;    // file position where the last read began
        std::uint8_t held;     // the last read delivered a group
        std::uint8_t putBack;  // the next read delivers this group again
        // While a pre-scan skims a section for its 0 groups, ASCII values of
        // other groups stay text: their numbers are never looked at there.
        std::uint8_t skim;
    } dxfToken;
    // Names a DXF record gives that the loaders turn into handles (AdDxfNameSlot).
    char dxfNames[8][512];
    std::int16_t dxfLinetypeIndex;  // of the entity being read; 0x7FFF: none
    // Table indexes the entity reader of a file before AC1012 left for the
    // entity it delivered, which adReadEntity turns into handles (-1 none;
    // linetype 0x7FFF BYLAYER, 0x7FFE BYBLOCK).
    struct AdEntityIndexes {
        std::int16_t layer;
        std::int16_t linetype;
        std::int16_t textStyle;
        std::int16_t block;
        std::int16_t dimStyle;
    } entityIndexes;
    // What the DWG entity reader of AC1012+ files took from the entity being
    // read, for its handle references and for the chain navigation.
    struct AdDwgEntityRefs {
        std::uint8_t linetypeByLayer;  // AC1012, AC1014
        std::uint8_t noLinks;          // previous and next are handle -1 and +1
        std::uint8_t linetypeFlags;    // AC1015
        std::uint8_t plotStyleFlags;   // AC1015
        std::uint8_t modeZero;         // the owner handle follows
        std::int32_t reactorCount;
        AdHandle owner;
        AdHandle previous;
        AdHandle next;
        // A POLYLINE's first vertex, last vertex and SEQEND, or an INSERT's
        // first attribute, last attribute and SEQEND.
        AdHandle firstSub;
        AdHandle lastSub;
        AdHandle seqend;
    } dwgEntity;
    // DXF inheritance while entities are read: a VERTEX or SEQEND takes the
    // names and paper-space bit of the POLYLINE (or INSERT) it belongs to.
    struct AdDxfInheritance {
        char layer[512];     // as dxfNames
        char linetype[512];
        std::int16_t linetypeIndex;
        std::int16_t color;
        std::uint8_t paperSpace;
        bool polylineOpen;
        std::uint8_t insertPaperSpace;
    } dxfInherited;
    // The two space block records (model space, then paper space) as the
    // BLOCK table gave them; the table loader stores them after the table.
    struct AdSpaceBlock {
        AdHandle handle;  // null: a new one is given
        AdHandle extensionDictionary;
        AdHandle layout;
        char name[AD_TABLE_NAME_SIZE];
        std::uint8_t flags;
        std::int64_t filePosition;
    } spaceBlocks[2];
    // Set by the fatal-error routine that the DIMASSOC reader installs while
    // it reads one object: the object is bad.
    std::uint8_t dimAssocAborted;
};

extern AdGlobalState* adGlobals;

// Failure reporting shared by every part: set the error code; call the
// fatal-error hook (when one is installed) with a condition; both for an
// allocation failure (condition 2). The operation fails in every case.
void adSetError(std::int32_t code);
void adFatalError(std::int32_t condition);
void adNoMemory(std::int32_t code);

// ===== Start-up, error and flow control, versions, dates, text =====
// Starts the toolkit (the init-data hooks must be registered before); answers
// 1, or 0 with the failing step's error code in *error. Starting a toolkit
// that is already running changes nothing and answers 1.
int adInitToolkit(const char* initDataName, std::int16_t* error);
// Stops the toolkit; does nothing when it is not started. Open drawings must
// be closed first.
void adTermToolkit();

int adClearError();
void adClearContinueFlag();
void adSetAcceptPreRelease();
std::int16_t adGetNameLengthLimit();
std::int16_t adCurrentCodePage();

// Version index 0..AD_VERSION_COUNT-1 of an exact version string, else -1;
// and the string of an index, null outside the table.
int adVersionIndex(const char* text);
const char* adVersionString(int index);

// A Julian date: the Julian day number and the milliseconds since midnight.
// (0, 0) stands for no date.
struct AdJulianDate {
    std::int32_t day;
    std::int32_t milliseconds;
};

std::int32_t adDateToJulianDay(std::int16_t day, std::int16_t month, std::int16_t year);
void adJulianDayToDate(std::int32_t dayNumber, std::int16_t* day, std::int16_t* month, std::int16_t* year);
// Time of day rounded to the nearest second. Values outside one day are clamped
// to it, and the last half second of a day stays at 23:59:59 (no 24:00:00).
void adMillisecondsToTime(std::int32_t milliseconds, std::int16_t* hours, std::int16_t* minutes,
                          std::int16_t* seconds, std::int16_t* remainder);
void adDateToJulian(std::int16_t day, std::int16_t month, std::int16_t year, std::int16_t hour,
                    std::int16_t minute, std::int16_t second, AdJulianDate* out);
// (0, 0) gives 1 January 1990, 0:00:00. Milliseconds that round past midnight
// (or lie outside the day) carry into the date.
void adJulianToDate(AdJulianDate date, std::int16_t* day, std::int16_t* month, std::int16_t* year,
                    std::int16_t* hour, std::int16_t* minute, std::int16_t* second);
// Days are the low 16 bits of the day number; milliseconds that round to a
// whole day carry into the days.
void adJulianToElapsed(AdJulianDate date, std::int16_t* days, std::int16_t* hours, std::int16_t* minutes,
                       std::int16_t* seconds);

// Direction of the 2D vector (x, y) in -pi..pi; pi/2 for the zero vector.
double adVectorAngle(const double vector[2]);
// 0 when from->to lies within 15 degrees of the X axis (either way), else 1.
int adDirectionIsOblique(const double from[3], const double to[3]);

// Change ASCII letter case in place, leaving double-byte characters of the
// code page and bytes 128..255 alone.
void adStrUpper(char* text, int codePage);
void adStrLower(char* text, int codePage);

// ===== Byte stores and streams =====

struct AdRecordList;
struct AdListRecord;

constexpr std::int16_t AD_STORE_MAGIC = 4728;
constexpr std::int16_t AD_STORE_BLOCK_SIZE = 4096;

// A chain of equal-sized blocks behind a header. A stream begins with a copy
// of the same header, so the cursor fields are meaningful only in a stream.
struct AdStore {
    std::int16_t magic;
    std::uint8_t* blockBuffer;  // the stream's buffer of one block
    AdRecordList* chain;        // null until first written
    AdStore* owner;             // the store a stream works on
    std::int32_t length;        // store: bytes stored; write stream: bytes in full blocks
    std::int32_t remaining;     // read stream: bytes not yet read
    std::uint8_t writeFlag;
    std::int16_t blockOffset;
    std::int16_t buffered;      // read stream: bytes of the buffer not yet read
    std::int16_t blockSize;
};

// A cursor over one store. It remembers which chain block it loads next, so
// several read streams of one store may be used in turn.
struct AdStream {
    AdStore header;
    AdListRecord* nextBlock;
};

constexpr std::size_t AD_NAME_RECORD_NAME_SIZE = 512;

// Dictionary, group-list and name-cache entry: 520 bytes in a stream.
struct AdNameRecord {
    char name[AD_NAME_RECORD_NAME_SIZE];
    AdHandle handle;
};

// Handle-list entry: 9 bytes in a stream.
struct AdHandleEntry {
    AdHandle handle;
    std::uint8_t flag;
};

// Capacity of a group item's value area; a text holds at most 511 bytes and
// its terminator, a stored text that does not fit is refused.
constexpr std::size_t AD_GROUP_VALUE_SIZE = 512;

union AdGroupValue {
    char text[AD_GROUP_VALUE_SIZE];
    std::uint8_t bytes[AD_GROUP_VALUE_SIZE];
    double reals[3];
    std::int16_t int16;
    std::int32_t int32;
    AdHandle handle;
};

// One group-coded value as kept in XRECORD data.
struct AdGroupItem {
    std::int16_t code;
    std::uint16_t binaryLength;  // bytes of a binary value (at most 255)
    AdGroupValue value;
};

AdStore* adStoreCreate(std::int16_t blockSize);
int adStoreFree(AdStore* store);
std::int32_t adStoreSize(const AdStore* store);
int adStorePatch(AdStore* store, std::int32_t offset, const void* source, std::int32_t count);

AdStream* adStreamOpenRead(AdStore* store);
AdStream* adStreamOpenWrite(AdStore* store);
AdStream* adStreamOpenAppend(AdStore* store);
int adStreamCloseRead(AdStream* stream);
int adStreamCloseWrite(AdStream* stream);
int adStreamCloseAppend(AdStream* stream);
int adStreamRewind(AdStream* stream);
std::int32_t adStreamLength(const AdStream* stream);

int adStreamRead(AdStream* stream, void* destination, std::int32_t count);
int adStreamReadByte(AdStream* stream, std::uint8_t* byte);
int adStreamReadShort(AdStream* stream, std::int16_t* value);
int adStreamReadLong(AdStream* stream, std::int32_t* value);
int adStreamReadDouble(AdStream* stream, double* value);
int adStreamReadPoint3D(AdStream* stream, double point[3]);
int adStreamReadHandle(AdStream* stream, AdHandle* handle);
int adStreamReadNameRecord(AdStream* stream, AdNameRecord* record);
int adStreamReadHandleEntry(AdStream* stream, AdHandleEntry* entry);
// The buffer holds size + 1 bytes.
int adStreamReadString(AdStream* stream, char* buffer, std::int32_t size);
int adStreamReadGroupItem(AdStream* stream, AdGroupItem* item);
int adStreamGetShort(AdStream* stream, std::int16_t* value);
int adStreamGetLong(AdStream* stream, std::intptr_t* value);
int adStreamGetDouble(AdStream* stream, double* value);
int adStreamGetPoint3D(AdStream* stream, double point[3]);
int adStreamGetDoubles(AdStream* stream, double* values, std::int32_t count);

int adStreamSeek(AdStream* stream, std::int32_t offset);
std::int32_t adStreamTell(const AdStream* stream);
// The display engine's name for the read position.
inline std::int32_t adStreamPosition(const AdStream* stream) { return adStreamTell(stream); }
int adStreamUnreadByte(AdStream* stream, std::uint8_t byte);

int adStreamWrite(AdStream* stream, const void* source, std::int32_t count);
int adStreamWriteByte(AdStream* stream, std::uint8_t byte);
int adStreamWriteShort(AdStream* stream, const std::int16_t* value);
int adStreamWriteLong(AdStream* stream, const std::int32_t* value);
int adStreamWriteDouble(AdStream* stream, const double* value);
int adStreamWritePoint2D(AdStream* stream, const double point[2]);
int adStreamWritePoint3D(AdStream* stream, const double point[3]);
int adStreamPutShort(AdStream* stream, std::int16_t value);
int adStreamPutLong(AdStream* stream, std::int32_t value);
int adStreamPutDouble(AdStream* stream, double value);
int adStreamPutPoint3D(AdStream* stream, double x, double y, double z);
int adStreamWriteHandle(AdStream* stream, const AdHandle* handle);
int adStreamWriteNameRecord(AdStream* stream, const AdNameRecord* record);
int adStreamWriteString(AdStream* stream, const char* text);
int adStreamWriteGroupItem(AdStream* stream, const AdGroupItem* item);

// ===== Record lists =====

// The links part in front of every list record's data.
struct AdListRecord {
    AdListRecord* next;      // null for the last record
    AdListRecord* previous;  // null for the first record
    AdRecordList* list;      // null while the record belongs to no list
};

constexpr std::size_t AD_LIST_LINKS_SIZE = sizeof(AdListRecord);

inline std::uint8_t* adListRecordData(AdListRecord* record) {
    return reinterpret_cast<std::uint8_t*>(record) + AD_LIST_LINKS_SIZE;
}

struct AdRecordList {
    std::int32_t reserved[3];
    std::int32_t count;
    AdListRecord* first;
    AdListRecord* current;  // the cursor; null at the end
    AdListRecord* last;
};

// Positions for adListInsertNew and adListInsertKeyed.
constexpr int AD_LIST_AT_FRONT = -1;
constexpr int AD_LIST_AT_END = -2;
constexpr int AD_LIST_BEFORE_REFERENCE = -3;

constexpr int AD_TABLE_STORE_SLOTS = 4;

AdRecordList* adListCreate();
std::int32_t adListCount(const AdRecordList* list);
AdListRecord* adListFirst(const AdRecordList* list);
AdListRecord* adListLast(const AdRecordList* list);
AdListRecord* adListCurrent(const AdRecordList* list);
int adListSetCurrent(AdRecordList* list, AdListRecord* record);
int adListRewind(AdRecordList* list);
int adListReadNext(AdRecordList* list, void* destination, std::size_t length);

std::int32_t adListInsertChain(AdRecordList* list, AdListRecord* position, AdListRecord* chain);
std::int32_t adListInsertChainFirst(AdRecordList* list, AdListRecord* chain);
std::int32_t adListInsertLast(AdRecordList* list, AdListRecord* chain);
std::int32_t adListInsertAfter(AdRecordList* list, AdListRecord* position, AdListRecord* chain);
std::int32_t adListInsertBefore(AdRecordList* list, AdListRecord* record, AdListRecord* chain);
std::int32_t adListInsertBeforeCurrent(AdRecordList* list, AdListRecord* chain);
int adListAppend(AdRecordList* list, AdListRecord* record);

AdListRecord* adListAppendNew(const void* data, std::size_t length, AdRecordList* list);
// The image includes the links part; length counts it too.
AdListRecord* adListInsertNew(const void* image, std::size_t length, AdRecordList* list, int position,
                              AdListRecord* reference);
AdListRecord* adListInsertKeyed(const AdHandle* handle, AdDrawing* drawing, const void* image, std::size_t length,
                                AdRecordList* list, int position, AdListRecord* reference);

AdListRecord* adListUnlinkRange(AdRecordList* list, AdListRecord* from, AdListRecord* to);
AdListRecord* adListUnlink(AdRecordList* list, AdListRecord* record);
AdListRecord* adListUnlinkLast(AdRecordList* list);
int adListFreeRecords(AdRecordList* list);
int adListFree(AdRecordList* list);
int adListFreeIfAny(AdRecordList* list);

// Positions are byte offsets inside a record (links part included); -1 names
// no store.
int adFreeTableList(AdRecordList* list, std::size_t recordSize, const std::int32_t storePositions[AD_TABLE_STORE_SLOTS],
                    std::int32_t nextPosition);

// ===== Init data and code pages =====
// The embedded init data. All handles share one read position, so only one
// reader may have it open at a time.
void* HostInitOpen(const char* name);
int HostInitGetc(void* handle);
std::size_t HostInitRead(void* buffer, std::size_t itemSize, std::size_t count, void* handle);
int HostInitSeek(void* handle, std::int64_t offset, int origin);
int HostInitClose(void* handle);
// Points the five init-data hooks at the data embedded in the program.
void HostUseEmbeddedInitData();

constexpr int AD_CODE_PAGE_COUNT = 42;
constexpr int AD_CODE_PAGE_MAP_COUNT = 38;
constexpr int AD_SIMPLEX_SHAPE_COUNT = 100;
constexpr int AD_GDT_SHAPE_COUNT = 103;
// Sizes of the shape bytes of the built-in fonts in the init data; the
// generated embedded data does not compile when they disagree with it.
constexpr std::uint32_t AD_SIMPLEX_SHAPE_BYTES = 3705;
constexpr std::uint32_t AD_GDT_SHAPE_BYTES = 3232;
// The init-data name is kept to reopen the data when a code-page map is first
// used; a longer name (with its NUL) is refused, as a cut one would name
// another file.
constexpr std::size_t AD_INIT_DATA_NAME_SIZE = 513;

// One entry of a built-in font's index (sorted by shape number): the offset of
// the shape's bytes. Both built-in fonts hold shape 0 (name, above, below,
// modes), 10 (line feed), 32..126, and 256, 257, 258 (degree, plus/minus,
// diameter); GDT also holds those three as 127, 128, 129, draws the
// tolerance symbols as its lower-case letters, '`' as plus/minus and '~' as
// the degree sign.
struct AdShapeIndexEntry {
    std::uint16_t number;
    std::uint32_t offset;
};

// Reads the font tables and builds the code-page maps that need no data.
int adLoadInitData(const char* name);
// Frees the font tables and every loaded code-page map.
void adFreeCodePages();

const char* adCodePageName(int codePage);
int adCodePageByName(const char* name, int* codePage);
// The map index of a code page, loading the map on first use; -1 when the
// page is unknown or its map cannot be had.
int adCodePageMap(int codePage);
// 1 with the Unicode value of a byte or double-byte code; 0 with the
// character itself when the page is unavailable or the code is not in its map.
int adCodePageToUnicode(int codePage, std::uint32_t character, std::uint32_t* unicode);
int adIsLeadByte(int codePage, int byte);

// ===== Name comparison =====
// 0 when equal, else -1 or 1 by the first differing byte; only A-Z are folded
// (to a-z), every other byte compares as an unsigned value. The N form stops
// after n bytes or at a terminating NUL.
int adStrCompareNoCase(const char* a, const char* b);
int adStrCompareNoCaseN(const char* a, const char* b, std::size_t n);

// A multiline-style element as kept in the style's store: 16 bytes.
struct AdMlineElement {
    std::int16_t colour;
    std::int16_t linetypeIndex;
    std::uint8_t spare[4];
    double offset;
};

// ===== Toolkit helpers =====

// Vectors are x, y, z, w; only x, y, z take part in lengths and products.
// Normalising leaves a zero vector as it is; both set w to 1.
void adVectorNormalize(double vector[4]);
void adVectorCross(const double a[3], const double b[3], double out[4]);
// The cross product as it is, not normalised.
void adVectorCrossRaw(const double a[3], const double b[3], double out[4]);
// Direction of p to q in -pi/2..3pi/2: pi/2 or -pi/2 when the x values are
// equal.
double adAngleOfSegment(const double p[2], const double q[2]);
// The angle (0..pi) between the directions from the vertex to p0 and to p2.
double adAngleBetweenAtVertex(const double p0[2], const double vertex[2], const double p2[2]);
double adEllipseParamToAngle(double parameter, double ratio);
double adEllipseAngleToParam(double angle, double ratio);
// Centre and radius of the arc from p1 to p2 that spans the included angle.
// Coincident points give centre p1 and radius 0. 0 (no arc; centre the
// chord's midpoint, radius 0) for an angle of 0 or one that is not finite,
// and whenever the construction does not give a finite centre.
int adBulgeArcCenter(const double p1[2], const double p2[2], double angle, double* cx, double* cy, double* radius);

// Text in a code page, with the escapes \M+ and five hex digits and \U+ and
// four (either letter case). A lead byte followed by the terminator counts as
// a character of its own.
// The character at the cursor (a double-byte one as lead << 8 | trail), the
// cursor moved past it; 0 and the cursor unmoved at the terminator.
std::uint32_t adTextNextChar(const char** cursor, int codePage);
int adIsHexDigit(int c);
// Bytes of the character at text: 8 or 7 for an escape, 2 for a double-byte
// character, 0 at the terminator, else 1.
std::int32_t adTextCharLength(const char* text, int codePage);
// Copies n whole characters from *in to *out and moves both cursors past
// them; capacity is the bytes free at *out, a terminator included, and *out
// is left terminated (when capacity allows one byte). 0 when the input
// ended or the capacity ran out before n characters.
int adCopyChars(char** out, const char** in, std::int32_t n, int codePage, std::size_t capacity);
// Characters of the text: an escape or a double-byte character counts one.
std::int32_t adTextCharCount(const char* text, int codePage);
// The first character (single or double byte; escapes not decoded) equal to
// the code, or null.
const char* adTextFindChar(const char* text, std::uint32_t character, int codePage);

// ===== Fonts =====
// Kind flags of a font.
constexpr std::uint8_t AD_FONT_SPECIAL = 1;  // shapes 1.x holding both 127 and 248
constexpr std::uint8_t AD_FONT_SHAPES_10 = 2;
constexpr std::uint8_t AD_FONT_SHAPES_11 = 4;
constexpr std::uint8_t AD_FONT_BIGFONT = 8;
constexpr std::uint8_t AD_FONT_UNIFONT = 16;
constexpr std::uint8_t AD_FONT_TRUETYPE = 32;
constexpr std::uint8_t AD_FONT_BUILTIN_GDT = 64;
constexpr std::uint8_t AD_FONT_SIMPLEX6 = 128;
// Kind masks of adLoadFont.
constexpr std::int32_t AD_FONT_MASK_ANY = 55;  // every kind but bigfont
constexpr std::int32_t AD_FONT_MASK_SHAPE = 23;  // no TrueType
constexpr std::int32_t AD_FONT_MASK_BIGFONT = 8;

// Face parameters of a TrueType request; -1 accepts any face.
constexpr std::int32_t AD_FACE_BOLD = 0x2000000;
constexpr std::int32_t AD_FACE_ITALIC = 0x1000000;

constexpr std::size_t AD_FONT_PATH_SIZE = 80;
constexpr std::size_t AD_FONT_REQUEST_NAME_SIZE = 512;
constexpr std::int32_t AD_FONT_PAGE_SIZE = 8192;
constexpr std::size_t AD_SHAPE_NAME_SIZE = 32;

// What the font manager hands the TrueType face resolver and the display
// engine hands the glyph-outline hook: the file or face name the style gives,
// the resolved face (empty: not resolved), the face parameters.
struct AdFontRequest {
    char name[AD_FONT_REQUEST_NAME_SIZE];
    char face[AD_FONT_REQUEST_NAME_SIZE];
    std::int32_t faceParameters;
};
static_assert(sizeof(AdFontRequest) == 1028, "the host's request record is 1028 bytes");

// Kind bits of a glyph answer.
constexpr std::int32_t AD_GLYPH_LINES = 1;
constexpr std::int32_t AD_GLYPH_FILL = 2;
constexpr std::int32_t AD_GLYPH_RECEIVER_FREES = 4;  // the stores and both arrays

// One character's outline: contourCount stores of line segments (four
// doubles each: start x, y, end x, y), the points of each contour, and the
// pen's horizontal advance.
struct AdGlyphAnswer {
    double advance;
    AdStore** contours;
    std::uint16_t contourCount;
    std::uint16_t* pointCounts;
    std::int32_t kind;
};

// One page of a shape file read whole; page data of the built-in fonts is
// the init data's.
struct AdFontPage {
    std::int32_t fileOffset;
    std::int16_t length;
    std::uint8_t* data;
};

// A bigfont index entry: two code bytes and a 24-bit offset from the data
// start, little-endian.
struct AdBigFontEntry {
    std::uint8_t code[2];
    std::uint8_t offset[3];
};

struct AdFont {
    AdFont* next;
    char filePath[AD_FONT_PATH_SIZE];
    char requestedName[AD_FONT_PATH_SIZE];
    AdFontRequest trueType;
    std::uint8_t kind;
    std::int16_t above;  // 1000 for TrueType
    std::int16_t below;
    std::int16_t first;  // the header words of a shapes 1.x file
    std::int16_t last;
    std::int16_t count;
    std::uint8_t modes;  // 2: has vertical forms
    std::uint8_t bigFontHeight;
    std::uint8_t bigFontWidth;
    std::int16_t bigFontHeader;
    std::int16_t bigFontIndexSize;
    std::int16_t escapeRangeCount;
    std::uint16_t (*escapeRanges)[2];  // start and end lead byte
    std::int32_t bigIndexStart;
    std::int32_t bigDataStart;
    AdBigFontEntry* bigIndex;
    // Sorted by shape number; offsets are file offsets.
    AdShapeIndexEntry* index;
    std::int32_t indexCount;
    std::int16_t readPage;
    std::int16_t readOffset;
    std::int32_t bigStreamPosition;
    std::int16_t pageCount;
    AdFontPage* pages;
    AdStore* bigData;
    AdStream* bigStream;
};

// Options of adFontFindShape.
constexpr std::int32_t AD_SHAPE_FROM_CODE_PAGE = 1;  // unifonts: the code is in the drawing's code page
constexpr std::int32_t AD_SHAPE_FORCE_BIGFONT = 2;   // look in the big font outside its escape ranges

// The two built-in fonts, made over the init data's tables at start-up.
int adInitBuiltinFonts();
void adFreeBuiltinFonts();

// The font for a name (see the kind masks); the fallback when the name is
// empty, failed before, or cannot be found, opened or recognised. "gdt" and
// "amgdt" answer the built-in GDT font. TrueType names (".ttf", ".ttc", a
// second name, or the "|b", "|i", "|c", "|p" options) are resolved through the
// TrueType face resolver, only while the display engine's glyph slot is set.
AdFont* adLoadFont(AdDrawing* drawing, const char* name, std::int32_t kindMask, AdFont* fallback,
                   const char* secondName, std::int32_t faceParameters);
// Frees every font of the drawing and empties the failed-font ring.
void adFreeFonts(AdDrawing* drawing);

// The font that holds the character's shape (the big font, the font, or the
// font's '?' or space), positioned at the shape; null when none.
AdFont* adFontFindShape(AdDrawing* drawing, AdFont* font, AdFont* bigFont, std::uint32_t code,
                        std::int32_t options);
// The reader position packed as page | in-page offset << 16 (a bigfont: its
// stream position, also written to *streamPosition when that is not null).
std::int32_t adFontShapePos(const AdFont* font, std::int32_t* streamPosition);
int adFontSeekShape(std::int32_t position, AdFont* font, std::int32_t packedPosition);
// The next shape byte; 0 once the font's data is exhausted.
std::uint8_t adFontNextShapeByte(AdFont* font);

// Shape strokes: the pen moves of one character in shape units, pen-down
// moves handed to the sink. Subshapes nest at most AD_SHAPE_NESTING deep, the
// position stack holds AD_SHAPE_STACK points and a character reads at most
// AD_SHAPE_BYTE_BUDGET bytes; a shape that breaks these or holds a bad code
// ends there (what was drawn stays drawn). `end` gets the pen's end point.
// 1 when the character was drawn to its end, 0 when it was absent or broke off.
constexpr int AD_SHAPE_NESTING = 8;
constexpr int AD_SHAPE_STACK = 4;
constexpr std::int32_t AD_SHAPE_BYTE_BUDGET = 65536;
using AdShapeLineSink = void (*)(const double from[2], const double to[2], void* userData);
int adShapeStrokes(AdDrawing* drawing, AdFont* font, AdFont* bigFont, std::uint32_t code, std::int32_t options,
                   int vertical, AdShapeLineSink sink, void* userData, double end[2]);

// SHAPE entities: the name of a shape number in the shape file of a STYLE,
// and the style and number of a name; both read the files directly.
int adShapeNameFromFile(AdDrawing* drawing, const AdHandle* style, std::int16_t number,
                        char name[AD_SHAPE_NAME_SIZE]);
int adShapeNumberFromName(AdDrawing* drawing, const char* name, AdHandle* style, std::int16_t* number);

// ===========================================================================
// 2. Handles
// ===========================================================================

// ---------------------------------------------------------------------------
// Handle index: a B-tree per drawing mapping a handle to the list record that
// holds it, with a small write-back cache of nodes.
// ---------------------------------------------------------------------------
constexpr int AD_INDEX_MAX_ENTRIES = 22;
constexpr int AD_INDEX_MIN_ENTRIES = 11;
constexpr int AD_INDEX_CACHE_SLOTS = 16;

struct AdIndexEntry {
    AdHandle handle;
    void* record;
};

struct AdIndexNode {
    std::int16_t count;
    std::int16_t spare;
    AdIndexEntry entries[AD_INDEX_MAX_ENTRIES];
    AdIndexNode* children[AD_INDEX_MAX_ENTRIES + 1];
};

struct AdIndexCacheSlot {
    std::int32_t useCount;  // -1 marks a free slot
    AdIndexNode* node;
    AdIndexNode copy;
};

// A zero-initialised index is empty and ready for use; so is one after
// adHandleIndexReset.
struct AdHandleIndex {
    AdIndexNode* root;
    AdIndexCacheSlot cache[AD_INDEX_CACHE_SLOTS];
};

// ===== Handles and the handle index =====

// Handle arithmetic, modulo 2^64. Results may be written over an operand.
int adHandleLength(const AdHandle* handle);  // 0 for null, else 1..8 significant bytes
int adHandleCompare(const AdHandle* a, const AdHandle* b);  // <0, 0, >0 in numeric order
int adHandleIncrement(AdHandle* handle);  // 0 when it wrapped to null, else 1
void adHandleAdd(const AdHandle* a, const AdHandle* b, AdHandle* result);
void adHandleNegate(AdHandle* handle);  // two's complement, in place
void adHandleSubtract(const AdHandle* a, const AdHandle* b, AdHandle* result);
// Adds value, placed in the low four bytes with the upper four zero.
void adHandleAddLong(const AdHandle* handle, std::uint32_t value, AdHandle* result);

// Hexadecimal text. A handle prints as at most 16 digits plus the terminator.
constexpr std::size_t AD_HANDLE_HEX_SIZE = 17;
// Upper case, no leading zeros, "0" for null. 0 when text cannot hold it.
int adHandleToHex(const AdHandle* handle, char* text, std::size_t capacity);
// Each byte as two upper-case digits, terminated; answers the terminator's
// position, or null (nothing written) when text cannot hold 2 * count + 1.
char* adBytesToHex(const std::uint8_t* bytes, std::size_t count, char* text, std::size_t capacity);
int adHexDigitValue(char c);  // 0..15; 0 for anything that is not a hex digit
// An odd first digit forms a byte alone, then each pair one byte. 0 (nothing
// written) when the bytes would not fit in capacity or a 16-bit count.
int adHexToBytes(const char* text, std::uint8_t* bytes, std::size_t capacity, std::int16_t* count);
// Right-aligned into the handle. 0 (handle untouched) beyond 16 digits.
int adHexToHandle(const char* text, AdHandle* handle);

// The drawing's seed is its next free handle. adNextHandle hands it out and
// advances it; it answers 0 when the seed is null (never set, or exhausted
// after FF..FF), since the null handle names no object.
int adNextHandle(AdDrawing* drawing, AdHandle* handle);
int adSetHandleSeed(AdDrawing* drawing, const AdHandle* seed);

// The handle index of a drawing.
// Insert: 1 entered; 2 already present (error 292, the handle in
// offendingHandle); 0 no memory for a node (214), the index unchanged.
int adHandleIndexInsert(AdDrawing* drawing, const AdHandle* handle, void* record);
// Delete: 1 removed; 4 not present; 5 no memory for the work area (209).
int adHandleIndexDelete(AdDrawing* drawing, const AdHandle* handle);
void* adHandleIndexFind(AdDrawing* drawing, const AdHandle* handle);
// Frees every node; the index is then empty and ready for use.
void adHandleIndexFree(AdDrawing* drawing);
// Makes the index empty without freeing anything: for a drawing record whose
// index fields are not yet set up, or after adHandleIndexFree.
void adHandleIndexReset(AdDrawing* drawing);

// ===========================================================================
// 3. The drawing
// ===========================================================================

// ---------------------------------------------------------------------------
// One open drawing. Later parts of the toolkit add their fields here.
// ---------------------------------------------------------------------------
constexpr std::size_t AD_FILE_NAME_SIZE = 256;
constexpr int AD_XREF_LIMIT = 512;
constexpr int AD_LOAD_STORE_COUNT = 4;

// The table control objects of a drawing, in the order of the file.
enum AdTableControl : std::int32_t {
    AD_CONTROL_BLOCK = 0,
    AD_CONTROL_LAYER,
    AD_CONTROL_STYLE,
    AD_CONTROL_LTYPE,
    AD_CONTROL_VIEW,
    AD_CONTROL_UCS,
    AD_CONTROL_VPORT,
    AD_CONTROL_APPID,
    AD_CONTROL_DIMSTYLE,
    AD_CONTROL_VPORT_ENTITY,
    AD_TABLE_CONTROL_COUNT
};

// One-entry caches of the last table record an entity referred to (LAYER,
// LTYPE, STYLE, BLOCK, DIMSTYLE), kept while entities are read and written.
constexpr int AD_HANDLE_CACHE_COUNT = 5;
struct AdHandleCache {
    std::int32_t index;  // -1 when empty
    AdHandle handle;
    std::int32_t hits;
};

// What a lookup of a table record by name answered, kept while the drawing's
// tables are not edited: the readers name the same few layers, linetypes and
// styles entity after entity.
constexpr int AD_NAME_CACHE_COUNT = 16;
constexpr std::size_t AD_NAME_CACHE_NAME_SIZE = 32;
struct AdNameCache {
    const struct AdTableDesc* table;  // null when empty
    std::uint32_t tableEdits;         // AdDrawing::tableEdits when filled
    std::int32_t found;
    AdHandle handle;
    char name[AD_NAME_CACHE_NAME_SIZE];
};

struct AdRecordList;

// Known classes with a class-number slot in every drawing (AdClassSlot).
constexpr int AD_CLASS_SLOT_COUNT = 25;

struct AdDrawing {
    char fileName[AD_FILE_NAME_SIZE];
    AdHeaderVars* header;
    void* userData;
    std::uint8_t format;  // 0 DWG, 1 ASCII DXF, 2 binary DXF
    std::int16_t version;
    AdHandle handleSeed;
    AdHandleIndex handleIndex;
    // Drawings of external references opened through this one; closed with it.
    AdDrawing* xrefs[AD_XREF_LIMIT];
    std::int16_t xrefCount;
    std::uint8_t loadMode;  // 1 load everything, 2 apply the entity type filter
    std::uint8_t dxf;       // 1 when the file is not DWG
    const struct AdReadOps* readOps;
    HostFile* file;         // open only while loading
    // The DWG reader's state of this drawing, made by its open and freed with
    // the drawing; the bit stream the reader and the writers work on is the
    // state's unless a writer sets its own (AdBitStream is declared further down).
    struct AdDwgFile* dwgFile;
    struct AdBitStream* bitStream;
    // Handle rules of files older than AC1012: new handles for the ENTITIES
    // section (handlesMissing) and for the other blocks (assignHandles).
    std::uint8_t handlesMissing;
    std::uint8_t assignHandles;
    std::uint8_t seedFromFile;  // fileHandleSeed holds the seed the file gave
    AdHandle fileHandleSeed;
    std::int16_t unknownVersion;      // a DXF header named a version not in AdVersion
    std::int16_t writerVersionLimit;  // -1: no limit
    std::int16_t visRetain;
    std::int16_t readError;           // the error of the entity being added
    // Table control objects, in AdTableControl order, and the entry count of
    // each table as the reader found it in the file.
    AdHandle tableControls[AD_TABLE_CONTROL_COUNT];
    std::int32_t tableEntryCounts[AD_TABLE_CONTROL_COUNT];
    std::int32_t classEntryCount;
    AdHandle mlineStyleDictionary;
    std::int32_t mlineStyleCount;  // entries of ACAD_MLINESTYLE as a bit-coded DWG open found them
    AdHandle groupDictionary;
    AdHandle namedObjectDictionary;
    AdHandle modelSpaceBlock;
    AdHandle paperSpaceBlock;
    AdHandle byBlockLtype;
    AdHandle byLayerLtype;
    AdHandle modelSpaceBlockEntity;
    AdHandle modelSpaceEndblkEntity;
    AdHandle paperSpaceBlockEntity;
    AdHandle paperSpaceEndblkEntity;
    // What the BLOCK record reader found for the block it read last: its BLOCK
    // and ENDBLK entities, its first and last entity.
    AdHandle currentBlockEntity;
    AdHandle currentEndblkEntity;
    AdHandle currentFirstEntity;
    AdHandle currentLastEntity;
    AdHandle continuousLtype;
    AdHandle layoutDictionary;
    AdHandle plotSettingsDictionary;
    AdHandle plotStyleDictionary;
    std::int16_t adpartClass;        // class numbers kept after CLASSES; 0 when absent
    std::int16_t proxyWrapperClass;
    std::int16_t zombieEntityClass;  // DxfZombieEntity / DxfZombieObject; 0 when absent
    std::int16_t zombieObjectClass;
    AdHandleCache handleCaches[AD_HANDLE_CACHE_COUNT];
    // Counts every insert, update and delete of a table record.
    std::uint32_t tableEdits;
    AdNameCache nameCaches[AD_NAME_CACHE_COUNT];
    // Sorted (handle, name) pairs of the BLOCK table.
    struct AdBlockNameEntry* blockNames;
    std::int32_t blockNameCount;
    std::int16_t blockNamesStale;  // 1: must be rebuilt
    // Scratch of the readers during a load, released when it ends.
    struct AdStore* loadStores[AD_LOAD_STORE_COUNT];
    struct AdStream* loadStream;
    struct AdStream* loadWriteStream;
    // The twelve record lists, then the model and paper space entity lists.
    AdRecordList* layers;
    AdRecordList* ltypes;
    AdRecordList* ucss;
    AdRecordList* views;
    AdRecordList* vports;
    AdRecordList* vportEntities;
    AdRecordList* dimStyles;
    AdRecordList* appids;
    AdRecordList* blocks;
    AdRecordList* styles;
    AdRecordList* classes;
    AdRecordList* objects;
    AdRecordList* modelSpace;
    AdRecordList* paperSpace;  // the current paper-space list
    AdHandle cachedViewport;   // the display engine's last viewport; cleared when the layout changes
    struct AdDisplayState* display;  // the display engine's state while the drawing is shown
    // Class numbers of the known classes in AdClassSlot order; 0 when absent.
    std::int16_t classNumbers[AD_CLASS_SLOT_COUNT];
    // Built while CLASSES is loaded: one byte per class, 1 for entity classes.
    std::uint8_t* classTable;
    // DXF reader: where the pre-scan found each part of the file, for the
    // readers to seek to later. Table records by AdTableControl; the BLOCK
    // slot stands for the BLOCK_RECORD table, whose count is kept apart since
    // tableEntryCounts[AD_CONTROL_BLOCK] counts the blocks of BLOCKS.
    std::int64_t dxfTablePositions[AD_TABLE_CONTROL_COUNT];
    std::int32_t dxfBlockRecordCount;
    std::int64_t dxfEntitiesStart;
    std::int64_t dxfEntitiesEnd;
    std::int64_t dxfBlocksPosition;
    std::int64_t dxfClassesPosition;
    std::int64_t dxfObjectsPosition;
    std::int64_t dxfMlineStylePosition;
    std::int32_t dxfMlineStyleCount;
    std::uint16_t dxfSections;        // AD_DXF_SECTION_* flags
    std::int64_t dxfBlockOffset;      // the current block's position from dxfBlocksPosition
    std::uint8_t dxfInBlock;          // a block's entities are being read
    char dxfBlockDescription[512];    // of the block being read
    std::int16_t dxfBlockValue71;     // the 71 group of the block being read
    std::int32_t dxfDeferredArrowCount;
    // Font manager: the loaded fonts, the last five names that failed (so
    // they are not searched again), and the SHAPE names read from shape files.
    struct AdFont* fonts;
    char failedFonts[5][256];
    std::int16_t failedFontNext;
    std::int16_t failedFontCount;
    struct AdShapeNameEntry {
        AdHandle style;
        std::int16_t number;
        char name[32];
    } shapeNames[10];
    std::int16_t shapeNameCount;
    std::int16_t shapeNameNext;
    // Entity loading: the polyline being gathered while an entity list is
    // read, and the records a load passed over (the first ones, all counted).
    struct AdPolylineGather* polylineGather;
    struct AdLoadError {
        std::int32_t code;
        AdHandle handle;
    } loadErrors[16];
    std::int32_t loadErrorCount;
    // adLoadPercent: its last answer and, for bit-coded DWG files, the file
    // ranges of the paper-space and model-space entity chains (model start 0:
    // not yet measured).
    struct AdLoadProgress {
        std::int32_t last;
        std::int64_t paperStart;
        std::int64_t paperLength;
        std::int64_t modelStart;
        std::int64_t modelLength;
    } loadProgress;
    // The viewport-entity header chain of a bit-coded file as the table's
    // begin followed it from the current header: the first handles met, in
    // chain order; whether the next header read is the table's first; the
    // chain's last header.
    struct AdVportHeaderChain {
        AdHandle handles[16];
        std::int32_t count;
        std::uint8_t firstPending;
        AdHandle last;
    } vportHeaderChain;
    // The entity chains of an AC1012+ file: the space chains the open found,
    // and where the entity reader stands in the list being read.
    struct AdDwgChains {
        AdHandle modelFirst;
        AdHandle modelLast;
        AdHandle paperFirst;
        AdHandle paperLast;
        AdHandle next;         // the object to read next; null ends the chain
        std::uint8_t phase;    // 0 the first chain (paper space), 1 the second
        std::uint8_t inBlock;  // a block's list is read
        AdHandle firstChainLast;
        AdHandle secondFirst;
        AdHandle secondLast;
        AdHandle blockFirst;
        AdHandle blockLast;
        AdHandle blockEndblk;
        // A POLYLINE or an INSERT with attributes: where to go on after its
        // SEQEND, its last vertex or attribute, its SEQEND, and the mode (0
        // normal, 1 the block's ENDBLK follows the SEQEND, 2 the chain ends).
        AdHandle continuation;
        AdHandle lastSub;
        AdHandle seqend;
        std::uint8_t mode;
        double elevation;  // of the current polyline, with its default widths
        double startWidth;
        double endWidth;
        std::int32_t count;  // entities read in the list; bounded by the object map
    } dwgChains;
    // The walk over one entity list of a fixed-record DWG file: whether it
    // is a block's, the stretches of the file read so far (so that a jump
    // back into one of them ends the walk instead of looping) and the bytes
    // read, which bound the walk when the stretches no longer fit.
    struct AdR12Walk {
        std::uint8_t inBlock;
        std::int64_t runStart;
        std::int32_t runCount;
        std::int64_t runs[64][2];
        std::int64_t bytesRead;
    } r12Walk;
    // Files before AC1012 name the block of an INSERT or DIMENSION by its
    // number in the BLOCK table: the handles in table order, kept while the
    // entities are loaded.
    AdHandle* blockNumbers;
    std::int32_t blockNumberCount;
};

// Notes a record the load passes over (the first ones are kept, all counted).
void adNoteSkippedRecord(AdDrawing* drawing, std::int32_t code, const AdHandle& handle);

// Drawing accessors; a null drawing answers -1, null or 0.
std::int16_t adDrawingVersion(const AdDrawing* drawing);
int adDrawingFileFormat(const AdDrawing* drawing);
const char* adDrawingFileName(const AdDrawing* drawing);
AdHeaderVars* adDrawingHeaderData(const AdDrawing* drawing);
void* adSetDrawingUserData(AdDrawing* drawing, void* userData);
// 1 when the drawing predates AD_VERSION_AC1009 or tileMode is nonzero.
int adIsTileMode(const AdDrawing* drawing, std::int16_t tileMode);

// ===== Header variables and the DXF vocabulary =====
// The header-variable block of a drawing. Each field is named for its DXF
// header variable in lower case; a field that two variables address carries
// the first name ($DIMATFIT and $DIMFIT share dimatfit, $DIMLUNIT and
// $DIMUNIT dimlunit, $PROXYGRAPHICS and $SAVEIMAGES proxygraphics). Text
// fields are sized for the longest text either reader keeps.
struct AdHeaderVars {
    std::int16_t acadmaintver;
    char acadver[7];
    double angbase;
    std::int16_t angdir;
    std::int16_t attdia;
    std::int16_t attmode;
    std::int16_t attreq;
    std::int16_t aunits;
    std::int16_t auprec;
    std::int16_t axismode;
    double axisunit[2];
    std::int16_t blipmode;
    std::int16_t cecolor;
    double celtscale;
    std::int16_t celweight;
    std::int16_t cepsntype;
    double chamfera;
    double chamferb;
    double chamferc;
    double chamferd;
    std::int16_t cmljust;
    double cmlscale;
    std::int16_t coords;
    std::uint8_t delobj;
    std::int16_t dimadec;
    std::uint8_t dimalt;
    std::uint8_t dimaltd;
    double dimaltf;
    double dimaltrnd;
    std::int16_t dimalttd;
    std::uint8_t dimalttz;
    std::int16_t dimaltu;
    std::uint8_t dimaltz;
    char dimapost[121];
    std::uint8_t dimaso;
    double dimasz;
    std::int16_t dimaunit;
    std::int16_t dimazin;
    char dimblk[512];
    AdHandle dimblkHandle;
    char dimblk1[512];
    AdHandle dimblk1Handle;
    char dimblk2[512];
    AdHandle dimblk2Handle;
    double dimcen;
    std::int16_t dimclrd;
    std::int16_t dimclre;
    std::int16_t dimclrt;
    std::int16_t dimdec;
    double dimdle;
    double dimdli;
    std::int16_t dimdsep;
    double dimexe;
    double dimexo;
    std::uint8_t dimatfit;
    std::int16_t dimfrac;
    double dimgap;
    std::uint8_t dimjust;
    char dimldrblk[512];
    AdHandle dimldrblkHandle;
    double dimlfac;
    std::uint8_t dimlim;
    std::int16_t dimlwd;
    std::int16_t dimlwe;
    char dimpost[121];
    double dimrnd;
    std::uint8_t dimsah;
    double dimscale;
    std::uint8_t dimsd1;
    std::uint8_t dimsd2;
    std::uint8_t dimse1;
    std::uint8_t dimse2;
    std::uint8_t dimsho;
    std::uint8_t dimsoxd;
    std::uint8_t dimtad;
    std::int16_t dimtdec;
    double dimtfac;
    std::uint8_t dimtih;
    std::uint8_t dimtix;
    double dimtm;
    std::int16_t dimtmove;
    std::uint8_t dimtofl;
    std::uint8_t dimtoh;
    std::uint8_t dimtol;
    std::uint8_t dimtolj;
    double dimtp;
    double dimtsz;
    double dimtvp;
    double dimtxt;
    std::uint8_t dimtzin;
    std::int16_t dimlunit;
    std::uint8_t dimupt;
    std::uint8_t dimzin;
    std::uint8_t dispsilh;
    std::int16_t dragmode;
    std::int16_t dwgcodepage;
    double elevation;
    std::uint8_t endcaps;
    double extmin[3];
    double extmax[3];
    std::uint8_t extnames;
    std::int16_t fastzoom;
    double filletrad;
    std::int16_t fillmode;
    char fingerprintguid[39];
    std::int16_t flatland;
    std::int16_t gridmode;
    double gridunit[2];
    std::int16_t handling;
    AdHandle handseed;
    char hyperlinkbase[256];
    double insbase[3];
    std::int16_t insunits;
    std::uint8_t joinstyle;
    std::int16_t limcheck;
    double limmin[2];
    double limmax[2];
    double ltscale;
    std::int16_t lunits;
    std::int16_t luprec;
    std::uint8_t lwdisplay;
    std::int16_t maxactvp;
    std::int16_t measurement;
    char menu[512];
    std::int16_t mirrtext;
    std::int16_t orthomode;
    std::int16_t osmode;
    std::int16_t pdmode;
    double pdsize;
    double pelevation;
    double pextmin[3];
    double pextmax[3];
    std::uint8_t pickstyle;
    double pinsbase[3];
    std::int16_t plimcheck;
    double plimmin[2];
    double plimmax[2];
    std::int16_t plinegen;
    double plinewid;
    std::uint8_t proxygraphics;
    std::int16_t psltscale;
    std::uint8_t pstylemode;
    double psvpscale;
    double pucsorg[3];
    double pucsorgback[3];
    double pucsorgbottom[3];
    double pucsorgfront[3];
    double pucsorgleft[3];
    double pucsorgright[3];
    double pucsorgtop[3];
    std::int16_t pucsorthoview;
    double pucsxdir[3];
    double pucsydir[3];
    std::int16_t qtextmode;
    std::int16_t regenmode;
    std::int16_t shadedge;
    std::int16_t shadedif;
    double sketchinc;
    std::int16_t skpoly;
    double snapang;
    double snapbase[2];
    std::int16_t snapisopair;
    std::int16_t snapmode;
    std::int16_t snapstyle;
    double snapunit[2];
    std::int16_t splframe;
    std::int16_t splinesegs;
    std::int16_t splinetype;
    char stylesheet[512];
    std::int16_t surftab1;
    std::int16_t surftab2;
    std::int16_t surftype;
    std::int16_t surfu;
    std::int16_t surfv;
    AdJulianDate tdcreate;
    AdJulianDate tdindwg;
    AdJulianDate tducreate;
    AdJulianDate tdupdate;
    AdJulianDate tdusrtimer;
    AdJulianDate tduupdate;
    double textsize;
    double thickness;
    std::int16_t tilemode;
    double tracewid;
    std::int16_t treedepth;
    double ucsorg[3];
    double ucsorgback[3];
    double ucsorgbottom[3];
    double ucsorgfront[3];
    double ucsorgleft[3];
    double ucsorgright[3];
    double ucsorgtop[3];
    std::int16_t ucsorthoview;
    double ucsxdir[3];
    double ucsydir[3];
    std::int16_t unitmode;
    std::int16_t useri[5];
    double userr[5];
    std::int16_t usrtimer;
    char versionguid[39];
    double viewctr[3];
    double viewsize;
    double viewtwist;
    std::int16_t visretain;
    double viewdir[3];
    std::int16_t worldview;
    // Read from DWG files only and kept so that a writer can store them again.
    double dwgHeaderDouble1;
    double dwgHeaderDouble2;
    double dwgHeaderDouble3;
    double dwgHeaderDouble4;
    double dwgHeaderDouble5;
    double dwgHeaderDouble6;
    double dwgHeaderDouble7;
    double dwgHeaderDouble8;
    char dwgHeaderText1[512];
    char dwgHeaderText2[512];
    char dwgHeaderText3[512];
    char dwgHeaderText4[512];
    std::int32_t dwgHeaderLong1;
    std::int32_t dwgHeaderLong2;
    std::int16_t dwgHeaderShort1;
    std::int16_t dwgHeaderShort2;
    std::int16_t dwgHeaderShort3;
    std::int16_t dwgHeaderShort4;
    std::int16_t dwgHeaderShort5;
    std::int16_t dwgHeaderShort6;
    std::int16_t dwgHeaderShort7;
    std::int16_t dwgHeaderShort8;
    std::int16_t dwgHeaderShort9;
    std::uint8_t dwgHeaderFlag1;
    std::uint8_t dwgHeaderFlag2;
    double dwgHeaderPoint1[3];
    char dwgHeaderUcsName[32];
    std::uint8_t xedit;
    // The table records that the name-valued variables stand for.
    AdHandle celtypeHandle;
    AdHandle clayerHandle;
    AdHandle cmlstyleHandle;
    AdHandle dimstyleHandle;
    AdHandle dimtxstyHandle;
    AdHandle pucsnameHandle;
    AdHandle textstyleHandle;
    AdHandle ucsnameHandle;
    AdHandle ucsorthorefHandle;
    AdHandle ucsbaseHandle;
    AdHandle pucsorthorefHandle;
    AdHandle pucsbaseHandle;
    AdHandle cepsnidHandle;
};

// ===========================================================================
// 4. Symbol tables
// ===========================================================================

// ===== Symbol table records and cursors =====

// Name fields of table records and the long texts beside them
// (AD_TABLE_NAME_SIZE further up).
constexpr std::size_t AD_FONT_FILE_SIZE = 256;
constexpr std::size_t AD_PRIMARY_FONT_FILE_SIZE = 258;
constexpr std::size_t AD_LTYPE_TEXT_AREA_SIZE = 256;
constexpr int AD_LTYPE_DASH_COUNT = 15;

// Every record but CLASSES carries an owner, an erased flag, an external
// reference index (-1 when not from an external reference), flags (0x10
// depends on an external reference, 0x40 referenced), its name, its handle,
// its extension dictionary and its reactors. The xdata and reactor stores
// belong to the record and are freed with it. Fields named spare* are carried
// and copied unchanged.

struct AdLayerRecord {
    AdHandle owner;
    std::uint8_t erased;
    std::int16_t xrefIndex;
    std::int16_t colour;  // negative: the layer is off
    std::uint8_t flags;   // 1 frozen, 2 frozen in new viewports, 4 locked
    char name[AD_TABLE_NAME_SIZE];
    AdHandle linetype;
    AdHandle handle;
    AdHandle extensionDictionary;
    AdStore* xdata;
    std::uint8_t spareSlot[8];
    AdDrawing* drawing;
    AdDrawing* drawingCopy;
    std::int32_t reactorCount;
    AdStore* reactors;
    std::uint8_t spare[8];
    std::int16_t plotFlag;
    std::int16_t lineweight;
    AdHandle plotStyle;
};

struct AdLtypeDash {
    double length;
    std::int16_t complexFlags;
    double scale;
    double rotation;
    double xOffset;
    double yOffset;
    AdHandle style;
    std::int16_t shapeNumber;
    std::int16_t textPosition;  // offset of the dash's text in the text area
};

struct AdLtypeRecord {
    AdHandle owner;
    std::uint8_t erased;
    std::int16_t xrefIndex;
    char name[AD_TABLE_NAME_SIZE];
    char description[AD_TABLE_NAME_SIZE];
    std::uint8_t alignment;
    std::uint8_t flags;
    std::int16_t dashCount;
    double patternLength;
    AdLtypeDash dashes[AD_LTYPE_DASH_COUNT];
    AdHandle handle;
    AdHandle extensionDictionary;
    char textArea[AD_LTYPE_TEXT_AREA_SIZE];  // dash texts, each NUL-terminated
    AdStore* xdata;
    std::int32_t reactorCount;
    AdStore* reactors;
    std::uint8_t spare[8];
    std::int32_t spareWord;
};

struct AdStyleRecord {
    AdHandle owner;
    char bigFontFile[AD_FONT_FILE_SIZE];
    std::int16_t erased;
    std::int16_t xrefIndex;
    std::uint8_t generationFlags;  // 2 backwards, 4 upside down
    std::uint8_t flags;            // 1 shape file, 4 vertical
    char name[AD_TABLE_NAME_SIZE];
    char fontFile[AD_PRIMARY_FONT_FILE_SIZE];
    double obliqueAngle;  // radians
    double fixedHeight;
    double widthFactor;
    double lastHeight;
    AdHandle handle;
    AdHandle extensionDictionary;
    AdStore* xdata;
    std::int32_t reactorCount;
    AdStore* reactors;
    std::uint8_t spare12[12];
    std::uint8_t spare8[8];
};

struct AdVportRecord {
    AdHandle owner;
    std::int16_t erased;
    std::int16_t xrefIndex;
    std::uint8_t flags;
    char name[AD_TABLE_NAME_SIZE];  // the current viewport is "*ACTIVE"
    double lowerLeft[2];
    double upperRight[2];
    double snapBase[2];
    double snapSpacing[2];
    double gridSpacing[2];
    double viewCentre[2];
    double viewDirection[3];
    double viewTarget[3];
    double viewTwist;
    double viewHeight;
    std::int16_t viewMode;
    std::int16_t circleZoom;
    std::int16_t fastZoom;
    std::int16_t ucsIcon;
    double aspectRatio;
    double backClip;
    double frontClip;
    std::int16_t gridOn;
    double lensLength;
    std::int16_t snapIsoPair;
    std::int16_t snapOn;
    double snapAngle;
    std::int16_t snapStyle;
    std::int16_t renderMode;
    std::int16_t ucsPerViewport;
    double ucsOrigin[3];
    double ucsXAxis[3];
    double ucsYAxis[3];
    std::int16_t orthographicType;
    double elevation;
    AdHandle namedUcs;
    AdHandle baseUcs;
    AdHandle handle;
    AdHandle extensionDictionary;
    AdStore* xdata;
    std::int32_t reactorCount;
    AdStore* reactors;
};

struct AdViewTableRecord {
    AdHandle owner;
    std::int16_t erased;
    std::int16_t xrefIndex;
    double backClip;
    double centre[2];
    double direction[3];
    std::uint8_t flags;
    double frontClip;
    double height;
    double lensLength;
    char name[AD_TABLE_NAME_SIZE];
    double target[3];
    double twist;
    std::int16_t viewMode;
    double width;
    std::int16_t renderMode;
    std::int16_t ucsAssociated;
    double ucsOrigin[3];
    double ucsXAxis[3];
    double ucsYAxis[3];
    std::int16_t orthographicType;
    double elevation;
    AdHandle namedUcs;
    AdHandle baseUcs;
    AdHandle handle;
    AdHandle extensionDictionary;
    AdStore* xdata;
    std::int32_t reactorCount;
    AdStore* reactors;
};

struct AdUcsRecord {
    AdHandle owner;
    std::uint8_t erased;
    std::int16_t xrefIndex;
    std::uint8_t flags;
    char name[AD_TABLE_NAME_SIZE];
    double origin[3];
    double xAxis[3];
    double yAxis[3];
    AdHandle handle;
    AdHandle extensionDictionary;
    AdStore* xdata;
    std::int32_t reactorCount;
    AdStore* reactors;
    std::int16_t value79;
    std::int16_t orthographicType;
    double elevation;
    AdHandle baseUcs;
    std::uint8_t spare[8];
    double orthographicOrigin[3];
};

struct AdAppidRecord {
    AdHandle owner;
    std::int16_t xrefIndex;
    std::uint8_t erased;
    std::uint8_t flags;
    char name[AD_TABLE_NAME_SIZE];
    AdHandle handle;
    AdHandle extensionDictionary;
    AdStore* xdata;
    std::int32_t reactorCount;
    AdStore* reactors;
    std::int32_t spareWord;
};

// Dimension variables carry the names of their header variables; doubles
// unless marked.
struct AdDimStyleRecord {
    AdHandle owner;
    std::int16_t xrefIndex;
    std::uint8_t flags;
    std::uint8_t erased;
    char name[AD_TABLE_NAME_SIZE];
    std::int16_t dimadec;
    std::uint8_t dimalt;
    std::uint8_t dimaltd;
    double dimaltf;
    double dimaltrnd;
    char dimapost[AD_TABLE_NAME_SIZE];
    double dimasz;
    std::int16_t dimazin;
    AdHandle dimblk;
    AdHandle dimblk1;
    AdHandle dimblk2;
    double dimcen;
    std::int16_t dimclrd;
    std::int16_t dimclre;
    std::int16_t dimclrt;
    double dimdle;
    double dimdli;
    double dimexe;
    double dimexo;
    double dimgap;
    double dimlfac;
    std::uint8_t dimlim;
    char dimpost[AD_TABLE_NAME_SIZE];
    double dimrnd;
    std::uint8_t dimsah;
    double dimscale;
    std::uint8_t dimse1;
    std::uint8_t dimse2;
    double dimtfac;
    std::uint8_t dimtih;
    double dimtm;
    std::uint8_t dimtoh;
    std::uint8_t dimtofl;
    std::uint8_t dimtol;
    double dimtp;
    double dimtsz;
    double dimtxt;
    double dimtvp;
    std::uint8_t dimsoxd;
    std::uint8_t dimtad;
    std::uint8_t dimtix;
    std::uint8_t dimzin;
    std::int16_t dimalttd;
    std::uint8_t dimalttz;
    std::int16_t dimaltu;
    std::uint8_t dimaltz;
    std::int16_t dimaunit;
    std::int16_t dimdec;
    std::uint8_t dimfit;
    std::uint8_t dimjust;
    std::uint8_t dimsd1;
    std::uint8_t dimsd2;
    std::int16_t dimtdec;
    std::uint8_t dimtolj;
    std::uint8_t dimtzin;
    std::int16_t dimunit;
    std::uint8_t dimupt;
    std::int16_t dimfrac;
    std::int16_t dimdsep;
    std::int16_t dimtmove;
    AdHandle dimldrblk;
    std::int16_t dimlwd;
    std::int16_t dimlwe;
    AdHandle handle;
    AdHandle dimtxsty;
    AdHandle extensionDictionary;
    std::uint8_t spare[6];
    std::int32_t reactorCount;
    AdStore* reactors;
    AdStore* xdata;
};

// Flags: 1 anonymous, 2 has attributes, 4 external reference, 8 overlay,
// 16 external-reference dependent, 32 resolved. The four stores (preview,
// xdata, reactors, INSERT references) belong to the header.
struct AdBlockHeader {
    AdHandle owner;
    AdHandle layout;
    AdStore* preview;
    std::uint8_t flags;
    char name[AD_TABLE_NAME_SIZE];
    std::uint8_t overlay;
    std::int16_t loadState;
    AdHandle handle;
    std::int32_t unloaded;
    AdStore* xdata;
    AdRecordList* entities;
    std::uint8_t erased;
    AdHandle extensionDictionary;
    std::int32_t reactorCount;
    AdStore* reactors;
    char description[AD_TABLE_NAME_SIZE];
    AdStore* insertReferences;  // handles of the INSERTs that name this block
};

// What the BLOCK list stores: the header and the loaders' bookkeeping, which
// the cursor does not hand out and an update keeps.
struct AdStoredBlock {
    AdBlockHeader header;
    std::int64_t filePosition;
    AdHandle blockEntity;
    AdHandle endblkEntity;
    AdHandle firstEntity;
    AdHandle lastEntity;
    double basePoint[3];
    char xrefPath[AD_FONT_FILE_SIZE];
};

// Class numbers start at 500. isEntity is 498 (entity) or 499 (object) for
// every class, whichever file it came from. Proxy flags take a whole DXF
// group 90 value.
constexpr std::int16_t AD_FIRST_CLASS_NUMBER = 500;

// The drawing's class-number slots (AdDrawing::classNumbers), in order.
enum AdClassSlot : std::int32_t {
    AD_CLASS_OLE2FRAME,
    AD_CLASS_HATCH,
    AD_CLASS_LWPOLYLINE,
    AD_CLASS_IMAGE,
    AD_CLASS_RTEXT,
    AD_CLASS_ARCALIGNEDTEXT,
    AD_CLASS_WIPEOUT,
    AD_CLASS_XRECORD,
    AD_CLASS_IDBUFFER,
    AD_CLASS_DICTIONARYVAR,
    AD_CLASS_IMAGEDEF,
    AD_CLASS_IMAGEDEF_REACTOR,
    AD_CLASS_RASTERVARIABLES,
    AD_CLASS_SPATIAL_FILTER,
    AD_CLASS_SORTENTSTABLE,
    AD_CLASS_LAYER_INDEX,
    AD_CLASS_SPATIAL_INDEX,
    AD_CLASS_OBJECT_PTR,
    AD_CLASS_ACDBDICTIONARYWDFLT,
    AD_CLASS_ACDBPLACEHOLDER,
    AD_CLASS_LAYOUT,
    AD_CLASS_VBA_PROJECT,
    AD_CLASS_WIPEOUTVARIABLES,
    AD_CLASS_PLOTSETTINGS,
    AD_CLASS_DIMASSOC,
};
static_assert(AD_CLASS_DIMASSOC + 1 == AD_CLASS_SLOT_COUNT, "one slot per known class");

struct AdClassRecord {
    std::int16_t number;
    char dxfName[AD_TABLE_NAME_SIZE];
    char className[AD_TABLE_NAME_SIZE];
    char applicationName[AD_TABLE_NAME_SIZE];
    std::int32_t proxyFlags;
    std::int16_t wasProxy;
    std::int16_t isEntity;
};

// One VIEWPORT entity of the current paper space, in the drawing's
// viewport-entity header list. The readers fill the header part from the
// file's viewport-entity header table; the list part ties the header to its
// VIEWPORT entity.
struct AdVportEntityHeader {
    // Header part.
    AdHandle owner;
    std::uint8_t erased;
    std::int16_t xrefIndex;
    std::uint8_t flags;  // 1 = on
    char name[AD_TABLE_NAME_SIZE];
    AdHandle handle;
    AdHandle nextHeader;      // null for the last header of the chain (also when it names the header itself)
    AdHandle viewportEntity;  // the header's VIEWPORT entity
    std::int16_t status;      // DXF 68 of the VIEWPORT
    std::int16_t number;      // 0 first or off, 1.. by chain position, -1 beyond
    std::int32_t fileOffset;  // fixed-size files: where the header record lies
    // List part.
    std::int32_t entityIndex;   // the viewport's number in files before R13
    AdListRecord* entityRecord; // the VIEWPORT's packed record
    AdHandle entityHandle;
    AdHandle blockHandle;       // the value the VIEWPORT's data ends with
    std::uint8_t spare[4];
};

// Cursor families. Rewind makes the first record current; Next copies the
// current record and moves on (0 at the end); ByHandle finds the record
// through the handle index, makes it current and reads it as Next does
// (303 unknown handle, 304 record of another table, 305 read failed);
// HandleByName looks a name up ignoring ASCII case without moving the cursor
// (0 and a null handle when absent); Update overwrites the record that has
// the record's handle (303, 304). Texts are cut to their fields on the way in.
int adLayerRewind(AdDrawing* drawing);
int adLayerNext(AdDrawing* drawing, AdLayerRecord* record);
std::int32_t adLayerCount(const AdDrawing* drawing);
int adLayerByHandle(AdDrawing* drawing, const AdHandle* handle, AdLayerRecord* record);
int adLayerHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle);
int adLayerUpdate(AdDrawing* drawing, const AdLayerRecord* record);
// Appends (231 null handle, 223 no memory, 172 duplicate, 173 refused).
int adLayerAdd(AdDrawing* drawing, const AdLayerRecord* record);
// Layer switches: on = colour >= 0; the flags are bits 1, 2 and 4. Setting
// treats a byte of 0 or 0xFF as off. 0 when the handle names no layer.
int adLayerGetState(AdDrawing* drawing, const AdHandle* layer, std::uint8_t* on, std::uint8_t* frozen,
                    std::uint8_t* frozenInNew, std::uint8_t* locked);
int adLayerSetState(AdDrawing* drawing, const AdHandle* layer, std::uint8_t on, std::uint8_t frozen,
                    std::uint8_t frozenInNew, std::uint8_t locked);

int adLtypeRewind(AdDrawing* drawing);
int adLtypeNext(AdDrawing* drawing, AdLtypeRecord* record);
std::int32_t adLtypeCount(const AdDrawing* drawing);
int adLtypeByHandle(AdDrawing* drawing, const AdHandle* handle, AdLtypeRecord* record);
int adLtypeHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle);
int adLtypeUpdate(AdDrawing* drawing, const AdLtypeRecord* record);
// BYBLOCK and BYLAYER go last; any other name before the BYBLOCK/BYLAYER run
// that ends the table (220 no memory, 172, 173).
int adLtypeAdd(AdDrawing* drawing, const AdLtypeRecord* record);
// 76 empty table, 77 unknown handle, 106 store, 107 unlink, 108 free failed.
int adLtypeDelete(AdDrawing* drawing, const AdHandle* handle);

int adStyleRewind(AdDrawing* drawing);
int adStyleNext(AdDrawing* drawing, AdStyleRecord* record);
std::int32_t adStyleCount(const AdDrawing* drawing);
int adStyleByHandle(AdDrawing* drawing, const AdHandle* handle, AdStyleRecord* record);
int adStyleHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle);

int adVportRewind(AdDrawing* drawing);
int adVportNext(AdDrawing* drawing, AdVportRecord* record);
std::int32_t adVportCount(const AdDrawing* drawing);
int adVportByHandle(AdDrawing* drawing, const AdHandle* handle, AdVportRecord* record);
int adVportUpdate(AdDrawing* drawing, const AdVportRecord* record);

int adAppidRewind(AdDrawing* drawing);
int adAppidNext(AdDrawing* drawing, AdAppidRecord* record);
std::int32_t adAppidCount(const AdDrawing* drawing);
int adAppidByHandle(AdDrawing* drawing, const AdHandle* handle, AdAppidRecord* record);
int adAppidHandleByName(const AdDrawing* drawing, const char* name, AdHandle* handle);

int adDimStyleRewind(AdDrawing* drawing);
int adDimStyleNext(AdDrawing* drawing, AdDimStyleRecord* record);
std::int32_t adDimStyleCount(const AdDrawing* drawing);
int adDimStyleByHandle(AdDrawing* drawing, const AdHandle* handle, AdDimStyleRecord* record);
int adDimStyleUpdate(AdDrawing* drawing, const AdDimStyleRecord* record);

int adBlockRewind(AdDrawing* drawing);
int adBlockNext(AdDrawing* drawing, AdBlockHeader* record);
std::int32_t adBlockCount(const AdDrawing* drawing);
int adBlockByHandle(AdDrawing* drawing, const AdHandle* handle, AdBlockHeader* record);
// Through the drawing's sorted block-name index, rebuilt when stale.
int adBlockHandleByName(AdDrawing* drawing, const char* name, AdHandle* handle);
int adBlockUpdate(AdDrawing* drawing, const AdBlockHeader* record);
// Links the new header before *MODEL_SPACE, the first record or the third
// from the end, whichever the walk back from the end meets first; an empty
// table refuses (92). 221 no memory, 172, 173.
int adBlockAdd(AdDrawing* drawing, const AdBlockHeader* record);
// 92 empty table, 93 unknown handle, 124 store, 126 unlink, 127 free failed.
// The block's entity list stays with the caller.
int adBlockDelete(AdDrawing* drawing, const AdHandle* handle);

int adUcsRewind(AdDrawing* drawing);
int adUcsNext(AdDrawing* drawing, AdUcsRecord* record);
std::int32_t adUcsCount(const AdDrawing* drawing);

int adClassRewind(AdDrawing* drawing);
int adClassNext(AdDrawing* drawing, AdClassRecord* record);
std::int32_t adClassCount(const AdDrawing* drawing);
// Copies the class with that DXF name (ignoring case); 0 and a zeroed record
// when there is none.
int adClassByName(const AdDrawing* drawing, const char* dxfName, AdClassRecord* record);
// Replaces the class with the record's number.
int adClassUpdate(AdDrawing* drawing, const AdClassRecord* record);
// name holds AD_TABLE_NAME_SIZE bytes.
int adClassNameByNumber(const AdDrawing* drawing, std::int16_t number, char* name);
std::int16_t adClassNextNumber(const AdDrawing* drawing);
int adClassAdd(AdDrawing* drawing, const AdClassRecord* record);
// 1 when the DXF name is registered already, else the new class's number (0
// when it cannot be added).
std::int16_t adClassRegister(AdDrawing* drawing, const char* dxfName, const char* className,
                             const char* applicationName, std::int32_t proxyFlags, std::int16_t isEntity,
                             std::int16_t wasProxy);
// Stores the number in the drawing's slot for a known class; other names are
// ignored. Always 1.
int adClassNumSet(AdDrawing* drawing, const char* dxfName, std::int16_t number);

// Record defaults. The LTYPE default leaves the name as it is.
void adDefaultLayerRecord(AdDrawing* drawing, AdLayerRecord* record);
void adDefaultLtypeRecord(AdLtypeRecord* record);
void adDefaultStyleRecord(AdStyleRecord* record);
void adDefaultVportRecord(AdVportRecord* record);
void adDefaultViewRecord(AdViewTableRecord* record);
void adDefaultUcsRecord(AdUcsRecord* record);
void adDefaultAppidRecord(AdAppidRecord* record);
void adDefaultDimStyleRecord(AdDrawing* drawing, AdDimStyleRecord* record);
void adDefaultBlockHeader(AdBlockHeader* record);

// Per-table list release: the records' stores, the records and the list; the
// drawing's pointer is cleared. adFreeClassList also frees the class table.
int adFreeLayerList(AdDrawing* drawing);
int adFreeLtypeList(AdDrawing* drawing);
int adFreeUcsList(AdDrawing* drawing);
int adFreeViewList(AdDrawing* drawing);
int adFreeVportList(AdDrawing* drawing);
int adFreeVportEntityList(AdDrawing* drawing);
int adFreeDimStyleList(AdDrawing* drawing);
int adFreeAppidList(AdDrawing* drawing);
int adFreeBlockList(AdDrawing* drawing);
int adFreeStyleList(AdDrawing* drawing);
int adFreeClassList(AdDrawing* drawing);
// Frees the headers of whichever of the twelve lists remain (emptied before).
int adFreeListHeaders(AdDrawing* drawing);

// ===========================================================================
// 5. Entities
// ===========================================================================

// ===== Entity records and packed storage =====

// Entity type codes (16-bit). A code from 498 up is the drawing's class number
// of one of its entity classes (adEntityKind tells which), or else a proxy
// entity; 498 is always a proxy. Codes 0, 18, 32 to 34 and 36 to 497 carry no
// data.
enum AdEntityType : std::uint16_t {
    AD_ENTITY_LINE = 1,
    AD_ENTITY_POINT = 2,
    AD_ENTITY_CIRCLE = 3,
    AD_ENTITY_SHAPE = 4,
    AD_ENTITY_ELLIPSE = 5,
    AD_ENTITY_SPLINE = 6,
    AD_ENTITY_TEXT = 7,
    AD_ENTITY_ARC = 8,
    AD_ENTITY_TRACE = 9,
    AD_ENTITY_REGION = 10,
    AD_ENTITY_SOLID = 11,
    AD_ENTITY_BLOCK = 12,
    AD_ENTITY_ENDBLK = 13,
    AD_ENTITY_INSERT = 14,
    AD_ENTITY_ATTDEF = 15,
    AD_ENTITY_ATTRIB = 16,
    AD_ENTITY_SEQEND = 17,
    AD_ENTITY_POLYLINE = 19,
    AD_ENTITY_VERTEX = 20,
    AD_ENTITY_3DLINE = 21,
    AD_ENTITY_3DFACE = 22,
    AD_ENTITY_DIMENSION = 23,
    AD_ENTITY_VIEWPORT = 24,
    AD_ENTITY_3DSOLID = 25,
    AD_ENTITY_RAY = 26,
    AD_ENTITY_XLINE = 27,
    AD_ENTITY_MTEXT = 28,
    AD_ENTITY_LEADER = 29,
    AD_ENTITY_TOLERANCE = 30,
    AD_ENTITY_MLINE = 31,
    AD_ENTITY_BODY = 35,
    AD_ENTITY_PROXY = 498,
};

// Codes below this have an entry of their own in the stored-size table.
constexpr std::uint16_t AD_ENTITY_FIXED_CODE_LIMIT = 40;

// What a type code stands for in a drawing.
enum AdEntityKind : std::int32_t {
    AD_KIND_FIXED,  // a code below 498: the code itself names the type
    AD_KIND_OLE2FRAME,
    AD_KIND_LWPOLYLINE,
    AD_KIND_HATCH,
    AD_KIND_IMAGE,
    AD_KIND_WIPEOUT,
    AD_KIND_RTEXT,
    AD_KIND_ARCALIGNEDTEXT,
    AD_KIND_PROXY,
};

// Class types by the drawing's class-number slots; a null drawing knows no
// class, so every code from 498 up is then a proxy.
AdEntityKind adEntityKind(const AdDrawing* drawing, std::uint16_t type);
// Bytes of the type's fixed data part in a packed record (texts that follow
// it not counted). Store references take their pointer size.
std::int32_t adEntityStoredSize(const AdDrawing* drawing, std::uint16_t type);

// Header flags.
constexpr std::uint8_t AD_ENTITY_FLAG_PAPER_SPACE = 0x01;
constexpr std::uint8_t AD_ENTITY_FLAG_EXTRUDED = 0x02;  // extrusion is not 0,0,1
constexpr std::uint8_t AD_ENTITY_FLAG_INVISIBLE = 0x04;
constexpr std::uint8_t AD_ENTITY_FLAG_PLOT_STYLE_BYBLOCK = 0x20;
constexpr std::uint8_t AD_ENTITY_FLAG_PLOT_STYLE_BYLAYER = 0x40;
// The colour number that stands for the layer's colour (0 is the block's).
constexpr std::int16_t AD_COLOR_BYLAYER = 256;

// The common part of every entity. The xdata and reactor stores belong to
// the entity.
struct AdEntityHeader {
    std::uint16_t type;  // AdEntityType or a class number
    AdHandle handle;
    AdHandle layer;
    AdHandle linetype;
    AdHandle extensionDictionary;  // null when none
    double thickness;
    std::int16_t color;  // AD_COLOR_BYLAYER, 0 BYBLOCK
    double extrusion[3];
    double linetypeScale;
    std::uint8_t flags;  // AD_ENTITY_FLAG_*
    std::int16_t lineweight;  // hundredths of a millimetre; -1 BYLAYER, -2 BYBLOCK, -3 default
    std::uint32_t spareWord;
    AdStore* xdata;
    std::int32_t reactorCount;
    AdStore* reactors;  // reactorCount 8-byte handles
    AdHandle reservedHandle;  // never stored: null after an unpack
    AdHandle plotStyle;
};

// The data of each type. Doubles unless marked; points are 3 doubles. Stores
// named in a record belong to the entity. Fields named spare* are carried
// and copied unchanged. Text fields are cut to their size (last byte NUL)
// when an entity is packed.

struct AdLineData {  // LINE, 3DLINE
    double start[3];
    double end[3];
};

struct AdPointData {
    double point[3];
    double xAxisAngle;
};

struct AdCircleData {
    double centre[3];
    double radius;
};

struct AdArcData {
    double centre[3];
    double radius;
    double startAngle;
    double endAngle;
};

struct AdShapeData {
    double insertion[3];
    double size;
    std::uint8_t shapeNumber;
    double rotation;
    double widthFactor;
    double obliqueAngle;
    AdHandle style;  // the STYLE record of the shape file
};

// The normal is the header's extrusion.
struct AdEllipseData {
    double centre[3];
    double majorAxis[3];  // end point relative to the centre
    double axisRatio;
    double startParameter;
    double endParameter;
};

struct AdSplineData {
    std::int16_t degree;
    std::int16_t flags;  // 4 rational
    std::int16_t knotCount;
    std::int16_t controlPointCount;
    std::int16_t fitPointCount;
    double knotTolerance;
    double controlPointTolerance;
    double fitTolerance;
    double startTangent[3];
    double endTangent[3];
    // The knots, then the control points (each followed by its weight when
    // rational), then the fit points.
    AdStore* points;
};

// The fields TEXT, ATTDEF and ATTRIB share after their first fields.
struct AdTextFields {
    double height;
    double rotation;
    double widthFactor;
    double obliqueAngle;
    std::uint8_t generation;
    std::uint8_t horizontalAlignment;
    std::uint8_t verticalAlignment;
    double alignment[2];  // its z is the insertion point's
    AdHandle style;
};

constexpr std::size_t AD_ENTITY_TEXT_SIZE = 2048;
constexpr std::size_t AD_ATTRIBUTE_TEXT_SIZE = 513;
constexpr std::size_t AD_ATTRIBUTE_VALUE_SIZE = 2049;
constexpr std::size_t AD_DIMENSION_TEXT_SIZE = 1024;
constexpr std::size_t AD_MTEXT_INLINE_SIZE = 256;
constexpr std::size_t AD_TOLERANCE_TEXT_SIZE = 1024;
constexpr std::size_t AD_RTEXT_TEXT_SIZE = 1024;
constexpr std::size_t AD_ARC_TEXT_SIZE = 1024;
constexpr std::size_t AD_ENTITY_NAME_SIZE = 512;

struct AdTextData {
    double insertion[3];
    AdTextFields fields;
    char text[AD_ENTITY_TEXT_SIZE];
};

struct AdTraceData {  // TRACE, SOLID
    double corners[4][3];
};

// REGION, 3DSOLID, BODY.
struct AdSatData {
    AdStore* satText;
    AdStore* satTail;  // the rest of the object's data bits, kept for writing back
    std::uint8_t satFlag;
    std::uint8_t spare[31];
};

// The block's flags live in its block header record.
struct AdBlockData {
    double basePoint[3];
    char name[AD_ENTITY_NAME_SIZE];
    char xrefPath[AD_ENTITY_NAME_SIZE];
};

// Both counts 1: a plain INSERT; otherwise a MINSERT.
struct AdInsertData {
    std::int16_t attributesFollow;
    double insertion[3];
    double scale[3];
    double rotation;  // radians
    double rowSpacing;
    double columnSpacing;
    std::int16_t rowCount;
    std::int16_t columnCount;
    AdHandle block;  // the block header record
};

struct AdAttdefData {
    double insertion[3];
    std::uint8_t attributeFlags;
    std::int16_t fieldLength;
    AdTextFields fields;
    char prompt[AD_ATTRIBUTE_TEXT_SIZE];
    char tag[AD_ATTRIBUTE_TEXT_SIZE];
    char defaultValue[AD_ATTRIBUTE_TEXT_SIZE];
};

struct AdAttribData {
    double insertion[3];
    std::uint8_t attributeFlags;
    std::int16_t fieldLength;
    AdTextFields fields;
    char tag[AD_ATTRIBUTE_TEXT_SIZE];
    char value[AD_ATTRIBUTE_VALUE_SIZE];
};

struct AdPolylineData {
    double elevation;
    double startWidth;
    double endWidth;
    std::int16_t curveType;
    std::int16_t meshMDensity;
    std::int16_t meshNDensity;
    std::int16_t meshMCount;
    std::int16_t meshNCount;
    std::int16_t flags;  // 8 3D polyline, 16 polygon mesh, 64 polyface mesh
};

struct AdVertexData {
    double point[3];
    std::int16_t flags;  // 32 3D polyline vertex, 64 mesh vertex, 128 polyface face record
    double startWidth;
    double endWidth;
    std::int16_t startWidthGiven;
    std::int16_t endWidthGiven;
    double bulge;
    double tangentDirection;
    std::int16_t faceIndexCount;  // non-zero: a polyface face record
    std::int16_t faceIndices[4];
};

struct AdFaceData {  // 3DFACE
    double corners[4][3];
    std::int16_t invisibleEdges;
};

// Definition points in the order of DXF 16, 13, 14, 15.
struct AdDimensionData {
    std::int16_t clonePointGiven;
    double clonePoint[3];
    std::uint8_t dimensionType;  // low three bits: 0 rotated .. 6 ordinate
    double definitionPoints[4][3];
    double leaderLength;
    double rotation;
    double textRotation;
    double obliqueAngle;  // of the extension lines
    double textMidpoint[3];
    double definitionPoint[3];  // DXF 10
    double horizontalDirection;
    std::int16_t attachment;
    std::int16_t lineSpacingStyle;
    double lineSpacingFactor;
    double measurement;
    AdHandle block;  // the anonymous block that draws it
    AdHandle dimStyle;
    double angle54;  // written as DXF 54
    char text[AD_DIMENSION_TEXT_SIZE];
};

struct AdViewportData {
    AdStore* frozenLayers;  // handles
    std::int32_t frozenLayerCount;
    std::int16_t spareShort1;
    std::int16_t status;
    double centre[3];
    double width;
    double height;
    std::int16_t id;
    std::uint8_t spareByte;
    std::int16_t spareShort2;
    std::uint8_t spareBytes[8];
    AdHandle clipBoundary;
    std::int32_t statusFlags;
    std::int16_t renderMode;
    char styleSheet[AD_ENTITY_NAME_SIZE];
    std::int16_t ucsPerViewport;
    std::int16_t ucsIcon;
    double ucsOrigin[3];
    double ucsXAxis[3];
    double ucsYAxis[3];
    std::int16_t orthographicType;
    double elevation;
    AdHandle namedUcs;
    AdHandle baseUcs;
    double viewTarget[3];
    double viewDirection[3];
    double twist;
    double viewHeight;
    double viewCentre[2];
    double lensLength;
    double frontClip;
    double backClip;
    std::int16_t circleZoom;
    double snapSpacing[2];
    double gridSpacing[2];
    double snapAngle;
    double snapBase[2];
    AdHandle blockHandle;  // handed to the paper-space viewport list
    std::uint8_t unpackMark;  // not stored; cleared by every unpack
};

struct AdRayData {  // RAY, XLINE
    double base[3];
    double direction[3];  // a unit vector
};

struct AdMtextData {
    double insertion[3];
    double xAxis[3];
    double height;
    double referenceWidth;
    std::uint8_t attachment;
    std::uint8_t drawingDirection;
    double extentsHeight;
    double extentsWidth;
    std::int16_t lineSpacingStyle;
    double lineSpacingFactor;
    AdHandle style;
    AdStore* longText;  // a text of AD_MTEXT_INLINE_SIZE bytes or more; null: the text is inline
    char text[AD_MTEXT_INLINE_SIZE];
};

struct AdLeaderData {
    std::int16_t vertexCount;
    std::uint8_t pathType;
    std::uint8_t arrowhead;
    std::uint8_t hooklineDirection;
    std::uint8_t hookline;
    std::int16_t annotationType;
    std::int16_t colour;
    double textHeight;
    double textWidth;
    double annotationOffset[3];
    double horizontalDirection[3];
    double blockOffset[3];
    AdHandle annotation;
    AdHandle dimStyle;
    AdStore* vertices;  // points
};

struct AdToleranceData {
    double insertion[3];
    double xDirection[3];
    AdHandle dimStyle;
    AdStore* store;
    char text[AD_TOLERANCE_TEXT_SIZE];
};

struct AdMlineData {
    double scale;
    std::int16_t justification;
    std::int16_t flags;  // open/closed
    std::int16_t lineCount;
    std::int32_t vertexCount;
    double start[3];
    AdHandle style;  // MLINESTYLE object
    AdStore* vertices;
};

struct AdOle2FrameData {
    std::int16_t version;
    std::int16_t spareShort;
    std::uint8_t spareByte;
    std::int32_t dataLength;
    double upperLeft[3];
    double lowerRight[3];
    AdStore* data;
};

// The vertex store holds per vertex x, y, then the bulge when flag 16 is
// set, then start and end width when flag 32 is set.
struct AdLwpolylineData {
    std::int32_t vertexCount;
    std::int16_t flags;  // 16 bulges, 32 widths, 256 linetype generation, 512 closed
    double elevation;
    double constantWidth;
    AdStore* vertices;
};

struct AdHatchData {
    double elevation[3];
    char patternName[AD_ENTITY_NAME_SIZE];
    std::int16_t associative;
    std::int16_t solidFill;
    AdStore* paths;
    std::int32_t pathCount;
    std::int16_t style;
    std::int16_t patternType;
    double patternAngle;
    double patternScale;
    std::int16_t doubleFlag;
    std::int16_t patternLineCount;
    AdStore* patternLines;
    AdStore* further;
    double pixelSize;
    AdStore* seeds;
    std::int32_t seedCount;
};

// IMAGE and WIPEOUT. The last store holds an IMAGE's pixel data and a
// WIPEOUT's proxy graphics, which is all a WIPEOUT is drawn from.
struct AdImageData {
    std::int32_t classVersion;
    double insertion[3];
    double size[2];
    double uVector[3];
    double vVector[3];
    std::int16_t clipping;
    std::int16_t brightness;
    std::int16_t contrast;
    std::int16_t fade;
    std::int16_t clipBoundaryType;  // 1 rectangle
    std::int16_t displayProperties;
    std::int32_t clipVertexCount;
    double clipCorners[2][2];
    AdStore* clipVertices;
    AdStore* further;
    AdHandle imageDef;
    AdHandle imageDefReactor;
    AdStore* pixels;
};

struct AdRtextData {
    double insertion[3];
    double rotation;
    double height;
    AdHandle style;
    std::int16_t flags;
    AdStore* longText;
    char text[AD_RTEXT_TEXT_SIZE];
};

struct AdArcAlignedTextData {
    char text[AD_ARC_TEXT_SIZE];
    char fontFile[AD_ENTITY_NAME_SIZE];
    char bigFontFile[AD_ENTITY_NAME_SIZE];
    AdHandle style;
    double centre[3];
    double radius;
    double widthFactor;
    double textHeight;
    double characterSpacing;
    double offset;  // from the arc
    double rightOffset;
    double leftOffset;
    double startAngle;
    double endAngle;
    std::int16_t values70[10];  // DXF 70 to 79
    std::int32_t colour;        // DXF 90
    std::int16_t value280;
    AdStore* graphics;  // DXF 92 and its 310 groups
    AdHandle arc;       // DXF 330
};

// Any other class. The object-id store (9 bytes per reference: the handle,
// then its kind) is owned only when objectIdCount is non-zero.
struct AdProxyData {
    std::int16_t classId;           // DXF 90
    std::int16_t applicationClass;  // DXF 91; 0: the entity's own type
    std::int32_t dataBits;          // DXF 93
    std::int32_t objectIdCount;
    std::int32_t drawingFormat;     // DXF 95
    std::int16_t originalFormat;    // DXF 70
    AdStore* data;
    AdStore* objectIds;
    AdStore* graphics;
    AdStore* spareStore;
};

struct AdEntityData {
    union {
        AdLineData line;  // LINE, 3DLINE
        AdPointData point;
        AdCircleData circle;
        AdArcData arc;
        AdShapeData shape;
        AdEllipseData ellipse;
        AdSplineData spline;
        AdTextData text;
        AdTraceData trace;  // TRACE, SOLID
        AdSatData sat;      // REGION, 3DSOLID, BODY
        AdBlockData block;
        AdInsertData insert;
        AdAttdefData attdef;
        AdAttribData attrib;
        AdPolylineData polyline;
        AdVertexData vertex;
        AdFaceData face;
        AdDimensionData dimension;
        AdViewportData viewport;
        AdRayData ray;  // RAY, XLINE
        AdMtextData mtext;
        AdLeaderData leader;
        AdToleranceData tolerance;
        AdMlineData mline;
        AdOle2FrameData ole2Frame;
        AdLwpolylineData lwpolyline;
        AdHatchData hatch;
        AdImageData image;  // IMAGE, WIPEOUT
        AdRtextData rtext;
        AdArcAlignedTextData arcAlignedText;
        AdProxyData proxy;
    };
};

// The packed form of an entity: one record of an entity list, byte-packed.
// After these fields come the optional part (optionalLength bytes) and the
// type data, whose size closes the optional part.
#pragma pack(push, 1)
struct AdPackedEntity {
    AdListRecord links;
    std::uint16_t type;
    AdHandle handle;
    std::uint8_t flags;
    std::uint8_t mask;   // AD_PACKED_* bits
    std::uint8_t mask2;  // AD_PACKED2_* bits
    std::uint16_t optionalLength;
};
#pragma pack(pop)

// The optional fields, in the order they are stored; each only when its bit
// is set. Handles are stored as a length byte and their significant bytes.
constexpr std::uint8_t AD_PACKED_THICKNESS = 0x01;
constexpr std::uint8_t AD_PACKED_COLOR = 0x02;
constexpr std::uint8_t AD_PACKED_EXTRUSION = 0x04;
constexpr std::uint8_t AD_PACKED_XDATA = 0x08;
constexpr std::uint8_t AD_PACKED_LINETYPE_SCALE = 0x10;
constexpr std::uint8_t AD_PACKED_SPARE_WORD = 0x20;
constexpr std::uint8_t AD_PACKED_REACTORS = 0x40;  // the count, then the store
constexpr std::uint8_t AD_PACKED_XDICTIONARY = 0x80;
constexpr std::uint8_t AD_PACKED2_PLOT_STYLE = 0x01;
// Then always: lineweight (2 bytes); the layer handle's length (high nibble)
// and the linetype handle's (low nibble); their significant bytes; the type
// data size (2 bytes).

// Keeps the header's type and fills the rest with the defaults of a new
// entity: layer = the first LAYER record, linetype = BYLAYER; clears the
// pending entity elevation. Given data gets the type's defaults; a
// VIEWPORT's view direction is left as the caller's record holds it.
void adEntityDefaults(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
// Height and width factor 1.0, the STYLE handle the first STYLE record's,
// everything else 0.
void adDefaultTextFields(AdDrawing* drawing, AdTextFields* fields);
// Everything but the view direction.
void adDefaultViewportData(AdViewportData* data);

// Packs the entity into a new record linked at the position (the positions
// of adListInsertNew); answers the record or null. An INSERT's handle is
// added to the reference store of its block header; a block that is not in
// the drawing fails with AD_ERR_INSERT_BLOCK unless the drawing is being read
// (its file is open), when the INSERT is stored without a reference.
AdListRecord* adPackEntityRecord(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header,
                                 const AdEntityData* data, int position, AdListRecord* reference);
// Fills header and data from a packed record; where the type data starts in
// the record and the record that follows go to the optional outputs. A
// record whose stated lengths do not hold its fields gives 0 with
// AD_ERR_PACKED_ENTITY; nothing is read past them.
int adUnpackEntityRecord(AdListRecord* record, AdEntityHeader* header, AdEntityData* data,
                         std::uint8_t** dataPosition, AdListRecord** next);

// ===== Extended data =====
// A record's extended data is kept in a store of items, one after another,
// little-endian: group code (int16), value length n (int16), four spare
// bytes, n value bytes. The readers leave the raw extended data of the record
// being read in the record buffer (buffer32kA, AD_XDATA_BUFFER_SIZE bytes),
// its length in adGlobals->xdataLength; adDwgReadXdataItem takes it apart.
constexpr std::int32_t AD_XDATA_BUFFER_SIZE = 0x8000;
// The longest value: a 1000 string of 255 characters (a length byte counts
// them), its NUL and its code-page byte; one more byte for the NUL that
// adXdataReadItem puts after the stored bytes.
constexpr std::size_t AD_XDATA_VALUE_SIZE = 258;

union AdXdataValue {
    char text[AD_XDATA_VALUE_SIZE];           // 1000; 1002 "{" or "}"
    std::uint8_t bytes[AD_XDATA_VALUE_SIZE];  // 1004
    AdHandle handle;                          // 1001 application, 1003 layer, 1005
    double point[3];                          // 1010..1013
    double real;                              // 1040..1042
    std::int16_t int16;                       // 1070
    std::int32_t int32;                       // 1071
};

struct AdXdataItem {
    std::int16_t code;     // 1000..1071
    std::int16_t length;   // 1004: the data bytes; 0 after reading any other code
    std::uint8_t spare[4];
    AdXdataValue value;
};

// Sets the raw read position back to the start of the collected extended
// data and closes the open application block. 0 with AD_ERR_XDATA_DAMAGED
// when the collected length lies outside the record buffer.
int adXdataReadBegin(AdDrawing* drawing);
// The next raw item: 1 with it; 0 at the end of the data or at a code that
// extended data does not have (nothing reported), and 0 with
// AD_ERR_XDATA_DAMAGED when the data contradicts itself. Reading stays
// stopped until adXdataReadBegin. AC1012+ files give a 1001 item with the
// application's handle at the start of each application block; files before
// AC1012 leave the table index of a 1001 or 1003 item in
// adGlobals->xdataTableIndex and DXF files its name in adGlobals->xdataName,
// with a null handle in the item. A 1000 string carries its code-page byte
// after its NUL when adGlobals->xdataCodePages is set.
int adDwgReadXdataItem(AdDrawing* drawing, AdXdataItem* item);
// Sets the item's value length by its code and appends header and value.
int adXdataWriteItem(AdStream* stream, AdXdataItem* item);
// The next stored item: 1 with it; 0 when no further 8-byte header can be
// read, or with AD_ERR_XDATA_DAMAGED when its value is cut short or does
// not fit the value area. A 1000 value is terminated after its stored bytes.
int adXdataReadItem(AdStream* stream, AdXdataItem* item);

// ===== Entity lists and standard arrowheads =====
// Every block keeps its entities in an entity list of packed records, in
// drawing order; the drawing's paperSpace list is the current paper space,
// whose VIEWPORTs each have a record in the vportEntities list. Adding,
// replacing and deleting keep the handle index, the reference stores of the
// blocks that INSERTs name and that viewport list consistent. A list's cursor
// is shared: ByHandle, AddAfter and Delete move it, Update restores it.

// The entity list of a block; null (error 73) when no block has the handle.
AdRecordList* adBlockEntityList(AdDrawing* drawing, const AdHandle* block);
std::int32_t adBlockEntityCount(AdDrawing* drawing, const AdHandle* block);

// Walking: Next unpacks the current record and makes the following one
// current; 0 at the end of the list. ByHandle makes the entity current and
// reads it as Next does; 0 when the handle is unknown or lies in another list.
int adEntityRewind(AdRecordList* list);
int adEntityNext(AdRecordList* list, AdEntityHeader* header, AdEntityData* data);
int adEntityByHandle(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle, AdEntityHeader* header,
                     AdEntityData* data);

// Adding: at the end, or after the entity with the handle (first in the list
// when the handle is null or not given; 0 when no entity of the list has
// it). A duplicate handle fails with 172 (the handle in offendingHandle),
// another refusal of the index with 173; a failed add leaves the list, the
// index and the reference stores as they were.
int adEntityAdd(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header, const AdEntityData* data);
int adEntityAddAfter(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header, const AdEntityData* data,
                     const AdHandle* after);
// Replaces the entity with the handle at the same place and frees the old
// entity's stores that the new one does not hold. A failed update leaves the
// old entity in place (151, 152, 175, 226, 227, 228, 172, 173, 229).
int adEntityUpdate(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle, const AdEntityHeader* header,
                   const AdEntityData* data);
// Removes the entity; the cursor stays on the record that followed it.
int adEntityDelete(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle, int freeStores);
// Takes the entity out of the list to be added again elsewhere (with its
// stores, when freeStores is 0); the display engine's reordering of blocks.
inline int adEntityMove(AdDrawing* drawing, AdRecordList* list, const AdHandle* handle, int freeStores) {
    return adEntityDelete(drawing, list, handle, freeStores);
}

// Frees the stores an entity owns (xdata, reactors and those of its type)
// and clears their fields.
int adEntityFreeStores(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
// Unlinks and frees one packed record (99 when it is not in the list), first
// freeing the stores of its unpacked entity when asked.
int adEntityUnlink(AdDrawing* drawing, AdRecordList* list, AdListRecord* record, AdEntityHeader* header,
                   AdEntityData* data, int freeStores);
// Empties an entity list, freeing every entity's stores; the header stays.
void adFreeEntityList(AdDrawing* drawing, AdRecordList* list);

// An entity of a known class marks its CLASSES record as used (proxy flags
// bit 15 cleared).
int adMarkEntityClassUsed(AdDrawing* drawing, const AdEntityHeader* header);
// Adds a VIEWPORT to the paper-space viewport list: id 1 first, others last.
int adAddPaperViewport(AdDrawing* drawing, const AdHandle* handle, const AdHandle* value, AdListRecord* record,
                       std::int16_t viewportId);

// Makes a layout block ("*Paper_Space...") the active paper space; the
// model-space block sets TILEMODE to 1 instead. 1 when done or already active.
int adSetActiveLayout(AdDrawing* drawing, const AdHandle* block);

// Standard arrowheads. adArrowheadIndex classifies a name: "" 0, "_CLOSED" 1,
// "_OPEN" 2, "_DOT" 3, "_ORIGIN" 4, "_OPEN90" 5, "_NONE" 6, "_OBLIQUE" 7,
// any other 8 (ignoring ASCII case). adArrowheadBlock builds the block of a
// standard arrowhead (its name with or without the leading underscore): an
// arrow of size 1, tip at the origin, body along -x, drawn BYBLOCK. It
// answers 0 for an empty or unknown name, and when a step fails, in which
// case nothing of the block stays in the drawing.
int adArrowheadIndex(const char* name, std::int16_t* code);
int adArrowheadBlock(AdDrawing* drawing, AdBlockHeader* record, const char* name, AdHandle* handle);

// The entity helpers of the arrowhead builder: each prepares the header
// (adArrowInitEntity: defaults, colour, linetype and lineweight BYBLOCK, in
// model space) and adds one entity with a new handle.
void adArrowInitEntity(AdEntityHeader* header, AdDrawing* drawing, AdEntityData* data, std::uint16_t type);
// name: 1 to 32 characters; basePoint and xrefPath may be null.
int adArrowAddBlockEntity(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                          const char* name, const double basePoint[3], const char* xrefPath);
int adArrowAddEndblk(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data);
int adArrowAddCircle(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                     const double centre[3], double radius);
int adArrowAddLine(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                   const double start[3], const double end[3]);
int adArrowAddLineTo(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                     const double start[3], double x, double y, double z);
int adArrowAddSolid(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                    const double corners[4][3]);
// Flags 1, 2, 4 and 128 from the switches; curve type 8 for Bezier, 5 or 6
// for a smooth surface of type 2 or 3 (another type refuses the polyline).
int adArrowAddPolyline(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                       int closed, int curveFit, int spline, int bezier, int smoothSurface, int smoothType,
                       int linetypeGeneration, double elevation, double startWidth, double endWidth);
int adArrowAddVertex(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                     const double point[3], double bulge);
int adArrowAddSeqend(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data);
// Block header defaults, the name, a new handle and an empty entity list;
// added to the BLOCK table.
int adArrowCreateBlockHeader(AdDrawing* drawing, AdBlockHeader* record, const char* name, AdHandle* handle);

// ===========================================================================
// 6. Objects
// ===========================================================================

// ===== Object records and class numbers =====

// Object types with fixed codes; every other object's type is the drawing's
// class number of its class (never 0), and a number of no known object class
// makes it a proxy object.
constexpr std::int16_t AD_OBJECT_DICTIONARY = 32;
constexpr std::int16_t AD_OBJECT_MLINESTYLE = 33;
constexpr std::int16_t AD_OBJECT_GROUP = 36;

// Texts of object data: names, paths and descriptions.
constexpr std::size_t AD_OBJECT_NAME_SIZE = 512;
constexpr std::size_t AD_OBJECT_SHORT_TEXT_SIZE = 256;

// The common part of every object. The two stores belong to the object.
struct AdObjectHeader {
    AdHandle handle;  // the key of the handle index
    std::int16_t type;
    AdStore* xdata;     // null when none
    AdStore* reactors;  // reactorCount 8-byte handles; null when none
    std::int32_t reactorCount;
    AdHandle owner;
    AdHandle extensionDictionary;  // null when none
};

// The data of each object type. Stores named in a record belong to it and
// are freed with it; lists of handles hold 8-byte handles. Text fields are
// cut to their size (last byte NUL) when an object is stored.

struct AdDictionaryData {
    std::int32_t entryCount;
    AdStore* entries;  // AdNameRecord entries (name, handle)
    std::int16_t hardOwner;
    std::int16_t cloning;
};

// Flags in DXF bit order: 1 fill on, 2 display miters, 0x10/0x20/0x40 start
// square, inner arcs, round; 0x100/0x200/0x400 the same at the end.
struct AdMlineStyleData {
    char name[AD_OBJECT_NAME_SIZE];
    char description[AD_OBJECT_SHORT_TEXT_SIZE];
    std::int16_t flags;
    std::int16_t fillColour;
    std::uint8_t elementCount;
    double startAngle;  // radians
    double endAngle;
    AdStore* elements;  // elementCount AdMlineElement records
};

struct AdGroupData {
    char description[AD_OBJECT_NAME_SIZE];
    std::int16_t unnamed;
    std::int16_t selectable;
    std::int32_t memberCount;
    AdStore* members;  // handles of the member entities
};

struct AdXrecordData {
    std::int32_t dataBits;  // the item store's size in bytes x 8
    AdStore* items;         // AdGroupItem values in their stream form
    std::int16_t cloning;
};

// A DIMASSOC holds at most this many point references (four by its flag
// bits and one that a last-point-reference flag adds), each with a path of
// at most AD_DIMASSOC_PATH_SIZE handles; readers drop what does not fit.
constexpr int AD_DIMASSOC_REFERENCE_COUNT = 5;
constexpr int AD_DIMASSOC_PATH_SIZE = 48;

struct AdDimAssocReference {
    char className[AD_OBJECT_NAME_SIZE];
    std::uint8_t snapType;
    std::uint8_t hasLastReference;
    std::int16_t pathCount;
    std::int32_t mainObjectFlag;
    std::int32_t subentityType;
    std::int32_t subentityValue;
    AdHandle path[AD_DIMASSOC_PATH_SIZE];  // the main object's path
    double parameter;
    double point[3];
    std::int32_t intersectionFlag;
    std::int32_t intersectionValues[3];
    AdHandle intersectionHandle;
    AdHandle mainObject;
    AdHandle intersectionObject;
};

struct AdDimAssocData {
    std::int32_t associativity;  // bits 0..3: which point references exist
    std::uint8_t transSpace;
    std::uint8_t rotatedType;
    std::int16_t referenceCount;
    AdHandle dimension;
    AdDimAssocReference references[AD_DIMASSOC_REFERENCE_COUNT];
};

struct AdIdBufferData {
    std::int32_t count;
    AdStore* handles;
};

struct AdDictionaryVarData {
    std::int16_t schema;
    char value[AD_OBJECT_SHORT_TEXT_SIZE];
};

struct AdImageDefData {
    std::int32_t classVersion;
    double imageSize[2];  // pixels
    char filePath[AD_OBJECT_NAME_SIZE];
    std::uint8_t loaded;
    std::uint8_t resolutionUnits;
    double pixelSize[2];
};

struct AdImageDefReactorData {
    std::int32_t classVersion;
    AdStore* image;  // one handle: the image entity
};

struct AdLayerIndexData {
    AdJulianDate timeStamp;
    std::int32_t entryCount;
    AdStore* names;    // per entry: int32 count, int16 length, the name's bytes
    AdStore* handles;  // per entry: its IDBUFFER
};

struct AdObjectPtrData {
    std::int32_t dataBits;
    AdStore* data;
};

struct AdRasterVariablesData {
    std::int32_t classVersion;
    std::int16_t displayFrame;
    std::int16_t displayQuality;
    std::int16_t units;
};

struct AdSortentsTableData {
    std::int32_t count;
    AdStore* sortHandles;
    AdHandle block;
    AdStore* entityHandles;
};

// The two transforms are 3 by 4 matrices kept column by column.
struct AdSpatialFilterData {
    std::int16_t pointCount;
    std::int16_t displayBoundary;
    std::int16_t frontClip;
    std::int16_t backClip;
    AdStore* boundary;  // pointCount 2D points
    double normal[3];
    double origin[3];
    double frontDistance;
    double backDistance;
    double inverseTransform[12];
    double clipTransform[12];
};

struct AdSpatialIndexData {
    AdJulianDate timeStamp;
    double extents[6];
    std::int32_t byteCount;
    AdStore* bytes;
    std::int32_t flag;
    std::int32_t remainingBits;
    AdStore* remaining;
};

struct AdDictionaryWithDefaultData {
    std::int32_t entryCount;
    std::int16_t cloning;
    AdStore* entries;  // AdNameRecord entries (name, handle)
    AdHandle defaultEntry;
};

struct AdPlaceholderData {
    std::int16_t spare;
};

// Texts are the page setup name (DXF 1), plot configuration (2), paper size
// (4), plot view name (6) and current style sheet (7).
struct AdPlotSettingsData {
    char pageSetupName[AD_OBJECT_NAME_SIZE];
    char plotConfiguration[AD_OBJECT_NAME_SIZE];
    std::int16_t layoutFlags;
    std::int16_t paperUnits;
    std::int16_t rotation;
    std::int16_t plotType;
    double margins[4];  // left, bottom, right, top
    double paperWidth;
    double paperHeight;
    char paperSize[AD_OBJECT_NAME_SIZE];
    double origin[2];
    double window[4];  // minimum x, y, maximum x, y
    char plotViewName[AD_OBJECT_NAME_SIZE];
    double scaleNumerator;    // real-world units
    double scaleDenominator;  // drawing units
    char styleSheet[AD_OBJECT_NAME_SIZE];
    std::int16_t scaleType;
    double scaleFactor;
    double imageOrigin[2];
};

struct AdLayoutData {
    AdPlotSettingsData plotSettings;
    char name[AD_OBJECT_NAME_SIZE];
    std::int16_t tabOrder;
    std::int16_t flags;
    std::int16_t orthographicType;
    double ucsOrigin[3];
    double limitsMin[2];
    double limitsMax[2];
    double insertionBase[3];
    double ucsXAxis[3];
    double ucsYAxis[3];
    double elevation;
    double extentsMin[3];
    double extentsMax[3];
    AdHandle paperSpaceBlock;
    AdHandle lastActiveViewport;
    AdHandle baseUcs;
    AdHandle namedUcs;
};

struct AdVbaProjectData {
    std::int32_t size;
    AdStore* data;
};

struct AdWipeoutVariablesData {
    std::int16_t displayFrame;
};

// Objects of other classes, kept as their class wrote them.
struct AdProxyObjectData {
    std::int32_t classId;
    std::int32_t instanceCount;
    std::int16_t formatFlag;
    std::int32_t dataBits;
    AdStore* data;
    std::int32_t referenceCount;
    AdStore* references;  // AdHandleEntry values (handle and reference kind)
};

// A buffer that holds the data of any object, for callers that read objects
// whose type they do not know beforehand.
union AdObjectData {
    AdDictionaryData dictionary;
    AdMlineStyleData mlineStyle;
    AdGroupData group;
    AdXrecordData xrecord;
    AdDimAssocData dimAssoc;
    AdIdBufferData idBuffer;
    AdDictionaryVarData dictionaryVar;
    AdImageDefData imageDef;
    AdImageDefReactorData imageDefReactor;
    AdLayerIndexData layerIndex;
    AdObjectPtrData objectPtr;
    AdRasterVariablesData rasterVariables;
    AdSortentsTableData sortentsTable;
    AdSpatialFilterData spatialFilter;
    AdSpatialIndexData spatialIndex;
    AdDictionaryWithDefaultData dictionaryWithDefault;
    AdPlaceholderData placeholder;
    AdLayoutData layout;
    AdPlotSettingsData plotSettings;
    AdVbaProjectData vbaProject;
    AdWipeoutVariablesData wipeoutVariables;
    AdProxyObjectData proxy;
};

// The object cursor is the object list's current position, shared by all
// walkers. Next and ByHandle copy the header and as many bytes of data as the
// object's type holds (data must hold an AdObjectData when the type is not
// known); Next answers 0 at the end. ByHandle makes the object current and
// reads it as Next does; it answers 0, with no error code, when the handle is
// unknown or names a record of another list.
int adObjectRewind(AdDrawing* drawing);
int adObjectNext(AdDrawing* drawing, AdObjectHeader* header, void* data);
int adObjectByHandle(AdDrawing* drawing, const AdHandle* handle, AdObjectHeader* header, void* data);
std::int32_t adObjectCount(const AdDrawing* drawing);
// Appends the object and enters its handle (231 null handle, 223 no memory,
// 172 duplicate, 173 refused; nothing is kept then). Storing an object of a
// known class clears the 0x8000 bit of its CLASSES record's proxy flags.
int adObjectAdd(AdDrawing* drawing, const AdObjectHeader* header, const void* data);
// Replaces the object with the header's handle; 0 when the handle is unknown,
// 205 when the stored object has another type (it is left unchanged). The
// stores of the replaced object are the caller's.
int adObjectUpdate(AdDrawing* drawing, const AdObjectHeader* header, const void* data);
// Removes the object and frees its stores (168 unknown handle, 164 not an
// object, 170 unlink, 169 free failed); the cursor moves on to the next one.
int adObjectDelete(AdDrawing* drawing, const AdHandle* handle);
// The header becomes all zero but its type; the data takes the defaults of
// that type (all zero unless the type has defaults of its own). As with
// Next, data must hold the type's data as this drawing knows it: a type code
// that names no known object class here is a proxy object.
int adObjectDefaults(AdDrawing* drawing, AdObjectHeader* header, void* data);
// Frees the header's two stores and those the data of its type owns, and
// clears their pointers.
int adObjectFreeData(AdDrawing* drawing, AdObjectHeader* header, void* data);
// The object list's release: every object's stores, the records and the
// list; the drawing's pointer is cleared. The handle index is left alone.
int adFreeObjectList(AdDrawing* drawing);

// The drawing's class number of each known class; 0 when its CLASSES did not
// define the class. The first seven are entity classes.
std::int16_t adClassNumOle2Frame(const AdDrawing* drawing);
std::int16_t adClassNumHatch(const AdDrawing* drawing);
std::int16_t adClassNumLwpolyline(const AdDrawing* drawing);
std::int16_t adClassNumImage(const AdDrawing* drawing);
std::int16_t adClassNumRText(const AdDrawing* drawing);
std::int16_t adClassNumArcAlignedText(const AdDrawing* drawing);
std::int16_t adClassNumWipeout(const AdDrawing* drawing);
std::int16_t adClassNumXrecord(const AdDrawing* drawing);
std::int16_t adClassNumIdBuffer(const AdDrawing* drawing);
std::int16_t adClassNumDictionaryVar(const AdDrawing* drawing);
std::int16_t adClassNumImageDef(const AdDrawing* drawing);
std::int16_t adClassNumImageDefReactor(const AdDrawing* drawing);
std::int16_t adClassNumRasterVariables(const AdDrawing* drawing);
std::int16_t adClassNumSpatialFilter(const AdDrawing* drawing);
std::int16_t adClassNumSortentsTable(const AdDrawing* drawing);
std::int16_t adClassNumLayerIndex(const AdDrawing* drawing);
std::int16_t adClassNumSpatialIndex(const AdDrawing* drawing);
std::int16_t adClassNumObjectPtr(const AdDrawing* drawing);
std::int16_t adClassNumDictionaryWithDefault(const AdDrawing* drawing);
std::int16_t adClassNumPlaceholder(const AdDrawing* drawing);
std::int16_t adClassNumLayout(const AdDrawing* drawing);
std::int16_t adClassNumVbaProject(const AdDrawing* drawing);
std::int16_t adClassNumWipeoutVariables(const AdDrawing* drawing);
std::int16_t adClassNumPlotSettings(const AdDrawing* drawing);
std::int16_t adClassNumDimAssoc(const AdDrawing* drawing);

// ===== Drawing helpers: spaces, dictionaries, spatial filters, dimension styles =====

// Which space adSpaceBlockHandle asks for.
constexpr int AD_SPACE_PAPER = 0;
constexpr int AD_SPACE_MODEL = 1;
// Copies the block record handle of that space; 0 when it is null or which
// names no space (the handle is then null).
int adSpaceBlockHandle(const AdDrawing* drawing, AdHandle* handle, int which);
// 1 when the dictionary (DICTIONARY or ACDBDICTIONARYWDFLT) has an entry of
// exactly that name, with its handle copied when handle is given.
int adDictionaryFindEntry(AdDrawing* drawing, const AdHandle* dictionary, const char* name, AdHandle* handle);

// A walk over the entries of one dictionary that the root dictionary (the
// drawing's first object) names. The caller sets drawing before the open.
struct AdDictionaryIterator {
    AdDrawing* drawing;
    std::int32_t count;
    AdStream* entries;
    AdNameRecord current;
    std::int32_t position;  // of the current entry
};
// The entry count of the DICTIONARY or ACDBDICTIONARYWDFLT the root names
// (exactly) so, positioned on its first entry; 0 when there is none or it
// has no entries. Close the iterator in every case.
std::int32_t adDictionaryOpen(const char* name, AdDictionaryIterator* iterator);
const char* adDictionaryEntryName(const AdDictionaryIterator* iterator);
AdHandle adDictionaryEntryHandle(const AdDictionaryIterator* iterator);
// Moves to the next entry; 0 at the end.
int adDictionaryNext(AdDictionaryIterator* iterator);
int adDictionaryClose(AdDictionaryIterator* iterator);

// The decimal value of the DICTIONARYVAR that a DICTIONARY (searched in
// object order) lists under the name, ignoring case; the default when there
// is none or its text is not a 32-bit decimal number.
std::int32_t adDictionaryVarInt(AdDrawing* drawing, const char* name, std::int32_t defaultValue);
// The SPATIAL_FILTER of a block reference: its extension dictionary's
// "ACAD_FILTER" dictionary's "SPATIAL" entry. 0 and a null handle otherwise.
int adFindSpatialFilter(AdDrawing* drawing, const AdEntityHeader* entity, AdHandle* filter);
// The display engine's form: the SPATIAL_FILTER object itself (through
// adObjectByHandle, which moves the object cursor); 0 when there is none.
int adFindSpatialFilter(AdDrawing* drawing, const AdEntityHeader* entity, AdObjectHeader* header,
                        AdSpatialFilterData* filter);

// A leader's dimension-style settings.
struct AdDimStyleSettings {
    double scale;
    double arrowSize;
    double gap;
    std::int16_t textAbove;
    std::int16_t arrowCode;
    AdHandle arrowBlock;
    std::int16_t lineColour;
};
// The settings of the DIMSTYLE with the handle, with the overrides of the
// entity's "ACAD" DSTYLE extended data. 0 when the style cannot be read, and
// 0 with AD_ERR_XDATA_DAMAGED when the extended data is damaged (the
// settings then hold what was read before the damage).
int adDimStyleOverrides(AdDrawing* drawing, const AdEntityHeader* entity, AdDimStyleSettings* settings,
                        const AdHandle* dimStyle);
// The display engine's form: the style's handle before the settings, and
// always 1 (the defaults, or what was read, stand when the style or the
// extended data cannot be read).
int adDimStyleOverrides(AdDrawing* drawing, const AdEntityHeader* entity, const AdHandle* dimStyle,
                        AdDimStyleSettings* settings);
// The DSTYLE overrides of the "ACAD" application in the extended data: visit
// hears each DIMSTYLE variable's DXF code with its value item. 0 when the
// items are damaged (the overrides before the damage were heard).
using AdDimStyleOverrideVisitor = void (*)(AdDrawing* drawing, std::int16_t dxfCode, const AdXdataItem& value,
                                           void* context);
int adDimStyleOverrideItems(AdDrawing* drawing, AdStore* xdata, AdDimStyleOverrideVisitor visit, void* context);

// ===========================================================================
// 7. Loading and saving
// ===========================================================================

// ===== Drawings and the load driver =====
// Input formats of a drawing (AdDrawing::format).
enum AdFileFormat : std::uint8_t {
    AD_FORMAT_DWG = 0,
    AD_FORMAT_DXF_ASCII = 1,
    AD_FORMAT_DXF_BINARY = 2,
};

// Points the global state at the reader table of each format; the host calls
// both once after adInitToolkit.
void adInstallDwgReadOps();
void adInstallDxfReadOps();

// Opens and loads a DWG or DXF file: loadMode 1 loads everything, 2 applies
// the entity type filter; a nonzero upgrade completes older files as AC1015.
// Answers the drawing, or null with the error code set and nothing left open.
// Mode 2 keeps only the fixed entity types whose filter flag is set, and the
// filter starts with VIEWPORT alone: set it (adSetEntityTypeFilter) before a
// mode-2 load, or every other fixed type is dropped.
AdDrawing* adOpenDrawing(const char* name, int loadMode, int upgrade);
// The drawing of an external reference, opened (mode 1, upgraded) on first
// use and closed with the drawing; null with error 7 when its
// AD_XREF_LIMIT entries are all in use.
AdDrawing* adOpenXrefDrawing(AdDrawing* drawing, const char* name);
// Frees the drawing, its external references and all it owns; answers 1.
int adCloseDrawing(AdDrawing* drawing);
// Copies the 32 flags (one per fixed entity type 0..31) when given, then sets
// the VIEWPORT flag (type 24) in every case.
void adSetEntityTypeFilter(const std::uint8_t flags[32]);

// A cleared drawing with its twelve lists and an empty handle index; null
// with error 1 when memory runs out.
AdDrawing* adCreateDrawing();
int adCreateDrawingLists(AdDrawing* drawing);
void adResetHandleCaches(AdDrawing* drawing);
// New handles for the first nine table controls, the model and paper space
// block records and the tenth control, in that order (files before AC1012
// carry none); 0 when the seed gives out.
int adSetTableHandles(AdDrawing* drawing);

// Format sniff over the first AD_SNIFF_SIZE bytes of a file.
constexpr std::size_t AD_SNIFF_SIZE = 2000;

struct AdFileSniff {
    std::uint8_t format;   // AdFileFormat
    std::int16_t version;  // AdVersion index, -1 when not known
    char versionText[7];   // DWG: the file's lead bytes; DXF: the version found; else empty
};

// The first of "AC1002".."AC1015" (table order) that lies wholly within the
// first length - 1 bytes gives its index; failing that, a text beginning with
// "AC1013" gives 6 and marks the pre-release flag, one beginning "AC1500" 7;
// anything else -1. Clears the pre-release flag first.
int adDwgVersionFromText(const char* text, std::size_t length);
// Tells the format and version of a file without loading it. Answers 1 when a
// load can start on it; otherwise 0 with 3 (cannot open), 11 (no memory),
// 5 (neither DWG nor DXF), 8 (DWG of an unsupported version) or 286
// (pre-release not accepted). The result holds what was found in every case.
int adSniffDrawingFile(const char* name, AdFileSniff* sniff);

// Sorted (handle, name) index of the BLOCK table for lookups by name.
struct AdBlockNameEntry {
    AdHandle handle;
    char* name;
};

// Builds the index over the first count block records; 0 (no index) when
// memory runs out.
int adBuildBlockNameIndex(AdDrawing* drawing, std::int32_t count);
int adRebuildBlockNameIndex(AdDrawing* drawing);
// 1 and the handle when a block of that name (any ASCII case) is indexed.
int adFindBlockByName(AdDrawing* drawing, const char* name, AdHandle* handle);
void adMarkBlockNameIndexStale(AdDrawing* drawing);
void adClearBlockNameIndex(AdDrawing* drawing);  // forgets the index without freeing
void adFreeBlockNameIndex(AdDrawing* drawing);
int adBlockNameIndexMissing(const AdDrawing* drawing);
std::int32_t adBlockNameIndexCount(const AdDrawing* drawing);
int adBlockNameIndexNeedsRebuild(const AdDrawing* drawing, std::int32_t count);

// ===== Saving =====
// Writes the drawing to path: format 0 DWG, 1 ASCII DXF, 2 binary DXF;
// version an AdVersion index 0..7. The four options go to the DXF writers:
// the minus-zero flag, the precision of reals, the default-groups flag and
// (R12 layout only) the extras flag; the viewer passes 1, 6, 0, 1. Answers 1
// when the file was written; 0 with the error code set otherwise (a partly
// written file stays). The drawing is left as it was, apart from its handle
// seed. Progress goes to the save-progress hook: 0 first, 100 on success.
std::int16_t adSaveDrawing(AdDrawing* drawing, const char* path, std::uint8_t format, std::int16_t version,
                           std::int32_t dxfOption1, std::int32_t dxfOption2, std::int32_t dxfOption3,
                           std::int32_t dxfOption4);

// ===========================================================================
// 8. Hooks: what the host installs
// ===========================================================================

// Each stores one hook; null clears the slot.
void adSetFileFinderHook(AdFileFinderHook hook);
void adSetFontNameHook(AdFontNameHook hook);
void adSetLoadProgressHook(AdProgressHook hook);
void adSetSaveProgressHook(AdProgressHook hook);

// The file finder installed at start-up: writes the path of the file found (at
// most AD_PATH_SIZE bytes with the terminator) to result, or the name itself
// when nothing is found. Looks at the name, then its last component in the
// current directory, then each ';'-separated directory of the environment
// variable ACAD. The name is not changed.
void adDefaultFindFile(char* name, char* result, void* userData);
// The same search for the display engine's text-file and external-reference
// finders, into a buffer of capacity bytes: 1 when a file was found. A path
// that does not fit is not cut (it would name another file): pathOut is then
// empty and the answer 0.
int adDefaultFileFinder(const char* name, char* pathOut, std::size_t capacity, void* userData);

// The init data (code-page maps and the built-in SIMPLEX and GDT shapes) is
// read through five hooks. By default they read a file; the host points them
// at the copy embedded in the program (the HostInit* functions) before the
// toolkit starts. Setting a hook to null restores its default.
using AdInitOpenHook = void* (*)(const char* name);
using AdInitGetcHook = int (*)(void* handle);
using AdInitReadHook = std::size_t (*)(void* buffer, std::size_t itemSize, std::size_t count, void* handle);
using AdInitSeekHook = int (*)(void* handle, std::int64_t offset, int origin);
using AdInitCloseHook = int (*)(void* handle);

void adSetInitOpenHook(AdInitOpenHook hook);
void adSetInitGetcHook(AdInitGetcHook hook);
void adSetInitReadHook(AdInitReadHook hook);
void adSetInitSeekHook(AdInitSeekHook hook);
void adSetInitCloseHook(AdInitCloseHook hook);

// The host's glyph-outline hook: (character code in the low 16 bits, pen origin
// of two doubles, the font's TrueType request, the answer, the drawing's user
// pointer) -> 0 when the answer is filled. Registered with the display engine.
struct AdFontRequest;
struct AdGlyphAnswer;
using AdGlyphOutlineHook = std::int32_t (*)(std::uint32_t character, double* penOrigin,
                                            AdFontRequest* request, AdGlyphAnswer* answer, void* userData);
void adSetGlyphOutlineHook(AdGlyphOutlineHook hook);
