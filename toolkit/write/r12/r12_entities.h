// What the entity record writer of fixed-record DWG files shares with the
// writers of the type-specific parts.
#pragma once
#include "toolkit/write/r12/r12_writer.h"

// The record being assembled: the common flags and the option bits that the
// type's part sets as it writes its optional fields.
struct AdR12EntityRecord {
    AdR12Writer* writer;
    AdR12RecordBuffer* r;
    const AdEntityHeader* header;
    std::uint8_t flags;
    std::uint16_t options;
};

// The type's own part; position is where the record starts in the file.
void adR12WriteEntityPart(AdR12EntityRecord* e, const AdEntityData* data, std::int32_t blockNumber,
                          std::int32_t position);
