// The multiline style a DXF header names becomes the header's handle; a
// style the OBJECTS section lacks is made, so that the header always names
// one.
#include "toolkit/db/completion_objects.h"
#include "toolkit/db/load_stages.h"

// The first MLINESTYLE of that name (any case); the object cursor is moved.
bool adFindMlineStyleByName(AdDrawing* drawing, const char* name, AdHandle* handle) {
    AdObjectHeader header{};
    AdObjectData data;
    if (!adObjectRewind(drawing)) return false;
    const std::int32_t count = adObjectCount(drawing);
    for (std::int32_t i = 0; i < count && adObjectNext(drawing, &header, &data); ++i) {
        if (header.type == AD_OBJECT_MLINESTYLE && adStrCompareNoCase(data.mlineStyle.name, name) == 0) {
            *handle = header.handle;
            return true;
        }
    }
    return false;
}

int adFindStandardMlineStyle(AdDrawing* drawing, AdHandle* handle) {
    if (!drawing || !handle || !adGlobals) return 0;
    const char* named = adGlobals->headerNames[AD_HEADER_NAME_CMLSTYLE];
    const char* name = named[0] ? named : "Standard";
    if (adFindMlineStyleByName(drawing, name, handle)) return 1;
    AdHandle made{};
    if (!adNextHandle(drawing, &made) || !adCompletionAddMlineStyle(drawing, name, &made, nullptr)) return 0;
    *handle = made;
    return 1;
}
