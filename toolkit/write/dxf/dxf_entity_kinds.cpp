// The groups of each fixed entity kind after the common part.
#include "toolkit/write/dxf/dxf_entity_groups.h"

#include <cmath>
#include <cstring>
#include <memory>

bool adDxfIsDefaultStyle(const AdDxfEntityContext* context) {
    const char* standard = context->output->version <= AD_VERSION_AC1009 ? "Standard" : context->output->firstStyleName;
    return adStrCompareNoCase(context->names.style, standard) == 0;
}

std::int32_t adDxfStyleNumber(AdDrawing* source, const AdHandle& style) {
    std::int16_t index = 0;
    adStyleHandleToIndex(source, &style, &index);
    return index;
}

namespace {

// Rotation, width, obliqueness, style, generation and alignment of TEXT,
// ATTDEF and ATTRIB (the attributes' vertical alignment follows in AC1009).
void textPlacement(AdDxfEntityGroups& g, const AdTextFields& f, const double* insertion, bool attribute = true) {
    g.angleIf(50, f.rotation);
    g.notOne(41, f.widthFactor);
    g.angleIf(51, f.obliqueAngle);
    if (!adDxfIsDefaultStyle(g.context)) g.name(7, g.context->names.style, adDxfStyleNumber(g.context->source, f.style));
    g.shortIf(71, f.generation);
    g.shortIf(72, f.horizontalAlignment);
    if (f.horizontalAlignment || f.verticalAlignment) {
        g.real(11, f.alignment[0]);
        g.real(21, f.alignment[1]);
        if (g.v >= AD_VERSION_AC1006 && (g.output->defaultGroups || insertion[2] != 0.0)) g.real(31, insertion[2]);
    }
    if (g.v >= AD_VERSION_AC1006) g.extrusion();
    if (attribute && g.v == AD_VERSION_AC1009) g.shortIf(74, f.verticalAlignment);
}

void writeText(AdDxfEntityGroups& g, const AdTextData& t) {
    g.marker("AcDbText");
    g.thickness();
    g.point(10, t.insertion);
    g.real(40, t.fields.height);
    g.escaped(1, t.text);
    textPlacement(g, t.fields, t.insertion, false);
    g.marker("AcDbText");
    if (g.v >= AD_VERSION_AC1009) g.shortIf(73, t.fields.verticalAlignment);
}

// ATTDEF and ATTRIB: the value, then prompt (ATTDEF only), tag and flags
// before the placement in the old layout, after it in the new.
void writeAttribute(AdDxfEntityGroups& g, const double* insertion, const AdTextFields& fields, const char* value,
                    const char* prompt, const char* tag, std::uint8_t flags, const char* marker) {
    g.marker("AcDbText");
    g.point(10, insertion);
    g.real(40, fields.height);
    g.escaped(1, value);
    auto identity = [&] {
        if (prompt) g.text(3, prompt);
        g.text(2, tag);
        g.shortGroup(70, flags);
    };
    if (!g.modern()) {
        identity();
        textPlacement(g, fields, insertion);
        return;
    }
    textPlacement(g, fields, insertion);
    g.marker(marker);
    identity();
    g.shortIf(74, fields.verticalAlignment);
}

void writeBlock(AdDxfEntityGroups& g, const AdEntityHeader& header, const AdBlockData& b) {
    const AdDxfBlockBegin& begin = g.context->block;
    g.marker("AcDbBlockBegin");
    char name[AD_TABLE_NAME_SIZE + 16];
    std::snprintf(name, sizeof name, "%s", begin.name);
    const bool ownPaper = g.context->spaceBlock ||
                          std::memcmp(header.handle.b, g.context->source->paperSpaceBlockEntity.b, 8) == 0;
    if (adStrCompareNoCase(begin.name, "*PAPER_SPACE") == 0 && !ownPaper)
        std::snprintf(name, sizeof name, "%s%d", begin.name, static_cast<int>(begin.number));
    name[AD_TABLE_NAME_SIZE - 1] = '\0';
    g.name(2, name, begin.number);
    g.shortGroup(70, begin.flags);
    if (begin.unloaded) g.shortGroup(71, 1);
    g.real(10, b.basePoint[0]);
    g.real(20, b.basePoint[1]);
    if (g.v >= AD_VERSION_AC1009) g.real(30, b.basePoint[2]);
    if (g.modern()) {
        g.name(3, b.name, begin.number);
        g.text(1, b.xrefPath);
    } else if (g.v == AD_VERSION_AC1009) {
        if (b.xrefPath[0]) g.text(1, b.xrefPath);
        g.name(3, b.name, begin.number);
    }
    if (begin.description[0]) g.text(4, begin.description);
}

void writeInsert(AdDxfEntityGroups& g, const AdInsertData& i) {
    const bool single = i.columnCount == 1 && i.rowCount == 1;
    g.marker(single ? "AcDbBlockReference" : "AcDbMInsertBlock");
    if (i.attributesFollow) g.shortGroup(66, 1);
    std::int16_t number = 0;
    adBlockHandleToIndex(g.context->source, &i.block, &number);
    g.name(2, g.context->names.block, number);
    g.point(10, i.insertion);
    g.notOne(41, i.scale[0]);
    g.notOne(42, i.scale[1]);
    if (!g.modern()) {
        g.angleIf(50, i.rotation);
        g.notOne(43, i.scale[2]);
    } else {
        g.notOne(43, i.scale[2]);
        g.angleIf(50, i.rotation);
    }
    if (!single) {
        g.shortGroup(70, i.columnCount);
        g.shortGroup(71, i.rowCount);
    }
    g.length(44, i.columnSpacing);
    g.length(45, i.rowSpacing);
    if (g.v >= AD_VERSION_AC1006) g.extrusion();
}

void writePolyline(AdDxfEntityGroups& g, const AdPolylineData& p) {
    const char* marker = (p.flags & 16)   ? "AcDbPolygonMesh"
                         : (p.flags & 64) ? "AcDbPolyFaceMesh"
                         : (p.flags & 8)  ? "AcDb3dPolyline"
                                          : "AcDb2dPolyline";
    g.marker(marker);
    g.shortGroup(66, 1);
    if (g.v >= AD_VERSION_AC1006) {
        g.real(10, 0.0);
        g.real(20, 0.0);
        g.real(30, p.elevation);
        g.thickness();
    }
    g.shortIf(70, p.flags);
    g.length(40, p.startWidth);
    g.length(41, p.endWidth);
    if (g.v >= AD_VERSION_AC1006) {
        g.extrusion();
        g.shortIf(71, p.meshMCount);
        g.shortIf(72, p.meshNCount);
        g.shortIf(73, p.meshMDensity);
        g.shortIf(74, p.meshNDensity);
        g.shortIf(75, p.curveType);
    }
}

void writeVertex(AdDxfEntityGroups& g, const AdVertexData& x) {
    const bool face = x.faceIndexCount != 0;
    if (face) {
        g.marker("AcDbFaceRecord");
    } else {
        g.marker("AcDbVertex");
        const char* marker = (x.flags & 64) && (x.flags & 128) ? "AcDbPolyFaceMeshVertex"
                             : (x.flags & 64)                 ? "AcDbPolygonMeshVertex"
                             : (x.flags & 32)                 ? "AcDb3dPolylineVertex"
                                                              : "AcDb2dVertex";
        g.marker(marker);
    }
    g.point(10, x.point);
    if (x.startWidthGiven) g.real(40, x.startWidth);
    if (x.endWidthGiven) g.real(41, x.endWidth);
    g.length(42, x.bulge);
    g.shortIf(70, x.flags);
    g.angleIf(50, x.tangentDirection);
    if (g.v == AD_VERSION_AC1006 || (g.v >= AD_VERSION_AC1009 && !face)) g.extrusion();
    if (g.v >= AD_VERSION_AC1009 && face) {
        const int count = x.faceIndexCount < 0 ? 0 : (x.faceIndexCount > 4 ? 4 : x.faceIndexCount);
        for (int i = 0; i < count; ++i) g.shortGroup(static_cast<std::int16_t>(71 + i), x.faceIndices[i]);
    }
}

// The points a dimension type has.
void dimensionPoints(AdDxfEntityGroups& g, const AdDimensionData& d) {
    const int type = d.dimensionType & 7;
    if (type == 0 || type == 1 || type == 2 || type == 5 || type == 6) {
        g.point(13, d.definitionPoints[1]);
        g.point(14, d.definitionPoints[2]);
    }
    if (type >= 2 && type <= 5) g.point(15, d.definitionPoints[3]);
    if (type == 2) g.point(16, d.definitionPoints[0]);
}

void writeDimension(AdDxfEntityGroups& g, const AdDimensionData& d) {
    g.marker("AcDbDimension");
    std::int16_t number = 0;
    adBlockHandleToIndex(g.context->source, &d.block, &number);
    g.name(2, g.context->names.block, number);
    g.point(10, d.definitionPoint);
    g.real(11, d.textMidpoint[0]);
    g.real(21, d.textMidpoint[1]);
    if (g.v >= AD_VERSION_AC1006) g.real(31, d.textMidpoint[2]);
    if (d.clonePointGiven) g.point(12, d.clonePoint);
    g.shortIf(70, d.dimensionType);
    if (g.v == AD_VERSION_AC1015) {
        g.shortGroup(71, d.attachment);
        g.shortGroup(72, d.lineSpacingStyle);
        g.real(41, d.lineSpacingFactor);
        g.real(42, d.measurement);
    }
    const int type = d.dimensionType & 7;
    std::int16_t styleNumber = 0;
    adDimStyleHandleToIndex(g.context->source, &d.dimStyle, &styleNumber);
    const bool named = adStrCompareNoCase(g.context->names.dimStyle, "*UNNAMED") != 0;
    if (g.modern()) {
        static constexpr const char* kMarkers[] = {"AcDbAlignedDimension",   "AcDbAlignedDimension",
                                                   "AcDb2LineAngularDimension", "AcDbDiametricDimension",
                                                   "AcDbRadialDimension",    "AcDb3PointAngularDimension",
                                                   "AcDbOrdinateDimension",  "AcDbAlignedDimension"};
        g.angleIf(51, d.horizontalDirection);
        g.extrusion();
        g.angleIf(52, d.obliqueAngle);
        g.angleIf(53, d.textRotation);
        g.angleIf(54, d.angle54);
        if (d.text[0]) g.escaped(1, d.text);
        if (named) g.name(3, g.context->names.dimStyle, styleNumber);
        g.marker(kMarkers[type]);
        dimensionPoints(g, d);
        if (type == 3 || type == 4) g.length(40, d.leaderLength);
        g.angleIf(50, d.rotation);
        if (type == 0) g.marker("AcDbRotatedDimension");
        return;
    }
    if (d.text[0]) g.escaped(1, d.text);
    dimensionPoints(g, d);
    if (type == 3 || type == 4) g.length(40, d.leaderLength);
    g.angleIf(50, d.rotation);
    if (g.v == AD_VERSION_AC1009) {
        g.angleIf(52, d.obliqueAngle);
        g.angleIf(53, d.textRotation);
    }
    if (g.v >= AD_VERSION_AC1006) {
        g.angleIf(51, d.horizontalDirection);
        g.extrusion();
    }
    if (g.v == AD_VERSION_AC1009 && named) g.name(3, g.context->names.dimStyle, styleNumber);
}

// Before AC1015 the view settings follow as the viewport's "MVIEW" extended
// data, the application and the frozen layers by name.
void writeMviewItems(AdDxfEntityGroups& g, const AdViewportData& vp) {
    AdStore* store = adStoreCreate(4096);
    AdStream* stream = store ? adStreamOpenWrite(store) : nullptr;
    const bool built = stream && adMviewXdataItems(g.context->source, &vp, stream);
    if (stream) adStreamCloseWrite(stream);
    AdStream* items = built ? adStreamOpenRead(store) : nullptr;
    if (!items) {
        if (store) adStoreFree(store);
        adFatalError(AD_FATAL_NO_MEMORY);
        g.ok = 0;
        return;
    }
    auto item = std::make_unique<AdXdataItem>();
    while (g.ok && adXdataReadItem(items, item.get())) {
        const AdXdataItem& x = *item;
        switch (x.code) {
            case 1001: g.text(1001, "ACAD"); break;
            case 1000: g.text(1000, x.value.text); break;
            case 1002:
                if (g.ok) g.ok = adDxfWriteCharGroup(g.output, 1002, x.value.text[0]);
                break;
            case 1010: g.point3(1010, x.value.point); break;
            case 1040: g.real(1040, x.value.real); break;
            case 1070: g.shortGroup(1070, x.value.int16); break;
            case 1003: {
                char name[AD_TABLE_NAME_SIZE];
                std::int16_t index = 0;
                g.ok = adDxfLayerName(g.context->source, &x.value.handle, name) &&
                       adLayerHandleToIndex(g.context->source, &x.value.handle, &index);
                g.name(1003, name, index);
                break;
            }
            default: break;
        }
    }
    adStreamCloseRead(items);
    adStoreFree(store);
}

void writeViewport(AdDxfEntityGroups& g, const AdViewportData& vp) {
    if (g.v < AD_VERSION_AC1009) return;
    if (!g.modern()) g.shortGroup(68, vp.status);
    g.marker("AcDbViewport");
    g.point(10, vp.centre);
    g.real(40, vp.width);
    g.real(41, vp.height);
    if (g.modern()) g.shortGroup(68, vp.status);
    g.shortGroup(69, vp.id);
    if (g.v < AD_VERSION_AC1015) {
        writeMviewItems(g, vp);
        return;
    }
    g.point2(12, vp.viewCentre);
    g.point2(13, vp.snapBase);
    g.point2(14, vp.snapSpacing);
    g.point2(15, vp.gridSpacing);
    g.point3(16, vp.viewDirection);
    g.point3(17, vp.viewTarget);
    g.real(42, vp.lensLength);
    g.real(43, vp.frontClip);
    g.real(44, vp.backClip);
    g.real(45, vp.viewHeight);
    g.angle(50, vp.snapAngle);
    g.angle(51, vp.twist);
    g.shortGroup(72, vp.circleZoom);
    if (vp.frozenLayers && g.ok) {
        AdStream* layers = adStreamOpenRead(vp.frozenLayers);
        AdHandle layer{};
        for (std::int32_t i = 0; g.ok && layers && i < vp.frozenLayerCount && adStreamReadHandle(layers, &layer); ++i)
            g.handle(341, layer);
        if (layers) adStreamCloseRead(layers);
    }
    g.longGroup(90, vp.statusFlags);
    g.handle(340, vp.clipBoundary);
    g.text(1, vp.styleSheet);
    g.byteGroup(281, static_cast<std::int8_t>(vp.renderMode));
    g.shortGroup(71, vp.ucsPerViewport);
    g.shortGroup(74, vp.ucsIcon);
    g.point3(110, vp.ucsOrigin);
    g.point3(111, vp.ucsXAxis);
    g.point3(112, vp.ucsYAxis);
    g.handle(345, vp.namedUcs);
    g.handle(346, vp.baseUcs);
    g.shortGroup(79, vp.orthographicType);
    g.real(146, vp.elevation);
}
}  // namespace

int adDxfWriteFixedEntity(AdDxfEntityContext* context, const AdEntityHeader* header, const AdEntityData* data) {
    AdOutputDrawing* output = context->output;
    const std::int16_t v = output->version;
    const std::uint16_t type = header->type;
    if ((v == 0 && type >= 21) || (v < AD_VERSION_AC1009 && type >= 24)) return 0;
    double elevation = 0.0;
    switch (type) {
        case AD_ENTITY_LINE: elevation = data->line.start[2]; break;
        case AD_ENTITY_POINT: elevation = data->point.point[2]; break;
        case AD_ENTITY_CIRCLE: elevation = data->circle.centre[2]; break;
        case AD_ENTITY_ARC: elevation = data->arc.centre[2]; break;
        case AD_ENTITY_SHAPE: elevation = data->shape.insertion[2]; break;
        case AD_ENTITY_TEXT: elevation = data->text.insertion[2]; break;
        case AD_ENTITY_TRACE:
        case AD_ENTITY_SOLID: elevation = data->trace.corners[0][2]; break;
        case AD_ENTITY_BLOCK: elevation = data->block.basePoint[2]; break;
        case AD_ENTITY_INSERT: elevation = data->insert.insertion[2]; break;
        case AD_ENTITY_ATTDEF: elevation = data->attdef.insertion[2]; break;
        case AD_ENTITY_ATTRIB: elevation = data->attrib.insertion[2]; break;
        case AD_ENTITY_POLYLINE: elevation = data->polyline.elevation; break;
        case AD_ENTITY_VERTEX: elevation = data->vertex.point[2]; break;
        case AD_ENTITY_DIMENSION: elevation = data->dimension.textMidpoint[2]; break;
        default: break;
    }
    if (!adDxfWriteEntityCommon(context, header, data, elevation)) return 0;
    AdDxfEntityGroups g(context, header);
    switch (type) {
        case AD_ENTITY_LINE: {
            g.marker("AcDbLine");
            g.thickness();
            const bool z = data->line.start[2] != 0.0 || data->line.end[2] != 0.0;
            const bool zWritten = z && v >= AD_VERSION_AC1006;
            if (zWritten) {
                g.point3(10, data->line.start);
                g.point3(11, data->line.end);
            } else {
                g.point(10, data->line.start);
                g.point(11, data->line.end);
            }
            if (v >= AD_VERSION_AC1006) g.extrusion();
            break;
        }
        case AD_ENTITY_POINT:
            g.marker("AcDbPoint");
            g.point(10, data->point.point);
            g.thickness();
            if (v >= AD_VERSION_AC1006) {
                g.extrusion();
                if (data->point.xAxisAngle != 0.0) g.angle(50, data->point.xAxisAngle);
            }
            break;
        case AD_ENTITY_CIRCLE:
            g.marker("AcDbCircle");
            g.thickness();
            g.point(10, data->circle.centre);
            g.real(40, data->circle.radius);
            if (v >= AD_VERSION_AC1006) g.extrusion();
            break;
        case AD_ENTITY_ARC:
            g.marker("AcDbCircle");
            g.thickness();
            g.point(10, data->arc.centre);
            g.real(40, data->arc.radius);
            if (g.modern()) {
                g.extrusion();
                g.marker("AcDbArc");
            }
            g.angle(50, data->arc.startAngle);
            g.angle(51, data->arc.endAngle);
            if (v == AD_VERSION_AC1006 || v == AD_VERSION_AC1009) g.extrusion();
            break;
        case AD_ENTITY_SHAPE:
            g.marker("AcDbShape");
            g.thickness();
            g.point(10, data->shape.insertion);
            g.real(40, data->shape.size);
            g.text(2, context->names.shape);
            g.angleIf(50, data->shape.rotation);
            g.notOne(41, data->shape.widthFactor);
            g.angleIf(51, data->shape.obliqueAngle);
            if (v >= AD_VERSION_AC1006) g.extrusion();
            break;
        case AD_ENTITY_TEXT: writeText(g, data->text); break;
        case AD_ENTITY_TRACE:
        case AD_ENTITY_SOLID:
            g.marker("AcDbTrace");
            for (int i = 0; i < 4; ++i) g.point(static_cast<std::int16_t>(10 + i), data->trace.corners[i]);
            g.thickness();
            if (v >= AD_VERSION_AC1006) g.extrusion();
            break;
        case AD_ENTITY_BLOCK: writeBlock(g, *header, data->block); break;
        case AD_ENTITY_ENDBLK: g.marker("AcDbBlockEnd"); break;
        case AD_ENTITY_SEQEND: break;
        case AD_ENTITY_INSERT: writeInsert(g, data->insert); break;
        case AD_ENTITY_ATTDEF: {
            const AdAttdefData& a = data->attdef;
            writeAttribute(g, a.insertion, a.fields, a.defaultValue, a.prompt, a.tag, a.attributeFlags,
                           "AcDbAttributeDefinition");
            break;
        }
        case AD_ENTITY_ATTRIB: {
            const AdAttribData& a = data->attrib;
            writeAttribute(g, a.insertion, a.fields, a.value, nullptr, a.tag, a.attributeFlags, "AcDbAttribute");
            break;
        }
        case AD_ENTITY_POLYLINE: writePolyline(g, data->polyline); break;
        case AD_ENTITY_VERTEX: writeVertex(g, data->vertex); break;
        case AD_ENTITY_3DLINE:
            g.marker("AcDbLine");
            g.pointZ(10, data->line.start);
            g.pointZ(11, data->line.end);
            if (v >= AD_VERSION_AC1006) g.extrusion();
            break;
        case AD_ENTITY_3DFACE:
            g.marker("AcDbFace");
            for (int i = 0; i < 4; ++i) g.pointZ(static_cast<std::int16_t>(10 + i), data->face.corners[i]);
            if (v >= AD_VERSION_AC1006) g.shortIf(70, data->face.invisibleEdges);
            break;
        case AD_ENTITY_DIMENSION: writeDimension(g, data->dimension); break;
        case AD_ENTITY_VIEWPORT: writeViewport(g, data->viewport); break;
        default:
            if (type >= AD_ENTITY_PROXY) {
                g.ok = adDxfWriteClassEntity(context, header, data);
            } else if (g.modern()) {
                g.ok = adDxfWriteModernKind(g, data);
            }
            // Kinds of the later versions are not written in the R12 layout.
            break;
    }
    if (g.ok && v >= AD_VERSION_AC1009 && header->xdata)
        g.ok = adDxfWriteXdataStore(context->source, output, header->xdata);
    return g.ok;
}
