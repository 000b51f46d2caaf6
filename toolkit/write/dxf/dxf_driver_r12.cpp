// The DXF writer of AC1002..AC1009: HEADER, TABLES, BLOCKS and ENTITIES.
#include "toolkit/write/dxf/dxf_entities.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <memory>

namespace {
// Entity progress: every tenth entity, in steps of 5 percent of the whole.
struct EntityProgress {
    std::int32_t base;
    std::int64_t total;
    std::int64_t written = 0;
    std::int32_t last = -1;
    void step() {
        if (++written % 10 != 0 || total <= 0 || !adGlobals->hooks.saveProgress) return;
        std::int32_t percent = static_cast<std::int32_t>(written * 100 / total);
        percent = percent > 100 ? 100 : percent - percent % 5;
        if (percent == last) return;
        last = percent;
        adReportSaveProgress(base + percent / 4);
    }
};

// Writes the entities of a list through the entity step; blocks end at their
// list's end.
int writeList(AdDxfEntityContext* context, AdSaveWork* work, AdRecordList* list, EntityProgress* progress) {
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

std::int64_t entityCount(AdRecordList* list) { return adListCount(list); }
}  // namespace

int adDxfWriteR12(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work) {
    adResetHandleCaches(source);
    adDxfSetNumberFormat(output, work->minusZero, work->precision, work->defaultGroups);
    AdHandle seed = output->header->handseed;
    adLwpolyHandleReserve(source, output, &seed);
    output->header->handseed = seed;
    if (!adDxfWriteHeader(source, output, work->r12Extras)) return 0;
    if (!adDxfWriteTables(source, output, work->tableRecord)) return 0;

    auto context = std::make_unique<AdDxfEntityContext>();
    context->source = source;
    context->output = output;
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_BLOCKS])) return 0;
    adReportSaveProgress(40);
    context->inBlocks = true;
    const std::int32_t blocks = adBlockCount(source) - 2;
    auto block = std::make_unique<AdBlockHeader>();
    // Name look-ups move the block table's cursor: the loop walks the
    // table's records itself.
    AdListRecord* record = adListFirst(adTableList(source, adBlockTable));
    for (std::int32_t i = 0; i < blocks && record; ++i, record = record->next) {
        adReportSaveProgress(40 + static_cast<std::int32_t>(i * 25.0 / blocks));
        adTableReadField(record, 0, block.get(), sizeof(AdBlockHeader));
        if (adDxfIsPaperSpaceName(block->name)) continue;
        char name[AD_TABLE_NAME_SIZE];
        adDxfRenumberBlockName(block->name, i, name);
        adDxfBeginBlock(context.get(), block.get(), name, i);
        if (!writeList(context.get(), work, block->entities, nullptr)) return 0;
    }
    context->inBlocks = false;
    if (!adDxfEndSection(output)) return 0;
    adReportSaveProgress(70);

    AdHandle paper{};
    AdHandle model{};
    adSpaceBlockHandle(source, &paper, AD_SPACE_PAPER);
    adSpaceBlockHandle(source, &model, AD_SPACE_MODEL);
    AdRecordList* paperList = adHandleLength(&paper) ? adBlockEntityList(source, &paper) : nullptr;
    AdRecordList* modelList = adHandleLength(&model) ? adBlockEntityList(source, &model) : nullptr;
    EntityProgress progress{70, entityCount(paperList) + entityCount(modelList)};
    output->entitiesPosition = HostTell(output->file);
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_ENTITIES])) return 0;
    if (!writeList(context.get(), work, paperList, &progress)) return 0;
    if (!writeList(context.get(), work, modelList, &progress)) return 0;
    return adDxfFinish(output);
}
