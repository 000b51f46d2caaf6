// Whole DWG loads of arbitrary bytes.
#include "fuzz/fuzz_drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzOpenDrawing(data, size);
    return 0;
}
