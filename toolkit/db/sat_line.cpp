// Restored SAT text gathered into lines: each line is fixed up and written to
// the target when its line end arrives.
#include "toolkit/db/sat_line.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <string_view>

namespace {

// A pattern names where token counting starts (an offset into the pattern)
// and how many tokens are passed before the one that is removed.
struct FixPattern {
    std::string_view text;
    std::size_t start;
    int passed;
};

constexpr FixPattern kFixPatterns[] = {
    {"-surface $", 8, 1},  // the space before the pointer
    {"-curve $", 6, 1},
    {"point $", 6, 4},  // the pointer itself
};

constexpr std::size_t kNone = std::string_view::npos;

}  // namespace

int adSatFixLine(char* line, std::int32_t* length) {
    if (!line || !length || *length <= 0) return 0;
    const std::string_view text(line, static_cast<std::size_t>(*length));
    for (const FixPattern& p : kFixPatterns) {
        const std::size_t at = text.find(p.text);
        if (at == kNone) continue;
        std::size_t from = at + p.start;
        for (int i = 0; i < p.passed && from != kNone; ++i) from = text.find(' ', from + 1);
        // The removed token must end at a space of its own.
        const std::size_t to = from == kNone ? kNone : text.find(' ', from + 1);
        if (to == kNone) continue;
        std::memmove(line + from, line + to, text.size() - to);
        *length -= static_cast<std::int32_t>(to - from);
        line[*length] = '\0';
        return 1;
    }
    return 0;
}

int adSatWriteLine(AdStream* target, char* line, std::int32_t* length) {
    adSatFixLine(line, length);
    const int written = adStreamWrite(target, line, *length);
    *length = 0;
    line[0] = '\0';
    return written;
}

// The line end joins the last token, which is never removed, so fixing the
// line up with its end in place changes nothing.
int adSatPutChar(AdStream* target, std::uint8_t ch, char* line, std::int32_t* length) {
    if (!line || !length || *length < 0 || *length >= AD_SAT_LINE_SIZE) return 0;
    line[(*length)++] = static_cast<char>(ch);
    line[*length] = '\0';
    if (ch == '\r' || ch == '\n') return adSatWriteLine(target, line, length) ? 1 : -1;
    return *length < AD_SAT_LINE_SIZE ? 1 : 0;
}
