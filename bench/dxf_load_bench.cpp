// Loading a large DXF drawing, ASCII and binary: 200,000 mixed entities at
// R2000, written by make_big_dxf.py into the build tree on the first run.
// Counters: bytes read per second and entities loaded per second.
#include "bench/bench_toolkit.h"
#include "toolkit/ad.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::filesystem::path bigFile(const char* extension) {
    return std::filesystem::path(VT_BENCH_DATA_DIR) / (std::string("big") + extension);
}

// Both forms are written together, once; a failed script leaves none.
bool haveBigFiles() {
    if (std::filesystem::exists(bigFile(".dxf")) && std::filesystem::exists(bigFile(".dxb"))) return true;
    const std::string command =
        std::string("'") + VT_PYTHON + "' '" + VT_BENCH_SCRIPT + "' '" + VT_BENCH_DATA_DIR + "'";
    return std::system(command.c_str()) == 0 && std::filesystem::exists(bigFile(".dxb"));
}

void loadDxf(benchmark::State& state, const char* extension) {
    if (!haveBigFiles()) {
        state.SkipWithError("the large DXF could not be written (is ezdxf installed?)");
        return;
    }
    if (!benchStartToolkit(state)) return;
    const std::string name = bigFile(extension).string();
    const std::int64_t bytes = static_cast<std::int64_t>(std::filesystem::file_size(name));
    std::int64_t entities = 0;
    for (auto _ : state) {
        AdDrawing* drawing = adOpenDrawing(name.c_str(), 1, 0);
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
}

void asciiDxf(benchmark::State& state) { loadDxf(state, ".dxf"); }
void binaryDxf(benchmark::State& state) { loadDxf(state, ".dxb"); }

BENCHMARK(asciiDxf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(binaryDxf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
