// The walk over an entity list of a fixed-record DWG file: one record per
// call, jumps followed, erased records handed back marked to be passed over.
// The file comes as it stands, so every jump is checked: one into the part
// of the file this walk has read already, or out of the file, ends the walk
// with an error rather than a loop or a read of nothing.
#include "toolkit/db/r12/r12_entities.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/r12/r12_read.h"

#include <cstdio>

namespace {

constexpr std::uint32_t kFromSection = 0x80000000u;

using Walk = AdDrawing::AdR12Walk;

// Outside a block, the list ends at the end of the entities section unless
// the walk has jumped into the extras section.
bool pastEntities(const AdDwgFile* dwg, std::int64_t position) {
    const bool inExtras = position >= dwg->extrasStart && position < dwg->extrasEnd;
    return position >= dwg->entitiesEnd && !inExtras;
}

void keepRun(Walk* walk, std::int64_t end) {
    if (walk->runCount >= static_cast<std::int32_t>(sizeof walk->runs / sizeof walk->runs[0])) return;
    walk->runs[walk->runCount][0] = walk->runStart;
    walk->runs[walk->runCount][1] = end;
    ++walk->runCount;
}

bool visited(const Walk* walk, std::int64_t target) {
    for (std::int32_t i = 0; i < walk->runCount; ++i)
        if (target >= walk->runs[i][0] && target < walk->runs[i][1]) return true;
    return false;
}

int chainFault() {
    adFatalError(AD_FATAL_BAD_FILE_DATA);
    adSetError(AD_ERR_DWG_ENTITY_CHAIN);
    return 0;
}

// Follows the jump record just read at position; 0 with the error set when
// its target is not a place the walk may go.
int jump(AdDrawing* drawing, const AdDwgFile* dwg, AdR12Entity* entity, std::int64_t position) {
    Walk* walk = &drawing->r12Walk;
    const std::uint32_t raw = static_cast<std::uint32_t>(adR12ReadLong(&entity->record));
    const std::int64_t address = raw & AD_R12_ADDRESS_MASK;
    std::int64_t base = walk->inBlock ? dwg->blocksStart : 0;
    if ((raw & kFromSection) && !walk->inBlock) base = dwg->extrasStart;
    const std::int64_t target = base + address;
    keepRun(walk, position + entity->length);
    if (entity->record.overrun || target >= dwg->fileLength || visited(walk, target)) return chainFault();
    walk->runStart = target;
    return HostSeek(drawing->file, target, SEEK_SET) == 0 ? 1 : chainFault();
}

}  // namespace

int adR12EntityNext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* flag) {
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || !drawing->file) return 0;
    Walk* walk = &drawing->r12Walk;
    // Bytes read bound the walk even when the record of stretches is full:
    // no list of a sound file holds more records than the file has bytes.
    for (;;) {
        const std::int64_t position = HostTell(drawing->file);
        if (position < 0 || (!walk->inBlock && pastEntities(dwg, position))) return 0;
        AdR12Entity entity;
        if (!adR12ReadEntityStart(drawing, &entity, header)) return 0;
        walk->bytesRead += entity.length;
        if (walk->bytesRead > dwg->fileLength) return chainFault();
        if ((entity.type & ~AD_R12_ERASED) != AD_R12_JUMP) {
            adR12ReadEntityXdata(&entity, flag);
            // A record too short for what its flags announce is passed over.
            if (!adR12ReadEntityData(drawing, &entity, header, data)) {
                adNoteSkippedRecord(drawing, AD_ERR_R12_ENTITY_SHORT, header->handle);
                *flag |= AD_ENTITY_READ_SKIP;
            }
            if (entity.type & AD_R12_ERASED) *flag |= AD_ENTITY_READ_SKIP;
            return 1;
        }
        if (!jump(drawing, dwg, &entity, position)) return 0;
    }
}
