// One entity from the reader to its entity list: filtered, its references
// resolved, its extended data collected and, for simple 2D polylines,
// gathered into a lightweight polyline.
#include "toolkit/db/entity_loading.h"
#include "toolkit/db/entity_list_steps.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {

constexpr std::uint16_t kFilteredTypeLimit = 32;

static_assert(sizeof AdGlobalState::AdDxfInheritance::layer == sizeof AdGlobalState::dxfNames[0]);

void copyName(char* to, const char* from) {
    std::memcpy(to, from, sizeof AdGlobalState::dxfNames[0] - 1);
    to[sizeof AdGlobalState::dxfNames[0] - 1] = '\0';
}

// DXF inheritance: a VERTEX or SEQEND takes the names and paper-space bit of
// the POLYLINE (or INSERT) it belongs to.
void inherit(AdEntityHeader* header) {
    AdGlobalState::AdDxfInheritance& inherited = adGlobals->dxfInherited;
    char* layer = adGlobals->dxfNames[AD_DXF_NAME_LAYER];
    char* linetype = adGlobals->dxfNames[AD_DXF_NAME_LINETYPE];
    const std::uint8_t bit = header->flags & AD_ENTITY_FLAG_PAPER_SPACE;
    switch (header->type) {
    case AD_ENTITY_POLYLINE:
        copyName(inherited.layer, layer);
        copyName(inherited.linetype, linetype);
        inherited.linetypeIndex = adGlobals->dxfLinetypeIndex;
        inherited.color = header->color;
        inherited.paperSpace = bit;
        inherited.polylineOpen = true;
        return;
    case AD_ENTITY_INSERT:
        inherited.insertPaperSpace = bit;
        return;
    case AD_ENTITY_VERTEX:
    case AD_ENTITY_SEQEND:
        break;
    default:
        return;
    }
    const bool fromPolyline = header->type == AD_ENTITY_VERTEX || inherited.polylineOpen;
    const std::uint8_t from = fromPolyline ? inherited.paperSpace : inherited.insertPaperSpace;
    header->flags = static_cast<std::uint8_t>((header->flags & ~AD_ENTITY_FLAG_PAPER_SPACE) | from);
    if (!fromPolyline) return;
    copyName(layer, inherited.layer);
    copyName(linetype, inherited.linetype);
    adGlobals->dxfLinetypeIndex = inherited.linetypeIndex;
    if (header->type == AD_ENTITY_SEQEND || header->color == AD_COLOR_BYLAYER) header->color = inherited.color;
    if (header->type == AD_ENTITY_SEQEND) inherited.polylineOpen = false;
}

// R13 files keep entities of the zombie class under its number; they are
// stored as proxies, as later files store them.
bool zombie(const AdDrawing* drawing, std::uint16_t type) {
    return !adIsDxf(drawing) && drawing->version == AD_VERSION_AC1012 && drawing->zombieEntityClass != 0 &&
           type == static_cast<std::uint16_t>(drawing->zombieEntityClass);
}

bool filteredOut(const AdDrawing* drawing, std::uint16_t type) {
    return drawing->loadMode == 2 && type >= 1 && type < kFilteredTypeLimit && !adGlobals->entityTypeFilter[type];
}

}  // namespace

void adResetEntityInheritance() { adGlobals->dxfInherited = AdGlobalState::AdDxfInheritance{}; }

int adAddEntityRecord(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, AdRecordList* list,
                      AdListRecord** record) {
    // A handle the file repeats goes to the first record that carried it;
    // the later one gets a new handle, and the repair is noted. Only an
    // INSERT is looked up before it is stored, since storing one also enters
    // it in its block's references; any other entity is stored at once and,
    // when the index refuses its handle as taken (the record then gone
    // again), stored anew. That saves a lookup for nearly every entity.
    bool repeated = header->type == AD_ENTITY_INSERT && adHandleIndexFind(drawing, &header->handle);
    const AdSavedError before = adSaveError();
    AdListRecord* stored = nullptr;
    for (;;) {
        if (repeated) {
            const AdHandle taken = header->handle;
            if (!adNextHandle(drawing, &header->handle)) break;
            adNoteSkippedRecord(drawing, AD_ERR_DUPLICATE_HANDLE, taken);
        }
        stored = adEntityLink(drawing, list, header, data, AD_LIST_AT_END, nullptr, AD_READ_PACK,
                              AD_READ_VIEWPORT_RECORD);
        if (stored || repeated || adGlobals->errorCode != AD_ERR_DUPLICATE_HANDLE) break;
        adRestoreError(before);
        repeated = true;
    }
    if (record) *record = stored;
    if (stored) return 1;
    drawing->readError = static_cast<std::int16_t>(adGlobals->errorCode);
    adEntityFreeStores(drawing, header, data);
    return 0;
}

std::uint16_t adReadEntity(AdDrawing* drawing, AdRecordList* listA, AdRecordList* listB, int assign, int blockMode) {
    AdReadEntityOp read = drawing->readOps ? drawing->readOps->readEntity : nullptr;
    if (!read) {
        drawing->readError = static_cast<std::int16_t>(adGlobals->errorCode);
        return 0;
    }
    AdEntityHeader header{};
    // One record serves every entity of the load: it is large, and an
    // allocation per entity cost more than reading most entities.
    if (!drawing->entityScratch)
        drawing->entityScratch = static_cast<AdEntityData*>(HostAlloc(sizeof(AdEntityData)));
    AdEntityData* data = drawing->entityScratch;
    if (!data) {
        drawing->readError = AD_READ_PACK;
        return 0;
    }
    std::uint8_t flag = 0;
    const std::int32_t stage = adGlobals->errorCode;
    int got = 0;
    // Skipped records are bounded by the file: each takes the reader forward.
    // Whatever a skipped record or a read that failed half-way left in the
    // record's stores is freed here: nothing else will see them.
    do {
        std::memset(data, 0, sizeof *data);
        flag = 0;
        got = read(drawing, &header, data, &flag);
        if (!got || (flag & AD_ENTITY_READ_SKIP)) adEntityFreeStores(drawing, &header, data);
    } while (got && (flag & AD_ENTITY_READ_SKIP));
    std::uint16_t type = got ? header.type : 0;
    if (!got && adGlobals->errorCode != stage) drawing->readError = static_cast<std::int16_t>(adGlobals->errorCode);
    if (type) {
        if (blockMode) header.flags &= static_cast<std::uint8_t>(~AD_ENTITY_FLAG_PAPER_SPACE);
        const bool xdata = (flag & AD_ENTITY_READ_XDATA) != 0;
        if (type == AD_ENTITY_VIEWPORT && drawing->version < AD_VERSION_AC1015 && !xdata &&
            (header.flags & AD_ENTITY_FLAG_PAPER_SPACE)) {
            // One such viewport must not cost the whole drawing: it is left
            // out and noted.
            adNoteSkippedRecord(drawing, AD_READ_PAPER_VIEWPORT, header.handle);
            adEntityFreeStores(drawing, &header, data);
        } else if (filteredOut(drawing, type)) {
            adEntityFreeStores(drawing, &header, data);
        } else {
            if (assign || (drawing->dxf && adHandleLength(&header.handle) == 0)) adNextHandle(drawing, &header.handle);
            if (zombie(drawing, type)) header.type = type = AD_ENTITY_PROXY;
            if (drawing->dxf) inherit(&header);
            adResolveEntityReferences(drawing, &header, data);
            if (xdata && !adPolylineGatherConverting(drawing, type) &&
                !adCollectExtendedData(drawing, &header.xdata)) {
                drawing->readError = AD_READ_XDATA;
                adEntityFreeStores(drawing, &header, data);
                type = 0;
            }
            AdRecordList* list = (header.flags & AD_ENTITY_FLAG_PAPER_SPACE) ? listB : listA;
            const int taken = type ? adPolylineGatherOffer(drawing, &header, data, list) : 1;
            if (taken < 0 || (taken == 0 && !adAddEntityRecord(drawing, &header, data, list, nullptr))) type = 0;
        }
    }
    return type;
}
