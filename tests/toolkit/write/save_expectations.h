// What a drawing saved as DXF (of either layout) or as DWG of the
// fixed-record versions (AC1002 to AC1009) must read back as.
#pragma once
#include "toolkit/db/corpus/corpus_summary.h"

#include <cstdint>

// The source's summary as a file of the version must read: later types
// gone, table and block names legalised, the layouts beyond the current
// paper space left out of DXF files before AC1015 and named *PAPER_SPACE in
// DWG files (format: AdFileFormat), paper space's entities in model space
// before the version that has paper space; from AC1015 names as they are.
Summary expectedAt(AdDrawing* source, const Summary& summary, std::int16_t version, std::uint8_t format);
// A drawing's summary with table names compared in upper case and SHAPEs
// left out; the standard records a reader adds to a file that lacks them
// only when expected holds them.
Summary readBack(AdDrawing* drawing, const Summary* expected = nullptr);
// Both sides alike: LWPOLYLINEs as POLYLINEs with their vertices, anonymous
// blocks by kind.
Summary normalised(const Summary& summary);
