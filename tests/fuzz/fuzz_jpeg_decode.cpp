// JPEG decodes of arbitrary bytes, the EXIF reader included.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDecode(data, size, kRasterJpeg, true);
    return 0;
}
