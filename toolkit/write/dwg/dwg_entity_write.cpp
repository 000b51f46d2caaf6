// The entity dispatcher of bit-coded DWG files: the object type an entity
// is written under, its record head, the kind's fields and the framing.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include "toolkit/db/dwg/dwg_class_read.h"

namespace {
struct KindRow {
    std::uint16_t entityType;
    std::int16_t dwgType;
};

// Kinds whose object type does not depend on their data. A 3DLINE has no
// type of its own in these versions: it is a LINE.
constexpr KindRow kFixedTypes[] = {
    {AD_ENTITY_TEXT, AD_DWG_TEXT},         {AD_ENTITY_ATTRIB, AD_DWG_ATTRIB},
    {AD_ENTITY_ATTDEF, AD_DWG_ATTDEF},     {AD_ENTITY_BLOCK, AD_DWG_BLOCK},
    {AD_ENTITY_ENDBLK, AD_DWG_ENDBLK},     {AD_ENTITY_SEQEND, AD_DWG_SEQEND},
    {AD_ENTITY_ARC, AD_DWG_ARC},           {AD_ENTITY_CIRCLE, AD_DWG_CIRCLE},
    {AD_ENTITY_LINE, AD_DWG_LINE},         {AD_ENTITY_3DLINE, AD_DWG_LINE},
    {AD_ENTITY_POINT, AD_DWG_POINT},       {AD_ENTITY_3DFACE, AD_DWG_3DFACE},
    {AD_ENTITY_SOLID, AD_DWG_SOLID},       {AD_ENTITY_TRACE, AD_DWG_TRACE},
    {AD_ENTITY_SHAPE, AD_DWG_SHAPE},       {AD_ENTITY_VIEWPORT, AD_DWG_VIEWPORT},
    {AD_ENTITY_ELLIPSE, AD_DWG_ELLIPSE},   {AD_ENTITY_SPLINE, AD_DWG_SPLINE},
    {AD_ENTITY_REGION, AD_DWG_REGION},     {AD_ENTITY_3DSOLID, AD_DWG_3DSOLID},
    {AD_ENTITY_BODY, AD_DWG_BODY},         {AD_ENTITY_RAY, AD_DWG_RAY},
    {AD_ENTITY_XLINE, AD_DWG_XLINE},       {AD_ENTITY_MTEXT, AD_DWG_MTEXT},
    {AD_ENTITY_LEADER, AD_DWG_LEADER},     {AD_ENTITY_TOLERANCE, AD_DWG_TOLERANCE},
    {AD_ENTITY_MLINE, AD_DWG_MLINE},
};

// By the low three bits of the dimension type.
constexpr std::int16_t kDimensionTypes[8] = {AD_DWG_DIM_LINEAR,   AD_DWG_DIM_ALIGNED, AD_DWG_DIM_ANG2LN,
                                             AD_DWG_DIM_DIAMETER, AD_DWG_DIM_RADIUS,  AD_DWG_DIM_ANG3PT,
                                             AD_DWG_DIM_ORDINATE, AD_DWG_DIM_LINEAR};

constexpr std::int16_t kVertex3D = 0x20;
constexpr std::int16_t kVertexMesh = 0x40;
constexpr std::int16_t kVertexFace = 0xC0;
constexpr std::int16_t kPolylinePface = 0x40;
constexpr std::int16_t kPolylineMesh = 0x10;
constexpr std::int16_t kPolyline3D = 0x08;

std::int16_t vertexType(const AdVertexData& v) {
    if (v.faceIndexCount != 0) return AD_DWG_VERTEX_PFACE_FACE;
    if (v.flags & kVertex3D) return AD_DWG_VERTEX_3D;
    if ((v.flags & kVertexFace) == kVertexFace) return AD_DWG_VERTEX_PFACE;
    if (v.flags & kVertexMesh) return AD_DWG_VERTEX_MESH;
    return AD_DWG_VERTEX_2D;
}

std::int16_t polylineType(const AdPolylineData& p) {
    if (p.flags & kPolylinePface) return AD_DWG_POLYLINE_PFACE;
    if (p.flags & kPolylineMesh) return AD_DWG_POLYLINE_MESH;
    if (p.flags & kPolyline3D) return AD_DWG_POLYLINE_3D;
    return AD_DWG_POLYLINE_2D;
}

// ENDBLK and SEQEND: the handles alone.
int writeHandlesOnly(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData*,
                     const AdDwgEntityLinks& links, std::int16_t type) {
    return adDwgEntityHandles(writer, header, type, links);
}

struct WriterRow {
    std::int16_t dwgType;
    AdDwgEntityWriter write;
};

constexpr WriterRow kWriters[] = {
    {AD_DWG_TEXT, adDwgWriteTextEntity},
    {AD_DWG_ATTRIB, adDwgWriteTextEntity},
    {AD_DWG_ATTDEF, adDwgWriteTextEntity},
    {AD_DWG_ENDBLK, writeHandlesOnly},
    {AD_DWG_SEQEND, writeHandlesOnly},
    {AD_DWG_INSERT, adDwgWriteInsertEntity},
    {AD_DWG_MINSERT, adDwgWriteInsertEntity},
    {AD_DWG_VERTEX_2D, adDwgWriteVertexEntity},
    {AD_DWG_VERTEX_3D, adDwgWriteVertexEntity},
    {AD_DWG_VERTEX_MESH, adDwgWriteVertexEntity},
    {AD_DWG_VERTEX_PFACE, adDwgWriteVertexEntity},
    {AD_DWG_VERTEX_PFACE_FACE, adDwgWriteVertexEntity},
    {AD_DWG_POLYLINE_2D, adDwgWritePolylineEntity},
    {AD_DWG_POLYLINE_3D, adDwgWritePolylineEntity},
    {AD_DWG_ARC, adDwgWriteArcEntity},
    {AD_DWG_CIRCLE, adDwgWriteCircleEntity},
    {AD_DWG_LINE, adDwgWriteLineEntity},
    {AD_DWG_DIM_ORDINATE, adDwgWriteDimensionEntity},
    {AD_DWG_DIM_LINEAR, adDwgWriteDimensionEntity},
    {AD_DWG_DIM_ALIGNED, adDwgWriteDimensionEntity},
    {AD_DWG_DIM_ANG3PT, adDwgWriteDimensionEntity},
    {AD_DWG_DIM_ANG2LN, adDwgWriteDimensionEntity},
    {AD_DWG_DIM_RADIUS, adDwgWriteDimensionEntity},
    {AD_DWG_DIM_DIAMETER, adDwgWriteDimensionEntity},
    {AD_DWG_POINT, adDwgWritePointEntity},
    {AD_DWG_3DFACE, adDwgWriteFaceEntity},
    {AD_DWG_POLYLINE_PFACE, adDwgWritePolylineEntity},
    {AD_DWG_POLYLINE_MESH, adDwgWritePolylineEntity},
    {AD_DWG_SOLID, adDwgWriteTraceEntity},
    {AD_DWG_TRACE, adDwgWriteTraceEntity},
    {AD_DWG_SHAPE, adDwgWriteShapeEntity},
    {AD_DWG_VIEWPORT, adDwgWriteViewportEntity},
    {AD_DWG_ELLIPSE, adDwgWriteEllipseEntity},
    {AD_DWG_SPLINE, adDwgWriteSplineEntity},
    {AD_DWG_REGION, adDwgWriteSatEntity},
    {AD_DWG_3DSOLID, adDwgWriteSatEntity},
    {AD_DWG_BODY, adDwgWriteSatEntity},
    {AD_DWG_RAY, adDwgWriteRayEntity},
    {AD_DWG_XLINE, adDwgWriteRayEntity},
    {AD_DWG_MTEXT, adDwgWriteMtextEntity},
    {AD_DWG_LEADER, adDwgWriteLeaderEntity},
    {AD_DWG_TOLERANCE, adDwgWriteToleranceEntity},
    {AD_DWG_MLINE, adDwgWriteMlineEntity},
};

AdDwgEntityWriter writerOf(std::int16_t type) {
    if (static_cast<std::uint16_t>(type) >= AD_DWG_FIRST_CLASS_TYPE) return adDwgWriteClassEntity;
    for (const WriterRow& row : kWriters)
        if (row.dwgType == type) return row.write;
    return nullptr;
}

// The type a class-numbered entity's record carries: AC1015 gives three
// kinds fixed numbers, AC1012 writes a proxy as its zombie class.
std::int16_t recordType(const AdDwgWriter* writer, std::int16_t type) {
    if (static_cast<std::uint16_t>(type) < AD_DWG_FIRST_CLASS_TYPE) return type;
    if (writer->version == AD_VERSION_AC1012 && type == AD_DWG_FIRST_CLASS_TYPE) return writer->zombieEntityClass;
    if (writer->version < AD_VERSION_AC1015) return type;
    switch (adEntityKind(writer->source, static_cast<std::uint16_t>(type))) {
    case AD_KIND_OLE2FRAME: return AD_DWG_OLE2FRAME;
    case AD_KIND_LWPOLYLINE: return AD_DWG_LWPOLYLINE;
    case AD_KIND_HATCH: return AD_DWG_HATCH;
    default: return type;
    }
}

// The graphics a class-numbered entity carries, when they can be copied.
AdStore* graphicsOf(const AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data) {
    if (header->type < AD_DWG_FIRST_CLASS_TYPE) return nullptr;
    AdStore* graphics = adDwgClassGraphics(writer->source, header, data);
    return graphics && adBitStoreCopyable(graphics) ? graphics : nullptr;
}
}  // namespace

std::int16_t adDwgEntityType(const AdEntityHeader* header, const AdEntityData* data) {
    switch (header->type) {
    case AD_ENTITY_PROXY: return adDwgProxyClass(data->proxy);
    case AD_ENTITY_INSERT:
        return data->insert.columnCount == 1 && data->insert.rowCount == 1 ? AD_DWG_INSERT : AD_DWG_MINSERT;
    case AD_ENTITY_VERTEX: return vertexType(data->vertex);
    case AD_ENTITY_POLYLINE: return polylineType(data->polyline);
    case AD_ENTITY_DIMENSION: return kDimensionTypes[data->dimension.dimensionType & 7];
    default: break;
    }
    for (const KindRow& row : kFixedTypes)
        if (row.entityType == header->type) return row.dwgType;
    return static_cast<std::int16_t>(header->type);
}

int adDwgEntityHandlesWith(AdDwgWriter* writer, const AdEntityHeader* header, std::int16_t type,
                           const AdDwgEntityLinks& links, std::initializer_list<const AdHandle*> pointers) {
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    for (const AdHandle* pointer : pointers) adBitWriteHandle(pointer, AD_REF_HARD_POINTER);
    return adBitUsable() ? 1 : 0;
}

bool adDwgCanWriteEntity(std::int16_t type) { return writerOf(type) != nullptr; }

std::int16_t adDwgProxyClass(const AdProxyData& proxy) {
    if (proxy.classId >= AD_FIRST_CLASS_NUMBER) return proxy.classId;
    if (proxy.applicationClass >= AD_FIRST_CLASS_NUMBER) return proxy.applicationClass;
    return AD_DWG_FIRST_CLASS_TYPE;
}

void adDwgWriteThickness(const AdDwgWriter* writer, double thickness) {
    if (writer->version >= AD_VERSION_AC1015) adBitWriteThickness(thickness);
    else adBitWriteDouble(thickness);
}

void adDwgWriteExtrusion(const AdDwgWriter* writer, const double extrusion[3]) {
    if (writer->version >= AD_VERSION_AC1015) adBitWriteExtrusion(extrusion);
    else adBitWrite3D(extrusion);
}

int adDwgWriteEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                     const AdDwgEntityLinks& links, std::int16_t type) {
    const AdDwgEntityWriter write = writerOf(type);
    if (!write) return 1;
    if (type == AD_DWG_VIEWPORT && writer->version < AD_VERSION_AC1015) {
        // The view goes in the extended data, for the length of the head.
        AdEntityHeader withView = *header;
        AdStore* own = nullptr;
        if (!adDwgBuildMviewXdata(writer->source, writer->output, &withView, &data->viewport, &own)) return 0;
        const int begun = adDwgEntityBegin(writer, &withView, type, links, nullptr);
        adDwgRestoreMviewXdata(&withView, own);
        if (!begun) return 0;
    } else if (!adDwgEntityBegin(writer, header, recordType(writer, type), links,
                                 graphicsOf(writer, header, data))) {
        return 0;
    }
    if (!write(writer, header, data, links, type)) return 0;
    return adDwgRecordEnd(writer, &header->handle);
}
