#include "dwg_object_tree.h"

#include "toolkit/db/object_kinds.h"
#include "toolkit/write/dwg/dwg_writer.h"

#include <cctype>
#include <cstring>
#include <memory>

namespace {
constexpr const char* kLaterRootEntries[] = {"ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS", "ACAD_PLOTSTYLENAME",
                                             "ACDBHEADERROUNDTRIPXREC"};
constexpr int kMaxDepth = 64;

std::string hex(const AdHandle& handle) {
    char text[AD_HANDLE_HEX_SIZE];
    adHandleToHex(&handle, text, sizeof text);
    return text;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::map<std::int16_t, std::string> classNames(AdDrawing* drawing) {
    std::map<std::int16_t, std::string> names;
    AdClassRecord record{};
    adClassRewind(drawing);
    while (adClassNext(drawing, &record)) names[record.number] = record.dxfName;
    return names;
}

// The type a proxy object names in its round-trip data, when that data is
// of the version; 0 otherwise.
std::int16_t roundTripType(const AdObjectHeader& header, std::int16_t version) {
    AdStream* in = header.xdata ? adStreamOpenRead(header.xdata) : nullptr;
    if (!in) return 0;
    auto item = std::make_unique<AdXdataItem>();
    std::vector<std::int32_t> values;
    bool marked = false;
    while (values.size() < 2 && adXdataReadItem(in, item.get())) {
        if (item->code == 1000) marked = std::strcmp(item->value.text, "AcadProxyRoundTripData") == 0;
        else if (item->code == 1071 && marked) values.push_back(item->value.int32);
        else marked = false;
    }
    adStreamCloseRead(in);
    if (values.size() < 2 || adRoundTripVersionIndex(values[1]) != version) return 0;
    return static_cast<std::int16_t>(values[0]);
}

// Proxy objects by the class they stand for, but at AC1012, whose files
// keep that class inside the data of a zombie object, all alike.
std::string kindOf(AdDrawing* drawing, const std::map<std::int16_t, std::string>& classes,
                   const AdObjectHeader& header, const AdObjectData& data, std::int16_t version) {
    switch (header.type) {
    case AD_OBJECT_DICTIONARY: return "DICTIONARY";
    case AD_OBJECT_MLINESTYLE: return "MLINESTYLE";
    case AD_OBJECT_GROUP: return "GROUP";
    default: break;
    }
    const auto found = classes.find(header.type);
    const bool zombie = found != classes.end() && found->second == "DxfZombieObject";
    if (found != classes.end() && !zombie) return found->second;
    if (adObjectKindOf(drawing, header.type) != AD_OBJECT_KIND_PROXY) return "type " + std::to_string(header.type);
    const std::int16_t own = roundTripType(header, version);
    if (own && classes.count(own)) return classes.at(own);
    return version == AD_VERSION_AC1012 ? "PROXY" : "PROXY " + std::to_string(data.proxy.classId);
}

std::vector<AdNameRecord> entriesOf(const AdDictionaryData& d) {
    std::vector<AdNameRecord> entries;
    AdStream* in = d.entries ? adStreamOpenRead(d.entries) : nullptr;
    AdNameRecord entry{};
    for (std::int32_t i = 0; in && i < d.entryCount && adStreamReadNameRecord(in, &entry); ++i) entries.push_back(entry);
    if (in) adStreamCloseRead(in);
    return entries;
}

// The root dictionary: the drawing's first object.
AdHandle rootOf(AdDrawing* drawing) {
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    adObjectRewind(drawing);
    if (!adObjectNext(drawing, &header, data.get()) || header.type != AD_OBJECT_DICTIONARY) return AdHandle{};
    return header.handle;
}

void collect(AdDrawing* drawing, const AdHandle& handle, std::set<std::string>* out, int depth) {
    if (depth > kMaxDepth || !out->insert(hex(handle)).second) return;
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    if (!adObjectByHandle(drawing, &handle, &header, data.get()) || header.type != AD_OBJECT_DICTIONARY) return;
    for (const AdNameRecord& entry : entriesOf(data->dictionary)) collect(drawing, entry.handle, out, depth + 1);
}
}  // namespace

std::set<std::string> roundTripObjects(AdDrawing* drawing) {
    std::set<std::string> objects;
    AdHandle entry{};
    const AdHandle root = rootOf(drawing);
    if (adDictionaryFindEntry(drawing, &root, "ACDBHEADERROUNDTRIPXREC", &entry))
        collect(drawing, entry, &objects, 0);
    return objects;
}

std::map<std::string, int> objectCounts(AdDrawing* drawing, std::int16_t version, const std::set<std::string>& leftOut) {
    const auto classes = classNames(drawing);
    std::map<std::string, int> counts;
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    adObjectRewind(drawing);
    while (adObjectNext(drawing, &header, data.get()))
        if (!leftOut.count(hex(header.handle))) ++counts[kindOf(drawing, classes, header, *data, version)];
    return counts;
}

std::vector<std::string> dictionaryTree(AdDrawing* drawing, std::int16_t version,
                                        const std::set<std::string>& leftOut) {
    const auto classes = classNames(drawing);
    const AdHandle rootHandle = rootOf(drawing);
    // The kind of every object by handle, read before the walk moves the cursor.
    std::map<std::string, std::string> kinds;
    std::vector<std::pair<AdObjectHeader, std::vector<AdNameRecord>>> dictionaries;
    std::map<std::string, std::string> listedIn;  // the first dictionary that lists each object
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    adObjectRewind(drawing);
    while (adObjectNext(drawing, &header, data.get())) {
        kinds[hex(header.handle)] = kindOf(drawing, classes, header, *data, version);
        if (header.type != AD_OBJECT_DICTIONARY || leftOut.count(hex(header.handle))) continue;
        dictionaries.push_back({header, entriesOf(data->dictionary)});
        for (const AdNameRecord& entry : dictionaries.back().second) listedIn.emplace(hex(entry.handle), hex(header.handle));
    }
    const bool older = version < AD_VERSION_AC1015;
    std::vector<std::string> lines;
    for (const auto& [dictionary, entries] : dictionaries) {
        const bool root = adHandleCompare(&dictionary.handle, &rootHandle) == 0;
        // A dictionary without an owner of its own belongs to the one that lists it.
        std::string owner = hex(dictionary.owner);
        const auto parent = listedIn.find(hex(dictionary.handle));
        if (adHandleLength(&dictionary.owner) == 0 && parent != listedIn.end()) owner = parent->second;
        std::string line = hex(dictionary.handle) + " owner " + owner + ":";
        for (const AdNameRecord& entry : entries) {
            if (leftOut.count(hex(entry.handle))) continue;
            bool later = false;
            for (const char* name : kLaterRootEntries) later = later || (root && older && upper(entry.name) == name);
            if (later) continue;
            const auto kind = kinds.find(hex(entry.handle));
            line += " " + (older ? upper(entry.name) : std::string(entry.name)) + "=" + hex(entry.handle) + ":" +
                    (kind == kinds.end() ? "none" : kind->second);
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> classLines(AdDrawing* drawing, std::int16_t version) {
    std::vector<std::string> lines;
    AdClassRecord record{};
    adClassRewind(drawing);
    while (adClassNext(drawing, &record)) {
        std::string line = std::to_string(record.number) + " " + record.dxfName + " " + record.className + " " +
                           std::to_string(record.isEntity);
        if (version >= AD_VERSION_AC1015)
            line += std::string(" ") + record.applicationName + " " + std::to_string(record.proxyFlags);
        lines.push_back(line);
    }
    return lines;
}
