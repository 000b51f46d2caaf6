// The full check of a fixed-header file: every record of the entities,
// blocks and extras sections and of every table against its CRC, and the
// trailer. Each walk advances by at least a record's smallest size and stays
// inside its section, so damage cannot hold it in place.
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kBadType = 1;
constexpr std::int16_t kBadLength = 2;
constexpr std::int16_t kBadCrc = 3;

constexpr std::int32_t kMaxEntityLength = 0x4800;
constexpr std::uint8_t kLastEntityType = 24;
// A jump record's CRC covers its first 8 bytes and follows them.
constexpr std::uint8_t kJumpType = 18;
constexpr std::int32_t kJumpCovered = 8;
// Type, flags, length and the CRC: no record is shorter.
constexpr std::int32_t kSmallestRecord = 6;

constexpr std::uint16_t kTableStamps[AD_TABLE_CONTROL_COUNT] = {0x91C0, 0xC6AD, 0x79D4, 0xF4D1, 0xAAAD,
                                                                0xB4E0, 0x83FF, 0xDDC1, 0x33F8, 0xC2FC};
constexpr std::int32_t kTrailerFromEnd = 154;
constexpr std::int32_t kTrailerSize = 138;
constexpr std::uint16_t kTrailerStamp = 0xA904;

int fail(std::int32_t code, std::int16_t detail) {
    adGlobals->dwgCheckDetail = detail;
    return adDwgFail(code);
}

bool readAt(HostFile* file, std::int64_t at, std::uint8_t* out, std::int32_t size) {
    return HostSeek(file, at, SEEK_SET) == 0 &&
           HostRead(out, 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size);
}

std::uint16_t storedCrc(const std::uint8_t* bytes) { return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)); }

// The entity records from start up to end.
int walkRecords(HostFile* file, std::int64_t start, std::int64_t end, std::int32_t code) {
    std::uint8_t* record = adGlobals->buffer32kA;
    for (std::int64_t at = start; at < end;) {
        if (end - at < kSmallestRecord || !readAt(file, at, record, 4)) return fail(code, kBadLength);
        const std::uint8_t type = record[0] & 0x7F;
        const std::int32_t length = static_cast<std::int16_t>(record[2] | (record[3] << 8));
        if (type == 0 || type > kLastEntityType) return fail(code, kBadType);
        const std::int32_t covered = type == kJumpType ? kJumpCovered : length - 2;
        if (length < kSmallestRecord || length > kMaxEntityLength || length > end - at || covered + 2 > length)
            return fail(code, kBadLength);
        if (!readAt(file, at, record, length)) return fail(code, kBadLength);
        if (adCrc16(AD_DWG_CRC_SEED, record, covered) != storedCrc(record + covered)) return fail(code, kBadCrc);
        at += length;
    }
    return 1;
}

int tablesMatch(HostFile* file, const AdDwgFile* dwg) {
    std::uint8_t* record = adGlobals->buffer32kA;
    for (int t = 0; t < AD_TABLE_CONTROL_COUNT; ++t) {
        const AdDwgFile::AdR12Table& table = dwg->fixedTables[t];
        const std::int32_t code = AD_ERR_DWG_TABLE_RECORD + t;
        for (std::int32_t i = 0; i < table.count; ++i) {
            const std::int64_t at = table.offset + static_cast<std::int64_t>(i) * table.size;
            if (table.size < 2 || !readAt(file, at, record, table.size)) return fail(code, kBadLength);
            const std::uint16_t crc = adCrc16(0, record, table.size - 2) ^ kTableStamps[t];
            if (crc != storedCrc(record + table.size - 2)) return fail(code, kBadCrc);
        }
    }
    return 1;
}

int trailerMatches(HostFile* file, std::int64_t fileLength) {
    std::uint8_t trailer[kTrailerSize];
    if (fileLength < kTrailerFromEnd || !readAt(file, fileLength - kTrailerFromEnd, trailer, kTrailerSize))
        return fail(AD_ERR_DWG_TRAILER, kBadLength);
    const std::uint16_t crc = adCrc16(0, trailer, kTrailerSize - 2) ^ kTrailerStamp;
    return crc == storedCrc(trailer + kTrailerSize - 2) ? 1 : fail(AD_ERR_DWG_TRAILER, kBadCrc);
}
}  // namespace

int adR12FullCheck(HostFile* file, const AdDwgFile* dwg) {
    return walkRecords(file, dwg->entitiesStart, dwg->entitiesEnd, AD_ERR_DWG_ENTITY_RECORD) && tablesMatch(file, dwg) &&
           walkRecords(file, dwg->blocksStart, dwg->blocksEnd, AD_ERR_DWG_BLOCK_RECORD) &&
           walkRecords(file, dwg->extrasStart, dwg->extrasEnd, AD_ERR_DWG_EXTRAS_RECORD) && trailerMatches(file, dwg->fileLength);
}
