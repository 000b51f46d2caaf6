// Reading the header variables of a bit-coded DWG file: walks the order of
// the file's version and stores each value in its field, by the field's
// width.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_header_order.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::int16_t kNamedPlotStyle = 3;
// The longest text a header section holds; files count a text's closing NUL
// in its length, so a field may be one byte short of the text as stored.
constexpr std::int32_t kLongestText = 512;

std::uint8_t* fieldOf(const AdDwgVarRow& row, AdDrawing* drawing, AdDwgFile* dwg) {
    switch (row.place) {
    case AD_DV_IN_HEADER: return reinterpret_cast<std::uint8_t*>(drawing->header) + row.offset;
    case AD_DV_IN_DRAWING: return reinterpret_cast<std::uint8_t*>(drawing) + row.offset;
    case AD_DV_IN_DWG_FILE: return reinterpret_cast<std::uint8_t*>(dwg) + row.offset;
    default: return nullptr;
    }
}

// An integer into a field of 1, 2 or 4 bytes.
int storeInteger(std::uint8_t* field, std::uint32_t size, std::int32_t value) {
    if (size == 1) {
        *field = static_cast<std::uint8_t>(value);
    } else if (size == 2) {
        const auto v = static_cast<std::int16_t>(value);
        std::memcpy(field, &v, sizeof v);
    } else if (size == 4) {
        std::memcpy(field, &value, sizeof value);
    } else {
        return 0;
    }
    return 1;
}

// A text cut to its field (which ends at the first NUL in any case).
int readText(char* field, std::uint32_t size) {
    char text[kLongestText + 1];
    if (size == 0 || adBitReadText(text, sizeof text) < 0 || !adBitUsable()) return 0;
    const std::size_t length = std::min<std::size_t>(std::strlen(text), size - 1);
    std::memcpy(field, text, length);
    field[length] = '\0';
    return 1;
}

int readDoubles(std::uint8_t* field, std::uint32_t size, std::uint8_t kind) {
    double values[3] = {};
    std::uint32_t count = 1;
    if (kind == AD_DV_BD) {
        adBitReadDouble(values);
    } else if (kind == AD_DV_2RD) {
        adBitReadRaw2D(values);
        count = 2;
    } else {
        adBitRead3D(values);
        count = 3;
    }
    if (size != count * sizeof(double)) return 0;
    std::memcpy(field, values, size);
    return 1;
}

void storeFlagWord(AdHeaderVars* header, std::int32_t flags) {
    header->celweight = adLineweightFromIndex(flags & 0x1F);
    header->endcaps = static_cast<std::uint8_t>((flags >> 5) & 3);
    header->joinstyle = static_cast<std::uint8_t>((flags >> 7) & 3);
    header->lwdisplay = (flags & 0x200) ? 0 : 1;
    header->xedit = (flags & 0x400) ? 0 : 1;
    header->extnames = static_cast<std::uint8_t>((flags >> 11) & 1);
    header->pstylemode = static_cast<std::uint8_t>((flags >> 13) & 1);
    header->dwgHeaderFlag2 = static_cast<std::uint8_t>((flags >> 14) & 1);
}

int readRow(const AdDwgVarRow& row, AdDrawing* drawing, AdDwgFile* dwg) {
    AdHeaderVars* header = drawing->header;
    std::uint8_t* field = fieldOf(row, drawing, dwg);
    switch (row.kind) {
    case AD_DV_B: return storeInteger(field, row.size, adBitReadBit());
    case AD_DV_RC: return storeInteger(field, row.size, adBitReadByte());
    case AD_DV_BS: return storeInteger(field, row.size, adBitReadShort());
    case AD_DV_BL: return storeInteger(field, row.size, adBitReadLong());
    case AD_DV_BD:
    case AD_DV_2RD:
    case AD_DV_3BD: return readDoubles(field, row.size, row.kind);
    case AD_DV_T: return readText(reinterpret_cast<char*>(field), row.size);
    case AD_DV_H: return row.size == sizeof(AdHandle) && adBitReadHandle(reinterpret_cast<AdHandle*>(field)) >= 0;
    case AD_DV_DROP_BIT: return adBitReadBit() >= 0;
    case AD_DV_HANDSEED:
        adBitReadHandle(&header->handseed);
        header->handling = 1;
        drawing->fileHandleSeed = header->handseed;
        drawing->seedFromFile = 1;
        return 1;
    case AD_DV_FLAG_WORD: storeFlagWord(header, adBitReadLong()); return 1;
    case AD_DV_CEPSNID:
        return header->cepsntype != kNamedPlotStyle || adBitReadHandle(reinterpret_cast<AdHandle*>(field)) >= 0;
    default: return 0;
    }
}
}  // namespace

int adDwgReadHeaderVars(AdDrawing* drawing, AdDwgFile* dwg) {
    const AdDwgVarOrder& order = drawing->version >= AD_VERSION_AC1015 ? adDwgHeaderOrderAc1015 : adDwgHeaderOrderAc1012;
    for (const AdDwgVarSpan& span : order.spans)
        for (std::int32_t i = 0; i < span.count; ++i)
            if (!readRow(span.rows[i], drawing, dwg) || !adBitUsable()) return 0;
    return 1;
}
