// The pen state of a shown drawing: the host hears of a colour or a line
// width only when it changes, and of the emitted primitives every poll
// interval.
#include "toolkit/display/dispatch.h"
#include "toolkit/display/plot_style.h"

void adSetPenColor(AdDrawing* drawing, std::int16_t colour) {
    AdDisplayState* state = drawing->display;
    if (colour != -1 && colour != state->penColour && adRender->hooks.setColor)
        adRender->hooks.setColor(colour, drawing->userData);
    state->penColour = colour;
}

void adPassPenWidth(AdDrawing* drawing, std::int32_t width) {
    AdDisplayState* state = drawing->display;
    if (!adRender->hooks.lineWeight || width == state->penWidth) return;
    adRender->hooks.lineWeight(width, drawing->userData);
    state->penWidth = width;
}

void adCountPrimitive(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    ++state->emitted;
    if (adRender->hooks.drawPoll && state->emitted >= adRenderValues.pollInterval) {
        state->emitted = 0;
        adRender->hooks.drawPoll(drawing->userData);
    }
}

void adSetPenWeight(AdDrawing* drawing, std::int16_t lineWeight) {
    adPassPenWidth(drawing, static_cast<std::int32_t>(adLineWeightToDevice(drawing, lineWeight)));
}
