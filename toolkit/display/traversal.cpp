// adDrawDrawing: the paper-space block of the layout and the model-space
// block, each in draw order, then every external reference they queued,
// with progress, plot styles and the drawn extents.
#include "toolkit/display/glyphs.h"
#include "toolkit/display/plot_style.h"
#include "toolkit/display/view.h"
#include "toolkit/display/xref.h"

#include <cstring>

namespace {

constexpr std::int16_t kTopColour = 7;

bool extentsDrawn(const AdDisplayState* state) {
    const double* e = state->deviceExtents;
    return e[0] != 1e300 || e[1] != 1e300 || e[2] != -1e300 || e[3] != -1e300;
}

void progress(AdDrawing* drawing, std::int16_t percent) {
    if (adRender->hooks.drawProgress) adRender->hooks.drawProgress(percent, drawing->userData);
}

void firstRecords(AdDrawing* drawing, AdDisplayState* state) {
    AdLayerRecord layer{};
    adLayerRewind(drawing);
    if (adLayerNext(drawing, &layer)) state->layerZero = layer.handle;
    adLtypeRewind(drawing);
    if (adLtypeNext(drawing, &state->continuousRecord)) state->continuousLtype = state->continuousRecord.handle;
    state->cachedLayer = AdHandle{};
    state->cachedLtype = AdHandle{};
}

void drawSpaceBlock(AdDrawing* drawing, const AdHandle& block, bool paper) {
    AdDisplayState* state = drawing->display;
    AdRecordList* list = adHandleLength(&block) != 0 ? adBlockEntityList(drawing, &block) : nullptr;
    if (!list) return;
    AdDrawOrderTable order{};
    adLoadDrawOrder(drawing, list, &block, &order);
    state->paperSheet = paper ? 1 : 0;
    adDrawSpace(drawing, list, &order);
    adDrawOrderFree(&order);
}

}  // namespace

int adDrawSpace(AdDrawing* drawing, AdRecordList* list, const AdDrawOrderTable* order) {
    AdDisplayState* state = drawing->display;
    adSetPenColor(drawing, -1);
    const std::uint8_t paper = state->paperSpace;
    adRender->currentDrawing = drawing;
    adSetGlyphSlots();
    state->ltscaleAtDraw = drawing->header ? drawing->header->ltscale : 1.0;
    adRender->xrefName[0] = '\0';
    adRenderValues.drawContinue = 1;
    AdMatrix4 block = adIdentityMatrix;
    adEntityRewind(list);
    state->emitted = 0;
    state->curveCounter = 1;
    state->lastCurve = 0;
    state->xrefQueue = adListCreate();
    if (!state->xrefQueue) return 0;
    for (int v = 0; v < state->viewportCount; ++v)
        state->viewports[v].scale = state->viewports[v].scaleCopy = adMatrixScale(&state->viewports[v].full);
    adRender->drawingXref = 0;
    firstRecords(drawing, state);
    AdStore* chain = adStoreCreate(AD_STORE_BLOCK_SIZE);
    if (chain) adChainAppend(chain, drawing->fileName);
    const AdInherited top{kTopColour, &state->continuousRecord, drawing, nullptr, 0, 0, 0, 0, chain};
    const int drawn = adDrawEntityList(drawing, list, &block, top, order);
    state->owner = state->owner ? state->owner : drawing;
    if (adListCount(state->xrefQueue) > 0) {
        adRender->drawingXref = 1;
        AdXrefRequest request{};
        // A reference queued while another is drawn joins the same queue.
        while (adXrefQueuePop(state->xrefQueue, &request)) adDrawXref(drawing, &request);
        adRender->drawingXref = 0;
    }
    if (chain) adStoreFree(chain);
    state->paperSheet = 0;
    adSetSpaceMode(drawing, static_cast<std::int8_t>(paper));
    adListFree(state->xrefQueue);
    state->xrefQueue = nullptr;
    return drawn;
}

int adDrawDrawing(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    adRender->lastPoint = DevicePoint{AD_UNKNOWN_DEVICE_POINT, AD_UNKNOWN_DEVICE_POINT};
    AdHandle model{}, paper{};
    adSpaceBlockHandle(drawing, &model, AD_SPACE_MODEL);
    adSpaceBlockHandle(drawing, &paper, AD_SPACE_PAPER);
    state->entityTotal = adBlockEntityCount(drawing, &paper) + adBlockEntityCount(drawing, &model);
    state->percent = 0;
    state->entitiesDone = 0;
    state->firstViewportSeen = 0;
    progress(drawing, 0);
    bool viewportsFirst = false;
    if (adLoadLayoutPlotSettings(drawing)) {
        adLoadPlotStyleTable(drawing);
        viewportsFirst = (state->layout->plotSettings.layoutFlags & AD_PLOT_VIEWPORTS_FIRST) != 0;
    }
    const AdHandle sheet = state->paperBlock;
    if (!viewportsFirst) drawSpaceBlock(drawing, sheet, true);
    drawSpaceBlock(drawing, model, false);
    if (viewportsFirst) drawSpaceBlock(drawing, sheet, true);
    if (adRenderValues.drawContinue && extentsDrawn(state)) state->extentsValid = 1;
    adComputeExtentsView(drawing, &state->extentsView);
    progress(drawing, 100);
    if (state->ownsPlotStyles) adFreePlotStyleTable(state->plotStyles);
    state->plotStyles = nullptr;
    state->ownsPlotStyles = 0;
    if (state->layout) HostFree(state->layout);
    state->layout = nullptr;
    return 1;
}
