// Finding a character's shape in a font and reading the shape's bytes.
#include "toolkit/db/font_files.h"

#include <initializer_list>

namespace {

constexpr std::int32_t kPageShift = 13;
constexpr std::int32_t kPageMask = AD_FONT_PAGE_SIZE - 1;

std::uint32_t entryOffset(const AdBigFontEntry& entry) {
    return static_cast<std::uint32_t>(entry.offset[0]) | static_cast<std::uint32_t>(entry.offset[1]) << 8 |
           static_cast<std::uint32_t>(entry.offset[2]) << 16;
}

// The probe starts where the code's hash points and runs to the end of the
// table; it then goes on from the top up to where it started, so that a code
// the compiler placed past the end is found too.
int seekBigFont(AdFont* font, std::uint32_t code) {
    const std::int32_t n = font->bigFontIndexSize;
    if (n <= 0 || !font->bigIndex || !font->bigStream || code > 0xFFFF) return 0;
    const std::int32_t swapped = static_cast<std::int32_t>(((code & 0xFF) << 8) | (code >> 8));
    std::int32_t start = swapped % n - 1;
    if (start < 0 || start >= n - 2) start = 0;
    for (std::int32_t step = 0; step < n; ++step) {
        const AdBigFontEntry& entry = font->bigIndex[(start + step) % n];
        if (static_cast<std::uint32_t>(entry.code[0] | entry.code[1] << 8) != code) continue;
        const std::int32_t offset = static_cast<std::int32_t>(entryOffset(entry));
        if (!adStreamSeek(font->bigStream, offset)) return 0;
        font->bigStreamPosition = offset;
        return 1;
    }
    return 0;
}

bool inEscapeRange(const AdFont* bigFont, std::uint32_t code) {
    const std::uint32_t lead = code >> 8;
    for (std::int16_t i = 0; i < bigFont->escapeRangeCount; ++i)
        if (bigFont->escapeRanges[i][0] <= lead && lead <= bigFont->escapeRanges[i][1]) return true;
    return false;
}

bool wantsBigFont(const AdFont* bigFont, std::uint32_t code, std::int32_t options) {
    if (options & AD_SHAPE_FORCE_BIGFONT) return true;
    if (code >= 222) return inEscapeRange(bigFont, code);
    return bigFont->escapeRangeCount > 0;
}

}  // namespace

int adFontSeekCode(AdFont* font, std::uint32_t code) {
    if (!font) return 0;
    if (font->kind & AD_FONT_BIGFONT) return seekBigFont(font, code);
    std::int32_t low = 0;
    std::int32_t high = font->indexCount - 1;
    while (low <= high) {
        const std::int32_t middle = low + (high - low) / 2;
        const AdShapeIndexEntry& entry = font->index[middle];
        if (entry.number == code) {
            font->readPage = static_cast<std::int16_t>(entry.offset >> kPageShift);
            font->readOffset = static_cast<std::int16_t>(entry.offset & kPageMask);
            return 1;
        }
        if (entry.number < code) low = middle + 1;
        else high = middle - 1;
    }
    return 0;
}

AdFont* adFontFindShape(AdDrawing* drawing, AdFont* font, AdFont* bigFont, std::uint32_t code,
                        std::int32_t options) {
    if (!font) return nullptr;
    if (font->kind & AD_FONT_TRUETYPE) return font;
    if (bigFont && (bigFont->kind & AD_FONT_BIGFONT) && wantsBigFont(bigFont, code, options) &&
        seekBigFont(bigFont, code))
        return bigFont;
    if ((font->kind & AD_FONT_UNIFONT) && (options & AD_SHAPE_FROM_CODE_PAGE) && code > 0xFF) {
        const AdHeaderVars* header = drawing ? drawing->header : nullptr;
        const int codePage = header ? header->dwgcodepage : adCurrentCodePage();
        adCodePageToUnicode(codePage, code, &code);
    }
    for (std::uint32_t wanted : {code, std::uint32_t{'?'}, std::uint32_t{' '}})
        if (adFontSeekCode(font, wanted)) return font;
    return nullptr;
}

std::int32_t adFontShapePos(const AdFont* font, std::int32_t* streamPosition) {
    if (!font) return 0;
    if (streamPosition) *streamPosition = font->bigStream ? adStreamTell(font->bigStream) : 0;
    return static_cast<std::uint16_t>(font->readPage) | static_cast<std::int32_t>(font->readOffset) << 16;
}

int adFontSeekShape(std::int32_t position, AdFont* font, std::int32_t packedPosition) {
    if (!font) return 0;
    if (font->kind & AD_FONT_BIGFONT) {
        if (!adStreamSeek(font->bigStream, position)) return 0;
        font->bigStreamPosition = position;
        return 1;
    }
    const std::int32_t page = packedPosition & 0xFFFF;
    const std::int32_t offset = (packedPosition >> 16) & 0xFFFF;
    if (page >= font->pageCount || offset >= AD_FONT_PAGE_SIZE) return 0;
    font->readPage = static_cast<std::int16_t>(page);
    font->readOffset = static_cast<std::int16_t>(offset);
    return 1;
}

std::uint8_t adFontNextShapeByte(AdFont* font) {
    if (!font) return 0;
    if (font->kind & AD_FONT_BIGFONT) {
        std::uint8_t byte = 0;
        return adStreamReadByte(font->bigStream, &byte) ? byte : 0;
    }
    if (font->readPage < 0 || font->readPage >= font->pageCount) return 0;
    const AdFontPage& page = font->pages[font->readPage];
    if (font->readOffset < 0 || font->readOffset >= page.length) return 0;
    const std::uint8_t byte = page.data[font->readOffset];
    if (++font->readOffset == AD_FONT_PAGE_SIZE) {
        ++font->readPage;
        font->readOffset = 0;
    }
    return byte;
}
