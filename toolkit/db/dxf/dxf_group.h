// The two file forms' group readers behind adDxfReadGroup.
#pragma once
#include "toolkit/db/byte_scan.h"
#include "toolkit/db/dxf/dxf_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

int adDxfReadAsciiGroup(AdDrawing* drawing);
int adDxfReadBinaryGroup(AdDrawing* drawing);

// For a pre-scan that looks only at 0 groups: passes over the groups before
// the next 0 group or comment, as long as each lies whole in the file's read
// window and would read without fault. The next adDxfReadGroup reads on from
// there, and the groups it delivers are the ones it would have delivered.
void adDxfSkimGroups(AdDrawing* drawing);
void adDxfSkimAsciiGroups(AdDrawing* drawing);
void adDxfSkimBinaryGroups(AdDrawing* drawing);
// adDxfReadLine that also gives the length of the text.
int adDxfReadTextLine(AdDrawing* drawing, std::size_t* length);

// Lines taken where they lie in the file's read window. A line lies there
// whole when its text ends at a line end and the byte after that end is in
// the window too (it may pair with the end): then length is the text's
// length and used the bytes up to the next line, and the answer is true. A
// control byte inside the text, or a line at the window's edge, answers
// false: the line takes the general way, which gives the same text. Inline,
// as every line of a file passes here.
inline bool adDxfLineInPlace(const std::uint8_t* p, std::size_t available, std::size_t* length, std::size_t* used) {
    const std::size_t limit = std::min<std::size_t>(available, AD_DXF_TEXT_SIZE - 1);
    const std::size_t n = adFindControl(reinterpret_cast<const char*>(p), limit);
    if (n >= limit || n + 1 >= available) return false;
    const std::uint8_t end = p[n];
    if (end != '\r' && end != '\n') return false;
    const bool pair = p[n + 1] == (end == '\r' ? '\n' : '\r');
    *length = n;
    *used = n + (pair ? 2 : 1);
    return true;
}

// Copies the n bytes of text at p, of available bytes, into the token's text.
inline void adDxfTakeText(const std::uint8_t* p, std::size_t available, std::size_t n) {
    char* text = adDxfToken().text;
    // Short lines, most of a file, are copied as two words; the bytes behind
    // the text are cut off by its terminator.
    if (n < 16 && available >= 16) std::memcpy(text, p, 16);
    else std::memcpy(text, p, n);
    text[n] = '\0';
}
