// Arithmetic on 8-byte big-endian handles, modulo 2^64.
#include "toolkit/db/handle_value.h"

#include <bit>

// Every entity packed and every handle written asks for a length: the
// leading zero bits of the number give it.
int adHandleLength(const AdHandle* handle) {
    return (64 - std::countl_zero(adHandleValue(handle)) + 7) / 8;
}

// Handles are compared as the 64-bit numbers they spell: the index compares
// one per tree level on every lookup.
int adHandleCompare(const AdHandle* a, const AdHandle* b) {
    const std::uint64_t x = adHandleValue(a);
    const std::uint64_t y = adHandleValue(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

// The arithmetic is that of 64-bit unsigned numbers, which wrap modulo 2^64;
// the DWG reader applies a relative handle to every handle it reads.
int adHandleIncrement(AdHandle* handle) {
    const std::uint64_t next = adHandleValue(handle) + 1;
    adHandleSetValue(handle, next);
    return next != 0 ? 1 : 0;
}

void adHandleAdd(const AdHandle* a, const AdHandle* b, AdHandle* result) {
    adHandleSetValue(result, adHandleValue(a) + adHandleValue(b));
}

void adHandleNegate(AdHandle* handle) { adHandleSetValue(handle, 0 - adHandleValue(handle)); }

void adHandleSubtract(const AdHandle* a, const AdHandle* b, AdHandle* result) {
    adHandleSetValue(result, adHandleValue(a) - adHandleValue(b));
}

void adHandleAddLong(const AdHandle* handle, std::uint32_t value, AdHandle* result) {
    adHandleSetValue(result, adHandleValue(handle) + value);
}
