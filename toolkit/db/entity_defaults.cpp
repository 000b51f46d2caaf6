// The values of a new entity: its header and the defaults of each type's data.
#include "toolkit/db/entity_layout.h"
#include "toolkit/db/object_kinds.h"
#include "toolkit/db/table_cursor.h"

#include <cstring>
#include <numbers>

namespace {

constexpr double kFullTurn = 2.0 * std::numbers::pi;

void setPoint(double point[3], double x, double y, double z) {
    point[0] = x;
    point[1] = y;
    point[2] = z;
}

// The handle of the drawing's first MLINESTYLE object; null when it has none.
AdHandle firstMlineStyle(AdDrawing* drawing) {
    AdRecordList* list = adObjectList(drawing);
    AdListRecord* record = adListFirst(list);
    for (std::int32_t left = adListCount(list); record && left > 0; --left) {
        AdStoredObject stored;
        HostMemMove(&stored, adListRecordData(record), sizeof stored);
        if (stored.header.type == AD_OBJECT_MLINESTYLE) return stored.header.handle;
        AdListRecord links;
        HostMemMove(&links, record, sizeof links);
        record = links.next;
    }
    return AdHandle{};
}

void defaultData(AdDrawing* drawing, std::uint16_t type, AdEntityData* d) {
    const int layout = adEntityLayout(drawing, type);
    if (layout == AD_ENTITY_VIEWPORT) {
        adDefaultViewportData(&d->viewport);
        return;
    }
    std::memset(d, 0, sizeof *d);
    switch (layout) {
        case AD_ENTITY_CIRCLE: d->circle.radius = 1.0; break;
        case AD_ENTITY_ARC:
            d->arc.radius = 1.0;
            d->arc.endAngle = kFullTurn;
            break;
        case AD_ENTITY_SHAPE:
            d->shape.size = 1.0;
            d->shape.widthFactor = 1.0;
            break;
        case AD_ENTITY_ELLIPSE:
            d->ellipse.axisRatio = 1.0;
            d->ellipse.endParameter = kFullTurn;
            break;
        case AD_ENTITY_SPLINE:
            d->spline.degree = 3;
            d->spline.knotTolerance = d->spline.controlPointTolerance = d->spline.fitTolerance = 1e-6;
            break;
        case AD_ENTITY_TEXT: adDefaultTextFields(drawing, &d->text.fields); break;
        case AD_ENTITY_ATTDEF: adDefaultTextFields(drawing, &d->attdef.fields); break;
        case AD_ENTITY_ATTRIB: adDefaultTextFields(drawing, &d->attrib.fields); break;
        case AD_ENTITY_TRACE:
        case AD_ENTITY_SOLID:
            setPoint(d->trace.corners[1], 0.0, 1.0, 0.0);
            setPoint(d->trace.corners[2], 1.0, 0.0, 0.0);
            setPoint(d->trace.corners[3], 1.0, 1.0, 0.0);
            break;
        case AD_ENTITY_INSERT:
            setPoint(d->insert.scale, 1.0, 1.0, 1.0);
            d->insert.rowCount = d->insert.columnCount = 1;
            break;
        case AD_ENTITY_DIMENSION:
            d->dimension.attachment = 5;
            d->dimension.lineSpacingStyle = 1;
            d->dimension.lineSpacingFactor = 1.0;
            break;
        case AD_ENTITY_RAY:
        case AD_ENTITY_XLINE: setPoint(d->ray.direction, 1.0, 0.0, 0.0); break;
        case AD_ENTITY_MTEXT:
            setPoint(d->mtext.xAxis, 1.0, 0.0, 0.0);
            d->mtext.attachment = d->mtext.drawingDirection = 1;
            d->mtext.lineSpacingStyle = 1;
            d->mtext.lineSpacingFactor = 1.0;
            adTableFirstHandle(drawing, adStyleTable, &d->mtext.style);
            break;
        case AD_ENTITY_LEADER:
            d->leader.arrowhead = d->leader.hooklineDirection = 1;
            d->leader.colour = AD_COLOR_BYLAYER;
            setPoint(d->leader.horizontalDirection, 1.0, 0.0, 0.0);
            adTableFirstHandle(drawing, adDimStyleTable, &d->leader.dimStyle);
            break;
        case AD_ENTITY_TOLERANCE:
            setPoint(d->tolerance.xDirection, 1.0, 0.0, 0.0);
            adTableFirstHandle(drawing, adDimStyleTable, &d->tolerance.dimStyle);
            break;
        case AD_ENTITY_MLINE:
            d->mline.scale = 1.0;
            d->mline.style = firstMlineStyle(drawing);
            break;
        case AD_LAYOUT_FIRST_CLASS + AD_KIND_OLE2FRAME - 1: d->ole2Frame.spareByte = 1; break;
        case AD_LAYOUT_FIRST_CLASS + AD_KIND_HATCH - 1: d->hatch.associative = 1; break;
        case AD_LAYOUT_FIRST_CLASS + AD_KIND_RTEXT - 1: d->rtext.height = 0.2; break;
        default: break;
    }
}

}  // namespace

void adDefaultTextFields(AdDrawing* drawing, AdTextFields* fields) {
    if (!fields) return;
    *fields = AdTextFields{};
    fields->height = 1.0;
    fields->widthFactor = 1.0;
    adTableFirstHandle(drawing, adStyleTable, &fields->style);
}

void adDefaultViewportData(AdViewportData* data) {
    if (!data) return;
    double direction[3];
    std::memcpy(direction, data->viewDirection, sizeof direction);
    *data = AdViewportData{};
    std::memcpy(data->viewDirection, direction, sizeof direction);
    data->spareShort1 = 1;
    data->spareShort2 = -1;
    data->statusFlags = 0x8020;
    data->ucsIcon = 1;
    setPoint(data->ucsXAxis, 1.0, 0.0, 0.0);
    setPoint(data->ucsYAxis, 0.0, 1.0, 0.0);
    data->lensLength = 50.0;
    data->circleZoom = 100;
    data->snapSpacing[0] = data->snapSpacing[1] = 0.5;
    data->gridSpacing[0] = data->gridSpacing[1] = 0.5;
}

void adEntityDefaults(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    if (!header) return;
    const std::uint16_t type = header->type;
    *header = AdEntityHeader{};
    header->type = type;
    header->color = AD_COLOR_BYLAYER;
    header->extrusion[2] = 1.0;
    header->linetypeScale = 1.0;
    header->lineweight = -1;
    adTableFirstHandle(drawing, adLayerTable, &header->layer);
    if (drawing) header->linetype = drawing->byLayerLtype;
    if (adGlobals) adGlobals->entityElevation = 0.0;
    if (data) defaultData(drawing, type, data);
}
