// The DXF readers of DICTIONARY, GROUP and MLINESTYLE objects.
#include "toolkit/db/dxf/dxf_object_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {

// The linetype's position in the LTYPE table; a name no record carries is
// taken as BYLAYER, the linetype an element without its own has.
std::int16_t linetypeIndex(AdDrawing* drawing, const char* name) {
    if (adStrCompareNoCase(name, "BYLAYER") == 0) return AD_LINETYPE_INDEX_BYLAYER;
    if (adStrCompareNoCase(name, "BYBLOCK") == 0) return AD_LINETYPE_INDEX_BYBLOCK;
    AdLtypeRecord record{};
    std::int16_t index = 0;
    for (int ok = adLtypeRewind(drawing) && adLtypeNext(drawing, &record); ok && index < AD_LINETYPE_INDEX_BYBLOCK;
         ok = adLtypeNext(drawing, &record), ++index)
        if (adStrCompareNoCase(record.name, name) == 0) return index;
    return AD_LINETYPE_INDEX_BYLAYER;
}

AdDxfObjectRead begin(AdDrawing* drawing, AdObjectHeader* header, std::uint8_t* xdataFlag) {
    return {drawing, header, xdataFlag};
}
}  // namespace

AdStream* adDxfAppendTo(AdStore** store) {
    if (!*store) *store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = *store ? adStreamOpenAppend(*store) : nullptr;
    if (!stream) adFatalError(AD_FATAL_NO_MEMORY);
    return stream;
}

bool adDxfAppendHandle(AdStore** store, std::int32_t* count) {
    AdStream* stream = adDxfAppendTo(store);
    if (!stream) return false;
    const bool ok = adStreamWriteHandle(stream, &adDxfToken().handle) != 0;
    if (ok) ++*count;
    return adStreamCloseAppend(stream) && ok;
}

bool adDxfReadEntries(AdDxfObjectRead& read, AdStore** entries, std::int32_t* count) {
    AdNameRecord entry{};
    adDxfCopyText(entry.name, sizeof entry.name, adDxfToken().text);
    if (!adDxfObjectGroup(read)) return true;
    entry.handle = adDxfToken().handle;
    AdStream* stream = adDxfAppendTo(entries);
    if (!stream) return false;
    const bool ok = adStreamWriteNameRecord(stream, &entry) != 0;
    if (ok) ++*count;
    return adStreamCloseAppend(stream) && ok;
}

int adDxfDictionaryRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag) {
    if (!drawing || !header || !data || !xdataFlag || !adGlobals) return 0;
    AdDxfObjectRead read = begin(drawing, header, xdataFlag);
    auto& d = *static_cast<AdDictionaryData*>(data);
    d = AdDictionaryData{};
    if (!adDxfObjectStart(read, AD_OBJECT_DICTIONARY, false)) return 0;
    bool ok = true;
    while (ok && adDxfObjectGroup(read)) {
        switch (adDxfToken().code) {
            case 3: ok = adDxfReadEntries(read, &d.entries, &d.entryCount); break;
            case 280: d.hardOwner = static_cast<std::int16_t>(adDxfTokenInteger()); break;
            case 281: d.cloning = static_cast<std::int16_t>(adDxfTokenInteger()); break;
            default: break;
        }
    }
    return ok ? 1 : 0;
}

int adDxfGroupRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag) {
    if (!drawing || !header || !data || !xdataFlag || !adGlobals) return 0;
    AdDxfObjectRead read = begin(drawing, header, xdataFlag);
    auto& d = *static_cast<AdGroupData*>(data);
    d = AdGroupData{};
    if (!adDxfObjectStart(read, AD_OBJECT_GROUP, false)) return 0;
    bool ok = true;
    while (ok && adDxfObjectGroup(read)) {
        const AdDxfToken& t = adDxfToken();
        if (t.code == 340) ok = adDxfAppendHandle(&d.members, &d.memberCount);
        else if (d.memberCount > 0) continue;
        else if (t.code == 300) adDxfCopyText(d.description, sizeof d.description, t.text);
        else if (t.code == 70) d.unnamed = static_cast<std::int16_t>(adDxfTokenInteger());
        else if (t.code == 71) d.selectable = static_cast<std::int16_t>(adDxfTokenInteger());
    }
    return ok ? 1 : 0;
}

// The style's own groups go through its table map; then each element is
// exactly an offset (49), a colour (62) and a linetype name (6).
int adDxfMlineStyleRead(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag) {
    if (!drawing || !header || !data || !xdataFlag || !adGlobals) return 0;
    AdDxfObjectRead read = begin(drawing, header, xdataFlag);
    auto& d = *static_cast<AdMlineStyleData*>(data);
    d = AdMlineStyleData{};
    const std::int64_t start = adDxfTell(drawing);
    if (!adDxfObjectStart(read, AD_OBJECT_MLINESTYLE, false) || !adDxfSeek(drawing, start)) return 0;
    if (!adDxfReadTableRecord(drawing, AD_DXF_KIND_MLINESTYLE, &d, xdataFlag, &header->reactorCount,
                              &header->reactors, header))
        return 0;
    AdStream* stream = d.elementCount > 0 ? adDxfAppendTo(&d.elements) : nullptr;
    if (d.elementCount > 0 && !stream) return 0;
    bool ok = true;
    std::uint8_t count = 0;
    for (int e = 0; ok && e < d.elementCount; ++e) {
        AdMlineElement element{};
        if (!adDxfObjectGroup(read)) break;
        element.offset = adDxfToken().real;
        if (!adDxfObjectGroup(read)) break;
        element.colour = static_cast<std::int16_t>(adDxfTokenInteger());
        if (!adDxfObjectGroup(read)) break;
        element.linetypeIndex = linetypeIndex(drawing, adDxfToken().text);
        ok = adStreamWriteMlineElement(stream, &element) != 0;
        ++count;
    }
    d.elementCount = count;
    if (stream) ok = adStreamCloseAppend(stream) && ok;
    adDxfObjectSkip(read);
    return ok ? 1 : 0;
}
