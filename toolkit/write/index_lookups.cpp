// Handles of table records as the table indexes that the fixed-record
// formats store in their place. Each look-up keeps its last answer in the
// drawing's one-entry cache of its table.
#include "toolkit/write/writer.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/ad_internal.h"

#include <cstring>

namespace {
constexpr int kLayerCache = 0;
constexpr int kLtypeCache = 1;
constexpr int kStyleCache = 2;
constexpr int kBlockCache = 3;
constexpr int kDimStyleCache = 4;

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

// The position of the record with the handle among the first limit records
// (all when limit < 0); positions of records for which skip answers true are
// not counted. -1 when absent.
template <typename Skip>
std::int32_t positionOf(AdDrawing* drawing, const AdTableDesc& table, const AdHandle& handle, std::int32_t limit,
                        Skip skip) {
    AdRecordList* list = adTableList(drawing, table);
    std::int32_t position = 0;
    std::int32_t walked = 0;
    for (AdListRecord* r = adListFirst(list); r && (limit < 0 || walked < limit); r = r->next, ++walked) {
        AdHandle stored;
        adTableReadField(r, table.handleOffset, &stored, sizeof stored);
        if (sameHandle(stored, handle)) return position;
        if (!skip(stored)) ++position;
    }
    return -1;
}

std::int32_t cachedPosition(AdDrawing* drawing, int cache, const AdTableDesc& table, const AdHandle& handle,
                            std::int32_t limit = -1) {
    AdHandleCache& c = drawing->handleCaches[cache];
    if (c.index >= 0 && sameHandle(c.handle, handle)) {
        ++c.hits;
        return c.index;
    }
    const std::int32_t position = positionOf(drawing, table, handle, limit, [](const AdHandle&) { return false; });
    if (position >= 0) {
        c.index = position;
        c.handle = handle;
    }
    return position;
}

int answer(std::int32_t position, std::int16_t* index, std::int32_t error) {
    if (position < 0) {
        adSetError(error);
        return 0;
    }
    *index = static_cast<std::int16_t>(position);
    return 1;
}
}  // namespace

int adLtypeHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index) {
    if (sameHandle(*handle, drawing->byLayerLtype)) return answer(AD_LINETYPE_INDEX_BYLAYER, index, 0);
    if (sameHandle(*handle, drawing->byBlockLtype)) return answer(AD_LINETYPE_INDEX_BYBLOCK, index, 0);
    AdHandleCache& c = drawing->handleCaches[kLtypeCache];
    if (c.index >= 0 && sameHandle(c.handle, *handle)) return answer(c.index, index, 0);
    // BYLAYER and BYBLOCK have no place in the fixed-record table.
    const AdHandle byLayer = drawing->byLayerLtype;
    const AdHandle byBlock = drawing->byBlockLtype;
    const std::int32_t position = positionOf(drawing, adLtypeTable, *handle, -1, [&](const AdHandle& h) {
        return sameHandle(h, byLayer) || sameHandle(h, byBlock);
    });
    if (position >= 0) {
        c.index = position;
        c.handle = *handle;
    }
    return answer(position, index, AD_ERR_LTYPE_INDEX);
}

int adLayerHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index) {
    return answer(cachedPosition(drawing, kLayerCache, adLayerTable, *handle), index, AD_ERR_LAYER_INDEX);
}

int adStyleHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index) {
    const std::int32_t position = cachedPosition(drawing, kStyleCache, adStyleTable, *handle);
    return answer(position > 255 ? -1 : position, index, AD_ERR_STYLE_INDEX);
}

int adBlockHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index) {
    const std::int32_t spaces = 2;  // model and paper space close the table
    const std::int32_t limit = adBlockCount(drawing) - spaces;
    return answer(cachedPosition(drawing, kBlockCache, adBlockTable, *handle, limit < 0 ? 0 : limit), index,
                  AD_ERR_BLOCK_INDEX);
}

int adDimStyleHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index) {
    if (adHandleLength(handle) == 0) {
        *index = -1;
        return 1;
    }
    return answer(cachedPosition(drawing, kDimStyleCache, adDimStyleTable, *handle), index, AD_ERR_DIMSTYLE_INDEX);
}

int adUcsHandleToIndex(AdDrawing* drawing, const AdHandle* handle, std::int16_t* index) {
    if (adHandleLength(handle) == 0) return 1;
    return answer(positionOf(drawing, adUcsTable, *handle, -1, [](const AdHandle&) { return false; }), index,
                  AD_ERR_HEADER_UCS);
}

int adHeaderHandlesToIndexes(AdDrawing* drawing, const AdHeaderVars* header,
                             std::int16_t indexes[AD_HEADER_INDEX_COUNT]) {
    if (!adLayerHandleToIndex(drawing, &header->clayerHandle, &indexes[AD_HEADER_INDEX_LAYER])) {
        adSetError(AD_ERR_HEADER_LAYER);
        return 0;
    }
    if (!adLtypeHandleToIndex(drawing, &header->celtypeHandle, &indexes[AD_HEADER_INDEX_LINETYPE])) {
        adSetError(AD_ERR_HEADER_LTYPE);
        return 0;
    }
    if (!adDimStyleHandleToIndex(drawing, &header->dimstyleHandle, &indexes[AD_HEADER_INDEX_DIMSTYLE])) {
        adSetError(AD_ERR_HEADER_DIMSTYLE);
        return 0;
    }
    indexes[AD_HEADER_INDEX_UCS] = -1;
    if (!adUcsHandleToIndex(drawing, &header->ucsnameHandle, &indexes[AD_HEADER_INDEX_UCS])) {
        adSetError(AD_ERR_HEADER_UCS);
        return 0;
    }
    indexes[AD_HEADER_INDEX_PAPER_UCS] = -1;
    if (!adUcsHandleToIndex(drawing, &header->pucsnameHandle, &indexes[AD_HEADER_INDEX_PAPER_UCS])) {
        adSetError(AD_ERR_HEADER_PAPER_UCS);
        return 0;
    }
    if (!adStyleHandleToIndex(drawing, &header->textstyleHandle, &indexes[AD_HEADER_INDEX_TEXTSTYLE])) {
        adSetError(AD_ERR_HEADER_TEXTSTYLE);
        return 0;
    }
    return 1;
}

int adEntityHandlesToIndexes(AdDrawing* drawing, const AdEntityHeader* header, const AdEntityData* data,
                             AdGlobalState::AdEntityIndexes* indexes) {
    if (!adLayerHandleToIndex(drawing, &header->layer, &indexes->layer) ||
        !adLtypeHandleToIndex(drawing, &header->linetype, &indexes->linetype))
        return 0;
    switch (header->type) {
        case AD_ENTITY_TEXT:
            return adStyleHandleToIndex(drawing, &data->text.fields.style, &indexes->textStyle);
        case AD_ENTITY_ATTDEF:
            return adStyleHandleToIndex(drawing, &data->attdef.fields.style, &indexes->textStyle);
        case AD_ENTITY_ATTRIB:
            return adStyleHandleToIndex(drawing, &data->attrib.fields.style, &indexes->textStyle);
        case AD_ENTITY_SHAPE:
            return adStyleHandleToIndex(drawing, &data->shape.style, &indexes->textStyle);
        case AD_ENTITY_INSERT:
            return adBlockHandleToIndex(drawing, &data->insert.block, &indexes->block);
        case AD_ENTITY_DIMENSION:
            return adBlockHandleToIndex(drawing, &data->dimension.block, &indexes->block) &&
                   adDimStyleHandleToIndex(drawing, &data->dimension.dimStyle, &indexes->dimStyle);
        default:
            return 1;
    }
}

int adXdataHandlesToIndexes(AdDrawing* drawing, const AdXdataItem* item, std::int16_t* index) {
    if (item->code == 1001) {
        const std::int32_t position =
            positionOf(drawing, adAppidTable, item->value.handle, -1, [](const AdHandle&) { return false; });
        return answer(position, index, AD_ERR_XDATA_APPID);
    }
    if (item->code == 1003) {
        const std::int32_t position =
            positionOf(drawing, adLayerTable, item->value.handle, -1, [](const AdHandle&) { return false; });
        return answer(position, index, AD_ERR_XDATA_LAYER);
    }
    return 1;
}

namespace {
int byHandleKeepingCursor(AdDrawing* drawing, const AdTableDesc& table, const AdHandle* handle, void* record) {
    AdRecordList* list = adTableList(drawing, table);
    AdListRecord* cursor = list ? list->current : nullptr;
    const int found = adTableByHandle(drawing, table, handle, record);
    if (list) list->current = cursor;
    return found;
}
}  // namespace

int adXdataAppidByHandle(AdDrawing* drawing, const AdHandle* handle, AdAppidRecord* record) {
    return byHandleKeepingCursor(drawing, adAppidTable, handle, record);
}

int adXdataLayerByHandle(AdDrawing* drawing, const AdHandle* handle, AdLayerRecord* record) {
    return byHandleKeepingCursor(drawing, adLayerTable, handle, record);
}
