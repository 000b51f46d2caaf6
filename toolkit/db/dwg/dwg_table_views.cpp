// VIEW, UCS and VPORT entries of AC1012 and later files: each carries a view
// or a coordinate system, and AC1015 adds a UCS to the views.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_tables.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kViewType = 61;
constexpr std::int16_t kUcsType = 63;
constexpr std::int16_t kVportType = 65;
constexpr std::int16_t kUcsFollow = 0x08;

struct UcsFrame {
    double* origin;
    double* xAxis;
    double* yAxis;
    double* elevation;
    std::int16_t* orthographicType;
};

void readFrame(const UcsFrame& frame) {
    adBitRead3D(frame.origin);
    adBitRead3D(frame.xAxis);
    adBitRead3D(frame.yAxis);
    adBitReadDouble(frame.elevation);
    *frame.orthographicType = adBitReadShort();
}

// Files before AC1015 carry no UCS with their views: the world's.
void worldFrame(const UcsFrame& frame) {
    for (int i = 0; i < 3; ++i) {
        frame.origin[i] = 0.0;
        frame.xAxis[i] = i == 0 ? 1.0 : 0.0;
        frame.yAxis[i] = i == 1 ? 1.0 : 0.0;
    }
    *frame.elevation = 0.0;
    *frame.orthographicType = 0;
}

// The view every VIEW and VPORT entry begins with, up to the clip distances.
struct ViewPart {
    double* centre;
    double* target;
    double* direction;
    double* twist;
    double* lensLength;
    double* frontClip;
    double* backClip;
};

void readView(const ViewPart& view) {
    adBitReadRaw2D(view.centre);
    adBitRead3D(view.target);
    adBitRead3D(view.direction);
    adBitReadDouble(view.twist);
    adBitReadDouble(view.lensLength);
    adBitReadDouble(view.frontClip);
    adBitReadDouble(view.backClip);
}
}  // namespace

int adDwgNextView(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdViewTableRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextView(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kViewType, record, &common, xdataFlag);
    if (start != 1) return start == 2;
    adBitReadDouble(&record->height);
    adBitReadDouble(&record->width);
    readView({record->centre, record->target, record->direction, &record->twist, &record->lensLength,
              &record->frontClip, &record->backClip});
    record->viewMode = adDwgReadViewMode();
    const UcsFrame frame{record->ucsOrigin, record->ucsXAxis, record->ucsYAxis, &record->elevation,
                         &record->orthographicType};
    worldFrame(frame);
    const bool ac1015 = drawing->version >= AD_DWG_AC1015;
    if (ac1015) record->renderMode = adBitReadByte();
    if (adBitReadBit()) record->flags |= 1;
    if (ac1015) {
        record->ucsAssociated = static_cast<std::int16_t>(adBitReadBit());
        if (record->ucsAssociated) readFrame(frame);
    }
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_VIEW, &common, &xrefBlock)) return 0;
    if (record->ucsAssociated) {
        adDwgEntryHandle(&common, &record->namedUcs);
        adDwgEntryHandle(&common, &record->baseUcs);
    }
    if (!adDwgEntryFinish(&common)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}

int adDwgNextUcs(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdUcsRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextUcs(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kUcsType, record, &common, xdataFlag);
    if (start != 1) return start == 2;
    adBitRead3D(record->origin);
    adBitRead3D(record->xAxis);
    adBitRead3D(record->yAxis);
    const bool ac1015 = drawing->version >= AD_DWG_AC1015;
    if (ac1015) {
        adBitReadDouble(&record->elevation);
        record->value79 = adBitReadShort();
        record->orthographicType = adBitReadShort();
    }
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_UCS, &common, &xrefBlock)) return 0;
    if (ac1015) {
        adDwgEntryHandle(&common, &record->baseUcs);
        AdHandle further{};
        adDwgEntryHandle(&common, &further);
        static_assert(sizeof record->spare == sizeof further.b, "the further handle is kept in the spare bytes");
        std::memcpy(record->spare, further.b, sizeof further.b);
    }
    if (!adDwgEntryFinish(&common)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}

int adDwgNextVport(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdVportRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextVport(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kVportType, record, &common, xdataFlag);
    if (start != 1) return start == 2;
    double width = 0.0;
    adBitReadDouble(&record->viewHeight);
    adBitReadDouble(&width);
    // A view of no height has no proportion; 1 keeps later divisions sound.
    record->aspectRatio = record->viewHeight != 0.0 ? width / record->viewHeight : 1.0;
    readView({record->viewCentre, record->viewTarget, record->viewDirection, &record->viewTwist,
              &record->lensLength, &record->frontClip, &record->backClip});
    record->viewMode = adDwgReadViewMode();
    const bool ac1015 = drawing->version >= AD_DWG_AC1015;
    if (ac1015) record->renderMode = adBitReadByte();
    adBitReadRaw2D(record->lowerLeft);
    adBitReadRaw2D(record->upperRight);
    if (adBitReadBit()) record->viewMode = static_cast<std::int16_t>(record->viewMode | kUcsFollow);
    record->circleZoom = adBitReadShort();
    record->fastZoom = static_cast<std::int16_t>(adBitReadBit());
    record->ucsIcon = static_cast<std::int16_t>(adBitReadBit());
    record->ucsIcon = static_cast<std::int16_t>(record->ucsIcon | (adBitReadBit() << 1));
    record->gridOn = static_cast<std::int16_t>(adBitReadBit());
    adBitReadRaw2D(record->gridSpacing);
    record->snapOn = static_cast<std::int16_t>(adBitReadBit());
    record->snapStyle = static_cast<std::int16_t>(adBitReadBit());
    record->snapIsoPair = adBitReadShort();
    adBitReadDouble(&record->snapAngle);
    adBitReadRaw2D(record->snapBase);
    adBitReadRaw2D(record->snapSpacing);
    const UcsFrame frame{record->ucsOrigin, record->ucsXAxis, record->ucsYAxis, &record->elevation,
                         &record->orthographicType};
    worldFrame(frame);
    record->ucsPerViewport = 0;
    if (ac1015) {
        adBitReadBit();
        record->ucsPerViewport = static_cast<std::int16_t>(adBitReadBit());
        readFrame(frame);
    }
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_VPORT, &common, &xrefBlock)) return 0;
    if (ac1015) {
        adDwgEntryHandle(&common, &record->baseUcs);
        adDwgEntryHandle(&common, &record->namedUcs);
    }
    if (!adDwgEntryFinish(&common)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}
