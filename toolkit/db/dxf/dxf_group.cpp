// The next group of a DXF file in the token, whatever the file's form.
// Comments (999) are passed over, except the last group of a file. A group
// put back is delivered again from the token.
#include "toolkit/db/dxf/dxf_group.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstdio>
#include <cstring>

namespace {
const std::int16_t kComment = 999;
}

int adDxfReadGroup(AdDrawing* drawing) {
    if (!adGlobals || !drawing) return 0;
    AdDxfToken& t = adDxfToken();
    if (t.putBack) {
        t.putBack = 0;
        return 1;
    }
    int (*read)(AdDrawing*) = drawing->format == AD_FORMAT_DXF_BINARY ? adDxfReadBinaryGroup : adDxfReadAsciiGroup;
    t.start = HostTell(drawing->file);
    t.held = 0;
    for (;;) {
        if (!read(drawing)) return 0;
        if (t.code != kComment || adDxfAtEnd(drawing)) {
            t.held = 1;
            return 1;
        }
    }
}

void adDxfSkimGroups(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    if (!adGlobals || !drawing || !drawing->file || t.putBack) return;
    t.text = reinterpret_cast<char*>(adGlobals->buffer128kA);
    if (!t.text) return;
    const std::int64_t before = HostTell(drawing->file);
    if (drawing->format == AD_FORMAT_DXF_BINARY) adDxfSkimBinaryGroups(drawing);
    else adDxfSkimAsciiGroups(drawing);
    const std::int64_t after = HostTell(drawing->file);
    if (after == before) return;
    // A group passed over is no group to put back.
    t.held = 0;
    t.start = after;
}

int adDxfPutBack(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    if (!t.held) return adDxfSeek(drawing, t.start);
    t.putBack = 1;
    return 1;
}

int adDxfReadGroupAt(AdDrawing* drawing, std::int64_t* position) {
    *position = adDxfTell(drawing);
    return adDxfReadGroup(drawing);
}

bool adDxfTokenIs(std::int16_t code, const char* text) {
    const AdDxfToken& t = adDxfToken();
    return t.code == code && t.text && std::strcmp(t.text, text) == 0;
}

std::int64_t adDxfTell(AdDrawing* drawing) {
    const AdDxfToken& t = adDxfToken();
    return t.putBack ? t.start : HostTell(drawing->file);
}

int adDxfSeek(AdDrawing* drawing, std::int64_t position) {
    adDxfToken().putBack = 0;
    return HostSeek(drawing->file, position, 0) == 0 ? 1 : 0;
}

// The stream notices its end only when a read runs into it, so the position
// is compared with the length; only comments ask.
bool adDxfAtEnd(AdDrawing* drawing) {
    if (HostEof(drawing->file)) return true;
    const std::int64_t position = HostTell(drawing->file);
    return position >= HostFileLength(drawing->file);
}

void adDxfCopyText(char* field, std::size_t size, const char* text) {
    if (size == 0) return;
    std::size_t n = std::strlen(text);
    if (n >= size) n = size - 1;
    std::memcpy(field, text, n);
    field[n] = '\0';
}

bool adDxfSkipTo(AdDrawing* drawing, const char* text) {
    while (adDxfReadGroup(drawing)) {
        if (adDxfTokenIs(0, text)) return true;
    }
    return false;
}
