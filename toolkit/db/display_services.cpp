// The database's services in the forms the display engine calls them.
#include "toolkit/ad.h"

int adDimStyleOverrides(AdDrawing* drawing, const AdEntityHeader* entity, const AdHandle* dimStyle,
                        AdDimStyleSettings* settings) {
    if (!settings) return 0;
    adDimStyleOverrides(drawing, entity, settings, dimStyle);
    return 1;
}

int adFindSpatialFilter(AdDrawing* drawing, const AdEntityHeader* entity, AdObjectHeader* header,
                        AdSpatialFilterData* filter) {
    AdHandle handle;
    if (!adFindSpatialFilter(drawing, entity, &handle)) return 0;
    AdObjectData data;
    if (!adObjectByHandle(drawing, &handle, header, &data) || header->type != adClassNumSpatialFilter(drawing)) return 0;
    *filter = data.spatialFilter;
    return 1;
}
