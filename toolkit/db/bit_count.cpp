// Counting the flag bits of a four-bit mask.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <bit>

int adBitCount(std::int32_t mask) { return std::popcount(static_cast<std::uint32_t>(mask) & 0x0Fu); }
