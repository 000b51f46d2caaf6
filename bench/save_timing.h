// Timing adSaveDrawing on one loaded drawing: the load is done once, outside
// the timing; each iteration writes the whole file (into the page cache).
// Counters: bytes written per second and entities saved per second.
#pragma once
#include "bench/bench_toolkit.h"
#include "toolkit/ad.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

// Saves the drawing at path to out in the format and version, with the
// viewer's DXF settings, as long as the benchmark runs. Answers the mean
// seconds of one save; 0, with the benchmark skipped and the reason given,
// when the drawing is missing, does not load or does not save.
inline double benchTimeSave(benchmark::State& state, const std::string& path, const std::string& out,
                            std::uint8_t format, std::int16_t version) {
    if (path.empty()) {
        state.SkipWithError("the drawing is missing");
        return 0.0;
    }
    if (!benchStartToolkit(state)) return 0.0;
    AdDrawing* drawing = adOpenDrawing(path.c_str(), 1, 0);
    if (!drawing) {
        const std::string why = "does not load: " + std::string(adErrorText(adGlobals->errorCode));
        state.SkipWithError(why.c_str());
        adTermToolkit();
        return 0.0;
    }
    const std::int64_t entities = adListCount(drawing->modelSpace) + adListCount(drawing->paperSpace);
    double seconds = 0.0;
    bool saved = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        saved = adSaveDrawing(drawing, out.c_str(), format, version, 1, 6, 0, 1) != 0;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!saved) {
            const std::string why = "not saved: error " + std::to_string(adGlobals->errorCode) + " (" +
                                    adErrorText(adGlobals->errorCode) + ")";
            state.SkipWithError(why.c_str());
            break;
        }
    }
    adCloseDrawing(drawing);
    adTermToolkit();
    if (!saved || state.iterations() == 0) return 0.0;
    std::error_code failed;
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(out, failed));
    state.SetBytesProcessed(state.iterations() * (failed ? 0 : bytes));
    state.counters["entities/s"] =
        benchmark::Counter(static_cast<double>(entities), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB written"] = static_cast<double>(failed ? 0 : bytes) / 1e6;
    return seconds / static_cast<double>(state.iterations());
}
