// The records a load passes over, kept for the host to report.
#include "toolkit/ad.h"

#include <cstdint>
#include <iterator>

void adNoteSkippedRecord(AdDrawing* drawing, std::int32_t code, const AdHandle& handle) {
    const std::int32_t kept = static_cast<std::int32_t>(std::size(drawing->loadErrors));
    if (drawing->loadErrorCount < kept) drawing->loadErrors[drawing->loadErrorCount] = {code, handle};
    if (drawing->loadErrorCount < INT32_MAX) ++drawing->loadErrorCount;
}
