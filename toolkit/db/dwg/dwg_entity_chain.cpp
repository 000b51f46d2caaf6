// Which entity of an AC1012+ file comes next: the chains link their entities
// one to the next, and a POLYLINE or an INSERT with attributes is followed by
// its vertices or attributes and its SEQEND before the chain goes on.
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {

bool same(const AdHandle& a, const AdHandle& b) { return adHandleCompare(&a, &b) == 0; }
bool isNull(const AdHandle& h) { return adHandleLength(&h) == 0; }

constexpr std::uint8_t kModeNormal = 0;
constexpr std::uint8_t kModeToEndblk = 1;
constexpr std::uint8_t kModeEndChain = 2;

bool isPolyline(std::int16_t type) {
    return type == AD_DWG_POLYLINE_2D || type == AD_DWG_POLYLINE_3D || type == AD_DWG_POLYLINE_PFACE ||
           type == AD_DWG_POLYLINE_MESH;
}

bool isVertex(std::int16_t type) { return type >= AD_DWG_VERTEX_2D && type <= AD_DWG_VERTEX_PFACE_FACE; }

bool isInsert(std::int16_t type) { return type == AD_DWG_INSERT || type == AD_DWG_MINSERT; }

}  // namespace

int adDwgChainAfter(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data) {
    AdDrawing::AdDwgChains& c = drawing->dwgChains;
    const AdGlobalState::AdDwgEntityRefs& refs = adGlobals->dwgEntity;
    const AdHandle& current = header->handle;
    const auto type = static_cast<std::int16_t>(header->type);
    const bool complex = isPolyline(type) || (isInsert(type) && data->insert.attributesFollow);
    const bool blockLast = c.inBlock && same(current, c.blockLast);
    AdHandle next = refs.next;
    if (complex) {
        c.continuation = blockLast ? c.blockEndblk : refs.next;
        c.lastSub = refs.lastSub;
        c.seqend = refs.seqend;
        next = isNull(refs.firstSub) ? refs.seqend : refs.firstSub;
    } else if (isVertex(type) || type == AD_DWG_ATTRIB) {
        if (same(current, c.lastSub)) next = c.seqend;
    } else if (type == AD_DWG_BLOCK) {
        next = isNull(c.blockFirst) ? c.blockEndblk : c.blockFirst;
    } else if (type == AD_DWG_SEQEND) {
        next = c.mode == kModeToEndblk ? c.blockEndblk : c.mode == kModeEndChain ? AdHandle{} : c.continuation;
        c.mode = kModeNormal;
    }
    const AdHandle& chainLast = c.phase == 0 ? c.firstChainLast : c.secondLast;
    if (!c.inBlock && same(current, chainLast)) {
        if (complex) c.mode = kModeEndChain;
        else next = AdHandle{};
    } else if (blockLast) {
        if (complex) c.mode = kModeToEndblk;
        else next = c.blockEndblk;
    }
    c.next = next;
    if (!isNull(next) && same(next, current)) {
        adSetError(AD_ERR_DWG_ENTITY_CHAIN);
        return 0;
    }
    return 1;
}
