// A hatch-heavy drawing drawn whole to a host that draws nothing: 1,000
// square ANSI31 hatches, each with a circular and a square island, written
// by make_hatch_dxf.py into the build tree on the first run. Counters: pattern
// lines (spans and dashes reaching the host) and hatches per second.
#include "bench/bench_display.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kHatches = 1000;

std::string hatchDrawing() {
    const std::filesystem::path path = std::filesystem::path(VT_BENCH_DATA_DIR) / "hatches.dxf";
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) {
        const std::string command = std::string("'") + VT_PYTHON + "' '" + VT_HATCH_SCRIPT + "' '" +
                                    VT_BENCH_DATA_DIR + "' " + std::to_string(kHatches);
        if (std::system(command.c_str()) != 0) return {};
    }
    return std::filesystem::exists(path, ignored) ? path.string() : std::string();
}

std::int64_t linesDrawn = 0;
void noMove(std::int32_t, std::int32_t, void*) {}
void countLine(std::int32_t, std::int32_t, void*) { ++linesDrawn; }

void hatchesToNullHost(benchmark::State& state) {
    const std::string path = hatchDrawing();
    if (path.empty()) {
        state.SkipWithError("the hatch drawing could not be written (needs ezdxf)");
        return;
    }
    AdDrawing* drawing = benchOpenForDrawing(state, path);
    if (!drawing) return;
    const std::int32_t rect[4] = {0, 0, 1919, 1079};
    AdViewRecord view{};
    adBeginDisplay(drawing, &view, rect, nullptr, nullptr);
    adSetMoveToHook(noMove);
    adSetLineToHook(countLine);
    adDrawDrawing(drawing);
    adZoomExtents(drawing, &view);
    adMakeViewTransform(drawing, &view, rect, nullptr);
    linesDrawn = 0;
    for (auto _ : state) adDrawDrawing(drawing);
    adEndDisplay(drawing);
    adCloseDrawing(drawing);
    adTermRender();
    adTermToolkit();
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(linesDrawn), benchmark::Counter::kIsRate);
    state.counters["hatches/s"] = benchmark::Counter(kHatches, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["lines per draw"] =
        state.iterations() > 0 ? static_cast<double>(linesDrawn) / static_cast<double>(state.iterations()) : 0.0;
}

}  // namespace

BENCHMARK(hatchesToNullHost)->Unit(benchmark::kMillisecond)->UseRealTime();
