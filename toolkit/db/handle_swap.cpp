// Reversing a handle's byte order, for handles kept least significant byte
// first.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <algorithm>

void adHandleSwapBytes(AdHandle* handle) { std::reverse(handle->b, handle->b + 8); }
