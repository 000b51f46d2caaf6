// PNG decodes of arbitrary bytes. The codec has no size-only pass: the size
// comes from the header chunk, which follows the signature.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 24) {
        const auto field = [data](std::size_t at) {
            return std::uint64_t{data[at]} << 24 | std::uint64_t{data[at + 1]} << 16 | data[at + 2] << 8 | data[at + 3];
        };
        if (field(16) * field(20) > kFuzzMaxPixels) return 0;
    }
    FuzzDecode(data, size, kRasterPng, false);
    return 0;
}
