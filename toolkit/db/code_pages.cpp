// The code pages a drawing may name, and conversion of their characters to
// Unicode through the maps of the init data.
#include "toolkit/db/init_data.h"

#include <algorithm>

namespace {

struct AdCodePage {
    const char* name;
    std::int16_t map;
};

// Indexed by code-page number; several pages share one map.
constexpr AdCodePage kCodePages[AD_CODE_PAGE_COUNT] = {
    {"undefined", 0},  {"ascii", 1},      {"iso8859-1", 2},  {"iso8859-2", 3},  {"iso8859-3", 4},
    {"iso8859-4", 5},  {"iso8859-5", 6},  {"iso8859-6", 7},  {"iso8859-7", 8},  {"iso8859-8", 9},
    {"iso8859-9", 10}, {"dos437", 11},    {"dos850", 12},    {"dos852", 13},    {"dos855", 14},
    {"dos857", 15},    {"dos860", 16},    {"dos861", 17},    {"dos863", 18},    {"dos864", 19},
    {"dos865", 20},    {"dos869", 21},    {"dos932", 34},    {"mac-roman", 22}, {"big5", 37},
    {"ksc5601", 36},   {"johab", 23},     {"dos866", 24},    {"ansi_1250", 25}, {"ansi_1251", 26},
    {"ansi_1252", 27}, {"gb2312", 35},    {"ansi_1253", 28}, {"ansi_1254", 29}, {"ansi_1255", 30},
    {"ansi_1256", 31}, {"ansi_1257", 32}, {"ansi_874", 33},  {"ansi_932", 34},  {"ansi_936", 35},
    {"ansi_949", 36},  {"ansi_950", 37},
};

const AdCodePageTable* tableOf(int codePage) {
    int map = adCodePageMap(codePage);
    return map < 0 ? nullptr : &adGlobals->initData->maps[map];
}

}  // namespace

const char* adCodePageName(int codePage) {
    if (codePage < 0 || codePage >= AD_CODE_PAGE_COUNT) return nullptr;
    return kCodePages[codePage].name;
}

int adCodePageByName(const char* name, int* codePage) {
    int found = -1;
    for (int i = 0; name && i < AD_CODE_PAGE_COUNT && found < 0; ++i)
        if (adStrCompareNoCase(name, kCodePages[i].name) == 0) found = i;
    if (codePage) *codePage = found < 0 ? 0 : found;
    return found >= 0;
}

int adCodePageMap(int codePage) {
    if (codePage < 0 || codePage >= AD_CODE_PAGE_COUNT || !adGlobals || !adGlobals->initData) return -1;
    int map = kCodePages[codePage].map;
    AdInitDataState* state = adGlobals->initData;
    if (state->maps[map].loaded) return map;
    return adLoadCodePageTable(state, map) ? map : -1;
}

int adCodePageToUnicode(int codePage, std::uint32_t character, std::uint32_t* unicode) {
    std::uint32_t value = character;
    int found = 0;
    const AdCodePageTable* table = tableOf(codePage);
    if (table && character < 256) {
        value = table->single[character];
        found = 1;
    } else if (table && character <= 0xFFFF) {
        const std::uint16_t* end = table->codes + table->pairCount;
        const std::uint16_t* code = std::lower_bound<const std::uint16_t*>(table->codes, end, character);
        if (code != end && *code == character) {
            value = table->values[code - table->codes];
            found = 1;
        }
    }
    if (unicode) *unicode = value;
    return found;
}

int adIsLeadByte(int codePage, int byte) {
    const AdCodePageTable* table = tableOf(codePage);
    if (!table || table->leadCount == 0 || byte < table->leadBytes[0] || byte > 255) return 0;
    return std::binary_search(table->leadBytes, table->leadBytes + table->leadCount, byte);
}
