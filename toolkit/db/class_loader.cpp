// Loading CLASSES: the file's classes in order, then the standard ones the
// file lacks, and for DWG files which class numbers stand for entities.
#include "toolkit/db/read_ops.h"
#include "toolkit/db/table_loader.h"
#include "toolkit/db/load_stages.h"

#include <cstring>

namespace {
const std::int16_t kEntityClass = 498;

std::int16_t classNumber(AdDrawing* drawing, const char* dxfName) {
    AdClassRecord record;
    return adClassByName(drawing, dxfName, &record) ? record.number : 0;
}

bool readClasses(AdDrawing* drawing) {
    if (adIsFixedRecordDwg(drawing)) return true;
    bool ok = drawing->classEntryCount <= INT16_MAX - AD_FIRST_CLASS_NUMBER &&
              adCallReadOp(drawing, &AdReadOps::beginClasses);
    AdClassRecord record;
    for (std::int32_t i = 0; ok && i < drawing->classEntryCount; ++i) {
        std::memset(&record, 0, sizeof record);
        ok = adCallReadRecordOp(drawing, &AdReadOps::nextClass, &record) != 0;
        // DXF classes are numbered in file order, whatever the file implies.
        if (ok && drawing->dxf) record.number = static_cast<std::int16_t>(AD_FIRST_CLASS_NUMBER + i);
        if (ok && adStrCompareNoCase(record.dxfName, "DxfZombieEntity") == 0) drawing->zombieEntityClass = record.number;
        if (ok && adStrCompareNoCase(record.dxfName, "DxfZombieObject") == 0) drawing->zombieObjectClass = record.number;
        ok = ok && adClassAdd(drawing, &record);
    }
    return ok;
}

// One byte per class in list order: 1 for an entity class.
bool buildClassTable(AdDrawing* drawing) {
    AdRecordList* list = drawing->classes;
    const std::int32_t count = adListCount(list);
    if (count <= 0) return true;
    auto* table = static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(count)));
    if (!table) {
        adNoMemory(AD_ERR_RECORD_MEMORY_INSERT);
        return false;
    }
    AdListRecord* node = list->first;
    for (std::int32_t i = 0; i < count; ++i, node = node ? node->next : nullptr) {
        AdClassRecord record{};
        if (node) std::memcpy(&record, adListRecordData(node), sizeof record);
        table[i] = record.isEntity == kEntityClass ? 1 : 0;
    }
    if (drawing->classTable) HostFree(drawing->classTable);
    drawing->classTable = table;
    return true;
}
}  // namespace

int adLoadClasses(AdDrawing* drawing) {
    drawing->zombieEntityClass = drawing->zombieObjectClass = 0;
    bool ok = readClasses(drawing) && adRegisterStandardClasses(drawing);
    ok = ok && (drawing->dxf || buildClassTable(drawing));
    if (!ok) {
        adFreeClassList(drawing);
        return 0;
    }
    drawing->adpartClass = classNumber(drawing, "ADPART");
    drawing->proxyWrapperClass = classNumber(drawing, "ACAD_PROXY_OBJECT_WRAPPER");
    return 1;
}
