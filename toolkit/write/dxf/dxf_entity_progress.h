// The entity step both DXF drivers share, and the progress it reports.
// Internal to the DXF writer.
#pragma once
#include "toolkit/write/dxf/dxf_entities.h"

// Entity progress: every tenth entity, in steps of 5 percent of the whole,
// base + percent / 4.
struct AdDxfEntityProgress {
    std::int32_t base;
    std::int64_t total;
    std::int64_t written = 0;
    std::int32_t last = -1;
    void step();
};

// Writes the entities of a list (null: none) through the entity step: names
// resolved, unknown SHAPEs and kinds the version cannot hold left out, the
// BLOCK of an anonymous block renumbered with it. 0 at the first failure.
int adDxfWriteEntityList(AdDxfEntityContext* context, AdSaveWork* work, AdRecordList* list,
                         AdDxfEntityProgress* progress);
