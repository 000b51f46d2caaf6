// A leader's dimension-style settings: those of its DIMSTYLE, changed by the
// DSTYLE overrides that the "ACAD" application keeps in its extended data.
#include "toolkit/ad.h"

namespace {


// What the overrides said about the second arrowhead and DIMSAH, which
// decide between the two arrow blocks only once all are read.
struct SecondArrow {
    int dimsahGiven;
    std::int16_t dimsah;
    int given;
    AdHandle block;
    std::int16_t code;
};

// One override: a DXF code and its value item. A value of another kind than
// the code has is passed over.
void applyOverride(AdDrawing* drawing, std::int16_t dxfCode, const AdXdataItem& value, AdDimStyleSettings* settings,
                   SecondArrow* second) {
    const std::int16_t kind = value.code;
    switch (dxfCode) {
        case 40: if (kind == 1040) settings->scale = value.value.real; break;
        case 41: if (kind == 1040) settings->arrowSize = value.value.real; break;
        case 147: if (kind == 1040) settings->gap = value.value.real; break;
        case 77: if (kind == 1070) settings->textAbove = value.value.int16; break;
        case 176: if (kind == 1070) settings->lineColour = value.value.int16; break;
        case 173:
            if (kind != 1070) break;
            second->dimsahGiven = 1;
            second->dimsah = value.value.int16;
            break;
        case 5: if (kind == 1000) adBlockHandleByName(drawing, value.value.text, &settings->arrowBlock); break;
        case 341:
        case 342: if (kind == 1005) settings->arrowBlock = value.value.handle; break;
        case 7:
            if (kind != 1000) break;
            adBlockHandleByName(drawing, value.value.text, &second->block);
            adArrowheadIndex(value.value.text, &second->code);
            second->given = 1;
            break;
        case 343:
        case 344:
            if (kind != 1005) break;
            second->block = value.value.handle;
            second->given = 1;
            break;
        default: break;
    }
}

struct Overrides {
    AdDimStyleSettings* settings;
    SecondArrow* second;
};

void leaderOverride(AdDrawing* drawing, std::int16_t dxfCode, const AdXdataItem& value, void* context) {
    auto* overrides = static_cast<Overrides*>(context);
    applyOverride(drawing, dxfCode, value, overrides->settings, overrides->second);
}

}  // namespace

int adDimStyleOverrides(AdDrawing* drawing, const AdEntityHeader* entity, AdDimStyleSettings* settings,
                        const AdHandle* dimStyle) {
    if (!settings) return 0;
    *settings = AdDimStyleSettings{1.0, 0.09, 0.09, 0, 0, AdHandle{}, 0};
    AdDimStyleRecord style;
    if (!dimStyle || !adDimStyleByHandle(drawing, dimStyle, &style)) return 0;
    settings->scale = style.dimscale;
    settings->arrowSize = style.dimasz;
    settings->gap = style.dimgap;
    settings->textAbove = style.dimtad;
    settings->lineColour = style.dimclrd;
    if (style.dimsah)
        settings->arrowBlock = style.dimblk1;
    else
        settings->arrowBlock = drawing->version >= AD_VERSION_AC1015 ? style.dimldrblk : style.dimblk;
    SecondArrow second{};
    Overrides overrides{settings, &second};
    if (entity && entity->xdata && !adDimStyleOverrideItems(drawing, entity->xdata, leaderOverride, &overrides))
        return 0;
    const int dimsah = second.dimsahGiven ? second.dimsah != 0 : style.dimsah != 0;
    if (second.given && dimsah) {
        settings->arrowBlock = second.block;
        settings->arrowCode = second.code;
    }
    return 1;
}
