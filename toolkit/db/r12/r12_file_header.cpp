// The fixed header of AC1002 to AC1009 files: its sections and table
// descriptors, each checked against the file before anything is read there,
// and the quick check of the header's size, CRC and layout.
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/r12/r12_read.h"

#include <cstring>

namespace {
constexpr std::int32_t kEntitiesStart = 20;
constexpr std::int32_t kFormatWord = 0x11;
// The header ends with its CRC and then 16 bytes the CRC leaves out.
constexpr std::int32_t kCrcFromEnd = 18;
constexpr std::uint16_t kHeaderStamp = 0x6718;
constexpr std::uint32_t kSizeMask = 0x3FFFFFFF;
constexpr std::int32_t kDescriptorSize = 10;
// Every header holds the sections and the first five descriptors.
constexpr std::int32_t kFirstVariable = 94;
// The descriptors in AdTableControl order, and the first version that has each.
constexpr struct {
    std::int32_t offset;
    std::int16_t from;
} kDescriptors[AD_TABLE_CONTROL_COUNT] = {
    {44, AD_R12_AC1002},   {54, AD_R12_AC1002},   {64, AD_R12_AC1002},   {74, AD_R12_AC1002},   {84, AD_R12_AC1002},
    {1007, AD_R12_AC1006}, {1280, AD_R12_AC1006}, {1298, AD_R12_AC1009}, {1314, AD_R12_AC1009}, {1695, AD_R12_AC1009},
};

std::int32_t little32(const std::uint8_t* bytes) { return adDwgLittle32(bytes); }
std::int16_t little16(const std::uint8_t* bytes) { return static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8)); }

int failAt(std::int16_t detail) {
    adGlobals->dwgCheckDetail = detail;
    return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
}

// A table's records lie whole inside the file; a record shorter than its
// flags byte cannot be read at all.
bool tableInFile(const AdDwgFile::AdR12Table& table, std::int64_t fileLength) {
    if (table.size < 0 || table.count < 0 || table.offset < 0 || table.offset > fileLength) return false;
    if (table.count == 0) return true;
    return table.size > 0 &&
           static_cast<std::int64_t>(table.offset) + static_cast<std::int64_t>(table.size) * table.count <= fileLength;
}
}  // namespace

int adR12LoadHeader(HostFile* file, std::int64_t fileLength, std::int32_t* length) {
    std::uint8_t lead[kEntitiesStart + 4];
    if (HostSeek(file, 0, SEEK_SET) != 0 || HostRead(lead, 1, sizeof lead, file) != sizeof lead)
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    const std::int32_t size = little32(lead + kEntitiesStart);
    if (size < kFirstVariable || size > AD_R12_HEADER_LIMIT) return adDwgFail(AD_ERR_DWG_HEADER_SIZE);
    if (size > fileLength) return failAt(AD_DWG_DETAIL_ENTITIES_START);
    std::uint8_t* buffer = adGlobals->buffer32kA;
    if (!buffer || HostSeek(file, 0, SEEK_SET) != 0 ||
        HostRead(buffer, 1, static_cast<std::size_t>(size), file) != static_cast<std::size_t>(size))
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    *length = size;
    return 1;
}

int adR12TakeLayout(const std::uint8_t* header, std::int32_t length, std::int16_t version, AdDwgFile* dwg) {
    adGlobals->dwgCheckDetail = 0;
    const std::int64_t fileLength = dwg->fileLength;
    const std::int64_t blocksSize = static_cast<std::uint32_t>(little32(header + 32)) & kSizeMask;
    const std::int64_t extrasSize = static_cast<std::uint32_t>(little32(header + 40)) & kSizeMask;
    const std::int64_t entitiesStart = little32(header + kEntitiesStart);
    const std::int64_t entitiesEnd = little32(header + 24);
    const std::int64_t blocksStart = little32(header + 28);
    std::int64_t extrasStart = little32(header + 36);
    if (extrasStart == 0) extrasStart = blocksStart + blocksSize;
    const struct {
        std::int64_t offset;
        std::int16_t detail;
    } starts[] = {{entitiesStart, AD_DWG_DETAIL_ENTITIES_START},
                  {entitiesEnd, AD_DWG_DETAIL_ENTITIES_END},
                  {blocksStart, AD_DWG_DETAIL_BLOCKS_START},
                  {extrasStart, AD_DWG_DETAIL_EXTRAS_START}};
    for (const auto& start : starts)
        if (start.offset < 0 || start.offset > fileLength) return failAt(start.detail);
    if (entitiesEnd < entitiesStart) return failAt(AD_DWG_DETAIL_ENTITIES_END);
    // A file cut short in its blocks or extras is read as far as it goes.
    dwg->truncated = blocksStart + blocksSize > fileLength;
    dwg->entitiesStart = static_cast<std::int32_t>(entitiesStart);
    dwg->entitiesEnd = static_cast<std::int32_t>(entitiesEnd);
    dwg->blocksStart = static_cast<std::int32_t>(blocksStart);
    dwg->blocksEnd =
        static_cast<std::int32_t>(blocksStart + blocksSize < fileLength ? blocksStart + blocksSize : fileLength);
    dwg->extrasStart = static_cast<std::int32_t>(extrasStart);
    dwg->extrasEnd =
        static_cast<std::int32_t>(extrasStart + extrasSize < fileLength ? extrasStart + extrasSize : fileLength);
    dwg->formatWord = little16(header + kFormatWord);
    for (int i = 0; i < AD_TABLE_CONTROL_COUNT; ++i) {
        AdDwgFile::AdR12Table& table = dwg->fixedTables[i];
        table = AdDwgFile::AdR12Table{};
        const std::int32_t at = kDescriptors[i].offset;
        if (version < kDescriptors[i].from || at + kDescriptorSize > length) continue;
        table.size = little16(header + at);
        table.count = little32(header + at + 2);
        // The oldest files keep other bits in the upper half of the count.
        if (version <= AD_R12_AC1003) table.count &= 0xFFFF;
        table.offset = little32(header + at + 6);
        if (!tableInFile(table, fileLength)) return failAt(static_cast<std::int16_t>(AD_DWG_DETAIL_FIRST_TABLE + i));
        dwg->fixedNext[i] = table.offset;
    }
    return 1;
}

int adR12CheckFile(HostFile* file, std::int16_t version, int mode) {
    adGlobals->dwgCheckDetail = 0;
    std::uint8_t lead[kFormatWord + 2];
    if (HostSeek(file, 0, SEEK_SET) != 0 || HostRead(lead, 1, sizeof lead, file) != sizeof lead)
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    // Only headers that carry a CRC are checked: files before AC1009 have
    // none, and those would all fail a check they were never made for.
    if (version < AD_R12_AC1009 || little16(lead + kFormatWord) != AD_R12_CHECKED_FORMAT) return 1;
    AdDwgFile dwg;
    std::memset(&dwg, 0, sizeof dwg);
    dwg.fileLength = HostFileLength(file);
    std::int32_t length = 0;
    if (dwg.fileLength < 0 || !adR12LoadHeader(file, dwg.fileLength, &length)) return 0;
    const std::uint8_t* header = adGlobals->buffer32kA;
    const std::int32_t covered = length - kCrcFromEnd;
    if (static_cast<std::uint16_t>(adCrc16(0, header, covered) ^ kHeaderStamp) !=
        static_cast<std::uint16_t>(little16(header + covered)))
        return adDwgFail(AD_ERR_DWG_HEADER_CRC);
    if (!adR12TakeLayout(header, length, version, &dwg)) return 0;
    return mode == AD_DWG_CHECK_QUICK || adR12FullCheck(file, &dwg);
}
