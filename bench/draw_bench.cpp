// Full regeneration of large drawings through the display engine: the
// 200,000-entity synthetic DWG of the corpus and the 200,000-entity DXF of
// the load benchmark (written by make_big_dxf.py into the build tree), to a
// host that draws nothing and to the raster host at 1920 x 1080. Counters:
// entities per second, the peak resident memory, and how many times faster
// than ezdxf's drawing add-on drawing the same file in the same run.
#include "bench/bench_toolkit.h"
#include "tools/renderhost/raster_host.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

std::string dwgFile() { return std::string(VT_SHARED_DATA_DIR) + "/perf/ac1015_synthetic_200k.dwg"; }

std::string dxfFile() {
    const std::filesystem::path path = std::filesystem::path(VT_BENCH_DATA_DIR) / "big.dxf";
    if (!std::filesystem::exists(path)) {
        const std::string command = std::string("'") + VT_PYTHON + "' '" + VT_BENCH_SCRIPT + "' '" + VT_BENCH_DATA_DIR + "'";
        if (std::system(command.c_str()) != 0) return {};
    }
    return path.string();
}

// Seconds ezdxf's drawing add-on takes to draw the file into a picture of
// the same size; once per file and run. 0 when it could not run.
double ezdxfSeconds(const std::string& path) {
    static std::map<std::string, double> seconds;
    if (auto found = seconds.find(path); found != seconds.end()) return found->second;
    const std::string command = std::string("'") + VT_PYTHON + "' '" + VT_EZDXF_TIMER + "' '" + path + "' " +
                                std::to_string(kWidth) + " " + std::to_string(kHeight);
    double value = 0.0;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        if (std::fscanf(pipe, "%lf", &value) != 1) value = 0.0;
        pclose(pipe);
    }
    return seconds[path] = value;
}

void nothing(std::int32_t, std::int32_t, void*) {}
void noPolygon(const std::int16_t*, const DevicePoint*, void*) {}
void noColour(std::int16_t, void*) {}

void regenerate(benchmark::State& state, const std::string& path, bool raster) {
    if (path.empty() || !std::filesystem::exists(path)) {
        state.SkipWithError("no such drawing");
        return;
    }
    if (!benchStartToolkit(state)) return;
    adInitRender();
    adSetDisplayCaching(0);
    AdDrawing* drawing = adOpenDrawing(path.c_str(), 1, 1);
    if (!drawing) {
        state.SkipWithError("the drawing did not open");
        adTermRender();
        adTermToolkit();
        return;
    }
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
    for (auto _ : state) {
        if (raster) {
            state.PauseTiming();
            RasterHost host(kWidth, kHeight);
            host.install();
            host.setUserData(drawing);
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
    if (raster && state.iterations() > 0) {
        const double theirs = ezdxfSeconds(path), ours = drawSeconds / static_cast<double>(state.iterations());
        state.counters["ezdxf s"] = theirs;
        if (theirs > 0.0 && ours > 0.0) state.counters["times faster than ezdxf"] = theirs / ours;
    }
}

void dwgNull(benchmark::State& state) { regenerate(state, dwgFile(), false); }
void dwgRaster(benchmark::State& state) { regenerate(state, dwgFile(), true); }
void dxfNull(benchmark::State& state) { regenerate(state, dxfFile(), false); }
void dxfRaster(benchmark::State& state) { regenerate(state, dxfFile(), true); }

}  // namespace

BENCHMARK(dwgNull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dwgRaster)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dxfNull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dxfRaster)->Unit(benchmark::kMillisecond)->UseRealTime();
