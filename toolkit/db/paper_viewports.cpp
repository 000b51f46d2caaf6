// The paper-space viewport list: one record per VIEWPORT of the current
// paper space, the sheet's own viewport (id 1) first.
#include "toolkit/db/entity_list_steps.h"

#include <cstddef>

int adAddPaperViewport(AdDrawing* drawing, const AdHandle* handle, const AdHandle* value, AdListRecord* record,
                       std::int16_t viewportId) {
    if (!drawing || !drawing->vportEntities || !handle || !value) return 0;
    AdVportEntityHeader viewport{};
    viewport.entityRecord = record;
    viewport.entityHandle = *handle;
    viewport.blockHandle = *value;
    viewport.entityIndex = viewportId;  // what the headers of files before R13 match
    alignas(std::max_align_t) std::uint8_t image[AD_LIST_LINKS_SIZE + sizeof viewport] = {};
    HostMemMove(image + AD_LIST_LINKS_SIZE, &viewport, sizeof viewport);
    const int position = viewportId == 1 ? AD_LIST_AT_FRONT : AD_LIST_AT_END;
    return adListInsertNew(&image, sizeof image, drawing->vportEntities, position, nullptr) != nullptr;
}

void adRemovePaperViewport(AdDrawing* drawing, const AdHandle* handle) {
    AdRecordList* list = drawing->vportEntities;
    AdListRecord* record = adListFirst(list);
    for (std::int32_t i = adListCount(list); record && i > 0; --i) {
        AdVportEntityHeader viewport;
        AdListRecord links;
        HostMemMove(&links, record, sizeof links);
        HostMemMove(&viewport, adListRecordData(record), sizeof viewport);
        if (adHandleCompare(&viewport.entityHandle, handle) == 0) {
            adListUnlink(list, record);
            HostFree(record);
            return;
        }
        record = links.next;
    }
}
