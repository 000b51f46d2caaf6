// Layout names longer than an older release allowed survive a round trip
// through it in the named-object dictionary's "ACAD_XREC_ROUNDTRIP" record:
// an "EXTNAMES" list of (short name, long name) pairs. On upgrade the layout
// dictionary takes its long names back.
#include "toolkit/db/completion_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/table_cursor.h"

#include <cstring>

namespace {
// The items of the root's round-trip XRECORD, or null when there is none.
AdStore* roundTripItems(AdDrawing* drawing, const AdHandle& root) {
    AdObjectHeader header{};
    AdObjectData data;
    if (!adObjectByHandle(drawing, &root, &header, &data) || adHandleLength(&header.extensionDictionary) == 0)
        return nullptr;
    const AdHandle extension = header.extensionDictionary;
    AdHandle roundTrip{};
    if (!adDictionaryFindEntry(drawing, &extension, "ACAD_XREC_ROUNDTRIP", &roundTrip) ||
        !adObjectByHandle(drawing, &roundTrip, &header, &data) || header.type != adClassNumXrecord(drawing))
        return nullptr;
    return data.xrecord.items;
}

// The long name of name when the items are an EXTNAMES list holding it as a
// code 1 item followed by a code 2 item.
bool longNameOf(AdStore* items, const char* name, AdGroupItem* longName) {
    AdStream* stream = adStreamOpenRead(items);
    if (!stream) return false;
    AdGroupItem item{};
    bool listed = adStreamReadGroupItem(stream, &item) && item.code == 102 &&
                  std::strcmp(item.value.text, "EXTNAMES") == 0;
    bool found = false, matched = false;
    while (listed && !found && adStreamReadGroupItem(stream, &item)) {
        found = matched && item.code == 2;
        matched = item.code == 1 && std::strcmp(item.value.text, name) == 0;
    }
    adStreamCloseRead(stream);
    if (found) *longName = item;
    return found;
}
}  // namespace

int adRestoreLongLayoutNames(AdDrawing* drawing, const AdHandle* root) {
    AdStore* items = roundTripItems(drawing, *root);
    if (!items) return 1;
    AdObjectHeader header{};
    AdObjectData data;
    if (!adObjectByHandle(drawing, &drawing->layoutDictionary, &header, &data) ||
        header.type != AD_OBJECT_DICTIONARY)
        return 0;
    AdStore* entries = nullptr;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(&entries, &out)) return 0;
    AdStream* in = data.dictionary.entries ? adStreamOpenRead(data.dictionary.entries) : nullptr;
    bool ok = in != nullptr;
    AdNameRecord entry{};
    AdGroupItem longName{};
    for (std::int32_t i = 0; ok && i < data.dictionary.entryCount && adStreamReadNameRecord(in, &entry); ++i) {
        if (longNameOf(items, entry.name, &longName))
            adTableCopyText(entry.name, sizeof entry.name, longName.value.text);
        ok = adStreamWriteNameRecord(out, &entry) != 0;
    }
    if (in) adStreamCloseRead(in);
    if (!adDwgCloseStore(&entries, out, ok)) return 0;
    AdStore* old = data.dictionary.entries;
    data.dictionary.entries = entries;
    if (!adObjectUpdate(drawing, &header, &data)) {
        adStoreFree(entries);
        return 0;
    }
    adStoreFree(old);
    return 1;
}
