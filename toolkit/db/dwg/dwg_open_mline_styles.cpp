// The last step of the bit-coded DWG open: the multiline styles, found
// through the named-object dictionary, are counted and the file is left at
// the first of them.
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>

namespace {
// The handle of the dictionary's entry of that name (names compare exactly),
// or of its first entry when no name is given; a null handle when the
// dictionary cannot be read or lacks the entry. Its entry count out.
AdHandle entryOf(AdDrawing* drawing, const AdHandle& dictionary, const char* name, std::int32_t* count) {
    AdObjectHeader header{};
    AdDictionaryData data{};
    std::uint8_t xdataFlag = 0;
    AdHandle found{};
    *count = 0;
    if (!adDwgSeekObject(drawing, &dictionary) || !adDwgReadDictionary(drawing, &header, &data, &xdataFlag))
        return found;
    *count = data.entryCount;
    AdStream* in = data.entries ? adStreamOpenRead(data.entries) : nullptr;
    AdNameRecord entry{};
    for (std::int32_t i = 0; in && i < data.entryCount && adStreamReadNameRecord(in, &entry); ++i)
        if (name ? std::strcmp(entry.name, name) == 0 : i == 0) {
            found = entry.handle;
            break;
        }
    if (in) adStreamCloseRead(in);
    adObjectFreeData(drawing, &header, &data);
    return found;
}
}  // namespace

int adDwgFindMlineStyles(AdDrawing* drawing) {
    drawing->dxfEntitiesStart = 0;
    drawing->dxfEntitiesEnd = 0;
    std::int32_t count = 0;
    const AdHandle styles = entryOf(drawing, drawing->namedObjectDictionary, "ACAD_MLINESTYLE", &count);
    const AdHandle first = adHandleLength(&styles) > 0 ? entryOf(drawing, styles, nullptr, &count) : AdHandle{};
    drawing->mlineStyleCount = adHandleLength(&styles) > 0 ? count : 0;
    if (adHandleLength(&first) > 0) adDwgSeekObject(drawing, &first);
    return 1;
}
