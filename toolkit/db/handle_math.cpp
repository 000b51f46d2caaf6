// Arithmetic on 8-byte big-endian handles, modulo 2^64.
#include "toolkit/db/handle_value.h"

int adHandleLength(const AdHandle* handle) {
    int leadingZeros = 0;
    while (leadingZeros < 8 && handle->b[leadingZeros] == 0) ++leadingZeros;
    return 8 - leadingZeros;
}

// Handles are compared as the 64-bit numbers they spell: the index compares
// one per tree level on every lookup.
int adHandleCompare(const AdHandle* a, const AdHandle* b) {
    const std::uint64_t x = adHandleValue(a);
    const std::uint64_t y = adHandleValue(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

int adHandleIncrement(AdHandle* handle) {
    for (int i = 7; i >= 0; --i) {
        if (++handle->b[i] != 0) return 1;
    }
    return 0;
}

void adHandleAdd(const AdHandle* a, const AdHandle* b, AdHandle* result) {
    unsigned carry = 0;
    for (int i = 7; i >= 0; --i) {
        const unsigned sum = unsigned{a->b[i]} + unsigned{b->b[i]} + carry;
        result->b[i] = static_cast<std::uint8_t>(sum);
        carry = sum >> 8;
    }
}

void adHandleNegate(AdHandle* handle) {
    for (std::uint8_t& byte : handle->b) byte = static_cast<std::uint8_t>(~byte);
    adHandleIncrement(handle);
}

void adHandleSubtract(const AdHandle* a, const AdHandle* b, AdHandle* result) {
    AdHandle negated = *b;
    adHandleNegate(&negated);
    adHandleAdd(a, &negated, result);
}

void adHandleAddLong(const AdHandle* handle, std::uint32_t value, AdHandle* result) {
    AdHandle addend{};
    for (int i = 7; i >= 4; --i) {
        addend.b[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
    adHandleAdd(handle, &addend, result);
}
