// Releasing a drawing's table lists together with the stores their records own.
#include "toolkit/db/table_cursor.h"

#include <cstddef>

namespace {

int freeTable(AdDrawing* drawing, const AdTableDesc& table) {
    if (!drawing) return 0;
    std::int32_t positions[AD_TABLE_STORE_SLOTS];
    for (int slot = 0; slot < AD_TABLE_STORE_SLOTS; ++slot) {
        const std::int32_t offset = table.storeOffsets[slot];
        positions[slot] = offset < 0 ? -1 : static_cast<std::int32_t>(AD_LIST_LINKS_SIZE) + offset;
    }
    // The list is gone afterwards even when its walk stopped short.
    const int freed = adFreeTableList(drawing->*table.list, AD_LIST_LINKS_SIZE + table.storedSize, positions,
                                      static_cast<std::int32_t>(offsetof(AdListRecord, next)));
    drawing->*table.list = nullptr;
    ++drawing->tableEdits;
    return freed;
}

}  // namespace

int adFreeLayerList(AdDrawing* drawing) { return freeTable(drawing, adLayerTable); }
int adFreeLtypeList(AdDrawing* drawing) { return freeTable(drawing, adLtypeTable); }
int adFreeUcsList(AdDrawing* drawing) { return freeTable(drawing, adUcsTable); }
int adFreeViewList(AdDrawing* drawing) { return freeTable(drawing, adViewTable); }
int adFreeVportList(AdDrawing* drawing) { return freeTable(drawing, adVportTable); }
int adFreeVportEntityList(AdDrawing* drawing) { return freeTable(drawing, adVportEntityTable); }
int adFreeDimStyleList(AdDrawing* drawing) { return freeTable(drawing, adDimStyleTable); }
int adFreeAppidList(AdDrawing* drawing) { return freeTable(drawing, adAppidTable); }
int adFreeBlockList(AdDrawing* drawing) { return freeTable(drawing, adBlockTable); }
int adFreeStyleList(AdDrawing* drawing) { return freeTable(drawing, adStyleTable); }

int adFreeClassList(AdDrawing* drawing) {
    const int freed = freeTable(drawing, adClassTable);
    if (drawing && drawing->classTable) {
        HostFree(drawing->classTable);
        drawing->classTable = nullptr;
    }
    return freed;
}

int adFreeListHeaders(AdDrawing* drawing) {
    if (!drawing) return 1;
    AdRecordList* AdDrawing::*const order[] = {
        &AdDrawing::styles,    &AdDrawing::classes, &AdDrawing::blocks, &AdDrawing::appids,
        &AdDrawing::dimStyles, &AdDrawing::vportEntities, &AdDrawing::vports, &AdDrawing::views,
        &AdDrawing::ucss,      &AdDrawing::ltypes,  &AdDrawing::layers, &AdDrawing::objects,
    };
    for (AdRecordList* AdDrawing::*list : order) {
        if (drawing->*list) HostFree(drawing->*list);
        drawing->*list = nullptr;
    }
    return 1;
}
