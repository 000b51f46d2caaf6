// What the readers of table-entry objects (AC1012 and later) share: the
// entry list of the table being read, the common start and tail of every
// entry, and the reads that cut over-long texts at their field.
#pragma once
#include "toolkit/ad.h"

#include <cstring>

constexpr std::int16_t AD_DWG_AC1015 = 7;

// The part every table entry begins and ends with.
struct AdDwgEntryCommon {
    AdHandle handle;
    std::int16_t type;
    std::uint8_t flags;  // 0x40 the 64-flag, 0x10 depends on an external reference
    std::uint8_t erased; // the entry's object was not found
    std::int16_t xrefIndex;
    char name[AD_TABLE_NAME_SIZE];
    AdHandle extensionDictionary;
    std::int32_t reactorCount;
    AdStore* reactors;
};

// The load-time list of handles a DWG stage walks (a table's entries, the
// OBJECTS): opening one over a store (which it takes) drops the last.
AdStream* adDwgOpenLoadList(AdDrawing* drawing, AdStore* store);
void adDwgDropLoadList(AdDrawing* drawing);

// A T into a field of size bytes: a longer text is cut at the field, the
// rest passed over. Answers 0 when the stream failed.
int adDwgReadCutText(char* text, std::int32_t size);
// A new store and its write stream; false (nothing kept, error set) when
// memory ran out. Closing keeps the store when ok, else frees it (answer 0).
// A store whose size is known ahead takes blocks of that size (a block at
// most): the write stream's buffer is one block, and most stores of a
// drawing hold a few points.
bool adDwgOpenStore(AdStore** store, AdStream** out, std::int64_t expectedBytes = AD_STORE_BLOCK_SIZE);
int adDwgCloseStore(AdStore** store, AdStream* out, bool ok);
// count handles relative to base, 8 bytes each, into a new store (null for
// none). 0 when the stream failed or memory ran out; nothing is kept then.
int adDwgReadHandleStore(const AdHandle* base, std::int32_t count, AdStore** out);

// Takes the next entry of the table and reads its object up to its own
// fields: answers 1 with the stream in the table's data, 2 when the entry's
// object is not there (the record is then erased), 0 on a failure. The type
// must be expected, or accepted by the predicate when one is given.
int adDwgEntryStart(AdDrawing* drawing, std::int16_t expected, AdDwgEntryCommon* common, std::uint8_t* xdataFlag,
                    bool (*accept)(AdDrawing* drawing, std::int16_t type));
// The owner (into the drawing's control handle of the table), the reactors,
// the extension dictionary and the external-reference block; 1, or 0 after
// releasing what the common part holds.
int adDwgEntryTail(AdDrawing* drawing, AdTableControl control, AdDwgEntryCommon* common, AdHandle* xrefBlock);
// Checks the stream after the last handle; on a failure the common part's
// stores are released. Answers 1 or 0.
int adDwgEntryFinish(AdDwgEntryCommon* common);
// Reads a relative handle after the entry's own.
void adDwgEntryHandle(const AdDwgEntryCommon* common, AdHandle* out);

// The view mode of VIEW and VPORT: four bits, the first three taken as bits 0
// to 2, bit 4 set when the fourth is 0.
std::int16_t adDwgReadViewMode();

// Copies the common part into a table record (block headers keep no
// external-reference index).
template <class Record>
void adDwgPutCommon(Record* record, const AdDwgEntryCommon& common) {
    record->erased = common.erased;
    if constexpr (requires { record->xrefIndex; }) record->xrefIndex = common.xrefIndex;
    record->flags = static_cast<std::uint8_t>(record->flags | common.flags);
    std::memcpy(record->name, common.name, sizeof record->name);
    record->handle = common.handle;
    record->extensionDictionary = common.extensionDictionary;
    record->reactorCount = common.reactorCount;
    record->reactors = common.reactors;
}

// Starts a table record: answers adDwgEntryStart's result; when no entry
// data follows (erased or failed) the record already holds the common part.
template <class Record>
int adDwgStartRecord(AdDrawing* drawing, std::int16_t type, Record* record, AdDwgEntryCommon* common,
                     std::uint8_t* xdataFlag, bool (*accept)(AdDrawing* drawing, std::int16_t type) = nullptr) {
    const int start = adDwgEntryStart(drawing, type, common, xdataFlag, accept);
    if (start != 1) adDwgPutCommon(record, *common);
    return start;
}
