// Type data of DIMENSION and VIEWPORT in fixed-record files.
#include "toolkit/db/r12/r12_entities.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {

// A point of the dimension: x and y, and from AC1006 a z of its own.
void readDimensionPoint(AdR12Entity* entity, double point[3]) {
    adR12ReadPoint(&entity->record, point);
    if (entity->version >= AD_R12_AC1006) point[2] = adR12ReadDouble(&entity->record);
}

}  // namespace

// AC1002 records keep the defaults: what their type data holds is not known.
void adR12ReadDimension(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdDimensionData& dim = data->dimension;
    AdR12Record* record = &entity->record;
    const std::uint16_t options = entity->options;
    adDwgDimensionDefaults(&dim);
    dim.definitionPoint[0] = dim.definitionPoint[1] = 0.0;
    dim.definitionPoint[2] = adGlobals->entityElevation;
    dim.textMidpoint[0] = dim.textMidpoint[1] = 0.0;
    if (entity->version < AD_R12_AC1003) return;
    adGlobals->entityIndexes.block = adR12ReadShort(record);
    readDimensionPoint(entity, dim.definitionPoint);
    adR12Read2D(record, dim.textMidpoint);
    if (options & 0x01) {
        adR12Read2D(record, dim.clonePoint);
        dim.clonePointGiven = 1;
    }
    if (options & 0x02) dim.dimensionType = adR12ReadByte(record);
    if (options & 0x04) adR12ReadTextField(record, dim.text, sizeof dim.text);
    // Points 13, 14 and 15 follow 16 in the record's order of definition points.
    for (int i = 1; i <= 3; ++i)
        if (options & (0x04 << i)) readDimensionPoint(entity, dim.definitionPoints[i]);
    if (options & 0x40) {
        adR12ReadPoint(record, dim.definitionPoints[0]);
        if (entity->version >= AD_R12_AC1006) dim.definitionPoints[0][2] = dim.clonePoint[2];
    }
    dim.leaderLength = adR12OptionalDouble(entity, 0x80, 0.0);
    dim.rotation = adR12OptionalDouble(entity, 0x100, 0.0);
    if (entity->version == AD_R12_AC1006) {
        dim.horizontalDirection = adR12OptionalDouble(entity, 0x2000, 0.0);
        if (options & 0x4000) adR12ReadExtrusion(record, header);
        return;
    }
    if (entity->version < AD_R12_AC1009) return;
    dim.obliqueAngle = adR12OptionalDouble(entity, 0x200, 0.0);
    dim.textRotation = adR12OptionalDouble(entity, 0x400, 0.0);
    adR12OptionalDouble(entity, 0x800, 0.0);
    dim.angle54 = adR12OptionalDouble(entity, 0x1000, 0.0);
    dim.horizontalDirection = adR12OptionalDouble(entity, 0x2000, 0.0);
    if (options & 0x4000) adR12ReadExtrusion(record, header);
    if (options & 0x8000) adGlobals->entityIndexes.dimStyle = adR12ReadShort(record);
}

// Viewports before AC1009 keep the defaults: their type data is not known.
void adR12ReadViewport(AdR12Entity* entity, AdEntityHeader*, AdEntityData* data) {
    AdViewportData& viewport = data->viewport;
    adDefaultViewportData(&viewport);
    viewport.status = 0;
    viewport.viewDirection[0] = viewport.viewDirection[1] = 0.0;
    viewport.viewDirection[2] = 1.0;
    if (entity->version < AD_R12_AC1009) return;
    AdR12Record* record = &entity->record;
    adR12Read3D(record, viewport.centre);
    viewport.width = adR12ReadDouble(record);
    viewport.height = adR12ReadDouble(record);
    viewport.id = adR12ReadShort(record);
}
