// Saving the 200,000-entity drawings as AC1015 DWG: the DXF of the load
// benchmark and the synthetic DWG of the corpus. The toolkit runs on one
// thread, so the CPU time is the time on one core. Counters: bytes written
// per second and entities saved per second.
#include "bench/big_drawing.h"
#include "bench/save_timing.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void saveAc1015(benchmark::State& state, const std::string& path, const char* name) {
    benchTimeSave(state, path, std::string(VT_BENCH_DATA_DIR) + "/" + name + "_ac1015.dwg", AD_FORMAT_DWG,
                  AD_VERSION_AC1015);
}

void dxfToDwg(benchmark::State& state) { saveAc1015(state, benchBigDxf(".dxf"), "big_dxf"); }
void dwgToDwg(benchmark::State& state) { saveAc1015(state, benchBigDwg(), "big_dwg"); }

}  // namespace

BENCHMARK(dxfToDwg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dwgToDwg)->Unit(benchmark::kMillisecond)->UseRealTime();
