// Loading a large DXF drawing, ASCII and binary: 200,000 mixed entities at
// R2000, written by make_big_dxf.py into the build tree on the first run.
// Counters: bytes read per second and entities loaded per second; for the
// ASCII file also the seconds GDAL's DXF driver takes to read every entity of
// it (ogrinfo counting the features and their extent), timed in the same
// run, and how many times faster the load is.
#include "bench/big_drawing.h"
#include "bench/bench_toolkit.h"
#include "toolkit/ad.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Seconds ogrinfo takes to read every entity of the file, the best of three;
// 0 when it could not run.
double gdalSeconds(const std::string& path) {
    const std::string command = "ogrinfo -ro -al -so '" + path + "' > /dev/null 2>&1";
    double best = 0.0;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) return 0.0;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best) best = seconds;
    }
    return best;
}

void loadDxf(benchmark::State& state, const char* extension, bool againstGdal) {
    const std::string name = benchBigDxf(extension);
    if (name.empty()) {
        state.SkipWithError("the large DXF could not be written (is ezdxf installed?)");
        return;
    }
    if (!benchStartToolkit(state)) return;
    const std::int64_t bytes = static_cast<std::int64_t>(std::filesystem::file_size(name));
    std::int64_t entities = 0;
    double bestLoad = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        AdDrawing* drawing = adOpenDrawing(name.c_str(), 1, 0);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (bestLoad == 0.0 || seconds < bestLoad) bestLoad = seconds;
        if (!drawing) {
            state.SkipWithError("the large DXF did not load");
            break;
        }
        state.PauseTiming();
        entities = adListCount(drawing->modelSpace) + adListCount(drawing->paperSpace);
        adCloseDrawing(drawing);
        state.ResumeTiming();
    }
    adTermToolkit();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["entities/s"] =
        benchmark::Counter(static_cast<double>(entities), benchmark::Counter::kIsIterationInvariantRate);
    if (againstGdal && bestLoad > 0.0) {
        const double theirs = gdalSeconds(name);
        state.counters["GDAL s"] = theirs;
        if (theirs > 0.0) state.counters["times faster than GDAL"] = theirs / bestLoad;
    }
}

// GDAL's DXF driver reads no binary DXF: the binary file has no peer.
void asciiDxf(benchmark::State& state) { loadDxf(state, ".dxf", true); }
void binaryDxf(benchmark::State& state) { loadDxf(state, ".dxb", false); }

BENCHMARK(asciiDxf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(binaryDxf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
