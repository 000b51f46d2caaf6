// DICTIONARY objects of AC1012 and later files: entry names first, their
// handles after the object's own handles.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int16_t kDictionaryType = 42;
// A name takes at least its 2-bit length, so the data bounds the count.
constexpr std::int32_t kMinNameBits = 2;

// Pairs the names with the handles that follow into the data's store.
int readEntries(const AdObjectHeader* header, AdNameRecord* names, std::int32_t count, AdStore** entries) {
    for (std::int32_t i = 0; i < count && adBitUsable(); ++i)
        adBitReadRelHandle(&header->handle, &names[i].handle);
    if (!adBitUsable()) return 0;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(entries, &out)) return 0;
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count; ++i) ok = adStreamWriteNameRecord(out, &names[i]) != 0;
    return adDwgCloseStore(entries, out, ok);
}
}  // namespace

int adDwgReadDictionary(AdDrawing* drawing, AdObjectHeader* header, void* out, std::uint8_t* xdataFlag) {
    auto* data = static_cast<AdDictionaryData*>(out);
    if (!adDwgStartObject(drawing, header, kDictionaryType, xdataFlag)) return 0;
    header->type = AD_OBJECT_DICTIONARY;
    const std::int32_t count = adBitReadLong();
    data->hardOwner = 0;
    data->cloning = 1;
    if (drawing->version == AD_VERSION_AC1014) adBitReadByte();
    if (drawing->version >= AD_DWG_AC1015) {
        data->cloning = adBitReadShort();
        data->hardOwner = adBitReadByte();
    }
    data->entryCount = count;
    const int ok = adDwgReadNamedEntries(drawing, header, count, &data->entries);
    if (!ok) adObjectFreeData(drawing, header, data);
    return ok;
}

int adDwgReadNamedEntries(AdDrawing* drawing, AdObjectHeader* header, std::int32_t count, AdStore** entries) {
    if (!adBitUsable() || count < 0 || count > adDwgBitsLeft() / kMinNameBits) return 0;
    auto* names = count ? static_cast<AdNameRecord*>(HostAlloc(sizeof(AdNameRecord) * count)) : nullptr;
    if (count && !names) {
        adNoMemory(AD_ERR_STREAM_MEMORY);
        return 0;
    }
    for (std::int32_t i = 0; i < count && adBitUsable(); ++i) {
        names[i] = AdNameRecord{};
        adDwgReadCutText(names[i].name, AD_NAME_RECORD_NAME_SIZE);
    }
    int ok = adDwgReadObjectHandles(drawing, header);
    if (ok && count) ok = readEntries(header, names, count, entries);
    if (names) HostFree(names);
    return ok;
}
