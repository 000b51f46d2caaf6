// The host's start-up for a load benchmark: the embedded init data, the
// toolkit and both readers. False, with the benchmark skipped, when the
// toolkit does not start.
#pragma once
#include "toolkit/ad.h"

#include <benchmark/benchmark.h>

inline bool benchStartToolkit(benchmark::State& state) {
    HostUseEmbeddedInitData();
    std::int16_t error = 0;
    if (!adInitToolkit(nullptr, &error)) {
        state.SkipWithError("the toolkit did not start");
        return false;
    }
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    return true;
}
