// The drawing file writers' shared ground: the output drawing that stands for
// the file being written, the save entry's writer table, the conversions that
// make a drawing fit an older version, symbol-name legalising, extended-data
// conversion and the owner map. Internal to the toolkit.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <cstdint>
#include <vector>

// The hook's answer that gives a failed write up; other answers retry it, at
// most this many times.
constexpr int AD_WRITE_GIVE_UP = 2;
constexpr int AD_WRITE_RETRY_LIMIT = 8;

// Fixed-record tables of AC1002..AC1009, in the order of their record sizes.
enum AdR12Table : std::int32_t {
    AD_R12_BLOCK,
    AD_R12_LAYER,
    AD_R12_STYLE,
    AD_R12_LTYPE,
    AD_R12_VIEW,
    AD_R12_UCS,
    AD_R12_VPORT,
    AD_R12_APPID,
    AD_R12_DIMSTYLE,
    AD_R12_VX,
    AD_R12_TABLE_COUNT
};

// The extended-data conversion buffer of one entity or record; the 4096
// bytes of the record buffer, bounded.
constexpr std::int32_t AD_XDATA_CONVERT_SIZE = 4096;
// A legal symbol name of the fixed-record versions: 32 bytes and a NUL.
constexpr std::size_t AD_LEGAL_NAME_SIZE = 33;

// The buffer a fixed-size record is assembled in before it is written whole.
constexpr std::int32_t AD_R12_RECORD_BUFFER_SIZE = 4096;
struct AdR12RecordBuffer {
    std::uint8_t bytes[AD_R12_RECORD_BUFFER_SIZE];
    std::int32_t cursor;
    std::uint8_t overflow;  // a put did not fit; the record is not written
};

// The xref-name budget of each external-reference block that names carry
// (built per save from the APPID, LAYER and LTYPE names of the source).
struct AdXrefBudget {
    AdHandle block;
    char blockName[AD_TABLE_NAME_SIZE];
    std::int32_t budget;
};
struct AdXrefBudgets {
    AdXrefBudget* records;
    std::int32_t count;
    std::int32_t capacity;
};

// The output drawing: everything the writers keep for one file. Created by
// adOpenOutputDrawing and freed by adCloseOutputDrawing, which the save entry
// alone calls, on every path.
struct AdOutputDrawing {
    HostFile* file;
    AdHeaderVars* header;  // the source's block, copied by the save entry
    std::uint8_t* buffer;  // the DWG writers' output buffer
    std::int32_t bufferSize;
    std::uint8_t format;    // AdFileFormat
    std::uint8_t textMode;  // the format, binary DXF counted as 1
    std::int16_t version;   // AdVersion of the file
    std::int16_t sourceVersion;  // AdVersion of the drawing being saved, as it was read
    std::int16_t byLayerLtypeIndex;
    std::int16_t byBlockLtypeIndex;
    std::int16_t recordSizes[AD_R12_TABLE_COUNT];
    std::uint8_t handlesFlag;
    std::int16_t blocksFlag;
    AdHandle nextHandle;
    AdHandle conversionSeed;  // handles of converted LWPOLYLINE vertices and SEQENDs
    AdHandle tableHandle;     // the table being written (its group 5)
    std::int32_t tableCounters[AD_R12_TABLE_COUNT];
    std::int32_t blockCounter;
    // Sub-entity handles of the polyline converted last (first vertex, last
    // vertex, SEQEND), for the POLYLINE record of bit-coded files.
    AdHandle polylineFirst;
    AdHandle polylineLast;
    AdHandle polylineSeqend;
    // DXF number settings (adDxfSetNumberFormat).
    std::int16_t minusZero;
    std::int16_t precision;
    std::int16_t defaultGroups;
    double roundingThreshold;
    // Extended data converted for the record being written.
    std::uint8_t xdata[AD_XDATA_CONVERT_SIZE];
    std::int32_t xdataLength;
    std::uint8_t xdataOverflow;  // an item did not fit; the record fails
    // {owner, child} pairs noted while records are written, for the owner map.
    AdStore* pendingOwners;
    std::int64_t entitiesPosition;  // where ENTITIES began
    AdXrefBudgets budgets;
    AdR12RecordBuffer record;
    // Where the VIEWPORT entities went, in writing order, for the VX table.
    std::int32_t* viewportAddresses;
    std::int32_t viewportAddressCount;
    std::int32_t viewportAddressCapacity;
    std::int32_t viewportAddressNext;
    char firstStyleName[AD_TABLE_NAME_SIZE];  // of the STYLE table, for the DXF writer
};

// Creates the output drawing and its file ("w+b"). Sets the error code to 1
// (no record or header block), 3 (the file cannot be opened) or 12 (no output
// buffer) and answers null when a step fails, with nothing left behind;
// answers the drawing with error 0 otherwise.
AdOutputDrawing* adOpenOutputDrawing(const char* path, std::int16_t version, std::uint8_t format);
// Stores the version: $ACADVER, and for the fixed-record versions the record
// sizes. An index outside 0..7 changes nothing else.
void adSetOutputVersion(AdOutputDrawing* output, std::int16_t version, AdHeaderVars* header);
// Closes the file when it is still open and frees everything; 0 when the
// close failed. Null is accepted.
int adCloseOutputDrawing(AdOutputDrawing* output);
// Writes bytes to the output file; a failed write sets AD_ERR_WRITE and asks the
// fatal-error hook (AD_FATAL_WRITER): its answer 2 gives up, 0 closes the file
// (AD_FATAL_OUTPUT_CLOSED) and gives up, anything else retries, a bounded number of
// times. 1 when written.
int adOutWrite(AdOutputDrawing* output, const void* bytes, std::size_t count);

// Calls the save-progress hook with percent (at most 100) when one is set.
void adReportSaveProgress(std::int32_t percent);

// The four work areas the save entry lends a writer, and the caller's DXF
// number settings.
struct AdSaveWork {
    AdEntityHeader* entityHeader;
    AdEntityData* entityData;
    void* tableRecord;  // large enough for any table record, block header or class
    AdXdataItem* xdataItem;
    std::int32_t minusZero;
    std::int32_t precision;
    std::int32_t defaultGroups;
    std::int32_t r12Extras;
};
// A writer: 1 when the file is complete and closed.
using AdSaveWriter = int (*)(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work);
// The writer of each path. A path whose writer is not there yet answers 0
// with AD_ERR_NO_WRITER. Tests may put their own writers in.
struct AdSaveWriters {
    AdSaveWriter dwgR12;
    AdSaveWriter dwgR13;
    AdSaveWriter dxfR12;
    AdSaveWriter dxfR13;
};
extern AdSaveWriters adSaveWriters;

// Stores the object back with *field (one of its data's stores) replaced by
// fresh; frees the old store when that worked, fresh when it did not.
int adObjectUpdateStore(AdDrawing* drawing, AdObjectHeader* header, AdObjectData* data, AdStore** field,
                        AdStore* fresh);

// Save-entry steps, apart for the tests.
// Detaches the root dictionary's "ACDBHEADERROUNDTRIPXREC" entry and the
// objects it names into the side list; the detached entry's handle in *entry
// (null when there was none).
void adDetachRoundTripEntry(AdDrawing* drawing, AdRecordList* side, AdHandle* entry);
// Puts back what adDetachRoundTripEntry took: the objects at the end of the
// object list, the entry last in the root dictionary.
void adRestoreRoundTripEntry(AdDrawing* drawing, AdRecordList* side, const AdHandle* entry);
// Makes the extension dictionaries of external-reference blocks hold
// ACAD_BLKREFS and ACAD_UNLOAD for version 6 and removes them for any other.
void adSyncXrefBlockRefs(AdDrawing* drawing, std::int16_t version);

// ----- Conversions -----
int adEntityWritable(const AdEntityHeader* header, const AdEntityData* data, const AdDrawing* drawing,
                     const AdOutputDrawing* output);
// Reserves the handles of every LWPOLYLINE conversion: the output's
// conversion seed becomes seed + 1 and the seed moves past them all.
void adLwpolyHandleReserve(AdDrawing* drawing, AdOutputDrawing* output, AdHandle* seed);
// One record of a converted LWPOLYLINE, handed to the writer of the caller's
// layout: the POLYLINE (its own handle), the VERTEX records and the SEQEND.
using AdConvertedEntitySink = int (*)(AdDrawing* drawing, AdOutputDrawing* output, AdEntityHeader* header,
                                      AdEntityData* data, int position, void* user);
// position: 0 the POLYLINE, 1 a VERTEX, 2 the SEQEND.
constexpr int AD_CONVERTED_POLYLINE = 0;
constexpr int AD_CONVERTED_VERTEX = 1;
constexpr int AD_CONVERTED_SEQEND = 2;
// Converts the LWPOLYLINE in header and data and hands every record to the
// sink; the vertices and the SEQEND take consecutive handles from the
// conversion seed. bitCoded selects the type codes and the links of bit-coded
// files (with the sub-entity handles published); otherwise the toolkit's own
// codes (POLYLINE 19, VERTEX 20, SEQEND 17). header and data are overwritten.
int adWriteLwpolyAsPolyline(AdDrawing* drawing, AdOutputDrawing* output, AdEntityHeader* header,
                            AdEntityData* data, int bitCoded, AdConvertedEntitySink sink, void* user);

// Xref-name budgets: 1, or 0 when memory runs out (the table is then empty).
int adBuildXrefNameBudgets(AdDrawing* drawing, AdXrefBudgets* budgets);
// The budget of the block (any case), else the toolkit's name-length limit.
std::int16_t adXrefNameBudget(const AdXrefBudgets* budgets, const char* blockName);
void adFreeXrefNameBudgets(AdXrefBudgets* budgets);

// Handle -> table index, for the fixed-record formats. The linetype index
// leaves BYLAYER and BYBLOCK out of the count (they answer 0x7FFF and 0x7FFE).
int adLtypeHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index);
int adLayerHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index);
int adStyleHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index);
int adBlockHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index);
int adDimStyleHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index);
int adUcsHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index);
// The R12 header's six indexes (AdHeaderIndexSlot order) into indexes.
int adHeaderHandlesToIndexes(AdDrawing* drawing, const AdHeaderVars* header,
                             std::int16_t indexes[AD_HEADER_INDEX_COUNT]);
int adEntityHandlesToIndexes(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data,
                             AdGlobalState::AdEntityIndexes* indexes);
int adXdataHandlesToIndexes(AdDrawing* drawing, const AdXdataItem* item, std::int16_t* index);
// The application and the layer an extended-data item names, read with
// their table's cursor left where it was: a table's own records carry
// extended data, and their writer walks that table with the same cursor.
int adXdataAppidByHandle(AdDrawing* drawing, const AdHandle* handle, AdAppidRecord* record);
int adXdataLayerByHandle(AdDrawing* drawing, const AdHandle* handle, AdLayerRecord* record);

// ----- Names and extended data -----
// The legal form of a name for the fixed-record versions: at most limit
// characters (a number of d digits replaces the last d when the name is cut),
// the bytes " ()[]" and 0xBD as '_', upper case; the part before a '|' by the
// external reference's own budget (null budgets: the global limit). output
// holds AD_LEGAL_NAME_SIZE bytes.
int adDwgLegalName(AdDrawing* drawing, const AdXrefBudgets* budgets, const char* name, std::int32_t number,
                   std::int16_t limit, char* output);

// Conversion of one record's extended data into the written form, in the
// output's xdata buffer.
void adR12XdataReset(AdOutputDrawing* output);
// 0 when the item does not fit the buffer or names a record that cannot be
// found (71 APPID, 72 LAYER).
int adR12XdataItem(AdDrawing* drawing, AdOutputDrawing* output, const AdXdataItem* item);

// ----- Viewport settings as extended data -----
// Appends the "MVIEW" items of a viewport (the "ACAD" application by handle,
// the settings, the frozen layers by handle, the closing braces) to stream.
// 0 when a write failed.
int adMviewXdataItems(AdDrawing* drawing, const AdViewportData* viewport, AdStream* stream);
// For a VIEWPORT written at AC1009..AC1014: keeps the entity's extended data
// in *saved and gives it a new store of the "MVIEW" items followed by its own
// items; other entities and versions keep theirs (*saved is the same store).
// 0 when memory runs out (error AD_ERR_SAVE_WORK_AREA), with the entity unchanged.
int adDwgBuildMviewXdata(AdDrawing* drawing, AdOutputDrawing* output, AdEntityHeader* header,
                         const AdViewportData* viewport, AdStore** saved);
// Frees a store adDwgBuildMviewXdata built and puts the saved one back.
void adDwgRestoreMviewXdata(AdEntityHeader* header, AdStore* saved);

// ----- Texts kept in stores -----
constexpr std::int32_t AD_TEXT_PIECE_SIZE = 256;
// The next min(remaining, 256) bytes and a NUL (buffer: AD_TEXT_PIECE_SIZE +
// 1 bytes); the number of bytes, 0 when nothing remains.
std::int32_t adStreamReadTextPiece(AdStream* stream, char* buffer);
// The next line of at most limit bytes, NUL-terminated (buffer: limit + 1
// bytes). *foundEnd tells whether a CR or LF ended it; a second line-end byte
// right after it is taken too. Answers the bytes taken, line end included;
// 0 when the stream is exhausted.
std::int32_t adStreamReadLine(AdStream* stream, char* buffer, std::int32_t limit, int* foundEnd);
// The doubles of a store, as many as it holds up to count.
std::vector<double> adStoredDoubles(AdStore* store, std::int64_t count);
// Values read one after another from a store (null: none); the first short
// read stops the rest, which then read as 0, and clears ok.
struct AdStoreValues {
    AdStream* in;
    bool ok;
    explicit AdStoreValues(AdStore* store) : in(store ? adStreamOpenRead(store) : nullptr), ok(in != nullptr) {}
    ~AdStoreValues() {
        if (in) adStreamCloseRead(in);
    }
    AdStoreValues(const AdStoreValues&) = delete;
    AdStoreValues& operator=(const AdStoreValues&) = delete;
    template <class T>
    T get() {
        T value{};
        ok = ok && adStreamRead(in, &value, sizeof value);
        return ok ? value : T{};
    }
};

// ----- Owner map -----
struct AdOwnerPair {
    AdHandle child;
    AdHandle owner;
};
struct AdOwnerMap {
    AdOwnerPair* pairs;
    std::int32_t count;
    AdHandle groupDictionary;       // the root's ACAD_GROUP entry
    AdHandle mlineStyleDictionary;  // the root's ACAD_MLINESTYLE entry
};
// Notes {owner, child} for the owner map while records are written.
int adNoteOwnedHandle(AdOutputDrawing* output, const AdHandle* owner, const AdHandle* child);
// Builds the map from the drawing's objects and the output's pending pairs
// (which it frees). 0 with AD_ERR_OWNER_MAP when memory runs out.
int adBuildOwnerMap(AdDrawing* drawing, AdOutputDrawing* output, AdOwnerMap* map);
// The owner of the first pair whose child is the handle; 0 and a null owner
// when none.
int adOwnerMapFind(const AdOwnerMap* map, const AdHandle* child, AdHandle* owner);
void adOwnerMapFree(AdOwnerMap* map);

// ----- The VIEW table cursor -----
int adViewRewind(AdDrawing* drawing);
int adViewNext(AdDrawing* drawing, AdViewTableRecord* record);
std::int32_t adViewCount(AdDrawing* drawing);
