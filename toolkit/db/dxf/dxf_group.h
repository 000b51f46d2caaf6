// The two file forms' group readers behind adDxfReadGroup.
#pragma once
#include "toolkit/db/dxf/dxf_reader.h"

#include <cstddef>
#include <cstdint>

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
// false: the line takes the general way, which gives the same text.
bool adDxfLineInPlace(const std::uint8_t* p, std::size_t available, std::size_t* length, std::size_t* used);
// Copies the n bytes of text at p, of available bytes, into the token's text.
void adDxfTakeText(const std::uint8_t* p, std::size_t available, std::size_t n);
