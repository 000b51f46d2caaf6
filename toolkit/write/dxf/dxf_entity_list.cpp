// The entity step of both DXF drivers: one entity list to the file.
#include "toolkit/write/dxf/dxf_entity_progress.h"
#include "toolkit/ad_internal.h"

#include <cstring>

void AdDxfEntityProgress::step() {
    if (++written % 10 != 0 || total <= 0 || !adGlobals->hooks.saveProgress) return;
    std::int32_t percent = static_cast<std::int32_t>(written * 100 / total);
    percent = percent > 100 ? 100 : percent - percent % 5;
    if (percent == last) return;
    last = percent;
    adReportSaveProgress(base + percent / 4);
}

int adDxfWriteEntityList(AdDxfEntityContext* context, AdSaveWork* work, AdRecordList* list,
                         AdDxfEntityProgress* progress) {
    if (!list) return 1;
    AdEntityHeader* header = work->entityHeader;
    AdEntityData* data = work->entityData;
    adEntityRewind(list);
    while (adEntityNext(list, header, data)) {
        if (header->type == AD_ENTITY_SHAPE && data->shape.shapeNumber == 255) continue;
        if (!adDxfResolveEntityNames(context, header, data)) return 0;
        if (header->type == AD_ENTITY_SHAPE && data->shape.shapeNumber == 255) continue;
        if (context->inBlocks && context->output->version >= AD_VERSION_AC1009 && header->type == AD_ENTITY_BLOCK) {
            // The BLOCK entity takes its block's new number, as the table did.
            char renamed[AD_TABLE_NAME_SIZE];
            adDxfRenumberBlockName(data->block.name, context->block.number, renamed);
            std::memcpy(data->block.name, renamed, sizeof renamed);
        }
        if (!adEntityWritable(header, data, context->source, context->output)) continue;
        if (!adDxfWriteEntity(context, header, data)) return 0;
        if (progress) progress->step();
    }
    return 1;
}
