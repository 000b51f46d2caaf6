// Switching the active paper space to another layout block: the outgoing
// layout's entities become a block again (BLOCK and ENDBLK around them, out
// of paper space), the incoming ones enter paper space with their viewports
// numbered and registered, and the two block records trade places and names.
#include "toolkit/db/entity_insert_refs.h"
#include "toolkit/db/entity_list_steps.h"

#include <cstring>

namespace {

constexpr char kModelSpace[] = "*Model_Space";
constexpr char kPaperSpace[] = "*Paper_Space";
constexpr std::size_t kPaperSpacePrefix = sizeof kPaperSpace - 1;
constexpr std::int32_t kViewportNotNumbered = 1 << 17;

int addWithNewHandle(AdDrawing* drawing, AdRecordList* list, std::uint16_t type, const char* name, bool first) {
    AdEntityHeader header{};
    AdEntityData data{};
    header.type = type;
    adEntityDefaults(drawing, &header, &data);
    if (name) std::memcpy(data.block.name, name, strnlen(name, sizeof data.block.name - 1));
    if (!adNextHandle(drawing, &header.handle)) return 0;
    return first ? adEntityAddAfter(drawing, list, &header, &data, nullptr)
                 : adEntityAdd(drawing, list, &header, &data);
}

// The outgoing layout: out of paper space, framed as a block of its name.
int leavePaperSpace(AdDrawing* drawing, const AdBlockHeader& former) {
    AdRecordList* list = former.entities;
    if (!list) return 0;
    AdEntityHeader header;
    AdEntityData data;
    adEntityRewind(list);
    for (std::int32_t i = adListCount(list); i > 0 && adEntityNext(list, &header, &data); --i) {
        if (!(header.flags & AD_ENTITY_FLAG_PAPER_SPACE)) continue;
        header.flags &= static_cast<std::uint8_t>(~AD_ENTITY_FLAG_PAPER_SPACE);
        if (!adEntityUpdate(drawing, list, &header.handle, &header, &data)) return 0;
    }
    return addWithNewHandle(drawing, list, AD_ENTITY_BLOCK, former.name, true) &&
           addWithNewHandle(drawing, list, AD_ENTITY_ENDBLK, nullptr, false);
}

// The incoming layout: its BLOCK and ENDBLK go, its entities enter paper
// space, and its viewports are numbered and registered.
int enterPaperSpace(AdDrawing* drawing, AdRecordList* list) {
    if (!list) return 0;
    AdEntityHeader header;
    AdEntityData data;
    adEntityRewind(list);
    if (adEntityNext(list, &header, &data) && header.type == AD_ENTITY_BLOCK &&
        !adEntityDelete(drawing, list, &header.handle, 1))
        return 0;
    adEntityRewind(list);
    std::int16_t number = 1;
    for (std::int32_t i = adListCount(list); i > 0 && adEntityNext(list, &header, &data); --i) {
        if (header.type == AD_ENTITY_ENDBLK) return adEntityDelete(drawing, list, &header.handle, 1);
        header.flags |= AD_ENTITY_FLAG_PAPER_SPACE;
        const bool viewport = header.type == AD_ENTITY_VIEWPORT;
        if (viewport && data.viewport.status == 0 && !(data.viewport.statusFlags & kViewportNotNumbered)) {
            data.viewport.status = data.viewport.id = number;
            ++number;
        }
        if (!adEntityUpdate(drawing, list, &header.handle, &header, &data)) return 0;
        // Registered only once written back: the update replaced the record.
        auto* record = static_cast<AdListRecord*>(adHandleIndexFind(drawing, &header.handle));
        if (viewport &&
            !adAddPaperViewport(drawing, &header.handle, &data.viewport.blockHandle, record, data.viewport.id)) {
            adSetError(AD_ERR_LAYOUT_VIEWPORT);
            return 0;
        }
    }
    return 1;
}

AdListRecord* previousOf(AdListRecord* record) {
    AdListRecord links;
    HostMemMove(&links, record, sizeof links);
    return links.previous;
}

// The outgoing record takes the incoming one's place, the incoming one goes
// last; the outgoing layout takes over the incoming one's name, so that block
// names stay unique.
int tradeBlockRecords(AdDrawing* drawing, const AdHandle* chosen, const AdHandle* former) {
    AdListRecord* chosenNode = adInsertBlockRecord(drawing, chosen);
    AdListRecord* formerNode = adInsertBlockRecord(drawing, former);
    AdBlockHeader incoming;
    AdBlockHeader outgoing;
    if (!chosenNode || !formerNode || !adBlockByHandle(drawing, chosen, &incoming) ||
        !adBlockByHandle(drawing, former, &outgoing))
        return 0;
    AdRecordList* blocks = drawing->blocks;
    AdListRecord* place = previousOf(chosenNode);
    if (place == formerNode) place = previousOf(formerNode);
    adListUnlink(blocks, chosenNode);
    adListUnlink(blocks, formerNode);
    if (place)
        adListInsertAfter(blocks, place, formerNode);
    else
        adListInsertChainFirst(blocks, formerNode);
    adListInsertLast(blocks, chosenNode);
    std::memcpy(outgoing.name, incoming.name, sizeof outgoing.name);
    std::memset(incoming.name, 0, sizeof incoming.name);
    std::memcpy(incoming.name, kPaperSpace, sizeof kPaperSpace);
    return adBlockUpdate(drawing, &outgoing) && adBlockUpdate(drawing, &incoming);
}

}  // namespace

int adSetActiveLayout(AdDrawing* drawing, const AdHandle* block) {
    if (!drawing || !block) return 0;
    if (adHandleCompare(block, &drawing->paperSpaceBlock) == 0) return 1;
    AdBlockHeader chosen;
    if (!adBlockByHandle(drawing, block, &chosen)) return 0;
    if (adStrCompareNoCase(chosen.name, kModelSpace) == 0) {
        if (drawing->header) drawing->header->tilemode = 1;
        return 1;
    }
    if (adStrCompareNoCaseN(chosen.name, kPaperSpace, kPaperSpacePrefix) != 0) return 0;
    const AdHandle formerHandle = drawing->paperSpaceBlock;
    AdBlockHeader former;
    if (!adBlockByHandle(drawing, &formerHandle, &former) || !chosen.entities) return 0;

    if (!leavePaperSpace(drawing, former)) return 0;
    adFreeVportEntityList(drawing);
    if (!(drawing->vportEntities = adListCreate()) || !enterPaperSpace(drawing, chosen.entities)) return 0;
    drawing->paperSpace = chosen.entities;
    drawing->cachedViewport = AdHandle{};
    drawing->paperSpaceBlock = *block;
    return tradeBlockRecords(drawing, block, &formerHandle);
}
