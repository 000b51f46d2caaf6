// The group-code maps of the entity types: where each group of an entity
// lands in its data record. Rows are written in reading order and sorted
// when the map is compiled.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_entity_rows.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
constexpr auto D = AD_DXF_FIELD_DOUBLE;
constexpr auto A = AD_DXF_FIELD_ANGLE;
constexpr auto S = AD_DXF_FIELD_INT16;
constexpr auto B = AD_DXF_FIELD_BYTE;
constexpr auto T = AD_DXF_FIELD_TEXT;
constexpr auto H = AD_DXF_FIELD_HANDLE;
constexpr auto L = AD_DXF_FIELD_INT32;

namespace line {
using Record = AdLineData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, start), AD_DXF_POINT(11, end));
}
namespace point {
using Record = AdPointData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, point), AD_DXF_ROW(50, xAxisAngle, A, 0));
}
namespace circle {
using Record = AdCircleData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, centre), AD_DXF_ROW(40, radius, D, 0));
}
namespace shape {
using Record = AdShapeData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, insertion), AD_DXF_ROW(40, size, D, 0), AD_DXF_ROW(41, widthFactor, D, 0),
    AD_DXF_ROW(50, rotation, A, 0), AD_DXF_ROW(51, obliqueAngle, A, 0));
}
namespace ellipse {
using Record = AdEllipseData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, centre), AD_DXF_POINT(11, majorAxis), AD_DXF_ROW(40, axisRatio, D, 0),
    AD_DXF_ROW(41, startParameter, D, 0), AD_DXF_ROW(42, endParameter, D, 0));
}
namespace spline {
using Record = AdSplineData;
AD_DXF_MAP(rows, AD_DXF_POINT(12, startTangent), AD_DXF_POINT(13, endTangent), AD_DXF_ROW(42, knotTolerance, D, 0),
    AD_DXF_ROW(43, controlPointTolerance, D, 0), AD_DXF_ROW(44, fitTolerance, D, 0), AD_DXF_ROW(70, flags, S, 0),
    AD_DXF_ROW(71, degree, S, 0), AD_DXF_ROW(72, knotCount, S, 0), AD_DXF_ROW(73, controlPointCount, S, 0),
    AD_DXF_ROW(74, fitPointCount, S, 0));
}
namespace text {
using Record = AdTextData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, text, T, 0), AD_DXF_POINT(10, insertion), AD_DXF_POINT2(11, fields.alignment),
    AD_DXF_ROW(40, fields.height, D, 0), AD_DXF_ROW(41, fields.widthFactor, D, 0),
    AD_DXF_ROW(50, fields.rotation, A, 0), AD_DXF_ROW(51, fields.obliqueAngle, A, 0),
    AD_DXF_ROW(71, fields.generation, B, 0), AD_DXF_ROW(72, fields.horizontalAlignment, B, 0),
    AD_DXF_ROW(73, fields.verticalAlignment, B, 0));
}
namespace arc {
using Record = AdArcData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, centre), AD_DXF_ROW(40, radius, D, 0), AD_DXF_ROW(50, startAngle, A, 0),
    AD_DXF_ROW(51, endAngle, A, 0));
}
namespace trace {
using Record = AdTraceData;
AD_DXF_MAP(rows, AD_DXF_POINT_AT(10, corners, 0), AD_DXF_POINT_AT(11, corners, 3), AD_DXF_POINT_AT(12, corners, 6), AD_DXF_POINT_AT(13, corners, 9));
}
namespace block {
using Record = AdBlockData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, xrefPath, T, 0), AD_DXF_ROW(2, name, T, 0), AD_DXF_ROW(3, name, T, 0),
    AD_DXF_POINT(10, basePoint));
}
namespace insert {
using Record = AdInsertData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, insertion), AD_DXF_ROW(41, scale, D, 0), AD_DXF_ROW(42, scale, D, 1),
    AD_DXF_ROW(43, scale, D, 2), AD_DXF_ROW(44, columnSpacing, D, 0), AD_DXF_ROW(45, rowSpacing, D, 0),
    AD_DXF_ROW(50, rotation, A, 0), AD_DXF_ROW(66, attributesFollow, S, 0), AD_DXF_ROW(70, columnCount, S, 0),
    AD_DXF_ROW(71, rowCount, S, 0));
}
// ATTDEF and ATTRIB share all but their texts.
#define ATTRIBUTE_ROWS                                                                                           \
    AD_DXF_POINT(10, insertion), AD_DXF_POINT2(11, fields.alignment), AD_DXF_ROW(40, fields.height, D, 0),                     \
        AD_DXF_ROW(41, fields.widthFactor, D, 0), AD_DXF_ROW(50, fields.rotation, A, 0),                         \
        AD_DXF_ROW(51, fields.obliqueAngle, A, 0), AD_DXF_ROW(70, attributeFlags, B, 0),                         \
        AD_DXF_ROW(71, fields.generation, B, 0), AD_DXF_ROW(72, fields.horizontalAlignment, B, 0),               \
        AD_DXF_ROW(73, fieldLength, S, 0), AD_DXF_ROW(74, fields.verticalAlignment, B, 0)
namespace attdef {
using Record = AdAttdefData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, defaultValue, T, 0), AD_DXF_ROW(2, tag, T, 0), AD_DXF_ROW(3, prompt, T, 0), ATTRIBUTE_ROWS);
}
namespace attrib {
using Record = AdAttribData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, value, T, 0), AD_DXF_ROW(2, tag, T, 0), ATTRIBUTE_ROWS);
}
namespace polyline {
using Record = AdPolylineData;
AD_DXF_MAP(rows, AD_DXF_ROW(30, elevation, D, 0), AD_DXF_ROW(40, startWidth, D, 0), AD_DXF_ROW(41, endWidth, D, 0),
    AD_DXF_ROW(70, flags, S, 0), AD_DXF_ROW(71, meshMCount, S, 0), AD_DXF_ROW(72, meshNCount, S, 0),
    AD_DXF_ROW(73, meshMDensity, S, 0), AD_DXF_ROW(74, meshNDensity, S, 0), AD_DXF_ROW(75, curveType, S, 0));
}
namespace vertex {
using Record = AdVertexData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, point), AD_DXF_ROW(40, startWidth, D, 0), AD_DXF_ROW(41, endWidth, D, 0),
    AD_DXF_ROW(42, bulge, D, 0), AD_DXF_ROW(50, tangentDirection, A, 0), AD_DXF_ROW(70, flags, S, 0),
    AD_DXF_ROW(71, faceIndices, S, 0), AD_DXF_ROW(72, faceIndices, S, 1), AD_DXF_ROW(73, faceIndices, S, 2),
    AD_DXF_ROW(74, faceIndices, S, 3));
}
namespace face {
using Record = AdFaceData;
AD_DXF_MAP(rows, AD_DXF_POINT_AT(10, corners, 0), AD_DXF_POINT_AT(11, corners, 3), AD_DXF_POINT_AT(12, corners, 6), AD_DXF_POINT_AT(13, corners, 9),
    AD_DXF_ROW(70, invisibleEdges, S, 0));
}
namespace dimension {
using Record = AdDimensionData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, text, T, 0), AD_DXF_POINT(10, definitionPoint), AD_DXF_POINT(11, textMidpoint), AD_DXF_POINT(12, clonePoint),
    AD_DXF_POINT_AT(13, definitionPoints, 3), AD_DXF_POINT_AT(14, definitionPoints, 6), AD_DXF_POINT_AT(15, definitionPoints, 9),
    AD_DXF_POINT_AT(16, definitionPoints, 0), AD_DXF_ROW(40, leaderLength, D, 0), AD_DXF_ROW(41, lineSpacingFactor, D, 0),
    AD_DXF_ROW(42, measurement, D, 0), AD_DXF_ROW(50, rotation, A, 0), AD_DXF_ROW(51, horizontalDirection, A, 0),
    AD_DXF_ROW(52, obliqueAngle, A, 0), AD_DXF_ROW(53, textRotation, A, 0), AD_DXF_ROW(54, angle54, A, 0),
    AD_DXF_ROW(70, dimensionType, B, 0), AD_DXF_ROW(71, attachment, S, 0), AD_DXF_ROW(72, lineSpacingStyle, S, 0));
}
namespace viewport {
using Record = AdViewportData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, styleSheet, T, 0), AD_DXF_POINT(10, centre), AD_DXF_POINT2(12, viewCentre), AD_DXF_POINT2(13, snapBase),
    AD_DXF_POINT2(14, snapSpacing), AD_DXF_POINT2(15, gridSpacing), AD_DXF_POINT(16, viewDirection), AD_DXF_POINT(17, viewTarget),
    AD_DXF_ROW(40, width, D, 0), AD_DXF_ROW(41, height, D, 0), AD_DXF_ROW(42, lensLength, D, 0),
    AD_DXF_ROW(43, frontClip, D, 0), AD_DXF_ROW(44, backClip, D, 0), AD_DXF_ROW(45, viewHeight, D, 0),
    AD_DXF_ROW(50, snapAngle, A, 0), AD_DXF_ROW(51, twist, A, 0), AD_DXF_ROW(68, status, S, 0),
    AD_DXF_ROW(69, id, S, 0), AD_DXF_ROW(71, ucsPerViewport, S, 0), AD_DXF_ROW(72, circleZoom, S, 0),
    AD_DXF_ROW(74, ucsIcon, S, 0), AD_DXF_ROW(79, orthographicType, S, 0), AD_DXF_ROW(90, statusFlags, L, 0),
    AD_DXF_ROW(110, ucsOrigin, D, 0), AD_DXF_ROW(111, ucsXAxis, D, 0), AD_DXF_ROW(112, ucsYAxis, D, 0),
    AD_DXF_ROW(120, ucsOrigin, D, 1), AD_DXF_ROW(121, ucsXAxis, D, 1), AD_DXF_ROW(122, ucsYAxis, D, 1),
    AD_DXF_ROW(130, ucsOrigin, D, 2), AD_DXF_ROW(131, ucsXAxis, D, 2), AD_DXF_ROW(132, ucsYAxis, D, 2),
    AD_DXF_ROW(146, elevation, D, 0), AD_DXF_ROW(281, renderMode, S, 0), AD_DXF_ROW(340, clipBoundary, H, 0),
    AD_DXF_ROW(345, namedUcs, H, 0), AD_DXF_ROW(346, baseUcs, H, 0));
}
namespace ray {
using Record = AdRayData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, base), AD_DXF_POINT(11, direction));
}
namespace mtext {
using Record = AdMtextData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, insertion), AD_DXF_POINT(11, xAxis), AD_DXF_ROW(40, height, D, 0), AD_DXF_ROW(41, referenceWidth, D, 0),
    AD_DXF_ROW(44, lineSpacingFactor, D, 0), AD_DXF_ROW(71, attachment, B, 0),
    AD_DXF_ROW(72, drawingDirection, B, 0), AD_DXF_ROW(73, lineSpacingStyle, S, 0));
}
namespace leader {
using Record = AdLeaderData;
AD_DXF_MAP(rows, AD_DXF_ROW(40, textHeight, D, 0), AD_DXF_ROW(41, textWidth, D, 0), AD_DXF_ROW(71, arrowhead, B, 0),
    AD_DXF_ROW(72, pathType, B, 0), AD_DXF_ROW(73, annotationType, S, 0), AD_DXF_ROW(74, hooklineDirection, B, 0),
    AD_DXF_ROW(75, hookline, B, 0), AD_DXF_ROW(76, vertexCount, S, 0), AD_DXF_ROW(77, colour, S, 0),
    AD_DXF_POINT(211, horizontalDirection), AD_DXF_POINT(212, blockOffset), AD_DXF_POINT(213, annotationOffset),
    AD_DXF_ROW(340, annotation, H, 0));
}
namespace tolerance {
using Record = AdToleranceData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, text, T, 0), AD_DXF_POINT(10, insertion), AD_DXF_POINT(11, xDirection));
}
namespace mline {
using Record = AdMlineData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, start), AD_DXF_ROW(40, scale, D, 0), AD_DXF_ROW(70, justification, S, 0),
    AD_DXF_ROW(71, flags, S, 0), AD_DXF_ROW(72, vertexCount, L, 0), AD_DXF_ROW(73, lineCount, S, 0),
    AD_DXF_ROW(340, style, H, 0));
}

const AdDxfEntityMap* entityMap(std::uint16_t type) {
    static const AdDxfEntityMap maps[] = {
        {},                      adDxfMapOf<line::rows>(),      adDxfMapOf<point::rows>(),     adDxfMapOf<circle::rows>(),
        adDxfMapOf<shape::rows>(),    adDxfMapOf<ellipse::rows>(),   adDxfMapOf<spline::rows>(),    adDxfMapOf<text::rows>(),
        adDxfMapOf<arc::rows>(),      adDxfMapOf<trace::rows>(),     {},                       adDxfMapOf<trace::rows>(),
        adDxfMapOf<block::rows>(),    {},                       adDxfMapOf<insert::rows>(),    adDxfMapOf<attdef::rows>(),
        adDxfMapOf<attrib::rows>(),   {},                       {},                       adDxfMapOf<polyline::rows>(),
        adDxfMapOf<vertex::rows>(),   adDxfMapOf<line::rows>(),      adDxfMapOf<face::rows>(),      adDxfMapOf<dimension::rows>(),
        adDxfMapOf<viewport::rows>(), {},                       adDxfMapOf<ray::rows>(),       adDxfMapOf<ray::rows>(),
        adDxfMapOf<mtext::rows>(),    adDxfMapOf<leader::rows>(),    adDxfMapOf<tolerance::rows>(), adDxfMapOf<mline::rows>(),
    };
    return type < std::size(maps) ? &maps[type] : nullptr;
}
}  // namespace

void adDxfApplyEntityGroup(std::int16_t code, AdEntityHeader* header, AdEntityData* data) {
    if (!header || !data) return;
    const int slot = adDxfEntityNameSlot(header->type, code);
    if (slot >= 0) {
        adDxfCopyText(adGlobals->dxfNames[slot], sizeof adGlobals->dxfNames[slot], adDxfToken().text);
        return;
    }
    const AdDxfEntityMap* map = entityMap(header->type);
    const AdDxfFieldMap* row = map ? adDxfFindRow(map->rows, map->count, code) : nullptr;
    if (!row) return;
    adDxfStoreRow(nullptr, *row, data);
    if (header->type == AD_ENTITY_VERTEX && code >= 71 && code <= 74 && data->vertex.faceIndexCount < 4)
        ++data->vertex.faceIndexCount;
    if (header->type == AD_ENTITY_VERTEX && code == 40) data->vertex.startWidthGiven = 1;
    if (header->type == AD_ENTITY_VERTEX && code == 41) data->vertex.endWidthGiven = 1;
    if (header->type == AD_ENTITY_DIMENSION && (code == 12 || code == 22 || code == 32))
        data->dimension.clonePointGiven = 1;
}
