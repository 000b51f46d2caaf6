// Working bytes of the codecs taken from calloc, so that a failed allocation
// is a null to check rather than an exception, and given back with free
// however the decode ends.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

using FreeBuffer = std::unique_ptr<std::uint8_t, FreeDeleter>;
