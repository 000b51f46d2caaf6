// CLASS records of the CLASSES section.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
const std::int16_t kEntityClass = 498;
const std::int16_t kObjectClass = 499;
}  // namespace

// The file's 281 flag becomes the item class the DWG reader gives.
int adDxfClassNext(AdDrawing* drawing, void* buffer) {
    if (!drawing || !adGlobals || !buffer) return 0;
    auto* record = static_cast<AdClassRecord*>(buffer);
    std::memset(record, 0, sizeof *record);
    adGlobals->xdataLength = 0;
    std::uint8_t xdata = 0;
    std::int32_t reactorCount = 0;
    AdStore* reactors = nullptr;
    const int read = adDxfReadTableRecord(drawing, AD_DXF_KIND_CLASS, record, &xdata, &reactorCount, &reactors, nullptr);
    adStoreFree(reactors);
    if (!read) return 0;
    record->isEntity = record->isEntity != 0 ? kEntityClass : kObjectClass;
    return 1;
}
