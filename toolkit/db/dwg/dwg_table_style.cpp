// STYLE entries of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_tables.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kStyleType = 53;
}  // namespace

int adDwgNextStyle(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdStyleRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextStyle(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kStyleType, record, &common, xdataFlag);
    if (start != 1) return start == 2;
    if (adBitReadBit()) record->flags |= 1;
    if (adBitReadBit()) record->flags |= 4;
    adBitReadDouble(&record->fixedHeight);
    adBitReadDouble(&record->widthFactor);
    adBitReadDouble(&record->obliqueAngle);
    record->generationFlags = adBitReadByte();
    adBitReadDouble(&record->lastHeight);
    adDwgReadCutText(record->fontFile, AD_FONT_FILE_SIZE);
    adDwgReadCutText(record->bigFontFile, AD_FONT_FILE_SIZE);
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_STYLE, &common, &xrefBlock)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}
