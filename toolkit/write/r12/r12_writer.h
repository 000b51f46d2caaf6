// The fixed-record DWG writer of AC1002 to AC1009: the state of one file
// being written, its header block, the section openers and the finisher that
// fills in addresses, table directory and check values, and the variable-length
// entity records. Internal to the writers.
#pragma once
#include "toolkit/write/r12_records.h"

#include <cstdint>
#include <vector>


// Where the sections and tables of the file went, and what the entity
// records carry from one to the next.
struct AdR12Writer {
    AdDrawing* source;
    AdOutputDrawing* output;
    AdSaveWork* work;
    std::int16_t version;
    std::vector<std::uint8_t> header;  // the header block, written again by the finisher
    std::int32_t entitiesStart;
    std::int32_t entitiesEnd;
    std::int32_t blocksStart;
    std::int32_t blocksEnd;
    std::int32_t trailer;
    std::int32_t tableStarts[AD_R12_TABLE_COUNT];
    // An INSERT with attributes or a POLYLINE: where its record went, for the
    // SEQEND that closes it (-1 for none).
    std::int32_t pendingOwner;
    std::int16_t viewportNumber;  // the next VIEWPORT's number
    bool inBlocks;
    bool paperSpace;  // the entities being written are paper space's
};

// Header block sizes by version.
std::int32_t adR12HeaderSize(std::int16_t version);
// Assembles the header block from the header variables and the six header
// table indexes (AdHeaderIndexSlot order) and writes it at the file's start.
// 0 when the write failed.
int adR12WriteHeader(AdR12Writer* writer, const AdHeaderVars* header, const std::int16_t indexes[AD_HEADER_INDEX_COUNT]);

// Section openers: each writes its sentinel (AC1009) and takes the start of
// what follows; the table openers zero the table's count. The APPID,
// DIMSTYLE and VX openers do nothing before AC1009.
int adR12BeginEntities(AdR12Writer* writer);
int adR12BeginBlocks(AdR12Writer* writer);
// Also takes the end of the entities section.
int adR12BeginTable(AdR12Writer* writer, AdR12Table table);
// Stores where the entities of block e begin (the current position) in its
// BLOCK record. 0 when the blocks section has grown past what the record can
// address (error AD_ERR_R12_BLOCKS_TOO_LARGE) or a write failed.
int adR12PatchBlockAddress(AdR12Writer* writer, std::int32_t block);
// The trailer with its file map (AC1009), the section addresses and table
// directory, the VX chain and the header's check value; closes the file.
int adR12Finish(AdR12Writer* writer);

// One entity record: the common part, the type's own part with its option
// bits, then length, flags and check value. The entity's indexes come from
// adGlobals->entityIndexes and its converted extended data from the output's
// xdata buffer. 0 when the record does not fit the record buffer (error
// AD_ERR_R12_RECORD_TOO_LONG) or its write failed.
int adR12WriteEntity(AdR12Writer* writer, const AdEntityHeader* header, const AdEntityData* data,
                     std::int32_t blockNumber);
// BLOCK "FAKE<block>" and ENDBLK, standing in for an erased block.
int adR12WriteFakeBlock(AdR12Writer* writer, std::int32_t block);
// A text: RS length and the bytes; a text holding double-byte characters
// counts two more and ends in two zero bytes.
void adR12WriteText(AdR12RecordBuffer* record, const char* text, int codePage);

// The check values an AC1009 file's sentinels are, in file order.
struct AdR12Sentinel {
    const std::uint8_t* bytes;
    std::int32_t size;
};
AdR12Sentinel adR12EntitiesSentinel();
AdR12Sentinel adR12TableSentinel(AdR12Table table);
AdR12Sentinel adR12BlocksSentinel();
AdR12Sentinel adR12TrailerSentinel();
AdR12Sentinel adR12ClosingSentinel();

// The writer of the save path: 1 when the file is complete and closed.
int adDwgWriteR12(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work);
