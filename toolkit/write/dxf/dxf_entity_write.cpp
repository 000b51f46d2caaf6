// One entity to the file: light-weight polylines as old-style ones before
// AC1014, everything else through the writer of its kind.
#include "toolkit/write/dxf/dxf_entities.h"

int adDxfWriteFixedEntity(AdDxfEntityContext* context, const AdEntityHeader* header, const AdEntityData* data);

namespace {
int writeConverted(AdDrawing*, AdOutputDrawing*, AdEntityHeader* header, AdEntityData* data, int, void* user) {
    return adDxfWriteFixedEntity(static_cast<AdDxfEntityContext*>(user), header, data);
}
}  // namespace

int adDxfWriteEntity(AdDxfEntityContext* context, AdEntityHeader* header, AdEntityData* data) {
    const std::int16_t lw = adClassNumLwpolyline(context->source);
    if (context->output->version < AD_VERSION_AC1014 && lw != 0 && header->type == static_cast<std::uint16_t>(lw)) {
        // The converted records carry the LWPOLYLINE's common part but no
        // extended data of their own after the POLYLINE.
        return adWriteLwpolyAsPolyline(context->source, context->output, header, data, 0, writeConverted, context);
    }
    return adDxfWriteFixedEntity(context, header, data);
}
