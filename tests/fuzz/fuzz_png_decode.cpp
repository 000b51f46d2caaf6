// PNG decodes of arbitrary bytes. The codec has no size-only pass: the size
// comes from the header chunk, which follows the signature.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (FuzzPngSizeTooLarge(data, size)) return 0;
    FuzzDecode(data, size, kRasterPng, false);
    return 0;
}
