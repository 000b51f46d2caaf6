// The header variables of fixed-header files, each at its own offset, with
// the first version that stores it.
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/r12/r12_header_layout.h"
#include "toolkit/ad_internal.h"

#include <cstddef>
#include <cstring>

namespace {
using Row = AdR12HeaderRow;

constexpr std::int16_t kDefaultTreeDepth = 3020;
// Files before AC1009 give BYLAYER and BYBLOCK linetypes these indexes.
constexpr std::int16_t kOldByLayer = 256;
constexpr std::int16_t kOldByBlock = 255;

void readRow(const Row& row, AdR12Record* at, AdHeaderVars* header) {
    auto* field = reinterpret_cast<std::uint8_t*>(header) + row.field;
    switch (row.kind) {
    case AD_R12_HV_SHORT: {
        const std::int16_t value = adR12ReadShort(at);
        std::memcpy(field, &value, sizeof value);
        break;
    }
    case AD_R12_HV_BYTE: *field = adR12ReadByte(at); break;
    case AD_R12_HV_BYTE_SHORT: {
        const std::int16_t value = adR12ReadByte(at);
        std::memcpy(field, &value, sizeof value);
        break;
    }
    case AD_R12_HV_DOUBLES:
        for (std::int16_t i = 0; i < row.count; ++i) {
            const double value = adR12ReadDouble(at);
            std::memcpy(field + i * sizeof value, &value, sizeof value);
        }
        break;
    case AD_R12_HV_TEXT:
        adR12ReadText(at, row.count, reinterpret_cast<char*>(field), static_cast<std::int32_t>(row.size));
        break;
    case AD_R12_HV_DATE: {
        const AdJulianDate date{adR12ReadLong(at), adR12ReadLong(at)};
        std::memcpy(field, &date, sizeof date);
        break;
    }
    case AD_R12_HV_INDEX: adGlobals->headerIndexes[row.field] = adR12ReadShort(at); break;
    }
}

// A cursor over width bytes at offset; false when the header ends before.
bool fieldAt(const std::uint8_t* header, std::int32_t length, std::int32_t offset, std::int32_t width,
             AdR12Record* at) {
    if (offset + width > length) return false;
    adR12BeginRecord(at, header + offset, width);
    return true;
}

// The menu name is split in two parts of the header.
void readMenu(const std::uint8_t* header, std::int32_t length, AdHeaderVars* h) {
    if (AD_R12_HEADER_MENU_REST + AD_R12_HEADER_MENU_REST_WIDTH > length) return;
    std::uint8_t joined[AD_R12_HEADER_MENU_FIRST_WIDTH + AD_R12_HEADER_MENU_REST_WIDTH];
    std::memcpy(joined, header + AD_R12_HEADER_MENU_FIRST, AD_R12_HEADER_MENU_FIRST_WIDTH);
    std::memcpy(joined + AD_R12_HEADER_MENU_FIRST_WIDTH, header + AD_R12_HEADER_MENU_REST, AD_R12_HEADER_MENU_REST_WIDTH);
    AdR12Record at;
    adR12BeginRecord(&at, joined, sizeof joined);
    adR12ReadText(&at, sizeof joined, h->menu, sizeof h->menu);
}

// The variables whose presence hangs on the format word or whose value is
// mended after reading.
void readSpecial(AdDrawing* drawing, const AdDwgFile* dwg, const std::uint8_t* header, std::int32_t length) {
    AdHeaderVars* h = drawing->header;
    const std::int16_t version = drawing->version;
    const std::int32_t format = static_cast<std::uint16_t>(dwg->formatWord);
    AdR12Record at;
    const bool users = version >= AD_R12_AC1003 || format > 104;
    for (int i = 0; i < 5; ++i) {
        h->useri[i] = users && fieldAt(header, length, AD_R12_HEADER_USER_VALUES + 2 * i, 2, &at) ? adR12ReadShort(&at) : 0;
        h->userr[i] = users && fieldAt(header, length, AD_R12_HEADER_USER_VALUES + 10 + 8 * i, 8, &at) ? adR12ReadDouble(&at) : 0.0;
    }
    h->mirrtext = 0;
    if (version >= AD_R12_AC1004 && format > 80 && fieldAt(header, length, AD_R12_HEADER_MIRRTEXT, 2, &at)) {
        const std::int16_t value = adR12ReadShort(&at);
        h->mirrtext = value == 1 ? 1 : 0;
    }
    if (version == AD_R12_AC1006) h->dwgcodepage = 0;
    if (version >= AD_R12_AC1006) {
        h->worldview = 1;
        if (format >= 160 && fieldAt(header, length, AD_R12_HEADER_WORLDVIEW, 2, &at)) h->worldview = adR12ReadShort(&at);
    }
    if (version >= AD_R12_AC1009 && format >= AD_R12_CHECKED_FORMAT && fieldAt(header, length, AD_R12_HEADER_VISRETAIN, 2, &at))
        h->visretain = adR12ReadShort(&at);
    if (version < AD_R12_AC1009) {
        h->psltscale = 0;
        h->treedepth = 0;
    } else if (h->treedepth == 0) {
        h->treedepth = kDefaultTreeDepth;
    }
    std::int16_t& linetype = adGlobals->headerIndexes[AD_HEADER_INDEX_LINETYPE];
    if (version < AD_R12_AC1009 && linetype == kOldByLayer) linetype = AD_LINETYPE_INDEX_BYLAYER;
    if (version < AD_R12_AC1009 && linetype == kOldByBlock) linetype = AD_LINETYPE_INDEX_BYBLOCK;
    if (version >= AD_R12_AC1006 && fieldAt(header, length, AD_R12_HEADER_HANDSEED, 8, &at)) {
        for (std::uint8_t& byte : h->handseed.b) byte = adR12ReadByte(&at);
        drawing->fileHandleSeed = h->handseed;
        drawing->seedFromFile = h->handling != 0;
    }
}
}  // namespace

void adR12ReadHeaderVars(AdDrawing* drawing, const AdDwgFile* dwg, const std::uint8_t* header, std::int32_t length) {
    const AdR12HeaderRows rows = adR12HeaderRows();
    for (std::size_t i = 0; i < rows.count; ++i) {
        const Row& row = rows.rows[i];
        AdR12Record at;
        if (drawing->version >= row.from && fieldAt(header, length, row.offset, adR12HeaderRowWidth(row), &at))
            readRow(row, &at, drawing->header);
    }
    readMenu(header, length, drawing->header);
    readSpecial(drawing, dwg, header, length);
}
