// The DXF writer of AC1012..AC1015: HEADER, CLASSES, TABLES with the
// BLOCK_RECORD table, BLOCKS with the two spaces first, ENTITIES and OBJECTS.
#include "toolkit/write/dxf/dxf_entity_progress.h"
#include "toolkit/write/dxf/dxf_objects.h"
#include "toolkit/write/dxf/dxf_table_records.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/ad_internal.h"

#include <cstring>
#include <memory>

namespace {
int writeClasses(AdDrawing* source, AdOutputDrawing* output) {
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_CLASSES])) return 0;
    auto record = std::make_unique<AdClassRecord>();
    adClassRewind(source);
    while (adClassNext(source, record.get())) {
        const int written = output->version == AD_VERSION_AC1015 ? adDxfWriteClass(output, record.get())
                                                                 : adDxfWriteClassR13(output, record.get());
        // A class entry that could not be written leaves the file unreadable.
        if (!written) return 0;
    }
    adReportSaveProgress(4);
    return adDxfEndSection(output);
}

// The BLOCK and ENDBLK of a space: made from the block's header, under the
// handles the drawing keeps for them.
int writeSpaceBlock(AdDxfEntityContext* context, AdSaveWork* work, const AdHandle& block, const AdHandle& begin,
                    const AdHandle& end, bool paper) {
    AdDrawing* source = context->source;
    auto header = std::make_unique<AdBlockHeader>();
    if (!adBlockByHandle(source, &block, header.get())) return 1;
    adDxfBeginBlock(context, header.get(), header->name, 0);
    AdEntityHeader* entity = work->entityHeader;
    AdEntityData* data = work->entityData;
    std::memset(data, 0, sizeof *data);
    entity->type = AD_ENTITY_BLOCK;
    adEntityDefaults(source, entity, data);
    entity->handle = begin;
    static_assert(sizeof data->block.name >= sizeof header->name, "a block's name fits its BLOCK");
    std::memcpy(data->block.name, header->name, strnlen(header->name, sizeof header->name - 1));
    if (paper) entity->flags |= AD_ENTITY_FLAG_PAPER_SPACE;
    context->spaceBlock = true;
    const int begun = adDxfResolveEntityNames(context, entity, data) && adDxfWriteEntity(context, entity, data);
    context->spaceBlock = false;
    if (!begun) return 0;
    entity->type = AD_ENTITY_ENDBLK;
    entity->handle = end;
    return adDxfResolveEntityNames(context, entity, data) && adDxfWriteEntity(context, entity, data);
}

// The BLOCK and ENDBLK handles of the two spaces. A drawing that never was
// a bit-coded file may lack them: they are then drawn from its seed.
struct SpaceEntities {
    AdHandle modelBegin, modelEnd, paperBegin, paperEnd;
};

bool spaceEntities(AdDrawing* source, SpaceEntities* spaces) {
    *spaces = {source->modelSpaceBlockEntity, source->modelSpaceEndblkEntity, source->paperSpaceBlockEntity,
               source->paperSpaceEndblkEntity};
    for (AdHandle* handle : {&spaces->modelBegin, &spaces->modelEnd, &spaces->paperBegin, &spaces->paperEnd})
        if (adHandleLength(handle) == 0 && !adNextHandle(source, handle)) return false;
    return true;
}

int writeBlocks(AdDxfEntityContext* context, AdSaveWork* work, const SpaceEntities& spaces) {
    AdDrawing* source = context->source;
    AdOutputDrawing* output = context->output;
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_BLOCKS])) return 0;
    context->inBlocks = true;
    if (!writeSpaceBlock(context, work, source->modelSpaceBlock, spaces.modelBegin, spaces.modelEnd, false) ||
        !writeSpaceBlock(context, work, source->paperSpaceBlock, spaces.paperBegin, spaces.paperEnd, true))
        return 0;
    adReportSaveProgress(48);
    const std::int32_t blocks = adBlockCount(source) - 2;
    auto block = std::make_unique<AdBlockHeader>();
    // Name look-ups move the block table's cursor: the loop walks the
    // table's records itself.
    AdListRecord* record = adListFirst(adTableList(source, adBlockTable));
    for (std::int32_t i = 0; i < blocks && record; ++i, record = record->next) {
        adReportSaveProgress(50 + static_cast<std::int32_t>(i * 25.0 / blocks));
        adTableReadField(record, 0, block.get(), sizeof(AdBlockHeader));
        const bool paper = adDxfIsPaperSpaceName(block->name);
        if (block->erased || (paper && output->version < AD_VERSION_AC1015)) continue;
        char name[AD_TABLE_NAME_SIZE];
        adDxfRenumberBlockName(block->name, i, name);
        adDxfBeginBlock(context, block.get(), name, i);
        if (!adDxfWriteEntityList(context, work, block->entities, nullptr)) return 0;
    }
    context->inBlocks = false;
    return adDxfEndSection(output);
}
}  // namespace

int adDxfWriteR13(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work) {
    adResetHandleCaches(source);
    adDxfSetNumberFormat(output, work->minusZero, work->precision, work->defaultGroups);
    SpaceEntities spaces{};
    if (!spaceEntities(source, &spaces)) return 0;
    AdHandle seed = source->handleSeed;
    if (output->version == AD_VERSION_AC1012) adLwpolyHandleReserve(source, output, &seed);
    output->header->handseed = seed;
    output->nextHandle = seed;
    if (!adDxfWriteHeader(source, output, 1)) return 0;
    if (!writeClasses(source, output)) return 0;
    if (!adDxfWriteTablesR13(source, output)) return 0;

    auto context = std::make_unique<AdDxfEntityContext>();
    context->source = source;
    context->output = output;
    if (!writeBlocks(context.get(), work, spaces)) return 0;

    AdRecordList* paperList = adHandleLength(&source->paperSpaceBlock) ? adBlockEntityList(source, &source->paperSpaceBlock) : nullptr;
    AdRecordList* modelList = adHandleLength(&source->modelSpaceBlock) ? adBlockEntityList(source, &source->modelSpaceBlock) : nullptr;
    AdDxfEntityProgress progress{75, adListCount(paperList) + adListCount(modelList)};
    output->entitiesPosition = HostTell(output->file);
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_ENTITIES])) return 0;
    if (!adDxfWriteEntityList(context.get(), work, paperList, &progress)) return 0;
    if (!adDxfWriteEntityList(context.get(), work, modelList, &progress)) return 0;
    if (!adDxfEndSection(output)) return 0;

    if (!adDxfWriteObjects(source, output)) return 0;
    if (!adDxfFinish(output)) return 0;
    adSetError(AD_OK);
    return 1;
}
