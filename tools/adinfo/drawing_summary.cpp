// Opening one file through the toolkit and collecting what it holds.
#include "tools/adinfo/drawing_summary.h"

#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace {
const char* formatName(int format) {
    switch (format) {
        case AD_FORMAT_DWG: return "dwg";
        case AD_FORMAT_DXF_ASCII: return "dxf";
        case AD_FORMAT_DXF_BINARY: return "dxb";
        default: return "";
    }
}

std::string boundedText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

bool isSpaceBlock(const char* name) {
    return adStrCompareNoCase(name, "*MODEL_SPACE") == 0 || adStrCompareNoCase(name, "*PAPER_SPACE") == 0;
}

std::string classOrProxyName(AdDrawing* drawing, std::int32_t type, const char* proxy) {
    char name[AD_TABLE_NAME_SIZE];
    if (type >= AD_FIRST_CLASS_NUMBER && adClassNameByNumber(drawing, static_cast<std::int16_t>(type), name))
        return boundedText(name, sizeof name);
    return proxy;
}

std::string entityName(AdDrawing* drawing, std::uint16_t type) {
    const char* fixed = adDxfEntityName(type);
    return fixed && *fixed ? fixed : classOrProxyName(drawing, type, "ACAD_PROXY_ENTITY");
}

std::string objectName(AdDrawing* drawing, std::int16_t type) {
    switch (type) {
    case 32: return "DICTIONARY";
    case 33: return "MLINESTYLE";
    case 36: return "GROUP";
    default: return classOrProxyName(drawing, type, "ACAD_PROXY_OBJECT");
    }
}

std::string hexOf(const AdHandle& handle) {
    char hex[AD_HANDLE_HEX_SIZE];
    return adHandleToHex(&handle, hex, sizeof hex) ? hex : "0";
}

// Counts as a DXF file lists a space's or a block's entities: a POLYLINE or an
// INSERT once, without its VERTEX, ATTRIB and SEQEND records, and a block
// without the BLOCK and ENDBLK records that frame it.
std::map<std::string, int> countEntities(AdDrawing* drawing, AdRecordList* list) {
    std::map<std::string, int> counts;
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    if (!list || !adEntityRewind(list)) return counts;
    while (adEntityNext(list, header.get(), data.get())) {
        const std::uint16_t type = header->type;
        if (type == AD_ENTITY_VERTEX || type == AD_ENTITY_SEQEND || type == AD_ENTITY_ATTRIB ||
            type == AD_ENTITY_BLOCK || type == AD_ENTITY_ENDBLK)
            continue;
        ++counts[entityName(drawing, type)];
    }
    return counts;
}

void collectContents(AdDrawing* drawing, DrawingSummary* summary) {
    summary->entities.emplace_back("*MODEL_SPACE", countEntities(drawing, drawing->modelSpace));
    summary->entities.emplace_back("*PAPER_SPACE", countEntities(drawing, drawing->paperSpace));
    AdBlockHeader block;
    adBlockRewind(drawing);
    std::vector<std::pair<std::string, AdHandle>> blocks;
    while (adBlockNext(drawing, &block))
        if (!isSpaceBlock(block.name)) blocks.emplace_back(boundedText(block.name, sizeof block.name), block.handle);
    for (const auto& [name, handle] : blocks)
        summary->entities.emplace_back(name, countEntities(drawing, adBlockEntityList(drawing, &handle)));
    auto object = std::make_unique<AdObjectData>();
    AdObjectHeader header{};
    adObjectRewind(drawing);
    while (adObjectNext(drawing, &header, object.get())) ++summary->objects[objectName(drawing, header.type)];
    const std::int32_t kept = std::min<std::int32_t>(drawing->loadErrorCount, std::size(drawing->loadErrors));
    for (std::int32_t i = 0; i < kept; ++i)
        summary->skipped.emplace_back(drawing->loadErrors[i].code, hexOf(drawing->loadErrors[i].handle));
}

void collectDrawing(AdDrawing* drawing, DrawingSummary* summary) {
    const AdHeaderVars* header = adDrawingHeaderData(drawing);
    summary->acadver = boundedText(header->acadver, sizeof header->acadver);
    summary->handseed = hexOf(header->handseed);
    std::memcpy(summary->extmin.data(), header->extmin, sizeof header->extmin);
    std::memcpy(summary->extmax.data(), header->extmax, sizeof header->extmax);
    summary->tableCounts = {
        {"LAYER", adListCount(drawing->layers)},  {"LTYPE", adListCount(drawing->ltypes)},
        {"STYLE", adListCount(drawing->styles)},  {"VPORT", adListCount(drawing->vports)},
        {"BLOCK", adListCount(drawing->blocks)},  {"DIMSTYLE", adListCount(drawing->dimStyles)},
        {"APPID", adListCount(drawing->appids)},  {"UCS", adListCount(drawing->ucss)},
        {"VIEW", adListCount(drawing->views)},
    };
    AdLayerRecord layer;
    adLayerRewind(drawing);
    while (adLayerNext(drawing, &layer)) summary->layers.push_back(boundedText(layer.name, sizeof layer.name));
    AdBlockHeader block;
    adBlockRewind(drawing);
    while (adBlockNext(drawing, &block))
        if (!isSpaceBlock(block.name)) summary->blocks.push_back(boundedText(block.name, sizeof block.name));
    collectContents(drawing, summary);
}
}  // namespace

DrawingSummary summarizeDrawing(const char* name) {
    DrawingSummary summary;
    summary.file = name;
    AdFileSniff sniff;
    int sniffed = adSniffDrawingFile(name, &sniff);
    // A DWG of a version the reader does not take is still told as DWG.
    int refused = sniffed ? AD_OK : adGlobals->errorCode;
    summary.sniffed = sniffed || refused == AD_ERR_UNSUPPORTED_VERSION || refused == AD_ERR_PRE_RELEASE;
    if (summary.sniffed) {
        summary.format = formatName(sniff.format);
        summary.version = sniff.versionText;
        summary.versionIndex = sniff.version;
    }
    AdDrawing* drawing = sniffed ? adOpenDrawing(name, 1, 0) : nullptr;
    summary.ok = drawing != nullptr;
    summary.error = drawing ? 0 : adGlobals->errorCode;
    summary.stage = sniffed && !drawing && adGlobals->loadStage > 0 ? adGlobals->loadStage : -1;
    if (summary.error != AD_OK) summary.errorText = adErrorText(summary.error);
    if (summary.error == AD_ERR_UNSUPPORTED_VERSION && !summary.version.empty())
        summary.errorText += " " + summary.version;
    if (drawing) {
        summary.versionIndex = adDrawingVersion(drawing);
        if (const char* text = adVersionString(summary.versionIndex)) summary.version = text;
        collectDrawing(drawing, &summary);
        adCloseDrawing(drawing);
    }
    return summary;
}
