// MLINESTYLE objects of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

std::int16_t adDwgMlineStyleFlags(std::int32_t file) {
    const struct {
        std::int32_t from;
        std::int32_t to;
    } bits[] = {{0x01, 0x02}, {0x02, 0x01}, {0x10, 0x10}, {0x100, 0x100}, {0x20, 0x40},
                {0x40, 0x20}, {0x200, 0x400}, {0x400, 0x200}};
    std::int32_t flags = 0;
    for (const auto& bit : bits)
        if (file & bit.from) flags |= bit.to;
    return static_cast<std::int16_t>(flags);
}

namespace {
constexpr std::int16_t kMlineStyleType = 73;

int readElements(AdMlineStyleData* data) {
    AdStream* out = nullptr;
    if (!adDwgOpenStore(&data->elements, &out)) return 0;
    bool ok = true;
    for (std::int32_t i = 0; ok && i < data->elementCount; ++i) {
        AdMlineElement element{};
        adBitReadDouble(&element.offset);
        element.colour = adBitReadShort();
        element.linetypeIndex = adBitReadShort();
        ok = adBitUsable() && adStreamWriteMlineElement(out, &element);
    }
    return adDwgCloseStore(&data->elements, out, ok);
}
}  // namespace

int adDwgReadMlineStyle(AdDrawing* drawing, AdObjectHeader* header, void* out, std::uint8_t* xdataFlag) {
    auto* data = static_cast<AdMlineStyleData*>(out);
    if (!adDwgStartObject(drawing, header, kMlineStyleType, xdataFlag)) return 0;
    header->type = AD_OBJECT_MLINESTYLE;
    adDwgReadCutText(data->name, AD_OBJECT_NAME_SIZE);
    adDwgReadCutText(data->description, AD_OBJECT_SHORT_TEXT_SIZE);
    data->flags = adDwgMlineStyleFlags(static_cast<std::uint16_t>(adBitReadShort()));
    data->fillColour = adBitReadShort();
    adBitReadDouble(&data->startAngle);
    adBitReadDouble(&data->endAngle);
    data->elementCount = adBitReadByte();
    int ok = adBitUsable() && readElements(data) && adDwgReadObjectHandles(drawing, header);
    header->owner = AdHandle{};
    header->extensionDictionary = AdHandle{};
    if (!ok) adObjectFreeData(drawing, header, data);
    return ok;
}
