// DIMSTYLE arrowheads named before their blocks exist, kept for load
// completion while the host collects arrowhead names.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

void adDxfDeferArrowName(AdDrawing* drawing, const AdHandle* style, const char* blockName, std::int32_t arrowKind) {
    if (!drawing || !adGlobals->arrowheadNameCollection || !blockName || !blockName[0]) return;
    AdStore*& store = drawing->loadStores[AD_DXF_STORE_ARROWS];
    if (!store) store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = store ? adStreamOpenAppend(store) : nullptr;
    if (!stream) return;
    AdDeferredArrowName entry{};
    entry.style = *style;
    entry.arrowKind = arrowKind;
    adDxfCopyText(entry.blockName, sizeof entry.blockName, blockName);
    const int written = adStreamWrite(stream, &entry, sizeof entry);
    if (adStreamCloseAppend(stream) && written) ++drawing->dxfDeferredArrowCount;
}
