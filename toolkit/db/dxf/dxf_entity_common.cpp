// The groups every DXF entity may carry, and the 38 elevation that becomes
// the z of the type's first points.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstddef>
#include <cstring>

namespace {
struct ElevationRow {
    std::uint8_t type;
    std::int16_t field;  // a point field of the type's data
    std::uint8_t index;  // coordinate
};

#define AT(type, record, member, index) {type, static_cast<std::int16_t>(offsetof(record, member)), index}
constexpr ElevationRow kElevation[] = {
    AT(AD_ENTITY_LINE, AdLineData, start, 2),
    AT(AD_ENTITY_LINE, AdLineData, end, 2),
    AT(AD_ENTITY_POINT, AdPointData, point, 2),
    AT(AD_ENTITY_CIRCLE, AdCircleData, centre, 2),
    AT(AD_ENTITY_SHAPE, AdShapeData, insertion, 2),
    AT(AD_ENTITY_ELLIPSE, AdEllipseData, centre, 2),
    AT(AD_ENTITY_TEXT, AdTextData, insertion, 2),
    AT(AD_ENTITY_ARC, AdArcData, centre, 2),
    AT(AD_ENTITY_TRACE, AdTraceData, corners, 2),
    AT(AD_ENTITY_TRACE, AdTraceData, corners, 5),
    AT(AD_ENTITY_TRACE, AdTraceData, corners, 8),
    AT(AD_ENTITY_TRACE, AdTraceData, corners, 11),
    AT(AD_ENTITY_SOLID, AdTraceData, corners, 2),
    AT(AD_ENTITY_SOLID, AdTraceData, corners, 5),
    AT(AD_ENTITY_SOLID, AdTraceData, corners, 8),
    AT(AD_ENTITY_SOLID, AdTraceData, corners, 11),
    AT(AD_ENTITY_BLOCK, AdBlockData, basePoint, 2),
    AT(AD_ENTITY_INSERT, AdInsertData, insertion, 2),
    AT(AD_ENTITY_ATTDEF, AdAttdefData, insertion, 2),
    AT(AD_ENTITY_ATTRIB, AdAttribData, insertion, 2),
    AT(AD_ENTITY_POLYLINE, AdPolylineData, elevation, 0),
    AT(AD_ENTITY_VERTEX, AdVertexData, point, 2),
    AT(AD_ENTITY_3DLINE, AdLineData, start, 2),
    AT(AD_ENTITY_3DLINE, AdLineData, end, 2),
    AT(AD_ENTITY_3DFACE, AdFaceData, corners, 2),
    AT(AD_ENTITY_3DFACE, AdFaceData, corners, 5),
    AT(AD_ENTITY_3DFACE, AdFaceData, corners, 8),
    AT(AD_ENTITY_3DFACE, AdFaceData, corners, 11),
    AT(AD_ENTITY_DIMENSION, AdDimensionData, clonePoint, 2),
    AT(AD_ENTITY_RAY, AdRayData, base, 2),
    AT(AD_ENTITY_XLINE, AdRayData, base, 2),
    AT(AD_ENTITY_MTEXT, AdMtextData, insertion, 2),
    AT(AD_ENTITY_TOLERANCE, AdToleranceData, insertion, 2),
    AT(AD_ENTITY_MLINE, AdMlineData, start, 2),
};
#undef AT

void applyElevation(AdEntityHeader* header, AdEntityData* data, double elevation) {
    for (const ElevationRow& row : kElevation) {
        if (row.type != header->type) continue;
        auto* field = reinterpret_cast<std::uint8_t*>(data) + row.field + row.index * sizeof(double);
        std::memcpy(field, &elevation, sizeof elevation);
    }
}

void setFlag(AdEntityHeader* header, std::uint8_t flag, bool on) {
    header->flags = static_cast<std::uint8_t>(on ? header->flags | flag : header->flags & ~flag);
}
}  // namespace

bool adDxfIsCommonEntityGroup(std::int16_t code) {
    switch (code) {
        case 5: case 6: case 8: case 38: case 39: case 48: case 60: case 62: case 67: case 370: return true;
        case 102: {
            const char* text = adDxfToken().text;
            return adStrCompareNoCase(text, "{ACAD_REACTORS") == 0 ||
                   adStrCompareNoCase(text, "{ACAD_XDICTIONARY") == 0;
        }
        default: return code >= 1000;
    }
}

void adDxfApplyCommonEntityGroup(AdDrawing* drawing, std::int16_t code, AdEntityHeader* header, AdEntityData* data,
                                 std::uint8_t* xdataFlag) {
    if (!drawing || !header || !data || !adGlobals) return;
    const AdDxfToken& t = adDxfToken();
    switch (code) {
        case 5: header->handle = t.handle; break;
        case 6: adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_LINETYPE], AD_ENTITY_NAME_SIZE, t.text); break;
        case 8: adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_LAYER], AD_ENTITY_NAME_SIZE, t.text); break;
        case 38:
            adGlobals->entityElevation = t.real;
            applyElevation(header, data, t.real);
            if (adEntityKind(drawing, header->type) == AD_KIND_LWPOLYLINE) data->lwpolyline.elevation = t.real;
            break;
        case 39: header->thickness = t.real; break;
        case 48: header->linetypeScale = t.real; break;
        case 370: header->lineweight = static_cast<std::int16_t>(adDxfTokenInteger()); break;
        case 60: setFlag(header, AD_ENTITY_FLAG_INVISIBLE, adDxfTokenInteger() != 0); break;
        case 62: {
            const std::int32_t colour = adDxfTokenInteger();
            header->color = static_cast<std::int16_t>(colour == AD_COLOR_BYLAYER ? AD_COLOR_BYLAYER : colour & 0xFF);
            break;
        }
        case 67: setFlag(header, AD_ENTITY_FLAG_PAPER_SPACE, adDxfTokenInteger() != 0); break;
        case 102:
            adDxfReadReactors(drawing, &header->reactors, &header->reactorCount, &header->extensionDictionary);
            break;
        default:
            if (code >= 1000 && adDxfXdataGroup(drawing, code) && xdataFlag) *xdataFlag = 1;
            break;
    }
}
