// The records an entity refers to, named by the reader: DXF files give
// names, files before AC1012 table indexes; later DWG files give handles,
// which are kept as read.
#include "toolkit/db/completion_objects.h"
#include "toolkit/db/entity_loading.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/table_index.h"
#include "toolkit/db/r12/r12_read.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int kLayerCache = 0;
constexpr int kLtypeCache = 1;
constexpr int kStyleCache = 2;
constexpr int kDimStyleCache = 4;

const char* dxfName(int slot) { return adGlobals->dxfNames[slot]; }

// A name's slot among the drawing's name caches.
std::size_t nameSlot(const AdTableDesc& table, const char* name, std::size_t length) {
    std::uint32_t hash = 2166136261u ^ static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&table) >> 4);
    for (std::size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(name[i])) * 16777619u;
    return hash % AD_NAME_CACHE_COUNT;
}

// The handle of a table's record by name, as adTableHandleByName finds it.
// DXF entities name their layer, linetype and style: the answer for a name
// is kept until a table is edited, and a long name is always looked up.
int handleByName(AdDrawing* drawing, const AdTableDesc& table, const char* name, AdHandle* handle) {
    const std::size_t length = std::strlen(name);
    if (length >= AD_NAME_CACHE_NAME_SIZE) return adTableHandleByName(drawing, table, name, handle);
    AdNameCache& cache = drawing->nameCaches[nameSlot(table, name, length)];
    if (cache.table != &table || cache.tableEdits != drawing->tableEdits || std::strcmp(cache.name, name) != 0) {
        cache.found = adTableHandleByName(drawing, table, name, &cache.handle);
        cache.table = &table;
        cache.tableEdits = drawing->tableEdits;
        std::memcpy(cache.name, name, length + 1);
    }
    *handle = cache.handle;
    return cache.found;
}

// Indexes repeat from one entity to the next: the last one is cached.
template <class Record>
AdHandle byIndex(AdDrawing* drawing, int cache, int (*rewind)(AdDrawing*), int (*next)(AdDrawing*, Record*),
                 std::int16_t index) {
    AdHandleCache& c = drawing->handleCaches[cache];
    if (c.index != index) {
        adTableHandleAtIndex(drawing, rewind, next, index, &c.handle);
        c.index = index;
    } else {
        ++c.hits;
    }
    return c.handle;
}

// A layer the LAYER table lacks is made, so that the entity keeps its layer.
AdHandle dxfLayer(AdDrawing* drawing, const char* name) {
    AdHandle handle{};
    if (handleByName(drawing, adLayerTable, name, &handle)) return handle;
    AdLayerRecord* layer = static_cast<AdLayerRecord*>(HostAlloc(sizeof(AdLayerRecord)));
    if (!layer) return handle;
    adDefaultLayerRecord(drawing, layer);
    std::strncpy(layer->name, name, sizeof layer->name - 1);
    layer->name[sizeof layer->name - 1] = '\0';
    if (adNextHandle(drawing, &layer->handle) && adLayerAdd(drawing, layer)) handle = layer->handle;
    HostFree(layer);
    return handle;
}

void resolveLayerAndLinetype(AdDrawing* drawing, AdEntityHeader* header) {
    if (drawing->dxf) {
        header->layer = dxfLayer(drawing, dxfName(AD_DXF_NAME_LAYER));
        const std::int16_t index = adGlobals->dxfLinetypeIndex;
        if (index == AD_LINETYPE_INDEX_BYBLOCK) header->linetype = drawing->byBlockLtype;
        else if (index == AD_LINETYPE_INDEX_BYLAYER && dxfName(AD_DXF_NAME_LINETYPE)[0] == '\0')
            header->linetype = drawing->byLayerLtype;
        else if (!handleByName(drawing, adLtypeTable, dxfName(AD_DXF_NAME_LINETYPE), &header->linetype))
            header->linetype = drawing->byLayerLtype;
        return;
    }
    const AdGlobalState::AdEntityIndexes& ix = adGlobals->entityIndexes;
    header->layer = byIndex<AdLayerRecord>(drawing, kLayerCache, adLayerRewind, adLayerNext, ix.layer);
    if (ix.linetype == AD_LINETYPE_INDEX_BYLAYER) header->linetype = drawing->byLayerLtype;
    else if (ix.linetype == AD_LINETYPE_INDEX_BYBLOCK) header->linetype = drawing->byBlockLtype;
    else header->linetype = byIndex<AdLtypeRecord>(drawing, kLtypeCache, adLtypeRewind, adLtypeNext, ix.linetype);
}

AdHandle firstStyle(AdDrawing* drawing) {
    AdHandle handle{};
    adTableHandleAtIndex<AdStyleRecord>(drawing, adStyleRewind, adStyleNext, 0, &handle);
    return handle;
}

AdHandle textStyle(AdDrawing* drawing) {
    if (!drawing->dxf)
        return byIndex<AdStyleRecord>(drawing, kStyleCache, adStyleRewind, adStyleNext,
                                      adGlobals->entityIndexes.textStyle);
    const char* name = dxfName(AD_DXF_NAME_TEXT_STYLE);
    if (name[0] == '\0' && drawing->version < AD_VERSION_FIRST_BITCODED) name = "Standard";
    AdHandle handle{};
    if (name[0] == '\0' || !handleByName(drawing, adStyleTable, name, &handle)) return firstStyle(drawing);
    return handle;
}

AdHandle block(AdDrawing* drawing) {
    AdHandle handle{};
    if (drawing->dxf) {
        if (!adBlockHandleByName(drawing, dxfName(AD_DXF_NAME_BLOCK), &handle)) adFatalError(AD_FATAL_BAD_FILE_DATA);
    } else if (!adBlockHandleByNumber(drawing, adGlobals->entityIndexes.block, &handle)) {
        adFatalError(AD_FATAL_BAD_FILE_DATA);
    }
    return handle;
}

// Dimension styles have no lookup by name: the table is walked.
AdHandle dimStyleByName(AdDrawing* drawing, const char* name, bool missingIsFatal) {
    if (name[0] == '\0' || adStrCompareNoCase(name, "*UNNAMED") == 0) return AdHandle{};
    AdDimStyleRecord* record = static_cast<AdDimStyleRecord*>(HostAlloc(sizeof(AdDimStyleRecord)));
    AdHandle handle{};
    bool found = false;
    if (record && adDimStyleRewind(drawing)) {
        while (!found && adDimStyleNext(drawing, record)) {
            if (adStrCompareNoCase(record->name, name) == 0) {
                handle = record->handle;
                found = true;
            }
        }
    }
    HostFree(record);
    if (!found && missingIsFatal) adFatalError(AD_FATAL_BAD_FILE_DATA);
    return handle;
}

AdHandle dimStyle(AdDrawing* drawing, bool missingIsFatal) {
    if (drawing->dxf) return dimStyleByName(drawing, dxfName(AD_DXF_NAME_DIMSTYLE), missingIsFatal);
    const std::int16_t index = adGlobals->entityIndexes.dimStyle;
    if (index < 0) return AdHandle{};
    return byIndex<AdDimStyleRecord>(drawing, kDimStyleCache, adDimStyleRewind, adDimStyleNext, index);
}

bool namesTextStyle(const AdDrawing* drawing, std::uint16_t type) {
    if (type == AD_ENTITY_TEXT || type == AD_ENTITY_ATTDEF || type == AD_ENTITY_ATTRIB || type == AD_ENTITY_MTEXT)
        return true;
    const AdEntityKind kind = adEntityKind(drawing, type);
    return kind == AD_KIND_RTEXT || kind == AD_KIND_ARCALIGNEDTEXT;
}

}  // namespace

void adResolveEntityReferences(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    const bool byHandle = adIsBitCodedDwg(drawing);
    if (byHandle) return;
    resolveLayerAndLinetype(drawing, header);
    const std::uint16_t type = header->type;
    const AdEntityKind kind = adEntityKind(drawing, type);
    if (namesTextStyle(drawing, type)) {
        const AdHandle style = textStyle(drawing);
        if (type == AD_ENTITY_TEXT) data->text.fields.style = style;
        else if (type == AD_ENTITY_ATTDEF) data->attdef.fields.style = style;
        else if (type == AD_ENTITY_ATTRIB) data->attrib.fields.style = style;
        else if (type == AD_ENTITY_MTEXT) data->mtext.style = style;
        else if (kind == AD_KIND_RTEXT) data->rtext.style = style;
        else data->arcAlignedText.style = style;
    } else if (type == AD_ENTITY_SHAPE) {
        if (drawing->dxf) {
            std::int16_t number = -1;
            if (!adShapeNumberFromName(drawing, dxfName(AD_DXF_NAME_SHAPE), &data->shape.style, &number))
                number = -1;
            data->shape.shapeNumber = static_cast<std::uint8_t>(number);
        } else {
            data->shape.style = byIndex<AdStyleRecord>(drawing, kStyleCache, adStyleRewind, adStyleNext,
                                                       adGlobals->entityIndexes.textStyle);
        }
    } else if (type == AD_ENTITY_INSERT) {
        data->insert.block = block(drawing);
    } else if (type == AD_ENTITY_DIMENSION) {
        data->dimension.block = block(drawing);
        data->dimension.dimStyle = dimStyle(drawing, true);
    } else if (drawing->dxf && type == AD_ENTITY_LEADER) {
        data->leader.dimStyle = dimStyle(drawing, false);
    } else if (drawing->dxf && type == AD_ENTITY_TOLERANCE) {
        data->tolerance.dimStyle = dimStyle(drawing, false);
    } else if (drawing->dxf && type == AD_ENTITY_MLINE) {
        // A style the objects read so far lack keeps the handle the file gave.
        adFindMlineStyleByName(drawing, dxfName(AD_DXF_NAME_MLINE_STYLE), &data->mline.style);
    }
}
