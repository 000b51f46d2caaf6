// The header's references to the current records become handles: files
// before AC1012 give table indexes, DXF files give names, and the dimension
// arrows are named blocks until AC1015 DWG files.
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/table_index.h"
#include "toolkit/db/load_stages.h"

#include <cstdio>
#include <cstring>

namespace {
const std::int16_t kNoRecord = -1;

const char* headerName(AdHeaderNameSlot slot) { return adGlobals->headerNames[slot]; }
std::int16_t headerIndex(AdHeaderIndexSlot slot) { return adGlobals->headerIndexes[slot]; }

// -1 stands for no record; other indexes outside the table give null too.
template <class Record>
AdHandle atIndex(AdDrawing* drawing, int (*rewind)(AdDrawing*), int (*next)(AdDrawing*, Record*),
                 std::int16_t index) {
    AdHandle handle{};
    if (index != kNoRecord) adTableHandleAtIndex(drawing, rewind, next, index, &handle);
    return handle;
}

void fromIndexes(AdDrawing* drawing, AdHeaderVars* h) {
    h->clayerHandle = atIndex(drawing, adLayerRewind, adLayerNext, headerIndex(AD_HEADER_INDEX_LAYER));
    const std::int16_t linetype = headerIndex(AD_HEADER_INDEX_LINETYPE);
    if (linetype == AD_LINETYPE_INDEX_BYLAYER) h->celtypeHandle = drawing->byLayerLtype;
    else if (linetype == AD_LINETYPE_INDEX_BYBLOCK) h->celtypeHandle = drawing->byBlockLtype;
    else h->celtypeHandle = atIndex(drawing, adLtypeRewind, adLtypeNext, linetype);
    h->dimstyleHandle = atIndex(drawing, adDimStyleRewind, adDimStyleNext, headerIndex(AD_HEADER_INDEX_DIMSTYLE));
    h->ucsnameHandle = atIndex(drawing, adUcsRewind, adUcsNext, headerIndex(AD_HEADER_INDEX_UCS));
    h->pucsnameHandle = atIndex(drawing, adUcsRewind, adUcsNext, headerIndex(AD_HEADER_INDEX_PAPER_UCS));
    h->textstyleHandle = atIndex(drawing, adStyleRewind, adStyleNext, headerIndex(AD_HEADER_INDEX_TEXTSTYLE));
    h->dimtxstyHandle = h->textstyleHandle;
}

AdHandle byName(AdDrawing* drawing, const AdTableDesc& table, const char* name) {
    AdHandle handle{};
    if (name[0] != '\0') adTableHandleByName(drawing, table, name, &handle);
    return handle;
}

// The current layer must exist: entities drawn next go on it.
AdHandle currentLayer(AdDrawing* drawing, const char* name) {
    AdHandle handle{};
    if (name[0] == '\0' || adLayerHandleByName(drawing, name, &handle)) return handle;
    auto* layer = static_cast<AdLayerRecord*>(HostAlloc(sizeof(AdLayerRecord)));
    if (!layer) return handle;
    adDefaultLayerRecord(drawing, layer);
    adTableCopyText(layer->name, sizeof layer->name, name);
    if (adNextHandle(drawing, &layer->handle) && adLayerAdd(drawing, layer)) handle = layer->handle;
    HostFree(layer);
    return handle;
}

void fromNames(AdDrawing* drawing, AdHeaderVars* h) {
    h->clayerHandle = currentLayer(drawing, headerName(AD_HEADER_NAME_CLAYER));
    if (!adLtypeHandleByName(drawing, headerName(AD_HEADER_NAME_CELTYPE), &h->celtypeHandle))
        h->celtypeHandle = drawing->byBlockLtype;
    const char* dimStyle = headerName(AD_HEADER_NAME_DIMSTYLE);
    h->dimstyleHandle = adStrCompareNoCase(dimStyle, "*UNNAMED") == 0 ? AdHandle{}
                                                                      : byName(drawing, adDimStyleTable, dimStyle);
    h->ucsnameHandle = byName(drawing, adUcsTable, headerName(AD_HEADER_NAME_UCSNAME));
    h->pucsnameHandle = byName(drawing, adUcsTable, headerName(AD_HEADER_NAME_PUCSNAME));
    h->textstyleHandle = byName(drawing, adStyleTable, headerName(AD_HEADER_NAME_TEXTSTYLE));
    const char* dimTextStyle = headerName(AD_HEADER_NAME_DIMTXSTY);
    h->dimtxstyHandle = byName(drawing, adStyleTable, dimTextStyle[0] ? dimTextStyle : "Standard");
}

// A standard arrow is kept as a block whose name has a leading "_"; that
// block wins over one named as the header gives it.
AdHandle arrowBlock(AdDrawing* drawing, const char* name) {
    AdHandle handle{};
    if (name[0] == '\0') return handle;
    char underscored[AD_TABLE_NAME_SIZE + 1];
    std::snprintf(underscored, sizeof underscored, "_%s", name);
    if (adBlockHandleByName(drawing, underscored, &handle)) return handle;
    if (adBlockHandleByName(drawing, name, &handle)) return handle;
    return AdHandle{};
}
}  // namespace

int adResolveHeaderReferences(AdDrawing* drawing, AdHeaderVars* header) {
    if (!drawing || !header || !adGlobals) return 1;
    if (drawing->dxf) fromNames(drawing, header);
    else if (drawing->version < AD_VERSION_FIRST_BITCODED) fromIndexes(drawing, header);
    if (drawing->dxf || drawing->version < AD_VERSION_AC1015) {
        header->dimblkHandle = arrowBlock(drawing, header->dimblk);
        header->dimblk1Handle = arrowBlock(drawing, header->dimblk1);
        header->dimblk2Handle = arrowBlock(drawing, header->dimblk2);
        header->dimldrblkHandle = arrowBlock(drawing, header->dimldrblk);
    }
    return 1;
}
