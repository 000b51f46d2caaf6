// What the entity readers of fixed-record DWG files (AC1002 to AC1009)
// share: the record being read, its common part and the readers of the
// type data, one per entity type.
#pragma once
#include "toolkit/db/r12/r12_file.h"

// Record types with a meaning of their own to the walk.
constexpr std::uint8_t AD_R12_JUMP = 18;
constexpr std::uint8_t AD_R12_ERASED = 0x80;
// Addresses inside the file keep flags in their top bits.
constexpr std::int32_t AD_R12_ADDRESS_MASK = 0x3FFFFFF;

// One entity record, read whole into the read buffer, with the bits of its
// common part that govern the fields after it.
struct AdR12Entity {
    AdR12Record record;
    std::int16_t version;
    std::uint8_t type;  // the file's type byte
    std::uint8_t flags;
    std::uint16_t options;
    std::uint8_t extras;
    std::int32_t length;  // of the whole record
};

// Reads the record at the file position into the read buffer and its start:
// type, flags, length, layer, options and extra flags. 0 at a type the
// walk cannot read and at a record the file does not hold whole.
int adR12ReadEntityStart(AdDrawing* drawing, AdR12Entity* entity, AdEntityHeader* header);
// Moves the extended data into the record buffer for the collector; flags
// AD_ENTITY_READ_XDATA when there is any.
void adR12ReadEntityXdata(AdR12Entity* entity, std::uint8_t* flag);
// The optional common fields and the type data; 0 when the record is too
// short for them.
int adR12ReadEntityData(AdDrawing* drawing, AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
// 3RD extrusion; the header's extruded flag unless it is exactly (0, 0, 1).
void adR12ReadExtrusion(AdR12Record* record, AdEntityHeader* header);

// Two doubles into x and y of a point whose z is the entity's elevation.
void adR12ReadPoint(AdR12Record* record, double point[3]);
// An RD when the option bit is set, else the fallback.
double adR12OptionalDouble(AdR12Entity* entity, std::uint16_t option, double fallback);
// A text of a field with capacity bytes.
void adR12ReadTextField(AdR12Record* record, char* field, std::size_t capacity);

// Type data, after the common fields.
using AdR12TypeReader = void (*)(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadLine(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadPointEntity(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadCircle(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadArc(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadShape(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadTrace(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12Read3dLine(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12Read3dFace(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadTextEntity(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadAttdef(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadAttrib(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadBlock(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadInsert(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadPolyline(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadVertex(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadDimension(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
void adR12ReadViewport(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data);
