// The graphics store of a class-numbered entity: which data field keeps it
// for each kind.
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entities.h"

namespace {
// The field of the kind; null when the kind keeps no graphics.
AdStore** fieldOf(AdDrawing* drawing, const AdEntityHeader* header, AdEntityData* data) {
    switch (adEntityKind(drawing, header->type)) {
        case AD_KIND_IMAGE:
        case AD_KIND_WIPEOUT: return &data->image.pixels;
        case AD_KIND_RTEXT: return &data->rtext.longText;
        case AD_KIND_ARCALIGNEDTEXT: return &data->arcAlignedText.graphics;
        case AD_KIND_PROXY: return &data->proxy.graphics;
        default: return nullptr;
    }
}
}  // namespace

void adDwgAttachClassStore(AdDrawing* drawing, const AdEntityHeader* entity, AdEntityData* record, AdStore* store,
                           int keep) {
    AdStore** field = fieldOf(drawing, entity, record);
    const bool kept = field && (keep || adEntityKind(drawing, entity->type) != AD_KIND_PROXY);
    if (field) *field = kept ? store : nullptr;
    if (!kept && store) adStoreFree(store);
}

AdStore* adDwgClassGraphics(AdDrawing* drawing, const AdEntityHeader* entity, const AdEntityData* record) {
    AdStore** field = fieldOf(drawing, entity, const_cast<AdEntityData*>(record));
    return field ? *field : nullptr;
}
