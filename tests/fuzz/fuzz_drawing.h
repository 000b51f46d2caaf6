// For fuzz targets that open a whole drawing: the toolkit is started once per
// process as the host starts it, and each input is opened from a file and
// closed again, so a leak or an overrun anywhere in a load is found.
#pragma once

#include "fuzz/fuzz_file.h"
#include "toolkit/ad.h"

#include <cstdlib>

inline void FuzzStartToolkit() {
    static const bool started = [] {
        HostUseEmbeddedInitData();
        std::int16_t error = 0;
        if (!adInitToolkit(nullptr, &error)) std::abort();
        adSetAcceptPreRelease();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
        std::atexit(adTermToolkit);
        return true;
    }();
    (void)started;
}

inline void FuzzOpenDrawing(const std::uint8_t* data, std::size_t size) {
    FuzzStartToolkit();
    adClearError();
    if (AdDrawing* drawing = adOpenDrawing(FuzzInputFile(data, size).c_str(), 1, 0)) adCloseDrawing(drawing);
}
