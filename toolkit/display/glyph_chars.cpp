// Reading text one character at a time: the \U+ and \M+ escapes, the %%
// codes with their special characters and under- and overline toggles, the
// code-page bytes that stand for special characters in plain shape fonts,
// and the double-byte characters of big fonts and multibyte code pages.
#include "toolkit/display/glyphs.h"

namespace {

constexpr int kCodePageDos850 = 12;
constexpr int kCodePageAnsi1252 = 30;

// Either case: a lower-case digit must not end the number and drop the rest
// of the string.
int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Up to four hex digits from p; the cursor is left after them.
std::uint16_t readHex(const unsigned char*& p) {
    std::uint16_t value = 0;
    for (int i = 0; i < 4 && hexValue(*p) >= 0; ++i, ++p) value = static_cast<std::uint16_t>(value * 16 + hexValue(*p));
    return value;
}

bool isUnicodeFont(std::uint8_t flags) { return (flags & AD_FONT_UNIFONT) != 0; }

// The bytes that plain shape fonts of the western code pages hold their
// special characters under.
std::uint16_t westernByte(std::uint16_t code, std::uint8_t flags, int codePage) {
    if (isUnicodeFont(flags) || (codePage != kCodePageDos850 && codePage != kCodePageAnsi1252)) return code;
    const bool gdt = flags & AD_FONT_BUILTIN_GDT, shapes11 = flags & AD_FONT_SHAPES_11;
    switch (code) {
    case 248: return gdt ? 126 : shapes11 ? 256 : 127;
    case 241: return gdt ? 96 : shapes11 ? 257 : 128;
    case 237: return shapes11 ? 258 : 129;
    default: return code;
    }
}

bool inEscapeRange(const AdFont* bigFont, std::uint16_t code) {
    for (std::int16_t i = 0; i < bigFont->escapeRangeCount; ++i)
        if (bigFont->escapeRanges[i][0] <= code && code <= bigFont->escapeRanges[i][1]) return true;
    return false;
}

// The character sets of the double-byte TrueType faces.
bool doubleByteCharset(const AdFont* font) {
    const int charset = (font->trueType.faceParameters >> 8) & 0xFF;
    return charset == 128 || charset == 129 || charset == 134 || charset == 136;
}

bool leadsPair(std::uint16_t code, const AdGlyphRun* run, int codePage) {
    if (run && run->bigFont) return inEscapeRange(run->bigFont, code);
    if (!(code & 0x80)) return false;
    if (run && run->font && (run->font->kind & AD_FONT_TRUETYPE)) return doubleByteCharset(run->font);
    return adIsLeadByte(codePage, code & 0xFF) != 0;
}

}  // namespace

std::uint16_t adDegreeCode(std::uint8_t flags) {
    if (flags & AD_FONT_BUILTIN_GDT) return 126;
    if (flags & AD_FONT_SHAPES_10) return 127;
    if (flags & AD_FONT_SPECIAL) return 248;
    if (flags & (AD_FONT_TRUETYPE | AD_FONT_UNIFONT)) return 176;
    return 256;
}

std::uint16_t adPlusMinusCode(std::uint8_t flags) {
    if (flags & AD_FONT_SIMPLEX6) return 177;
    if (flags & AD_FONT_BUILTIN_GDT) return 96;
    if (flags & AD_FONT_SHAPES_10) return 128;
    if (flags & AD_FONT_SPECIAL) return 241;
    if (flags & (AD_FONT_TRUETYPE | AD_FONT_UNIFONT)) return 177;
    return 257;
}

std::uint16_t adDiameterCode(std::uint8_t flags) {
    if (flags & AD_FONT_BUILTIN_GDT) return 110;
    if (flags & AD_FONT_SHAPES_10) return 129;
    if (flags & AD_FONT_SPECIAL) return 237;
    if (flags & AD_FONT_TRUETYPE) return 216;
    if (flags & AD_FONT_UNIFONT) return 8709;
    return 258;
}

std::uint16_t adNextTextChar(const char** cursor, std::uint8_t flags, const AdGlyphRun* run, int codePage,
                             std::uint8_t* remap, std::uint8_t* toggles) {
    *remap = 1;
    const auto* p = reinterpret_cast<const unsigned char*>(*cursor);
    std::uint16_t code = 0;
    bool joinable = false;
    // Each pass consumes at least one byte (a toggle), so the loop ends at
    // the terminator.
    for (;;) {
        if (p[0] == '\\' && p[1] && p[2] == '+' && p[3]) {
            if (p[1] == 'U' && hexValue(p[3]) >= 0) {
                p += 3;
                code = readHex(p);
                *remap = 0;
                break;
            }
            if (p[1] == 'M' && p[3] >= '0' && p[3] <= '5') {
                p += 4;
                code = readHex(p);
                *remap = 0;
                break;
            }
        }
        if (p[0] != '%') {
            code = westernByte(p[0], flags, codePage);
            if (p[0]) ++p;
            joinable = true;
            break;
        }
        if (p[1] != '%') {
            code = '%';
            ++p;
            break;
        }
        const unsigned char c = p[2];
        p += c ? 3 : 2;
        if (c == 'O' || c == 'o' || c == 'U' || c == 'u') {
            if (toggles) *toggles ^= (c == 'O' || c == 'o') ? AD_TEXT_OVERLINE : AD_TEXT_UNDERLINE;
            continue;
        }
        if (c == 'D' || c == 'd' || c == 'P' || c == 'p' || c == 'C' || c == 'c') {
            code = (c == 'D' || c == 'd') ? adDegreeCode(flags) : (c == 'P' || c == 'p') ? adPlusMinusCode(flags)
                                                                                         : adDiameterCode(flags);
            if (isUnicodeFont(flags)) *remap = 0;
            break;
        }
        if (c >= '0' && c <= '9') {
            int digits = 1;
            code = static_cast<std::uint16_t>(c - '0');
            for (; digits < 3 && *p >= '0' && *p <= '9'; ++digits, ++p) code = static_cast<std::uint16_t>(code * 10 + (*p - '0'));
            if (digits == 3 && code >= 128 && code <= 255) *remap = 0;
            break;
        }
        code = c;  // %% then any other byte, or the end
        joinable = c != 0;
        break;
    }
    // Only a byte of the string itself can lead a double-byte pair; a
    // terminator is never taken as its second byte.
    if (code != 0 && joinable && *p && leadsPair(code, run, codePage)) {
        code = static_cast<std::uint16_t>((code & 0xFF) << 8 | *p);
        ++p;
    }
    *cursor = reinterpret_cast<const char*>(p);
    if (code != 0 && !(isUnicodeFont(flags) && *remap == 0)) {
        if (code == 176) code = adDegreeCode(flags);
        else if (code == 177) code = adPlusMinusCode(flags);
        else if (code == 8709) code = adDiameterCode(flags);
    }
    return code;
}
