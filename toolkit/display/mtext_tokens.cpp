// The reader of multi-line text: one character or format code at a time.
#include "toolkit/display/mtext.h"

#include <charconv>
#include <cstring>

AdMTextState adMText = {1, 0, 0, {}, 0.0, {}};

namespace {

constexpr std::uint16_t DEGREE = 176;
constexpr std::uint16_t PLUS_MINUS = 177;
constexpr std::uint16_t DIAMETER = 8709;
constexpr std::uint8_t KIND_UNIFONT = 16;
constexpr std::uint8_t KIND_TRUETYPE = 32;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    // Lower-case digits are as good as upper-case ones: an escape written
    // "\U+00b0" must not end at the 'b' and lose the rest of the text.
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Up to four hexadecimal digits; how many were read.
int readHex(const char** position, std::uint32_t* value) {
    int count = 0;
    *value = 0;
    for (int digit; count < 4 && (digit = hexValue(**position)) >= 0; ++count, ++*position)
        *value = *value * 16 + static_cast<std::uint32_t>(digit);
    return count;
}

std::uint16_t specialFor(std::uint32_t unicode, std::uint8_t kindCode) {
    if (unicode == DEGREE) return adDegreeCode(kindCode);
    if (unicode == PLUS_MINUS) return adPlusMinusCode(kindCode);
    if (unicode == DIAMETER) return adDiameterCode(kindCode);
    return static_cast<std::uint16_t>(unicode);
}

std::int16_t codePageOf(const AdDrawing* drawing) {
    const AdHeaderVars* header = adDrawingHeaderData(drawing);
    return header ? header->dwgcodepage : 0;
}

// "\U+" and "\M+" escapes, the position just after the letter: 1 with the
// character when the escape is well formed (the position then after it).
int unicodeEscape(const char** position, char letter, std::uint8_t kindCode, AdMTextToken* token) {
    const char* p = *position;
    if (*p != '+') return 0;
    ++p;
    std::uint32_t value = 0;
    if (letter == 'U') {
        if (hexValue(*p) < 0) return 0;
        readHex(&p, &value);
        token->character = specialFor(value, kindCode);
        token->codePage = 0;
    } else {
        if (*p < '0' || *p > '5') return 0;
        ++p;
        if (readHex(&p, &value) == 0) return 0;
        token->character = static_cast<std::uint16_t>(value);
    }
    *position = p;
    return 1;
}

// "%%d", "%%p", "%%c" and "%%v", the position just after the first '%'.
int percentCode(const char** position, std::uint8_t kindCode, AdMTextToken* token) {
    const char* p = *position;
    if (p[0] != '%') return 0;
    switch (p[1]) {
    case 'd':
    case 'D':
        token->character = adDegreeCode(kindCode);
        if (token->character == DEGREE) token->codePage = 0;
        break;
    case 'p':
    case 'P':
        token->character = adPlusMinusCode(kindCode);
        if (token->character == PLUS_MINUS) token->codePage = 0;
        break;
    case 'c':
    case 'C':
        token->character = adDiameterCode(kindCode);
        if (token->character == DIAMETER) token->codePage = 0;
        break;
    case 'v':
        token->character = ' ';
        break;
    default:
        return 0;
    }
    *position = p + 2;
    return 1;
}

void setCode(AdMTextToken* token, char code) {
    token->character = 0;
    token->code.code = static_cast<std::uint16_t>(code);
}

// "\F" name ";": the name runs to ';' or the end; what does not fit is skipped.
void readFontName(const char** position, AdMTextCode* code) {
    std::size_t length = 0;
    for (std::uint8_t c; (c = adMTextReadChar(position)) != 0 && c != ';';)
        if (length + 1 < sizeof code->fontName) code->fontName[length++] = static_cast<char>(c);
    code->fontName[length] = '\0';
}

// The byte after a backslash. 0 when the escape yields nothing (a colour
// number outside the colour map), so the caller reads on.
int backslash(const char** position, std::uint8_t kindCode, AdMTextToken* token) {
    const char* afterBackslash = *position;
    const std::uint8_t c = adMTextReadChar(position);
    std::uint8_t relative = 0;
    switch (c) {
    case 0:
        token->character = '\\';
        return 1;
    case 'F':
    case 'f':
        setCode(token, 'F');
        readFontName(position, &token->code);
        return 1;
    case 'H':
    case 'h':
    case 'T':
    case 't':
    case 'Q':
    case 'q':
    case 'W':
    case 'w':
        setCode(token, static_cast<char>(c & ~0x20));
        token->code.value = adMTextReadNumber(position, &token->code.relative);
        return 1;
    case 'A':
    case 'a': {
        setCode(token, 'A');
        token->code.alignment = static_cast<std::int8_t>(static_cast<int>(adMTextReadChar(position)) - '0');
        if (**position == ';') ++*position;
        return 1;
    }
    case 'C': {
        const double value = adMTextReadNumber(position, &relative);
        if (!(value >= 0.0 && value < AD_MTEXT_COLOUR_LIMIT + 1.0)) return 0;
        token->character = static_cast<std::uint16_t>(AD_MTEXT_COLOUR + static_cast<int>(value));
        return 1;
    }
    case 'L':
        token->character = AD_MTEXT_UNDERLINE_ON;
        return 1;
    case 'l':
        token->character = AD_MTEXT_UNDERLINE_OFF;
        return 1;
    case 'O':
        token->character = AD_MTEXT_OVERLINE_ON;
        return 1;
    case 'o':
        token->character = AD_MTEXT_OVERLINE_OFF;
        return 1;
    case 'S':
        token->character = AD_MTEXT_STACK;
        return 1;
    case '~':
        token->character = AD_MTEXT_HARD_SPACE;
        return 1;
    case 'P':
        setCode(token, 'P');
        return 1;
    case 'M':
    case 'U':
        if (unicodeEscape(position, static_cast<char>(c), kindCode, token)) return 1;
        // Not an escape: the backslash stands, the letter is read again.
        *position = afterBackslash;
        token->character = '\\';
        return 1;
    default:
        token->character = c;
        return 1;
    }
}

bool isLeadByte(const AdDrawing* drawing, std::uint8_t c, std::uint8_t kindCode, const AdFont* primaryFont,
                const AdFont* bigFont) {
    if (bigFont) {
        for (std::int16_t i = 0; bigFont->escapeRanges && i < bigFont->escapeRangeCount; ++i)
            if (c >= bigFont->escapeRanges[i][0] && c <= bigFont->escapeRanges[i][1]) return true;
        return false;
    }
    if (c < 0x80) return false;
    if (kindCode == KIND_TRUETYPE) {
        const std::int32_t charset = primaryFont ? (primaryFont->trueType.faceParameters >> 8) & 0xFF : 0;
        return charset == 128 || charset == 129 || charset == 134 || charset == 136;
    }
    return adIsLeadByte(codePageOf(drawing), c) != 0;
}

// A token with the codes switch off: the text as it stands, line by line.
int plainToken(const char** position, AdMTextToken* token) {
    for (;;) {
        const std::uint8_t c = adMTextReadChar(position);
        if (c == 0) return 0;
        if (c == '\r') continue;
        if (c == '\n') {
            token->code.code = 'P';
            token->character = '\n';
        } else {
            token->character = c == '\t' ? ' ' : c;
        }
        return 1;
    }
}

// One token with the codes switch on; 0 at the end of the text, -1 when
// what was read yields no token.
int codedToken(AdDrawing* drawing, const char** position, std::uint8_t kindCode, const AdFont* primaryFont,
               const AdFont* bigFont, AdMTextToken* token) {
    const std::uint8_t c = adMTextReadChar(position);
    if (c == 0) return 0;
    token->character = c;
    if (c == '%' && percentCode(position, kindCode, token)) return 1;
    if (c == '{' || c == '}') {
        setCode(token, static_cast<char>(c));
        return 1;
    }
    if (c == DEGREE || c == PLUS_MINUS) {
        const std::int16_t page = codePageOf(drawing);
        if (kindCode != KIND_UNIFONT && (page == 2 || page == 12 || page == 30))
            token->character = c == DEGREE ? adDegreeCode(kindCode) : adPlusMinusCode(kindCode);
        return 1;
    }
    if (c == ' ') {
        // Blanks before a paragraph break or the end of the text vanish.
        const char* p = *position;
        while (*p != '\0' && static_cast<std::uint8_t>(*p) < '!') ++p;
        if (*p == '\0') {
            *position = p;
            return 0;
        }
        if (p[0] == '\\' && (p[1] == 'P' || p[1] == 'p')) {
            *position = p + 2;
            setCode(token, 'P');
        }
        return 1;
    }
    if (c == '\n') {
        setCode(token, 'P');
        return 1;
    }
    if (c == '\\') return backslash(position, kindCode, token) ? 1 : -1;
    if (c != 0 && isLeadByte(drawing, c, kindCode, primaryFont, bigFont) && **position != '\0') {
        const std::uint8_t trail = adMTextReadChar(position);
        token->character = static_cast<std::uint16_t>(c * 256 + trail);
    }
    return 1;
}

}  // namespace

std::uint8_t adFontKindCode(std::uint8_t kindFlags) {
    if (kindFlags & AD_FONT_BUILTIN_GDT) return 64;
    if (kindFlags & AD_FONT_SHAPES_11) return 4;
    if (kindFlags & AD_FONT_SPECIAL) return 1;
    if (kindFlags & AD_FONT_UNIFONT) return 16;
    if (kindFlags & AD_FONT_TRUETYPE) return 32;
    return 2;
}

std::uint8_t adMTextReadChar(const char** position) {
    const char* p = *position;
    while (adMText.wrap && *p == '\n') ++p;
    const auto c = static_cast<std::uint8_t>(*p);
    *position = c ? p + 1 : p;
    return c;
}

double adMTextReadNumber(const char** position, std::uint8_t* relative) {
    char digits[AD_MTEXT_NUMBER_LENGTH + 1];
    int length = 0;
    *relative = 0;
    while (length < AD_MTEXT_NUMBER_LENGTH) {
        const char c = **position;
        if (c == 'x' || c == 'X') {
            ++*position;
            *relative = 1;
            break;
        }
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-')) break;
        digits[length++] = c;
        ++*position;
    }
    if (**position == ';') ++*position;
    double value = 0.0;
    if (std::from_chars(digits, digits + length, value).ec != std::errc{}) value = 0.0;
    return value;
}

int adMTextNextToken(AdDrawing* drawing, const char** position, std::uint8_t kindCode, const AdFont* primaryFont,
                     const AdFont* bigFont, AdMTextToken* token) {
    for (;;) {
        std::memset(&token->code, 0, sizeof token->code);
        token->character = 0;
        token->codePage = 1;
        const int result = adMText.codes ? codedToken(drawing, position, kindCode, primaryFont, bigFont, token)
                                         : plainToken(position, token);
        if (result == 0) return 0;
        // Escapes that yield nothing (a colour out of range, "\U+0000") are
        // passed over; every round moves on in the text.
        if (result > 0 && (token->character != 0 || token->code.code != 0)) return 1;
    }
}

void adMTextSkipBlanks(AdDrawing* drawing, const char** position, std::uint8_t kindCode, const AdFont* primaryFont,
                       const AdFont* bigFont) {
    for (const char* p = *position;; p = *position) {
        AdMTextToken token;
        if (!adMTextNextToken(drawing, &p, kindCode, primaryFont, bigFont, &token)) return;
        if (token.code.code != 0 || token.character > ' ') return;
        *position = p;
    }
}

int adStackNextToken(const char** position, std::uint8_t kindCode, std::uint16_t* character,
                     std::uint8_t* codePage, std::uint8_t* escaped) {
    *codePage = 1;
    *escaped = 0;
    const std::uint8_t c = adMTextReadChar(position);
    if (c == 0) return 0;
    AdMTextToken token{};
    token.codePage = 1;
    token.character = c;
    if (c == '%') {
        percentCode(position, kindCode, &token);
    } else if (c == '\\') {
        const char* afterBackslash = *position;
        const std::uint8_t next = adMTextReadChar(position);
        if ((next == 'U' || next == 'M') && unicodeEscape(position, static_cast<char>(next), kindCode, &token)) {
        } else if (next == 'U' || next == 'M' || next == 0) {
            *position = afterBackslash;
        } else {
            token.character = next;
            *escaped = 1;
        }
    }
    *character = token.character;
    *codePage = token.codePage;
    return 1;
}

bool adStackEndsUpper(std::uint16_t character, std::uint8_t escaped) {
    return character == ';' || character == '^' || character == '#' || (character == '/' && !escaped);
}

std::uint8_t adStackSkip(const char** position, std::uint8_t kindCode) {
    std::uint16_t character = 0;
    std::uint8_t codePage = 0;
    std::uint8_t escaped = 0;
    std::uint8_t separator = 0;
    while (adStackNextToken(position, kindCode, &character, &codePage, &escaped)) {
        if (character == ';') return separator;
        if (separator == 0 && adStackEndsUpper(character, escaped))
            separator = static_cast<std::uint8_t>(character);
    }
    return separator;
}
