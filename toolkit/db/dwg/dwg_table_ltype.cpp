// LTYPE entries of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_tables.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kLtypeType = 57;
constexpr std::int16_t kTextDash = 2;

void readDash(AdLtypeDash* dash) {
    adBitReadDouble(&dash->length);
    dash->shapeNumber = adBitReadShort();
    adBitReadRawDouble(&dash->xOffset);
    adBitReadRawDouble(&dash->yOffset);
    adBitReadDouble(&dash->scale);
    adBitReadDouble(&dash->rotation);
    dash->complexFlags = adBitReadShort();
    // A text dash's number is where its text lies in the text area.
    if (dash->complexFlags & kTextDash) {
        dash->textPosition = dash->shapeNumber;
        dash->shapeNumber = 0;
    }
}
}  // namespace

int adDwgNextLtype(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdLtypeRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextLtype(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kLtypeType, record, &common, xdataFlag);
    if (start != 1) return start == 2;
    adDwgReadCutText(record->description, AD_TABLE_NAME_SIZE);
    adBitReadDouble(&record->patternLength);
    record->alignment = adBitReadByte();
    const std::int32_t dashes = adBitReadByte();
    // Dashes past those a record keeps are read and dropped.
    AdLtypeDash dropped{};
    for (std::int32_t i = 0; i < dashes && adBitUsable(); ++i)
        readDash(i < AD_LTYPE_DASH_COUNT ? &record->dashes[i] : &dropped);
    record->dashCount = static_cast<std::int16_t>(dashes < AD_LTYPE_DASH_COUNT ? dashes : AD_LTYPE_DASH_COUNT);
    adBitReadBytes(record->textArea, AD_LTYPE_TEXT_AREA_SIZE);
    record->textArea[AD_LTYPE_TEXT_AREA_SIZE - 1] = '\0';
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_LTYPE, &common, &xrefBlock)) return 0;
    for (std::int32_t i = 0; i < dashes && adBitUsable(); ++i)
        adDwgEntryHandle(&common, i < AD_LTYPE_DASH_COUNT ? &record->dashes[i].style : &dropped.style);
    if (!adDwgEntryFinish(&common)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}
