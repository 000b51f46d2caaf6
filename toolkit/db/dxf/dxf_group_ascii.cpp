// One group of an ASCII DXF file: a code line and a value line.
#include "toolkit/db/dxf/dxf_group.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/host_file.h"

namespace {
const std::int16_t kComment = 999;

bool hasLetter(const char* text) {
    for (; *text; ++text) {
        const char c = *text;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

// Names (codes 0 and 2) lose their trailing blanks, but keep their first
// character whatever it is.
void cutTrailingSpaces(char* text, std::size_t n) {
    while (n > 1 && text[n - 1] == ' ') text[--n] = '\0';
}

// Nearly every code line is a few digits behind blanks, read here at once;
// any other line takes the letter check and the general conversion.
bool plainCode(const std::uint8_t* text, std::size_t n, std::int16_t* code) {
    std::size_t i = 0;
    while (i < n && text[i] == ' ') ++i;
    if (i == n || n - i > 9) return false;
    std::int32_t value = 0;
    for (; i < n; ++i) {
        const unsigned digit = text[i] - static_cast<unsigned>('0');
        if (digit > 9) return false;
        value = value * 10 + static_cast<std::int32_t>(digit);
    }
    *code = static_cast<std::int16_t>(value);
    return true;
}

bool readCode(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    std::size_t n = 0;
    do {
        if (!adDxfReadTextLine(drawing, &n)) return false;
    } while (n == 0);
    if (plainCode(reinterpret_cast<const std::uint8_t*>(t.text), n, &t.code)) return true;
    if (hasLetter(t.text)) {
        adFatalError(AD_FATAL_BAD_FILE_DATA);
        adSetError(AD_ERR_DXF_GROUP_CODE);
        return false;
    }
    t.code = static_cast<std::int16_t>(adDxfParseInteger(t.text, n));
    return true;
}

// A group whose two lines lie whole in the file's window is taken there at
// once, its code line read in place. A group that the general way would stop
// (a letter in the code, a line too long) or that needs more than two lines
// (empty lines before the code) goes the general way, from the same position.
bool takeGroupInPlace(AdDrawing* drawing, std::size_t* valueLength) {
    std::size_t available = 0;
    const std::uint8_t* p = HostWindowBytes(drawing->file, &available);
    if (!p) return false;
    std::size_t codeLength = 0;
    std::size_t codeUsed = 0;
    std::int16_t code = 0;
    if (!adDxfLineInPlace(p, available, &codeLength, &codeUsed) ||
        codeLength > static_cast<std::size_t>(AD_DXF_LINE_LIMIT) || !plainCode(p, codeLength, &code))
        return false;
    const std::uint8_t* value = p + codeUsed;
    available -= codeUsed;
    std::size_t n = 0;
    std::size_t used = 0;
    if (!adDxfLineInPlace(value, available, &n, &used) || n > static_cast<std::size_t>(AD_DXF_LINE_LIMIT)) return false;
    adDxfTakeText(value, available, n);
    adDxfToken().code = code;
    HostTakeBytes(drawing->file, codeUsed + used);
    *valueLength = n;
    return true;
}

void convertValue(std::size_t n) {
    AdDxfToken& t = adDxfToken();
    switch (adDxfValueClass(t.code)) {
        case AdDxfValueClass::Real: t.real = adDxfParseReal(t.text, n); break;
        case AdDxfValueClass::Int16: t.shortValue = static_cast<std::int16_t>(adDxfParseInteger(t.text, n)); break;
        case AdDxfValueClass::Int32: t.longValue = adDxfParseInteger(t.text, n); break;
        case AdDxfValueClass::Handle: adDxfParseHandle(t.text, &t.handle); break;
        case AdDxfValueClass::Chunk:
        case AdDxfValueClass::Binary: break;  // hexadecimal text, taken apart by the reader that wants it
        case AdDxfValueClass::String:
            if (t.code == 0 || t.code == 2) cutTrailingSpaces(t.text, n);
            break;
    }
}
}  // namespace

void adDxfSkimAsciiGroups(AdDrawing* drawing) {
    std::size_t available = 0;
    const std::uint8_t* p = HostWindowBytes(drawing->file, &available);
    if (!p) return;
    const auto limit = static_cast<std::size_t>(AD_DXF_LINE_LIMIT);
    std::size_t taken = 0;
    for (;;) {
        std::size_t codeLength = 0;
        std::size_t codeUsed = 0;
        std::int16_t code = 0;
        const std::uint8_t* at = p + taken;
        const std::size_t rest = available - taken;
        if (!adDxfLineInPlace(at, rest, &codeLength, &codeUsed) || codeLength > limit ||
            !plainCode(at, codeLength, &code) || code == 0 || code == kComment)
            break;
        std::size_t n = 0;
        std::size_t used = 0;
        if (!adDxfLineInPlace(at + codeUsed, rest - codeUsed, &n, &used) || n > limit) break;
        taken += codeUsed + used;
    }
    HostTakeBytes(drawing->file, taken);
}

int adDxfReadAsciiGroup(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    t.text = reinterpret_cast<char*>(adGlobals->buffer128kA);
    if (!t.text || !drawing || !drawing->file) return 0;
    std::size_t n = 0;
    if (!takeGroupInPlace(drawing, &n)) {
        if (!readCode(drawing)) return 0;
        if (!adDxfReadTextLine(drawing, &n)) return 0;
    }
    if (!adDxfToken().skim || adDxfToken().code == 0) convertValue(n);
    return 1;
}
