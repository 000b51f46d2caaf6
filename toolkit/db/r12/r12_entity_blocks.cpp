// Type data of the entities that build blocks and sequences in fixed-record
// files: BLOCK, INSERT, POLYLINE and VERTEX.
#include "toolkit/db/r12/r12_entities.h"
#include "toolkit/db/r12/r12_entity_layout.h"

#include <cmath>

namespace {

constexpr double kSmallestScale = 1e-12;
constexpr std::int16_t k3dPolyline = 0x08;

std::int16_t optionalShort(AdR12Entity* entity, std::uint16_t option, std::int16_t fallback) {
    return entity->options & option ? adR12ReadShort(&entity->record) : fallback;
}

// A scale of (nearly) zero would collapse the block.
double scale(double value) { return std::fabs(value) < kSmallestScale ? 1.0 : value; }

}  // namespace

void adR12ReadBlock(AdR12Entity* entity, AdEntityHeader*, AdEntityData* data) {
    AdBlockData& block = data->block;
    block.name[0] = block.xrefPath[0] = '\0';
    adR12ReadPoint(&entity->record, block.basePoint);
    if (entity->version >= AD_R12_AC1006) adR12OptionalDouble(entity, 0x01, 0.0);
    if (entity->version < AD_R12_AC1009) return;
    if (entity->options & 0x02) adR12ReadTextField(&entity->record, block.xrefPath, sizeof block.xrefPath);
    if (entity->options & 0x04) adR12ReadTextField(&entity->record, block.name, sizeof block.name);
}

void adR12ReadInsert(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdInsertData& insert = data->insert;
    adGlobals->entityIndexes.block = adR12ReadShort(&entity->record);
    adR12ReadPoint(&entity->record, insert.insertion);
    insert.attributesFollow = entity->flags & AD_R12_ENTITY_ATTRIBUTES_FOLLOW;
    insert.scale[0] = scale(adR12OptionalDouble(entity, 0x01, 1.0));
    insert.scale[1] = scale(adR12OptionalDouble(entity, 0x02, 1.0));
    insert.rotation = adR12OptionalDouble(entity, 0x04, 0.0);
    insert.scale[2] = scale(adR12OptionalDouble(entity, 0x08, 1.0));
    insert.columnCount = optionalShort(entity, 0x10, 1);
    insert.rowCount = optionalShort(entity, 0x20, 1);
    if (insert.columnCount == 0) insert.columnCount = 1;
    if (insert.rowCount == 0) insert.rowCount = 1;
    insert.columnSpacing = adR12OptionalDouble(entity, 0x40, 0.0);
    insert.rowSpacing = adR12OptionalDouble(entity, 0x80, 0.0);
    if (entity->version >= AD_R12_AC1006 && (entity->options & 0x100)) adR12ReadExtrusion(&entity->record, header);
}

void adR12ReadPolyline(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdPolylineData& polyline = data->polyline;
    polyline = AdPolylineData{};
    polyline.elevation = adGlobals->entityElevation;
    if (entity->options & 0x01) polyline.flags = adR12ReadByte(&entity->record);
    polyline.startWidth = adR12OptionalDouble(entity, 0x02, 0.0);
    polyline.endWidth = adR12OptionalDouble(entity, 0x04, 0.0);
    if (polyline.flags & k3dPolyline) polyline.startWidth = polyline.endWidth = 0.0;
    if (entity->version < AD_R12_AC1006) return;
    if (entity->options & 0x08) adR12ReadExtrusion(&entity->record, header);
    polyline.meshMCount = optionalShort(entity, 0x10, 0);
    polyline.meshNCount = optionalShort(entity, 0x20, 0);
    polyline.meshMDensity = optionalShort(entity, 0x40, 0);
    polyline.meshNDensity = optionalShort(entity, 0x80, 0);
    polyline.curveType = optionalShort(entity, 0x100, 0);
}

void adR12ReadVertex(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdVertexData& vertex = data->vertex;
    vertex = AdVertexData{};
    vertex.point[2] = adGlobals->entityElevation;
    const bool face = entity->version >= AD_R12_AC1009 && (entity->options & AD_R12_VERTEX_FACE_RECORD);
    if (!face) adR12Read2D(&entity->record, vertex.point);
    if (entity->options & 0x01) {
        vertex.startWidth = adR12ReadDouble(&entity->record);
        vertex.startWidthGiven = 1;
    }
    if (entity->options & 0x02) {
        vertex.endWidth = adR12ReadDouble(&entity->record);
        vertex.endWidthGiven = 1;
    }
    vertex.bulge = adR12OptionalDouble(entity, 0x04, 0.0);
    if (entity->options & 0x08) vertex.flags = adR12ReadByte(&entity->record);
    vertex.tangentDirection = adR12OptionalDouble(entity, 0x10, 0.0);
    if (face) {
        for (std::uint16_t option = 0x20; option <= 0x100; option = static_cast<std::uint16_t>(option << 1))
            if (entity->options & option) vertex.faceIndices[vertex.faceIndexCount++] = adR12ReadShort(&entity->record);
    } else if (entity->version >= AD_R12_AC1006 && (entity->options & 0x20)) {
        adR12ReadExtrusion(&entity->record, header);
    }
}
