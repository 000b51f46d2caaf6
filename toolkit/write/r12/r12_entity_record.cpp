// One entity record of a fixed-record DWG file: the common part whose flags
// announce the optional fields, the type's own part, then length, option
// bits, flags and, for AC1009, the check value, stamped into the record once
// it is complete.
#include "toolkit/write/r12/r12_entities.h"
#include "toolkit/write/dwg/dwg_writer.h"
#include "toolkit/db/r12/r12_entity_layout.h"

#include <cstring>

namespace {
constexpr std::int16_t kByLayerColour = 256;
constexpr std::int32_t kFlagsAt = 1;
constexpr std::int32_t kLengthAt = 2;
constexpr std::int32_t kOptionsAt = 6;
constexpr std::int32_t kXdataLengthAt = 9;
constexpr std::int32_t kCheckBytes = 2;

// The z the elevation field stands for, by type.
double elevationOf(const AdEntityHeader* header, const AdEntityData* data) {
    switch (header->type) {
    case AD_ENTITY_LINE:
    case AD_ENTITY_3DLINE: return data->line.start[2];
    case AD_ENTITY_POINT: return data->point.point[2];
    case AD_ENTITY_CIRCLE: return data->circle.centre[2];
    case AD_ENTITY_SHAPE: return data->shape.insertion[2];
    case AD_ENTITY_TEXT: return data->text.insertion[2];
    case AD_ENTITY_ARC: return data->arc.centre[2];
    case AD_ENTITY_TRACE:
    case AD_ENTITY_SOLID: return data->trace.corners[0][2];
    case AD_ENTITY_BLOCK: return data->block.basePoint[2];
    case AD_ENTITY_ATTDEF: return data->attdef.insertion[2];
    case AD_ENTITY_ATTRIB: return data->attrib.insertion[2];
    case AD_ENTITY_VERTEX: return data->vertex.point[2];
    case AD_ENTITY_INSERT: return data->insert.insertion[2];
    case AD_ENTITY_POLYLINE: return data->polyline.elevation;
    case AD_ENTITY_DIMENSION: return data->dimension.definitionPoint[2];
    default: return 0.0;
    }
}

void putHandle(AdR12RecordBuffer* r, const AdHandle& handle) {
    std::int32_t first = 0;
    while (first < 8 && handle.b[first] == 0) ++first;
    adR12PutByte(r, static_cast<std::uint8_t>(8 - first));
    for (std::int32_t i = first; i < 8; ++i) adR12PutByte(r, handle.b[i]);
}

void stamp(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
}  // namespace

void adR12WriteText(AdR12RecordBuffer* record, const char* text, int codePage) {
    const std::size_t length = std::strlen(text);
    bool wide = false;
    for (std::size_t i = 0; i < length && !wide; ++i)
        wide = adIsLeadByte(codePage, static_cast<std::uint8_t>(text[i])) != 0;
    const std::int32_t count = static_cast<std::int32_t>(length) + (wide ? 2 : 0);
    if (count > INT16_MAX) {
        record->overflow = 1;
        return;
    }
    adR12PutShort(record, static_cast<std::int16_t>(count));
    adR12PutText(record, text, static_cast<std::int32_t>(length));
    if (wide) adR12PutZeros(record, 2);
}

int adR12WriteEntity(AdR12Writer* writer, const AdEntityHeader* header, const AdEntityData* data,
                     std::int32_t blockNumber) {
    AdOutputDrawing* output = writer->output;
    AdR12RecordBuffer* r = &output->record;
    const std::int16_t version = writer->version;
    const AdGlobalState::AdEntityIndexes& ix = adGlobals->entityIndexes;
    adR12RecordBegin(r);
    AdR12EntityRecord e{writer, r, header, 0, 0};
    adR12PutByte(r, static_cast<std::uint8_t>(header->type));
    adR12PutByte(r, 0);
    adR12PutShort(r, 0);
    adR12PutShort(r, ix.layer);
    adR12PutShort(r, 0);
    const bool paper = version == AD_VERSION_AC1009 &&
                       (writer->paperSpace || (header->flags & AD_ENTITY_FLAG_PAPER_SPACE));
    const bool xdata = version == AD_VERSION_AC1009 && output->xdataLength > 0;
    if (paper || xdata) {
        e.flags |= AD_R12_ENTITY_EXTRAS;
        adR12PutByte(r, static_cast<std::uint8_t>((xdata ? AD_R12_EXTRAS_XDATA : 0) | (paper ? AD_R12_EXTRAS_PAPER : 0)));
        if (xdata) {
            adR12PutShort(r, static_cast<std::int16_t>(output->xdataLength));
            adR12PutBytes(r, output->xdata, output->xdataLength);
        }
    }
    if (header->color != kByLayerColour) {
        e.flags |= AD_R12_ENTITY_COLOUR;
        adR12PutByte(r, static_cast<std::uint8_t>(header->color));
    }
    if (ix.linetype != AD_LINETYPE_INDEX_BYLAYER) {
        e.flags |= AD_R12_ENTITY_LINETYPE;
        if (version == AD_VERSION_AC1009)
            adR12PutShort(r, ix.linetype);
        else
            adR12PutByte(r, ix.linetype == AD_LINETYPE_INDEX_BYBLOCK ? AD_R12_BYBLOCK_LINETYPE_BYTE
                                                                      : static_cast<std::uint8_t>(ix.linetype));
    }
    const double elevation = elevationOf(header, data);
    if (elevation != 0.0 && (version < AD_VERSION_AC1006 || !adR12OwnsZ(header->type))) {
        e.flags |= AD_R12_ENTITY_ELEVATION;
        adR12PutDouble(r, elevation);
    }
    if (header->thickness != 0.0) {
        e.flags |= AD_R12_ENTITY_THICKNESS;
        adR12PutDouble(r, header->thickness);
    }
    if (version >= AD_VERSION_AC1006 && output->header->handling) {
        e.flags |= AD_R12_ENTITY_HANDLE;
        putHandle(r, header->handle);
    }
    if (paper) adR12PutShort(r, 1);
    if (version == AD_VERSION_AC1009 && header->type == AD_ENTITY_VIEWPORT &&
        !adR12NoteViewportAddress(output, adOutTell(output))) {
        adNoMemory(AD_ERR_SAVE_WORK_AREA);
        return 0;
    }
    const std::int32_t start = adOutTell(output);
    adR12WriteEntityPart(&e, data, blockNumber, start);

    const std::int32_t length = r->cursor + (version == AD_VERSION_AC1009 ? kCheckBytes : 0);
    if (r->overflow || length > AD_R12_RECORD_BUFFER_SIZE || length > INT16_MAX) {
        adSetError(AD_ERR_R12_RECORD_TOO_LONG);
        return 0;
    }
    r->bytes[kFlagsAt] = e.flags;
    stamp(r->bytes + kLengthAt, static_cast<std::uint16_t>(length));
    stamp(r->bytes + kOptionsAt, e.options);
    if (version == AD_VERSION_AC1009) {
        if (xdata) stamp(r->bytes + kXdataLengthAt, static_cast<std::uint16_t>(output->xdataLength));
        stamp(r->bytes + r->cursor, adCrc16(AD_DWG_CRC_SEED, r->bytes, r->cursor));
    }
    return adOutWrite(output, r->bytes, static_cast<std::size_t>(length));
}
