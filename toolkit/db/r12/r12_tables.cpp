// Walking the tables of fixed-header files: each table's records lie one
// after the other from the offset its descriptor gives, all of its size.
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {
constexpr std::int32_t kNameWidth = 32;
constexpr std::uint8_t kDeleted = 0x80;
}  // namespace

int adR12BeginTable(AdDrawing* drawing, AdTableControl table) {
    AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg) return 0;
    dwg->fixedNext[table] = dwg->fixedTables[table].offset;
    return 1;
}

int adR12NextRecord(AdDrawing* drawing, AdTableControl table, AdR12Record* record) {
    AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || !drawing->file) return 0;
    const AdDwgFile::AdR12Table& desc = dwg->fixedTables[table];
    const std::int64_t at = dwg->fixedNext[table];
    // The open made sure the table's records lie in the file; a walk that
    // reads more than the count still stops at the file's end.
    const auto size = static_cast<std::size_t>(desc.size > 0 ? desc.size : 0);
    if (size == 0 || at + desc.size > dwg->fileLength || HostSeek(drawing->file, at, SEEK_SET) != 0 ||
        HostRead(adGlobals->buffer32kA, 1, size, drawing->file) != size)
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    dwg->fixedNext[table] = at + desc.size;
    adR12BeginRecord(record, adGlobals->buffer32kA, desc.size);
    return 1;
}

int adR12StartRecord(AdDrawing* drawing, AdTableControl table, AdR12Record* record, AdR12Common* common) {
    *common = AdR12Common{};
    common->xrefIndex = -1;
    if (!adR12NextRecord(drawing, table, record)) return 0;
    const std::uint8_t flags = adR12ReadByte(record);
    if (flags & kDeleted) {
        common->erased = 1;
        return 2;
    }
    common->flags = flags;
    adR12ReadText(record, kNameWidth, common->name, sizeof common->name);
    if (drawing->version >= AD_R12_AC1009) common->xrefIndex = adR12ReadShort(record);
    return adR12FinishRecord(record);
}

int adR12FinishRecord(const AdR12Record* record) { return record->overrun ? adDwgFail(AD_ERR_DWG_SECTION_RANGE) : 1; }
