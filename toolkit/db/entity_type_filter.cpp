// The fixed entity types a mode-2 load keeps.
#include "toolkit/ad.h"

#include <cstring>

namespace {
// Viewports are always kept: without them paper space cannot be shown.
const int kViewportType = 24;
}  // namespace

void adSetEntityTypeFilter(const std::uint8_t flags[32]) {
    if (!adGlobals) return;
    if (flags) std::memcpy(adGlobals->entityTypeFilter, flags, sizeof adGlobals->entityTypeFilter);
    adGlobals->entityTypeFilter[kViewportType] = 1;
}
