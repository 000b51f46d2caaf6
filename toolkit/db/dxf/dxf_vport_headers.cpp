// The viewport-entity headers of a DXF file: one per VIEWPORT entity of
// ENTITIES, built from the entity's name and status.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

int adDxfVportHeaderNext(AdDrawing* drawing, void* buffer) {
    if (!drawing || !adGlobals || !buffer) return 0;
    auto* header = static_cast<AdVportEntityHeader*>(buffer);
    std::int64_t position = 0;
    if (!adDxfNextPosition(drawing, &position) || !adDxfSeek(drawing, position)) return 0;
    std::memset(header, 0, sizeof *header);
    header->flags = 1;
    header->xrefIndex = -1;
    if (!adDxfReadGroup(drawing) || !adDxfTokenIs(0, "VIEWPORT")) return 0;
    AdDxfRecordStep step;
    while ((step = adDxfRecordGroup(drawing, nullptr)) == AdDxfRecordStep::Group) {
        const AdDxfToken& t = adDxfToken();
        if (t.code == 2) adDxfCopyText(header->name, sizeof header->name, t.text);
        if (t.code == 68) header->status = t.shortValue;
    }
    if (step == AdDxfRecordStep::FileEnd) return 0;
    if (header->status == 0) header->flags = 0;
    return 1;
}
