// The host's start-up for a draw benchmark: the toolkit and the render
// context started, the display-list cache off and the drawing opened. Null,
// with the benchmark skipped and everything stopped again, when any of it
// fails.
#pragma once
#include "bench/bench_toolkit.h"

#include "toolkit/display/display.h"

#include <string>

inline AdDrawing* benchOpenForDrawing(benchmark::State& state, const std::string& path) {
    if (!benchStartToolkit(state)) return nullptr;
    adInitRender();
    adSetDisplayCaching(0);
    AdDrawing* drawing = adOpenDrawing(path.c_str(), 1, 1);
    if (!drawing) {
        state.SkipWithError("the drawing did not open");
        adTermRender();
        adTermToolkit();
    }
    return drawing;
}
