// What the DXF reader's files share: the token, value classes, number
// parsing as the C library's ato* read it, and moving about in the file.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstddef>
#include <cstdint>

// Which slot of the token a group code's value takes.
enum class AdDxfValueClass { Real, Int16, Int32, Handle, Chunk, Binary, String };

AdDxfValueClass adDxfValueClass(std::int16_t code);

inline AdDxfToken& adDxfToken() { return adGlobals->dxfToken; }

// The token is group code with this text.
bool adDxfTokenIs(std::int16_t code, const char* text);

// Numbers of an ASCII value line: leading blanks, an optional sign, then as
// much of a number as there is; anything else reads as 0. Independent of
// the locale. With a length, the text's first length bytes.
std::int32_t adDxfParseInteger(const char* text);
std::int32_t adDxfParseInteger(const char* text, std::size_t length);
double adDxfParseReal(const char* text);
double adDxfParseReal(const char* text, std::size_t length);
// The integer the token holds, from whichever slot its code filled.
std::int32_t adDxfTokenInteger();
// A handle text; beyond 16 digits it names no object and gives null.
void adDxfParseHandle(const char* text, AdHandle* handle);

// The file position before the next group, and reading that group.
int adDxfReadGroupAt(AdDrawing* drawing, std::int64_t* position);
// Puts the group the last read delivered back: the next read delivers it
// again from the token, so that a reader stopping at the group that ends its
// record costs no seek. After a read that failed, the file goes back to
// where that read began, so that the failure repeats.
int adDxfPutBack(AdDrawing* drawing);
// A seek drops a group put back.
int adDxfSeek(AdDrawing* drawing, std::int64_t position);
// Before a group put back, where that group began.
std::int64_t adDxfTell(AdDrawing* drawing);
bool adDxfAtEnd(AdDrawing* drawing);

// Copies text into a field of size bytes, cut and terminated.
void adDxfCopyText(char* field, std::size_t size, const char* text);

// Reads groups up to and including the first 0 group with that text; false
// at the end of the file.
bool adDxfSkipTo(AdDrawing* drawing, const char* text);

// Collects the handles of the groups that follow a 102 "{ACAD_REACTORS" up
// to the closing 102 into a new store (replacing an earlier one).
int adDxfCollectReactors(AdDrawing* drawing, AdStore** reactors, std::int32_t* reactorCount);

// The pre-scan's parts: the HEADER section into the header block, and the
// scanners of the other sections, each from the group after the section's
// name up to its 0 ENDSEC. Each answers 0 when the file ends first.
int adDxfReadHeader(AdDrawing* drawing, AdHeaderVars* header);
int adDxfScanEntities(AdDrawing* drawing);
int adDxfScanTables(AdDrawing* drawing);
int adDxfScanBlocks(AdDrawing* drawing);
int adDxfScanObjects(AdDrawing* drawing);
int adDxfScanClasses(AdDrawing* drawing);

// The next position of the store the last begin opened a stream over.
int adDxfNextPosition(AdDrawing* drawing, std::int64_t* position);
// A record the file gave no handle (files before AC1012 may not) gets the
// drawing's next one, so that it can be stored.
int adDxfEnsureHandle(AdDrawing* drawing, AdHandle* handle);

// Fills the DXF slots of the reader-operation table.
void adDxfFillReadOps(AdReadOps* ops);

// Table kinds and the table control (and entry-count) slot each has; -1 for
// kinds that are no table of TABLES.
int adDxfKindControl(int kind);
