// The drawing toolkit's public header.
//
// Conventions that every part of the toolkit follows:
// - Procedural functions with the prefix `ad` over plain records with the prefix
//   `Ad`. Records are copied into and out of caller buffers; nothing outside the
//   toolkit keeps a pointer into a list or a store.
// - Every operation answers 1 for success and 0 (or null) for failure; the reason
//   is the numeric error code in the global state (`adErrorCode`).
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
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// ---------------------------------------------------------------------------
// Error codes of the toolkit core. Other parts add theirs to the same numbering.
// ---------------------------------------------------------------------------
enum AdError : std::int32_t {
    AD_OK = 0,
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
    AD_ERR_STREAM_READ_NULL = 162,
    AD_ERR_STREAM_WRITE_NULL = 163,
    AD_ERR_GROUP_CODE_READ = 165,
    AD_ERR_GROUP_CODE_WRITE = 166,
    AD_ERR_DUPLICATE_HANDLE = 172,
    AD_ERR_INDEX_REFUSED = 173,
    AD_ERR_INIT_DATA_OPEN = 182,
    AD_ERR_INIT_DATA_BANNER = 183,
    AD_ERR_INDEX_WORK_MEMORY = 209,
    AD_ERR_STREAM_MEMORY = 210,
    AD_ERR_INDEX_NODE_MEMORY = 214,
    AD_ERR_WORK_AREA = 216,
    AD_ERR_LIST_MEMORY = 218,
    AD_ERR_RECORD_MEMORY_APPEND = 222,
    AD_ERR_RECORD_MEMORY_INSERT = 223,
    AD_ERR_NULL_HANDLE_KEY = 231,
    AD_ERR_CLIP_MEMORY = 280,    // the polygon clipper ran out of memory
    AD_ERR_CLIP_ARGUMENT = 281,  // the polygon clipper got a bad operation code or count
    AD_ERR_STATE_MEMORY = 284,
    AD_ERR_PRE_RELEASE = 286,
    AD_ERR_INDEX_DUPLICATE = 292,
    AD_ERR_FONT_MANAGER = 294,
};

// Condition codes handed to the fatal-error hook.
enum AdFatalCondition : std::int32_t {
    AD_FATAL_NO_MEMORY = 2,
    AD_FATAL_WRITER = 3,
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
using HostFile = std::FILE;

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

constexpr int AD_VERSION_COUNT = 8;
constexpr int AD_VERSION_FIRST_BITCODED = 5;

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
};

extern AdGlobalState* adGlobals;

// Failure reporting shared by every part: set the error code; call the
// fatal-error hook (when one is installed) with a condition; both for an
// allocation failure (condition 2). The operation fails in every case.
void adSetError(std::int32_t code);
void adFatalError(std::int32_t condition);
void adNoMemory(std::int32_t code);

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

// ---------------------------------------------------------------------------
// Sections filled by the parts of the toolkit core follow.
// ---------------------------------------------------------------------------

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

// Drawing accessors; a null drawing answers -1, null or 0.
std::int16_t adDrawingVersion(const AdDrawing* drawing);
int adDrawingFileFormat(const AdDrawing* drawing);
const char* adDrawingFileName(const AdDrawing* drawing);
AdHeaderVars* adDrawingHeaderData(const AdDrawing* drawing);
void* adSetDrawingUserData(AdDrawing* drawing, void* userData);
// 1 when the drawing predates version index 4 or tileMode is nonzero.
int adIsTileMode(const AdDrawing* drawing, std::int16_t tileMode);

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

// ===== Name comparison =====
// 0 when equal, else -1 or 1 by the first differing byte; only A-Z are folded
// (to a-z), every other byte compares as an unsigned value. The N form stops
// after n bytes or at a terminating NUL.
int adStrCompareNoCase(const char* a, const char* b);
int adStrCompareNoCaseN(const char* a, const char* b, std::size_t n);

// ===== DWG bit coding and CRC-16 =====

// The writer's buffer holds one chunk of this many bytes; full chunks go to the
// chunk store or the stream.
constexpr std::int32_t AD_BIT_CHUNK_SIZE = 0x4000;

// Reader and writer state over one object or record. The reader's bytes lie in
// the read buffer (the global state's buffer128kA), the writer's in the write
// buffer (buffer128kB); both buffers hold at least 0x20000 bytes.
//
// Whoever sets the reader over an object fills current, bytesLeft (the valid
// bytes from current on), bitMask 0x100, the piece fields and the offsets, and
// clears `failed`. Reads never look past the valid bytes: a read that runs past
// the data, or meets a handle or a text it must refuse, sets `failed`, and from
// then on every read of the stream answers 0 until it is set up again. The
// writer's failures (a full chunk that cannot be stored) set it as well.
struct AdBitStream {
    std::int32_t startOffset;    // reader: the object's first size word; writer: the record's start
    std::int32_t dataOffset;     // reader: the object's first data byte
    std::int16_t pieceCount;     // reader: pieces of the object; writer: 1
    std::int16_t pieceIndex;     // reader: the piece in the buffer; writer: chunks flushed
    std::int16_t bitMask;        // last bit taken or put; 0x100 none of this byte yet
    std::uint8_t twoWordSize;    // the object's size took two words
    std::int32_t bytesLeft;      // reader: valid bytes from current on; writer: free bytes from current on
    std::int32_t firstSizeWord;  // reader: bytes of the first piece; writer: AD_BIT_CHUNK_SIZE
    std::uint8_t* current;
    std::int32_t bitSize;        // the object's data size in bits
    std::int32_t reactorCount;
    AdHandle xrefBlockHandle;    // the last one the table-record tail reader found
    std::uint8_t graphicsFlag;
    AdStore* chunkStore;         // full chunks of a record written to a file
    AdStream* chunkStream;
    AdStream* stream;            // reader: refills from it; writer: full chunks go into it
    std::int32_t streamBytesLeft;
    AdStore* encoderStore;
    std::uint8_t failed;
};

// A multiline-style element as kept in the style's store: 16 bytes.
struct AdMlineElement {
    std::int16_t colour;
    std::int16_t linetypeIndex;
    std::uint8_t spare[4];
    double offset;
};

// Reader, on the current bit stream. Each answers the value read, or 1 (a
// length or a byte count where said); 0, with its outputs zeroed, when the
// stream has failed.
int adBitReadBit();
int adBitSkip(std::int32_t bits);
std::uint8_t adBitReadByte();
std::int16_t adBitReadShort();
std::int32_t adBitReadLong();
std::int32_t adBitReadRawLong();
int adBitReadDouble(double* value);
// Raw doubles whose exponent bits are all 0 or all 1 read as 0.0.
int adBitReadRawDouble(double* value);
int adBitReadRaw2D(double point[2]);
int adBitRead3D(double point[3]);
int adBitReadDefDouble(double* value, double defaultValue);
int adBitReadDefPoint3D(double point[3], const double defaultPoint[3]);
// A 2D point and a third value that is 0.0 when the leading bit was 1.
int adBitReadOptionalDouble(double values[3]);
// A line's end points in the AC1015 form.
int adBitReadFlaggedPoints(double start[3], double end[3]);
// text holds size bytes with the terminator; a longer text is refused.
// Answers the length.
std::int32_t adBitReadText(char* text, std::int32_t size);
// The handle right-aligned, its code ignored; answers its byte count.
int adBitReadHandle(AdHandle* handle);
// The handle and its reference kind (1 soft pointer, 2 hard pointer, 3 soft
// owner, 4 hard owner) in the flag byte; answers the byte count.
int adBitReadHandleRef(AdHandleEntry* entry);
// A handle written relative to base, made absolute.
int adBitReadRelHandle(const AdHandle* base, AdHandle* handle);
int adBitReadBytes(void* bytes, std::int32_t count);
// The file offset of the byte under the reader.
std::int32_t adBitReadPosition();

// Writer, on the current bit stream: 1, or -1 when the stream has failed (a
// full chunk could not be stored, or a value cannot be coded).
int adBitWriteBit(int bit);
int adBitWriteBitFast(int bit);
int adBitWriteByte(std::uint8_t value);
int adBitWriteShort(std::int16_t value);
int adBitWriteLong(std::int32_t value);
int adBitWriteRawLong(std::int32_t value);
int adBitWriteDouble(double value);
int adBitWriteRawDouble(double value);
int adBitWriteRaw2D(const double point[2]);
int adBitWritePoint2D(const double point[2]);
int adBitWrite3D(const double point[3]);
int adBitWriteDefDouble(double value, double defaultValue);
int adBitWriteDefPoint3D(const double point[3], const double defaultPoint[3]);
int adBitWriteOptionalDouble(const double values[3]);
int adBitWriteFlaggedPoints(const double start[3], const double end[3]);
int adBitWriteThickness(double value);
int adBitWriteExtrusion(const double vector[3]);
// At most 0xFFFF bytes.
int adBitWriteText(const char* text);
// code is in the high nibble: 0x40 soft pointer, 0x50 hard pointer ...
int adBitWriteHandle(const AdHandle* handle, std::uint8_t code);
int adBitWriteHandleRef(const AdHandleEntry* entry);
int adBitWriteRelHandle(const AdHandle* ref, const AdHandle* base, std::uint8_t code);
int adBitWriteBytes(const void* bytes, std::int32_t count);
// A graphics block kept in a store; a block whose commands do not exactly
// fill it is refused.
int adBitCopyStore(AdStore* store);

// Modular numbers: a handle in at most 10 bytes, a signed value in at most 5.
void adModularHandle(std::uint8_t out[10], const AdHandle* handle, std::int32_t* length);
void adModularLong(std::uint8_t out[5], std::int32_t value, std::int32_t* length);

// Makes the drawing's bit stream current and starts a record in the write
// buffer; 0 when the drawing has no bit stream or there is no write buffer.
int adBitBufferReset(AdDrawing* drawing, std::int32_t start);
// Appends count bytes of the write buffer to the drawing's chunk store.
int adBitChunkFlush(AdDrawing* drawing, std::int32_t count);

// The in-memory encoder: records bit-coded into a store. Each writer answers
// 1, or 0 when the store could not take the bytes.
int adEncodeBegin(AdDrawing* drawing);
int adEncodeText(const char* text);
int adEncodeBytes(const void* bytes, std::int32_t count);  // at most 0xFFFF
int adEncodeHandle(const AdHandle* handle);
int adEncodeLong(std::int32_t value);
int adEncodeShort(std::int16_t value);
int adEncodeDouble(double value);
int adEncodePoint3D(const double point[3]);
// The store with the record, and its length in bits; null on failure.
AdStore* adEncodeEnd(AdDrawing* drawing, std::int32_t* bits);

// CRC-16/ARC from a seed (0, or 0xC0C1 for the sections and objects of
// bit-coded files), no final XOR.
std::uint16_t adCrc16(std::uint16_t seed, const void* bytes, std::int32_t count);
// Stores adCrc16(0, record, size - 2) XOR x little-endian in the record's last
// two bytes and answers it; 0 and nothing stored for a record below 2 bytes.
std::uint16_t adCrcStamp(void* record, std::int32_t size, std::uint16_t x);

int adBitCount(std::int32_t mask);  // bits set among the four lowest
void adHandleSwapBytes(AdHandle* handle);

int adStreamWriteMlineElement(AdStream* stream, const AdMlineElement* element);
int adStreamReadPoint2D(AdStream* stream, double point[2]);
// count raw bytes from the current bit reader into the stream.
int adStreamCopyFromBits(AdStream* stream, std::int32_t count);

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

// Header variables that name a table record, as slots of
// AdGlobalState::headerNames (in name order).
enum AdHeaderNameSlot : std::int16_t {
    AD_HEADER_NAME_CELTYPE,
    AD_HEADER_NAME_CLAYER,
    AD_HEADER_NAME_CMLSTYLE,
    AD_HEADER_NAME_DIMSTYLE,
    AD_HEADER_NAME_DIMTXSTY,
    AD_HEADER_NAME_PUCSBASE,
    AD_HEADER_NAME_PUCSNAME,
    AD_HEADER_NAME_PUCSORTHOREF,
    AD_HEADER_NAME_TEXTSTYLE,
    AD_HEADER_NAME_UCSBASE,
    AD_HEADER_NAME_UCSNAME,
    AD_HEADER_NAME_UCSORTHOREF,
    AD_HEADER_NAME_COUNT
};
constexpr std::size_t AD_HEADER_NAME_SIZE = 512;

// Table indexes that a fixed DWG header gives, as slots of
// AdGlobalState::headerIndexes. A linetype index of 0x7FFF stands for BYLAYER,
// 0x7FFE for BYBLOCK.
enum AdHeaderIndexSlot : std::int16_t {
    AD_HEADER_INDEX_LAYER,
    AD_HEADER_INDEX_LINETYPE,
    AD_HEADER_INDEX_TEXTSTYLE,
    AD_HEADER_INDEX_DIMSTYLE,
    AD_HEADER_INDEX_UCS,
    AD_HEADER_INDEX_PAPER_UCS,
    AD_HEADER_INDEX_COUNT
};
constexpr std::int16_t AD_LINETYPE_INDEX_BYLAYER = 0x7FFF;
constexpr std::int16_t AD_LINETYPE_INDEX_BYBLOCK = 0x7FFE;

// How a descriptor's value is stored (the low byte of AdHeaderVarDesc::type).
enum AdHeaderVarType : std::int16_t {
    AD_HV_BYTE = 0,       // low byte of the integer value
    AD_HV_INT16 = 1,
    AD_HV_DOUBLE = 2,
    AD_HV_POINT2 = 3,     // x from the value, y from a later coordinate
    AD_HV_POINT3 = 4,     // x from the value, y and z from later coordinates
    AD_HV_TEXT = 5,       // at most length - 1 bytes, then NUL
    AD_HV_DATE = 6,       // Julian day and fraction as an AdJulianDate
    AD_HV_USERI = 7,      // element `length` of the int16 array
    AD_HV_USERR = 8,      // element `length` of the double array
    AD_HV_HANDLE = 9,     // hexadecimal text
    AD_HV_CODE_PAGE = 10  // code-page name; 0 when no page has that name
};
// Set in the high byte when the field lies in AdGlobalState (the name slots).
constexpr std::int16_t AD_HV_IN_GLOBALS = 0x100;

// One header variable: its name without "$", upper case; the position of its
// field in AdHeaderVars (or AdGlobalState); its type; the text length, the
// array index, 8 for the handle, 0 otherwise.
struct AdHeaderVarDesc {
    const char* name;
    std::int16_t offset;
    std::int16_t type;
    std::int32_t length;
};

// The variables with a field in the block, and those that name a table
// record; each sorted by name as adStrCompareNoCase orders them.
constexpr int AD_HEADER_VAR_COUNT = 214;
extern const AdHeaderVarDesc adHeaderVarDescs[AD_HEADER_VAR_COUNT];
extern const AdHeaderVarDesc adHeaderNameVarDescs[AD_HEADER_NAME_COUNT];

// Fills the block with the defaults of a new drawing; $DWGCODEPAGE is the
// toolkit's current code page. 0 for a null block.
int adHeaderDefaults(AdHeaderVars* header);
// The descriptor of a variable named without "$", in any letter case: first
// among the block's variables, then among the name-valued ones; null when
// the variable is unknown.
const AdHeaderVarDesc* adHeaderVarFind(const char* name);
// Stores one DXF header value by its descriptor's type: integer for bytes,
// int16 and USERI; real for doubles, dates, USERR and the x of points; text
// for texts, handles, code pages and name slots. A handle text that does not
// parse leaves the handle as it was. 0 for a null argument or an unknown type.
int adHeaderStoreValue(AdHeaderVars* header, const AdHeaderVarDesc* desc, std::int16_t integer, double real,
                       const char* text);
// Stores coordinate axis (1 y, 2 z) of a point variable; 0 when the variable
// has no such coordinate.
int adHeaderStoreCoordinate(AdHeaderVars* header, const AdHeaderVarDesc* desc, int axis, double value);
// Completes a header read from DXF: the version ("AC2.1..." is AC1002, the
// pre-release "AC1013" and "AC1500" load as AC1014 and AC1015, anything else
// unknown as AC1009 with the drawing's unknownVersion set), the AC1015 form of
// the dimension unit for AC1012 and AC1014, the table-index slots, and
// $ANGBASE from degrees to radians. 0 with error 286 for an "AC1013" file
// when pre-release files are not accepted.
int adDxfHeaderFinish(AdDrawing* drawing);

// The DXF vocabulary shared by the DXF reader and writer.
enum AdDxfKeyword : std::int16_t {
    AD_KW_ENTITY_FIRST = 0,  // entity type t at t - 1
    AD_KW_HEADER = 35,
    AD_KW_HEADER_VAR_FIRST = 36,  // in the order the writer emits them
    AD_KW_HEADER_VAR_COUNT = 220,
    AD_KW_ENDSEC = 256,
    AD_KW_SECTION,
    AD_KW_TABLES,
    AD_KW_BLOCKS,
    AD_KW_BLOCK_RECORD,
    AD_KW_GROUP,
    AD_KW_ENTITIES,
    AD_KW_TABLE,
    AD_KW_ENDTAB,
    AD_KW_EOF,
    AD_KW_LAYER,
    AD_KW_UCS,
    AD_KW_APPID,
    AD_KW_DIMSTYLE,
    AD_KW_VPORT,
    AD_KW_LTYPE,
    AD_KW_STYLE,
    AD_KW_VIEW,
    AD_KW_MLINESTYLE,
    AD_KW_CLASS,
    AD_KW_CLASSES,
    AD_KW_OBJECTS,
    AD_KW_DICTIONARY,
    AD_KW_ACAD_ZOMBIE_OBJECT,
    AD_KW_ACAD_PROXY_OBJECT,
    AD_KW_XRECORD,
    AD_KW_DIMASSOC,
    AD_KW_IDBUFFER,
    AD_KW_IMAGEDEF_REACTOR,
    AD_KW_IMAGEDEF,
    AD_KW_RASTERVARIABLES,
    AD_KW_SORTENTSTABLE,
    AD_KW_DICTIONARYVAR,
    AD_KW_SPATIAL_FILTER,
    AD_KW_SPATIAL_INDEX,
    AD_KW_LAYER_INDEX,
    AD_KW_OBJECT_PTR,
    AD_KW_ACDBDICTIONARYWDFLT,
    AD_KW_ACDBPLACEHOLDER,
    AD_KW_LAYOUT,
    AD_KW_PLOTSETTINGS,
    AD_KW_VBA_PROJECT,
    AD_KW_WIPEOUTVARIABLES,
    AD_KW_REAL_FORMAT_9,   // "%.9f"
    AD_KW_REAL_FORMAT_10,  // "%.10f"
    AD_KW_STANDARD,
    AD_KW_MODE_READ,   // "rb"
    AD_KW_MODE_WRITE,  // "wb"
    // Line formats, each ending in CR LF.
    AD_KW_LINE_D,
    AD_KW_LINE_E,
    AD_KW_LINE_ZERO_REAL,
    AD_KW_LINE_TEXT,
    AD_KW_LINE_INT32,  // a std::int32_t in 9 columns
    AD_KW_LINE_INT,    // an int in 3 columns
    AD_KW_LINE_CHAR,
    AD_KW_LINE_UNNAMED,
    AD_KW_COUNT
};
extern const char* const AdDxfKeywordTable[AD_KW_COUNT];

// Entity names of types 1 to 35: the name, "" for a type without one, null
// outside. The type of an entity name (exact), 0 when none.
const char* adDxfEntityName(std::uint16_t type);
std::uint16_t adDxfEntityType(const char* name);

// The DXF name of one record of each table or object kind, and the kind of a
// record name (exact), -1 when none.
constexpr int AD_DXF_RECORD_KIND_COUNT = 12;
const char* adDxfRecordKindName(int kind);
int adDxfRecordKind(const char* name);

// ===== Drawings and the load driver =====
// Input formats of a drawing (AdDrawing::format).
enum AdFileFormat : std::uint8_t {
    AD_FORMAT_DWG = 0,
    AD_FORMAT_DXF_ASCII = 1,
    AD_FORMAT_DXF_BINARY = 2,
};

// While a load runs, the error code holds the number of the stage being run;
// a failed or cancelled load leaves it there unless the failing routine set a
// code of its own. 3 also stands for a file name that does not fit
// AD_FILE_NAME_SIZE with its terminator: such a name is refused, not cut.
enum AdLoadStage : std::int32_t {
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
};

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

// ===== Symbol table records and cursors =====

// Name fields of table records and the long texts beside them.
constexpr std::size_t AD_TABLE_NAME_SIZE = 512;
constexpr std::size_t AD_FONT_FILE_SIZE = 256;
constexpr std::size_t AD_PRIMARY_FONT_FILE_SIZE = 258;
constexpr std::size_t AD_LTYPE_TEXT_AREA_SIZE = 256;
constexpr int AD_LTYPE_DASH_COUNT = 15;

// Errors of the table operations.
constexpr std::int32_t AD_ERR_LTYPE_EMPTY = 76;
constexpr std::int32_t AD_ERR_LTYPE_NOT_FOUND = 77;
constexpr std::int32_t AD_ERR_BLOCK_EMPTY = 92;
constexpr std::int32_t AD_ERR_BLOCK_NOT_FOUND = 93;
constexpr std::int32_t AD_ERR_LTYPE_STORE_FREE = 106;
constexpr std::int32_t AD_ERR_LTYPE_UNLINK = 107;
constexpr std::int32_t AD_ERR_LTYPE_FREE = 108;
constexpr std::int32_t AD_ERR_BLOCK_STORE_FREE = 124;
constexpr std::int32_t AD_ERR_BLOCK_UNLINK = 126;
constexpr std::int32_t AD_ERR_BLOCK_FREE = 127;
constexpr std::int32_t AD_ERR_LTYPE_MEMORY = 220;
constexpr std::int32_t AD_ERR_BLOCK_MEMORY = 221;
constexpr std::int32_t AD_ERR_UNKNOWN_HANDLE = 303;
constexpr std::int32_t AD_ERR_OTHER_TABLE = 304;
constexpr std::int32_t AD_ERR_TABLE_READ = 305;

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
std::int32_t adLayerCount(AdDrawing* drawing);
int adLayerByHandle(AdDrawing* drawing, const AdHandle* handle, AdLayerRecord* record);
int adLayerHandleByName(AdDrawing* drawing, const char* name, AdHandle* handle);
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
std::int32_t adLtypeCount(AdDrawing* drawing);
int adLtypeByHandle(AdDrawing* drawing, const AdHandle* handle, AdLtypeRecord* record);
int adLtypeHandleByName(AdDrawing* drawing, const char* name, AdHandle* handle);
int adLtypeUpdate(AdDrawing* drawing, const AdLtypeRecord* record);
// BYBLOCK and BYLAYER go last; any other name before the BYBLOCK/BYLAYER run
// that ends the table (220 no memory, 172, 173).
int adLtypeAdd(AdDrawing* drawing, const AdLtypeRecord* record);
// 76 empty table, 77 unknown handle, 106 store, 107 unlink, 108 free failed.
int adLtypeDelete(AdDrawing* drawing, const AdHandle* handle);

int adStyleRewind(AdDrawing* drawing);
int adStyleNext(AdDrawing* drawing, AdStyleRecord* record);
std::int32_t adStyleCount(AdDrawing* drawing);
int adStyleByHandle(AdDrawing* drawing, const AdHandle* handle, AdStyleRecord* record);
int adStyleHandleByName(AdDrawing* drawing, const char* name, AdHandle* handle);

int adVportRewind(AdDrawing* drawing);
int adVportNext(AdDrawing* drawing, AdVportRecord* record);
std::int32_t adVportCount(AdDrawing* drawing);
int adVportByHandle(AdDrawing* drawing, const AdHandle* handle, AdVportRecord* record);
int adVportUpdate(AdDrawing* drawing, const AdVportRecord* record);

int adAppidRewind(AdDrawing* drawing);
int adAppidNext(AdDrawing* drawing, AdAppidRecord* record);
std::int32_t adAppidCount(AdDrawing* drawing);
int adAppidByHandle(AdDrawing* drawing, const AdHandle* handle, AdAppidRecord* record);
int adAppidHandleByName(AdDrawing* drawing, const char* name, AdHandle* handle);

int adDimStyleRewind(AdDrawing* drawing);
int adDimStyleNext(AdDrawing* drawing, AdDimStyleRecord* record);
std::int32_t adDimStyleCount(AdDrawing* drawing);
int adDimStyleByHandle(AdDrawing* drawing, const AdHandle* handle, AdDimStyleRecord* record);
int adDimStyleUpdate(AdDrawing* drawing, const AdDimStyleRecord* record);

int adBlockRewind(AdDrawing* drawing);
int adBlockNext(AdDrawing* drawing, AdBlockHeader* record);
std::int32_t adBlockCount(AdDrawing* drawing);
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
std::int32_t adUcsCount(AdDrawing* drawing);

int adClassRewind(AdDrawing* drawing);
int adClassNext(AdDrawing* drawing, AdClassRecord* record);
std::int32_t adClassCount(AdDrawing* drawing);
// Copies the class with that DXF name (ignoring case); 0 and a zeroed record
// when there is none.
int adClassByName(AdDrawing* drawing, const char* dxfName, AdClassRecord* record);
// Replaces the class with the record's number.
int adClassUpdate(AdDrawing* drawing, const AdClassRecord* record);
// name holds AD_TABLE_NAME_SIZE bytes.
int adClassNameByNumber(AdDrawing* drawing, std::int16_t number, char* name);
std::int16_t adClassNextNumber(AdDrawing* drawing);
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

// ===== Object records and class numbers =====

// Errors of the object operations.
constexpr std::int32_t AD_ERR_OBJECT_NOT_CURRENT = 164;
constexpr std::int32_t AD_ERR_OBJECT_NOT_FOUND = 168;
constexpr std::int32_t AD_ERR_OBJECT_FREE = 169;
constexpr std::int32_t AD_ERR_OBJECT_UNLINK = 170;
constexpr std::int32_t AD_ERR_OBJECT_TYPE = 205;

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
std::int32_t adObjectCount(AdDrawing* drawing);
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

// ===== Services of the display engine that the core relies on =====

#include "toolkit/solids/acis_request.h"

// The host's glyph-outline hook: (character code in the low 16 bits, pen origin
// of two doubles, the font's TrueType request, the answer, the drawing's user
// pointer) -> 0 when the answer is filled. Registered with the display engine.
struct AdFontRequest;
struct AdGlyphAnswer;
using AdGlyphOutlineHook = std::int32_t (*)(std::uint32_t character, double* penOrigin,
                                            AdFontRequest* request, AdGlyphAnswer* answer, void* userData);
void adSetGlyphOutlineHook(AdGlyphOutlineHook hook);

// ===== SAT data storage coding =====
// A restored SAT line holds at most this many characters with its line end;
// a line buffer holds AD_SAT_LINE_SIZE + 1 bytes (the text stays terminated).
constexpr std::int32_t AD_SAT_LINE_SIZE = 2048;
// Every coded block but the last holds this many bytes.
constexpr std::uint32_t AD_SAT_BLOCK_SIZE = 4096;

// Results of adSatDecodeProxy.
enum AdSatResult : std::int32_t {
    AD_SAT_DONE = 0,            // the last block was restored
    AD_SAT_SOURCE_ENDED = -1,   // the source ended inside the data, or a block claims more than it holds
    AD_SAT_LINE_TOO_LONG = -2,  // a line reached AD_SAT_LINE_SIZE characters without its end
    AD_SAT_TARGET_FAILED = -3,  // the target stream did not take a line
};

// The SAT character of one coded byte: 159 - byte on 33..126, else the byte.
std::uint8_t adSatRestoreByte(std::uint8_t coded);

// Restores the SAT text of an ADPART proxy from the read stream over its data
// bits and writes it, line by line, to the target stream. The target keeps the
// lines written before a failure; a last line without a line end is written
// as it stands.
std::int32_t adSatDecodeProxy(AdStream* source, AdStream* target);

// The line builders below answer 1; 0 when the line buffer is full (the
// character was the AD_SAT_LINE_SIZE-th without a line end); -1 when the
// target did not take a finished line. line and length are the line so far.
// value is a coded byte rotated left by two bits.
int adSatDecodeRotated(AdStream* target, std::uint8_t value, char* line, std::int32_t* length);
int adSatDecodeByte(AdStream* target, std::uint8_t byte, char* line, std::int32_t* length);
// Appends ch; a carriage return or line feed fixes the line up, ends it and
// writes it to the target.
int adSatPutChar(AdStream* target, std::uint8_t ch, char* line, std::int32_t* length);

// Removes the token that follows "-surface $" and its pointer, or "-curve $"
// and its pointer, or "point $", its pointer and three more tokens: the first
// of these that the line holds with a space after that token. 1 when a token
// was removed, 0 when the line stays as it was.
int adSatFixLine(char* line, std::int32_t* length);

// Reads a little-endian 32-bit value whose first bit is bit `shift` (from the
// most significant end) of *hand, the source byte in hand; with shift 0 the
// value starts with the next source byte. *hand becomes the last byte read.
// 0 when the source ends first.
int adSatReadShifted32(AdStream* source, std::uint32_t* out, std::int32_t shift, std::uint8_t* hand);

// ===== DWG file structure and header variables =====
// Errors of the DWG open and checks.
constexpr std::int32_t AD_ERR_DWG_SECTION_RANGE = 186;  // a section or its size lies outside the file
constexpr std::int32_t AD_ERR_DWG_OBJECT_CRC = 201;     // an object's CRC or framing is wrong
constexpr std::int32_t AD_ERR_DWG_SECTION_CRC = 202;    // a section's CRC is wrong
constexpr std::int32_t AD_ERR_DWG_HANDLE_MISSING = 300; // a control or required object handle is null

// Modes of adDwgCheckFile.
constexpr int AD_DWG_CHECK_FULL = 1;
constexpr int AD_DWG_CHECK_QUICK = 2;

// The open operation of the DWG reader (slot 10): checks the file, reads its
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

// Line weights by their 5-bit code in a file, in hundredths of a millimetre
// (-1 BYLAYER, -2 BYBLOCK, -3 default); 0 for a code outside 0..31.
std::int16_t adLineweightFromIndex(std::int32_t code);

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

// The common part of every entity. The xdata and reactor stores belong to
// the entity.
struct AdEntityHeader {
    std::uint16_t type;  // AdEntityType or a class number
    AdHandle handle;
    AdHandle layer;
    AdHandle linetype;
    AdHandle extensionDictionary;  // null when none
    double thickness;
    std::int16_t color;  // 256 BYLAYER, 0 BYBLOCK
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

// IMAGE; WIPEOUT stores everything but the pixel data.
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

// Errors of packing and unpacking.
constexpr std::int32_t AD_ERR_INSERT_BLOCK = 232;     // an INSERT names no block header of the drawing
constexpr std::int32_t AD_ERR_PACKED_ENTITY = 308;    // a packed record's lengths disagree with its contents

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

// A code extended data does not have, or a 1000 string or 1004 chunk longer
// than 255 bytes, offered to adXdataWriteItem.
constexpr std::int32_t AD_ERR_XDATA_WRITE = 316;
// Raw or stored extended data that contradicts itself: an item, application
// block or handle running past the data, its block or its value area; a
// negative block size; a collected length outside the record buffer.
constexpr std::int32_t AD_ERR_XDATA_DAMAGED = 317;

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

// ===== Fonts =====
constexpr std::int32_t AD_ERR_FONT_INDEX_MEMORY = 267;   // a shape font's index
constexpr std::int32_t AD_ERR_FONT_INDEX_BUFFER = 268;   // the index read buffer of a shapes 1.x font
constexpr std::int32_t AD_ERR_BIGFONT_INDEX_MEMORY = 270;
constexpr std::int32_t AD_ERR_FONT_MEMORY = 293;         // a font record, a bigfont buffer or a page

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

// ===== Entity lists and standard arrowheads =====
// Every block keeps its entities in an entity list of packed records, in
// drawing order; the drawing's paperSpace list is the current paper space,
// whose VIEWPORTs each have a record in the vportEntities list. Adding,
// replacing and deleting keep the handle index, the reference stores of the
// blocks that INSERTs name and that viewport list consistent. A list's cursor
// is shared: ByHandle, AddAfter and Delete move it, Update restores it.

constexpr std::int32_t AD_ERR_NO_BLOCK_LIST = 73;        // no block header with that handle
constexpr std::int32_t AD_ERR_ENTITY_STORE_FREE = 98;    // a type store could not be freed
constexpr std::int32_t AD_ERR_ENTITY_NOT_IN_LIST = 99;   // unlink: the record is not in this list
constexpr std::int32_t AD_ERR_ENTITY_LIST_NULL = 151;
constexpr std::int32_t AD_ERR_ENTITY_READ = 152;
constexpr std::int32_t AD_ERR_PROXY_DATA_FREE = 159;
constexpr std::int32_t AD_ERR_PROXY_IDS_FREE = 160;
constexpr std::int32_t AD_ERR_ENTITY_REMOVE = 175;       // update: the old entity could not be removed
constexpr std::int32_t AD_ERR_ENTITY_UNKNOWN = 226;      // update: the handle is not in the index
constexpr std::int32_t AD_ERR_ENTITY_OTHER_LIST = 227;   // update: the handle's record is in another list
constexpr std::int32_t AD_ERR_ENTITY_PACK = 228;         // update: the new entity could not be packed
constexpr std::int32_t AD_ERR_ENTITY_VIEWPORT = 229;     // update: no paper-space viewport record
constexpr std::int32_t AD_ERR_LAYOUT_VIEWPORT = 291;     // adSetActiveLayout: no paper-space viewport record

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

// ===== DXF reader =====
// A DXF file, ASCII or binary, is read one group (code and value) at a time
// into the current token; the value lands in the slot its code's class
// chooses. The pre-scan (adDxfOpen) reads the HEADER section and notes where
// every other part lies; the readers seek back there when the loaders ask.
using AdDxfToken = AdGlobalState::AdDxfToken;

// Errors of the DXF reader.
constexpr std::int32_t AD_ERR_DXF_PRESCAN = 14;      // a group could not be read during the pre-scan
constexpr std::int32_t AD_ERR_DXF_NO_EOF = 30;       // the file ended without 0 EOF
constexpr std::int32_t AD_ERR_DXF_HEADER = 31;
constexpr std::int32_t AD_ERR_DXF_ENTITIES = 32;     // ENTITIES ended before 0 ENDSEC
constexpr std::int32_t AD_ERR_DXF_TABLES = 33;       // a table or TABLES ended early
constexpr std::int32_t AD_ERR_DXF_BLOCKS = 34;
constexpr std::int32_t AD_ERR_DXF_OBJECTS = 35;
constexpr std::int32_t AD_ERR_DXF_OBJECT_CLASS = 36;  // an object's class is not in CLASSES; it was passed over
constexpr std::int32_t AD_ERR_DXF_HEADER_EOF = 155;  // the file ended inside HEADER
constexpr std::int32_t AD_ERR_DXF_LINE_LENGTH = 298; // an ASCII line over AD_DXF_LINE_LIMIT characters
constexpr std::int32_t AD_ERR_DXF_GROUP_CODE = 299;  // a group code line with a letter

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
// first other group in the token and the file position before it.
int adDxfNextGroup(AdDrawing* drawing, std::uint8_t* xdataFlag, std::int64_t* position);
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

// The entity reader (slot 8): the next entity of ENTITIES or of the current
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

// The object reader (slots 1, 2, 3, 9, 13). adDxfObjectKind answers the type
// code of the next object of OBJECTS (32 DICTIONARY, 33 MLINESTYLE, 34 CLASS,
// 36 GROUP, the class number of a known class object, 100 for proxies and
// other names), 0 at the end; an object whose class the drawing lacks is
// passed over with AD_ERR_DXF_OBJECT_CLASS and the next one answers. Each
// reader answers 1 with the file before the next object's 0 group; its
// stores belong to the caller. Objects of other registered classes get type
// 499 and are kept bit-coded in AdProxyObjectData.
int adDxfObjectKind(AdDrawing* drawing);
int adDxfDictionaryRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDxfMlineStyleRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDxfGroupRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDxfClassObjectRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
// The plot settings of a LAYOUT or PLOTSETTINGS up to the next 0 or 100
// group, which is put back.
int adDxfPlotSettingsRead(AdDrawing* drawing, AdPlotSettingsData* data);

// ===== DWG table and object readers =====
// The first code of the line-weight table whose value is weight (0 gives 0,
// -1 gives 28); -1 when no code has it.
std::int32_t adLineweightIndex(std::int16_t weight);

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
// An entity chain that loops back on itself or runs longer than the object
// map, or names an object the map lacks.
constexpr std::int32_t AD_ERR_DWG_ENTITY_CHAIN = 283;

// Reader slot 8 of DWG files: the next entity of the list begun by slot 20 or
// 24, with its extended data waiting in the record buffer when the flag says
// so. 1 when an entity was read; 0 at the end of the list, or with the error
// code set when the chain or the entity cannot be read. Files before AC1012
// are read by the fixed-record reader.
int adDwgEntityNext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* xdataFlag);
// Slot 24: the ENTITIES section, the paper-space chain first, then the
// model-space chain. Slot 20: the list of the block whose BLOCK record was
// read last (its handles in currentBlockEntity ...), from its BLOCK entity.
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

// ===== DWG readers AC1002 to AC1009: file, header and tables =====
// Errors of the fixed-header check and open.
constexpr std::int32_t AD_ERR_DWG_HEADER_SIZE = 184;     // the header is not of a size a fixed header has
constexpr std::int32_t AD_ERR_DWG_HEADER_CRC = 185;      // the header's CRC is wrong
constexpr std::int32_t AD_ERR_DWG_TRUNCATED_VIEWS = 301; // an AC1009 file cut short that has viewport-entity headers
// Sub-codes of a failed check (AdGlobalState::dwgCheckDetail) beside error
// 186: the sections, then the ten tables in AdTableControl order.
constexpr std::int16_t AD_DWG_DETAIL_ENTITIES_START = 1;
constexpr std::int16_t AD_DWG_DETAIL_ENTITIES_END = 2;
constexpr std::int16_t AD_DWG_DETAIL_BLOCKS_START = 3;
constexpr std::int16_t AD_DWG_DETAIL_EXTRAS_START = 5;
constexpr std::int16_t AD_DWG_DETAIL_FIRST_TABLE = 7;
// The chain of viewport-entity headers of a fixed-record file revisits a
// header or leaves its table.
constexpr std::int32_t AD_ERR_R12_VPORT_CHAIN = 345;

// ===== DWG readers AC1002 to AC1009: entities =====
// An entity record of a fixed-record file too short for the fields its flags
// announce: it is passed over and noted in the drawing's loadErrors.
constexpr std::int32_t AD_ERR_R12_ENTITY_SHORT = 340;
// After the load of a file whose extended data named applications or layers:
// each VIEWPORT whose "ACAD" extended data holds the "MVIEW" group takes its
// view, snap, grid and frozen layers from it, and the group leaves its
// extended data. A viewport whose group lacks an item keeps its extended
// data as it was; the others are converted all the same (answer 0 then).
int adConvertR12Viewports(AdDrawing* drawing);
// The block-number table: built from the BLOCK list (the two space records
// left out) before the ENTITIES section, freed when the load ends. 0 when
// memory runs out (the load stage's error stays). A number outside the
// table gives the null handle and 0.
int adBuildBlockNumberTable(AdDrawing* drawing);
int adBlockHandleByNumber(const AdDrawing* drawing, std::int32_t number, AdHandle* handle);
void adFreeBlockNumberTable(AdDrawing* drawing);

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
struct AdSpaceBlock {
    AdHandle handle;  // null: a new one is given
    AdHandle extensionDictionary;
    AdHandle layout;
    char name[AD_TABLE_NAME_SIZE];
    std::uint8_t flags;
    std::int64_t filePosition;
};
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
// Read errors of the entity being added (AdDrawing::readError).
constexpr std::int16_t AD_READ_PAPER_VIEWPORT = 287;  // paper-space VIEWPORT before AC1015 without extended data
constexpr std::int16_t AD_READ_XDATA = 288;           // extended data could not be collected
constexpr std::int16_t AD_READ_PACK = 289;            // the entity could not be packed
constexpr std::int16_t AD_READ_VIEWPORT_RECORD = 291; // no room for a paper-space viewport record

// Bits of the flag that slot 8 answers with the entity.
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
constexpr std::int32_t AD_ERR_VPORT_HEADER_UNMATCHED = 302;
int adLoadVportEntityHeaders(AdDrawing* drawing);

// ===== Objects loading and load completion =====
// The OBJECTS stage (AC1012 and later files): every object the reader
// announces is read, given its extended-data store and appended to the
// object list; one that cannot be read or kept is noted in the drawing's
// loadErrors and passed over with all it owned freed. 0 only when the
// section cannot be begun.
int adLoadObjects(AdDrawing* drawing);
// Reads the next class-numbered object (reader slot 3) into header and data,
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
// The MLINESTYLE the header names ("Standard" when none), made when the
// objects lack it; its handle out. 0 when it cannot be made.
int adFindStandardMlineStyle(AdDrawing* drawing, AdHandle* handle);
// When the universal date is (0, 0) it becomes the local date taken in the
// local time zone and converted to universal time, in whole seconds.
void adDefaultUniversalDate(const AdJulianDate* local, AdJulianDate* universal);

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
