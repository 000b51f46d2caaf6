// Glyphs per second of single-line text to a host whose hooks do nothing: a
// sentence in the built-in shape font (strokes and arcs through the linetype
// applicator) and in a TrueType face from the host's glyph service (each
// character outlined by the host and filled with its holes).
#include "toolkit/display/text.h"
#include "toolkit/display/view.h"
#include "tools/renderhost/glyph_service.h"
#include "tools/renderhost/null_display.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kSentence = "The quick brown fox jumps over the lazy dog 0123456789";

void noFill(const DevicePoint*, const std::int32_t*, std::int32_t, void*) {}

// The null display widened to 10,000 device units, with fills and a clip
// region, drawing TEXT.
struct NullTextDisplay : NullDisplay {
    NullTextDisplay() {
        adSetPolyPolygonHook(noFill);
        AdViewportEntry& view = state.viewports[0];
        const double rect[4] = {0, 0, 10000, 10000};
        std::memcpy(view.deviceRect, rect, sizeof rect);
        std::memcpy(view.clipRect, rect, sizeof rect);
        state.planViewports = 1;
        state.extentsValid = 1;
        adPushClipRegions(&state, nullptr, nullptr);
        entity.type = AD_ENTITY_TEXT;
    }
    ~NullTextDisplay() {
        while (state.clipStack) adPopClipRegions(&state);
    }

    void text(benchmark::State& run, const AdStyleRecord& style) {
        std::int64_t glyphs = 0;
        const double insertion[3] = {10, 10, 0};
        for (auto _ : run) {
            AdTextParams params{};
            params.height = 5.0;
            params.widthFactor = 1.0;
            adDrawTextString(drawing, insertion, kSentence, &style, &params, &adIdentityMatrix,
                             &state.viewports[0].full, 0.0);
            glyphs += static_cast<std::int64_t>(std::strlen(kSentence));
        }
        run.SetItemsProcessed(glyphs);
    }
};

void ShapeFontText(benchmark::State& run) {
    NullTextDisplay display;
    AdStyleRecord style{};  // no font file: the built-in SIMPLEX
    display.text(run, style);
}
BENCHMARK(ShapeFontText);

void TrueTypeText(benchmark::State& run) {
    NullTextDisplay display;
    if (!hostStartGlyphs()) {
        run.SkipWithError("no TrueType glyph service");
        return;
    }
    AdStyleRecord style{};
    std::snprintf(style.fontFile, sizeof style.fontFile, "%s", "arial.ttf");
    display.text(run, style);
    hostStopGlyphs();
}
BENCHMARK(TrueTypeText);

}  // namespace
