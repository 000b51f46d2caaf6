// The plain groups of the built-in class entities, by map as the fixed
// types' groups are.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_entity_rows.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
constexpr auto D = AD_DXF_FIELD_DOUBLE;
constexpr auto A = AD_DXF_FIELD_ANGLE;
constexpr auto S = AD_DXF_FIELD_INT16;
constexpr auto T = AD_DXF_FIELD_TEXT;
constexpr auto H = AD_DXF_FIELD_HANDLE;
constexpr auto L = AD_DXF_FIELD_INT32;
constexpr auto B = AD_DXF_FIELD_BYTE;

namespace lwpolyline {
using Record = AdLwpolylineData;
AD_DXF_MAP(rows, AD_DXF_ROW(43, constantWidth, D, 0));
}
namespace ole2frame {
using Record = AdOle2FrameData;
// 73 is the frame's last flag byte, which a save writes back.
AD_DXF_MAP(rows, AD_DXF_POINT(10, upperLeft), AD_DXF_POINT(11, lowerRight), AD_DXF_ROW(70, version, S, 0),
           AD_DXF_ROW(73, spareByte, B, 0));
}
namespace hatch {
using Record = AdHatchData;
AD_DXF_MAP(rows, AD_DXF_ROW(2, patternName, T, 0), AD_DXF_POINT(10, elevation), AD_DXF_ROW(41, patternScale, D, 0),
           AD_DXF_ROW(52, patternAngle, A, 0), AD_DXF_ROW(70, solidFill, S, 0), AD_DXF_ROW(71, associative, S, 0),
           AD_DXF_ROW(75, style, S, 0), AD_DXF_ROW(76, patternType, S, 0), AD_DXF_ROW(77, doubleFlag, S, 0));
}
namespace image {
using Record = AdImageData;
AD_DXF_MAP(rows, AD_DXF_POINT(10, insertion), AD_DXF_POINT(11, uVector), AD_DXF_POINT(12, vVector),
           AD_DXF_POINT2(13, size), AD_DXF_ROW(70, displayProperties, S, 0), AD_DXF_ROW(71, clipBoundaryType, S, 0),
           AD_DXF_ROW(280, clipping, S, 0), AD_DXF_ROW(281, brightness, S, 0), AD_DXF_ROW(282, contrast, S, 0),
           AD_DXF_ROW(283, fade, S, 0), AD_DXF_ROW(340, imageDef, H, 0), AD_DXF_ROW(360, imageDefReactor, H, 0));
}
namespace arctext {
using Record = AdArcAlignedTextData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, text, T, 0), AD_DXF_ROW(2, fontFile, T, 0), AD_DXF_ROW(3, bigFontFile, T, 0),
           AD_DXF_POINT(10, centre), AD_DXF_ROW(40, radius, D, 0), AD_DXF_ROW(41, widthFactor, D, 0),
           AD_DXF_ROW(42, textHeight, D, 0), AD_DXF_ROW(43, characterSpacing, D, 0), AD_DXF_ROW(44, offset, D, 0),
           AD_DXF_ROW(45, rightOffset, D, 0), AD_DXF_ROW(46, leftOffset, D, 0), AD_DXF_ROW(50, startAngle, A, 0),
           AD_DXF_ROW(51, endAngle, A, 0), AD_DXF_ROW(70, values70, S, 0), AD_DXF_ROW(71, values70, S, 1),
           AD_DXF_ROW(72, values70, S, 2), AD_DXF_ROW(73, values70, S, 3), AD_DXF_ROW(74, values70, S, 4),
           AD_DXF_ROW(75, values70, S, 5), AD_DXF_ROW(76, values70, S, 6), AD_DXF_ROW(77, values70, S, 7),
           AD_DXF_ROW(78, values70, S, 8), AD_DXF_ROW(79, values70, S, 9), AD_DXF_ROW(90, colour, L, 0),
           AD_DXF_ROW(280, value280, S, 0), AD_DXF_ROW(330, arc, H, 0));
}
namespace rtext {
using Record = AdRtextData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, text, T, 0), AD_DXF_POINT(10, insertion), AD_DXF_ROW(40, height, D, 0),
           AD_DXF_ROW(50, rotation, A, 0), AD_DXF_ROW(70, flags, S, 0));
}
}  // namespace

const AdDxfFieldMap* adDxfClassEntityMap(AdEntityKind kind, std::int32_t* count) {
    AdDxfEntityMap map{};
    switch (kind) {
        case AD_KIND_LWPOLYLINE: map = adDxfMapOf<lwpolyline::rows>(); break;
        case AD_KIND_OLE2FRAME: map = adDxfMapOf<ole2frame::rows>(); break;
        case AD_KIND_HATCH: map = adDxfMapOf<hatch::rows>(); break;
        case AD_KIND_IMAGE:
        case AD_KIND_WIPEOUT: map = adDxfMapOf<image::rows>(); break;
        case AD_KIND_ARCALIGNEDTEXT: map = adDxfMapOf<arctext::rows>(); break;
        case AD_KIND_RTEXT: map = adDxfMapOf<rtext::rows>(); break;
        default: break;
    }
    *count = map.count;
    return map.rows;
}
