// Reading one table or object record through its kind's map, and passing
// over the extended data that ends a record's groups.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

int adDxfNextGroup(AdDrawing* drawing, std::uint8_t* xdataFlag) {
    if (!drawing || !adGlobals) return 0;
    for (;;) {
        if (!adDxfReadGroup(drawing)) return 0;
        const std::int16_t code = adDxfToken().code;
        if (code < 1000) return 1;
        if (adDxfXdataGroup(drawing, code)) *xdataFlag = 1;
    }
}

namespace {
// Reads up to the record's 0 group; 0 at 0 ENDSEC or the end of the file.
bool findRecord(AdDrawing* drawing, const char* name) {
    while (adDxfReadGroup(drawing)) {
        if (adDxfTokenIs(0, "ENDSEC")) return false;
        if (adDxfTokenIs(0, name)) return true;
    }
    return false;
}

// A multiline style's own groups end where its elements begin.
bool endsRecord(int kind, std::int16_t code) { return code == 0 || (kind == AD_DXF_KIND_MLINESTYLE && code == 49); }
}  // namespace

int adDxfReadTableRecord(AdDrawing* drawing, int kind, void* record, std::uint8_t* xdataFlag,
                         std::int32_t* reactorCount, AdStore** reactors, AdObjectHeader* objectHeader) {
    const char* name = adDxfRecordKindName(kind);
    if (!drawing || !adGlobals || !name || !findRecord(drawing, name)) return 0;
    for (;;) {
        if (!adDxfReadGroup(drawing)) return 0;
        const AdDxfToken& t = adDxfToken();
        if (endsRecord(kind, t.code)) break;
        if (adDxfTokenIs(102, "{ACAD_REACTORS")) {
            if (!adDxfCollectReactors(drawing, reactors, reactorCount)) return 0;
        } else if (kind == AD_DXF_KIND_LAYER && t.code == 6) {
            adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_LAYER_LINETYPE], AD_TABLE_NAME_SIZE, t.text);
        } else if (t.code == 330 && objectHeader) {
            objectHeader->owner = t.handle;
        } else if (t.code < 1000) {
            adDxfApplyTableGroup(drawing, kind, t.code, record);
        } else if (adDxfXdataGroup(drawing, t.code)) {
            *xdataFlag = 1;
        }
    }
    return adDxfPutBack(drawing);
}
