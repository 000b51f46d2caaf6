// GROUP objects of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kGroupType = 72;
}  // namespace

int adDwgReadGroup(AdDrawing* drawing, AdObjectHeader* header, void* out, std::uint8_t* xdataFlag) {
    auto* data = static_cast<AdGroupData*>(out);
    if (!adDwgStartObject(drawing, header, kGroupType, xdataFlag)) return 0;
    header->type = AD_OBJECT_GROUP;
    adDwgReadCutText(data->description, AD_OBJECT_NAME_SIZE);
    data->unnamed = adBitReadShort();
    data->selectable = adBitReadShort();
    data->memberCount = adBitReadLong();
    // The group's owner and extension dictionary are not kept.
    int ok = adBitUsable() && data->memberCount >= 0 && adDwgReadObjectHandles(drawing, header);
    header->owner = AdHandle{};
    header->extensionDictionary = AdHandle{};
    ok = ok && adDwgReadHandleStore(&header->handle, data->memberCount, &data->members);
    if (!ok) adObjectFreeData(drawing, header, data);
    return ok;
}
