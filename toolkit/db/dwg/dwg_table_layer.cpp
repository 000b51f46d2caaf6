// LAYER entries of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_tables.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kLayerType = 51;

// AC1015 packs the switches, the plot flag and the line weight in one word.
void readFlagWord(AdLayerRecord* record, bool* off) {
    const std::int32_t word = static_cast<std::uint16_t>(adBitReadShort());
    if (word & 0x01) record->flags |= 1;
    *off = (word & 0x02) != 0;
    if (word & 0x04) record->flags |= 2;
    if (word & 0x08) record->flags |= 4;
    record->plotFlag = static_cast<std::int16_t>((word >> 4) & 1);
    record->lineweight = adLineweightFromIndex((word >> 5) & 0x1F);
}

void readSwitches(AdLayerRecord* record, bool* off) {
    record->lineweight = -3;
    record->plotFlag = 1;
    if (adBitReadBit()) record->flags |= 1;
    *off = adBitReadBit() != 0;
    if (adBitReadBit()) record->flags |= 2;
    if (adBitReadBit()) record->flags |= 4;
}
}  // namespace

int adDwgNextLayer(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdLayerRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextLayer(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kLayerType, record, &common, xdataFlag);
    if (start != 1) return start == 2;
    bool off = false;
    if (drawing->version >= AD_DWG_AC1015)
        readFlagWord(record, &off);
    else
        readSwitches(record, &off);
    const std::int16_t colour = adBitReadShort();
    record->colour = static_cast<std::int16_t>(off && colour > 0 ? -colour : colour);
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_LAYER, &common, &xrefBlock)) return 0;
    if (drawing->version >= AD_DWG_AC1015) adDwgEntryHandle(&common, &record->plotStyle);
    adDwgEntryHandle(&common, &record->linetype);
    if (!adDwgEntryFinish(&common)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}
