// Queueing an external reference at the BLOCK of its block: the path made
// whole, the host's finder asked, the file's presence checked, and the walk
// context kept for the traversal, which draws the reference after the space.
#include "toolkit/display/emit.h"
#include "toolkit/display/xref.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool namesDrawingFile(const char* path) {
    std::string upper(path);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper.find(".DWG") != std::string::npos || upper.find(".DXF") != std::string::npos;
}

void copyPath(char* out, std::size_t capacity, const char* path) { std::snprintf(out, capacity, "%s", path); }

}  // namespace

// "plan.Dwg" names a drawing as well as "plan.dwg": the test ignores case.
void adCompleteXrefPath(const char* path, std::uint8_t topFormat, char* out, std::size_t capacity) {
    if (namesDrawingFile(path))
        copyPath(out, capacity, path);
    else
        std::snprintf(out, capacity, "%s%s", path, topFormat == AD_FORMAT_DWG ? ".dwg" : ".dxf");
}

int adQueueXref(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    AdDisplayState* state = drawing->display;
    AdDisplayState* top = adTopState(drawing);
    const AdDrawing* topDrawing = state->owner ? state->owner : drawing;
    const AdBlockData& block = entity.data->block;
    char path[AD_PATH_SIZE];
    adCompleteXrefPath(block.xrefPath, topDrawing->format, path, sizeof path);
    if (adRender->hooks.findXrefFile) {
        char found[AD_PATH_SIZE] = {};
        adRender->hooks.findXrefFile(path, found, sizeof found, drawing->userData);
        found[sizeof found - 1] = '\0';
        if (found[0] != '\0') copyPath(path, sizeof path, found);
    }
    if (HostAccess(path, 0) != 0) {
        adSetError(AD_ERR_XREF_MISSING);
        if (adRender->hooks.missingFile) adRender->hooks.missingFile(path, drawing->userData);
        return 0;
    }
    const AdInherited& inherited = *entity.inherited;
    if ((inherited.chain && adChainContains(inherited.chain, path)) || !top->xrefQueue) return 0;
    AdXrefRequest request{};
    copyPath(request.path, sizeof request.path, path);
    copyPath(request.blockName, sizeof request.blockName, block.name);
    request.tag = adRender->xrefTag;
    request.block = *entity.block;
    request.colour = inherited.colour;
    request.lineWeight = inherited.lineWeight;
    request.level = inherited.xrefLevel;
    request.linetype = inherited.linetype ? *inherited.linetype : state->continuousRecord;
    request.plotStyle = inherited.plotStyle;
    request.suppressed = state->suppressedViewports;
    request.paperSheet = state->paperSheet;
    AdLayerRecord layer{};
    if (adLayerByHandle(drawing, &state->insertLayer, &layer)) {
        copyPath(request.insertLayerName, sizeof request.insertLayerName, layer.name);
        request.insertLayerColour = layer.colour;
        request.insertLayerWeight = layer.lineweight;
        request.insertLayerPlotStyle = layer.plotStyle;
        request.insertLayerLinetype = layer.linetype;
    } else {
        copyPath(request.insertLayerName, sizeof request.insertLayerName, "0");
        request.insertLayerColour = 7;
    }
    request.chain = adChainExtend(inherited.chain, path);
    if (!request.chain || !adXrefQueueAdd(top->xrefQueue, &request)) {
        if (request.chain) adStoreFree(request.chain);
        return 0;
    }
    return 1;
}
