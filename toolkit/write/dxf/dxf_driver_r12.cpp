// The DXF writer of AC1002..AC1009: HEADER, TABLES, BLOCKS and ENTITIES.
#include "toolkit/write/dxf/dxf_entity_progress.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <memory>

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
        if (!adDxfWriteEntityList(context.get(), work, block->entities, nullptr)) return 0;
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
    AdDxfEntityProgress progress{70, adListCount(paperList) + adListCount(modelList)};
    output->entitiesPosition = HostTell(output->file);
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_ENTITIES])) return 0;
    if (!adDxfWriteEntityList(context.get(), work, paperList, &progress)) return 0;
    if (!adDxfWriteEntityList(context.get(), work, modelList, &progress)) return 0;
    return adDxfFinish(output);
}
