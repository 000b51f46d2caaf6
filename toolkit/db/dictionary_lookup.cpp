// Lookups in the drawing's dictionaries: the root dictionary (the first
// object), dictionaries by handle, DICTIONARYVAR values and the clip filter
// of a block reference.
#include "toolkit/db/default_plot_style.h"

#include <charconv>
#include <cstring>

namespace {

// Which objects a lookup takes as dictionaries.
enum class DictionaryKinds { Plain, WithDefault };

struct Entries {
    AdStore* store;
    std::int32_t count;
};

// Reads the object with the handle, or the first object when there is no
// handle, and leaves the object cursor where it was: a walk over the objects
// may be using it.
int readObject(AdDrawing* drawing, const AdHandle* handle, AdObjectHeader* header, AdObjectData* data) {
    AdRecordList* list = drawing ? drawing->objects : nullptr;
    if (!list) return 0;
    AdListRecord* saved = adListCurrent(list);
    const int found = handle ? adObjectByHandle(drawing, handle, header, data)
                             : adObjectRewind(drawing) && adObjectNext(drawing, header, data);
    adListSetCurrent(list, saved);
    return found;
}

// The entries of a dictionary that has any.
int entriesOf(AdDrawing* drawing, const AdObjectHeader& header, const AdObjectData& data, DictionaryKinds kinds,
              Entries* entries) {
    const std::int16_t withDefault = adClassNumDictionaryWithDefault(drawing);
    if (header.type == AD_OBJECT_DICTIONARY)
        *entries = {data.dictionary.entries, data.dictionary.entryCount};
    else if (kinds == DictionaryKinds::WithDefault && withDefault != 0 && header.type == withDefault)
        *entries = {data.dictionaryWithDefault.entries, data.dictionaryWithDefault.entryCount};
    else
        return 0;
    return entries->store && entries->count > 0;
}

// The first entry of that name (exactly, or ignoring ASCII case); the walk
// stops at the entry count or the end of the store, whichever comes first.
int findEntry(const Entries& entries, const char* name, int ignoreCase, AdNameRecord* record) {
    AdStream* stream = name ? adStreamOpenRead(entries.store) : nullptr;
    if (!stream) return 0;
    int found = 0;
    for (std::int32_t i = 0; !found && i < entries.count && adStreamReadNameRecord(stream, record); ++i)
        found = ignoreCase ? adStrCompareNoCase(record->name, name) == 0 : std::strcmp(record->name, name) == 0;
    adStreamCloseRead(stream);
    return found;
}

// The entries of the dictionary with the handle (the root without one).
int openDictionary(AdDrawing* drawing, const AdHandle* dictionary, DictionaryKinds kinds, Entries* entries) {
    AdObjectHeader header;
    AdObjectData data;
    return readObject(drawing, dictionary, &header, &data) && entriesOf(drawing, header, data, kinds, entries);
}

int lookUp(AdDrawing* drawing, const AdHandle* dictionary, const char* name, DictionaryKinds kinds,
           AdHandle* handle) {
    Entries entries;
    AdNameRecord record;
    if (handle) *handle = AdHandle{};
    if (!openDictionary(drawing, dictionary, kinds, &entries) || !findEntry(entries, name, 0, &record)) return 0;
    if (handle) *handle = record.handle;
    return 1;
}

int decimalValue(const char* text, std::size_t size, std::int32_t* value) {
    const char* end = text + strnlen(text, size);
    return std::from_chars(text, end, *value).ec == std::errc{};
}

}  // namespace

int adSpaceBlockHandle(const AdDrawing* drawing, AdHandle* handle, int which) {
    if (!handle) return 0;
    *handle = AdHandle{};
    if (drawing && which == AD_SPACE_PAPER) *handle = drawing->paperSpaceBlock;
    if (drawing && which == AD_SPACE_MODEL) *handle = drawing->modelSpaceBlock;
    return adHandleLength(handle) != 0;
}

int adDictionaryFindEntry(AdDrawing* drawing, const AdHandle* dictionary, const char* name, AdHandle* handle) {
    return dictionary && lookUp(drawing, dictionary, name, DictionaryKinds::WithDefault, handle);
}

std::int32_t adDictionaryOpen(const char* name, AdDictionaryIterator* iterator) {
    if (!iterator) return 0;
    iterator->count = 0;
    iterator->entries = nullptr;
    iterator->position = 0;
    std::memset(&iterator->current, 0, sizeof iterator->current);
    AdHandle handle;
    Entries entries;
    if (!lookUp(iterator->drawing, nullptr, name, DictionaryKinds::WithDefault, &handle) ||
        !openDictionary(iterator->drawing, &handle, DictionaryKinds::WithDefault, &entries))
        return 0;
    iterator->entries = adStreamOpenRead(entries.store);
    if (!iterator->entries || !adStreamReadNameRecord(iterator->entries, &iterator->current)) {
        adDictionaryClose(iterator);
        return 0;
    }
    iterator->count = entries.count;
    return iterator->count;
}

const char* adDictionaryEntryName(const AdDictionaryIterator* iterator) {
    return iterator ? iterator->current.name : nullptr;
}

AdHandle adDictionaryEntryHandle(const AdDictionaryIterator* iterator) {
    return iterator ? iterator->current.handle : AdHandle{};
}

int adDictionaryNext(AdDictionaryIterator* iterator) {
    if (!iterator || !iterator->entries || iterator->position + 1 >= iterator->count) return 0;
    if (!adStreamReadNameRecord(iterator->entries, &iterator->current)) return 0;
    ++iterator->position;
    return 1;
}

int adDictionaryClose(AdDictionaryIterator* iterator) {
    if (!iterator) return 0;
    if (iterator->entries) adStreamCloseRead(iterator->entries);
    iterator->entries = nullptr;
    return 1;
}

std::int32_t adDictionaryVarInt(AdDrawing* drawing, const char* name, std::int32_t defaultValue) {
    AdRecordList* list = drawing ? drawing->objects : nullptr;
    const std::int16_t varClass = adClassNumDictionaryVar(drawing);
    if (!list || !name || varClass == 0) return defaultValue;
    AdListRecord* saved = adListCurrent(list);
    std::int32_t value = defaultValue;
    int found = 0;
    AdObjectHeader header;
    AdObjectData data;
    Entries entries;
    AdNameRecord record;
    adObjectRewind(drawing);
    while (!found && adObjectNext(drawing, &header, &data)) {
        if (header.type != AD_OBJECT_DICTIONARY || !entriesOf(drawing, header, data, DictionaryKinds::Plain, &entries) ||
            !findEntry(entries, name, 1, &record) || !readObject(drawing, &record.handle, &header, &data) ||
            header.type != varClass)
            continue;
        found = 1;
        if (!decimalValue(data.dictionaryVar.value, sizeof data.dictionaryVar.value, &value)) value = defaultValue;
    }
    adListSetCurrent(list, saved);
    return value;
}

int adFindSpatialFilter(AdDrawing* drawing, const AdEntityHeader* entity, AdHandle* filter) {
    if (!filter) return 0;
    *filter = AdHandle{};
    AdHandle acadFilter;
    AdHandle spatial;
    AdObjectHeader header;
    AdObjectData data;
    const std::int16_t filterClass = adClassNumSpatialFilter(drawing);
    if (!entity || filterClass == 0 ||
        !lookUp(drawing, &entity->extensionDictionary, "ACAD_FILTER", DictionaryKinds::Plain, &acadFilter) ||
        !lookUp(drawing, &acadFilter, "SPATIAL", DictionaryKinds::Plain, &spatial) ||
        !readObject(drawing, &spatial, &header, &data) || header.type != filterClass)
        return 0;
    *filter = spatial;
    return 1;
}

int adDefaultPlotStyle(AdDrawing* drawing, AdHandle* handle) {
    AdHandle styles;
    *handle = AdHandle{};
    return lookUp(drawing, nullptr, "ACAD_PLOTSTYLENAME", DictionaryKinds::WithDefault, &styles) &&
           lookUp(drawing, &styles, "Normal", DictionaryKinds::WithDefault, handle);
}
