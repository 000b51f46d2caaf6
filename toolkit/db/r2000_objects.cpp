// Upgrading a drawing older than AC1015: the layouts, the plot-style-name
// and plot-settings dictionaries and the wipeout variables that every
// AC1015 drawing has, entered in the named-object dictionary.
#include "toolkit/db/completion_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/db/load_stages.h"

namespace {
const std::int16_t kModelLayoutFlag = 1024;

enum Entry { kLayouts, kPlotSettings, kPlotStyles, kWipeout, kEntryCount };
const char* const kEntryNames[kEntryCount] = {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_PLOTSTYLENAME",
                                              "ACAD_WIPEOUT_VARS"};

bool readRoot(AdDrawing* drawing, AdObjectHeader* header, AdObjectData* data) {
    return adObjectRewind(drawing) && adObjectNext(drawing, header, data) && header->type == AD_OBJECT_DICTIONARY;
}

// The placeholder "Normal" is the default plot style, and every layer's.
bool addPlotStyles(AdDrawing* drawing, const AdHandle& root, AdHandle* made) {
    AdObjectHeader header{};
    header.type = adClassNumPlaceholder(drawing);
    AdPlaceholderData placeholder{};
    AdHandle dictionary{};
    if (header.type == 0 || adClassNumDictionaryWithDefault(drawing) == 0 || !adNextHandle(drawing, &header.handle) ||
        !adNextHandle(drawing, &dictionary) || !adCompletionAddObject(drawing, &header, &placeholder, &dictionary))
        return false;
    const AdHandle normal = header.handle;
    const char* const names[] = {"Normal"};
    AdDictionaryData entries{};
    if (!adCompletionDictionaryData(names, &normal, 1, &entries)) return false;
    AdDictionaryWithDefaultData data{};
    data.entryCount = entries.entryCount;
    data.entries = entries.entries;
    data.cloning = 1;
    data.defaultEntry = normal;
    header = AdObjectHeader{};
    header.type = adClassNumDictionaryWithDefault(drawing);
    header.handle = dictionary;
    if (!adCompletionAddObject(drawing, &header, &data, &root)) return false;
    *made = drawing->plotStyleDictionary = dictionary;
    AdLayerRecord layer{};
    const std::int32_t count = adLayerCount(drawing);
    adLayerRewind(drawing);
    for (std::int32_t i = 0; i < count && adLayerNext(drawing, &layer); ++i) {
        layer.plotStyle = normal;
        adLayerUpdate(drawing, &layer);
    }
    return true;
}

bool addLayout(AdDrawing* drawing, const char* name, const AdHandle& block, const AdHandle& dictionary,
               AdHandle* made) {
    AdObjectHeader header{};
    header.type = adClassNumLayout(drawing);
    AdLayoutData data{};
    adObjectDefaults(drawing, &header, &data);
    if (!adNextHandle(drawing, &header.handle)) return false;
    adTableCopyText(data.name, sizeof data.name, name);
    data.paperSpaceBlock = block;
    if (&block == &drawing->modelSpaceBlock)
        data.plotSettings.layoutFlags = static_cast<std::int16_t>(data.plotSettings.layoutFlags | kModelLayoutFlag);
    if (!adCompletionAddObject(drawing, &header, &data, &dictionary)) return false;
    *made = header.handle;
    AdBlockHeader record{};
    if (adBlockByHandle(drawing, &block, &record)) {
        record.layout = header.handle;
        adBlockUpdate(drawing, &record);
    }
    return true;
}

bool addLayouts(AdDrawing* drawing, const AdHandle& root, AdHandle* made) {
    AdHandle dictionary{};
    AdHandle layouts[2];  // in the order of the entries: Layout1, Model
    if (adClassNumLayout(drawing) == 0 || !adNextHandle(drawing, &dictionary) ||
        !addLayout(drawing, "Model", drawing->modelSpaceBlock, dictionary, &layouts[1]) ||
        !addLayout(drawing, "Layout1", drawing->paperSpaceBlock, dictionary, &layouts[0]))
        return false;
    const char* const names[] = {"Layout1", "Model"};
    AdObjectHeader header{};
    header.type = AD_OBJECT_DICTIONARY;
    header.handle = dictionary;
    AdDictionaryData data{};
    if (!adCompletionDictionaryData(names, layouts, 2, &data) ||
        !adCompletionAddObject(drawing, &header, &data, &root))
        return false;
    *made = drawing->layoutDictionary = dictionary;
    return true;
}

bool addPlotSettings(AdDrawing* drawing, const AdHandle& root, AdHandle* made) {
    AdObjectHeader header{};
    header.type = AD_OBJECT_DICTIONARY;
    AdDictionaryData data{};
    if (!adNextHandle(drawing, &header.handle) || !adCompletionDictionaryData(nullptr, nullptr, 0, &data) ||
        !adCompletionAddObject(drawing, &header, &data, &root))
        return false;
    *made = drawing->plotSettingsDictionary = header.handle;
    return true;
}

bool addWipeoutVariables(AdDrawing* drawing, const AdHandle& root, AdHandle* made) {
    AdObjectHeader header{};
    header.type = adClassNumWipeoutVariables(drawing);
    AdWipeoutVariablesData data{};
    if (header.type == 0) return false;
    adObjectDefaults(drawing, &header, &data);
    if (!adNextHandle(drawing, &header.handle) || !adCompletionAddObject(drawing, &header, &data, &root)) return false;
    *made = header.handle;
    return true;
}

// The root keeps its entries; those made here that it lacks (any case) are
// added after them.
bool rewriteRoot(AdDrawing* drawing, AdObjectHeader* header, AdDictionaryData* data, const AdHandle* made) {
    bool present[kEntryCount] = {};
    AdStore* entries = nullptr;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(&entries, &out)) return false;
    AdStream* in = data->entries ? adStreamOpenRead(data->entries) : nullptr;
    bool ok = !data->entries || in;
    std::int32_t count = 0;
    AdNameRecord entry{};
    for (std::int32_t i = 0; ok && in && i < data->entryCount && adStreamReadNameRecord(in, &entry); ++i, ++count) {
        for (int e = 0; e < kEntryCount; ++e)
            if (adStrCompareNoCase(entry.name, kEntryNames[e]) == 0) present[e] = true;
        ok = adStreamWriteNameRecord(out, &entry) != 0;
    }
    if (in) adStreamCloseRead(in);
    for (int e = 0; ok && e < kEntryCount; ++e) {
        if (present[e] || adHandleLength(&made[e]) == 0) continue;
        entry = AdNameRecord{};
        adTableCopyText(entry.name, sizeof entry.name, kEntryNames[e]);
        entry.handle = made[e];
        ok = adStreamWriteNameRecord(out, &entry) != 0;
        ++count;
    }
    if (!adDwgCloseStore(&entries, out, ok)) return false;
    AdStore* old = data->entries;
    data->entries = entries;
    data->entryCount = count;
    if (!adObjectUpdate(drawing, header, data)) {
        adStoreFree(entries);
        return false;
    }
    if (old) adStoreFree(old);
    return true;
}
}  // namespace

int adCompleteR2000Objects(AdDrawing* drawing) {
    if (!drawing || !drawing->header) return 0;
    AdObjectHeader header{};
    AdObjectData data;
    if (adObjectCount(drawing) == 0 && !adCompleteR12Objects(drawing, drawing->header, nullptr)) return 0;
    if (!readRoot(drawing, &header, &data)) return 0;
    const AdHandle root = header.handle;
    AdHandle made[kEntryCount] = {};
    const bool hasLayouts = adDictionaryFindEntry(drawing, &root, "ACAD_LAYOUT", &drawing->layoutDictionary) != 0;
    if (hasLayouts) adRestoreLongLayoutNames(drawing, &root);
    const bool built = addPlotStyles(drawing, root, &made[kPlotStyles]) &&
                       (hasLayouts || addLayouts(drawing, root, &made[kLayouts])) &&
                       addPlotSettings(drawing, root, &made[kPlotSettings]) &&
                       addWipeoutVariables(drawing, root, &made[kWipeout]);
    // What was made is entered even when a later object could not be.
    if (!readRoot(drawing, &header, &data)) return 0;
    return rewriteRoot(drawing, &header, &data.dictionary, made) && built;
}
