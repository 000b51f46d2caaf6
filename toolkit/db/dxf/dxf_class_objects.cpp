// The class-numbered objects of OBJECTS: the common start, then the reader
// of the object's name; objects of other registered classes are kept
// bit-coded.
#include "toolkit/db/dxf/dxf_object_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
const std::int16_t kProxyType = 100;
const std::int16_t kEncodedType = 499;

// The first class from 500 up with the DXF name; 0 when none.
std::int16_t classNumber(AdDrawing* drawing, const char* name) {
    AdClassRecord record{};
    return adClassByName(drawing, name, &record) && record.number >= AD_FIRST_CLASS_NUMBER ? record.number : 0;
}

std::int16_t typeOf(AdDrawing* drawing, const char* name, std::int16_t* encodedClass) {
    *encodedClass = 0;
    if (std::strcmp(name, "ACAD_ZOMBIE_OBJECT") == 0 || std::strcmp(name, "ACAD_PROXY_OBJECT") == 0)
        return kProxyType;
    const std::int32_t known = adDxfKnownClassNumber(drawing, name);
    if (known >= 0) return static_cast<std::int16_t>(known);
    *encodedClass = classNumber(drawing, name);
    return *encodedClass ? kEncodedType : 0;
}

bool readLayout(AdDxfObjectRead& read, AdLayoutData& d) {
    if (adDxfToken().code == 100 && std::strcmp(adDxfToken().text, "AcDbPlotSettings") == 0 &&
        !adDxfReadPlotSettings(read, &d.plotSettings))
        return false;
    std::int32_t count = 0;
    const AdDxfFieldMap* map = adDxfObjectMap(AD_DXF_MAP_LAYOUT, &count);
    return adDxfObjectByMap(read, map, count, &d, false);
}

bool readByMap(AdDxfObjectRead& read, AdDxfObjectMap which, void* data) {
    std::int32_t count = 0;
    const AdDxfFieldMap* map = adDxfObjectMap(which, &count);
    return adDxfObjectByMap(read, map, count, data, false);
}

bool readObject(AdDxfObjectRead& read, const char* name, void* data) {
    bool handled = false;
    const bool ok = adDxfReadSpecialObject(read, name, data, &handled);
    if (handled) return ok;
    if (std::strcmp(name, "LAYOUT") == 0) return readLayout(read, *static_cast<AdLayoutData*>(data));
    if (std::strcmp(name, "PLOTSETTINGS") == 0)
        return adDxfReadPlotSettings(read, static_cast<AdPlotSettingsData*>(data));
    if (std::strcmp(name, "IMAGEDEF") == 0) return readByMap(read, AD_DXF_MAP_IMAGEDEF, data);
    if (std::strcmp(name, "RASTERVARIABLES") == 0) return readByMap(read, AD_DXF_MAP_RASTERVARIABLES, data);
    if (std::strcmp(name, "WIPEOUTVARIABLES") == 0) return readByMap(read, AD_DXF_MAP_WIPEOUTVARIABLES, data);
    return true;  // ACDBPLACEHOLDER and OBJECT_PTR: nothing is read
}
}  // namespace

int adDxfClassObjectRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag) {
    if (!drawing || !header || !data || !xdataFlag || !adGlobals || !drawing->file) return 0;
    if (!adDxfReadGroup(drawing) || !adDxfPutBack(drawing)) return 0;
    char name[AD_TABLE_NAME_SIZE];
    adDxfCopyText(name, sizeof name, adDxfToken().text);
    std::int16_t encodedClass = 0;
    const std::int16_t type = typeOf(drawing, name, &encodedClass);
    AdDxfObjectRead read{drawing, header, xdataFlag};
    std::memset(data, 0, sizeof(AdObjectData));
    if (type == 0) {
        // No class of the drawing has the name: the object is passed over,
        // its handle kept for the note the loader makes of it.
        adDxfObjectNext(read);
        if (adDxfObjectGroup(read) && adDxfToken().code == 5) header->handle = adDxfToken().handle;
        adDxfObjectSkip(read);
        adSetError(AD_ERR_DXF_OBJECT_CLASS);
        return 0;
    }
    if (!adDxfObjectStart(read, type, true)) return 0;
    bool ok = true;
    if (type == kProxyType) ok = adDxfReadProxyObject(read, static_cast<AdProxyObjectData*>(data));
    else if (type == kEncodedType) ok = adDxfReadEncodedObject(read, encodedClass, static_cast<AdProxyObjectData*>(data));
    else ok = readObject(read, name, data);
    adDxfObjectSkip(read);
    if (!ok) adObjectFreeData(drawing, header, data);
    return ok ? 1 : 0;
}
