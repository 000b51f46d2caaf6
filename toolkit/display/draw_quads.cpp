// TRACE, SOLID and 3DFACE: filled quads, or their edges without FILLMODE;
// a 3DFACE is always its visible edges.
#include "toolkit/display/handlers.h"

#include "toolkit/display/emit.h"

#include <cstring>

void adDrawQuadEntity(AdDrawContext& entity) {
    const AdHeaderVars* header = entity.drawing->header;
    const bool fill = !header || header->fillmode != 0;
    if (entity.header->type == AD_ENTITY_3DFACE) {
        const AdFaceData& face = entity.data->face;
        const std::int16_t hidden = header && header->splframe != 0 ? 0 : face.invisibleEdges;
        for (int edge = 0; edge < 4; ++edge)
            if (!(hidden & (1 << edge))) adDrawSegment(entity, face.corners[edge], face.corners[(edge + 1) % 4]);
        return;
    }
    const double(*c)[3] = entity.data->trace.corners;
    const bool triangle = entity.header->type == AD_ENTITY_SOLID && std::memcmp(c[3], c[0], sizeof c[0]) == 0;
    if (triangle && !fill) {
        adDrawSegment(entity, c[0], c[1]);
        adDrawSegment(entity, c[0], c[2]);
        return;
    }
    if (!fill) {
        adDrawSegment(entity, c[0], c[1]);
        adDrawSegment(entity, c[1], c[3]);
        adDrawSegment(entity, c[3], c[2]);
        adDrawSegment(entity, c[2], c[0]);
        return;
    }
    if (triangle)
        adFillQuad(entity.drawing, c[0], c[1], c[3], c[2], entity.matrices);
    else
        adFillQuad(entity.drawing, c[0], c[1], c[2], c[3], entity.matrices);
}
