// The display-list cache on the 200,000-entity DXF of the load benchmark at
// 1920 x 1080: after the first regeneration has recorded the drawing's
// extents, the view is zoomed in twice and panned about inside them. Each
// pan is drawn either by a regeneration (the cache invalidated first) or by
// a replay of the visible slots; the replay reports how many times faster
// it is than the regenerations timed before it.
#include "bench/big_drawing.h"
#include "bench/bench_toolkit.h"
#include "toolkit/display/display.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void nothing(std::int32_t, std::int32_t, void*) {}
void noPolygon(const std::int16_t*, const DevicePoint*, void*) {}
void noColour(std::int16_t, void*) {}

struct Shown {
    AdDrawing* drawing = nullptr;
    AdViewRecord extents{};
};

// Opens the drawing with caching on and records its extents.
bool show(benchmark::State& state, Shown& shown) {
    const std::string path = benchBigDxf(".dxf");
    if (path.empty() || !std::filesystem::exists(path)) {
        state.SkipWithError("no such drawing");
        return false;
    }
    if (!benchStartToolkit(state)) return false;
    adInitRender();
    adSetMoveToHook(nothing);
    adSetLineToHook(nothing);
    adSetPolygonHook(noPolygon);
    adSetColorHook(noColour);
    shown.drawing = adOpenDrawing(path.c_str(), 1, 1);
    if (!shown.drawing) {
        state.SkipWithError("the drawing did not open");
        return false;
    }
    const std::int32_t rect[4] = {0, 0, kWidth, kHeight};
    AdViewRecord view{};
    adSetDisplayCaching(0);
    adBeginDisplay(shown.drawing, &view, rect, nullptr, nullptr);
    adMakeViewTransform(shown.drawing, &view, rect, nullptr);
    adDrawDrawing(shown.drawing);
    adZoomExtents(shown.drawing, &shown.extents);
    adEndDisplay(shown.drawing);
    adSetDisplayCaching(1);
    adBeginDisplay(shown.drawing, &view, rect, nullptr, nullptr);
    adMakeViewTransform(shown.drawing, &shown.extents, rect, nullptr);
    adDrawDrawing(shown.drawing);
    return true;
}

void close(Shown& shown) {
    if (shown.drawing) {
        adEndDisplay(shown.drawing);
        adCloseDrawing(shown.drawing);
    }
    adTermRender();
    adTermToolkit();
}

// The i-th pan: a view half the extents' size, moved about inside them.
AdViewRecord pan(const AdViewRecord& extents, int i) {
    AdViewRecord view = extents;
    view.width /= 2, view.height /= 2;
    const double steps[4][2] = {{-0.2, -0.2}, {0.2, -0.2}, {0.2, 0.2}, {-0.2, 0.2}};
    adViewPan(&view, extents.width * steps[i % 4][0], extents.height * steps[i % 4][1]);
    return view;
}

double drawSeconds(Shown& shown, int i, bool regenerate) {
    const std::int32_t rect[4] = {0, 0, kWidth, kHeight};
    AdViewRecord view = pan(shown.extents, i);
    const auto start = std::chrono::steady_clock::now();
    if (regenerate) adInvalidateViewCache(shown.drawing);
    adMakeViewTransform(shown.drawing, &view, rect, nullptr);
    adDrawDrawing(shown.drawing);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void regenerateAfterPan(benchmark::State& state) {
    Shown shown;
    if (!show(state, shown)) return close(shown);
    int i = 0;
    for (auto _ : state) state.SetIterationTime(drawSeconds(shown, i++, true));
    close(shown);
}

void replayAfterPan(benchmark::State& state) {
    Shown shown;
    if (!show(state, shown)) return close(shown);
    constexpr int kRegenerations = 3;
    double regeneration = 0.0;
    for (int k = 0; k < kRegenerations; ++k) regeneration += drawSeconds(shown, k, true) / kRegenerations;
    // The last regeneration recorded a pan; the cache is made for the extents again.
    drawSeconds(shown, 0, true);
    const std::int32_t rect[4] = {0, 0, kWidth, kHeight};
    adMakeViewTransform(shown.drawing, &shown.extents, rect, nullptr);
    adInvalidateViewCache(shown.drawing);
    adMakeViewTransform(shown.drawing, &shown.extents, rect, nullptr);
    adDrawDrawing(shown.drawing);
    int i = 0;
    double replay = 0.0;
    for (auto _ : state) {
        const double seconds = drawSeconds(shown, i++, false);
        replay += seconds;
        state.SetIterationTime(seconds);
    }
    close(shown);
    if (state.iterations() > 0 && replay > 0.0) {
        state.counters["regeneration ms"] = regeneration * 1000.0;
        state.counters["times faster than regeneration"] = regeneration * static_cast<double>(state.iterations()) / replay;
    }
}

}  // namespace

BENCHMARK(regenerateAfterPan)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(replayAfterPan)->Unit(benchmark::kMillisecond)->UseManualTime();
