// The objects the load completion makes: dictionaries and multiline styles
// built in memory and stored like objects read from a file.
#include "toolkit/db/completion_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

#include <cstdio>
#include <initializer_list>

namespace {
const std::int16_t kByLayerLinetypeIndex = 32767;
const double kElementOffset = 0.5;

int elementStore(AdStore** store) {
    AdStream* out = nullptr;
    if (!adDwgOpenStore(store, &out)) return 0;
    bool ok = true;
    for (double offset : {kElementOffset, -kElementOffset}) {
        AdMlineElement element{};
        element.colour = AD_COLOR_BYLAYER;
        element.linetypeIndex = kByLayerLinetypeIndex;
        element.offset = offset;
        ok = ok && adStreamWriteMlineElement(out, &element);
    }
    return adDwgCloseStore(store, out, ok);
}
}  // namespace

int adCompletionHandleStore(const AdHandle* handles, std::int32_t count, AdStore** store) {
    AdStream* out = nullptr;
    if (!adDwgOpenStore(store, &out)) return 0;
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count; ++i) ok = adStreamWrite(out, handles[i].b, sizeof handles[i].b) != 0;
    return adDwgCloseStore(store, out, ok);
}

int adCompletionDictionaryData(const char* const* names, const AdHandle* handles, std::int32_t count,
                               AdDictionaryData* data) {
    *data = AdDictionaryData{};
    data->cloning = 1;
    if (count == 0) return 1;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(&data->entries, &out)) return 0;
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count; ++i) {
        AdNameRecord entry{};
        std::snprintf(entry.name, sizeof entry.name, "%s", names[i]);
        entry.handle = handles[i];
        ok = adStreamWriteNameRecord(out, &entry) != 0;
    }
    data->entryCount = count;
    return adDwgCloseStore(&data->entries, out, ok);
}

int adCompletionAddObject(AdDrawing* drawing, AdObjectHeader* header, void* data, const AdHandle* reactor) {
    bool ok = true;
    if (reactor) {
        header->owner = *reactor;
        header->reactorCount = 1;
        ok = adCompletionHandleStore(reactor, 1, &header->reactors) != 0;
    }
    if (ok && adObjectAdd(drawing, header, data)) return 1;
    adObjectFreeData(drawing, header, data);
    return 0;
}

int adCompletionAddMlineStyle(AdDrawing* drawing, const char* name, const AdHandle* handle, const AdHandle* reactor) {
    AdObjectHeader header{};
    AdMlineStyleData style{};
    header.type = AD_OBJECT_MLINESTYLE;
    adObjectDefaults(drawing, &header, &style);
    header.handle = *handle;
    std::snprintf(style.name, sizeof style.name, "%s", name);
    if (!elementStore(&style.elements)) return 0;
    return adCompletionAddObject(drawing, &header, &style, reactor);
}
