// The text entities of registered classes in AC1012 and later files: RTEXT
// and ARCALIGNEDTEXT.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstdlib>

namespace {
constexpr std::int32_t kNumberText = 64;

// A number the file writes as text.
double numberText() {
    char text[kNumberText] = {};
    adDwgReadEntityText(text, kNumberText);
    return std::atof(text);
}
}  // namespace

// The fields of DXF groups 77, 78, 79, 74, 75, 76, 72, 70, 280, 73 and 71.
const int adArcAlignedTextShortOrder[11] = {7, 8, 9, 4, 5, 6, 2, 0, -1, 3, 1};

int adDwgReadRtext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdRtextData& r = data->rtext;
    adBitRead3D(r.insertion);
    adBitRead3D(header->extrusion);
    adBitReadDouble(&r.rotation);
    adBitReadDouble(&r.height);
    r.flags = adBitReadShort();
    adDwgReadEntityText(r.text, sizeof r.text);
    if (!adDwgClassHandles(drawing, header)) return 0;
    adDwgReadOwnHandle(header, &r.style);
    return adBitUsable() ? 1 : 0;
}

int adDwgReadArcAlignedText(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdArcAlignedTextData& a = data->arcAlignedText;
    a.textHeight = numberText();
    a.widthFactor = numberText();
    a.characterSpacing = numberText();
    adDwgReadEntityText(adGlobals->dxfNames[AD_DXF_NAME_TEXT_STYLE], sizeof adGlobals->dxfNames[0]);
    adDwgReadEntityText(a.fontFile, sizeof a.fontFile);
    adDwgReadEntityText(a.bigFontFile, sizeof a.bigFontFile);
    adDwgReadEntityText(a.text, sizeof a.text);
    a.offset = numberText();
    a.rightOffset = numberText();
    a.leftOffset = numberText();
    adBitRead3D(a.centre);
    adBitReadDouble(&a.radius);
    adBitReadDouble(&a.startAngle);
    adBitReadDouble(&a.endAngle);
    adBitRead3D(header->extrusion);
    a.colour = adBitReadLong();
    for (int index : adArcAlignedTextShortOrder) {
        const std::int16_t value = adBitReadShort();
        if (index < 0) a.value280 = value;
        else a.values70[index] = value;
    }
    if (!adDwgClassHandles(drawing, header)) return 0;
    adDwgReadOwnHandle(header, &a.arc);
    return adBitUsable() ? 1 : 0;
}
