// The whole display path over arbitrary text: parse, classify, render and
// free, with every vertex finite or not but never out of bounds.
#include "toolkit/solids/acis_request.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/module_state.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

std::int32_t readInput(void* buffer, std::int32_t size, void* user) {
    auto* in = static_cast<Input*>(user);
    // Odd chunks, so that tokens straddle refills.
    const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(size), 37, in->size - in->position});
    std::memcpy(buffer, in->data + in->position, n);
    in->position += n;
    return static_cast<std::int32_t>(n);
}

void begin(std::int32_t, void*) {}
void end(void*) {}
void vertex(double, double, double, void*) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetSolidsState();
    setDiagnosticSink([](DiagnosticStream, std::string_view, void*) {}, nullptr);
    Input input{data, size, 0};
    AdAcisRequest request{&readInput, &begin, &end, &vertex, &input, 10, 4, 0, 2};
    adAcisRender(&request);
    return 0;
}
