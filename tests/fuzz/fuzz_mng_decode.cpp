// MNG, JNG and PNG decodes of arbitrary bytes through libmng. The codec has
// no size-only pass: the canvas size comes from the first chunk (MHDR, JHDR
// or IHDR), which follows the signature.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (FuzzPngSizeTooLarge(data, size)) return 0;
    FuzzDecode(data, size, kRasterMng, false);
    return 0;
}
