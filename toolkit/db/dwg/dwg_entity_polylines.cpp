// Polyline entity objects of AC1012+ files: the four POLYLINE kinds (2D, 3D,
// polyface mesh, polygon mesh) and their VERTEX objects. A 2D polyline hands
// its elevation and default widths on to its vertices.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/ad_internal.h"

#include <cmath>

namespace {

constexpr std::int16_t kWidthsZero = 0x8;
constexpr std::int16_t k3DPolyline = 0x8;
constexpr std::int16_t kSplineFit = 0x4;
constexpr std::int16_t kPolyface = 64;
constexpr std::int16_t kFaceRecord = 128;
constexpr std::uint8_t kQuadratic = 0x1;
constexpr std::uint8_t kCubic = 0x2;
constexpr std::int16_t kQuadraticCurve = 5;
constexpr std::int16_t kCubicCurve = 6;

void readVertex2D(AdDrawing* drawing, AdVertexData& v) {
    const AdDrawing::AdDwgChains& c = drawing->dwgChains;
    adBitRead3D(v.point);
    v.point[2] = c.elevation;
    adBitReadDouble(&v.startWidth);
    // A negative start width stands for both widths.
    if (v.startWidth < 0.0) {
        v.startWidth = v.endWidth = std::fabs(v.startWidth);
    } else {
        adBitReadDouble(&v.endWidth);
    }
    adBitReadDouble(&v.bulge);
    adBitReadDouble(&v.tangentDirection);
    v.startWidthGiven = v.startWidth == c.startWidth ? 0 : 1;
    v.endWidthGiven = v.endWidth == c.endWidth ? 0 : 1;
}

void readPolyline2D(AdDrawing* drawing, AdEntityHeader* header, AdPolylineData& p) {
    AdDrawing::AdDwgChains& c = drawing->dwgChains;
    p.flags = adBitReadShort();
    p.curveType = adBitReadShort();
    adBitReadDouble(&p.startWidth);
    adBitReadDouble(&p.endWidth);
    if (p.flags & kWidthsZero) p.startWidth = p.endWidth = 0.0;
    adDwgReadEntityThickness(drawing, header);
    adBitReadDouble(&p.elevation);
    adDwgReadEntityExtrusion(drawing, header);
    c.elevation = p.elevation;
    c.startWidth = p.startWidth;
    c.endWidth = p.endWidth;
}

void readPolyline3D(AdPolylineData& p) {
    const std::uint8_t spline = adBitReadByte();
    if (spline & kQuadratic) p.curveType = kQuadraticCurve;
    else if (spline & kCubic) p.curveType = kCubicCurve;
    p.flags = static_cast<std::int16_t>(adBitReadByte() | k3DPolyline);
    if (p.curveType != 0) p.flags |= kSplineFit;
}

void readMesh(AdPolylineData& p) {
    p.flags = adBitReadShort();
    p.curveType = adBitReadShort();
    p.meshMCount = adBitReadShort();
    p.meshNCount = adBitReadShort();
    p.meshMDensity = adBitReadShort();
    p.meshNDensity = adBitReadShort();
}

}  // namespace

int adDwgReadVertexEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdVertexData& v = data->vertex;
    if (header->type == AD_DWG_VERTEX_PFACE_FACE) {
        for (std::int16_t& index : v.faceIndices) {
            index = adBitReadShort();
            if (index != 0) ++v.faceIndexCount;
        }
        v.flags = kFaceRecord;
    } else {
        v.flags = adBitReadByte();
        if (header->type == AD_DWG_VERTEX_2D) readVertex2D(drawing, v);
        else adBitRead3D(v.point);
    }
    return adDwgReadHandlesOnly(drawing, header, data);
}

int adDwgReadPolylineEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdPolylineData& p = data->polyline;
    switch (header->type) {
    case AD_DWG_POLYLINE_2D: readPolyline2D(drawing, header, p); break;
    case AD_DWG_POLYLINE_3D: readPolyline3D(p); break;
    case AD_DWG_POLYLINE_PFACE:
        p.flags = kPolyface;
        p.meshMCount = adBitReadShort();
        p.meshNCount = adBitReadShort();
        break;
    default: readMesh(p); break;
    }
    return adDwgReadHandlesOnly(drawing, header, data) && adDwgReadSubEntityHandles(header);
}
