// Entity type codes: what a code stands for in a drawing and the size of its
// stored data.
#include "toolkit/db/entity_layout.h"

#include <cstddef>

namespace {

// Class kinds by the drawing's class-number slot, in AdEntityKind order.
constexpr AdClassSlot kClassSlots[AD_KIND_PROXY - 1] = {
    AD_CLASS_OLE2FRAME, AD_CLASS_LWPOLYLINE, AD_CLASS_HATCH,          AD_CLASS_IMAGE,
    AD_CLASS_WIPEOUT,   AD_CLASS_RTEXT,      AD_CLASS_ARCALIGNEDTEXT,
};

constexpr std::int32_t kLine = sizeof(AdLineData);
constexpr std::int32_t kTrace = sizeof(AdTraceData);
constexpr std::int32_t kSat = sizeof(AdSatData);
constexpr std::int32_t kRay = sizeof(AdRayData);

// Stored size of the fixed data part by layout. Store references take their
// pointer size, so only the sizes of types without one are the same on
// every build.
constexpr std::uint16_t kStoredSize[AD_LAYOUT_COUNT] = {
    0,
    kLine,                             // 1 LINE
    sizeof(AdPointData),               // 2 POINT
    sizeof(AdCircleData),              // 3 CIRCLE
    sizeof(AdShapeData),               // 4 SHAPE
    sizeof(AdEllipseData),             // 5 ELLIPSE
    sizeof(AdSplineData),              // 6 SPLINE
    offsetof(AdTextData, text),        // 7 TEXT
    sizeof(AdArcData),                 // 8 ARC
    kTrace,                            // 9 TRACE
    kSat,                              // 10 REGION
    kTrace,                            // 11 SOLID
    sizeof(AdBlockData),               // 12 BLOCK
    0,                                 // 13 ENDBLK
    sizeof(AdInsertData),              // 14 INSERT
    offsetof(AdAttdefData, prompt),    // 15 ATTDEF
    offsetof(AdAttribData, tag),       // 16 ATTRIB
    0,                                 // 17 SEQEND
    0,
    sizeof(AdPolylineData),            // 19 POLYLINE
    sizeof(AdVertexData),              // 20 VERTEX
    kLine,                             // 21 3DLINE
    sizeof(AdFaceData),                // 22 3DFACE
    offsetof(AdDimensionData, text),   // 23 DIMENSION
    offsetof(AdViewportData, unpackMark),  // 24 VIEWPORT
    kSat,                              // 25 3DSOLID
    kRay,                              // 26 RAY
    kRay,                              // 27 XLINE
    offsetof(AdMtextData, text),       // 28 MTEXT
    sizeof(AdLeaderData),              // 29 LEADER
    offsetof(AdToleranceData, text),   // 30 TOLERANCE
    sizeof(AdMlineData),               // 31 MLINE
    0,
    0,
    0,
    kSat,                              // 35 BODY
    0,
    0,
    0,
    0,
    sizeof(AdOle2FrameData),           // OLE2FRAME
    sizeof(AdLwpolylineData),          // LWPOLYLINE
    sizeof(AdHatchData),               // HATCH
    sizeof(AdImageData),               // IMAGE
    sizeof(AdImageData),               // WIPEOUT
    sizeof(AdRtextData),               // RTEXT
    sizeof(AdArcAlignedTextData),      // ARCALIGNEDTEXT
    sizeof(AdProxyData),               // other classes
};

// The layouts every build shares with the file formats' reference sizes.
static_assert(kStoredSize[AD_ENTITY_LINE] == 48 && kStoredSize[AD_ENTITY_POINT] == 32 &&
              kStoredSize[AD_ENTITY_CIRCLE] == 32 && kStoredSize[AD_ENTITY_SHAPE] == 72 &&
              kStoredSize[AD_ENTITY_ELLIPSE] == 72 && kStoredSize[AD_ENTITY_TEXT] == 88 &&
              kStoredSize[AD_ENTITY_ARC] == 48 && kStoredSize[AD_ENTITY_TRACE] == 96 &&
              kStoredSize[AD_ENTITY_BLOCK] == 1048 && kStoredSize[AD_ENTITY_INSERT] == 96 &&
              kStoredSize[AD_ENTITY_ATTDEF] == 96 && kStoredSize[AD_ENTITY_ATTRIB] == 96 &&
              kStoredSize[AD_ENTITY_POLYLINE] == 40 && kStoredSize[AD_ENTITY_VERTEX] == 88 &&
              kStoredSize[AD_ENTITY_3DFACE] == 104 && kStoredSize[AD_ENTITY_DIMENSION] == 272 &&
              kStoredSize[AD_ENTITY_RAY] == 48,
              "stored sizes of the pointer-free layouts");
static_assert(offsetof(AdViewportData, centre) == 16 && offsetof(AdViewportData, blockHandle) == 880,
              "the VIEWPORT layout from its centre on");
static_assert(offsetof(AdAttdefData, fields) == offsetof(AdAttribData, fields) &&
              offsetof(AdTextData, fields) + sizeof(AdTextFields) == 88,
              "TEXT, ATTDEF and ATTRIB share their text fields");

}  // namespace

AdEntityKind adEntityKind(const AdDrawing* drawing, std::uint16_t type) {
    if (type < AD_ENTITY_PROXY) return AD_KIND_FIXED;
    if (drawing && type != AD_ENTITY_PROXY) {
        for (int k = 0; k < AD_KIND_PROXY - 1; ++k)
            if (drawing->classNumbers[kClassSlots[k]] == static_cast<std::int32_t>(type))
                return static_cast<AdEntityKind>(AD_KIND_OLE2FRAME + k);
    }
    return AD_KIND_PROXY;
}

int adEntityLayout(const AdDrawing* drawing, std::uint16_t type) {
    if (type < AD_ENTITY_FIXED_CODE_LIMIT) return type;
    if (type < AD_ENTITY_PROXY) return 0;
    return AD_LAYOUT_FIRST_CLASS + adEntityKind(drawing, type) - 1;
}

std::int32_t adEntityLayoutSize(int layout) {
    return layout >= 0 && layout < AD_LAYOUT_COUNT ? kStoredSize[layout] : 0;
}

std::int32_t adEntityStoredSize(const AdDrawing* drawing, std::uint16_t type) {
    return adEntityLayoutSize(adEntityLayout(drawing, type));
}

int adEntityClassSizeValid(std::int32_t size) {
    for (int layout = AD_LAYOUT_FIRST_CLASS; layout < AD_LAYOUT_COUNT; ++layout)
        if (kStoredSize[layout] == size) return 1;
    return 0;
}
