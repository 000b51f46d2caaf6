// Where the OBJECTS section's objects begin: the kind of the next object,
// and the groups every object starts with.
#include "toolkit/db/dxf/dxf_map_rows.h"
#include "toolkit/db/dxf/dxf_object_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
const std::int16_t kClassKind = 34;
const std::int16_t kProxyKind = 100;

struct ClassName {
    const char* name;
    AdClassSlot slot;
};
constexpr ClassName kClassObjects[] = {
    {"XRECORD", AD_CLASS_XRECORD},
    {"DIMASSOC", AD_CLASS_DIMASSOC},
    {"IDBUFFER", AD_CLASS_IDBUFFER},
    {"IMAGEDEF_REACTOR", AD_CLASS_IMAGEDEF_REACTOR},
    {"IMAGEDEF", AD_CLASS_IMAGEDEF},
    {"LAYER_INDEX", AD_CLASS_LAYER_INDEX},
    {"OBJECT_PTR", AD_CLASS_OBJECT_PTR},
    {"RASTERVARIABLES", AD_CLASS_RASTERVARIABLES},
    {"SPATIAL_FILTER", AD_CLASS_SPATIAL_FILTER},
    {"SPATIAL_INDEX", AD_CLASS_SPATIAL_INDEX},
    {"DICTIONARYVAR", AD_CLASS_DICTIONARYVAR},
    {"SORTENTSTABLE", AD_CLASS_SORTENTSTABLE},
    {"ACDBDICTIONARYWDFLT", AD_CLASS_ACDBDICTIONARYWDFLT},
    {"ACDBPLACEHOLDER", AD_CLASS_ACDBPLACEHOLDER},
    {"LAYOUT", AD_CLASS_LAYOUT},
    {"PLOTSETTINGS", AD_CLASS_PLOTSETTINGS},
    {"VBA_PROJECT", AD_CLASS_VBA_PROJECT},
    {"WIPEOUTVARIABLES", AD_CLASS_WIPEOUTVARIABLES},
};

// The kind of the object whose 0 group is the token; -1 for a known class
// object whose class the drawing lacks.
std::int32_t kindOf(const AdDrawing* drawing, const char* name) {
    if (std::strcmp(name, "DICTIONARY") == 0) return AD_OBJECT_DICTIONARY;
    if (std::strcmp(name, "MLINESTYLE") == 0) return AD_OBJECT_MLINESTYLE;
    if (std::strcmp(name, "CLASS") == 0) return kClassKind;
    if (std::strcmp(name, "GROUP") == 0) return AD_OBJECT_GROUP;
    if (std::strcmp(name, "ACAD_ZOMBIE_OBJECT") == 0 || std::strcmp(name, "ACAD_PROXY_OBJECT") == 0)
        return kProxyKind;
    const std::int32_t number = adDxfKnownClassNumber(drawing, name);
    if (number == 0) return -1;
    if (number > 0) return number;
    if (std::strcmp(name, "ENDSEC") == 0 || std::strcmp(name, "EOF") == 0 || std::strcmp(name, "SECTION") == 0)
        return 0;
    return kProxyKind;
}
}  // namespace

std::int32_t adDxfKnownClassNumber(const AdDrawing* drawing, const char* name) {
    for (const ClassName& known : kClassObjects)
        if (std::strcmp(name, known.name) == 0) return drawing->classNumbers[known.slot];
    return -1;
}

bool adDxfIsKnownObjectClass(const AdDrawing* drawing, std::int32_t number) {
    for (const ClassName& known : kClassObjects)
        if (number == drawing->classNumbers[known.slot]) return true;
    return false;
}

bool adDxfObjectNext(AdDxfObjectRead& read) {
    return adDxfNextGroup(read.drawing, read.xdataFlag) != 0;
}

bool adDxfObjectBack(AdDxfObjectRead& read) { return adDxfPutBack(read.drawing) != 0; }

bool adDxfObjectGroup(AdDxfObjectRead& read) {
    return adDxfRecordGroup(read.drawing, read.xdataFlag) == AdDxfRecordStep::Group;
}

bool adDxfObjectSkip(AdDxfObjectRead& read) {
    while (adDxfObjectGroup(read)) {
    }
    return true;
}

// A known object whose class is missing from CLASSES has no type to be
// stored under: it is passed over, noted with its handle among the records
// the load skipped, and the object after it answers, so that the rest of
// the section is still read.
int adDxfObjectKind(AdDrawing* drawing) {
    if (!drawing || !adGlobals || !drawing->file) return 0;
    for (;;) {
        if (!adDxfReadGroup(drawing)) return 0;
        const std::int32_t kind = kindOf(drawing, adDxfToken().text);
        if (kind >= 0) return adDxfPutBack(drawing) ? kind : 0;
        std::uint8_t xdata = 0;
        AdDxfObjectRead skip{drawing, nullptr, &xdata};
        AdHandle handle{};
        if (adDxfObjectGroup(skip) && adDxfToken().code == 5) handle = adDxfToken().handle;
        adDxfObjectSkip(skip);
        adGlobals->xdataLength = 0;
        adNoteSkippedRecord(drawing, AD_ERR_DXF_OBJECT_CLASS, handle);
        adSetError(AD_ERR_DXF_OBJECT_CLASS);
    }
}

bool adDxfObjectStart(AdDxfObjectRead& read, std::int16_t type, bool classObject) {
    AdObjectHeader& h = *read.header;
    h = AdObjectHeader{};
    h.type = type;
    *read.xdataFlag = 0;
    adGlobals->xdataLength = 0;
    if (!adDxfObjectNext(read) || adDxfToken().code != 0) return false;
    if (!adDxfObjectNext(read)) return false;
    if (adDxfToken().code == 5) h.handle = adDxfToken().handle;
    else adDxfObjectBack(read);
    if (!adDxfObjectNext(read)) return true;
    if (adDxfToken().code == 102) {
        if (!adDxfReadReactors(read.drawing, &h.reactors, &h.reactorCount, &h.extensionDictionary)) return false;
    } else {
        adDxfObjectBack(read);
    }
    if (!adDxfObjectNext(read)) return true;
    if (adDxfToken().code == 330) {
        h.owner = adDxfToken().handle;
        if (!classObject || !adDxfObjectNext(read)) return true;
    }
    if (!classObject || adDxfToken().code != 100) adDxfObjectBack(read);
    return true;
}

bool adDxfObjectByMap(AdDxfObjectRead& read, const AdDxfFieldMap* map, std::int32_t count, void* data,
                      bool stopAt100) {
    while (adDxfObjectGroup(read)) {
        const std::int16_t code = adDxfToken().code;
        if (stopAt100 && code == 100) return adDxfObjectBack(read);
        const AdDxfFieldMap* row = adDxfFindRow(map, count, code);
        if (row) adDxfStoreRow(read.drawing, *row, data);
    }
    return true;
}
