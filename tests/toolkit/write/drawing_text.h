// Small DXF drawings written as text for the writers' tests, and a dump of a
// drawing's database through its cursors for before-and-after comparisons.
#pragma once
#include "toolkit/write/writer.h"

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// Groups as an ASCII DXF file holds them.
inline std::string dxfGroups(const std::vector<std::pair<int, std::string>>& groups) {
    std::string text;
    for (const auto& [code, value] : groups) text += std::to_string(code) + "\n" + value + "\n";
    return text;
}

// An AC1009 drawing with the given layers, one external-reference block
// XREF1 and the given entity groups.
inline std::string r12Drawing(const std::vector<std::string>& layers, const std::string& entities = "") {
    std::string s = dxfGroups({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}, {9, "$HANDLING"},
                               {70, "1"}, {9, "$HANDSEED"}, {5, "200"}, {0, "ENDSEC"}});
    s += dxfGroups({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {70, std::to_string(layers.size())}});
    for (const std::string& layer : layers) s += dxfGroups({{0, "LAYER"}, {2, layer}, {70, "0"}, {62, "7"}, {6, "CONTINUOUS"}});
    s += dxfGroups({{0, "ENDTAB"}, {0, "ENDSEC"}});
    s += dxfGroups({{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {8, "0"}, {2, "XREF1"}, {70, "4"}, {10, "0"},
                    {20, "0"}, {30, "0"}, {3, "XREF1"}, {1, "x.dwg"}, {0, "ENDBLK"}, {8, "0"}, {0, "ENDSEC"}});
    s += dxfGroups({{0, "SECTION"}, {2, "ENTITIES"}});
    s += entities;
    s += dxfGroups({{0, "ENDSEC"}, {0, "EOF"}});
    return s;
}

// The groups of an ASCII file as (code, value) pairs.
inline std::vector<std::pair<int, std::string>> groupsOf(const std::string& text) {
    std::vector<std::pair<int, std::string>> groups;
    std::istringstream in(text);
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value)) {
        if (!value.empty() && value.back() == '\r') value.pop_back();
        groups.push_back({std::stoi(code), value});
    }
    return groups;
}

inline std::string hex(const AdHandle& handle) {
    char text[AD_HANDLE_HEX_SIZE];
    adHandleToHex(&handle, text, sizeof text);
    return text;
}

// Every table record, block with its entities, class and object, by the
// fields a save could disturb.
inline std::string dumpDrawing(AdDrawing* drawing) {
    std::ostringstream out;
    auto layer = std::make_unique<AdLayerRecord>();
    for (adLayerRewind(drawing); adLayerNext(drawing, layer.get());)
        out << "LAYER " << layer->name << ' ' << hex(layer->handle) << ' ' << layer->colour << '\n';
    auto ltype = std::make_unique<AdLtypeRecord>();
    for (adLtypeRewind(drawing); adLtypeNext(drawing, ltype.get());)
        out << "LTYPE " << ltype->name << ' ' << hex(ltype->handle) << '\n';
    auto style = std::make_unique<AdStyleRecord>();
    for (adStyleRewind(drawing); adStyleNext(drawing, style.get());)
        out << "STYLE " << style->name << ' ' << hex(style->handle) << '\n';
    auto appid = std::make_unique<AdAppidRecord>();
    for (adAppidRewind(drawing); adAppidNext(drawing, appid.get());)
        out << "APPID " << appid->name << ' ' << hex(appid->handle) << '\n';
    auto klass = std::make_unique<AdClassRecord>();
    for (adClassRewind(drawing); adClassNext(drawing, klass.get());)
        out << "CLASS " << klass->number << ' ' << klass->dxfName << '\n';
    auto block = std::make_unique<AdBlockHeader>();
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    std::vector<AdRecordList*> lists;
    for (adBlockRewind(drawing); adBlockNext(drawing, block.get());) {
        out << "BLOCK " << block->name << ' ' << hex(block->handle) << " xdict " << hex(block->extensionDictionary)
            << '\n';
        lists.push_back(block->entities);
    }
    for (AdRecordList* list : lists) {
        if (!list) continue;
        for (adEntityRewind(list); adEntityNext(list, header.get(), data.get());)
            out << "  ENTITY " << header->type << ' ' << hex(header->handle) << ' ' << hex(header->layer) << '\n';
    }
    AdObjectHeader object{};
    auto objectData = std::make_unique<AdObjectData>();
    for (adObjectRewind(drawing); adObjectNext(drawing, &object, objectData.get());) {
        out << "OBJECT " << object.type << ' ' << hex(object.handle) << " owner " << hex(object.owner) << '\n';
        if (object.type != AD_OBJECT_DICTIONARY || !objectData->dictionary.entries) continue;
        AdStream* entries = adStreamOpenRead(objectData->dictionary.entries);
        AdNameRecord entry{};
        for (std::int32_t i = 0; i < objectData->dictionary.entryCount && adStreamReadNameRecord(entries, &entry); ++i)
            out << "  ENTRY " << entry.name << ' ' << hex(entry.handle) << '\n';
        adStreamCloseRead(entries);
    }
    return out.str();
}
