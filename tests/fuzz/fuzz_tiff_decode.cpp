// TIFF decodes of arbitrary bytes through the stream binding.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDecode(data, size, kRasterTiff, true);
    return 0;
}
