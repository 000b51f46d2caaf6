// Allocation-failure injection, for tests that must see every allocation of an
// operation fail in turn.
#pragma once

#include <cstdint>

// After n more successful allocations HostAlloc answers null (n = 0: the next
// one fails). A negative n turns the injection off. A forced failure fires
// once: later allocations succeed again until the next call.
void HostFailAllocationAfter(std::int32_t n);
