// The LTYPE record with its dashes: each 49 group starts the next dash, and
// the groups after it describe that dash. The record holds
// AD_LTYPE_DASH_COUNT dashes and a text area of AD_LTYPE_TEXT_AREA_SIZE
// bytes: further dashes and texts that do not fit are left out.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>
#include <numbers>

namespace {

void clearDashes(AdLtypeRecord* record) {
    for (AdLtypeDash& dash : record->dashes) {
        std::memset(&dash, 0, sizeof dash);
        dash.scale = 1.0;
    }
}

// Texts follow one another, each with its NUL; AC1012 files leave the
// area's first byte unused. A text that does not fit whole is cut, and a
// dash finding the area full points at its last byte, an empty text.
void storeText(AdLtypeRecord* record, std::int32_t* used, AdLtypeDash* dash, const char* text) {
    const auto size = static_cast<std::int32_t>(AD_LTYPE_TEXT_AREA_SIZE);
    if (*used >= size - 1) {
        dash->textPosition = static_cast<std::int16_t>(size - 1);
        return;
    }
    dash->textPosition = static_cast<std::int16_t>(*used);
    adDxfCopyText(record->textArea + *used, static_cast<std::size_t>(size - *used), text);
    *used += static_cast<std::int32_t>(std::strlen(record->textArea + *used)) + 1;
}

// False for a code that describes no dash.
bool applyDashGroup(AdLtypeDash* dash, std::int16_t code) {
    const AdDxfToken& t = adDxfToken();
    AdLtypeDash ignored;
    AdLtypeDash* d = dash ? dash : &ignored;
    switch (code) {
        case 74: d->complexFlags = t.shortValue; return true;
        case 75: d->shapeNumber = t.shortValue; return true;
        case 46: d->scale = t.real; return true;
        case 50: d->rotation = t.real * std::numbers::pi / 180.0; return true;
        case 44: d->xOffset = t.real; return true;
        case 45: d->yOffset = t.real; return true;
        case 340: d->style = t.handle; return true;
        default: return false;
    }
}

struct DashReader {
    AdLtypeRecord* record;
    std::int32_t dash = -1;  // the entry the groups describe; -1 before the first 49
    std::int32_t textUsed = 0;

    AdLtypeDash* current() { return dash >= 0 && dash < AD_LTYPE_DASH_COUNT ? &record->dashes[dash] : nullptr; }

    // True when the group belongs to a dash (whether or not it is kept).
    bool apply(std::int16_t code) {
        const AdDxfToken& t = adDxfToken();
        if (code == 49) {
            if (dash < AD_LTYPE_DASH_COUNT) ++dash;
            if (AdLtypeDash* d = current()) {
                d->length = t.real;
                d->complexFlags = 0;
            }
            return true;
        }
        AdLtypeDash* d = current();
        if (code == 9) {
            if (d) storeText(record, &textUsed, d, t.text);
            return true;
        }
        return applyDashGroup(d, code);
    }
};
}  // namespace

int adDxfLtypeNext(AdDrawing* drawing, void* buffer, std::uint8_t* xdataFlag) {
    if (!drawing || !adGlobals || !buffer || !xdataFlag) return 0;
    auto* record = static_cast<AdLtypeRecord*>(buffer);
    record->name[0] = '\0';
    adDefaultLtypeRecord(record);
    *xdataFlag = 0;
    adGlobals->xdataLength = 0;
    clearDashes(record);
    if (!adDxfReadGroup(drawing) || !adDxfTokenIs(0, "LTYPE")) return 0;
    DashReader dashes{record};
    dashes.textUsed = drawing->version == AD_VERSION_AC1012 ? 1 : 0;
    bool ok = true;
    AdDxfRecordStep step = AdDxfRecordStep::Group;
    while (ok && (step = adDxfRecordGroup(drawing, xdataFlag)) == AdDxfRecordStep::Group) {
        const AdDxfToken& t = adDxfToken();
        if (adDxfTokenIs(102, "{ACAD_REACTORS")) {
            ok = adDxfCollectReactors(drawing, &record->reactors, &record->reactorCount) != 0;
        } else if (!dashes.apply(t.code)) {
            adDxfApplyTableGroup(drawing, AD_DXF_KIND_LTYPE, t.code, record);
        }
    }
    if (record->dashCount < 0) record->dashCount = 0;
    if (record->dashCount > AD_LTYPE_DASH_COUNT) record->dashCount = AD_LTYPE_DASH_COUNT;
    ok = ok && step == AdDxfRecordStep::RecordEnd && adDxfEnsureHandle(drawing, &record->handle);
    if (!ok) {
        adStoreFree(record->reactors);
        record->reactors = nullptr;
    }
    return ok ? 1 : 0;
}
