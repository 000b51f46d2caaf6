// The built-in SIMPLEX and GDT fonts, which stand in when a drawing's font
// file is missing: font records over the init data's shape tables.
#include "toolkit/db/font_files.h"

#include <cstdio>

namespace {

struct BuiltinTables {
    const char* name;
    std::uint8_t kind;
    AdShapeIndexEntry* index;
    std::int32_t count;
    std::uint8_t* shapes;
    std::uint32_t bytes;
};

AdFont* makeFont(const BuiltinTables& tables) {
    if (!tables.index || !tables.shapes) return nullptr;
    AdFont* font = adFontCreate();
    if (!font) return nullptr;
    font->pages = static_cast<AdFontPage*>(HostAlloc(sizeof(AdFontPage)));
    if (!font->pages) {
        adFontRelease(font, false);
        adNoMemory(AD_ERR_FONT_MEMORY);
        return nullptr;
    }
    static_assert(AD_SIMPLEX_SHAPE_BYTES <= AD_FONT_PAGE_SIZE && AD_GDT_SHAPE_BYTES <= AD_FONT_PAGE_SIZE,
                  "a built-in font is one page");
    font->pages[0] = AdFontPage{0, static_cast<std::int16_t>(tables.bytes), tables.shapes};
    font->pageCount = 1;
    font->index = tables.index;
    font->indexCount = tables.count;
    font->kind = tables.kind;
    font->first = 0;
    font->last = static_cast<std::int16_t>(tables.index[tables.count - 1].number);
    font->count = static_cast<std::int16_t>(tables.count);
    std::snprintf(font->filePath, sizeof font->filePath, "%s", tables.name);
    std::snprintf(font->requestedName, sizeof font->requestedName, "%s", tables.name);
    adFontReadInfo(font);
    return font;
}

}  // namespace

int adInitBuiltinFonts() {
    AdGlobalState* g = adGlobals;
    if (!g) return 0;
    const BuiltinTables tables[2] = {
        {"SIMPLEX.SHX", AD_FONT_SHAPES_11, g->simplexIndex, AD_SIMPLEX_SHAPE_COUNT, g->simplexShapes,
         AD_SIMPLEX_SHAPE_BYTES},
        {"GDT.SHX", AD_FONT_SHAPES_11 | AD_FONT_BUILTIN_GDT, g->gdtIndex, AD_GDT_SHAPE_COUNT, g->gdtShapes,
         AD_GDT_SHAPE_BYTES},
    };
    for (int i = 0; i < 2; ++i) {
        g->builtinFonts[i] = makeFont(tables[i]);
        if (!g->builtinFonts[i]) {
            adFreeBuiltinFonts();
            adSetError(AD_ERR_FONT_MEMORY);
            return 0;
        }
    }
    return 1;
}

void adFreeBuiltinFonts() {
    if (!adGlobals) return;
    for (AdFont*& font : adGlobals->builtinFonts) {
        adFontRelease(font, false);
        font = nullptr;
    }
}
