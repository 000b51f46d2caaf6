// The fixed-record DWG writer of AC1002 to AC1009: the header block, the
// entities of paper and model space, the tables, the blocks section with a
// stand-in for each erased block, and the finisher.
#include "toolkit/write/r12/r12_writer.h"
#include "toolkit/write/dwg/dwg_writer.h"
#include "toolkit/db/table_cursor.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
// Handles a stand-in block takes: its BLOCK, its ENDBLK and one more.
constexpr std::int32_t kFakeBlockHandles = 3;
constexpr std::size_t kPaperSpaceNameLength = 12;

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

bool isPaperSpaceName(const char* name) {
    return adStrCompareNoCaseN(name, "*PAPER_SPACE", kPaperSpaceNameLength) == 0;
}

// Entity progress over both space lists: a quarter of each 5 percent.
struct Progress {
    std::int64_t total;
    std::int64_t written = 0;
    std::int32_t last = -1;
    void step() {
        ++written;
        if (total <= 0) return;
        std::int32_t percent = static_cast<std::int32_t>(written * 100 / total);
        percent -= percent % 5;
        if (percent == last) return;
        last = percent;
        adReportSaveProgress(percent / 4);
    }
};

// The entity's extended data in its written form, in the output's buffer.
int convertXdata(AdR12Writer* writer, const AdEntityHeader* header) {
    adR12XdataReset(writer->output);
    if (!header->xdata || writer->version != AD_VERSION_AC1009) return 1;
    AdStream* in = adStreamOpenRead(header->xdata);
    if (!in) return 1;
    AdXdataItem* item = writer->work->xdataItem;
    int ok = 1;
    bool unnamed = false;
    while (ok && adXdataReadItem(in, item)) {
        // An application block whose application the drawing never resolved
        // has no APPID record to name: it is left out, not the file.
        if (item->code == 1001) unnamed = adHandleLength(&item->value.handle) == 0;
        if (!unnamed) ok = adR12XdataItem(writer->source, writer->output, item);
    }
    adStreamCloseRead(in);
    if (ok && writer->output->xdataOverflow) {
        adSetError(AD_ERR_R12_RECORD_TOO_LONG);
        ok = 0;
    }
    return ok;
}

struct ConvertedSink {
    AdR12Writer* writer;
    std::int32_t blockNumber;
};

// The records of a converted LWPOLYLINE: its extended data stays with the
// POLYLINE.
int writeConverted(AdDrawing*, AdOutputDrawing* output, AdEntityHeader* header, AdEntityData* data, int position,
                   void* user) {
    auto* sink = static_cast<ConvertedSink*>(user);
    if (position != AD_CONVERTED_POLYLINE) adR12XdataReset(output);
    return adR12WriteEntity(sink->writer, header, data, sink->blockNumber);
}

int writeOne(AdR12Writer* writer, AdEntityHeader* header, AdEntityData* data, std::int32_t blockNumber) {
    AdDrawing* source = writer->source;
    if (header->type == AD_ENTITY_SHAPE && data->shape.shapeNumber == 255) return 1;
    if (!adEntityWritable(header, data, source, writer->output)) return 1;
    if (!adEntityHandlesToIndexes(source, header, data, &adGlobals->entityIndexes)) return 0;
    const bool viewport = header->type == AD_ENTITY_VIEWPORT;
    AdStore* saved = header->xdata;
    if (viewport && !adDwgBuildMviewXdata(source, writer->output, header, &data->viewport, &saved)) return 0;
    int ok = convertXdata(writer, header);
    const std::int16_t lw = adClassNumLwpolyline(source);
    if (ok && lw != 0 && header->type == static_cast<std::uint16_t>(lw)) {
        ConvertedSink sink{writer, blockNumber};
        ok = adWriteLwpolyAsPolyline(source, writer->output, header, data, 0, writeConverted, &sink);
    } else if (ok) {
        ok = adR12WriteEntity(writer, header, data, blockNumber);
    }
    if (viewport) adDwgRestoreMviewXdata(header, saved);
    return ok;
}

// The entities of a space; BLOCK and ENDBLK records of a space belong to no
// section of these files.
int writeSpace(AdR12Writer* writer, AdRecordList* list, Progress* progress) {
    if (!list) return 1;
    AdEntityHeader* header = writer->work->entityHeader;
    AdEntityData* data = writer->work->entityData;
    adEntityRewind(list);
    while (adEntityNext(list, header, data)) {
        progress->step();
        if (header->type == AD_ENTITY_BLOCK || header->type == AD_ENTITY_ENDBLK) continue;
        if (!writeOne(writer, header, data, 0)) return 0;
    }
    return 1;
}

AdRecordList* spaceList(AdDrawing* source, int which) {
    AdHandle block{};
    adSpaceBlockHandle(source, &block, which);
    return adHandleLength(&block) ? adBlockEntityList(source, &block) : nullptr;
}

int writeEntities(AdR12Writer* writer) {
    AdRecordList* paper = spaceList(writer->source, AD_SPACE_PAPER);
    AdRecordList* model = spaceList(writer->source, AD_SPACE_MODEL);
    Progress progress{(paper ? adListCount(paper) : 0) + (model ? adListCount(model) : 0)};
    if (!adR12BeginEntities(writer)) return 0;
    writer->paperSpace = true;
    const int ok = writeSpace(writer, paper, &progress);
    writer->paperSpace = false;
    return ok && writeSpace(writer, model, &progress);
}

// The name a block goes under in these files: anonymous names keep their
// kind only, and a second paper space loses what follows its name.
void fileBlockName(AdDrawing* source, AdBlockHeader* block) {
    AdHandle paper{};
    adSpaceBlockHandle(source, &paper, AD_SPACE_PAPER);
    if (block->name[0] == '*' && !isPaperSpaceName(block->name))
        block->name[2] = '\0';
    else if (isPaperSpaceName(block->name) && !sameHandle(block->handle, paper))
        block->name[kPaperSpaceNameLength] = '\0';
}

// The first count - 2 blocks (the two spaces come last), by a walk of their
// list: name look-ups move the table's cursor.
template <class Step>
int forEachBlock(AdR12Writer* writer, Step step) {
    const std::int32_t blocks = adBlockCount(writer->source) - 2;
    auto block = std::make_unique<AdBlockHeader>();
    AdListRecord* record = adListFirst(adTableList(writer->source, adBlockTable));
    for (std::int32_t i = 0; i < blocks && record; ++i, record = record->next) {
        adTableReadField(record, 0, block.get(), sizeof(AdBlockHeader));
        fileBlockName(writer->source, block.get());
        if (!step(block.get(), i, blocks)) return 0;
    }
    return 1;
}

template <class Record>
int writeTable(AdR12Writer* writer, AdR12Table table, const AdTableDesc& desc, std::int32_t progress,
               int (*write)(AdDrawing*, AdOutputDrawing*, const Record*, std::int32_t),
               bool (*skip)(AdDrawing*, const Record*) = nullptr) {
    if (writer->output->recordSizes[table] == 0) return 1;
    if (!adR12BeginTable(writer, table)) return 0;
    auto record = std::make_unique<Record>();
    std::int32_t number = 0;
    adTableRewind(writer->source, desc);
    while (adTableNext(writer->source, desc, record.get())) {
        if (skip && skip(writer->source, record.get())) continue;
        if (!write(writer->source, writer->output, record.get(), number++)) return 0;
    }
    if (progress) adReportSaveProgress(progress);
    return 1;
}

bool specialLinetype(AdDrawing* source, const AdLtypeRecord* ltype) {
    return sameHandle(ltype->handle, source->byLayerLtype) || sameHandle(ltype->handle, source->byBlockLtype);
}

int writeViews(AdR12Writer* writer) {
    if (!adR12BeginTable(writer, AD_R12_VIEW)) return 0;
    auto view = std::make_unique<AdViewTableRecord>();
    std::int32_t number = 0;
    for (adViewRewind(writer->source); adViewNext(writer->source, view.get());)
        if (!adR12WriteViewRecord(writer->source, writer->output, view.get(), number++)) return 0;
    adReportSaveProgress(46);
    return 1;
}

// The VX table: an empty first record, then one per viewport entity header,
// the first named "1".
int writeVx(AdR12Writer* writer) {
    if (writer->version != AD_VERSION_AC1009) return 1;
    if (!adR12BeginTable(writer, AD_R12_VX)) return 0;
    auto member = std::make_unique<AdVportEntityHeader>();
    bool first = true;
    adTableRewind(writer->source, adVportEntityTable);
    while (adTableNext(writer->source, adVportEntityTable, member.get())) {
        if (first) {
            AdVportEntityHeader empty{};
            empty.entityIndex = -1;
            if (!adR12WriteVxRecord(writer->output, &empty)) return 0;
        }
        std::memset(member->name, 0, sizeof member->name);
        if (first) member->name[0] = '1';
        member->entityIndex = -1;
        first = false;
        if (!adR12WriteVxRecord(writer->output, member.get())) return 0;
    }
    return 1;
}

int writeTables(AdR12Writer* writer) {
    if (!adR12BeginTable(writer, AD_R12_BLOCK)) return 0;
    const int blocks = forEachBlock(writer, [&](AdBlockHeader* block, std::int32_t i, std::int32_t) {
        return adR12WriteBlockRecord(writer->source, writer->output, block, i) != 0;
    });
    if (!blocks) return 0;
    adReportSaveProgress(29);
    return writeTable<AdLayerRecord>(writer, AD_R12_LAYER, adLayerTable, 34, adR12WriteLayerRecord) &&
           writeTable<AdStyleRecord>(writer, AD_R12_STYLE, adStyleTable, 38, adR12WriteStyleRecord) &&
           writeTable<AdLtypeRecord>(writer, AD_R12_LTYPE, adLtypeTable, 42, adR12WriteLtypeRecord,
                                     specialLinetype) &&
           writeViews(writer) &&
           writeTable<AdUcsRecord>(writer, AD_R12_UCS, adUcsTable, 50, adR12WriteUcsRecord) &&
           writeTable<AdVportRecord>(writer, AD_R12_VPORT, adVportTable, 54, adR12WriteVportRecord) &&
           writeTable<AdAppidRecord>(writer, AD_R12_APPID, adAppidTable, 58, adR12WriteAppidRecord) &&
           writeTable<AdDimStyleRecord>(writer, AD_R12_DIMSTYLE, adDimStyleTable, 62, adR12WriteDimStyleRecord) &&
           writeVx(writer);
}

int writeBlockEntities(AdR12Writer* writer, AdBlockHeader* block, std::int32_t number) {
    if (block->erased) return adR12WriteFakeBlock(writer, number);
    AdRecordList* list = block->entities;
    if (!list || !adEntityRewind(list)) {
        adSetError(AD_ERR_R12_BLOCK_LIST);
        return 0;
    }
    AdEntityHeader* header = writer->work->entityHeader;
    AdEntityData* data = writer->work->entityData;
    while (adEntityNext(list, header, data))
        if (!writeOne(writer, header, data, number)) return 0;
    return 1;
}

int writeBlocks(AdR12Writer* writer) {
    if (!adR12BeginBlocks(writer)) return 0;
    adReportSaveProgress(66);
    writer->inBlocks = true;
    const int ok = forEachBlock(writer, [&](AdBlockHeader* block, std::int32_t i, std::int32_t n) {
        if (!adR12PatchBlockAddress(writer, i)) return false;
        adReportSaveProgress(66 + 25 * i / n);
        return writeBlockEntities(writer, block, i) != 0;
    });
    writer->inBlocks = false;
    return ok;
}

// The handles of the stand-in blocks lie below the seed the file names, and
// the LWPOLYLINE conversion's above it.
void reserveHandles(AdR12Writer* writer) {
    AdDrawing* source = writer->source;
    AdOutputDrawing* output = writer->output;
    std::int32_t erased = 0;
    forEachBlock(writer, [&](AdBlockHeader* block, std::int32_t, std::int32_t) {
        if (block->erased) ++erased;
        return true;
    });
    output->nextHandle = source->handleSeed;
    const std::int32_t draws = erased > 0 ? erased * kFakeBlockHandles : 1;
    AdHandle drawn{};
    for (std::int32_t i = 0; i < draws; ++i) adNextHandle(source, &drawn);
    AdHandle seed = source->handleSeed;
    adLwpolyHandleReserve(source, output, &seed);
    output->header->handseed = seed;
    source->handleSeed = seed;
}

int writeFile(AdR12Writer* writer) {
    AdDrawing* source = writer->source;
    adResetHandleCaches(source);
    writer->pendingOwner = -1;
    writer->viewportNumber = 1;
    reserveHandles(writer);
    std::int16_t indexes[AD_HEADER_INDEX_COUNT] = {};
    if (!adHeaderHandlesToIndexes(source, writer->output->header, indexes) ||
        !adR12WriteHeader(writer, writer->output->header, indexes)) {
        adSetError(AD_ERR_DWG_HEADER_WRITE);
        return 0;
    }
    if (!writeEntities(writer) || !writeTables(writer) || !writeBlocks(writer)) return 0;
    adReportSaveProgress(95);
    return adR12Finish(writer);
}
}  // namespace

int adR12WriteFakeBlock(AdR12Writer* writer, std::int32_t block) {
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    header->color = 256;
    header->linetypeScale = 1.0;
    header->extrusion[2] = 1.0;
    AdGlobalState::AdEntityIndexes& ix = adGlobals->entityIndexes;
    ix = AdGlobalState::AdEntityIndexes{0, AD_LINETYPE_INDEX_BYLAYER, 0, -1, -1};
    adR12XdataReset(writer->output);
    const bool handles = writer->version == AD_VERSION_AC1009 && writer->output->header->handling;
    AdOutputDrawing* output = writer->output;
    auto draw = [&](AdHandle* handle) {
        if (!handles) return;
        *handle = output->nextHandle;
        adHandleIncrement(&output->nextHandle);
    };
    header->type = AD_ENTITY_BLOCK;
    std::snprintf(data->block.name, sizeof data->block.name, "FAKE%d", static_cast<int>(block));
    draw(&header->handle);
    if (!adR12WriteEntity(writer, header.get(), data.get(), block)) return 0;
    header->type = AD_ENTITY_ENDBLK;
    draw(&header->handle);
    if (!adR12WriteEntity(writer, header.get(), data.get(), block)) return 0;
    AdHandle spare{};
    draw(&spare);
    return 1;
}

int adDwgWriteR12(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work) {
    auto writer = std::make_unique<AdR12Writer>();
    writer->source = source;
    writer->output = output;
    writer->work = work;
    writer->version = output->version;
    if (!writeFile(writer.get())) return 0;
    adSetError(AD_OK);
    return 1;
}
