// The objects whose groups map straight into their fields: plot settings,
// LAYOUT, IMAGEDEF, RASTERVARIABLES and WIPEOUTVARIABLES.
#include "toolkit/db/dxf/dxf_entity_rows.h"
#include "toolkit/db/dxf/dxf_object_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
constexpr auto D = AD_DXF_FIELD_DOUBLE;
constexpr auto S = AD_DXF_FIELD_INT16;
constexpr auto B = AD_DXF_FIELD_BYTE;
constexpr auto T = AD_DXF_FIELD_TEXT;
constexpr auto H = AD_DXF_FIELD_HANDLE;
constexpr auto L = AD_DXF_FIELD_INT32;

namespace plot {
using Record = AdPlotSettingsData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, pageSetupName, T, 0), AD_DXF_ROW(2, plotConfiguration, T, 0),
           AD_DXF_ROW(4, paperSize, T, 0), AD_DXF_ROW(6, plotViewName, T, 0), AD_DXF_ROW(7, styleSheet, T, 0),
           AD_DXF_ROW(40, margins, D, 0), AD_DXF_ROW(41, margins, D, 1), AD_DXF_ROW(42, margins, D, 2),
           AD_DXF_ROW(43, margins, D, 3), AD_DXF_ROW(44, paperWidth, D, 0), AD_DXF_ROW(45, paperHeight, D, 0),
           AD_DXF_ROW(46, origin, D, 0), AD_DXF_ROW(47, origin, D, 1), AD_DXF_ROW(48, window, D, 0),
           AD_DXF_ROW(49, window, D, 1), AD_DXF_ROW(140, window, D, 2), AD_DXF_ROW(141, window, D, 3),
           AD_DXF_ROW(142, scaleNumerator, D, 0), AD_DXF_ROW(143, scaleDenominator, D, 0),
           AD_DXF_ROW(147, scaleFactor, D, 0), AD_DXF_ROW(148, imageOrigin, D, 0),
           AD_DXF_ROW(149, imageOrigin, D, 1), AD_DXF_ROW(70, layoutFlags, S, 0), AD_DXF_ROW(72, paperUnits, S, 0),
           AD_DXF_ROW(73, rotation, S, 0), AD_DXF_ROW(74, plotType, S, 0), AD_DXF_ROW(75, scaleType, S, 0));
}
namespace layout {
using Record = AdLayoutData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, name, T, 0), AD_DXF_POINT2(10, limitsMin), AD_DXF_POINT2(11, limitsMax),
           AD_DXF_POINT(12, insertionBase), AD_DXF_POINT(13, ucsOrigin), AD_DXF_POINT(14, extentsMin),
           AD_DXF_POINT(15, extentsMax), AD_DXF_POINT(16, ucsXAxis), AD_DXF_POINT(17, ucsYAxis),
           AD_DXF_ROW(70, flags, S, 0), AD_DXF_ROW(71, tabOrder, S, 0), AD_DXF_ROW(76, orthographicType, S, 0),
           AD_DXF_ROW(146, elevation, D, 0), AD_DXF_ROW(330, paperSpaceBlock, H, 0),
           AD_DXF_ROW(331, lastActiveViewport, H, 0), AD_DXF_ROW(345, namedUcs, H, 0),
           AD_DXF_ROW(346, baseUcs, H, 0));
}
namespace imageDef {
using Record = AdImageDefData;
AD_DXF_MAP(rows, AD_DXF_ROW(1, filePath, T, 0), AD_DXF_ROW(90, classVersion, L, 0), AD_DXF_POINT2(10, imageSize),
           AD_DXF_POINT2(11, pixelSize), AD_DXF_ROW(280, loaded, B, 0), AD_DXF_ROW(281, resolutionUnits, B, 0));
}
namespace raster {
using Record = AdRasterVariablesData;
AD_DXF_MAP(rows, AD_DXF_ROW(90, classVersion, L, 0), AD_DXF_ROW(70, displayFrame, S, 0),
           AD_DXF_ROW(71, displayQuality, S, 0), AD_DXF_ROW(72, units, S, 0));
}
namespace wipeout {
using Record = AdWipeoutVariablesData;
AD_DXF_MAP(rows, AD_DXF_ROW(70, displayFrame, S, 0));
}
}  // namespace

const AdDxfFieldMap* adDxfObjectMap(AdDxfObjectMap which, std::int32_t* count) {
    AdDxfEntityMap map{};
    switch (which) {
        case AD_DXF_MAP_IMAGEDEF: map = adDxfMapOf<imageDef::rows>(); break;
        case AD_DXF_MAP_RASTERVARIABLES: map = adDxfMapOf<raster::rows>(); break;
        case AD_DXF_MAP_WIPEOUTVARIABLES: map = adDxfMapOf<wipeout::rows>(); break;
        case AD_DXF_MAP_LAYOUT: map = adDxfMapOf<layout::rows>(); break;
    }
    *count = map.count;
    return map.rows;
}

bool adDxfReadPlotSettings(AdDxfObjectRead& read, AdPlotSettingsData* data) {
    const auto map = adDxfMapOf<plot::rows>();
    return adDxfObjectByMap(read, map.rows, map.count, data, true);
}

// Extended data met here is collected; its flag is the caller's to set.
int adDxfPlotSettingsRead(AdDrawing* drawing, AdPlotSettingsData* data) {
    if (!drawing || !data || !adGlobals) return 0;
    std::uint8_t xdata = 0;
    AdDxfObjectRead read{drawing, nullptr, &xdata};
    return adDxfReadPlotSettings(read, data) ? 1 : 0;
}
