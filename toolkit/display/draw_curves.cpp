// CIRCLE, ARC and ELLIPSE entities as chords.
#include "toolkit/display/handlers.h"

#include "toolkit/display/curves.h"
#include "toolkit/display/linetype.h"

#include <numbers>

void adDrawCircleEntity(AdDrawContext& entity) {
    for (AdPatternState* s = adPatternStates(); s < adPatternStates() + AD_VIEWPORT_LIMIT; ++s) {
        s->carry = 0.0;
        s->index = 0;
    }
    double start = 0.0, end = 2.0 * std::numbers::pi, radius = entity.data->circle.radius;
    const double* centre = entity.data->circle.centre;
    if (entity.header->type == AD_ENTITY_ARC) {
        const AdArcData& arc = entity.data->arc;
        start = arc.startAngle;
        end = arc.endAngle;
        if (end < start) end += 2.0 * std::numbers::pi;
        radius = arc.radius;
        centre = arc.centre;
    }
    adDrawArc(entity.drawing, centre, start, end, radius, entity.block, entity.matrices, 1, entity.linetype,
              entity.linetypeDrawing, nullptr);
}

void adDrawEllipseEntity(AdDrawContext& entity) {
    adDrawEllipse(entity.drawing, &entity.data->ellipse, entity.block, entity.linetype, entity.linetypeDrawing);
}
