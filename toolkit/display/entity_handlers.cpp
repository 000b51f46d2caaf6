// The one table of entity handlers. A type whose drawing is built in a
// later part of the engine has no handler yet and draws nothing.
#include "toolkit/display/handlers.h"
#include "toolkit/display/image.h"
#include "toolkit/display/hatch.h"
#include "toolkit/display/leader.h"
#include "toolkit/display/mline.h"
#include "toolkit/display/polyline.h"
#include "toolkit/display/spline.h"
#include "toolkit/display/tolerance.h"

namespace {

AdEntityHandler fixedHandler(std::uint16_t type) {
    switch (type) {
    case AD_ENTITY_LINE:
    case AD_ENTITY_3DLINE:
        return adDrawLineEntity;
    case AD_ENTITY_POINT:
        return adDrawPointEntity;
    case AD_ENTITY_CIRCLE:
    case AD_ENTITY_ARC:
        return adDrawCircleEntity;
    case AD_ENTITY_ELLIPSE:
        return adDrawEllipseEntity;
    case AD_ENTITY_TRACE:
    case AD_ENTITY_SOLID:
    case AD_ENTITY_3DFACE:
        return adDrawQuadEntity;
    case AD_ENTITY_RAY:
    case AD_ENTITY_XLINE:
        return adDrawRayEntity;
    case AD_ENTITY_VIEWPORT:
        return adDrawViewportEntity;
    case AD_ENTITY_INSERT:
    case AD_ENTITY_DIMENSION:
        return adDrawBlockReference;
    case AD_ENTITY_BLOCK:
        return adDrawBlockEntity;
    case AD_ENTITY_POLYLINE:
        return adDrawPolylineEntity;
    case AD_ENTITY_SPLINE:
        return adDrawSplineEntity;
    case AD_ENTITY_REGION:
    case AD_ENTITY_3DSOLID:
    case AD_ENTITY_BODY:
        return adDrawSolidEntity;
    case AD_ENTITY_TEXT:
    case AD_ENTITY_ATTDEF:
    case AD_ENTITY_ATTRIB:
        return adDrawTextEntity;
    case AD_ENTITY_SHAPE:
        return adDrawShapeEntity;
    case AD_ENTITY_MTEXT:
        return adDrawMTextEntity;
    case AD_ENTITY_LEADER:
        return adDrawLeaderEntity;
    case AD_ENTITY_TOLERANCE:
        return adDrawToleranceEntity;
    case AD_ENTITY_MLINE:
        return adDrawMlineEntity;
    default:
        return nullptr;
    }
}

}  // namespace

// Class types by the drawing's class numbers.
AdEntityHandler adEntityHandler(const AdDrawing* drawing, std::uint16_t type) {
    if (type < AD_ENTITY_PROXY) return fixedHandler(type);
    switch (adEntityKind(drawing, type)) {
    case AD_KIND_LWPOLYLINE: return adDrawPolylineEntity;
    case AD_KIND_IMAGE: return adDrawImageEntity;
    case AD_KIND_OLE2FRAME: return adDrawOle2FrameEntity;
    case AD_KIND_RTEXT: return adDrawRTextEntity;
    case AD_KIND_HATCH: return adDrawHatchEntity;
    case AD_KIND_ARCALIGNEDTEXT:
    case AD_KIND_WIPEOUT:
    case AD_KIND_PROXY: return adDrawProxyEntity;
    default: return nullptr;
    }
}
