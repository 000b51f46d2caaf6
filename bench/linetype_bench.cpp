// Segments per second through the linetype applicator and the emission layer
// to a host whose hooks do nothing: a continuous line, a dashed line whose
// pattern repeats about ten times per segment, and the chords of a dashed
// circle that carry the pattern from chord to chord.
#include "toolkit/display/linetype.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

void nothing(std::int32_t, std::int32_t, void*) {}

struct NullDisplay {
    AdDrawing drawing{};
    AdDisplayState state{};
    AdEntityHeader entity{};
    AdMatrix4 view = adIdentityMatrix;

    NullDisplay() {
        adInitRender();
        adSetMoveToHook(nothing);
        adSetLineToHook(nothing);
        adMatrixScaleAxes(10.0, 10.0, 10.0, &view);
        state.viewports[0].full = view;
        state.viewports[0].scale = 10.0;
        const double rect[4] = {0, 0, 1000, 1000};
        std::memcpy(state.viewports[0].deviceRect, rect, sizeof rect);
        state.viewportCount = 1;
        state.activeViewports = ~std::uint64_t{0};
        state.owner = &drawing;
        state.exactDash = state.linetypeGeneration = state.restartAtVertex = 1;
        state.extentsValid = 1;
        drawing.display = &state;
        entity.type = AD_ENTITY_LINE;
        entity.linetypeScale = 1.0;
        adDisplayGlobals->currentEntity = &entity;
    }
    ~NullDisplay() {
        adDisplayGlobals->currentEntity = nullptr;
        adTermRender();
    }
};

AdLtypeRecord dashed() {
    AdLtypeRecord record{};
    record.handle.b[7] = 0x20;
    record.dashCount = 2;
    record.dashes[0].length = 0.5;
    record.dashes[1].length = -0.25;
    record.patternLength = 0.75;
    return record;
}

void lines(benchmark::State& run, const AdLtypeRecord* linetype) {
    NullDisplay display;
    std::int64_t segments = 0;
    for (auto _ : run) {
        double a[3] = {1.0, 1.0 + (segments % 90), 0.0}, b[3] = {8.5, 1.0 + (segments % 90), 0.0};
        adApplyLinetype(&display.drawing, a, b, nullptr, &display.view, linetype, &display.drawing, nullptr,
                        ++display.state.curveCounter, 0.0);
        ++segments;
    }
    run.SetItemsProcessed(segments);
}

void continuousLines(benchmark::State& run) { lines(run, nullptr); }

void dashedLines(benchmark::State& run) {
    const AdLtypeRecord linetype = dashed();
    lines(run, &linetype);
}

void dashedCircleChords(benchmark::State& run) {
    NullDisplay display;
    const AdLtypeRecord linetype = dashed();
    display.entity.type = AD_ENTITY_CIRCLE;
    const int chords = 72;
    const double r = 40.0, length = 2 * std::numbers::pi * r;
    std::int64_t segments = 0;
    for (auto _ : run) {
        const std::int32_t curve = ++display.state.curveCounter;
        for (int i = 0; i < chords; ++i) {
            const double t0 = 2 * std::numbers::pi * i / chords, t1 = 2 * std::numbers::pi * (i + 1) / chords;
            double a[3] = {50 + r * std::cos(t0), 50 + r * std::sin(t0), 0.0};
            double b[3] = {50 + r * std::cos(t1), 50 + r * std::sin(t1), 0.0};
            adApplyLinetype(&display.drawing, a, b, nullptr, &display.view, &linetype, &display.drawing, nullptr, curve,
                            length);
        }
        segments += chords;
    }
    run.SetItemsProcessed(segments);
}

}  // namespace

BENCHMARK(continuousLines);
BENCHMARK(dashedLines);
BENCHMARK(dashedCircleChords);
