// The DIMSTYLE part of load completion: arrowheads named before their blocks
// existed get standard arrowhead blocks, and the one DIMFIT of older files
// becomes the DIMATFIT and DIMTMOVE pair that later releases keep apart.
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/load_stages.h"

namespace {
const std::int16_t kLastBeforeR2000 = 6;  // AC1014

AdHandle* arrowSlot(AdDimStyleRecord& style, std::int32_t kind) {
    switch (kind) {
    case 5: return &style.dimblk;
    case 6: return &style.dimblk1;
    case 7: return &style.dimblk2;
    default: return nullptr;
    }
}

// An entry whose style cannot be read, or whose name is no standard
// arrowhead, is passed over: the style keeps what the file gave it.
void completeArrow(AdDrawing* drawing, const AdDeferredArrowName& entry, AdBlockHeader& scratch) {
    AdDimStyleRecord style;
    if (!adDimStyleByHandle(drawing, &entry.style, &style)) return;
    AdHandle* slot = arrowSlot(style, entry.arrowKind);
    AdHandle block;
    if (!slot || !adArrowheadBlock(drawing, &scratch, entry.blockName, &block)) return;
    *slot = block;
    adDimStyleUpdate(drawing, &style);
}

void completeDeferredArrows(AdDrawing* drawing) {
    AdStore*& store = drawing->loadStores[AD_DXF_STORE_ARROWS];
    if (!store) return;
    auto* scratch = static_cast<AdBlockHeader*>(HostAlloc(sizeof(AdBlockHeader)));
    AdStream* stream = scratch ? adStreamOpenRead(store) : nullptr;
    AdDeferredArrowName entry;
    for (std::int32_t i = 0; stream && i < drawing->dxfDeferredArrowCount; ++i) {
        if (!adStreamRead(stream, &entry, sizeof entry)) break;
        entry.blockName[sizeof entry.blockName - 1] = '\0';
        completeArrow(drawing, entry, *scratch);
    }
    if (stream) adStreamCloseRead(stream);
    HostFree(scratch);
    adStoreFree(store);
    store = nullptr;
    drawing->dxfDeferredArrowCount = 0;
}

void splitDimStyles(AdDrawing* drawing) {
    if (!adDimStyleRewind(drawing)) return;
    AdDimStyleRecord style;
    for (std::int32_t i = adDimStyleCount(drawing); i > 0 && adDimStyleNext(drawing, &style); --i) {
        if (style.dimfit <= 3) continue;
        std::uint8_t fit = 0;
        adSplitDimFit(style.dimfit, &fit, &style.dimtmove);
        style.dimfit = fit;
        adDimStyleUpdate(drawing, &style);
    }
}
}  // namespace

void adSplitDimFit(std::int32_t value, std::uint8_t* dimfit, std::int16_t* dimtmove) {
    const bool split = value > 3;
    *dimfit = static_cast<std::uint8_t>(split ? 3 : value);
    *dimtmove = static_cast<std::int16_t>(split ? value - 3 : 0);
}

void adLoadCompletion(AdDrawing* drawing) {
    completeDeferredArrows(drawing);
    if (drawing->version > kLastBeforeR2000 || !drawing->header) return;
    adSplitDimFit(drawing->header->dimatfit, &drawing->header->dimatfit, &drawing->header->dimtmove);
    splitDimStyles(drawing);
}
