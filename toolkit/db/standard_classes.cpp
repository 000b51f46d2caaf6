// The classes every drawing knows, registered after the file's own.
#include "toolkit/ad.h"
#include "toolkit/db/load_stages.h"

namespace {
const std::int16_t kEntity = 498;
const std::int16_t kObject = 499;
const char kAcad2000[] = "AutoCAD 2000";
const char kIsm[] = "ISM";

struct StandardClass {
    const char* dxfName;
    const char* className;
    const char* application;
    std::int32_t proxyFlags;
    std::int16_t item;
};

const StandardClass kClasses[] = {
    {"LWPOLYLINE", "AcDbPolyline", kAcad2000, 32768, kEntity},
    {"IMAGE", "AcDbRasterImage", kIsm, 32895, kEntity},
    {"OLE2FRAME", "AcDbOle2Frame", kAcad2000, 32768, kEntity},
    {"HATCH", "AcDbHatch", kAcad2000, 32768, kEntity},
    {"DICTIONARYVAR", "AcDbDictionaryVar", kAcad2000, 32768, kObject},
    {"RASTERVARIABLES", "AcDbRasterVariables", kIsm, 32768, kObject},
    {"IMAGEDEF", "AcDbRasterImageDef", kIsm, 32768, kObject},
    {"IMAGEDEF_REACTOR", "AcDbRasterImageDefReactor", kIsm, 32769, kObject},
    {"IDBUFFER", "AcDbIdBuffer", kAcad2000, 32768, kObject},
    {"SPATIAL_FILTER", "AcDbSpatialFilter", kAcad2000, 32768, kObject},
    {"XRECORD", "AcDbXrecord", kAcad2000, 32768, kObject},
    {"SORTENTSTABLE", "AcDbSortentsTable", kAcad2000, 32768, kObject},
    {"LAYER_INDEX", "AcDbLayerIndex", kAcad2000, 32768, kObject},
    {"SPATIAL_INDEX", "AcDbSpatialIndex", kAcad2000, 32768, kObject},
    {"OBJECT_PTR", "CAseDLPNTableRecord", "\"ASE-LPNTableRecord\"", 32769, kObject},
    {"LAYOUT", "AcDbLayout", kAcad2000, 0, kObject},
    {"PLOTSETTINGS", "AcDbPlotSettings", kAcad2000, 32768, kObject},
    {"ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault", kAcad2000, 0, kObject},
    {"ACDBPLACEHOLDER", "AcDbPlaceHolder", kAcad2000, 0, kObject},
    {"VBA_PROJECT", "AcDbVbaProject", "acadvba", 32768, kObject},
    {"WIPEOUT", "AcDbWipeout", "WipeOut|AutoCAD Express Tool|tools@vistrelmar.example", 32895, kEntity},
    {"WIPEOUTVARIABLES", "AcDbWipeoutVariables", "WipeOut|AutoCAD Express Tool|tools@vistrelmar.example", 32768,
     kObject},
    {"RTEXT", "RText", "RText|AutoCAD Express Tool|tools@vistrelmar.example", 32768, kEntity},
    {"ARCALIGNEDTEXT", "AcDbArcAlignedText", "ATEXT|AutoCAD Express Tool|tools@vistrelmar.example", 32768, kEntity},
};
}  // namespace

int adRegisterStandardClasses(AdDrawing* drawing) {
    for (const StandardClass& c : kClasses)
        if (!adClassRegister(drawing, c.dxfName, c.className, c.application, c.proxyFlags, c.item, 0)) return 0;
    return 1;
}
