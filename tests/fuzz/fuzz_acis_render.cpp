// The whole display path over arbitrary text: parse, classify, render and
// free, with every vertex finite or not but never out of bounds.
#include "tests/toolkit/solids/sat_text_reader.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/module_state.h"

#include <cstdint>
#include <string_view>

namespace {

void begin(std::int32_t, void*) {}
void end(void*) {}
void vertex(double, double, double, void*) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetSolidsState();
    setDiagnosticSink([](DiagnosticStream, std::string_view, void*) {}, nullptr);
    // Odd chunks, so that tokens straddle refills.
    SatTextReader input{reinterpret_cast<const char*>(data), size, 37};
    AdAcisRequest request{&SatTextReader::read, &begin, &end, &vertex, &input, 10, 4, 0, 2};
    adAcisRender(&request);
    return 0;
}
