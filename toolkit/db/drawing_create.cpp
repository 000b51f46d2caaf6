// Creating a drawing, and freeing one with all it owns.
#include "toolkit/db/drawing_release.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/entity_list_steps.h"
#include "toolkit/db/r12/r12_read.h"

#include <cstring>

namespace {
AdRecordList* AdDrawing::*const kDrawingLists[] = {
    &AdDrawing::layers, &AdDrawing::ltypes,  &AdDrawing::ucss,   &AdDrawing::views,
    &AdDrawing::vports, &AdDrawing::vportEntities, &AdDrawing::dimStyles, &AdDrawing::appids,
    &AdDrawing::blocks, &AdDrawing::styles,  &AdDrawing::classes, &AdDrawing::objects,
};

// Table lists in the order a drawing gives them back.
int (*const kTableFrees[])(AdDrawing*) = {
    adFreeBlockList, adFreeVportEntityList, adFreeDimStyleList, adFreeStyleList,
    adFreeViewList,  adFreeAppidList,       adFreeUcsList,      adFreeVportList,
    adFreeClassList, adFreeLayerList,       adFreeLtypeList,
};
}  // namespace

void adReleaseLoadStores(AdDrawing* drawing) {
    if (drawing->loadStream) adStreamCloseRead(drawing->loadStream);
    if (drawing->loadWriteStream) adStreamCloseWrite(drawing->loadWriteStream);
    drawing->loadStream = nullptr;
    drawing->loadWriteStream = nullptr;
    for (AdStore*& store : drawing->loadStores) {
        if (store) adStoreFree(store);
        store = nullptr;
    }
    if (drawing->entityScratch) HostFree(drawing->entityScratch);
    drawing->entityScratch = nullptr;
}

int adCreateDrawingLists(AdDrawing* drawing) {
    if (!drawing) return 0;
    for (AdRecordList* AdDrawing::*list : kDrawingLists) {
        drawing->*list = adListCreate();
        if (!(drawing->*list)) return 0;
    }
    return 1;
}

void adResetHandleCaches(AdDrawing* drawing) {
    if (!drawing) return;
    for (AdHandleCache& cache : drawing->handleCaches) cache = AdHandleCache{-1, {}, 0};
}

// A failure leaves error 1 and calls no fatal-error hook: the host reports a
// drawing it could not open, not a toolkit in trouble.
AdDrawing* adCreateDrawing() {
    auto* drawing = static_cast<AdDrawing*>(HostAlloc(sizeof(AdDrawing)));
    if (!drawing) {
        adSetError(AD_ERR_NO_DRAWING_MEMORY);
        return nullptr;
    }
    std::memset(drawing, 0, sizeof *drawing);
    drawing->loadMode = 1;
    adHandleIndexReset(drawing);
    adResetHandleCaches(drawing);
    if (!adCreateDrawingLists(drawing)) {
        adFreeListHeaders(drawing);
        HostFree(drawing);
        adSetError(AD_ERR_NO_DRAWING_MEMORY);
        return nullptr;
    }
    return drawing;
}

void adReleaseDrawing(AdDrawing* drawing) {
    if (drawing->file) HostClose(drawing->file);
    drawing->file = nullptr;
    // Objects first: freeing them reads the class numbers the CLASSES list gave.
    adFreeObjectList(drawing);
    adFreeDrawingEntityLists(drawing);
    for (int (*freeList)(AdDrawing*) : kTableFrees) freeList(drawing);
    adHandleIndexFree(drawing);
    adReleaseLoadStores(drawing);
    adDwgReleaseFile(drawing);
    adFreeFonts(drawing);
    if (drawing->header) HostFree(drawing->header);
    drawing->header = nullptr;
    adFreeBlockNameIndex(drawing);
    adFreeBlockNumberTable(drawing);
    adFreeListHeaders(drawing);
    HostFree(drawing);
}

int adCloseDrawing(AdDrawing* drawing) {
    if (!drawing) return 0;
    for (std::int16_t i = 0; i < drawing->xrefCount && i < AD_XREF_LIMIT; ++i) adCloseDrawing(drawing->xrefs[i]);
    adReleaseDrawing(drawing);
    return 1;
}
