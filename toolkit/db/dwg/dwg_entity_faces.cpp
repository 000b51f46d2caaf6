// Four-cornered entity objects of AC1012+ files: 3DFACE, and SOLID and TRACE,
// whose corners lie in one plane at their elevation.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/ad_internal.h"

int adDwgReadFaceEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdFaceData& f = data->face;
    if (adDwgIsAc1015(drawing)) {
        const int noFlags = adBitReadBit();
        adBitReadOptionalDouble(f.corners[0]);
        // Each further corner is coded against the one before.
        for (int i = 1; i < 4; ++i)
            for (int axis = 0; axis < 3; ++axis) adBitReadDefDouble(&f.corners[i][axis], f.corners[i - 1][axis]);
        f.invisibleEdges = noFlags ? 0 : adBitReadShort();
    } else {
        for (double* corner : f.corners) adBitRead3D(corner);
        f.invisibleEdges = adBitReadShort();
    }
    return adDwgReadHandlesOnly(drawing, header, data);
}

int adDwgReadTraceEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdTraceData& t = data->trace;
    adDwgReadEntityThickness(drawing, header);
    double elevation = 0.0;
    adBitReadDouble(&elevation);
    for (double* corner : t.corners) {
        adBitReadRaw2D(corner);
        corner[2] = elevation;
    }
    adDwgReadEntityExtrusion(drawing, header);
    return adDwgReadHandlesOnly(drawing, header, data);
}
