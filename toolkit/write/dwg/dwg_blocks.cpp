// The blocks of a bit-coded DWG file: per block its header record, then its
// BLOCK and ENDBLK entities; model and paper space get theirs made up.
#include "toolkit/write/dwg/dwg_entity_head.h"
#include "toolkit/write/dwg/dwg_table_record.h"

#include "toolkit/db/bit_stream_state.h"

#include <cstring>
#include <memory>

namespace {
constexpr char kModelSpace[] = "*MODEL_SPACE";
constexpr char kPaperSpace[] = "*PAPER_SPACE";
constexpr std::size_t kPaperSpaceLength = sizeof kPaperSpace - 1;
constexpr std::size_t kAnonymousKept = 2;
constexpr std::int32_t kPreviewPiece = 512;

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

// The name a block is written under: an anonymous block keeps the letter of
// its kind, a further paper-space layout its 12-character prefix.
// A text copied into a field of size bytes, cut to fit.
void copyText(char* out, const char* text, std::size_t size) {
    const std::size_t length = strnlen(text, size - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
}

void writtenBlockName(const char* name, bool paperSpace, char* out) {
    copyText(out, name, AD_TABLE_NAME_SIZE);
    if (out[0] != '*' || paperSpace) return;
    if (adStrCompareNoCaseN(out, kPaperSpace, kPaperSpaceLength) == 0) {
        out[kPaperSpaceLength] = '\0';
        return;
    }
    if (adStrCompareNoCase(out, kModelSpace) == 0) return;
    if (std::strlen(out) > kAnonymousKept) out[kAnonymousKept] = '\0';
}

int writePreview(AdStore* preview) {
    const std::int32_t size = preview ? adStoreSize(preview) : 0;
    adBitWriteLong(size);
    if (size <= 0) return adBitUsable() ? 1 : 0;
    AdStream* in = adStreamOpenRead(preview);
    if (!in) return 0;
    std::uint8_t piece[kPreviewPiece];
    int ok = 1;
    for (std::int32_t left = size; ok && left > 0;) {
        const std::int32_t n = left < kPreviewPiece ? left : kPreviewPiece;
        ok = adStreamRead(in, piece, n) && adBitWriteBytes(piece, n) > 0;
        left -= n;
    }
    adStreamCloseRead(in);
    return ok;
}

// The handles of the INSERTs that name a block.
std::vector<AdHandle> insertReferences(AdStore* store) {
    std::vector<AdHandle> handles;
    AdStream* in = store ? adStreamOpenRead(store) : nullptr;
    AdHandle h{};
    while (in && adStreamReadHandle(in, &h)) handles.push_back(h);
    if (in) adStreamCloseRead(in);
    return handles;
}

// A BLOCK or ENDBLK record.
int writeBlockEntity(AdDwgWriter* writer, AdEntityHeader* header, const char* name, std::int32_t index,
                     std::uint16_t mode, const AdHandle& block) {
    const bool isBlock = name != nullptr;
    const std::int16_t type = isBlock ? AD_DWG_BLOCK : AD_DWG_ENDBLK;
    const AdDwgEntityLinks links{block, AdHandle{}, AdHandle{}, mode, {}, {}, {}};
    if (!adDwgEntityBegin(writer, header, type, links, nullptr)) return 0;
    if (isBlock && !adDwgWriteName(writer, name, index, adGlobals->nameLengthLimit)) return 0;
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    return adDwgRecordEnd(writer, &header->handle);
}

// What a block section needs of one block: its BLOCK and ENDBLK entities.
struct BlockEntities {
    std::unique_ptr<AdEntityHeader> blockHeader = std::make_unique<AdEntityHeader>();
    std::unique_ptr<AdEntityData> blockData = std::make_unique<AdEntityData>();
    std::unique_ptr<AdEntityHeader> endHeader = std::make_unique<AdEntityHeader>();
    bool foundBlock = false;
    bool foundEnd = false;
};

void findBlockEntities(AdDwgWriter* writer, AdRecordList* list, BlockEntities* found) {
    if (!list) return;
    AdEntityHeader* header = writer->work->entityHeader;
    AdEntityData* data = writer->work->entityData;
    adEntityRewind(list);
    while (adEntityNext(list, header, data)) {
        if (header->type == AD_ENTITY_BLOCK && !found->foundBlock) {
            *found->blockHeader = *header;
            *found->blockData = *data;
            found->foundBlock = true;
        } else if (header->type == AD_ENTITY_ENDBLK) {
            *found->endHeader = *header;
            found->foundEnd = true;
            return;
        }
    }
}

// The BLOCK entity of model or paper space, made from the defaults.
void spaceEntity(AdDwgWriter* writer, AdEntityHeader* header, AdEntityData* data, const AdHandle& handle,
                 const char* name, bool paper) {
    adEntityDefaults(writer->source, header, data);
    header->type = AD_ENTITY_BLOCK;
    header->handle = handle;
    if (paper) header->flags |= AD_ENTITY_FLAG_PAPER_SPACE;
    copyText(data->block.name, name, sizeof data->block.name);
}
}  // namespace

int adDwgWriteBlockHeader(AdDwgWriter* writer, const AdBlockHeader* block, std::int32_t index,
                          const AdDwgBlockLinks* links) {
    const bool paper = sameHandle(block->handle, writer->handles.paperSpaceBlock);
    char name[AD_TABLE_NAME_SIZE];
    writtenBlockName(block->name, paper, name);
    const bool external = (block->flags & 4) != 0 || block->overlay;
    const std::int16_t limit = writer->version < AD_VERSION_AC1015 && external
                                   ? adXrefNameBudget(&writer->output->budgets, block->name)
                                   : adGlobals->nameLengthLimit;
    if (!adDwgTableRecordBegin(writer, AD_DWG_BLOCK_HEADER, *block, name, index, limit)) return 0;
    adBitWriteBit(block->flags & 1);
    adBitWriteBit(block->flags & 2);
    adBitWriteBit(block->flags & 4);
    adBitWriteBit(block->overlay != 0);
    const bool ac1015 = writer->version >= AD_VERSION_AC1015;
    if (ac1015) adBitWriteBit(block->unloaded != 0);
    adBitWrite3D(links->basePoint);
    adBitWriteText(links->xrefPath);
    const std::vector<AdHandle> inserts = ac1015 ? insertReferences(block->insertReferences) : std::vector<AdHandle>{};
    if (ac1015) {
        for (std::size_t i = 0; i < inserts.size(); ++i) adBitWriteByte(1);
        adBitWriteByte(0);
        adBitWriteText(block->description);
        if (!writePreview(block->preview)) return 0;
    }
    return adDwgTableRecordEnd(writer, AD_CONTROL_BLOCK, *block, [&] {
        adBitWriteHandle(&links->blockEntity, AD_REF_HARD_OWNER);
        const AdHandle none{};
        const bool empty = adHandleLength(&links->first) == 0;
        if (!(block->flags & 4) && !block->overlay) {
            adBitWriteHandle(empty ? &none : &links->first, AD_REF_SOFT_POINTER);
            adBitWriteHandle(empty ? &none : &links->last, AD_REF_SOFT_POINTER);
        }
        adBitWriteHandle(&links->endblk, AD_REF_HARD_OWNER);
        if (!ac1015) return;
        for (const AdHandle& insert : inserts) adBitWriteHandle(&insert, AD_REF_SOFT_POINTER);
        adBitWriteHandle(&block->layout, AD_REF_HARD_POINTER);
    });
}

int adDwgWriteBlocks(AdDwgWriter* writer) {
    AdDrawing* source = writer->source;
    const AdDwgHeaderHandles& h = writer->handles;
    auto block = std::make_unique<AdBlockHeader>();
    auto links = std::make_unique<AdDwgBlockLinks>();
    auto plan = std::make_unique<AdDwgEntityPlan>();
    std::int32_t index = 0;
    for (AdListRecord* record = adListFirst(adTableList(source, adBlockTable)); record;
         record = record->next, ++index) {
        adTableReadField(record, 0, block.get(), sizeof(AdBlockHeader));
        if (block->erased) continue;
        const bool model = sameHandle(block->handle, h.modelSpaceBlock);
        const bool paper = sameHandle(block->handle, h.paperSpaceBlock);
        *links = AdDwgBlockLinks{};
        BlockEntities found;
        findBlockEntities(writer, adBlockEntityList(source, &block->handle), &found);
        if (model || paper) {
            spaceEntity(writer, found.blockHeader.get(), found.blockData.get(),
                        paper ? h.paperSpaceBlockEntity : h.modelSpaceBlockEntity, block->name, paper);
            *found.endHeader = *found.blockHeader;
            found.endHeader->type = AD_ENTITY_ENDBLK;
            found.endHeader->handle = paper ? h.paperSpaceEndblk : h.modelSpaceEndblk;
        } else {
            if (!found.foundBlock || !found.foundEnd) {
                adGlobals->offendingHandle = block->handle;
                adSetError(AD_ERR_DWG_BLOCK_ENTITY);
                return 0;
            }
            std::memcpy(links->basePoint, found.blockData->block.basePoint, sizeof links->basePoint);
            copyText(links->xrefPath, found.blockData->block.xrefPath, sizeof links->xrefPath);
        }
        links->blockEntity = found.blockHeader->handle;
        links->endblk = found.endHeader->handle;
        const std::uint16_t mode = model ? 2 : paper ? 1 : 0;
        AdRecordList* list = adBlockEntityList(source, &block->handle);
        if (!adDwgPlanEntities(writer, list, block->handle, mode, plan.get())) return 0;
        links->first = plan->first;
        links->last = plan->last;
        if (!adDwgWriteBlockHeader(writer, block.get(), index, links.get()) ||
            !adDwgWriteEntities(writer, list, *plan))
            return 0;
        char name[AD_TABLE_NAME_SIZE];
        writtenBlockName(found.blockData->block.name, paper, name);
        if (!writeBlockEntity(writer, found.blockHeader.get(), name, index, mode, block->handle) ||
            !writeBlockEntity(writer, found.endHeader.get(), nullptr, index, mode, block->handle))
            return 0;
    }
    return 1;
}
