// One group of an ASCII DXF file: a code line and a value line.
#include "toolkit/db/dxf/dxf_group.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
bool hasLetter(const char* text) {
    for (; *text; ++text) {
        const char c = *text;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

// Names (codes 0 and 2) lose their trailing blanks, but keep their first
// character whatever it is.
void cutTrailingSpaces(char* text) {
    std::size_t n = std::strlen(text);
    while (n > 1 && text[n - 1] == ' ') text[--n] = '\0';
}

bool readCode(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    do {
        if (!adDxfReadLine(drawing)) return false;
    } while (t.text[0] == '\0');
    if (hasLetter(t.text)) {
        adFatalError(AD_FATAL_BAD_FILE_DATA);
        adSetError(AD_ERR_DXF_GROUP_CODE);
        return false;
    }
    t.code = static_cast<std::int16_t>(adDxfParseInteger(t.text));
    return true;
}

void convertValue() {
    AdDxfToken& t = adDxfToken();
    switch (adDxfValueClass(t.code)) {
        case AdDxfValueClass::Real: t.real = adDxfParseReal(t.text); break;
        case AdDxfValueClass::Int16: t.shortValue = static_cast<std::int16_t>(adDxfParseInteger(t.text)); break;
        case AdDxfValueClass::Int32: t.longValue = adDxfParseInteger(t.text); break;
        case AdDxfValueClass::Handle: adDxfParseHandle(t.text, &t.handle); break;
        case AdDxfValueClass::Chunk:
        case AdDxfValueClass::Binary: break;  // hexadecimal text, taken apart by the reader that wants it
        case AdDxfValueClass::String:
            if (t.code == 0 || t.code == 2) cutTrailingSpaces(t.text);
            break;
    }
}
}  // namespace

int adDxfReadAsciiGroup(AdDrawing* drawing) {
    if (!readCode(drawing)) return 0;
    if (!adDxfReadLine(drawing)) return 0;
    if (!adDxfToken().skim || adDxfToken().code == 0) convertValue();
    return 1;
}
