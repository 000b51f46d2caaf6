// The readEntity operation of DWG files for AC1012 and later: finds the next entity
// object of the chain being read, reads its common part, hands it to the
// reader of its type and works out which object follows.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/r12/dwg_r12.h"
#include "toolkit/db/table_index.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <array>

namespace {

struct TypeRow {
    std::int16_t dwgType;
    AdDwgEntityReader reader;
    std::uint16_t entityType;
};

constexpr TypeRow kTypes[] = {
    {AD_DWG_TEXT, adDwgReadTextEntity, AD_ENTITY_TEXT},
    {AD_DWG_ATTRIB, adDwgReadAttribEntity, AD_ENTITY_ATTRIB},
    {AD_DWG_ATTDEF, adDwgReadAttdefEntity, AD_ENTITY_ATTDEF},
    {AD_DWG_BLOCK, adDwgReadBlockEntity, AD_ENTITY_BLOCK},
    {AD_DWG_ENDBLK, adDwgReadHandlesOnly, AD_ENTITY_ENDBLK},
    {AD_DWG_SEQEND, adDwgReadHandlesOnly, AD_ENTITY_SEQEND},
    {AD_DWG_INSERT, adDwgReadInsertEntity, AD_ENTITY_INSERT},
    {AD_DWG_MINSERT, adDwgReadInsertEntity, AD_ENTITY_INSERT},
    {AD_DWG_VERTEX_2D, adDwgReadVertexEntity, AD_ENTITY_VERTEX},
    {AD_DWG_VERTEX_3D, adDwgReadVertexEntity, AD_ENTITY_VERTEX},
    {AD_DWG_VERTEX_MESH, adDwgReadVertexEntity, AD_ENTITY_VERTEX},
    {AD_DWG_VERTEX_PFACE, adDwgReadVertexEntity, AD_ENTITY_VERTEX},
    {AD_DWG_VERTEX_PFACE_FACE, adDwgReadVertexEntity, AD_ENTITY_VERTEX},
    {AD_DWG_POLYLINE_2D, adDwgReadPolylineEntity, AD_ENTITY_POLYLINE},
    {AD_DWG_POLYLINE_3D, adDwgReadPolylineEntity, AD_ENTITY_POLYLINE},
    {AD_DWG_ARC, adDwgReadArcEntity, AD_ENTITY_ARC},
    {AD_DWG_CIRCLE, adDwgReadCircleEntity, AD_ENTITY_CIRCLE},
    {AD_DWG_LINE, adDwgReadLineEntity, AD_ENTITY_LINE},
    {AD_DWG_DIM_ORDINATE, adDwgReadDimensionEntity, AD_ENTITY_DIMENSION},
    {AD_DWG_DIM_LINEAR, adDwgReadDimensionEntity, AD_ENTITY_DIMENSION},
    {AD_DWG_DIM_ALIGNED, adDwgReadDimensionEntity, AD_ENTITY_DIMENSION},
    {AD_DWG_DIM_ANG3PT, adDwgReadDimensionEntity, AD_ENTITY_DIMENSION},
    {AD_DWG_DIM_ANG2LN, adDwgReadDimensionEntity, AD_ENTITY_DIMENSION},
    {AD_DWG_DIM_RADIUS, adDwgReadDimensionEntity, AD_ENTITY_DIMENSION},
    {AD_DWG_DIM_DIAMETER, adDwgReadDimensionEntity, AD_ENTITY_DIMENSION},
    {AD_DWG_POINT, adDwgReadPointEntity, AD_ENTITY_POINT},
    {AD_DWG_3DFACE, adDwgReadFaceEntity, AD_ENTITY_3DFACE},
    {AD_DWG_POLYLINE_PFACE, adDwgReadPolylineEntity, AD_ENTITY_POLYLINE},
    {AD_DWG_POLYLINE_MESH, adDwgReadPolylineEntity, AD_ENTITY_POLYLINE},
    {AD_DWG_SOLID, adDwgReadTraceEntity, AD_ENTITY_SOLID},
    {AD_DWG_TRACE, adDwgReadTraceEntity, AD_ENTITY_TRACE},
    {AD_DWG_SHAPE, adDwgReadShapeEntity, AD_ENTITY_SHAPE},
    {AD_DWG_VIEWPORT, adDwgReadViewportEntity, AD_ENTITY_VIEWPORT},
    {AD_DWG_ELLIPSE, adDwgReadEllipseEntity, AD_ENTITY_ELLIPSE},
    {AD_DWG_SPLINE, adDwgReadSpline, AD_ENTITY_SPLINE},
    {AD_DWG_REGION, adDwgReadSatEntity, AD_ENTITY_REGION},
    {AD_DWG_3DSOLID, adDwgReadSatEntity, AD_ENTITY_3DSOLID},
    {AD_DWG_BODY, adDwgReadSatEntity, AD_ENTITY_BODY},
    {AD_DWG_RAY, adDwgReadRayEntity, AD_ENTITY_RAY},
    {AD_DWG_XLINE, adDwgReadRayEntity, AD_ENTITY_XLINE},
    {AD_DWG_MTEXT, adDwgReadMtextEntity, AD_ENTITY_MTEXT},
    {AD_DWG_LEADER, adDwgReadLeaderEntity, AD_ENTITY_LEADER},
    {AD_DWG_TOLERANCE, adDwgReadToleranceEntity, AD_ENTITY_TOLERANCE},
    {AD_DWG_MLINE, adDwgReadMlineEntity, AD_ENTITY_MLINE},
};

// kTypes' row of each DWG type up to the last that has one; -1 for none.
constexpr int kLastRowType = AD_DWG_MLINE;
constexpr auto kRowOfType = [] {
    std::array<std::int8_t, kLastRowType + 1> rows{};
    rows.fill(-1);
    for (std::size_t i = 0; i < std::size(kTypes); ++i)
        rows[static_cast<std::size_t>(kTypes[i].dwgType)] = static_cast<std::int8_t>(i);
    return rows;
}();

const TypeRow* rowOf(std::int16_t type) {
    if (type < 0 || type > kLastRowType) return nullptr;
    const int row = kRowOfType[static_cast<std::size_t>(type)];
    return row < 0 ? nullptr : &kTypes[row];
}

bool isNull(const AdHandle& h) { return adHandleLength(&h) == 0; }

int chainFault() {
    adSetError(AD_ERR_DWG_ENTITY_CHAIN);
    return 0;
}

// The built-in classes that files code with fixed type numbers.
std::int16_t classType(const AdDrawing* drawing, std::int16_t type) {
    std::int16_t number = 0;
    if (type == AD_DWG_OLE2FRAME) number = drawing->classNumbers[AD_CLASS_OLE2FRAME];
    else if (type == AD_DWG_LWPOLYLINE && drawing->version >= AD_VERSION_AC1014) number = adClassNumLwpolyline(drawing);
    else if (type == AD_DWG_HATCH && drawing->version >= AD_VERSION_AC1014) number = adClassNumHatch(drawing);
    return number > 0 ? number : type;
}

void headerDefaults(AdEntityHeader* header) {
    *header = AdEntityHeader{};
    header->color = AD_COLOR_BYLAYER;
    header->extrusion[2] = 1.0;
    header->linetypeScale = 1.0;
    header->lineweight = -1;
    adGlobals->dwgEntity = AdGlobalState::AdDwgEntityRefs{};
    adGlobals->entityElevation = 0.0;
    for (char* name : adGlobals->dxfNames) name[0] = '\0';
}

// Types 1 to 47 take their entity codes; a type without a row keeps its number.
void finishHeader(AdEntityHeader* header) {
    const TypeRow* row = header->type < AD_DWG_FIRST_CLASS_TYPE ? rowOf(static_cast<std::int16_t>(header->type))
                                                                : nullptr;
    if (row) header->type = row->entityType;
    const double* e = header->extrusion;
    if (e[0] != 0.0 || e[1] != 0.0 || e[2] != 1.0) header->flags |= AD_ENTITY_FLAG_EXTRUDED;
    else header->flags &= static_cast<std::uint8_t>(~AD_ENTITY_FLAG_EXTRUDED);
}

// A BLOCK or ENDBLK without a layer is put on the drawing's first layer.
void blockLayer(AdDrawing* drawing, AdEntityHeader* header) {
    if ((header->type == AD_ENTITY_BLOCK || header->type == AD_ENTITY_ENDBLK) && isNull(header->layer))
        adTableHandleAtIndex<AdLayerRecord>(drawing, adLayerRewind, adLayerNext, 0, &header->layer);
}

// The type's fields and handles; 1 when the entity was read whole.
int readBody(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, AdStore* graphics) {
    const auto type = static_cast<std::int16_t>(header->type);
    if (type >= AD_DWG_FIRST_CLASS_TYPE) {
        const int read = adDwgReadClassEntity(drawing, header, data);
        adDwgAttachClassStore(drawing, header, data, graphics, 1);
        return read;
    }
    if (graphics) adStoreFree(graphics);
    const TypeRow* row = rowOf(type);
    return (row ? row->reader : adDwgReadHandlesOnly)(drawing, header, data);
}

}  // namespace

int adDwgReadHandlesWith(AdDrawing* drawing, AdEntityHeader* header, AdHandle* first, AdHandle* second) {
    adDwgReadEntityHandles(drawing, header);
    if (first) adDwgReadOwnHandle(header, first);
    if (second) adDwgReadOwnHandle(header, second);
    return adBitUsable() ? 1 : 0;
}

int adDwgReadSubEntityHandles(const AdEntityHeader* header) {
    AdGlobalState::AdDwgEntityRefs& refs = adGlobals->dwgEntity;
    adDwgReadOwnHandle(header, &refs.firstSub);
    adDwgReadOwnHandle(header, &refs.lastSub);
    adDwgReadOwnHandle(header, &refs.seqend);
    return adBitUsable() ? 1 : 0;
}

int adDwgReadHandlesOnly(AdDrawing* drawing, AdEntityHeader* header, AdEntityData*) {
    return adDwgReadHandlesWith(drawing, header, nullptr, nullptr);
}

int adDwgEntityNext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* xdataFlag) {
    if (adIsFixedRecordDwg(drawing)) return adR12EntityNext(drawing, header, data, xdataFlag);
    AdDrawing::AdDwgChains& c = drawing->dwgChains;
    if (isNull(c.next)) {
        if (c.phase != 0 || isNull(c.secondFirst)) return 0;
        c.next = c.secondFirst;
        c.phase = 1;
    }
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || ++c.count > dwg->entryCount || !adDwgSeekObject(drawing, &c.next)) return chainFault();
    headerDefaults(header);
    std::uint8_t xdata = 0;
    AdStore* graphics = nullptr;
    const std::int16_t type = adDwgReadObjectStart(drawing, &header->handle, &xdata, 1, &graphics);
    if (type == 0) {
        c.next = AdHandle{};
        return 0;
    }
    *xdataFlag = xdata ? AD_ENTITY_READ_XDATA : 0;
    header->type = static_cast<std::uint16_t>(classType(drawing, type));
    if (!c.inBlock && c.phase == 0) header->flags |= AD_ENTITY_FLAG_PAPER_SPACE;
    const std::int32_t before = adGlobals->errorCode;
    int read = adDwgReadEntityCommon(drawing, header);
    if (read) read = readBody(drawing, header, data, graphics) && adBitUsable();
    else if (graphics) adStoreFree(graphics);
    const int chained = read && adDwgChainAfter(drawing, header, data);
    finishHeader(header);
    if (!read || !chained) {
        // The links of an entity that was not read whole are not followed.
        c.next = AdHandle{};
        if (!read && adGlobals->errorCode == before) adSetError(AD_ERR_DWG_OBJECT_CRC);
        adEntityFreeStores(drawing, header, data);
        return 0;
    }
    blockLayer(drawing, header);
    return 1;
}
