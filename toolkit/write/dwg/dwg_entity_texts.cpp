// Text entity records: TEXT, ATTRIB, ATTDEF and SHAPE. AC1015 leaves out
// the text fields that hold their usual values and says so in a flag byte.
#include "toolkit/write/dwg/dwg_entity_head.h"

namespace {

std::uint8_t ac1015Flags(const double insertion[3], const AdTextFields& f) {
    std::uint8_t flags = 0;
    if (insertion[2] == 0.0) flags |= AD_DWG_TEXT_NO_ELEVATION;
    if (f.alignment[0] == 0.0 && f.alignment[1] == 0.0) flags |= AD_DWG_TEXT_NO_ALIGNMENT;
    if (f.obliqueAngle == 0.0) flags |= AD_DWG_TEXT_NO_OBLIQUE;
    if (f.rotation == 0.0) flags |= AD_DWG_TEXT_NO_ROTATION;
    if (f.widthFactor == 1.0) flags |= AD_DWG_TEXT_NO_WIDTH_FACTOR;
    if (f.generation == 0) flags |= AD_DWG_TEXT_NO_GENERATION;
    if (f.horizontalAlignment == 0) flags |= AD_DWG_TEXT_NO_HORIZONTAL;
    if (f.verticalAlignment == 0) flags |= AD_DWG_TEXT_NO_VERTICAL;
    return flags;
}

void writeAc1015(const AdEntityHeader* header, const double insertion[3], const AdTextFields& f,
                 const char* text) {
    const std::uint8_t flags = ac1015Flags(insertion, f);
    adBitWriteByte(flags);
    if (!(flags & AD_DWG_TEXT_NO_ELEVATION)) adBitWriteRawDouble(insertion[2]);
    adBitWriteRaw2D(insertion);
    if (!(flags & AD_DWG_TEXT_NO_ALIGNMENT)) {
        adBitWriteDefDouble(f.alignment[0], insertion[0]);
        adBitWriteDefDouble(f.alignment[1], insertion[1]);
    }
    adBitWriteExtrusion(header->extrusion);
    adBitWriteThickness(header->thickness);
    if (!(flags & AD_DWG_TEXT_NO_OBLIQUE)) adBitWriteRawDouble(f.obliqueAngle);
    if (!(flags & AD_DWG_TEXT_NO_ROTATION)) adBitWriteRawDouble(f.rotation);
    adBitWriteRawDouble(f.height);
    if (!(flags & AD_DWG_TEXT_NO_WIDTH_FACTOR)) adBitWriteRawDouble(f.widthFactor);
    adBitWriteText(text);
    if (!(flags & AD_DWG_TEXT_NO_GENERATION)) adBitWriteShort(f.generation);
    if (!(flags & AD_DWG_TEXT_NO_HORIZONTAL)) adBitWriteShort(f.horizontalAlignment);
    if (!(flags & AD_DWG_TEXT_NO_VERTICAL)) adBitWriteShort(f.verticalAlignment);
}

void writeAc1012(const AdEntityHeader* header, const double insertion[3], const AdTextFields& f,
                 const char* text) {
    adBitWriteDouble(insertion[2]);
    adBitWriteRaw2D(insertion);
    adBitWriteTextGeometry(header, &f);
    adBitWriteText(text);
    adBitWriteShort(f.generation);
    adBitWriteShort(f.horizontalAlignment);
    adBitWriteShort(f.verticalAlignment);
}

void writeTextPart(const AdDwgWriter* writer, const AdEntityHeader* header, const double insertion[3],
                   const AdTextFields& f, const char* text) {
    if (writer->version >= AD_VERSION_AC1015) writeAc1015(header, insertion, f, text);
    else writeAc1012(header, insertion, f, text);
}

int writeStyle(AdDwgWriter* writer, const AdEntityHeader* header, std::int16_t type, const AdDwgEntityLinks& links,
               const AdHandle& style) {
    return adDwgEntityHandlesWith(writer, header, type, links, {&style});
}

// ATTRIB and ATTDEF: the text part carries the value, then come the tag,
// the field length, the flags and, for ATTDEF, the prompt.
template <class Attribute>
void writeAttribute(const Attribute& a) {
    adBitWriteText(a.tag);
    adBitWriteShort(a.fieldLength);
    adBitWriteByte(a.attributeFlags);
}
}  // namespace

int adDwgWriteTextEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                         const AdDwgEntityLinks& links, std::int16_t type) {
    if (type == AD_DWG_ATTRIB) {
        const AdAttribData& a = data->attrib;
        writeTextPart(writer, header, a.insertion, a.fields, a.value);
        writeAttribute(a);
        return writeStyle(writer, header, type, links, a.fields.style);
    }
    if (type == AD_DWG_ATTDEF) {
        const AdAttdefData& a = data->attdef;
        writeTextPart(writer, header, a.insertion, a.fields, a.defaultValue);
        writeAttribute(a);
        adBitWriteText(a.prompt);
        return writeStyle(writer, header, type, links, a.fields.style);
    }
    const AdTextData& t = data->text;
    writeTextPart(writer, header, t.insertion, t.fields, t.text);
    return writeStyle(writer, header, type, links, t.fields.style);
}

int adDwgWriteShapeEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                          const AdDwgEntityLinks& links, std::int16_t type) {
    const AdShapeData& s = data->shape;
    adBitWrite3D(s.insertion);
    adBitWriteDouble(s.size);
    adBitWriteDouble(s.rotation);
    adBitWriteDouble(s.widthFactor);
    adBitWriteDouble(s.obliqueAngle);
    adBitWriteDouble(header->thickness);
    adBitWriteShort(s.shapeNumber);
    adBitWrite3D(header->extrusion);
    return writeStyle(writer, header, type, links, s.style);
}
