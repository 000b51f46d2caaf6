// Full regeneration of large drawings through the display engine: the
// 200,000-entity synthetic DWG of the corpus and the 200,000-entity DXF of
// the load benchmark (written by make_big_dxf.py into the build tree), to a
// host that draws nothing and to the raster host at 1920 x 1080. Counters:
// entities per second, the peak resident memory and, for the DXF to the
// raster host, how many times faster than ezdxf's drawing add-on drawing the
// same drawing's first 20,000 entities in the same run.
#include "bench/big_drawing.h"
#include "bench/bench_display.h"
#include "tools/renderhost/raster_host.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// ezdxf's drawing add-on takes over ten minutes on the 200,000 entities,
// so it draws the first 20,000 of them into a picture
// of the same size, and the rates are compared. Answers its entities per
// second, once per run; 0 when it could not run. ezdxf reads no DWG: the
// DWG has no peer.
constexpr int kEzdxfSample = 20000;

double ezdxfEntitiesPerSecond() {
    static double rate = -1.0;
    if (rate >= 0.0) return rate;
    const std::string sample = benchBigDxf(".dxf", kEzdxfSample);
    const double seconds = sample.empty() ? 0.0
                                          : benchPeerSeconds(std::string("'") + VT_PYTHON + "' '" + VT_EZDXF_TIMER +
                                                             "' '" + sample + "' " + std::to_string(kWidth) + " " +
                                                             std::to_string(kHeight) + " 2>/dev/null");
    return rate = seconds > 0.0 ? kEzdxfSample / seconds : 0.0;
}

void nothing(std::int32_t, std::int32_t, void*) {}
void noPolygon(const std::int16_t*, const DevicePoint*, void*) {}
void noColour(std::int16_t, void*) {}

void regenerate(benchmark::State& state, const std::string& path, bool raster, bool againstEzdxf) {
    if (path.empty() || !std::filesystem::exists(path)) {
        state.SkipWithError("no such drawing");
        return;
    }
    AdDrawing* drawing = benchOpenForDrawing(state, path);
    if (!drawing) return;
    const std::int32_t rect[4] = {0, 0, kWidth - 1, kHeight - 1};
    AdViewRecord view{};
    adBeginDisplay(drawing, &view, rect, nullptr, nullptr);
    adMakeViewTransform(drawing, &view, rect, nullptr);
    adSetMoveToHook(nothing);
    adSetLineToHook(nothing);
    adSetPolygonHook(noPolygon);
    adSetColorHook(noColour);
    adDrawDrawing(drawing);
    adZoomExtents(drawing, &view);
    adMakeViewTransform(drawing, &view, rect, nullptr);
    const std::int64_t entities = adListCount(drawing->modelSpace) + adListCount(drawing->paperSpace);
    double drawSeconds = 0.0;
    // Outlives the loop: the hooks and the drawing's user pointer keep
    // pointing at the last canvas until the display ends.
    std::optional<RasterHost> host;
    for (auto _ : state) {
        if (raster) {
            state.PauseTiming();
            host.emplace(kWidth, kHeight);
            host->install();
            host->setUserData(drawing);
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        adDrawDrawing(drawing);
        drawSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    adEndDisplay(drawing);
    adCloseDrawing(drawing);
    adTermRender();
    adTermToolkit();
    state.counters["entities/s"] =
        benchmark::Counter(static_cast<double>(entities), benchmark::Counter::kIsIterationInvariantRate);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    if (againstEzdxf && state.iterations() > 0 && drawSeconds > 0.0) {
        const double theirs = ezdxfEntitiesPerSecond();
        const double ours = static_cast<double>(entities) * static_cast<double>(state.iterations()) / drawSeconds;
        state.counters["ezdxf entities/s"] = theirs;
        if (theirs > 0.0) state.counters["times faster than ezdxf"] = ours / theirs;
    }
}

void dwgNull(benchmark::State& state) { regenerate(state, benchBigDwg(), false, false); }
void dwgRaster(benchmark::State& state) { regenerate(state, benchBigDwg(), true, false); }
void dxfNull(benchmark::State& state) { regenerate(state, benchBigDxf(".dxf"), false, false); }
void dxfRaster(benchmark::State& state) { regenerate(state, benchBigDxf(".dxf"), true, true); }

}  // namespace

BENCHMARK(dwgNull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dwgRaster)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dxfNull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dxfRaster)->Unit(benchmark::kMillisecond)->UseRealTime();
