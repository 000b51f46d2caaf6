// Host memory primitives: the toolkit allocates and copies only through these.
#include "toolkit/ad.h"

#include <cstdlib>
#include <cstring>

void* HostAlloc(std::size_t length) { return std::malloc(length); }

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
