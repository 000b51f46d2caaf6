// Whole DXF loads of arbitrary bytes: the sniff, the pre-scan and every
// stage whose loader is built.
#include "fuzz/fuzz_drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzOpenDrawing(data, size);
    return 0;
}
