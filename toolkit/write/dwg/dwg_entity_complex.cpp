// Entity records that own others or name blocks: INSERT and MINSERT, the
// POLYLINE kinds and their VERTEX records, the DIMENSIONs and VIEWPORT.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include <cstring>

namespace {
constexpr std::uint8_t kUserTextPosition = 0x80;
constexpr std::uint8_t kOrdinateX = 0x40;
constexpr std::int16_t kQuadraticCurve = 5;
constexpr std::int16_t kCubicCurve = 6;
constexpr std::uint8_t kPolyline3DFlagMask = 0xF3;

bool ac1015(const AdDwgWriter* writer) { return adDwgWritesAc1015(writer); }

void writeScales(const AdDwgWriter* writer, const double s[3]) {
    if (!ac1015(writer)) {
        for (int i = 0; i < 3; ++i) adBitWriteDouble(s[i]);
        return;
    }
    if (s[0] == 1.0 && s[1] == 1.0 && s[2] == 1.0) {
        adBitWriteCode(3);
    } else if (s[0] == 1.0) {
        adBitWriteCode(1);
        adBitWriteDefDouble(s[1], 1.0);
        adBitWriteDefDouble(s[2], 1.0);
    } else if (s[0] != s[1] || s[0] != s[2]) {
        adBitWriteCode(0);
        adBitWriteRawDouble(s[0]);
        adBitWriteDefDouble(s[1], s[0]);
        adBitWriteDefDouble(s[2], s[0]);
    } else {
        adBitWriteCode(2);
        adBitWriteRawDouble(s[0]);
    }
}

// The vertices or attributes an entity owns and its SEQEND.
int writeSubEntities(const AdDwgEntityLinks& links) {
    adBitWriteHandle(&links.firstSub, AD_REF_SOFT_POINTER);
    adBitWriteHandle(&links.lastSub, AD_REF_SOFT_POINTER);
    adBitWriteHandle(&links.seqend, AD_REF_HARD_OWNER);
    return adBitUsable() ? 1 : 0;
}
}  // namespace

int adDwgWriteInsertEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                           const AdDwgEntityLinks& links, std::int16_t type) {
    const AdInsertData& in = data->insert;
    adBitWrite3D(in.insertion);
    writeScales(writer, in.scale);
    adBitWriteDouble(in.rotation);
    adBitWrite3D(header->extrusion);
    adBitWriteBit(in.attributesFollow != 0);
    if (type == AD_DWG_MINSERT) {
        const bool single = in.columnCount == 1 && in.rowCount == 1;
        adBitWriteShort(single ? 0 : in.columnCount);
        adBitWriteShort(single ? 0 : in.rowCount);
        adBitWriteDouble(in.columnSpacing);
        adBitWriteDouble(in.rowSpacing);
    }
    if (!adDwgEntityHandlesWith(writer, header, type, links, {&in.block})) return 0;
    return in.attributesFollow ? writeSubEntities(links) : 1;
}

int adDwgWriteVertexEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                           const AdDwgEntityLinks& links, std::int16_t type) {
    const AdVertexData& v = data->vertex;
    if (type == AD_DWG_VERTEX_PFACE_FACE) {
        for (int i = 0; i < 4; ++i) adBitWriteShort(i < v.faceIndexCount ? v.faceIndices[i] : 0);
        return adDwgEntityHandles(writer, header, type, links);
    }
    adBitWriteByte(static_cast<std::uint8_t>(v.flags));
    if (type != AD_DWG_VERTEX_2D) {
        adBitWrite3D(v.point);
        return adDwgEntityHandles(writer, header, type, links);
    }
    adBitWriteDouble(v.point[0]);
    adBitWriteDouble(v.point[1]);
    adBitWriteDouble(ac1015(writer) ? writer->polylineElevation : 0.0);
    // A vertex without widths of its own takes its polyline's.
    const double start = v.startWidthGiven ? v.startWidth : writer->polylineStartWidth;
    const double end = v.endWidthGiven ? v.endWidth : writer->polylineEndWidth;
    if (start == end && start != 0.0) {
        adBitWriteDouble(-start);
    } else {
        adBitWriteDouble(start);
        adBitWriteDouble(end);
    }
    adBitWriteDouble(v.bulge);
    adBitWriteDouble(v.tangentDirection);
    return adDwgEntityHandles(writer, header, type, links);
}

int adDwgWritePolylineEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                             const AdDwgEntityLinks& links, std::int16_t type) {
    const AdPolylineData& p = data->polyline;
    switch (type) {
    case AD_DWG_POLYLINE_2D:
        adBitWriteShort(p.flags);
        adBitWriteShort(p.curveType);
        adBitWriteDouble(p.startWidth);
        adBitWriteDouble(p.endWidth);
        adDwgWriteThickness(writer, header->thickness);
        adBitWriteDouble(p.elevation);
        adDwgWriteExtrusion(writer, header->extrusion);
        writer->polylineElevation = p.elevation;
        writer->polylineStartWidth = p.startWidth;
        writer->polylineEndWidth = p.endWidth;
        break;
    case AD_DWG_POLYLINE_3D:
        adBitWriteByte(p.curveType == kQuadraticCurve ? 1 : p.curveType == kCubicCurve ? 2 : 0);
        adBitWriteByte(static_cast<std::uint8_t>(p.flags & kPolyline3DFlagMask));
        break;
    case AD_DWG_POLYLINE_PFACE:
        adBitWriteShort(p.meshMCount);
        adBitWriteShort(p.meshNCount);
        break;
    default:
        adBitWriteShort(p.flags);
        adBitWriteShort(p.curveType);
        adBitWriteShort(p.meshMCount);
        adBitWriteShort(p.meshNCount);
        adBitWriteShort(p.meshMDensity);
        adBitWriteShort(p.meshNDensity);
        break;
    }
    return adDwgEntityHandles(writer, header, type, links) && writeSubEntities(links);
}

namespace {
// Definition points by their DXF group, as the record keeps them.
enum Point { k16 = 0, k13 = 1, k14 = 2, k15 = 3 };

void writeDimensionCommon(const AdDwgWriter* writer, const AdEntityHeader* header, const AdDimensionData& d) {
    adBitWrite3D(header->extrusion);
    adBitWriteRaw2D(d.textMidpoint);
    adBitWriteDouble(d.textMidpoint[2]);
    adBitWriteByte((d.dimensionType & kUserTextPosition) ? 2 : 3);
    adBitWriteText(d.text);
    adBitWriteDouble(d.textRotation);
    adBitWriteDouble(d.horizontalDirection);
    for (int i = 0; i < 3; ++i) adBitWriteDouble(1.0);
    adBitWriteDouble(d.angle54);
    if (ac1015(writer)) {
        adBitWriteShort(d.attachment);
        adBitWriteShort(d.lineSpacingStyle);
        adBitWriteDouble(d.lineSpacingFactor);
        adBitWriteDouble(d.measurement);
    }
    adBitWriteRaw2D(d.clonePoint);
}

void writeDimensionPoints(std::int16_t type, const AdDimensionData& d) {
    const double (&p)[4][3] = d.definitionPoints;
    switch (type) {
    case AD_DWG_DIM_ORDINATE:
        adBitWrite3D(d.definitionPoint);
        adBitWrite3D(p[k13]);
        adBitWrite3D(p[k14]);
        adBitWriteByte((d.dimensionType & kOrdinateX) ? 1 : 0);
        break;
    case AD_DWG_DIM_LINEAR:
    case AD_DWG_DIM_ALIGNED:
        adBitWrite3D(p[k13]);
        adBitWrite3D(p[k14]);
        adBitWrite3D(d.definitionPoint);
        adBitWriteDouble(d.obliqueAngle);
        if (type == AD_DWG_DIM_LINEAR) adBitWriteDouble(d.rotation);
        break;
    case AD_DWG_DIM_ANG3PT:
        adBitWrite3D(d.definitionPoint);
        adBitWrite3D(p[k13]);
        adBitWrite3D(p[k14]);
        adBitWrite3D(p[k15]);
        break;
    case AD_DWG_DIM_ANG2LN:
        adBitWriteRaw2D(p[k16]);
        adBitWrite3D(p[k13]);
        adBitWrite3D(p[k14]);
        adBitWrite3D(p[k15]);
        adBitWrite3D(d.definitionPoint);
        break;
    case AD_DWG_DIM_RADIUS:
        adBitWrite3D(d.definitionPoint);
        adBitWrite3D(p[k15]);
        adBitWriteDouble(d.leaderLength);
        break;
    default:
        adBitWrite3D(p[k15]);
        adBitWrite3D(d.definitionPoint);
        adBitWriteDouble(d.leaderLength);
        break;
    }
}
}  // namespace

int adDwgWriteDimensionEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                              const AdDwgEntityLinks& links, std::int16_t type) {
    const AdDimensionData& d = data->dimension;
    writeDimensionCommon(writer, header, d);
    writeDimensionPoints(type, d);
    return adDwgEntityHandlesWith(writer, header, type, links, {&d.dimStyle, &d.block});
}

namespace {
void writeView(const AdViewportData& v) {
    adBitWrite3D(v.viewTarget);
    adBitWrite3D(v.viewDirection);
    adBitWriteDouble(v.twist);
    adBitWriteDouble(v.viewHeight);
    adBitWriteDouble(v.lensLength);
    adBitWriteDouble(v.frontClip);
    adBitWriteDouble(v.backClip);
    adBitWriteDouble(v.snapAngle);
    adBitWriteRaw2D(v.viewCentre);
    adBitWriteRaw2D(v.snapBase);
    adBitWriteRaw2D(v.snapSpacing);
    adBitWriteRaw2D(v.gridSpacing);
    adBitWriteShort(v.circleZoom);
}

void writeUcs(const AdViewportData& v) {
    adBitWriteByte(static_cast<std::uint8_t>(v.renderMode));
    adBitWriteBit(0);
    adBitWriteBit(v.ucsPerViewport != 0);
    adBitWrite3D(v.ucsOrigin);
    adBitWrite3D(v.ucsXAxis);
    adBitWrite3D(v.ucsYAxis);
    adBitWriteDouble(v.elevation);
    adBitWriteShort(v.orthographicType);
}

std::vector<AdHandle> frozenLayers(const AdViewportData& v) {
    std::vector<AdHandle> layers;
    AdStream* in = v.frozenLayers && v.frozenLayerCount > 0 ? adStreamOpenRead(v.frozenLayers) : nullptr;
    AdHandle h{};
    for (std::int32_t i = 0; in && i < v.frozenLayerCount && adStreamReadHandle(in, &h); ++i) layers.push_back(h);
    if (in) adStreamCloseRead(in);
    return layers;
}

// The viewport entity header of a paper-space VIEWPORT; 0 with
// AD_ERR_DWG_VPORT_HEADER when the map holds none for it.
int viewportHeader(const AdDwgWriter* writer, const AdEntityHeader* header, const AdDwgEntityLinks& links,
                   AdHandle* out) {
    *out = AdHandle{};
    if (links.mode != 1) return 1;
    for (std::size_t i = 1; i < writer->vportMap.size(); ++i)
        if (std::memcmp(writer->vportMap[i].viewport.b, header->handle.b, sizeof out->b) == 0) {
            *out = writer->vportMap[i].header;
            return 1;
        }
    adGlobals->offendingHandle = header->handle;
    adSetError(AD_ERR_DWG_VPORT_HEADER);
    return 0;
}
}  // namespace

int adDwgWriteViewportEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                             const AdDwgEntityLinks& links, std::int16_t type) {
    const AdViewportData& v = data->viewport;
    adBitWrite3D(v.centre);
    adBitWriteDouble(v.width);
    adBitWriteDouble(v.height);
    std::vector<AdHandle> frozen;
    if (ac1015(writer)) {
        frozen = frozenLayers(v);
        writeView(v);
        adBitWriteLong(static_cast<std::int32_t>(frozen.size()));
        adBitWriteLong(v.statusFlags);
        adBitWriteText(v.styleSheet);
        writeUcs(v);
    }
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    if (ac1015(writer)) {
        for (const AdHandle& layer : frozen) adBitWriteHandle(&layer, AD_REF_HARD_POINTER);
        adBitWriteHandle(&v.clipBoundary, AD_REF_HARD_POINTER);
    }
    AdHandle entityHeader{};
    if (!viewportHeader(writer, header, links, &entityHeader)) return 0;
    adBitWriteHandle(&entityHeader, AD_REF_HARD_POINTER);
    if (ac1015(writer)) {
        adBitWriteHandle(&v.namedUcs, AD_REF_HARD_POINTER);
        adBitWriteHandle(&v.baseUcs, AD_REF_HARD_POINTER);
    }
    return adBitUsable() ? 1 : 0;
}
