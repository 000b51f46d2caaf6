// The entities of one block's list: which are written, and how they chain.
// Main entities link one to the next; a POLYLINE's vertices or an INSERT's
// attributes form a chain of their own under it, closed by its SEQEND.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include <memory>
#include <new>

namespace {
bool isSubEntity(std::int16_t type) {
    return type == AD_DWG_ATTRIB || type == AD_DWG_SEQEND ||
           (type >= AD_DWG_VERTEX_2D && type <= AD_DWG_VERTEX_PFACE_FACE);
}

bool isComplex(std::int16_t type, const AdEntityData* data) {
    switch (type) {
    case AD_DWG_POLYLINE_2D:
    case AD_DWG_POLYLINE_3D:
    case AD_DWG_POLYLINE_PFACE:
    case AD_DWG_POLYLINE_MESH: return true;
    case AD_DWG_INSERT:
    case AD_DWG_MINSERT: return data->insert.attributesFollow != 0;
    default: return false;
    }
}

bool leftOut(const AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data) {
    if (header->type == AD_ENTITY_SHAPE && data->shape.shapeNumber == 255) return true;
    return !adEntityWritable(header, data, writer->source, writer->output);
}

// Links the main entities of the plan one to the next, and the members of
// each sub-chain among themselves.
void linkPlan(AdDwgEntityPlan* plan) {
    using Item = AdDwgEntityPlan::Item;
    Item* previousMain = nullptr;
    Item* owner = nullptr;     // the complex entity whose sub-chain is open
    Item* previousSub = nullptr;
    for (Item& item : plan->items) {
        if (item.type == 0 || (isSubEntity(item.type) && !owner)) continue;
        if (!isSubEntity(item.type)) {
            item.links.previous = previousMain ? previousMain->handle : AdHandle{};
            if (previousMain) previousMain->links.next = item.handle;
            if (adHandleLength(&plan->first) == 0) plan->first = item.handle;
            plan->last = item.handle;
            previousMain = &item;
            owner = item.complex ? &item : nullptr;
            continue;
        }
        item.links.owner = owner->handle;
        item.links.mode = 0;
        if (item.type == AD_DWG_SEQEND) {
            owner->links.seqend = item.handle;
            owner = nullptr;
            continue;
        }
        if (adHandleLength(&owner->links.firstSub) == 0) {
            owner->links.firstSub = item.handle;
            previousSub = nullptr;
        }
        owner->links.lastSub = item.handle;
        item.links.previous = previousSub ? previousSub->handle : AdHandle{};
        if (previousSub) previousSub->links.next = item.handle;
        previousSub = &item;
    }
}
}  // namespace

int adDwgPlanEntities(AdDwgWriter* writer, AdRecordList* list, const AdHandle& block, std::uint16_t mode,
                      AdDwgEntityPlan* plan) {
    plan->items.clear();
    plan->first = plan->last = AdHandle{};
    if (!list) return 1;
    AdEntityHeader* header = writer->work->entityHeader;
    AdEntityData* data = writer->work->entityData;
    try {
        std::int16_t openComplex = 0;  // a POLYLINE or INSERT waits for its sub-entities
        bool ended = false;
        adEntityRewind(list);
        while (adEntityNext(list, header, data)) {
            AdDwgEntityPlan::Item item{header->handle, 0, AdDwgEntityLinks{block, {}, {}, mode, {}, {}, {}}, false};
            const bool boundary = header->type == AD_ENTITY_BLOCK || header->type == AD_ENTITY_ENDBLK;
            ended = ended || header->type == AD_ENTITY_ENDBLK;
            const std::int16_t type = adDwgEntityType(header, data);
            if (!ended && !boundary && adDwgCanWriteEntity(type) && !leftOut(writer, header, data)) {
                // A sub-entity without its POLYLINE or INSERT cannot be reached.
                if (!isSubEntity(type) || openComplex) item.type = type;
                if (isSubEntity(type)) {
                    if (type == AD_DWG_SEQEND) openComplex = 0;
                } else {
                    item.complex = isComplex(type, data);
                    openComplex = item.complex ? type : 0;
                }
            }
            plan->items.push_back(item);
        }
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_DWG_MAP_MEMORY);
        return 0;
    }
    linkPlan(plan);
    return 1;
}

int adDwgWriteEntities(AdDwgWriter* writer, AdRecordList* list, const AdDwgEntityPlan& plan) {
    if (!list) return 1;
    AdEntityHeader* header = writer->work->entityHeader;
    AdEntityData* data = writer->work->entityData;
    adEntityRewind(list);
    int ok = 1;
    for (std::size_t i = 0; ok && i < plan.items.size() && adEntityNext(list, header, data); ++i) {
        const AdDwgEntityPlan::Item& item = plan.items[i];
        if (item.type == 0) continue;
        if (writer->version == AD_VERSION_AC1012 && adEntityKind(writer->source, header->type) == AD_KIND_LWPOLYLINE)
            ok = adDwgWriteLwpolylineAsPolyline(writer, header, data, item.links);
        else
            ok = adDwgWriteEntity(writer, header, data, item.links, item.type);
    }
    return ok;
}
