// The HEADER section of a DXF file: every group whose text names a header
// variable is followed by that variable's value.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
// The next group; at the end of the file the HEADER section is cut short.
bool next(AdDrawing* drawing) {
    if (adDxfReadGroup(drawing)) return true;
    if (adGlobals->errorCode != AD_ERR_DXF_LINE_LENGTH && adGlobals->errorCode != AD_ERR_DXF_GROUP_CODE)
        adSetError(AD_ERR_DXF_HEADER_EOF);
    return false;
}

std::int16_t tokenShort() { return static_cast<std::int16_t>(adDxfTokenInteger()); }

// A point's x is the value read; y and z follow as 20 and 30 groups when
// the file gives them. Leaves the group after the value in the token.
bool storeValue(AdDrawing* drawing, AdHeaderVars* header, const AdHeaderVarDesc* desc) {
    const AdDxfToken& t = adDxfToken();
    if (!next(drawing)) return false;
    adHeaderStoreValue(header, desc, tokenShort(), t.real, t.text);
    const int type = desc->type & 0xFF;
    if (!next(drawing)) return false;
    if (type != AD_HV_POINT2 && type != AD_HV_POINT3) return true;
    if (t.code != 20) return true;
    adHeaderStoreCoordinate(header, desc, 1, t.real);
    if (!next(drawing)) return false;
    if (type != AD_HV_POINT3 || t.code != 30) return true;
    adHeaderStoreCoordinate(header, desc, 2, t.real);
    return next(drawing);
}
}  // namespace

// The group codes are not checked: any group whose text, less its first
// character, is a variable's name announces that variable.
int adDxfReadHeader(AdDrawing* drawing, AdHeaderVars* header) {
    const AdDxfToken& t = adDxfToken();
    if (!next(drawing)) return 0;
    for (;;) {
        const AdHeaderVarDesc* desc = t.text[0] ? adHeaderVarFind(t.text + 1) : nullptr;
        if (desc) {
            if (!storeValue(drawing, header, desc)) return 0;
            continue;
        }
        if (adDxfTokenIs(0, "ENDSEC")) break;
        if (!next(drawing)) return 0;
    }
    return adDxfHeaderFinish(drawing);
}
