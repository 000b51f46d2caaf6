// Whole draws of arbitrary DXF bytes: whatever opens is shown and drawn to a
// host that registered nothing, so every entity's drawing runs on hostile
// data with nothing but the engine's own state.
#include "fuzz/fuzz_drawing.h"
#include "toolkit/display/display.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzStartToolkit();
    adClearError();
    AdDrawing* drawing = adOpenDrawing(FuzzInputFile(data, size).c_str(), 1, 0);
    if (!drawing) return 0;
    if (adInitRender()) {
        adSetDisplayCaching(0);
        const std::int32_t rect[4] = {0, 0, 640, 480};
        AdViewRecord view{};
        if (adBeginDisplay(drawing, &view, rect, nullptr, nullptr)) {
            adMakeViewTransform(drawing, &view, rect, nullptr);
            adDrawDrawing(drawing);
            adEndDisplay(drawing);
        }
        adTermRender();
    }
    adCloseDrawing(drawing);
    return 0;
}
