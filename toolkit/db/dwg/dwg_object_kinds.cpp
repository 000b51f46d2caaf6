// Which of the drawing's class numbers the OBJECTS walk reads as objects and
// which it passes over as entities.
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {
// The first class slots are the entity classes.
constexpr std::int32_t kEntitySlots = AD_CLASS_XRECORD;

bool inSlots(const AdDrawing* drawing, std::int16_t type, std::int32_t first, std::int32_t end) {
    if (!drawing || type < AD_FIRST_CLASS_NUMBER) return false;
    for (std::int32_t slot = first; slot < end; ++slot)
        if (drawing->classNumbers[slot] == type) return true;
    return false;
}
}  // namespace

bool adDwgIsEntityClass(const AdDrawing* drawing, std::int16_t type) {
    return inSlots(drawing, type, 0, kEntitySlots);
}

bool adDwgIsObjectClass(const AdDrawing* drawing, std::int16_t type) {
    return inSlots(drawing, type, kEntitySlots, AD_CLASS_SLOT_COUNT);
}
