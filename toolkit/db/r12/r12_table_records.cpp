// The fixed-size records of LAYER, LTYPE, STYLE, VIEW, UCS, VPORT and APPID.
#include "toolkit/db/r12/r12_file.h"

#include <cstring>
#include <initializer_list>

namespace {
constexpr std::int32_t kDescriptionWidth = 48;
constexpr std::int32_t kFontWidth = 64;
constexpr double kOldLensLength = 50.0;

bool isSpecialLinetype(const char* name) {
    return adStrCompareNoCase(name, "BYBLOCK") == 0 || adStrCompareNoCase(name, "BYLAYER") == 0;
}

// A layer names its linetype by its place among the file's LTYPE records,
// which the LTYPE stage stored after the BYBLOCK and BYLAYER ones; a place
// outside them leaves the first of the file's linetypes.
AdHandle layerLinetype(AdDrawing* drawing, std::int16_t index) {
    AdHandle found{};
    AdRecordList* list = drawing->ltypes;
    AdListRecord* node = list ? adListFirst(list) : nullptr;
    AdLtypeRecord ltype;
    std::int32_t place = 0;
    for (std::int32_t i = 0; node && i < adListCount(list); ++i, node = node->next) {
        std::memcpy(&ltype, adListRecordData(node), sizeof ltype);
        if (i == 0) found = ltype.handle;
        if (isSpecialLinetype(ltype.name)) continue;
        if (place == 0 || place == index) found = ltype.handle;
        if (place++ == index) break;
    }
    return found;
}

void layerFields(AdDrawing* drawing, AdR12Record* at, AdR12Common*, AdLayerRecord* out) {
    out->colour = adR12ReadShort(at);
    const std::int16_t linetype = adR12ReadShort(at);
    out->linetype = layerLinetype(drawing, linetype);
}

void ltypeFields(AdDrawing*, AdR12Record* at, AdR12Common*, AdLtypeRecord* out) {
    adR12ReadText(at, kDescriptionWidth, out->description, sizeof out->description);
    out->alignment = adR12ReadByte(at);
    const std::int16_t dashes = adR12ReadByte(at);
    out->dashCount = dashes < AD_LTYPE_DASH_COUNT ? dashes : static_cast<std::int16_t>(AD_LTYPE_DASH_COUNT);
    out->patternLength = adR12ReadDouble(at);
    for (std::int16_t i = 0; i < out->dashCount; ++i) out->dashes[i].length = adR12ReadDouble(at);
}

void styleFields(AdDrawing*, AdR12Record* at, AdR12Common* common, AdStyleRecord* out) {
    out->fixedHeight = adR12ReadDouble(at);
    out->widthFactor = adR12ReadDouble(at);
    out->obliqueAngle = adR12ReadDouble(at);
    out->generationFlags = adR12ReadByte(at);
    out->lastHeight = adR12ReadDouble(at);
    adR12ReadText(at, kFontWidth, out->fontFile, sizeof out->fontFile);
    char bigFont[kFontWidth + 1];
    adR12ReadText(at, kFontWidth, bigFont, sizeof bigFont);
    // A shape file has no big font; the field holds whatever was there.
    out->bigFontFile[0] = '\0';
    if ((common->flags & 1) == 0) std::memcpy(out->bigFontFile, bigFont, sizeof bigFont);
}

void viewFields(AdDrawing* drawing, AdR12Record* at, AdR12Common* common, AdViewTableRecord* out) {
    out->height = adR12ReadDouble(at);
    adR12Read2D(at, out->centre);
    out->width = adR12ReadDouble(at);
    adR12Read3D(at, out->direction);
    out->lensLength = kOldLensLength;
    if (drawing->version >= AD_R12_AC1006) {
        common->flags = static_cast<std::uint8_t>(common->flags | adR12ReadShort(at));
        adR12Read3D(at, out->target);
        out->lensLength = adR12ReadDouble(at);
        out->twist = adR12ReadDouble(at);
        out->frontClip = adR12ReadDouble(at);
        out->backClip = adR12ReadDouble(at);
        out->viewMode = adR12ReadShort(at);
    }
}

void ucsFields(AdDrawing*, AdR12Record* at, AdR12Common*, AdUcsRecord* out) {
    adR12Read3D(at, out->origin);
    adR12Read3D(at, out->xAxis);
    adR12Read3D(at, out->yAxis);
}

void vportFields(AdDrawing*, AdR12Record* at, AdR12Common*, AdVportRecord* out) {
    adR12Read2D(at, out->lowerLeft);
    adR12Read2D(at, out->upperRight);
    adR12Read3D(at, out->viewTarget);
    adR12Read3D(at, out->viewDirection);
    out->viewTwist = adR12ReadDouble(at);
    out->viewHeight = adR12ReadDouble(at);
    adR12Read2D(at, out->viewCentre);
    out->aspectRatio = adR12ReadDouble(at);
    out->lensLength = adR12ReadDouble(at);
    out->frontClip = adR12ReadDouble(at);
    out->backClip = adR12ReadDouble(at);
    for (std::int16_t* field : {&out->viewMode, &out->circleZoom, &out->fastZoom, &out->ucsIcon, &out->snapOn,
                                &out->gridOn, &out->snapStyle, &out->snapIsoPair})
        *field = adR12ReadShort(at);
    out->snapAngle = adR12ReadDouble(at);
    adR12Read2D(at, out->snapBase);
    adR12Read2D(at, out->snapSpacing);
    adR12Read2D(at, out->gridSpacing);
}
}  // namespace

int adR12NextLayer(AdDrawing* drawing, AdLayerRecord* out) {
    return adR12ReadRecord(drawing, AD_CONTROL_LAYER, out, layerFields);
}

int adR12NextLtype(AdDrawing* drawing, AdLtypeRecord* out) {
    return adR12ReadRecord(drawing, AD_CONTROL_LTYPE, out, ltypeFields);
}

int adR12NextStyle(AdDrawing* drawing, AdStyleRecord* out) {
    return adR12ReadRecord(drawing, AD_CONTROL_STYLE, out, styleFields);
}

int adR12NextView(AdDrawing* drawing, AdViewTableRecord* out) {
    return adR12ReadRecord(drawing, AD_CONTROL_VIEW, out, viewFields);
}

int adR12NextUcs(AdDrawing* drawing, AdUcsRecord* out) {
    return adR12ReadRecord(drawing, AD_CONTROL_UCS, out, ucsFields);
}

int adR12NextVport(AdDrawing* drawing, AdVportRecord* out) {
    return adR12ReadRecord(drawing, AD_CONTROL_VPORT, out, vportFields);
}

int adR12NextAppid(AdDrawing* drawing, AdAppidRecord* out) {
    return adR12ReadRecord<AdAppidRecord>(drawing, AD_CONTROL_APPID, out, nullptr);
}
