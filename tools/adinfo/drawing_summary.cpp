// Opening one file through the toolkit and collecting what it holds.
#include "tools/adinfo/drawing_summary.h"

#include "toolkit/ad.h"

#include <cstring>

namespace {
const char* formatName(int format) {
    switch (format) {
        case AD_FORMAT_DWG: return "dwg";
        case AD_FORMAT_DXF_ASCII:
        case AD_FORMAT_DXF_BINARY: return "dxf";
        default: return "";
    }
}

std::string boundedText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

bool isSpaceBlock(const char* name) {
    return adStrCompareNoCase(name, "*MODEL_SPACE") == 0 || adStrCompareNoCase(name, "*PAPER_SPACE") == 0;
}

void collectDrawing(AdDrawing* drawing, DrawingSummary* summary) {
    const AdHeaderVars* header = adDrawingHeaderData(drawing);
    summary->acadver = boundedText(header->acadver, sizeof header->acadver);
    char hex[AD_HANDLE_HEX_SIZE];
    if (adHandleToHex(&header->handseed, hex, sizeof hex)) summary->handseed = hex;
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
    if (drawing) {
        summary.versionIndex = adDrawingVersion(drawing);
        if (const char* text = adVersionString(summary.versionIndex)) summary.version = text;
        collectDrawing(drawing, &summary);
        adCloseDrawing(drawing);
    }
    return summary;
}
