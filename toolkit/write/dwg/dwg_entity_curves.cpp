// Entity records made of points and simple curves: LINE, POINT, CIRCLE,
// ARC, ELLIPSE, RAY and XLINE, and the four-cornered 3DFACE, SOLID and
// TRACE.
#include "toolkit/write/dwg/dwg_entity_head.h"

int adDwgWriteLineEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                         const AdDwgEntityLinks& links, std::int16_t type) {
    const AdLineData& l = data->line;
    if (writer->version >= AD_VERSION_AC1015) {
        adBitWriteFlaggedPoints(l.start, l.end);
    } else {
        adBitWrite3D(l.start);
        adBitWrite3D(l.end);
    }
    adDwgWriteThickness(writer, header->thickness);
    adDwgWriteExtrusion(writer, header->extrusion);
    return adDwgEntityHandles(writer, header, type, links);
}

int adDwgWritePointEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                          const AdDwgEntityLinks& links, std::int16_t type) {
    adBitWrite3D(data->point.point);
    adDwgWriteThickness(writer, header->thickness);
    adDwgWriteExtrusion(writer, header->extrusion);
    adBitWriteDouble(data->point.xAxisAngle);
    return adDwgEntityHandles(writer, header, type, links);
}

namespace {
void writeCircle(AdDwgWriter* writer, const AdEntityHeader* header, const double centre[3], double radius) {
    adBitWrite3D(centre);
    adBitWriteDouble(radius);
    adDwgWriteThickness(writer, header->thickness);
    adDwgWriteExtrusion(writer, header->extrusion);
}
}  // namespace

int adDwgWriteCircleEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                           const AdDwgEntityLinks& links, std::int16_t type) {
    writeCircle(writer, header, data->circle.centre, data->circle.radius);
    return adDwgEntityHandles(writer, header, type, links);
}

int adDwgWriteArcEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                        const AdDwgEntityLinks& links, std::int16_t type) {
    const AdArcData& a = data->arc;
    writeCircle(writer, header, a.centre, a.radius);
    adBitWriteDouble(a.startAngle);
    adBitWriteDouble(a.endAngle);
    return adDwgEntityHandles(writer, header, type, links);
}

int adDwgWriteEllipseEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                            const AdDwgEntityLinks& links, std::int16_t type) {
    const AdEllipseData& e = data->ellipse;
    adBitWrite3D(e.centre);
    adBitWrite3D(e.majorAxis);
    adBitWrite3D(header->extrusion);
    adBitWriteDouble(e.axisRatio);
    adBitWriteDouble(e.startParameter);
    adBitWriteDouble(e.endParameter);
    return adDwgEntityHandles(writer, header, type, links);
}

int adDwgWriteRayEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                        const AdDwgEntityLinks& links, std::int16_t type) {
    adBitWrite3D(data->ray.base);
    adBitWrite3D(data->ray.direction);
    return adDwgEntityHandles(writer, header, type, links);
}

int adDwgWriteFaceEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                         const AdDwgEntityLinks& links, std::int16_t type) {
    const AdFaceData& f = data->face;
    if (writer->version >= AD_VERSION_AC1015) {
        adBitWriteBit(f.invisibleEdges == 0);
        adBitWriteOptionalDouble(f.corners[0]);
        // Each further corner against the one before.
        for (int i = 1; i < 4; ++i)
            for (int axis = 0; axis < 3; ++axis) adBitWriteDefDouble(f.corners[i][axis], f.corners[i - 1][axis]);
        if (f.invisibleEdges != 0) adBitWriteShort(f.invisibleEdges);
    } else {
        for (const double* corner : f.corners) adBitWrite3D(corner);
        adBitWriteShort(f.invisibleEdges);
    }
    return adDwgEntityHandles(writer, header, type, links);
}

int adDwgWriteTraceEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                          const AdDwgEntityLinks& links, std::int16_t type) {
    const AdTraceData& t = data->trace;
    adDwgWriteThickness(writer, header->thickness);
    adBitWriteDouble(t.corners[3][2]);
    for (const double* corner : t.corners) adBitWriteRaw2D(corner);
    adDwgWriteExtrusion(writer, header->extrusion);
    return adDwgEntityHandles(writer, header, type, links);
}
