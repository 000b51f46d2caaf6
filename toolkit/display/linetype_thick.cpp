// One segment in one viewport with the entity's thickness: the line itself
// and, for a thick entity, its raised copy and the two risers.
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"

#include <cmath>

namespace {

// Types whose points are already in world coordinates or are placed by
// their own frame.
bool keepsOwnFrame(std::uint16_t type) {
    switch (type) {
    case AD_ENTITY_LINE: case AD_ENTITY_3DLINE: case AD_ENTITY_POINT: case AD_ENTITY_TEXT: case AD_ENTITY_SHAPE:
    case AD_ENTITY_ELLIPSE: case AD_ENTITY_MTEXT: case AD_ENTITY_TOLERANCE: case AD_ENTITY_MLINE:
    case AD_ENTITY_LEADER: case AD_ENTITY_3DSOLID: case AD_ENTITY_REGION: case AD_ENTITY_BODY:
        return true;
    default:
        return false;
    }
}

bool raisedOnDevice(std::uint16_t type) {
    return type == AD_ENTITY_TEXT || type == AD_ENTITY_SHAPE || type == AD_ENTITY_MTEXT || type == AD_ENTITY_POINT;
}

void throughFrame(const AdMatrix4& m, const double p[3], double out[3]) {
    const double q[4] = {p[0], p[1], p[2], 1.0};
    double r[4];
    adTransformPoint(q, &m, r);
    out[0] = r[0], out[1] = r[1], out[2] = r[2];
}

}  // namespace

double adViewSegmentLength(const double start[3], const double end[3], const AdMatrix4* matrices, int v) {
    const auto& m = matrices[v].m;
    const double dx = end[0] - start[0], dy = end[1] - start[1], dz = end[2] - start[2];
    const double x = dx * m[0][0] + dy * m[1][0] + dz * m[2][0];
    const double y = dx * m[0][1] + dy * m[1][1] + dz * m[2][1];
    return std::sqrt(x * x + y * y);
}

void adEmitThickSegment(AdDrawing* drawing, const double start[3], const double end[3], const AdMatrix4* matrices,
                        int v) {
    const AdEntityHeader* entity = adCurrentEntity();
    const AdDisplayState* state = drawing->display;
    const AdMatrix4& m = matrices[v];
    const bool extruded = (entity->flags & AD_ENTITY_FLAG_EXTRUDED) != 0;
    const bool ocs = extruded && !keepsOwnFrame(entity->type) && !state->polyline3D;
    AdMatrix4 frame = adIdentityMatrix;
    double a[3] = {start[0], start[1], start[2]}, b[3] = {end[0], end[1], end[2]};
    if (ocs) {
        adMatrixFromExtrusion(entity->extrusion, &frame);
        throughFrame(frame, start, a);
        throughFrame(frame, end, b);
    }
    double da[2], db[2];
    adTransformToDevice(a, &m, da);
    adTransformToDevice(b, &m, db);
    adEmitDeviceLine(drawing, da, db, v);
    const double t = entity->thickness;
    if (t == 0.0) return;
    double ra[2], rb[2];
    if (!extruded || raisedOnDevice(entity->type)) {
        ra[0] = da[0] + t * m.m[2][0], ra[1] = da[1] + t * m.m[2][1];
        rb[0] = db[0] + t * m.m[2][0], rb[1] = db[1] + t * m.m[2][1];
    } else if (entity->type == AD_ENTITY_LINE || entity->type == AD_ENTITY_3DLINE) {
        const double* e = entity->extrusion;
        const double pa[3] = {a[0] + t * e[0], a[1] + t * e[1], a[2] + t * e[2]};
        const double pb[3] = {b[0] + t * e[0], b[1] + t * e[1], b[2] + t * e[2]};
        adTransformToDevice(pa, &m, ra);
        adTransformToDevice(pb, &m, rb);
    } else {
        if (!ocs) adMatrixFromExtrusion(entity->extrusion, &frame);
        const double pa[3] = {start[0], start[1], start[2] + t}, pb[3] = {end[0], end[1], end[2] + t};
        double wa[3], wb[3];
        throughFrame(frame, pa, wa);
        throughFrame(frame, pb, wb);
        adTransformToDevice(wa, &m, ra);
        adTransformToDevice(wb, &m, rb);
    }
    adEmitDeviceLine(drawing, db, rb, v);
    adEmitDeviceLine(drawing, rb, ra, v);
    adEmitDeviceLine(drawing, ra, da, v);
}
