// The entries of the CLASSES section.
#include "toolkit/write/dxf/dxf_table_records.h"
#include "toolkit/ad_internal.h"

#include <cstring>

namespace {
// The maker's address that the add-on classes carry after their names.
#define AD_EXPRESS_TOOL_ADDRESS "support@kestrow.example"

struct OlderClass {
    const char* dxfName;
    const char* application;
    std::int32_t proxyFlags;
};

// The application names and proxy flags that AC1012 and AC1014 give the
// classes they know.
constexpr OlderClass kOlderClasses[] = {
    {"LWPOLYLINE", "\"AutoCAD\"", 0},
    {"IMAGE", "ISM", 127},
    {"OLE2FRAME", "\"\"", 0},
    {"HATCH", "\"ACAD_SEDONA\"", 0},
    {"DICTIONARYVAR", "\"AutoCAD\"", 0},
    {"RASTERVARIABLES", "ISM", 0},
    {"IMAGEDEF", "ISM", 0},
    {"IMAGEDEF_REACTOR", "ISM", 1},
    {"IDBUFFER", "\"Acad\"", 0},
    {"SPATIAL_FILTER", "\"Acad\"", 0},
    {"XRECORD", "\"<Built In>\"", 0},
    {"SORTENTSTABLE", "\"AutoCAD\"", 0},
    {"LAYER_INDEX", "\"Acad\"", 0},
    {"SPATIAL_INDEX", "\"Acad\"", 0},
    {"OBJECT_PTR", "\"ASE-LPNTableRecord\"", 1},
    {"LAYOUT", "\"AutoCAD 2000\"", 1},
    {"PLOTSETTINGS", "\"AutoCAD 2000\"", 1},
    {"ACDBDICTIONARYWDFLT", "\"AutoCAD 2000\"", 1},
    {"ACDBPLACEHOLDER", "\"AutoCAD 2000\"", 1},
    {"VBA_PROJECT", "\"acadvba\"", 1},
    {"WIPEOUT", "WipeOut|AutoCAD Express Tool|" AD_EXPRESS_TOOL_ADDRESS, 127},
    {"WIPEOUTVARIABLES", "WipeOut|AutoCAD Express Tool|" AD_EXPRESS_TOOL_ADDRESS, 0},
    {"RTEXT", "RText|AutoCAD Express Tool|" AD_EXPRESS_TOOL_ADDRESS, 0},
    {"ARCALIGNEDTEXT", "ATEXT|AutoCAD Express Tool|" AD_EXPRESS_TOOL_ADDRESS, 0},
};
#undef AD_EXPRESS_TOOL_ADDRESS

int writeClass(AdOutputDrawing* output, const AdClassRecord& r, const char* application, std::int32_t proxyFlags) {
    AdDxfGroupRun run{output};
    run.text(0, AdDxfKeywordTable[AD_KW_CLASS]);
    run.text(1, r.dxfName);
    run.text(2, r.className);
    run.text(3, application);
    run.longGroup(90, proxyFlags);
    run.shortGroup(280, r.wasProxy);
    run.shortGroup(281, r.isEntity == AD_ENTITY_PROXY ? 1 : 0);
    return run.ok;
}
}  // namespace

int adDxfWriteClass(AdOutputDrawing* output, const AdClassRecord* record) {
    return writeClass(output, *record, record->applicationName, record->proxyFlags);
}

int adDxfWriteClassR13(AdOutputDrawing* output, const AdClassRecord* record) {
    for (const OlderClass& older : kOlderClasses)
        if (adStrCompareNoCase(record->dxfName, older.dxfName) == 0)
            return writeClass(output, *record, older.application, older.proxyFlags);
    return writeClass(output, *record, record->applicationName, record->proxyFlags);
}

std::int32_t adDxfWrittenClassNumber(AdDrawing* source, std::int32_t number) {
    AdClassRecord record{};
    std::int32_t position = 0;
    adClassRewind(source);
    for (; adClassNext(source, &record); ++position)
        if (record.number == number) return AD_FIRST_CLASS_NUMBER + position;
    return number;
}
