// The TEXT entity of a proxy-graphics text record, ready for the
// single-line text drawing.
#include "toolkit/display/proxy.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

template <std::size_t N>
void copyText(char (&out)[N], const char* text) {
    const std::size_t n = std::min(std::strlen(text), N - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

// Type 10 compares exactly, type 11 within 1e-7.
bool tilted(const AdProxyRecord& record) {
    const double* n = record.text.normal;
    const double z[3] = {0.0, 0.0, 1.0};
    for (int i = 0; i < 3; ++i) {
        const double off = std::fabs(n[i] - z[i]);
        if (record.type == 10 ? off != 0.0 : off > 1e-7) return true;
    }
    return false;
}

}  // namespace

void adProxyTextEntity(AdDrawing* drawing, const AdProxyRecord& record, AdEntityHeader* header, AdEntityData* data,
                       AdStyleRecord* style) {
    const AdProxyText& t = record.text;
    adDefaultStyleRecord(style);
    copyText(style->name, "STANDARD");
    copyText(style->fontFile, record.type == 11 && t.fontFile[0] ? t.fontFile : "txt");
    *header = AdEntityHeader{};
    header->type = AD_ENTITY_TEXT;
    adEntityDefaults(drawing, header, data);
    AdTextData& text = data->text;
    std::memcpy(text.insertion, t.position, sizeof text.insertion);
    text.fields.height = t.height;
    text.fields.widthFactor = t.widthFactor;
    text.fields.obliqueAngle = t.oblique;
    text.fields.rotation = std::atan2(t.direction[1], t.direction[0]);
    copyText(text.text, t.text);
    if (tilted(record)) {
        std::memcpy(header->extrusion, t.normal, sizeof header->extrusion);
        header->flags |= AD_ENTITY_FLAG_EXTRUDED;
    }
}
