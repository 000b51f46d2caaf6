// Loading every corpus DWG, the 200,000-entity synthetic DWG, and drawings
// of 2,000 and 20,000 blocks (DXF files written by make_block_dxf.py; the
// block walk is the same for both formats). Counters: bytes read per second,
// entities loaded per second and, for the block drawings, blocks per second;
// equal blocks per second at both sizes means the load is linear in the
// block count.
#include "bench/bench_toolkit.h"
#include "toolkit/ad.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// Every entity the drawing holds: both spaces and every other block.
std::int64_t entityCount(AdDrawing* drawing) {
    std::int64_t count = adListCount(drawing->modelSpace) + adListCount(drawing->paperSpace);
    auto block = std::make_unique<AdBlockHeader>();
    adBlockRewind(drawing);
    while (adBlockNext(drawing, block.get()))
        if (block->entities != drawing->modelSpace && block->entities != drawing->paperSpace)
            count += adListCount(block->entities);
    return count;
}

void loadDrawing(benchmark::State& state, const std::string& name) {
    if (!benchStartToolkit(state)) return;
    std::error_code failed;
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(name, failed));
    std::int64_t entities = 0;
    std::int64_t blocks = 0;
    for (auto _ : state) {
        AdDrawing* drawing = adOpenDrawing(name.c_str(), 1, 0);
        if (!drawing) {
            const std::string why = "does not load: error " + std::to_string(adGlobals->errorCode);
            state.SkipWithError(why.c_str());
            break;
        }
        state.PauseTiming();
        entities = entityCount(drawing);
        blocks = adBlockCount(drawing);
        adCloseDrawing(drawing);
        state.ResumeTiming();
    }
    adTermToolkit();
    state.SetBytesProcessed(state.iterations() * (failed ? 0 : bytes));
    state.counters["entities/s"] =
        benchmark::Counter(static_cast<double>(entities), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["blocks/s"] =
        benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kIsIterationInvariantRate);
}

std::vector<std::filesystem::path> corpusDwgFiles() {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path root(VT_SHARED_DATA_DIR);
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(root / "dwg", ignored))
        if (entry.path().extension() == ".dwg") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    const std::filesystem::path synthetic = root / "perf" / "ac1015_synthetic_200k.dwg";
    if (std::filesystem::exists(synthetic, ignored)) files.push_back(synthetic);
    return files;
}

// The block drawing of that size, written into the build tree on first use;
// empty when it cannot be written.
std::string blockDrawing(int count) {
    const std::filesystem::path path =
        std::filesystem::path(VT_BENCH_DATA_DIR) / ("blocks_" + std::to_string(count) + ".dxf");
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) return path.string();
    const std::string command = std::string("'") + VT_PYTHON + "' '" + VT_BLOCK_SCRIPT + "' '" + path.string() +
                                "' " + std::to_string(count);
    return std::system(command.c_str()) == 0 && std::filesystem::exists(path, ignored) ? path.string() : "";
}

void manyBlocks(benchmark::State& state) {
    const std::string name = blockDrawing(static_cast<int>(state.range(0)));
    if (name.empty()) {
        state.SkipWithError("the block drawing could not be written (is ezdxf installed?)");
        return;
    }
    loadDrawing(state, name);
}

const bool registered = [] {
    for (const std::filesystem::path& file : corpusDwgFiles()) {
        const std::string name = file.string();
        benchmark::RegisterBenchmark(("dwg/" + file.filename().string()).c_str(),
                                     [name](benchmark::State& state) { loadDrawing(state, name); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("blocks", manyBlocks)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
    return true;
}();

}  // namespace
