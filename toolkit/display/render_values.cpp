// Settings of the render context and of the render unit, and the draw's
// continue flag.
#include "toolkit/display/render_state.h"

#include <algorithm>

void adSetTextRealign(std::int32_t on) { adRender->textRealign = on; }
void adSetDefaultLineWeight(std::int32_t lineWeight) { adRender->defaultLineWeight = lineWeight; }
void adSetModelLineWeightScale(double scale) { adRender->modelLineWeightScale = scale; }
void adSetPaperLineWeightScale(double scale) { adRender->paperLineWeightScale = scale; }
void adSetSolidDrawing(std::int32_t on) { adRender->solidDrawing = on; }
void adSetDisplayCaching(std::uint8_t on) { adRender->displayCaching = on; }
void adSetSegmentCount(std::int32_t count) { adRender->segmentCount = std::clamp(count, 1, 50); }
void adSetCurveResolution(std::int32_t resolution) { adRender->curveResolution = std::clamp(resolution, 0, 50); }
std::int32_t adGetSegmentCount() { return adRender->segmentCount; }
std::int32_t adGetCurveResolution() { return adRender->curveResolution; }
std::int32_t adGetSolidDrawing() { return adRender->solidDrawing; }
AdDrawing* adCurrentDrawing() { return adRender->currentDrawing; }

void adSetColorMap(const std::int16_t map[256]) { std::copy(map, map + 256, adRenderValues.colorMap); }

// Indexes outside the map (BYLAYER, BYBLOCK's 0 is inside) pass unchanged.
std::int16_t adMapColor(std::int16_t colour) {
    return colour >= 0 && colour < 256 ? adRenderValues.colorMap[colour] : colour;
}

void adSetDetailFactor(double factor) { adRenderValues.detailFactor = factor; }
void adSetPixelAspect(double factor) { adRenderValues.pixelAspect = factor; }

// Only the flag changes: the entity loop tests it after every entity, and
// the display state stays usable, so this is safe inside the draw poll.
void adStopDraw() { adRenderValues.drawContinue = 0; }
std::int16_t adDrawContinues() { return adRenderValues.drawContinue; }

void adBitsOr8(std::uint8_t target[8], const std::uint8_t source[8]) {
    for (int i = 0; i < 8; ++i) target[i] = static_cast<std::uint8_t>(target[i] | source[i]);
}
