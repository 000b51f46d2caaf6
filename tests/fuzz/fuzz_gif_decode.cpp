// GIF decodes of arbitrary bytes: the first frame, then the last, which
// composes every frame before it. The size-only pass keeps huge screens out.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CRasterImage probe;
    probe.Info.Escape = -1;
    if (!probe.Decode(data, static_cast<std::uint32_t>(size), kRasterGif) ||
        std::uint64_t{probe.GetWidth()} * probe.GetHeight() > kFuzzMaxPixels)
        return 0;
    CRasterImage first;
    if (first.Decode(data, static_cast<std::uint32_t>(size), kRasterGif)) first.GetColorAt(0, 0, true);
    if (first.GetNumFrames() > 1) {
        CRasterImage last;
        last.SetFrame(first.GetNumFrames() - 1);
        last.Decode(data, static_cast<std::uint32_t>(size), kRasterGif);
    }
    return 0;
}
