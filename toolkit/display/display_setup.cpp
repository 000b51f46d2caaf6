// Beginning and ending the display of a drawing: the display state is made,
// filled with the initial view, and freed again.
#include "toolkit/display/linetype.h"
#include "toolkit/display/view.h"

#include <cstring>

namespace {

// The frame flags of RASTERVARIABLES and WIPEOUTVARIABLES, both 1 unless the
// objects say otherwise.
void readFrameFlags(AdDrawing* drawing, AdDisplayState* state) {
    state->imageFrame = state->wipeoutFrame = 1;
    const std::int16_t raster = adClassNumRasterVariables(drawing);
    const std::int16_t wipeout = adClassNumWipeoutVariables(drawing);
    if (raster == 0 && wipeout == 0) return;
    auto* data = static_cast<AdObjectData*>(HostAlloc(sizeof(AdObjectData)));
    if (!data) return;
    AdObjectHeader header{};
    bool rasterSeen = raster == 0, wipeoutSeen = wipeout == 0;
    adObjectRewind(drawing);
    while ((!rasterSeen || !wipeoutSeen) && adObjectNext(drawing, &header, data)) {
        if (raster != 0 && header.type == raster) {
            state->imageFrame = static_cast<std::uint8_t>(data->rasterVariables.displayFrame);
            rasterSeen = true;
        } else if (wipeout != 0 && header.type == wipeout) {
            state->wipeoutFrame = static_cast<std::uint8_t>(data->wipeoutVariables.displayFrame);
            wipeoutSeen = true;
        }
    }
    HostFree(data);
}

AdHandle acadAppid(AdDrawing* drawing) {
    AdAppidRecord record{};
    adAppidRewind(drawing);
    while (adAppidNext(drawing, &record))
        if (std::strcmp(record.name, "ACAD") == 0) return record.handle;
    return AdHandle{};
}

void readContinuous(AdDrawing* drawing, AdDisplayState* state) {
    adLtypeRewind(drawing);
    if (adLtypeNext(drawing, &state->continuousRecord)) state->continuousLtype = state->continuousRecord.handle;
}

}  // namespace

int adBeginDisplay(AdDrawing* drawing, AdViewRecord* viewOut, const std::int32_t deviceRect[4],
                   std::int32_t virtualRectOut[4], const std::uint8_t* space) {
    return adSetupDisplay(drawing, viewOut, deviceRect, virtualRectOut, drawing, space);
}

int adSetupDisplay(AdDrawing* drawing, AdViewRecord* view, const std::int32_t deviceRect[4],
                   std::int32_t virtualRectOut[4], AdDrawing* owner, const std::uint8_t* space) {
    auto* state = static_cast<AdDisplayState*>(HostAlloc(sizeof(AdDisplayState)));
    if (!state) {
        adNoMemory(AD_ERR_DISPLAY_STATE_MEMORY);
        return 0;
    }
    std::memset(static_cast<void*>(state), 0, sizeof(AdDisplayState));
    drawing->display = state;
    state->owner = owner;
    state->caching = adRender->displayCaching;
    state->deviceScale = 1.0;
    state->virtualScale = 1.0;
    const bool topLevel = owner == drawing;
    const std::int32_t* rect = deviceRect;
    std::int32_t virtualRect[4] = {0, 0, 0, 0};
    if (topLevel && state->caching) {
        adSetupVirtualDevice(state, deviceRect, virtualRect);
        if (virtualRectOut) std::memcpy(virtualRectOut, virtualRect, sizeof virtualRect);
        rect = virtualRect;
    }
    state->curveCounter = 1;
    state->lastCurve = 0;
    state->minimumDash = 0.0;
    state->exactDash = 1;
    state->linetypeGeneration = 1;
    state->restartAtVertex = 1;
    adResetPatternStates();
    adRender->suppressExtents = 0;
    state->deviceExtents[0] = state->deviceExtents[1] = 1e300;
    state->deviceExtents[2] = state->deviceExtents[3] = -1e300;
    state->activeViewports = AD_ALL_VIEWPORTS;
    state->penColour = -1;
    state->penWidth = -1;
    readContinuous(drawing, state);
    const std::int16_t tileMode = drawing->header ? drawing->header->tilemode : 1;
    adSetSpaceMode(drawing, adIsTileMode(drawing, tileMode) ? 0 : 1);
    if (topLevel) {
        readFrameFlags(drawing, state);
        state->xclipFrame = static_cast<std::uint8_t>(adDictionaryVarInt(drawing, "XCLIPFRAME", 0));
        if (!adSetupView(drawing, rect, view, space)) {
            adEndDisplay(drawing);
            return 0;
        }
        state->storedView = *view;
        adComputeExtentsView(drawing, &state->extentsView);
    } else {
        state->storedView = *view;
    }
    adViewportsChanged(state);
    state->acadAppid = acadAppid(drawing);
    return 1;
}

void adEndDisplay(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    if (!state) return;
    for (AdViewportEntry& entry : state->viewports) {
        if (entry.outline) HostFree(entry.outline);
        entry.outline = nullptr;
    }
    while (state->clipStack) adPopClipRegions(state);
    HostFree(state);
    drawing->display = nullptr;
}
