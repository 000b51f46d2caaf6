// The drawing's class-number slots of the classes the toolkit knows by name.
#include "toolkit/ad.h"

namespace {

// DXF record names in AdClassSlot order.
constexpr const char* kSlotNames[AD_CLASS_SLOT_COUNT] = {
    "OLE2FRAME",     "HATCH",         "LWPOLYLINE",     "IMAGE",          "RTEXT",
    "ARCALIGNEDTEXT", "WIPEOUT",      "XRECORD",        "IDBUFFER",       "DICTIONARYVAR",
    "IMAGEDEF",      "IMAGEDEF_REACTOR", "RASTERVARIABLES", "SPATIAL_FILTER", "SORTENTSTABLE",
    "LAYER_INDEX",   "SPATIAL_INDEX", "OBJECT_PTR",     "ACDBDICTIONARYWDFLT", "ACDBPLACEHOLDER",
    "LAYOUT",        "VBA_PROJECT",   "WIPEOUTVARIABLES", "PLOTSETTINGS", "DIMASSOC",
};

}  // namespace

int adClassNumSet(AdDrawing* drawing, const char* dxfName, std::int16_t number) {
    if (!drawing || !dxfName) return 1;
    for (int slot = 0; slot < AD_CLASS_SLOT_COUNT; ++slot) {
        if (adStrCompareNoCaseN(kSlotNames[slot], dxfName, AD_TABLE_NAME_SIZE) == 0) {
            drawing->classNumbers[slot] = number;
            break;
        }
    }
    return 1;
}
