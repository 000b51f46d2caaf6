// Text entity objects of AC1012+ files: TEXT, ATTDEF, ATTRIB and SHAPE.
// AC1015 leaves out the text fields that hold their usual values and says
// so in a flag byte.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/ad_internal.h"

namespace {


std::uint8_t readAlignment() { return static_cast<std::uint8_t>(adBitReadShort()); }

void readAc1015(AdDrawing* drawing, AdEntityHeader* header, double insertion[3], AdTextFields* f, char* text,
                std::int32_t size) {
    const std::uint8_t flags = adBitReadByte();
    if (!(flags & AD_DWG_TEXT_NO_ELEVATION)) adBitReadRawDouble(&insertion[2]);
    adBitReadRaw2D(insertion);
    if (!(flags & AD_DWG_TEXT_NO_ALIGNMENT)) {
        adBitReadDefDouble(&f->alignment[0], insertion[0]);
        adBitReadDefDouble(&f->alignment[1], insertion[1]);
    }
    adDwgReadEntityExtrusion(drawing, header);
    adDwgReadEntityThickness(drawing, header);
    if (!(flags & AD_DWG_TEXT_NO_OBLIQUE)) adBitReadRawDouble(&f->obliqueAngle);
    if (!(flags & AD_DWG_TEXT_NO_ROTATION)) adBitReadRawDouble(&f->rotation);
    adBitReadRawDouble(&f->height);
    if (!(flags & AD_DWG_TEXT_NO_WIDTH_FACTOR)) adBitReadRawDouble(&f->widthFactor);
    adDwgReadEntityText(text, size);
    if (!(flags & AD_DWG_TEXT_NO_GENERATION)) f->generation = static_cast<std::uint8_t>(adBitReadShort());
    if (!(flags & AD_DWG_TEXT_NO_HORIZONTAL)) f->horizontalAlignment = readAlignment();
    if (!(flags & AD_DWG_TEXT_NO_VERTICAL)) f->verticalAlignment = readAlignment();
}

void readAc1012(AdEntityHeader* header, double insertion[3], AdTextFields* f, char* text, std::int32_t size) {
    adBitReadDouble(&insertion[2]);
    adBitReadRaw2D(insertion);
    adBitReadRaw2D(f->alignment);
    adDwgReadNormal(header->extrusion);
    adBitReadDouble(&header->thickness);
    adBitReadDouble(&f->obliqueAngle);
    adBitReadDouble(&f->rotation);
    adBitReadDouble(&f->height);
    adBitReadDouble(&f->widthFactor);
    adDwgReadEntityText(text, size);
    f->generation = static_cast<std::uint8_t>(adBitReadShort());
    f->horizontalAlignment = readAlignment();
    f->verticalAlignment = readAlignment();
}

// The part TEXT, ATTDEF and ATTRIB share, up to their text.
void readTextPart(AdDrawing* drawing, AdEntityHeader* header, double insertion[3], AdTextFields* f, char* text,
                  std::int32_t size) {
    *f = AdTextFields{};
    f->widthFactor = 1.0;
    if (adDwgIsAc1015(drawing)) readAc1015(drawing, header, insertion, f, text, size);
    else readAc1012(header, insertion, f, text, size);
}

int readStyle(AdDrawing* drawing, AdEntityHeader* header, AdTextFields* f) {
    return adDwgReadHandlesWith(drawing, header, &f->style, nullptr);
}

// ATTDEF and ATTRIB: the text part carries the value, then come the tag,
// the field length, the flags and, for ATTDEF, the prompt.
template <class Attribute>
int readAttribute(AdDrawing* drawing, AdEntityHeader* header, Attribute& a, char* value, std::int32_t size,
                  char* prompt) {
    readTextPart(drawing, header, a.insertion, &a.fields, value, size);
    adDwgReadEntityText(a.tag, sizeof a.tag);
    a.fieldLength = adBitReadShort();
    a.attributeFlags = adBitReadByte();
    if (prompt) adDwgReadEntityText(prompt, AD_ATTRIBUTE_TEXT_SIZE);
    return readStyle(drawing, header, &a.fields);
}

}  // namespace

int adDwgReadTextEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdTextData& t = data->text;
    readTextPart(drawing, header, t.insertion, &t.fields, t.text, sizeof t.text);
    return readStyle(drawing, header, &t.fields);
}

int adDwgReadAttdefEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdAttdefData& a = data->attdef;
    return readAttribute(drawing, header, a, a.defaultValue, sizeof a.defaultValue, a.prompt);
}

int adDwgReadAttribEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdAttribData& a = data->attrib;
    return readAttribute(drawing, header, a, a.value, sizeof a.value, nullptr);
}

int adDwgReadShapeEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdShapeData& s = data->shape;
    adBitRead3D(s.insertion);
    adBitReadDouble(&s.size);
    adBitReadDouble(&s.rotation);
    adBitReadDouble(&s.widthFactor);
    adBitReadDouble(&s.obliqueAngle);
    adBitReadDouble(&header->thickness);
    s.shapeNumber = static_cast<std::uint8_t>(adBitReadShort());
    adDwgReadNormal(header->extrusion);
    return adDwgReadHandlesWith(drawing, header, &s.style, nullptr);
}
