// The group-code maps of the table and object records: which field of the
// record each group of a DXF record fills.
#include "toolkit/db/dxf/dxf_map_rows.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
constexpr AdDxfFieldKind B = AD_DXF_FIELD_BYTE;
constexpr AdDxfFieldKind S = AD_DXF_FIELD_INT16;
constexpr AdDxfFieldKind D = AD_DXF_FIELD_DOUBLE;
constexpr AdDxfFieldKind A = AD_DXF_FIELD_ANGLE;
constexpr AdDxfFieldKind T = AD_DXF_FIELD_TEXT;
constexpr AdDxfFieldKind H = AD_DXF_FIELD_HANDLE;
constexpr AdDxfFieldKind L = AD_DXF_FIELD_INT32;
constexpr AdDxfFieldKind N = AD_DXF_FIELD_NAME;
constexpr AdDxfFieldKind ARROW = AD_DXF_FIELD_ARROW;

namespace ltype {
using Record = AdLtypeRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),          AD_DXF_ROW(3, description, T, 0), AD_DXF_ROW(5, handle, H, 0),
    AD_DXF_ROW(40, patternLength, D, 0), AD_DXF_ROW(70, flags, B, 0),      AD_DXF_ROW(72, alignment, B, 0),
    AD_DXF_ROW(73, dashCount, S, 0),    AD_DXF_ROW(330, owner, H, 0),     AD_DXF_ROW(360, extensionDictionary, H, 0),
};
}  // namespace ltype

namespace layer {
using Record = AdLayerRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),         AD_DXF_ROW(5, handle, H, 0),      AD_DXF_ROW(62, colour, S, 0),
    AD_DXF_ROW(70, flags, B, 0),       AD_DXF_ROW(290, plotFlag, S, 0),  AD_DXF_ROW(330, owner, H, 0),
    AD_DXF_ROW(360, extensionDictionary, H, 0), AD_DXF_ROW(370, lineweight, S, 0), AD_DXF_ROW(390, plotStyle, H, 0),
};
}  // namespace layer

namespace style {
using Record = AdStyleRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),          AD_DXF_ROW(3, fontFile, T, 0),     AD_DXF_ROW(4, bigFontFile, T, 0),
    AD_DXF_ROW(5, handle, H, 0),        AD_DXF_ROW(40, fixedHeight, D, 0), AD_DXF_ROW(41, widthFactor, D, 0),
    AD_DXF_ROW(42, lastHeight, D, 0),   AD_DXF_ROW(50, obliqueAngle, A, 0), AD_DXF_ROW(70, flags, B, 0),
    AD_DXF_ROW(71, generationFlags, B, 0), AD_DXF_ROW(330, owner, H, 0),   AD_DXF_ROW(360, extensionDictionary, H, 0),
};
}  // namespace style

namespace view {
using Record = AdViewTableRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),          AD_DXF_ROW(5, handle, H, 0),         AD_DXF_ROW(10, centre, D, 0),
    AD_DXF_ROW(11, direction, D, 0),    AD_DXF_ROW(12, target, D, 0),        AD_DXF_ROW(20, centre, D, 1),
    AD_DXF_ROW(21, direction, D, 1),    AD_DXF_ROW(22, target, D, 1),        AD_DXF_ROW(31, direction, D, 2),
    AD_DXF_ROW(32, target, D, 2),       AD_DXF_ROW(40, height, D, 0),        AD_DXF_ROW(41, width, D, 0),
    AD_DXF_ROW(42, lensLength, D, 0),   AD_DXF_ROW(43, frontClip, D, 0),     AD_DXF_ROW(44, backClip, D, 0),
    AD_DXF_ROW(50, twist, A, 0),        AD_DXF_ROW(70, flags, B, 0),         AD_DXF_ROW(71, viewMode, S, 0),
    AD_DXF_ROW(72, ucsAssociated, S, 0), AD_DXF_ROW(79, orthographicType, S, 0), AD_DXF_ROW(110, ucsOrigin, D, 0),
    AD_DXF_ROW(111, ucsXAxis, D, 0),    AD_DXF_ROW(112, ucsYAxis, D, 0),     AD_DXF_ROW(120, ucsOrigin, D, 1),
    AD_DXF_ROW(121, ucsXAxis, D, 1),    AD_DXF_ROW(122, ucsYAxis, D, 1),     AD_DXF_ROW(130, ucsOrigin, D, 2),
    AD_DXF_ROW(131, ucsXAxis, D, 2),    AD_DXF_ROW(132, ucsYAxis, D, 2),     AD_DXF_ROW(146, elevation, D, 0),
    AD_DXF_ROW(281, renderMode, S, 0),  AD_DXF_ROW(330, owner, H, 0),        AD_DXF_ROW(345, namedUcs, H, 0),
    AD_DXF_ROW(346, baseUcs, H, 0),     AD_DXF_ROW(360, extensionDictionary, H, 0),
};
}  // namespace view

namespace vport {
using Record = AdVportRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),           AD_DXF_ROW(5, handle, H, 0),          AD_DXF_ROW(10, lowerLeft, D, 0),
    AD_DXF_ROW(11, upperRight, D, 0),    AD_DXF_ROW(12, viewCentre, D, 0),     AD_DXF_ROW(13, snapBase, D, 0),
    AD_DXF_ROW(14, snapSpacing, D, 0),   AD_DXF_ROW(15, gridSpacing, D, 0),    AD_DXF_ROW(16, viewDirection, D, 0),
    AD_DXF_ROW(17, viewTarget, D, 0),    AD_DXF_ROW(20, lowerLeft, D, 1),      AD_DXF_ROW(21, upperRight, D, 1),
    AD_DXF_ROW(22, viewCentre, D, 1),    AD_DXF_ROW(23, snapBase, D, 1),       AD_DXF_ROW(24, snapSpacing, D, 1),
    AD_DXF_ROW(25, gridSpacing, D, 1),   AD_DXF_ROW(26, viewDirection, D, 1),  AD_DXF_ROW(27, viewTarget, D, 1),
    AD_DXF_ROW(36, viewDirection, D, 2), AD_DXF_ROW(37, viewTarget, D, 2),     AD_DXF_ROW(40, viewHeight, D, 0),
    AD_DXF_ROW(41, aspectRatio, D, 0),   AD_DXF_ROW(42, lensLength, D, 0),     AD_DXF_ROW(43, frontClip, D, 0),
    AD_DXF_ROW(44, backClip, D, 0),      AD_DXF_ROW(50, snapAngle, A, 0),      AD_DXF_ROW(51, viewTwist, A, 0),
    AD_DXF_ROW(65, ucsPerViewport, S, 0), AD_DXF_ROW(70, flags, B, 0),         AD_DXF_ROW(71, viewMode, S, 0),
    AD_DXF_ROW(72, circleZoom, S, 0),    AD_DXF_ROW(73, fastZoom, S, 0),       AD_DXF_ROW(74, ucsIcon, S, 0),
    AD_DXF_ROW(75, snapOn, S, 0),        AD_DXF_ROW(76, gridOn, S, 0),         AD_DXF_ROW(77, snapStyle, S, 0),
    AD_DXF_ROW(78, snapIsoPair, S, 0),   AD_DXF_ROW(79, orthographicType, S, 0), AD_DXF_ROW(110, ucsOrigin, D, 0),
    AD_DXF_ROW(111, ucsXAxis, D, 0),     AD_DXF_ROW(112, ucsYAxis, D, 0),      AD_DXF_ROW(120, ucsOrigin, D, 1),
    AD_DXF_ROW(121, ucsXAxis, D, 1),     AD_DXF_ROW(122, ucsYAxis, D, 1),      AD_DXF_ROW(130, ucsOrigin, D, 2),
    AD_DXF_ROW(131, ucsXAxis, D, 2),     AD_DXF_ROW(132, ucsYAxis, D, 2),      AD_DXF_ROW(146, elevation, D, 0),
    AD_DXF_ROW(281, renderMode, S, 0),   AD_DXF_ROW(330, owner, H, 0),         AD_DXF_ROW(345, namedUcs, H, 0),
    AD_DXF_ROW(346, baseUcs, H, 0),      AD_DXF_ROW(360, extensionDictionary, H, 0),
};
}  // namespace vport

namespace appid {
using Record = AdAppidRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),   AD_DXF_ROW(5, handle, H, 0),   AD_DXF_ROW(70, flags, B, 0),
    AD_DXF_ROW(330, owner, H, 0), AD_DXF_ROW(360, extensionDictionary, H, 0),
};
}  // namespace appid

// Codes 5, 6 and 7 name the arrowhead blocks in files before AC1012, whose
// DIMSTYLE handle is 105; later files give the blocks' handles as 342..344.
namespace dimstyle {
using Record = AdDimStyleRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),         AD_DXF_ROW(3, dimpost, T, 0),     AD_DXF_ROW(4, dimapost, T, 0),
    AD_DXF_ROW(5, dimblk, ARROW, 0),   AD_DXF_ROW(6, dimblk1, ARROW, 0), AD_DXF_ROW(7, dimblk2, ARROW, 0),
    AD_DXF_ROW(40, dimscale, D, 0),    AD_DXF_ROW(41, dimasz, D, 0),     AD_DXF_ROW(42, dimexo, D, 0),
    AD_DXF_ROW(43, dimdli, D, 0),      AD_DXF_ROW(44, dimexe, D, 0),     AD_DXF_ROW(45, dimrnd, D, 0),
    AD_DXF_ROW(46, dimdle, D, 0),      AD_DXF_ROW(47, dimtp, D, 0),      AD_DXF_ROW(48, dimtm, D, 0),
    AD_DXF_ROW(70, flags, B, 0),       AD_DXF_ROW(71, dimtol, B, 0),     AD_DXF_ROW(72, dimlim, B, 0),
    AD_DXF_ROW(73, dimtih, B, 0),      AD_DXF_ROW(74, dimtoh, B, 0),     AD_DXF_ROW(75, dimse1, B, 0),
    AD_DXF_ROW(76, dimse2, B, 0),      AD_DXF_ROW(77, dimtad, B, 0),     AD_DXF_ROW(78, dimzin, B, 0),
    AD_DXF_ROW(79, dimazin, S, 0),     AD_DXF_ROW(105, handle, H, 0),    AD_DXF_ROW(140, dimtxt, D, 0),
    AD_DXF_ROW(141, dimcen, D, 0),     AD_DXF_ROW(142, dimtsz, D, 0),    AD_DXF_ROW(143, dimaltf, D, 0),
    AD_DXF_ROW(144, dimlfac, D, 0),    AD_DXF_ROW(145, dimtvp, D, 0),    AD_DXF_ROW(146, dimtfac, D, 0),
    AD_DXF_ROW(147, dimgap, D, 0),     AD_DXF_ROW(148, dimaltrnd, D, 0), AD_DXF_ROW(170, dimalt, B, 0),
    AD_DXF_ROW(171, dimaltd, B, 0),    AD_DXF_ROW(172, dimtofl, B, 0),   AD_DXF_ROW(173, dimsah, B, 0),
    AD_DXF_ROW(174, dimtix, B, 0),     AD_DXF_ROW(175, dimsoxd, B, 0),   AD_DXF_ROW(176, dimclrd, S, 0),
    AD_DXF_ROW(177, dimclre, S, 0),    AD_DXF_ROW(178, dimclrt, S, 0),   AD_DXF_ROW(179, dimadec, S, 0),
    AD_DXF_ROW(270, dimunit, S, 0),    AD_DXF_ROW(271, dimdec, S, 0),    AD_DXF_ROW(272, dimtdec, S, 0),
    AD_DXF_ROW(273, dimaltu, S, 0),    AD_DXF_ROW(274, dimalttd, S, 0),  AD_DXF_ROW(275, dimaunit, S, 0),
    AD_DXF_ROW(276, dimfrac, S, 0),    AD_DXF_ROW(277, dimunit, S, 0),   AD_DXF_ROW(278, dimdsep, S, 0),
    AD_DXF_ROW(279, dimtmove, S, 0),   AD_DXF_ROW(280, dimjust, B, 0),   AD_DXF_ROW(281, dimsd1, B, 0),
    AD_DXF_ROW(282, dimsd2, B, 0),     AD_DXF_ROW(283, dimtolj, B, 0),   AD_DXF_ROW(284, dimtzin, B, 0),
    AD_DXF_ROW(285, dimaltz, B, 0),    AD_DXF_ROW(286, dimalttz, B, 0),  AD_DXF_ROW(287, dimfit, B, 0),
    AD_DXF_ROW(288, dimupt, B, 0),     AD_DXF_ROW(330, owner, H, 0),     AD_DXF_ROW(340, dimtxsty, H, 0),
    AD_DXF_ROW(341, dimldrblk, H, 0),  AD_DXF_ROW(342, dimblk, H, 0),    AD_DXF_ROW(343, dimblk1, H, 0),
    AD_DXF_ROW(344, dimblk2, H, 0),    AD_DXF_ROW(360, extensionDictionary, H, 0), AD_DXF_ROW(371, dimlwd, S, 0),
    AD_DXF_ROW(372, dimlwe, S, 0),
};
}  // namespace dimstyle

namespace ucs {
using Record = AdUcsRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),       AD_DXF_ROW(5, handle, H, 0),      AD_DXF_ROW(10, origin, D, 0),
    AD_DXF_ROW(11, xAxis, D, 0),     AD_DXF_ROW(12, yAxis, D, 0),      AD_DXF_ROW(13, orthographicOrigin, D, 0),
    AD_DXF_ROW(20, origin, D, 1),    AD_DXF_ROW(21, xAxis, D, 1),      AD_DXF_ROW(22, yAxis, D, 1),
    AD_DXF_ROW(23, orthographicOrigin, D, 1), AD_DXF_ROW(30, origin, D, 2), AD_DXF_ROW(31, xAxis, D, 2),
    AD_DXF_ROW(32, yAxis, D, 2),     AD_DXF_ROW(33, orthographicOrigin, D, 2), AD_DXF_ROW(70, flags, B, 0),
    AD_DXF_ROW(71, orthographicType, S, 0), AD_DXF_ROW(79, value79, S, 0), AD_DXF_ROW(146, elevation, D, 0),
    AD_DXF_ROW(330, owner, H, 0),    AD_DXF_ROW(346, baseUcs, H, 0),   AD_DXF_ROW(360, extensionDictionary, H, 0),
};
}  // namespace ucs

// The block header read from a 0 BLOCK record of BLOCKS; 71 becomes the
// load state, a 16-bit field.
namespace block {
using Record = AdBlockHeader;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),       AD_DXF_ROW(5, handle, H, 0),  AD_DXF_ROW(70, flags, B, 0),
    AD_DXF_ROW(71, loadState, S, 0), AD_DXF_ROW(330, owner, H, 0), AD_DXF_ROW(340, layout, H, 0),
};
}  // namespace block

namespace blockRecord {
using Record = AdDxfBlockRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),     AD_DXF_ROW(5, handle, H, 0), AD_DXF_ROW(330, owner, H, 0),
    AD_DXF_ROW(340, layout, H, 0), AD_DXF_ROW(360, extensionDictionary, H, 0),
};
}  // namespace blockRecord

namespace mlineStyle {
using Record = AdMlineStyleData;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(2, name, N, 0),        AD_DXF_ROW(3, description, T, 0), AD_DXF_ROW(51, startAngle, A, 0),
    AD_DXF_ROW(52, endAngle, A, 0),   AD_DXF_ROW(62, fillColour, S, 0), AD_DXF_ROW(70, flags, S, 0),
    AD_DXF_ROW(71, elementCount, B, 0),
};
}  // namespace mlineStyle

// Proxy flags keep the whole 32-bit value.
namespace classRecord {
using Record = AdClassRecord;
constexpr AdDxfFieldMap kMap[] = {
    AD_DXF_ROW(1, dxfName, T, 0),      AD_DXF_ROW(2, className, T, 0), AD_DXF_ROW(3, applicationName, T, 0),
    AD_DXF_ROW(90, proxyFlags, L, 0),  AD_DXF_ROW(280, wasProxy, S, 0), AD_DXF_ROW(281, isEntity, S, 0),
};
}  // namespace classRecord

struct KindMap {
    const AdDxfFieldMap* rows;
    std::int32_t count;
};

template <std::size_t N>
constexpr KindMap kindMap(const AdDxfFieldMap (&map)[N]) {
    if (!adDxfMapSorted(map)) throw "a map is not sorted by code";
    return {map, static_cast<std::int32_t>(N)};
}

// In AdDxfRecordKind order.
constexpr KindMap kMaps[] = {
    kindMap(ltype::kMap),      kindMap(layer::kMap),       kindMap(style::kMap),      kindMap(view::kMap),
    kindMap(vport::kMap),      kindMap(appid::kMap),       kindMap(dimstyle::kMap),   kindMap(ucs::kMap),
    kindMap(block::kMap),      kindMap(blockRecord::kMap), kindMap(mlineStyle::kMap), kindMap(classRecord::kMap),
};
static_assert(sizeof kMaps / sizeof kMaps[0] == AD_DXF_RECORD_KIND_COUNT);
}  // namespace

const AdDxfFieldMap* adDxfTableMap(int kind, std::int32_t* count) {
    const bool known = kind >= 0 && kind < AD_DXF_RECORD_KIND_COUNT;
    if (count) *count = known ? kMaps[kind].count : 0;
    return known ? kMaps[kind].rows : nullptr;
}

void adDxfApplyTableGroup(AdDrawing* drawing, int kind, std::int16_t code, void* record) {
    std::int32_t count = 0;
    const AdDxfFieldMap* map = adDxfTableMap(kind, &count);
    const AdDxfFieldMap* row = adDxfFindRow(map, count, code);
    if (row && record) adDxfStoreRow(drawing, *row, record);
}
