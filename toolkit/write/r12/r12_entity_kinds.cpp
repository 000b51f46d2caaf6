// The type-specific parts of fixed-record entity records: each optional
// field is written only when it differs from what a reader assumes in its
// absence, and then its option bit is set.
#include "toolkit/write/r12/r12_entities.h"
#include "toolkit/db/r12/r12_entity_layout.h"

namespace {
constexpr std::int16_t kXrefNameLimit = 5;

struct Part {
    AdR12EntityRecord* e;
    std::int16_t v;
    AdR12RecordBuffer* r() const { return e->r; }
    bool from1006() const { return v >= AD_VERSION_AC1006; }
    bool is1009() const { return v == AD_VERSION_AC1009; }
    void point2(const double* p) const { adR12PutPoint2D(r(), p); }
    void real(double value) const { adR12PutDouble(r(), value); }
    void realIf(bool condition, double value, std::uint16_t bit) const {
        if (!condition) return;
        adR12PutDouble(r(), value);
        e->options |= bit;
    }
    void shortIf(bool condition, std::int16_t value, std::uint16_t bit) const {
        if (!condition) return;
        adR12PutShort(r(), value);
        e->options |= bit;
    }
    void byteIf(bool condition, std::uint8_t value, std::uint16_t bit) const {
        if (!condition) return;
        adR12PutByte(r(), value);
        e->options |= bit;
    }
    // The header's extrusion, from AC1006 when it is not the default.
    void extrusion(std::uint16_t bit) const {
        const double* x = e->header->extrusion;
        if (!from1006() || (x[0] == 0.0 && x[1] == 0.0 && x[2] == 1.0)) return;
        adR12PutPoint3D(r(), x);
        e->options |= bit;
    }
    void text(const char* value) const {
        adR12WriteText(r(), value, e->writer->output->header->dwgcodepage);
    }
};

// LINE and, from AC1006, 3DLINE: two points whose z are left out when both
// are 0.
void line(const Part& p, const AdLineData& l) {
    if (!p.from1006()) {
        p.point2(l.start);
        p.point2(l.end);
        return;
    }
    const bool flat = l.start[2] == 0.0 && l.end[2] == 0.0;
    if (flat) p.e->flags |= AD_R12_ENTITY_ELEVATION;
    p.point2(l.start);
    if (!flat) p.real(l.start[2]);
    p.point2(l.end);
    if (!flat) p.real(l.end[2]);
    p.extrusion(0x01);
}

void point(const Part& p, const AdPointData& pt) {
    p.point2(pt.point);
    if (!p.from1006()) return;
    if (pt.point[2] == 0.0)
        p.e->flags |= AD_R12_ENTITY_ELEVATION;
    else
        p.real(pt.point[2]);
    p.extrusion(0x01);
    p.realIf(pt.xAxisAngle != 0.0, pt.xAxisAngle, 0x02);
}

void line3d(const Part& p, const AdLineData& l) {
    if (p.v == AD_VERSION_AC1002) return;
    if (p.from1006()) return line(p, l);
    p.point2(l.start);
    p.realIf(l.start[2] != 0.0, l.start[2], 0x01);
    p.point2(l.end);
    p.realIf(l.end[2] != 0.0, l.end[2], 0x02);
}

void face3d(const Part& p, const AdFaceData& f) {
    if (p.v == AD_VERSION_AC1002) return;
    if (!p.from1006()) {
        for (int i = 0; i < 4; ++i) {
            p.point2(f.corners[i]);
            p.realIf(f.corners[i][2] != 0.0, f.corners[i][2], static_cast<std::uint16_t>(1u << i));
        }
        return;
    }
    const bool flat = f.corners[0][2] == 0.0 && f.corners[1][2] == 0.0 && f.corners[2][2] == 0.0 &&
                      f.corners[3][2] == 0.0;
    if (flat) p.e->flags |= AD_R12_ENTITY_ELEVATION;
    for (const double* corner : f.corners) {
        p.point2(corner);
        if (!flat) p.real(corner[2]);
    }
    p.shortIf(f.invisibleEdges != 0, f.invisibleEdges, 0x01);
}

// The options TEXT (base 1), ATTDEF and ATTRIB (base 2) share.
void textOptions(const Part& p, const AdTextFields& f, std::uint16_t b) {
    p.realIf(f.rotation != 0.0, f.rotation, b);
    p.realIf(f.widthFactor != 1.0, f.widthFactor, static_cast<std::uint16_t>(b << 1));
    p.realIf(f.obliqueAngle != 0.0, f.obliqueAngle, static_cast<std::uint16_t>(b << 2));
    const std::int16_t style = adGlobals->entityIndexes.textStyle;
    p.byteIf(style != 0, static_cast<std::uint8_t>(style), static_cast<std::uint16_t>(b << 3));
    p.byteIf(f.generation != 0, f.generation, static_cast<std::uint16_t>(b << 4));
    p.byteIf(f.horizontalAlignment != 0, f.horizontalAlignment, static_cast<std::uint16_t>(b << 5));
    if (f.alignment[0] != 0.0 || f.alignment[1] != 0.0 || f.horizontalAlignment != 0 ||
        (p.is1009() && f.verticalAlignment != 0)) {
        p.point2(f.alignment);
        p.e->options |= static_cast<std::uint16_t>(b << 6);
    }
    p.extrusion(static_cast<std::uint16_t>(b << 7));
    if (p.is1009()) p.byteIf(f.verticalAlignment != 0, f.verticalAlignment, static_cast<std::uint16_t>(b << 8));
}

void placement(const Part& p, const double* insertion, const AdTextFields& f) {
    p.point2(insertion);
    p.real(f.height);
}

void block(const Part& p, const AdBlockData& b, std::int32_t number) {
    p.point2(b.basePoint);
    if (!p.is1009()) return;
    const bool xref = b.xrefPath[0] != '\0';
    if (xref) {
        p.text(b.xrefPath);
        p.e->options |= 0x02;
    }
    if (b.name[0] != '\0') {
        AdR12Writer* w = p.e->writer;
        char legal[AD_LEGAL_NAME_SIZE];
        adDwgLegalName(w->source, &w->output->budgets, b.name, number,
                       xref ? kXrefNameLimit : adGetNameLengthLimit(), legal);
        p.text(legal);
        p.e->options |= 0x04;
    }
}

void insert(const Part& p, const AdInsertData& in, std::int32_t position) {
    adR12PutShort(p.r(), adGlobals->entityIndexes.block);
    p.point2(in.insertion);
    if (in.attributesFollow) {
        p.e->flags |= AD_R12_ENTITY_ATTRIBUTES_FOLLOW;
        p.e->writer->pendingOwner = position;
    }
    p.realIf(in.scale[0] != 1.0, in.scale[0], 0x01);
    p.realIf(in.scale[1] != 1.0, in.scale[1], 0x02);
    p.realIf(in.rotation != 0.0, in.rotation, 0x04);
    p.realIf(in.scale[2] != 1.0, in.scale[2], 0x08);
    p.shortIf(in.columnCount != 1, in.columnCount, 0x10);
    p.shortIf(in.rowCount != 1, in.rowCount, 0x20);
    p.realIf(in.columnSpacing != 0.0, in.columnSpacing, 0x40);
    p.realIf(in.rowSpacing != 0.0, in.rowSpacing, 0x80);
    p.extrusion(0x100);
}

void polyline(const Part& p, const AdPolylineData& pl, std::int32_t position) {
    p.byteIf(pl.flags != 0, static_cast<std::uint8_t>(pl.flags), 0x01);
    p.e->writer->pendingOwner = position;
    p.realIf(pl.startWidth != 0.0, pl.startWidth, 0x02);
    p.realIf(pl.endWidth != 0.0, pl.endWidth, 0x04);
    if (!p.from1006()) return;
    p.extrusion(0x08);
    p.shortIf(pl.meshMCount != 0, pl.meshMCount, 0x10);
    p.shortIf(pl.meshNCount != 0, pl.meshNCount, 0x20);
    p.shortIf(pl.meshMDensity != 0, pl.meshMDensity, 0x40);
    p.shortIf(pl.meshNDensity != 0, pl.meshNDensity, 0x80);
    p.shortIf(pl.curveType != 0, pl.curveType, 0x100);
}

void vertex(const Part& p, const AdVertexData& vx) {
    const bool face = p.is1009() && vx.faceIndexCount > 0;
    if (!face) p.point2(vx.point);
    p.realIf(vx.startWidthGiven || vx.startWidth != 0.0, vx.startWidth, 0x01);
    p.realIf(vx.endWidthGiven || vx.endWidth != 0.0, vx.endWidth, 0x02);
    p.realIf(vx.bulge != 0.0, vx.bulge, 0x04);
    p.byteIf(vx.flags != 0, static_cast<std::uint8_t>(vx.flags), 0x08);
    p.realIf(vx.tangentDirection != 0.0, vx.tangentDirection, 0x10);
    if (!face) {
        p.extrusion(0x20);
        return;
    }
    p.e->options |= AD_R12_VERTEX_FACE_RECORD;
    const std::int16_t count = vx.faceIndexCount < 4 ? vx.faceIndexCount : std::int16_t{4};
    for (std::int16_t i = 0; i < count; ++i) p.shortIf(true, vx.faceIndices[i], static_cast<std::uint16_t>(0x20 << i));
}

// A definition point: x and y, and from AC1006 its z.
void dimensionPoint(const Part& p, const double* point, std::uint16_t bit) {
    p.point2(point);
    if (p.from1006()) p.real(point[2]);
    p.e->options |= bit;
}

void dimension(const Part& p, const AdDimensionData& d) {
    if (p.v == AD_VERSION_AC1002) return;
    adR12PutShort(p.r(), adGlobals->entityIndexes.block);
    p.point2(d.definitionPoint);
    if (p.from1006()) p.real(d.definitionPoint[2]);
    p.point2(d.textMidpoint);
    if (d.clonePointGiven) {
        p.point2(d.clonePoint);
        p.e->options |= 0x01;
    }
    p.byteIf(d.dimensionType != 0, d.dimensionType, 0x02);
    if (d.text[0] != '\0') {
        p.text(d.text);
        p.e->options |= 0x04;
    }
    const int kind = d.dimensionType & 7;
    if (kind == 0 || kind == 1 || (p.is1009() && kind == 6)) {
        dimensionPoint(p, d.definitionPoints[1], 0x08);
        dimensionPoint(p, d.definitionPoints[2], 0x10);
    } else if (kind == 2 || (p.is1009() && kind == 5)) {
        dimensionPoint(p, d.definitionPoints[1], 0x08);
        dimensionPoint(p, d.definitionPoints[2], 0x10);
        dimensionPoint(p, d.definitionPoints[3], 0x20);
        p.point2(d.definitionPoints[0]);
        p.e->options |= 0x40;
    } else if (kind == 3 || kind == 4) {
        dimensionPoint(p, d.definitionPoints[3], 0x20);
    }
    p.realIf(d.leaderLength != 0.0, d.leaderLength, 0x80);
    p.realIf(d.rotation != 0.0, d.rotation, 0x100);
    if (p.v == AD_VERSION_AC1006) {
        p.realIf(d.horizontalDirection != 0.0, d.horizontalDirection, 0x2000);
        p.extrusion(0x4000);
    } else if (p.is1009()) {
        p.realIf(d.obliqueAngle != 0.0, d.obliqueAngle, 0x200);
        p.realIf(d.textRotation != 0.0, d.textRotation, 0x400);
        p.realIf(d.angle54 != 0.0, d.angle54, 0x1000);
        p.realIf(d.horizontalDirection != 0.0, d.horizontalDirection, 0x2000);
        p.extrusion(0x4000);
        const std::int16_t style = adGlobals->entityIndexes.dimStyle;
        p.shortIf(style != -1, style, 0x8000);
    }
}

void viewport(const Part& p, const AdViewportData& vp) {
    if (!p.is1009()) return;
    adR12PutPoint3D(p.r(), vp.centre);
    p.real(vp.width);
    p.real(vp.height);
    adR12PutShort(p.r(), p.e->writer->viewportNumber++);
}
}  // namespace

void adR12WriteEntityPart(AdR12EntityRecord* e, const AdEntityData* data, std::int32_t blockNumber,
                          std::int32_t position) {
    AdR12Writer* w = e->writer;
    const Part p{e, w->version};
    AdR12RecordBuffer* r = e->r;
    // Owners are named by their place in the blocks section while blocks
    // are written.
    const std::int32_t address = w->inBlocks ? position - w->blocksStart : position;
    switch (e->header->type) {
    case AD_ENTITY_LINE: return line(p, data->line);
    case AD_ENTITY_POINT: return point(p, data->point);
    case AD_ENTITY_CIRCLE:
        p.point2(data->circle.centre);
        p.real(data->circle.radius);
        return p.extrusion(0x01);
    case AD_ENTITY_SHAPE: {
        const AdShapeData& s = data->shape;
        p.point2(s.insertion);
        p.real(s.size);
        adR12PutByte(r, s.shapeNumber);
        p.realIf(s.rotation != 0.0, s.rotation, 0x01);
        p.byteIf(true, static_cast<std::uint8_t>(adGlobals->entityIndexes.textStyle), 0x02);
        p.realIf(s.widthFactor != 1.0, s.widthFactor, 0x04);
        p.realIf(s.obliqueAngle != 0.0, s.obliqueAngle, 0x08);
        return p.extrusion(0x10);
    }
    case AD_ENTITY_TEXT: {
        const AdTextData& t = data->text;
        placement(p, t.insertion, t.fields);
        p.text(t.text);
        return textOptions(p, t.fields, 0x01);
    }
    case AD_ENTITY_ARC:
        p.point2(data->arc.centre);
        p.real(data->arc.radius);
        p.real(data->arc.startAngle);
        p.real(data->arc.endAngle);
        return p.extrusion(0x01);
    case AD_ENTITY_TRACE:
    case AD_ENTITY_SOLID:
        for (const double* corner : data->trace.corners) p.point2(corner);
        return p.extrusion(0x01);
    case AD_ENTITY_BLOCK: return block(p, data->block, blockNumber);
    case AD_ENTITY_INSERT: return insert(p, data->insert, address);
    case AD_ENTITY_ATTDEF: {
        const AdAttdefData& a = data->attdef;
        placement(p, a.insertion, a.fields);
        p.text(a.defaultValue);
        p.text(a.prompt);
        p.text(a.tag);
        adR12PutByte(r, a.attributeFlags);
        return textOptions(p, a.fields, 0x02);
    }
    case AD_ENTITY_ATTRIB: {
        const AdAttribData& a = data->attrib;
        placement(p, a.insertion, a.fields);
        p.text(a.value);
        p.text(a.tag);
        adR12PutByte(r, a.attributeFlags);
        p.byteIf(a.fieldLength != 0, static_cast<std::uint8_t>(a.fieldLength), 0x01);
        return textOptions(p, a.fields, 0x02);
    }
    case AD_ENTITY_SEQEND:
        if (w->pendingOwner >= 0) adR12PutLong(r, w->pendingOwner);
        w->pendingOwner = -1;
        return;
    case AD_ENTITY_POLYLINE: return polyline(p, data->polyline, address);
    case AD_ENTITY_VERTEX: return vertex(p, data->vertex);
    case AD_ENTITY_3DLINE: return line3d(p, data->line);
    case AD_ENTITY_3DFACE: return face3d(p, data->face);
    case AD_ENTITY_DIMENSION: return dimension(p, data->dimension);
    case AD_ENTITY_VIEWPORT: return viewport(p, data->viewport);
    default: return;
    }
}
