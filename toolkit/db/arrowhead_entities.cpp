// The entity helpers of the arrowhead builder: each entity is drawn BYBLOCK
// (colour, linetype, lineweight), so that the dimension that uses the block
// gives it its own, and gets a new handle of the drawing.
#include "toolkit/db/arrowhead_arc.h"
#include "toolkit/db/table_cursor.h"

#include <cstring>

namespace {

constexpr std::size_t kBlockNameMax = 32;
constexpr std::int16_t kByBlockColour = 0;
constexpr std::int16_t kByBlockLineweight = -2;

int addNew(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, const AdEntityData* data) {
    return adNextHandle(drawing, &header->handle) && adEntityAdd(drawing, list, header, data);
}

void copyPoint(double to[3], const double from[3]) { std::memcpy(to, from, 3 * sizeof(double)); }

}  // namespace

void adArrowInitEntity(AdEntityHeader* header, AdDrawing* drawing, AdEntityData* data, std::uint16_t type) {
    if (!header) return;
    header->type = type;
    adEntityDefaults(drawing, header, data);
    header->color = kByBlockColour;
    if (drawing) header->linetype = drawing->byBlockLtype;
    header->flags &= static_cast<std::uint8_t>(~AD_ENTITY_FLAG_PAPER_SPACE);
    header->lineweight = kByBlockLineweight;
}

int adArrowAddBlockEntity(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                          const char* name, const double basePoint[3], const char* xrefPath) {
    const std::size_t length = name ? strnlen(name, kBlockNameMax + 1) : 0;
    if (!header || !data || length == 0 || length > kBlockNameMax) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_BLOCK);
    std::memcpy(data->block.name, name, length);
    if (basePoint) copyPoint(data->block.basePoint, basePoint);
    adTableCopyText(data->block.xrefPath, sizeof data->block.xrefPath, xrefPath);
    return addNew(drawing, list, header, data);
}

int adArrowAddEndblk(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data) {
    if (!header) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_ENDBLK);
    return addNew(drawing, list, header, data);
}

int adArrowAddCircle(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                     const double centre[3], double radius) {
    if (!header || !data || !centre) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_CIRCLE);
    copyPoint(data->circle.centre, centre);
    data->circle.radius = radius;
    return addNew(drawing, list, header, data);
}

int adArrowAddArc(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                  const double centre[3], double radius, double startAngle, double endAngle) {
    if (!header || !data || !centre) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_ARC);
    copyPoint(data->arc.centre, centre);
    data->arc.radius = radius;
    data->arc.startAngle = startAngle;
    data->arc.endAngle = endAngle;
    return addNew(drawing, list, header, data);
}

int adArrowAddLine(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                   const double start[3], const double end[3]) {
    if (!header || !data || !start || !end) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_LINE);
    copyPoint(data->line.start, start);
    copyPoint(data->line.end, end);
    return addNew(drawing, list, header, data);
}

int adArrowAddLineTo(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                     const double start[3], double x, double y, double z) {
    const double end[3] = {x, y, z};
    return adArrowAddLine(drawing, list, header, data, start, end);
}

int adArrowAddSolid(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                    const double corners[4][3]) {
    if (!header || !data || !corners) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_SOLID);
    std::memcpy(data->trace.corners, corners, sizeof data->trace.corners);
    return addNew(drawing, list, header, data);
}

int adArrowAddPolyline(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                       int closed, int curveFit, int spline, int bezier, int smoothSurface, int smoothType,
                       int linetypeGeneration, double elevation, double startWidth, double endWidth) {
    if (!header || !data) return 0;
    if (smoothSurface && smoothType != 2 && smoothType != 3) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_POLYLINE);
    AdPolylineData& polyline = data->polyline;
    polyline.flags = static_cast<std::int16_t>((closed ? 1 : 0) | (curveFit ? 2 : 0) | (spline ? 4 : 0) |
                                               (linetypeGeneration ? 128 : 0));
    polyline.curveType = bezier ? 8 : smoothSurface ? (smoothType == 2 ? 5 : 6) : 0;
    polyline.meshMDensity = polyline.meshNDensity = 0;
    polyline.elevation = elevation;
    polyline.startWidth = startWidth;
    polyline.endWidth = endWidth;
    return addNew(drawing, list, header, data);
}

int adArrowAddVertex(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                     const double point[3], double bulge) {
    if (!header || !data || !point) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_VERTEX);
    AdVertexData& vertex = data->vertex;
    copyPoint(vertex.point, point);
    vertex.flags = 0;
    vertex.startWidth = vertex.endWidth = 0.0;
    vertex.startWidthGiven = vertex.endWidthGiven = 0;
    vertex.faceIndexCount = 0;
    std::memset(vertex.faceIndices, 0, sizeof vertex.faceIndices);
    vertex.tangentDirection = 0.0;
    vertex.bulge = bulge;
    return addNew(drawing, list, header, data);
}

int adArrowAddSeqend(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data) {
    if (!header) return 0;
    adArrowInitEntity(header, drawing, data, AD_ENTITY_SEQEND);
    return addNew(drawing, list, header, data);
}

int adArrowCreateBlockHeader(AdDrawing* drawing, AdBlockHeader* record, const char* name, AdHandle* handle) {
    if (!drawing || !record || !handle) return 0;
    adDefaultBlockHeader(record);
    adTableCopyText(record->name, sizeof record->name, name);
    // The block's entities need a list of their own to be added to.
    if (!adNextHandle(drawing, &record->handle) || !(record->entities = adListCreate())) return 0;
    if (!adBlockAdd(drawing, record)) {
        adListFree(record->entities);
        record->entities = nullptr;
        return 0;
    }
    *handle = record->handle;
    return 1;
}
