// Drawing one queued external reference: its drawing is opened, shown with
// the parent's viewports and header settings, and its model space drawn
// under the reference's block matrix and BYBLOCK properties.
#include "toolkit/display/xref.h"

#include "toolkit/display/view.h"

#include <cstring>

namespace {

// The header settings a reference draws with: the parent's.
struct BorrowedHeader {
    AdHeaderVars* header;
    AdHeaderVars saved;
    BorrowedHeader(AdHeaderVars* own, const AdHeaderVars* parent, double ltscale) : header(own), saved(*own) {
        if (!parent) return;
        own->attmode = parent->attmode;
        own->qtextmode = parent->qtextmode;
        own->fillmode = parent->fillmode;
        own->pdmode = parent->pdmode;
        own->pdsize = parent->pdsize;
        own->psltscale = parent->psltscale;
        own->splframe = parent->splframe;
        own->ltscale = ltscale;
    }
    ~BorrowedHeader() { *header = saved; }
};

void notifyMissing(AdDrawing* drawing, const char* path) {
    if (adRender->hooks.missingFile) adRender->hooks.missingFile(path, drawing->userData);
}

void drawOpened(AdDrawing* parent, AdDrawing* xref, AdXrefRequest* request) {
    AdDisplayState* own = parent->display;
    AdDisplayState* state = xref->display;
    BorrowedHeader borrowed(xref->header, parent->header, own->ltscaleAtDraw);
    state->suppressedViewports = request->suppressed;
    state->paperSheet = request->paperSheet;
    state->paperSpace = own->paperSpace;
    void* user = xref->userData;
    xref->userData = parent->userData;
    state->ltscaleAtDraw = xref->header->ltscale;
    state->percent = 0;
    if (adRender->hooks.drawProgress) adRender->hooks.drawProgress(0, parent->userData);
    std::memcpy(state->viewports, own->viewports, sizeof(AdViewportEntry) * static_cast<std::size_t>(own->viewportCount));
    // The entries' outlines stay the parent's: the copy must not free them.
    for (int v = 0; v < own->viewportCount; ++v) state->viewports[v].outline = nullptr, state->viewports[v].outlineCount = 0;
    state->viewportCount = own->viewportCount;
    state->layoutViewportCount = own->layoutViewportCount;
    while (state->clipStack) adPopClipRegions(state);
    if (adPushClipRegions(state, nullptr, nullptr)) {
        state->xclipFrame = own->xclipFrame;
        state->imageFrame = own->imageFrame;
        state->wipeoutFrame = own->wipeoutFrame;
        state->plotStyles = own->plotStyles;
        state->ownsPlotStyles = 0;
        const double* base = xref->header->insbase;
        const double back[3] = {-base[0], -base[1], -base[2]};
        adMatrixPreTranslate(back, &request->block);
        own->emitted = 0;
        AdRecordList* model = xref->modelSpace;
        adRender->currentDrawing = xref;
        if (model) {
            AdStore* saved = adSaveXrefTables(xref);
            if (saved) adMergeXrefTables(xref, request);
            state->cachedLayer = AdHandle{};
            state->cachedLtype = AdHandle{};
            adEntityRewind(model);
            const AdInherited inherited{request->colour, &request->linetype, parent, request->plotStyle,
                                        request->lineWeight, 0, request->level, request->suppressed, request->chain};
            adDrawEntityList(xref, model, &request->block, inherited, nullptr);
            adRestoreXrefTables(xref, &saved);
        }
        adRender->currentDrawing = parent;
    }
    state->plotStyles = nullptr;
    xref->userData = user;
}

}  // namespace

void adDrawXref(AdDrawing* drawing, AdXrefRequest* request) {
    const std::size_t nameSize = sizeof adRender->xrefName;
    std::strncpy(adRender->xrefName, request->blockName, nameSize - 1);
    adRender->xrefName[nameSize - 1] = '\0';
    request->level = static_cast<std::int16_t>(request->level + 1);
    if (adRender->hooks.xrefBegin) adRender->hooks.xrefBegin(request->path, &request->tag, drawing->userData);
    AdDrawing* xref = adOpenXrefDrawing(drawing, request->path);
    if (!xref) {
        notifyMissing(drawing, request->path);
    } else {
        if (adRender->hooks.xrefOpened) adRender->hooks.xrefOpened(xref, drawing->userData);
        AdViewRecord scratch{};
        const std::int32_t rect[4] = {0, 0, 100, 100};
        if (!xref->header || !adSetupDisplay(xref, &scratch, rect, nullptr, drawing, nullptr)) {
            notifyMissing(drawing, request->path);
        } else {
            drawOpened(drawing, xref, request);
            adEndDisplay(xref);
        }
        if (adRender->hooks.xrefDone) adRender->hooks.xrefDone(xref, drawing->userData);
    }
    if (request->chain) adStoreFree(request->chain);
    request->chain = nullptr;
}
