// The viewport-entity header table of a DWG file: each header names one
// paper-space VIEWPORT, whose record in the viewport list takes over the
// header's part (flags, name, number and the rest).
#include "toolkit/ad.h"
#include "toolkit/db/read_ops.h"
#include "toolkit/db/load_stages.h"

#include <cstddef>
#include <cstring>

namespace {

bool matches(const AdDrawing* drawing, const AdVportEntityHeader& viewport, const AdVportEntityHeader& header,
             std::int32_t firstNumber) {
    if (drawing->version >= AD_VERSION_FIRST_BITCODED)
        return adHandleCompare(&viewport.entityHandle, &header.viewportEntity) == 0;
    const std::int32_t number = header.number < 0 ? firstNumber - header.number : header.number;
    return viewport.entityIndex == number;
}

// The list record of the header's viewport; null when no viewport has it.
AdListRecord* find(AdDrawing* drawing, const AdVportEntityHeader& header) {
    AdRecordList* list = drawing->vportEntities;
    AdListRecord* record = adListFirst(list);
    std::int32_t firstNumber = 0;
    AdVportEntityHeader viewport;
    for (std::int32_t i = adListCount(list); record && i > 0; --i, record = record->next) {
        std::memcpy(&viewport, adListRecordData(record), sizeof viewport);
        if (record == adListFirst(list)) firstNumber = viewport.entityIndex;
        if (matches(drawing, viewport, header, firstNumber)) return record;
    }
    return nullptr;
}

// The header part lies in front of the list part.
constexpr std::size_t kHeaderPart = offsetof(AdVportEntityHeader, entityIndex);

}  // namespace

int adLoadVportEntityHeaders(AdDrawing* drawing) {
    const AdReadOps* ops = drawing->readOps;
    const std::int32_t count = drawing->tableEntryCounts[AD_CONTROL_VPORT_ENTITY];
    if (drawing->dxf || count <= 0 || !ops || (!ops->beginVportEntities && !ops->nextVportEntity)) return 1;
    if (!drawing->vportEntities || !adCallReadOp(drawing, &AdReadOps::beginVportEntities)) return 0;
    AdVportEntityHeader header{};
    // The first record stands for the table itself.
    if (!adCallReadRecordOp(drawing, &AdReadOps::nextVportEntity, &header)) return 0;
    bool firstUsed = true;
    for (std::int32_t i = 1; i < count; ++i) {
        std::memset(&header, 0, sizeof header);
        if (!adCallReadRecordOp(drawing, &AdReadOps::nextVportEntity, &header)) return 0;
        if (header.erased) continue;
        AdListRecord* record = find(drawing, header);
        // A header may name a viewport that lies in a block rather than in
        // paper space (a layout other than the current one); the drawing is
        // whole without it, so the header is passed over and noted.
        if (!record) {
            adNoteSkippedRecord(drawing, AD_ERR_VPORT_HEADER_UNMATCHED, header.handle);
            continue;
        }
        std::memcpy(adListRecordData(record), &header, kHeaderPart);
        if (firstUsed && drawing->version >= AD_VERSION_FIRST_BITCODED && record != adListFirst(drawing->vportEntities)) {
            adListUnlink(drawing->vportEntities, record);
            adListInsertChainFirst(drawing->vportEntities, record);
        }
        firstUsed = false;
    }
    return 1;
}
