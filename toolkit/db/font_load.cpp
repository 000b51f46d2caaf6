// Loading a font by name into the drawing's font list, and freeing fonts.
#include "toolkit/db/font_files.h"

#include <cstring>

namespace {

constexpr std::int32_t kPageLimit = 0x7FFF;

bool fits(char* field, std::size_t size, const char* text) {
    const std::size_t length = std::strlen(text);
    if (length >= size) return false;
    std::memcpy(field, text, length + 1);
    return true;
}

bool hasExtension(const char* name, const char* extension) {
    const std::size_t length = std::strlen(name);
    return length >= 4 && adStrCompareNoCase(name + length - 4, extension) == 0;
}

bool sameName(const char* a, const char* b) { return adStrCompareNoCase(a, b) == 0; }

bool acceptedTrueType(const AdFont* font, std::int32_t faceParameters) {
    return !(font->kind & AD_FONT_TRUETYPE) || font->trueType.faceParameters == faceParameters;
}

AdFont* builtinGdt() { return adGlobals->builtinFonts[1]; }

// The whole file in 8192-byte pages.
int readPages(const AdShxFile* shx, AdFont* font) {
    const std::int64_t pages = (shx->length + AD_FONT_PAGE_SIZE - 1) / AD_FONT_PAGE_SIZE;
    if (pages > kPageLimit) return 0;
    font->pages = static_cast<AdFontPage*>(HostAlloc(sizeof(AdFontPage) * static_cast<std::size_t>(pages + 1)));
    if (!font->pages) {
        adNoMemory(AD_ERR_FONT_MEMORY);
        return AD_SHX_NO_MEMORY;
    }
    for (std::int64_t i = 0; i < pages; ++i) {
        const std::int64_t offset = i * AD_FONT_PAGE_SIZE;
        const auto length = static_cast<std::int32_t>(
            shx->length - offset < AD_FONT_PAGE_SIZE ? shx->length - offset : AD_FONT_PAGE_SIZE);
        auto* data = static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(length)));
        if (!data) {
            adNoMemory(AD_ERR_FONT_MEMORY);
            return AD_SHX_NO_MEMORY;
        }
        font->pages[i] = AdFontPage{static_cast<std::int32_t>(offset), static_cast<std::int16_t>(length), data};
        font->pageCount = static_cast<std::int16_t>(i + 1);
        if (!adShxReadAt(shx, offset, data, length)) return 0;
    }
    return 1;
}

// Reads the tables of an opened shape file of an accepted kind.
int readShapeFile(const AdShxFile* shx, std::int32_t headerStart, AdFont* font) {
    if (font->kind & AD_FONT_BIGFONT) return adShxReadBigFont(shx, headerStart, font);
    int ok = adShxReadIndex(shx, headerStart, font);
    if (ok != 1) return ok;
    if (!(font->kind & AD_FONT_UNIFONT) && adFontSeekCode(font, 127) && adFontSeekCode(font, 248))
        font->kind = AD_FONT_SPECIAL;
    return readPages(shx, font);
}

void append(AdDrawing* drawing, AdFont* font) {
    AdFont** link = &drawing->fonts;
    while (*link) link = &(*link)->next;
    *link = font;
}

// The font a resolved shape file gives; the fallback (name remembered) when
// it cannot be opened or recognised; null when memory runs out.
AdFont* loadShapeFile(AdDrawing* drawing, const char* name, const char* path, std::int32_t mask, AdFont* fallback) {
    AdShxFile shx{HostOpenRead(path), 0};
    if (!shx.file) {
        adFontRememberFailure(drawing, name);
        return fallback;
    }
    shx.length = HostFileLength(shx.file);
    std::int32_t headerStart = 0;
    const std::uint8_t kind = shx.length > 0 ? adShxClassify(&shx, &headerStart) : 0;
    if (!kind || !(kind & mask)) {
        HostClose(shx.file);
        adFontRememberFailure(drawing, name);
        return fallback;
    }
    AdFont* font = adFontCreate();
    int ok = AD_SHX_NO_MEMORY;
    if (font) {
        font->kind = kind;
        ok = readShapeFile(&shx, headerStart, font);
    }
    HostClose(shx.file);
    if (ok != 1) {
        adFontRelease(font, true);
        if (ok == AD_SHX_NO_MEMORY) return nullptr;
        adFontRememberFailure(drawing, name);
        return fallback;
    }
    std::memcpy(font->filePath, path, std::strlen(path) + 1);
    std::memcpy(font->requestedName, name, std::strlen(name) + 1);
    adFontReadInfo(font);
    const char* base = std::strrchr(path, '\\');
    if (sameName(base ? base + 1 : path, "SIMPLEX6.SHX")) font->kind |= AD_FONT_SIMPLEX6;
    append(drawing, font);
    return font;
}

AdFont* findLoaded(const AdDrawing* drawing, char (AdFont::*field)[AD_FONT_PATH_SIZE], const char* name, std::int32_t mask,
                   std::int32_t faceParameters) {
    for (AdFont* font = drawing->fonts; font; font = font->next)
        if (sameName(font->*field, name) && (font->kind & mask) && acceptedTrueType(font, faceParameters)) return font;
    return nullptr;
}

}  // namespace

AdFont* adFontCreate() {
    auto* font = static_cast<AdFont*>(HostAlloc(sizeof(AdFont)));
    if (!font) {
        adNoMemory(AD_ERR_FONT_MEMORY);
        return nullptr;
    }
    std::memset(font, 0, sizeof *font);
    return font;
}

void adFontRelease(AdFont* font, bool ownsTables) {
    if (!font) return;
    if (ownsTables) {
        HostFree(font->index);
        for (std::int16_t i = 0; i < font->pageCount; ++i) HostFree(font->pages[i].data);
        HostFree(font->escapeRanges);
        HostFree(font->bigIndex);
        if (font->bigStream) adStreamCloseRead(font->bigStream);
        if (font->bigData) adStoreFree(font->bigData);
    }
    HostFree(font->pages);
    HostFree(font);
}

void adFontReadInfo(AdFont* font) {
    const bool big = (font->kind & AD_FONT_BIGFONT) != 0;
    if (big ? font->bigStreamPosition < 0 || !adFontSeekShape(font->bigStreamPosition, font, 0)
            : !adFontSeekCode(font, 0))
        return;
    for (std::int32_t i = 0; i < AD_SHAPE_BYTE_BUDGET && adFontNextShapeByte(font) != 0; ++i) {
    }
    if (big) {
        const std::uint8_t height = adFontNextShapeByte(font);
        font->bigFontHeight = height ? height : 8;
        font->bigFontWidth = adFontNextShapeByte(font);
        font->modes = adFontNextShapeByte(font);
        if (font->bigFontWidth == 0) font->bigFontWidth = adFontNextShapeByte(font);
        return;
    }
    font->above = adFontNextShapeByte(font);
    font->below = adFontNextShapeByte(font);
    font->modes = adFontNextShapeByte(font);
}

AdFont* adLoadFont(AdDrawing* drawing, const char* name, std::int32_t kindMask, AdFont* fallback,
                   const char* secondName, std::int32_t faceParameters) {
    if (!drawing || !adGlobals) return fallback;
    const bool hasSecond = secondName && *secondName;
    if ((!name || !*name) && !hasSecond) return fallback;
    // The requested name keeps the second name when only that is given.
    char work[AD_FONT_PATH_SIZE];
    if (!fits(work, sizeof work, name && *name ? name : secondName)) return fallback;
    bool trueType = hasSecond || adFontNamesTrueType(work);
    adFontNameOptions(work, &faceParameters);

    if (!trueType) {
        const std::size_t length = std::strlen(work);
        const bool extended = length >= 4 && work[length - 4] == '.';
        if (!extended && length + 4 >= sizeof work) return fallback;
        if (!extended) std::memcpy(work + length, ".shx", 5);
        adStrUpper(work, adGlobals->currentCodePage);
    }
    // Names are compared as they will be remembered: "txt" fails as TXT.SHX.
    if (adFontFailedBefore(drawing, work) || (hasSecond && adFontFailedBefore(drawing, secondName))) return fallback;
    if (!trueType && sameName(work, "GDT.SHX")) return builtinGdt();
    if (AdFont* loaded = findLoaded(drawing, &AdFont::requestedName, work, kindMask, faceParameters)) return loaded;

    AdFontRequest request;
    char path[AD_PATH_SIZE] = "";
    bool resolved = false;
    if (!trueType) {
        if (adGlobals->hooks.fileFinder) adGlobals->hooks.fileFinder(work, path, drawing->userData);
        else fits(path, sizeof path, work);
        path[sizeof path - 1] = '\0';
        resolved = path[0] != '\0';
        if (resolved && HostAccess(path, 0) != 0 && (kindMask & AD_FONT_TRUETYPE) && !std::strstr(work, ".PFB")) {
            trueType = true;
            resolved = false;
        }
    }
    if (trueType && !(kindMask & AD_FONT_TRUETYPE)) return fallback;
    if (trueType) resolved = adFontResolveTrueType(work, hasSecond ? secondName : "", faceParameters, &request);
    if (!resolved) {
        if (sameName(work, "AMGDT.SHX") || sameName(work, "AMGDT")) return builtinGdt();
        adFontRememberFailure(drawing, work);
        return fallback;
    }
    const char* resolvedName = trueType ? request.face : path;
    // A path cut to the field would name another file: refuse it.
    if ((!trueType && !hasExtension(path, ".shx")) || std::strlen(resolvedName) >= AD_FONT_PATH_SIZE) {
        adFontRememberFailure(drawing, work);
        return fallback;
    }
    if (AdFont* loaded = findLoaded(drawing, &AdFont::filePath, resolvedName, kindMask, faceParameters)) return loaded;
    if (!trueType) return loadShapeFile(drawing, work, path, kindMask, fallback);

    AdFont* font = adFontCreate();
    if (!font) return nullptr;
    font->trueType = request;
    font->kind = AD_FONT_TRUETYPE;
    font->above = 1000;
    std::memcpy(font->filePath, resolvedName, std::strlen(resolvedName) + 1);
    std::memcpy(font->requestedName, work, std::strlen(work) + 1);
    append(drawing, font);
    return font;
}

void adFreeFonts(AdDrawing* drawing) {
    if (!drawing) return;
    for (AdFont* font = drawing->fonts; font;) {
        AdFont* next = font->next;
        adFontRelease(font, true);
        font = next;
    }
    drawing->fonts = nullptr;
    std::memset(drawing->failedFonts, 0, sizeof drawing->failedFonts);
    drawing->failedFontNext = 0;
    drawing->failedFontCount = 0;
}
