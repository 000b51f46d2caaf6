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

AdDxfRecordStep adDxfRecordGroup(AdDrawing* drawing, std::uint8_t* xdataFlag) {
    const int read = xdataFlag ? adDxfNextGroup(drawing, xdataFlag) : adDxfReadGroup(drawing);
    if (!read) return AdDxfRecordStep::FileEnd;
    if (adDxfToken().code != 0) return AdDxfRecordStep::Group;
    return adDxfPutBack(drawing) ? AdDxfRecordStep::RecordEnd : AdDxfRecordStep::FileEnd;
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

}  // namespace

int adDxfReadTableRecord(AdDrawing* drawing, int kind, void* record, std::uint8_t* xdataFlag,
                         std::int32_t* reactorCount, AdStore** reactors, AdObjectHeader* objectHeader) {
    const char* name = adDxfRecordKindName(kind);
    if (!drawing || !adGlobals || !name || !findRecord(drawing, name)) return 0;
    AdDxfRecordStep step;
    while ((step = adDxfRecordGroup(drawing, xdataFlag)) == AdDxfRecordStep::Group) {
        const AdDxfToken& t = adDxfToken();
        // A multiline style's own groups end where its elements begin.
        if (kind == AD_DXF_KIND_MLINESTYLE && t.code == 49) return adDxfPutBack(drawing);
        if (adDxfTokenIs(102, "{ACAD_REACTORS")) {
            if (!adDxfCollectReactors(drawing, reactors, reactorCount)) return 0;
        } else if (kind == AD_DXF_KIND_LAYER && t.code == 6) {
            adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_LAYER_LINETYPE], AD_TABLE_NAME_SIZE, t.text);
        } else if (t.code == 330 && objectHeader) {
            objectHeader->owner = t.handle;
        } else {
            adDxfApplyTableGroup(drawing, kind, t.code, record);
        }
    }
    return step == AdDxfRecordStep::RecordEnd ? 1 : 0;
}
