// Type data of TEXT, ATTDEF and ATTRIB in fixed-record files: their own
// first fields, then the text options they share, each governed by the
// option bit b shifted left by its place.
#include "toolkit/db/r12/r12_entities.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double kWidthFactorLimit = 100.0;

void readTextOptions(AdR12Entity* entity, AdEntityHeader* header, AdTextFields* fields, std::uint16_t b) {
    AdR12Record* record = &entity->record;
    const std::uint16_t options = entity->options;
    fields->rotation = 0.0;
    fields->widthFactor = 1.0;
    fields->obliqueAngle = 0.0;
    fields->generation = fields->horizontalAlignment = fields->verticalAlignment = 0;
    fields->alignment[0] = fields->alignment[1] = 0.0;
    if (options & b) fields->rotation = adR12ReadDouble(record);
    if (options & (b << 1)) {
        const double width = adR12ReadDouble(record);
        fields->widthFactor = std::fabs(width) > kWidthFactorLimit ? 1.0 : width;
    }
    if (options & (b << 2)) fields->obliqueAngle = adR12ReadDouble(record);
    if (options & (b << 3)) adGlobals->entityIndexes.textStyle = adR12ReadByte(record);
    if (options & (b << 4)) fields->generation = adR12ReadByte(record);
    if (options & (b << 5)) fields->horizontalAlignment = adR12ReadByte(record);
    if (options & (b << 6)) adR12Read2D(record, fields->alignment);
    if (entity->version >= AD_R12_AC1006 && (options & (b << 7))) adR12ReadExtrusion(record, header);
    if (entity->version >= AD_R12_AC1009 && (options & (b << 8))) fields->verticalAlignment = adR12ReadByte(record);
}

// Insertion point and height, which the three types begin with.
void readPlacement(AdR12Record* record, double insertion[3], AdTextFields* fields) {
    adR12ReadPoint(record, insertion);
    fields->height = adR12ReadDouble(record);
}

struct TextField {
    char* text;
    std::size_t size;
};

// ATTDEF and ATTRIB: placement, their texts in file order, the attribute
// flags, the field length when option 0x01 gives it, then the text options.
template <class Attribute>
void readAttribute(AdR12Entity* entity, AdEntityHeader* header, Attribute* a, std::initializer_list<TextField> texts) {
    readPlacement(&entity->record, a->insertion, &a->fields);
    for (const TextField& t : texts) adR12ReadTextField(&entity->record, t.text, t.size);
    a->attributeFlags = adR12ReadByte(&entity->record);
    if (entity->options & 0x01) a->fieldLength = adR12ReadByte(&entity->record);
    readTextOptions(entity, header, &a->fields, 0x02);
}

}  // namespace

void adR12ReadTextEntity(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdTextData& text = data->text;
    readPlacement(&entity->record, text.insertion, &text.fields);
    adR12ReadTextField(&entity->record, text.text, sizeof text.text);
    readTextOptions(entity, header, &text.fields, 0x01);
}

void adR12ReadAttdef(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdAttdefData& a = data->attdef;
    readAttribute(entity, header, &a,
                  {{a.defaultValue, sizeof a.defaultValue}, {a.prompt, sizeof a.prompt}, {a.tag, sizeof a.tag}});
}

void adR12ReadAttrib(AdR12Entity* entity, AdEntityHeader* header, AdEntityData* data) {
    AdAttribData& a = data->attrib;
    readAttribute(entity, header, &a, {{a.value, sizeof a.value}, {a.tag, sizeof a.tag}});
}
