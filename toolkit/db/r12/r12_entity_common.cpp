// The common part of a fixed-record entity: the start that every record
// has, its extended data, and the optional fields its flags announce; then
// the type data by the table of type readers.
#include "toolkit/db/r12/r12_entities.h"
#include "toolkit/db/r12/r12_entity_layout.h"
#include "toolkit/db/load_stages.h"

#include <cstring>

namespace {

constexpr std::int32_t kLeadBytes = 4;  // type, flags, length

// Types 5, 6 and 10 have no fixed record; 0 and codes above 24 are not
// entities.
bool readable(std::uint8_t type) { return type >= 1 && type <= 24 && type != 5 && type != 6 && type != 10; }

const AdR12TypeReader kTypeReaders[25] = {
    nullptr,
    adR12ReadLine,
    adR12ReadPointEntity,
    adR12ReadCircle,
    adR12ReadShape,
    nullptr,
    nullptr,
    adR12ReadTextEntity,
    adR12ReadArc,
    adR12ReadTrace,
    nullptr,
    adR12ReadTrace,
    adR12ReadBlock,
    nullptr,  // ENDBLK has no type data
    adR12ReadInsert,
    adR12ReadAttdef,
    adR12ReadAttrib,
    nullptr,  // SEQEND: what follows its common part is not kept
    nullptr,  // jumps are taken by the walk
    adR12ReadPolyline,
    adR12ReadVertex,
    adR12Read3dLine,
    adR12Read3dFace,
    adR12ReadDimension,
    adR12ReadViewport,
};

void readLinetype(AdR12Entity* entity) {
    std::int16_t& index = adGlobals->entityIndexes.linetype;
    if (entity->version >= AD_R12_AC1009) {
        index = adR12ReadShort(&entity->record);
        return;
    }
    const std::uint8_t byte = adR12ReadByte(&entity->record);
    index = byte == AD_R12_BYBLOCK_LINETYPE_BYTE ? AD_LINETYPE_INDEX_BYBLOCK : byte;
}

// The handle's bytes fill it from the right; a longer run keeps its last eight.
void readHandle(AdR12Record* record, AdHandle* handle) {
    const std::int32_t n = adR12ReadByte(record);
    const std::int32_t size = static_cast<std::int32_t>(sizeof handle->b);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint8_t byte = adR12ReadByte(record);
        const std::int32_t at = size - n + i;
        if (at >= 0) handle->b[at] = byte;
    }
}

}  // namespace

int adR12ReadEntityStart(AdDrawing* drawing, AdR12Entity* entity, AdEntityHeader* header) {
    std::uint8_t* buffer = adGlobals->buffer128kA;
    if (!buffer || HostRead(buffer, 1, kLeadBytes, drawing->file) != kLeadBytes) return 0;
    entity->type = buffer[0];
    const std::uint8_t type = entity->type & ~AD_R12_ERASED;
    if (!readable(type)) return 0;
    entity->flags = buffer[1];
    entity->length = buffer[2] | (buffer[3] << 8);
    const std::int32_t rest = entity->length - kLeadBytes;
    if (rest < 0 || HostRead(buffer + kLeadBytes, 1, static_cast<std::size_t>(rest), drawing->file) !=
                        static_cast<std::size_t>(rest))
        return 0;
    adR12BeginRecord(&entity->record, buffer + kLeadBytes, rest);
    entity->version = drawing->version;
    entity->options = 0;
    entity->extras = 0;
    header->type = type;
    if (type == AD_R12_JUMP) return 1;
    AdGlobalState::AdEntityIndexes& ix = adGlobals->entityIndexes;
    ix.layer = adR12ReadShort(&entity->record);
    if (type == AD_ENTITY_BLOCK && ix.layer < 0) ix.layer = 0;
    ix.linetype = AD_LINETYPE_INDEX_BYLAYER;
    ix.textStyle = 0;
    ix.block = -1;
    ix.dimStyle = -1;
    entity->options = static_cast<std::uint16_t>(adR12ReadShort(&entity->record));
    if (entity->flags & AD_R12_ENTITY_EXTRAS) entity->extras = adR12ReadByte(&entity->record);
    return 1;
}

void adR12ReadEntityXdata(AdR12Entity* entity, std::uint8_t* flag) {
    if (!(entity->extras & AD_R12_EXTRAS_XDATA)) return;
    AdR12Record* record = &entity->record;
    std::int16_t n = adR12ReadShort(record);
    if (n < 0) n = 0;
    if (record->overrun || record->end - record->at < n) {
        record->overrun = 1;
        return;
    }
    // The buffer holds AD_XDATA_BUFFER_SIZE bytes, more than a 16-bit count.
    if (n > 0) {
        std::memcpy(adGlobals->buffer32kA, record->at, static_cast<std::size_t>(n));
        adGlobals->xdataLength = n;
        *flag |= AD_ENTITY_READ_XDATA;
    }
    record->at += n;
}

void adR12ReadExtrusion(AdR12Record* record, AdEntityHeader* header) {
    adR12Read3D(record, header->extrusion);
    const double* e = header->extrusion;
    if (e[0] != 0.0 || e[1] != 0.0 || e[2] != 1.0) header->flags |= AD_ENTITY_FLAG_EXTRUDED;
}

void adR12ReadPoint(AdR12Record* record, double point[3]) {
    adR12Read2D(record, point);
    point[2] = adGlobals->entityElevation;
}

double adR12OptionalDouble(AdR12Entity* entity, std::uint16_t option, double fallback) {
    return entity->options & option ? adR12ReadDouble(&entity->record) : fallback;
}

// A longer text is cut at the field by the cursor, which reports it to the
// fatal-error hook; the record stays aligned either way.
void adR12ReadTextField(AdR12Record* record, char* field, std::size_t capacity) {
    adR12ReadString(record, field, static_cast<std::int32_t>(capacity));
}

int adR12ReadEntityData(AdDrawing* drawing, AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    const std::uint8_t type = entity->type & ~AD_R12_ERASED;
    // A 3DLINE is kept as a LINE.
    header->type = type == AD_ENTITY_3DLINE ? static_cast<std::uint16_t>(AD_ENTITY_LINE) : type;
    adEntityDefaults(drawing, header, data);
    AdR12Record* record = &entity->record;
    const std::uint8_t flags = entity->flags;
    if (flags & AD_R12_ENTITY_COLOUR) header->color = adR12ReadByte(record);
    if (flags & AD_R12_ENTITY_LINETYPE) readLinetype(entity);
    if ((flags & AD_R12_ENTITY_ELEVATION) && (entity->version < AD_R12_AC1006 || !adR12OwnsZ(type)))
        adGlobals->entityElevation = adR12ReadDouble(record);
    if (flags & AD_R12_ENTITY_THICKNESS) header->thickness = adR12ReadDouble(record);
    if (entity->version >= AD_R12_AC1006 && (flags & AD_R12_ENTITY_HANDLE)) readHandle(record, &header->handle);
    if (entity->version >= AD_R12_AC1009 && (entity->extras & AD_R12_EXTRAS_PAPER) && (adR12ReadShort(record) & 0x01))
        header->flags |= AD_ENTITY_FLAG_PAPER_SPACE;
    if (kTypeReaders[type]) kTypeReaders[type](entity, header, data);
    return !record->overrun;
}
