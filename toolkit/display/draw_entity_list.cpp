// adDrawEntityList: one entity list under one block matrix, entity by
// entity in stored or draw order, each resolved and handed to its type's
// handler.
#include "toolkit/display/dispatch.h"
#include "toolkit/display/entity_properties.h"
#include "toolkit/display/linetype.h"

#include <algorithm>
#include <cstring>

namespace {

// What one list changes for its duration and puts back at its end.
struct ListScope {
    AdDrawing* drawing;
    AdMatrix4* matrices = nullptr;
    AdLtypeRecord* linetype = nullptr;
    AdSortEntry* order = nullptr;
    double savedScales[AD_VIEWPORT_LIMIT] = {};
    double savedLtscale = 1.0;

    ~ListScope() {
        AdDisplayState* state = drawing->display;
        state->attributeMode = 0;
        if (matrices) {
            for (int v = 0; v < state->viewportCount; ++v) state->viewports[v].scale = savedScales[v];
            if (drawing->header) drawing->header->ltscale = savedLtscale;
            HostFree(matrices);
        }
        if (linetype) HostFree(linetype);
        if (order) HostFree(order);
    }
};

// Plan bit v: the block's z axis lies along viewport v's view direction.
void setPlanBits(AdDisplayState* state, const AdMatrix4* block) {
    double z[4] = {block->m[2][0], block->m[2][1], block->m[2][2], 0.0};
    adVectorNormalize(z);
    state->planViewports = 0;
    for (int v = 0; v < state->viewportCount; ++v) {
        double cross[4];
        adVectorCrossRaw(state->viewports[v].direction, z, cross);
        if (cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2] < 2e-12)
            state->planViewports |= std::uint64_t{1} << v;
    }
}

bool startList(ListScope& scope, const AdMatrix4* block) {
    AdDrawing* drawing = scope.drawing;
    AdDisplayState* state = drawing->display;
    scope.linetype = static_cast<AdLtypeRecord*>(HostAlloc(sizeof(AdLtypeRecord)));
    if (!scope.linetype) {
        adNoMemory(AD_ERR_DISPATCH_LINETYPE);
        return false;
    }
    setPlanBits(state, block);
    scope.matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
    if (!scope.matrices) {
        adNoMemory(AD_ERR_DISPATCH_MATRICES);
        return false;
    }
    double largest = 1e-300;
    for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) {
        adMatrixMultiply(block, &state->viewports[v].full, &scope.matrices[v]);
        if (v >= state->viewportCount) continue;
        scope.savedScales[v] = state->viewports[v].scale;
        state->viewports[v].scale = adMatrixScale(&scope.matrices[v]);
        largest = std::max(largest, state->viewports[v].scale);
    }
    state->smallSize = 3.0 / largest;
    if (drawing->header) {
        scope.savedLtscale = drawing->header->ltscale;
        const double blockScale = adMatrixScale(block);
        drawing->header->ltscale = blockScale != 0.0 ? state->ltscaleAtDraw / blockScale : state->ltscaleAtDraw;
    }
    state->currentScale = largest * adRenderValues.detailFactor * state->deviceScale * 0.2;
    return true;
}

// Progress at the top level, in steps of 5 percent.
void reportProgress(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    if (adRender->hooks.drawProgress) {
        const std::int64_t done = state->entitiesDone;
        const std::int16_t target =
            state->entityTotal > 0 ? static_cast<std::int16_t>(std::min<std::int64_t>(done * 100 / state->entityTotal, 100)) : 0;
        const std::int16_t before = state->percent;
        while (state->percent + 5 <= target) state->percent = static_cast<std::int16_t>(state->percent + 5);
        if (state->percent > 100) state->percent = 100;
        if (state->percent != before) adRender->hooks.drawProgress(state->percent, drawing->userData);
    }
    ++state->entitiesDone;
}

}  // namespace

int adDrawEntityList(AdDrawing* drawing, AdRecordList* list, AdMatrix4* block, const AdInherited& inherited,
                     const AdDrawOrderTable* order) {
    AdDisplayState* state = drawing->display;
    ListScope scope{drawing};
    if (!startList(scope, block)) return 0;
    std::int32_t sortedCount = 0;
    scope.order = adSortEntities(drawing, list, order, &sortedCount);
    AdEntityHeader* header = adDisplayGlobals->subHeader;
    AdEntityData* data = adDisplayGlobals->subData;
    std::int32_t next = 0;
    // Bounded by the list: an entity is read at most once per record.
    for (std::int32_t guard = adListCount(list) + 1; guard > 0; --guard) {
        state->suppressedViewports = state->attributeMode ? state->attributeSuppressed : inherited.suppressed;
        for (AdPatternState* s = adPatternStates(); s < adPatternStates() + AD_VIEWPORT_LIMIT; ++s) s->widePending = 0;
        if (inherited.depth == 0) reportProgress(drawing);
        // An INSERT's attributes follow it up to their SEQEND, whatever their sort keys.
        if (scope.order && !state->attributeMode) {
            if (next >= sortedCount) break;
            adListSetCurrent(list, scope.order[next++].record);
        }
        if (!adNextSubEntity(drawing, list, inherited.depth != 0 ? 1 : 0)) break;
        adDisplayGlobals->currentEntity = header;
        AdDrawContext entity{drawing, list, block, scope.matrices, &inherited, header, data, scope.linetype, drawing,
                             0, nullptr, 0};
        adDrawOneEntity(entity);
        adDisplayGlobals->currentEntity = nullptr;
        if (entity.endList || !adRenderValues.drawContinue) break;
    }
    return 1;
}
