// The open of fixed-header files: the header is read whole, its sections
// and tables checked against the file, its variables taken.
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/r12/r12_read.h"

namespace {
// AC1002 headers with an old format word end their variables here.
constexpr std::int32_t kFirstPart = 879;
constexpr std::int32_t kVportEntityIndex = 1589;
}  // namespace

int adR12Open(AdDrawing* drawing) {
    AdDwgFile* dwg = adDwgBeginFile(drawing);
    if (!dwg) return 0;
    dwg->fileLength = HostFileLength(drawing->file);
    std::int32_t length = 0;
    if (dwg->fileLength < 0 || !adR12LoadHeader(drawing->file, dwg->fileLength, &length)) return 0;
    const std::uint8_t* header = adGlobals->buffer32kA;
    if (!adR12TakeLayout(header, length, drawing->version, dwg)) return 0;
    if (drawing->version == AD_R12_AC1002 && static_cast<std::uint16_t>(dwg->formatWord) <= 104 && length > kFirstPart)
        length = kFirstPart;
    adR12ReadHeaderVars(drawing, dwg, header, length);
    for (int i = 0; i < AD_TABLE_CONTROL_COUNT; ++i) drawing->tableEntryCounts[i] = dwg->fixedTables[i].count;
    const std::int32_t headers = dwg->fixedTables[AD_CONTROL_VPORT_ENTITY].count;
    if (drawing->version == AD_R12_AC1009 && dwg->truncated && headers > 0)
        return adDwgFail(AD_ERR_DWG_TRUNCATED_VIEWS);
    dwg->vportEntityIndex = 0;
    if (drawing->version == AD_R12_AC1009 && kVportEntityIndex + 2 <= length) {
        AdR12Record at;
        adR12BeginRecord(&at, header + kVportEntityIndex, 2);
        const std::int16_t index = adR12ReadShort(&at);
        dwg->vportEntityIndex = index < 0 || index > headers ? 1 : index;
    }
    return 1;
}
