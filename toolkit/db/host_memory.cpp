// Host memory primitives: the toolkit allocates and copies only through these.
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"

#include <cstdlib>
#include <cstring>

namespace {
// Successful allocations left before a forced failure; negative: none forced.
std::int32_t allocationsBeforeFailure = -1;
}  // namespace

void HostFailAllocationAfter(std::int32_t n) { allocationsBeforeFailure = n; }

void* HostAlloc(std::size_t length) {
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        return nullptr;
    }
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    return std::malloc(length);
}

int HostFree(void* block) {
    std::free(block);
    return 1;
}

// Copies the whole length, overlapping areas included.
int HostMemMove(void* destination, const void* source, std::size_t length) {
    if (length != 0) std::memmove(destination, source, length);
    return 1;
}

int HostStartCheck() { return 1; }
