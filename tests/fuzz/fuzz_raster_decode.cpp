// Decodes arbitrary bytes as an image of unknown format: every codec the
// image library holds gets its try, in the order of the format search.
#include "imaging/raster_image.h"

#include <cstddef>
#include <cstdint>

// A header can ask for gigabytes of pixels; here such allocations fail (the
// decoder's out-of-memory path) instead of ending the run.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=256"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    CRasterImage image;
    if (image.Decode(data, static_cast<std::uint32_t>(size), kRasterUnknown)) {
        // What a decoder built must hold together for the pixel operations.
        image.GetColorAt(0, 0, true);
        image.FlipVertical();
    }
    return 0;
}
