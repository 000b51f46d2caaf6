// The contents of new objects.
#include "toolkit/db/object_kinds.h"

#include <cstring>

namespace {

constexpr double kHalfPi = 1.5707963267948966;

// Plot settings of a new layout or page setup: one to one at full scale.
void plotSettingsTemplate(AdPlotSettingsData* settings) {
    settings->scaleNumerator = 1.0;
    settings->scaleDenominator = 1.0;
    settings->scaleFactor = 1.0;
}

}  // namespace

// Every type starts from zero, also those no default is given for: their
// store pointers must never be left as whatever the caller's buffer held.
int adObjectDefaults(AdDrawing* drawing, AdObjectHeader* header, void* data) {
    if (!header || !data) return 0;
    const std::int16_t type = header->type;
    std::memset(static_cast<void*>(header), 0, sizeof *header);
    header->type = type;
    const AdObjectKind kind = adObjectKindOf(drawing, type);
    std::memset(data, 0, adObjectKinds[kind].dataSize);
    switch (kind) {
        case AD_OBJECT_KIND_GROUP: static_cast<AdGroupData*>(data)->selectable = 1; break;
        case AD_OBJECT_KIND_MLINESTYLE: {
            auto* style = static_cast<AdMlineStyleData*>(data);
            style->flags = 1;
            style->elementCount = 2;
            style->startAngle = kHalfPi;
            style->endAngle = kHalfPi;
            break;
        }
        case AD_OBJECT_KIND_LAYOUT: plotSettingsTemplate(&static_cast<AdLayoutData*>(data)->plotSettings); break;
        case AD_OBJECT_KIND_PLOTSETTINGS: plotSettingsTemplate(static_cast<AdPlotSettingsData*>(data)); break;
        case AD_OBJECT_KIND_WIPEOUTVARIABLES: static_cast<AdWipeoutVariablesData*>(data)->displayFrame = 1; break;
        default: break;
    }
    return 1;
}
