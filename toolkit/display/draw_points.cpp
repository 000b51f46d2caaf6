// POINT entities: a dot, and the PDMODE figure of PDSIZE around it.
#include "toolkit/display/handlers.h"

#include "toolkit/display/curves.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kDiagonal = 0.7071067811865476;

// The figure size: PDSIZE, or a share of the view height; 0 for no figure.
double figureSize(const AdDrawing* drawing, double pdsize) {
    const AdDisplayState* state = drawing->display;
    if (pdsize > 0.0) return pdsize;
    double height = 0.0;
    if (!state->paperSpace)
        height = state->viewports[0].viewHeight;
    else if (state->viewportCount == 2)
        height = state->viewports[1].viewHeight;
    else
        return 0.0;
    return pdsize == 0.0 ? 0.02 * height : pdsize * -0.005 * height;
}

struct Figure {
    AdDrawContext& entity;
    double centre[3];
    double cs, sn;  // of minus the x-axis angle

    void segment(double x1, double y1, double x2, double y2) {
        const double a[3] = {centre[0] + x1 * cs - y1 * sn, centre[1] + x1 * sn + y1 * cs, centre[2]};
        const double b[3] = {centre[0] + x2 * cs - y2 * sn, centre[1] + x2 * sn + y2 * cs, centre[2]};
        adDrawSegment(entity, a, b);
    }
};

}  // namespace

void adDrawPointEntity(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    const AdHeaderVars* header = drawing->header;
    const std::int16_t pdmode = header ? header->pdmode : 0;
    if (pdmode == 1) return;
    const AdPointData& point = entity.data->point;
    double centre[3] = {point.point[0], point.point[1], point.point[2]};
    AdMatrix4* own = nullptr;
    AdMatrix4* saved = entity.matrices;
    if (entity.header->flags & AD_ENTITY_FLAG_EXTRUDED) {
        own = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
        if (!own) {
            adNoMemory(AD_ERR_POINT_MATRICES);
            return;
        }
        AdMatrix4 placed = *entity.block;
        adMatrixPostTranslate(centre[0], centre[1], centre[2], &placed);
        adMatrixMultiply(&adDisplayGlobals->objectMatrix, &placed, &placed);
        for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v)
            adMatrixMultiply(&placed, &drawing->display->viewports[v].full, &own[v]);
        entity.matrices = own;
        centre[0] = centre[1] = centre[2] = 0.0;
    }
    const bool defpoints = std::strcmp(entity.layer->name, "DEFPOINTS") == 0;
    if (!(pdmode & 0x01) || defpoints) adDrawSegment(entity, centre, centre);
    const double size = pdmode != 0 && !defpoints ? figureSize(drawing, header ? header->pdsize : 0.0) : 0.0;
    if (size != 0.0) {
        const double angle = 2.0 * std::numbers::pi - point.xAxisAngle;
        Figure figure{entity, {centre[0], centre[1], centre[2]}, std::cos(angle), std::sin(angle)};
        const double h = size * 0.5, d = size * kDiagonal;
        switch (pdmode & 7) {
        case 2:
            figure.segment(0, -size, 0, size);
            figure.segment(-size, 0, size, 0);
            break;
        case 3:
            figure.segment(-d, -d, d, d);
            figure.segment(-d, d, d, -d);
            break;
        case 4:
            figure.segment(0, 0, 0, h);
            break;
        default:
            break;
        }
        if (pdmode & 0x20)
            adDrawArc(drawing, centre, 0.0, 2.0 * std::numbers::pi, h, entity.block, entity.matrices, 1, entity.linetype,
                      entity.linetypeDrawing, nullptr);
        if (pdmode & 0x40) {
            figure.segment(-h, h, h, h);
            figure.segment(h, h, h, -h);
            figure.segment(h, -h, -h, -h);
            figure.segment(-h, -h, -h, h);
        }
    }
    entity.matrices = saved;
    if (own) HostFree(own);
}
