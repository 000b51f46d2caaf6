// TGA decodes of arbitrary bytes. The decoder itself refuses a picture larger than its file can hold.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDecode(data, size, kRasterTga, false);
    return 0;
}
