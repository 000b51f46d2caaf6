// Decodes of arbitrary bytes as any member of the JPEG-2000 family (JP2,
// code stream, PGX, PNM, Sun raster). The family's readers check the sizes a
// header names against their sample limit, which this build keeps small.
#include "fuzz/fuzz_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDecode(data, size, kRasterJp2, false);
    return 0;
}
