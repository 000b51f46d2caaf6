// The viewport-entity header table of a DWG file. In bit-coded files the
// headers form a chain from the header variables' current header; a
// header's viewport number is its place in that chain.
#include "toolkit/db/dwg/dwg_vport_headers.h"

#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/r12/dwg_r12.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>
#include <iterator>

namespace {
constexpr std::int16_t kHeaderType = 71;

int beginTable(AdDrawing* drawing) {
    return adDwgBeginTable(drawing, &drawing->tableControls[AD_CONTROL_VPORT_ENTITY],
                           drawing->tableEntryCounts[AD_CONTROL_VPORT_ENTITY], 0)
               ? 1
               : 0;
}

// 0 for the table's first record and for headers that are off; else the
// header's place in the chain from 1, -1 beyond the places recorded.
std::int16_t numberOf(AdDrawing* drawing, const AdVportEntityHeader& header) {
    AdDrawing::AdVportHeaderChain& chain = drawing->vportHeaderChain;
    const bool first = chain.firstPending != 0;
    chain.firstPending = 0;
    if (first || header.flags == 0) return 0;
    for (std::int32_t i = 0; i < chain.count; ++i)
        if (adHandleCompare(&chain.handles[i], &header.handle) == 0) return static_cast<std::int16_t>(i + 1);
    return -1;
}

// The next header of the table's entry list; 1 with the record filled (erased
// when its object is missing), 0 on a failure.
int readHeader(AdDrawing* drawing, AdVportEntityHeader* record) {
    AdDwgEntryCommon common;
    std::uint8_t xdataFlag = 0;
    const int start = adDwgEntryStart(drawing, kHeaderType, &common, &xdataFlag, nullptr);
    record->handle = common.handle;
    record->erased = common.erased;
    if (start != 1) return start == 2;
    record->xrefIndex = common.xrefIndex;
    std::memcpy(record->name, common.name, sizeof record->name);
    record->flags = adBitReadBit() ? 1 : 0;
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_VPORT_ENTITY, &common, &xrefBlock)) return 0;
    // The files give the header's VIEWPORT before the next header; a next
    // header that is the header itself ends the chain as a null one does.
    adDwgEntryHandle(&common, &record->viewportEntity);
    adDwgEntryHandle(&common, &record->nextHeader);
    if (adHandleCompare(&record->nextHeader, &record->handle) == 0) record->nextHeader = AdHandle{};
    if (!adDwgEntryFinish(&common)) return 0;
    // The header keeps no reactors.
    if (common.reactors) adStoreFree(common.reactors);
    if (adHandleLength(&record->nextHeader) == 0) drawing->vportHeaderChain.last = record->handle;
    return 1;
}

// Every header's handle and its successor's, 16 bytes a pair, into a new store.
int readLinks(AdDrawing* drawing, AdStore** links) {
    AdStream* out = nullptr;
    if (!adDwgOpenStore(links, &out)) return 0;
    bool ok = true;
    for (std::int32_t i = drawing->tableEntryCounts[AD_CONTROL_VPORT_ENTITY]; ok && i > 0; --i) {
        AdVportEntityHeader header{};
        ok = readHeader(drawing, &header) && adStreamWrite(out, header.handle.b, 8) &&
             adStreamWrite(out, header.nextHeader.b, 8);
    }
    return adDwgCloseStore(links, out, ok);
}

// The successor of the header in the links; null when the header is not there.
AdHandle successorOf(AdStore* links, const AdHandle& handle) {
    AdStream* in = adStreamOpenRead(links);
    AdHandle pair[2] = {};
    AdHandle next{};
    while (in && adStreamRead(in, pair[0].b, 8) && adStreamRead(in, pair[1].b, 8))
        if (adHandleCompare(&pair[0], &handle) == 0) {
            next = pair[1];
            break;
        }
    if (in) adStreamCloseRead(in);
    return next;
}

// Follows the chain from the current header, recording the first handles.
void recordChain(AdDrawing* drawing, AdStore* links) {
    AdDrawing::AdVportHeaderChain& chain = drawing->vportHeaderChain;
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    AdHandle at = dwg ? dwg->vportEntityHeader : AdHandle{};
    while (chain.count < static_cast<std::int32_t>(std::size(chain.handles)) && adHandleLength(&at) > 0) {
        chain.handles[chain.count++] = at;
        at = successorOf(links, at);
    }
}
}  // namespace

int adDwgBeginVportEntities(AdDrawing* drawing) {
    if (adIsFixedRecordDwg(drawing)) return adR12BeginVportEntities(drawing);
    drawing->vportHeaderChain = AdDrawing::AdVportHeaderChain{};
    AdStore* links = nullptr;
    if (!beginTable(drawing) || !readLinks(drawing, &links)) return 0;
    recordChain(drawing, links);
    adStoreFree(links);
    drawing->vportHeaderChain.firstPending = 1;
    return beginTable(drawing);
}

int adDwgNextVportEntity(AdDrawing* drawing, void* out) {
    if (adIsFixedRecordDwg(drawing)) return adR12NextVportEntity(drawing, out);
    auto* record = static_cast<AdVportEntityHeader*>(out);
    if (!readHeader(drawing, record)) return 0;
    record->number = numberOf(drawing, *record);
    return 1;
}
