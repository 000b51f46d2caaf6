// The frame of a fixed-record DWG file: the sentinels of AC1009 between its
// sections, the start of each section and table, the entity addresses of the
// BLOCK records, and the finisher that writes the trailer and file map and
// fills in the header's addresses, table directory, VX chain and check value.
#include "toolkit/write/r12/r12_writer.h"
#include "toolkit/write/dwg/dwg_writer.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr std::uint8_t kEntities[16] = {0xC4, 0x6E, 0x68, 0x54, 0xF8, 0x6E, 0x33, 0x30,
                                        0x63, 0x3E, 0xC1, 0x85, 0x2A, 0xDC, 0x94, 0x01};
constexpr std::uint8_t kTables[AD_R12_TABLE_COUNT][32] = {
    {0x3B, 0x91, 0x97, 0xAB, 0x07, 0x91, 0xCC, 0xCF, 0x9C, 0xC1, 0x3E, 0x7A, 0xD5, 0x23, 0x6B, 0xFE,
     0xDB, 0xEF, 0xB3, 0xF0, 0xC7, 0x3E, 0x6D, 0xA6, 0xC9, 0xB6, 0x24, 0x5C, 0x4C, 0x6F, 0x32, 0xCB},
    {0x24, 0x10, 0x4C, 0x0F, 0x38, 0xC1, 0x92, 0x59, 0x36, 0x49, 0xDB, 0xA3, 0xB3, 0x90, 0xCD, 0x34,
     0x0E, 0xC4, 0x64, 0x6F, 0xBB, 0x1D, 0xD3, 0x8B, 0x00, 0x49, 0xC2, 0xEF, 0x18, 0xEA, 0x6F, 0xFB},
    {0xF1, 0x3B, 0x9B, 0x90, 0x44, 0xE2, 0x2C, 0x74, 0xFF, 0xB6, 0x3D, 0x10, 0xE7, 0x15, 0x90, 0x04,
     0xE2, 0x3E, 0xC1, 0x82, 0x43, 0x9F, 0x61, 0x77, 0x50, 0xAB, 0xC7, 0x66, 0x96, 0x00, 0x06, 0x18},
    {0x1D, 0xC1, 0x3E, 0x7D, 0xBC, 0x60, 0x9E, 0x88, 0xAF, 0x54, 0x38, 0x99, 0x69, 0xFF, 0xF9, 0xE7,
     0xAC, 0x90, 0x1A, 0xCA, 0x1C, 0xBD, 0x95, 0x15, 0x16, 0x16, 0x4C, 0x14, 0xCE, 0x18, 0x88, 0xAF},
    {0x53, 0x6F, 0xE5, 0x35, 0xE3, 0x42, 0x6A, 0xEA, 0xE9, 0xE9, 0xB3, 0xEB, 0x31, 0xE7, 0x77, 0x50,
     0xC1, 0x3C, 0xAA, 0x56, 0x68, 0xF4, 0xB4, 0x1E, 0x4B, 0x74, 0xF4, 0x08, 0x42, 0x4D, 0xBF, 0xA5},
    {0x3E, 0xC3, 0x55, 0xA9, 0x97, 0x0B, 0x4B, 0xE1, 0xB4, 0x8B, 0x0B, 0xF7, 0xBD, 0xB2, 0x40, 0x5A,
     0x60, 0x4A, 0xFA, 0x3D, 0x84, 0x90, 0xCC, 0x5B, 0xEF, 0xE7, 0xD6, 0xA5, 0x7F, 0x1E, 0x61, 0xCD},
    {0x9F, 0xB5, 0x05, 0xC2, 0x7B, 0x6F, 0x33, 0xA4, 0x10, 0x18, 0x29, 0x5A, 0x80, 0xE1, 0x9E, 0x32,
     0xF6, 0xED, 0x44, 0x61, 0x2A, 0xDC, 0xE4, 0x7B, 0x4E, 0xB9, 0x2B, 0xBB, 0x66, 0x60, 0x63, 0x8D},
    {0x09, 0x12, 0xBB, 0x9E, 0xD5, 0x23, 0x1B, 0x84, 0xB1, 0x46, 0xD4, 0x44, 0x99, 0x9F, 0x9C, 0x72,
     0xE1, 0x25, 0xC2, 0x50, 0x36, 0x68, 0x6C, 0x0C, 0x3B, 0xD3, 0x5D, 0x56, 0xC1, 0x79, 0x1C, 0x3A},
    {0x1E, 0xDA, 0x3D, 0xAF, 0xC9, 0x97, 0x93, 0xF3, 0xC4, 0x2C, 0xA2, 0xA9, 0x3E, 0x86, 0xE3, 0xC5,
     0xB4, 0x18, 0x3E, 0x42, 0xC9, 0x9F, 0xFF, 0xE5, 0xB6, 0xE2, 0xCB, 0xB3, 0x75, 0xC3, 0xC3, 0xB0},
    {0x4B, 0xE7, 0xC1, 0xBD, 0x36, 0x60, 0x00, 0x1A, 0x49, 0x1D, 0x34, 0x4C, 0x8A, 0x3C, 0x3C, 0x4F,
     0xE0, 0xCA, 0x36, 0x7C, 0xCE, 0xE7, 0x58, 0x6F, 0x2B, 0x7D, 0x74, 0x55, 0x05, 0xF1, 0x44, 0x7F},
};
constexpr std::uint8_t kBlocks[32] = {0x1F, 0x35, 0xC9, 0x83, 0x31, 0x18, 0xA7, 0x90, 0xD4, 0x82, 0x8B,
                                      0xAA, 0xFA, 0x0E, 0xBB, 0x80, 0x72, 0x2B, 0x7D, 0xEC, 0x3E, 0x8C,
                                      0x88, 0x6C, 0x7A, 0x72, 0x0A, 0xFD, 0xC8, 0x6C, 0x84, 0x26};
constexpr std::uint8_t kTrailer[64] = {
    0x8D, 0xD4, 0x82, 0x13, 0xC1, 0x73, 0x77, 0x93, 0x85, 0x8D, 0xF5, 0x02, 0x37, 0x93, 0x7B, 0xD9,
    0xD5, 0xF9, 0xD3, 0xBB, 0x0A, 0xA9, 0x69, 0xA6, 0xCD, 0x1C, 0x87, 0xC7, 0xEE, 0x80, 0x4B, 0x17,
    0x2A, 0x06, 0x2C, 0x44, 0xF5, 0x56, 0x96, 0x59, 0x32, 0xE3, 0x78, 0x38, 0x11, 0x7F, 0xB4, 0xE8,
    0x29, 0x8D, 0xD1, 0x49, 0xA9, 0x73, 0x1F, 0xEA, 0x99, 0xDE, 0x32, 0xF9, 0x4D, 0x0A, 0xE0, 0x19};
constexpr std::uint8_t kClosing[16] = {0xD6, 0x72, 0x2E, 0xB6, 0x56, 0x8C, 0xE0, 0x15,
                                       0x66, 0x21, 0xCD, 0x06, 0xB2, 0xF5, 0x1F, 0xE6};

// The table directory: where each table's descriptor lies in the header block
// (0: the version has none) and its number in the file map.
constexpr struct {
    std::int32_t offset;
    std::int16_t mapNumber;
} kDirectory[AD_R12_TABLE_COUNT] = {{44, 1},   {54, 2},   {64, 3},   {74, 5},    {84, 6},
                                    {1007, 7}, {1280, 8}, {1298, 9}, {1314, 10}, {1695, 11}};

constexpr std::uint16_t kHeaderCheck = 0x6718;
constexpr std::uint16_t kMapCheck = 0xA904;
constexpr std::int32_t kMapSize = 138;
constexpr std::uint32_t kAddressMask = 0x3FFFFFF;
constexpr std::uint32_t kBlocksFlag = 0x40000000;
constexpr std::uint32_t kExtrasFlag = 0x80000000;
constexpr std::int32_t kBlockAddressAt1009 = 35;
constexpr std::int32_t kBlockAddressBefore = 33;
constexpr std::int32_t kOldAppidDescriptor = 1298;
constexpr std::int16_t kOldAppidSize = 33;
// The VX record's viewport number, which the chain replaces by the index of
// the record that follows it, and the header's entry into the chain.
constexpr std::int32_t kVxNumberAt = 39;
constexpr std::int16_t kVxLastNumber = 49;
constexpr std::int32_t kPaperViewportEntry = 1589;

void putLe(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

std::int16_t getShort(const std::uint8_t* at) { return static_cast<std::int16_t>(at[0] | (at[1] << 8)); }

bool fixed(const AdR12Writer* writer) { return writer->version == AD_VERSION_AC1009; }

int sentinel(AdR12Writer* writer, const AdR12Sentinel& s) {
    return !fixed(writer) || adOutWrite(writer->output, s.bytes, static_cast<std::size_t>(s.size));
}

bool tableInVersion(const AdR12Writer* writer, AdR12Table table) {
    return writer->output->recordSizes[table] != 0;
}

bool readBack(AdR12Writer* writer, std::int32_t at, std::uint8_t* bytes, std::int32_t count) {
    HostFile* file = writer->output->file;
    const bool ok = file && HostSeek(file, at, SEEK_SET) == 0 &&
                    HostRead(bytes, 1, static_cast<std::size_t>(count), file) == static_cast<std::size_t>(count) &&
                    HostSeek(file, 0, SEEK_END) == 0;
    if (!ok) adSetError(AD_ERR_WRITE);
    return ok;
}

// The file map: the sections, the handle seed and each table's descriptor.
int writeMap(AdR12Writer* writer, std::int32_t mapEnd) {
    std::uint8_t map[kMapSize] = {};
    std::uint8_t* at = map;
    putLe(at, 16, 2);
    putLe(at + 2, kMapSize, 2);
    at += 4;
    for (std::int32_t address : {writer->entitiesStart, writer->entitiesEnd, writer->blocksStart, writer->trailer}) {
        putLe(at, static_cast<std::uint32_t>(address), 4);
        at += 4;
    }
    const AdHeaderVars* h = writer->output->header;
    putLe(at, static_cast<std::uint16_t>(h->handling), 2);
    std::memcpy(at + 2, h->handseed.b, 8);
    putLe(at + 10, 10, 2);
    at += 12;
    for (int t = 0; t < AD_R12_TABLE_COUNT; ++t) {
        putLe(at, static_cast<std::uint16_t>(kDirectory[t].mapNumber), 2);
        putLe(at + 2, static_cast<std::uint16_t>(writer->output->recordSizes[t]), 2);
        putLe(at + 4, static_cast<std::uint16_t>(writer->output->tableCounters[t]), 2);
        putLe(at + 6, static_cast<std::uint32_t>(writer->tableStarts[t]), 4);
        at += 10;
    }
    putLe(at, static_cast<std::uint32_t>(mapEnd), 4);
    adCrcStamp(map, kMapSize, kMapCheck);
    return adOutWrite(writer->output, map, sizeof map);
}

void putDirectory(AdR12Writer* writer) {
    std::uint8_t* h = writer->header.data();
    putLe(h + 20, static_cast<std::uint32_t>(writer->entitiesStart), 4);
    putLe(h + 24, static_cast<std::uint32_t>(writer->entitiesEnd), 4);
    putLe(h + 28, static_cast<std::uint32_t>(writer->blocksStart), 4);
    putLe(h + 32, static_cast<std::uint32_t>(writer->blocksEnd - writer->blocksStart) | kBlocksFlag, 4);
    putLe(h + 36, static_cast<std::uint32_t>(writer->trailer), 4);
    putLe(h + 40, kExtrasFlag, 4);
    const std::int32_t size = static_cast<std::int32_t>(writer->header.size());
    for (int t = 0; t < AD_R12_TABLE_COUNT; ++t) {
        const std::int32_t at = kDirectory[t].offset;
        if (!tableInVersion(writer, static_cast<AdR12Table>(t)) || at + 10 > size) continue;
        putLe(h + at, static_cast<std::uint16_t>(writer->output->recordSizes[t]), 2);
        putLe(h + at + 2, static_cast<std::uint32_t>(writer->output->tableCounters[t]), 4);
        putLe(h + at + 6, static_cast<std::uint32_t>(writer->tableStarts[t]), 4);
    }
    // AC1006 keeps a descriptor of APPID records it does not have.
    if (writer->version == AD_VERSION_AC1006) putLe(h + kOldAppidDescriptor, kOldAppidSize, 2);
}

// The VX records numbered 1..49 are chained by number: each one's number
// becomes the index of the record with the next number; the header names
// the record the chain starts at.
int chainViewports(AdR12Writer* writer) {
    const std::int32_t count = writer->output->tableCounters[AD_R12_VX];
    const std::int32_t size = writer->output->recordSizes[AD_R12_VX];
    if (!fixed(writer) || count <= 1) return 1;
    std::vector<std::uint8_t> records(static_cast<std::size_t>(count) * static_cast<std::size_t>(size));
    if (!readBack(writer, writer->tableStarts[AD_R12_VX], records.data(), static_cast<std::int32_t>(records.size())))
        return 0;
    auto numberOf = [&](std::int32_t i) { return getShort(&records[static_cast<std::size_t>(i * size + kVxNumberAt)]); };
    std::vector<std::int32_t> chained;
    for (std::int32_t i = 1; i < count; ++i)
        if (numberOf(i) >= 1 && numberOf(i) <= kVxLastNumber) chained.push_back(i);
    std::int32_t start = chained.empty() ? 0 : chained.front();
    std::int32_t lastOne = 0;
    for (std::int32_t i : chained)
        if (numberOf(i) == 1) start = lastOne = i;
    std::vector<std::int32_t> next(static_cast<std::size_t>(count), 0);
    std::int32_t at = start;
    for (std::size_t step = 0; at != 0 && step < chained.size(); ++step) {
        std::int32_t found = 0;
        for (std::int32_t i : chained)
            if (numberOf(i) == numberOf(at) + 1) {
                found = i;
                break;
            }
        next[static_cast<std::size_t>(at)] = found;
        at = found;
    }
    for (std::int32_t i : chained) {
        std::uint8_t* record = &records[static_cast<std::size_t>(i * size)];
        putLe(record + kVxNumberAt, static_cast<std::uint16_t>(next[static_cast<std::size_t>(i)]), 2);
        adCrcStamp(record, size, adR12RecordCheck(AD_R12_VX));
        if (!adOutPatch(writer->output, writer->tableStarts[AD_R12_VX] + i * size, record, size)) return 0;
    }
    putLe(writer->header.data() + kPaperViewportEntry, static_cast<std::uint16_t>(lastOne), 2);
    return 1;
}
}  // namespace

AdR12Sentinel adR12EntitiesSentinel() { return {kEntities, sizeof kEntities}; }
AdR12Sentinel adR12TableSentinel(AdR12Table table) { return {kTables[table], sizeof kTables[table]}; }
AdR12Sentinel adR12BlocksSentinel() { return {kBlocks, sizeof kBlocks}; }
AdR12Sentinel adR12TrailerSentinel() { return {kTrailer, sizeof kTrailer}; }
AdR12Sentinel adR12ClosingSentinel() { return {kClosing, sizeof kClosing}; }

int adR12BeginEntities(AdR12Writer* writer) {
    if (!sentinel(writer, adR12EntitiesSentinel())) return 0;
    writer->entitiesStart = adOutTell(writer->output);
    return writer->entitiesStart >= 0;
}

int adR12BeginTable(AdR12Writer* writer, AdR12Table table) {
    if (!tableInVersion(writer, table)) return 1;
    if (table == AD_R12_BLOCK) writer->entitiesEnd = adOutTell(writer->output);
    if (!sentinel(writer, adR12TableSentinel(table))) return 0;
    writer->tableStarts[table] = adOutTell(writer->output);
    writer->output->tableCounters[table] = 0;
    return writer->tableStarts[table] >= 0;
}

int adR12BeginBlocks(AdR12Writer* writer) {
    if (!sentinel(writer, adR12BlocksSentinel())) return 0;
    writer->blocksStart = adOutTell(writer->output);
    return writer->blocksStart >= 0;
}

int adR12PatchBlockAddress(AdR12Writer* writer, std::int32_t block) {
    const std::int32_t position = adOutTell(writer->output);
    if (position < 0) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    // The record keeps 26 bits of the offset: a larger one would point
    // elsewhere.
    const std::uint32_t offset = static_cast<std::uint32_t>(position - writer->blocksStart);
    if (offset > kAddressMask) {
        adSetError(AD_ERR_R12_BLOCKS_TOO_LARGE);
        return 0;
    }
    const std::int32_t size = writer->output->recordSizes[AD_R12_BLOCK];
    const std::int32_t at = writer->tableStarts[AD_R12_BLOCK] + block * size;
    if (!fixed(writer)) {
        std::uint8_t address[4];
        putLe(address, offset, 4);
        return adOutPatch(writer->output, at + kBlockAddressBefore, address, sizeof address);
    }
    std::uint8_t record[64];
    if (size > static_cast<std::int32_t>(sizeof record) || !readBack(writer, at, record, size)) return 0;
    putLe(record + kBlockAddressAt1009, offset | kBlocksFlag, 4);
    adCrcStamp(record, size, adR12RecordCheck(AD_R12_BLOCK));
    return adOutPatch(writer->output, at, record, size);
}

int adR12Finish(AdR12Writer* writer) {
    AdOutputDrawing* output = writer->output;
    writer->blocksEnd = adOutTell(output);
    if (writer->blocksEnd < 0) return 0;
    if (fixed(writer)) {
        if (!sentinel(writer, adR12TrailerSentinel())) return 0;
        const std::int32_t after = adOutTell(output);
        writer->trailer = after - 32;
        if (!writeMap(writer, after - 16) || !sentinel(writer, adR12ClosingSentinel())) return 0;
    } else {
        writer->trailer = writer->blocksEnd;
    }
    putDirectory(writer);
    if (!chainViewports(writer)) return 0;
    if (fixed(writer))
        adCrcStamp(writer->header.data(), static_cast<std::int32_t>(writer->header.size()), kHeaderCheck);
    if (!adOutPatch(output, 0, writer->header.data(), static_cast<std::int32_t>(writer->header.size()))) return 0;
    HostFile* file = output->file;
    output->file = nullptr;
    if (!file || HostClose(file) != 0) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    return 1;
}
