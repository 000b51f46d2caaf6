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

struct AdToolkitHooks {
    AdFileFinderHook fileFinder;
    AdFontNameHook fontName;
    AdFatalErrorHook fatalError;
    AdProgressHook loadProgress;
    AdProgressHook saveProgress;
    // Owned by the display engine; the core only clears them at start-up.
    // Slot 0 is the glyph routine the font manager tests.
    void* display[4];
};

constexpr int AD_VERSION_COUNT = 8;
constexpr int AD_VERSION_FIRST_BITCODED = 5;

// The process-wide state; null while the toolkit is stopped.
struct AdGlobalState {
    std::int16_t preReleaseSeen;
    std::uint8_t continueFlag;
    std::int32_t errorCode;
    AdHandle offendingHandle;
    std::uint8_t polylineConversion;
    AdToolkitHooks hooks;
    // Built-in font tables (index and shape bytes of SIMPLEX and GDT).
    void* simplexIndex;
    std::uint8_t* simplexShapes;
    void* gdtIndex;
    std::uint8_t* gdtShapes;
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
    std::int32_t angleNormalisation;
    std::int16_t arrowheadNameCollection;
    std::int32_t xdataCodePages;
    double pfbFontScale;
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

struct AdHandleIndex {
    AdIndexNode* root;
    AdIndexNode rootImage;
    AdIndexCacheSlot cache[AD_INDEX_CACHE_SLOTS];
};

// ---------------------------------------------------------------------------
// One open drawing. Later parts of the toolkit add their fields here.
// ---------------------------------------------------------------------------
constexpr std::size_t AD_FILE_NAME_SIZE = 256;

struct AdDrawing {
    char fileName[AD_FILE_NAME_SIZE];
    AdHeaderVars* header;
    void* userData;
    std::uint8_t format;  // 0 DWG, 1 ASCII DXF, 2 binary DXF
    std::int16_t version;
    AdHandle handleSeed;
    AdHandleIndex handleIndex;
};

// ---------------------------------------------------------------------------
// Sections filled by the parts of the toolkit core follow.
// ---------------------------------------------------------------------------

// ===== Start-up, error and flow control, versions, dates, text =====

// ===== Byte stores and streams =====

// ===== Record lists =====

// ===== Init data and code pages =====

// ===== Handles and the handle index =====

// ===== Name comparison =====

// ===== DWG bit coding and CRC-16 =====

// ===== Header variables and the DXF vocabulary =====
