// APPID entries of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_tables.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/ad_internal.h"

#include <cstring>

namespace {
constexpr std::int16_t kAppidType = 67;

// Some files list, among their applications, a generic symbol-table record
// of a registered class; it is kept, marked erased, so the count still holds.
bool isSymbolTableRecord(AdDrawing* drawing, std::int16_t type) {
    char name[AD_TABLE_NAME_SIZE];
    return type >= AD_FIRST_CLASS_NUMBER && adClassNameByNumber(drawing, type, name) &&
           std::strcmp(name, "SYMBOL_TABLE_RECORD") == 0;
}
}  // namespace

int adDwgNextAppid(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdAppidRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextAppid(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kAppidType, record, &common, xdataFlag, isSymbolTableRecord);
    if (start != 1) return start == 2;
    if (common.type == kAppidType)
        adBitReadByte();
    else
        common.erased = 1;
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_APPID, &common, &xrefBlock)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}
