// Saving the 200,000-entity drawings as AC1009 ASCII DXF: the DXF of the load
// benchmark and the synthetic DWG of the corpus. Counters: bytes written per
// second, entities saved per second, and the seconds ezdxf takes to save the
// same drawing as R12, timed in the same run, with how many times faster the
// save is. ezdxf turns no later drawing into R12, so it loads the R12 file
// this save wrote (the same entities, in the form both sides write) and
// only its save is timed, the best of two.
#include "bench/big_drawing.h"
#include "bench/save_timing.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void saveR12(benchmark::State& state, const std::string& path, const char* name) {
    const std::string out = std::string(VT_BENCH_DATA_DIR) + "/" + name + "_r12.dxf";
    const double ours = benchTimeSave(state, path, out, AD_FORMAT_DXF_ASCII, AD_VERSION_AC1009);
    if (ours <= 0.0) return;
    const std::string theirsOut = std::string(VT_BENCH_DATA_DIR) + "/" + name + "_r12_ezdxf.dxf";
    const double theirs =
        benchPeerSeconds(std::string("'") + VT_PYTHON + "' '" + VT_EZDXF_SAVE_TIMER + "' '" + out + "' '" + theirsOut + "' 2");
    state.counters["ezdxf s"] = theirs;
    if (theirs > 0.0) state.counters["times faster than ezdxf"] = theirs / ours;
}

void dxfToR12(benchmark::State& state) { saveR12(state, benchBigDxf(".dxf"), "big_dxf"); }
void dwgToR12(benchmark::State& state) { saveR12(state, benchBigDwg(), "big_dwg"); }

}  // namespace

BENCHMARK(dxfToR12)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(dwgToR12)->Unit(benchmark::kMillisecond)->UseRealTime();
