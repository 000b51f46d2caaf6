// Entity objects of AC1012+ files made of points and simple curves: LINE,
// POINT, CIRCLE, ARC, ELLIPSE, RAY and XLINE.
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/ad_internal.h"

#include <cmath>
#include <limits>

namespace {
// An ARC whose end lies this far below its start is left as read.
constexpr double kArcTurnLimit = 1e20;

// A radius that is negative or not a number counts as 0.
double readRadius() {
    double r = 0.0;
    adBitReadDouble(&r);
    return r >= 0.0 ? r : 0.0;
}
}  // namespace

int adDwgReadLineEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdLineData& l = data->line;
    if (adDwgIsAc1015(drawing)) {
        adBitReadFlaggedPoints(l.start, l.end);
        adDwgReadEntityThickness(drawing, header);
        adDwgReadEntityExtrusion(drawing, header);
    } else {
        adBitRead3D(l.start);
        adBitRead3D(l.end);
        adBitReadDouble(&header->thickness);
        adDwgReadNormal(header->extrusion);
    }
    return adDwgReadHandlesOnly(drawing, header, data);
}

int adDwgReadPointEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    adBitRead3D(data->point.point);
    adDwgReadEntityThickness(drawing, header);
    adDwgReadEntityExtrusion(drawing, header);
    adBitReadDouble(&data->point.xAxisAngle);
    return adDwgReadHandlesOnly(drawing, header, data);
}

namespace {
// The part CIRCLE and ARC share.
void readCircle(AdDrawing* drawing, AdEntityHeader* header, double centre[3], double* radius) {
    adBitRead3D(centre);
    *radius = readRadius();
    adDwgReadEntityThickness(drawing, header);
    adDwgReadEntityExtrusion(drawing, header);
}
}  // namespace

int adDwgReadCircleEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    readCircle(drawing, header, data->circle.centre, &data->circle.radius);
    return adDwgReadHandlesOnly(drawing, header, data);
}

int adDwgReadArcEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdArcData& a = data->arc;
    readCircle(drawing, header, a.centre, &a.radius);
    adBitReadDouble(&a.startAngle);
    adBitReadDouble(&a.endAngle);
    adDwgNormaliseEnd(a.startAngle, &a.endAngle, kArcTurnLimit);
    return adDwgReadHandlesOnly(drawing, header, data);
}

int adDwgReadEllipseEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdEllipseData& e = data->ellipse;
    adBitRead3D(e.centre);
    adBitRead3D(e.majorAxis);
    adDwgReadNormal(header->extrusion);
    adBitReadDouble(&e.axisRatio);
    adBitReadDouble(&e.startParameter);
    adBitReadDouble(&e.endParameter);
    adDwgNormaliseEnd(e.startParameter, &e.endParameter, std::numeric_limits<double>::infinity());
    return adDwgReadHandlesOnly(drawing, header, data);
}

int adDwgReadRayEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    adBitRead3D(data->ray.base);
    adBitRead3D(data->ray.direction);
    return adDwgReadHandlesOnly(drawing, header, data);
}
