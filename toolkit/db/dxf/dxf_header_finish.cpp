// What a DXF header needs once its HEADER section has been read: the version
// it is loaded as, the AC1015 form of the dimension unit, the table-index
// slots the DWG reader would have filled, and the base angle in radians.
#include "toolkit/db/dimension_unit.h"
#include "toolkit/ad.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstdio>
#include <cstring>
#include <numbers>

namespace {
// The version a DXF header names. Release 2.1 files carry "AC2.1" with
// anything after it. The pre-release strings load as the release they
// preceded, as they do for DWG files: read as AC1009, their handles would all
// be replaced and every reference between objects lost. -1 for an unknown
// version; -2 for a pre-release file the host does not accept.
int dxfVersion(AdHeaderVars* h) {
    if (std::strncmp(h->acadver, "AC2.1", 5) == 0) {
        std::snprintf(h->acadver, sizeof h->acadver, "%s", "AC1002");
    }
    int version = adVersionIndex(h->acadver);
    if (version >= 0) return version;
    if (std::strcmp(h->acadver, "AC1013") == 0) {
        if (!adGlobals->acceptPreRelease) return -2;
        adGlobals->preReleaseSeen = 1;
        return adVersionIndex("AC1014");
    }
    if (std::strcmp(h->acadver, "AC1500") == 0) return adVersionIndex("AC1015");
    return -1;
}

// A DXF header names its records; only the current linetype's two pseudo
// names have an index. Nothing of an earlier load may stay in the slots.
void setIndexSlots() {
    for (std::int16_t& slot : adGlobals->headerIndexes) slot = 0;
    const char* linetype = adGlobals->headerNames[AD_HEADER_NAME_CELTYPE];
    if (adStrCompareNoCase(linetype, "BYLAYER") == 0) {
        adGlobals->headerIndexes[AD_HEADER_INDEX_LINETYPE] = AD_LINETYPE_INDEX_BYLAYER;
    } else if (adStrCompareNoCase(linetype, "BYBLOCK") == 0) {
        adGlobals->headerIndexes[AD_HEADER_INDEX_LINETYPE] = AD_LINETYPE_INDEX_BYBLOCK;
    }
}
}  // namespace

int adDxfHeaderFinish(AdDrawing* drawing) {
    if (!drawing || !drawing->header || !adGlobals) return 0;
    AdHeaderVars* h = drawing->header;
    int version = dxfVersion(h);
    if (version == -2) {
        adSetError(AD_ERR_PRE_RELEASE);
        return 0;
    }
    if (version < 0) {
        version = adVersionIndex("AC1009");
        std::snprintf(h->acadver, sizeof h->acadver, "%s", "AC1009");
        drawing->unknownVersion = 1;
    }
    drawing->version = static_cast<std::int16_t>(version);
    if (version == adVersionIndex("AC1012") || version == adVersionIndex("AC1014")) adDimUnitToAc1015(h);
    setIndexSlots();
    h->angbase = h->angbase * (1.0 / 180.0) * std::numbers::pi;
    return 1;
}
