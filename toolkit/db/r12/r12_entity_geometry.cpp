// Type data of the plain geometric entities of fixed-record files.
#include "toolkit/db/r12/r12_entities.h"
#include "toolkit/db/r12/r12_entity_layout.h"

#include <cmath>

namespace {

bool fromAc1006(const AdR12Entity* entity) { return entity->version >= AD_R12_AC1006; }

// A point with a z of its own unless the flags say the entity lies flat.
void readPointWithZ(AdR12Entity* entity, double point[3]) {
    adR12ReadPoint(&entity->record, point);
    if (!(entity->flags & AD_R12_ENTITY_ELEVATION)) point[2] = adR12ReadDouble(&entity->record);
}

void readExtrusionFrom1006(AdR12Entity* entity, AdEntityHeader* header, std::uint16_t option) {
    if (fromAc1006(entity) && (entity->options & option)) adR12ReadExtrusion(&entity->record, header);
}

double radius(AdR12Record* record) {
    const double r = adR12ReadDouble(record);
    return r < 0.0 || std::isnan(r) ? 0.0 : r;
}

}  // namespace

void adR12ReadLine(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdLineData& line = data->line;
    if (fromAc1006(entity)) {
        readPointWithZ(entity, line.start);
        readPointWithZ(entity, line.end);
    } else {
        adR12ReadPoint(&entity->record, line.start);
        adR12ReadPoint(&entity->record, line.end);
    }
    readExtrusionFrom1006(entity, header, 0x01);
}

void adR12ReadPointEntity(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdPointData& point = data->point;
    point.xAxisAngle = 0.0;
    if (!fromAc1006(entity)) {
        adR12ReadPoint(&entity->record, point.point);
        return;
    }
    readPointWithZ(entity, point.point);
    if (entity->options & 0x01) adR12ReadExtrusion(&entity->record, header);
    if (entity->options & 0x02) point.xAxisAngle = adR12ReadDouble(&entity->record);
}

void adR12ReadCircle(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    adR12ReadPoint(&entity->record, data->circle.centre);
    data->circle.radius = radius(&entity->record);
    readExtrusionFrom1006(entity, header, 0x01);
}

void adR12ReadArc(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdArcData& arc = data->arc;
    adR12ReadPoint(&entity->record, arc.centre);
    arc.radius = radius(&entity->record);
    arc.startAngle = adR12ReadDouble(&entity->record);
    arc.endAngle = adR12ReadDouble(&entity->record);
    readExtrusionFrom1006(entity, header, 0x01);
}

void adR12ReadShape(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdShapeData& shape = data->shape;
    AdR12Record* record = &entity->record;
    adR12ReadPoint(record, shape.insertion);
    shape.size = adR12ReadDouble(record);
    shape.shapeNumber = adR12ReadByte(record);
    shape.rotation = adR12OptionalDouble(entity, 0x01, 0.0);
    adGlobals->entityIndexes.textStyle = adR12ReadByte(record);
    shape.widthFactor = adR12OptionalDouble(entity, 0x04, 1.0);
    shape.obliqueAngle = adR12OptionalDouble(entity, 0x08, 0.0);
    readExtrusionFrom1006(entity, header, 0x10);
}

void adR12ReadTrace(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    for (double* corner : data->trace.corners) adR12ReadPoint(&entity->record, corner);
    readExtrusionFrom1006(entity, header, 0x01);
}

// AC1002 records of the 3D types keep the defaults: what their type data
// holds is not known.
void adR12Read3dLine(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    if (entity->version < AD_R12_AC1003) return;
    if (fromAc1006(entity)) {
        adR12ReadLine(entity, header, data);
        return;
    }
    AdLineData& line = data->line;
    AdR12Record* record = &entity->record;
    adR12Read2D(record, line.start);
    line.start[2] = entity->options & 0x01 ? adR12ReadDouble(record) : 0.0;
    adR12Read2D(record, line.end);
    line.end[2] = entity->options & 0x02 ? adR12ReadDouble(record) : 0.0;
}

void adR12Read3dFace(AdR12Entity* entity, AdEntityHeader*, AdEntityData* data) {
    AdFaceData& face = data->face;
    face = AdFaceData{};
    if (entity->version < AD_R12_AC1003) return;
    AdR12Record* record = &entity->record;
    for (int i = 0; i < 4; ++i) {
        adR12Read2D(record, face.corners[i]);
        const bool z = fromAc1006(entity) ? !(entity->flags & AD_R12_ENTITY_ELEVATION) : (entity->options & (1u << i)) != 0;
        if (z) face.corners[i][2] = adR12ReadDouble(record);
    }
    if (fromAc1006(entity) && (entity->options & 0x01)) face.invisibleEdges = adR12ReadShort(record);
}
