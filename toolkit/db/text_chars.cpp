// Walking text character by character: double-byte characters of the code
// page and the \M+ and \U+ escapes each count as one character.
#include "toolkit/ad.h"

#include <cstring>

namespace {

constexpr std::int32_t kMbcsEscapeLength = 8;     // \M+ and five hex digits
constexpr std::int32_t kUnicodeEscapeLength = 7;  // \U+ and four hex digits

// A lead byte takes the next byte along only when that is not the terminator.
int doubleByteAt(const unsigned char* p, int codePage) { return p[1] != '\0' && adIsLeadByte(codePage, p[0]); }

// The escape's letter, '+' and its digits; each test stops at the first byte
// that fails, so nothing past a terminator is read.
int escapeAt(const char* p, char letter, int digits) {
    if ((p[1] != letter && p[1] != letter + ('a' - 'A')) || p[2] != '+') return 0;
    for (int i = 0; i < digits; ++i)
        if (!adIsHexDigit(p[3 + i])) return 0;
    return 1;
}

}  // namespace

int adIsHexDigit(int c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::int32_t adTextCharLength(const char* text, int codePage) {
    if (!text || *text == '\0') return 0;
    if (*text == '\\') {
        if (escapeAt(text, 'M', 5)) return kMbcsEscapeLength;
        if (escapeAt(text, 'U', 4)) return kUnicodeEscapeLength;
        return 1;
    }
    return doubleByteAt(reinterpret_cast<const unsigned char*>(text), codePage) ? 2 : 1;
}

std::uint32_t adTextNextChar(const char** cursor, int codePage) {
    const auto* p = reinterpret_cast<const unsigned char*>(cursor ? *cursor : nullptr);
    if (!p || *p == '\0') return 0;
    if (doubleByteAt(p, codePage)) {
        *cursor += 2;
        return static_cast<std::uint32_t>(p[0]) << 8 | p[1];
    }
    *cursor += 1;
    return p[0];
}

int adCopyChars(char** out, const char** in, std::int32_t n, int codePage, std::size_t capacity) {
    if (!out || !*out || !in || !*in || capacity == 0) return 0;
    char* to = *out;
    const char* from = *in;
    std::int32_t copied = 0;
    for (; copied < n; ++copied) {
        const std::int32_t length = adTextCharLength(from, codePage);
        // One byte stays free for the terminator.
        if (length == 0 || static_cast<std::size_t>(length) >= capacity) break;
        std::memcpy(to, from, static_cast<std::size_t>(length));
        to += length;
        from += length;
        capacity -= static_cast<std::size_t>(length);
    }
    *to = '\0';
    *out = to;
    *in = from;
    return copied == n ? 1 : 0;
}

std::int32_t adTextCharCount(const char* text, int codePage) {
    std::int32_t count = 0;
    for (std::int32_t length; (length = adTextCharLength(text, codePage)) > 0; text += length) ++count;
    return count;
}

const char* adTextFindChar(const char* text, std::uint32_t character, int codePage) {
    const char* cursor = text;
    const char* at = cursor;
    // Each step moves past one character; the terminator answers 0.
    while (std::uint32_t c = adTextNextChar(&cursor, codePage)) {
        if (c == character) return at;
        at = cursor;
    }
    return nullptr;
}
