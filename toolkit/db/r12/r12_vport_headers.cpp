// The viewport-entity headers of fixed-header files. The header names the
// first of a chain of them; each record names the next by its index, and a
// viewport's number is its header's place in that chain.
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/r12/r12_read.h"

namespace {
constexpr std::int32_t kNextIndex = 39;
constexpr std::int16_t kIndexLimit = 2000;
constexpr std::uint8_t kOn = 1;

int brokenChain() {
    adFatalError(AD_FATAL_BAD_FILE_DATA);
    return adDwgFail(AD_ERR_R12_VPORT_CHAIN);
}

// The next index stored in the record at index; -1 when it cannot be read.
std::int32_t nextIndex(HostFile* file, const AdDwgFile::AdR12Table& table, std::int32_t index) {
    if (table.size < kNextIndex + 2) return -1;
    const std::int64_t at = table.offset + static_cast<std::int64_t>(index) * table.size + kNextIndex;
    std::uint8_t bytes[2];
    if (HostSeek(file, at, SEEK_SET) != 0 || HostRead(bytes, 1, sizeof bytes, file) != sizeof bytes) return -1;
    return static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
}

// Follows the chain from the header's index, keeping the file offsets of its
// first records. Every index must lie in the table and come once: a chain
// that turns back on itself or leaves the table fails.
int followChain(HostFile* file, AdDwgFile* dwg) {
    const AdDwgFile::AdR12Table& table = dwg->fixedTables[AD_CONTROL_VPORT_ENTITY];
    // Indexes above the limit are refused, so one flag per possible index.
    std::uint8_t visited[kIndexLimit + 1] = {};
    std::int32_t previous = -1;
    for (std::int32_t index = dwg->vportEntityIndex; index != 0;) {
        if (index < 0 || index > kIndexLimit || index >= table.count) return brokenChain();
        if (visited[index]) return brokenChain();
        visited[index] = 1;
        if (dwg->chainLength < AD_R12_CHAIN_SIZE)
            dwg->chainOffsets[dwg->chainLength++] =
                static_cast<std::int32_t>(static_cast<std::int64_t>(table.offset) + index * table.size);
        previous = index;
        index = nextIndex(file, table, index);
        // A record that names itself ends the chain.
        if (index == previous) index = 0;
    }
    return 1;
}

// The record's own fields are kept elsewhere or not at all; its number is
// its place in the chain, 0 for the table's first record and for headers
// that are off.
void headerFields(AdDrawing* drawing, AdR12Record* at, AdR12Common* common, AdVportEntityHeader* out) {
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    const AdDwgFile::AdR12Table& table = dwg->fixedTables[AD_CONTROL_VPORT_ENTITY];
    adR12ReadLong(at);
    adR12ReadShort(at);
    out->fileOffset = static_cast<std::int32_t>(dwg->fixedNext[AD_CONTROL_VPORT_ENTITY] - table.size);
    out->number = 0;
    if (dwg->vportEntitiesRead == 1 || (common->flags & kOn) == 0) return;
    out->number = -1;
    for (std::int32_t i = 0; i < dwg->chainLength; ++i)
        if (dwg->chainOffsets[i] == out->fileOffset) out->number = static_cast<std::int16_t>(i + 1);
}
}  // namespace

int adR12BeginVportEntities(AdDrawing* drawing) {
    AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || !drawing->file || !adR12BeginTable(drawing, AD_CONTROL_VPORT_ENTITY)) return 0;
    dwg->chainLength = 0;
    dwg->vportEntitiesRead = 0;
    return dwg->fixedTables[AD_CONTROL_VPORT_ENTITY].count <= 1 || followChain(drawing->file, dwg);
}

int adR12NextVportEntity(AdDrawing* drawing, void* out) {
    AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg) return 0;
    ++dwg->vportEntitiesRead;
    return adR12ReadRecord(drawing, AD_CONTROL_VPORT_ENTITY, static_cast<AdVportEntityHeader*>(out), headerFields);
}
