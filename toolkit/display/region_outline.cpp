// REGION outlines: the renderer's edges of the region collected as loops,
// separate segments each a loop of their own, and the loops joined where
// their ends meet.
#include "toolkit/display/region_outline.h"

#include "toolkit/display/sat_source.h"
#include "toolkit/solids/acis_request.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

struct RegionLoops {
    AdSatSource source;
    std::int32_t mode = 0;
    std::vector<AdRegionLoop> loops;
    bool failed = false;
};

std::int32_t readRegion(void* buffer, std::int32_t size, void* user) {
    return adSatSourceRead(static_cast<RegionLoops*>(user)->source, buffer, size);
}

void beginLoop(std::int32_t mode, void* user) {
    auto* region = static_cast<RegionLoops*>(user);
    region->mode = mode;
    try {
        region->loops.emplace_back();
    } catch (const std::bad_alloc&) {
        region->failed = true;
    }
}

void endLoop(void*) {}

// z is dropped: the outline is in the region's plane.
void addPoint(double x, double y, double, void* user) {
    auto* region = static_cast<RegionLoops*>(user);
    try {
        if (region->loops.empty() || (region->mode == 1 && region->loops.back().size() >= 4))
            region->loops.emplace_back();
        region->loops.back().insert(region->loops.back().end(), {x, y});
    } catch (const std::bad_alloc&) {
        region->failed = true;
    }
}

bool sameCoordinate(double p, double q) { return std::fabs(p - q) < (std::fabs(p) + std::fabs(q) + 1.0) * 1e-6; }

bool samePoint(const double* p, const double* q) { return sameCoordinate(p[0], q[0]) && sameCoordinate(p[1], q[1]); }

const double* firstOf(const AdRegionLoop& loop) { return loop.data(); }
const double* lastOf(const AdRegionLoop& loop) { return loop.data() + loop.size() - 2; }

// Appends loop a to b when they meet; true when a is used up.
bool joinTo(AdRegionLoop& a, AdRegionLoop& b) {
    if (samePoint(firstOf(a), lastOf(b))) {
        b.insert(b.end(), a.begin() + 2, a.end());
        return true;
    }
    if (samePoint(lastOf(a), lastOf(b))) {
        for (std::size_t i = a.size() - 2; i >= 2; i -= 2) b.insert(b.end(), {a[i - 2], a[i - 1]});
        return true;
    }
    return false;
}

}  // namespace

int adWriteRegionLoops(std::vector<AdRegionLoop>& loops, AdStream* out) {
    loops.erase(std::remove_if(loops.begin(), loops.end(), [](const AdRegionLoop& l) { return l.size() < 2; }),
                loops.end());
    std::vector<bool> used(loops.size(), false);
    for (std::size_t i = 0; i < loops.size(); ++i)
        for (std::size_t j = 0; j < loops.size(); ++j)
            if (j != i && !used[j] && joinTo(loops[i], loops[j])) {
                used[i] = true;
                break;
            }
    bool ok = true;
    const auto write = [&](const double* p) { ok = ok && adStreamWritePoint2D(out, p); };
    for (std::size_t i = 0; i < loops.size(); ++i) {
        if (used[i]) continue;
        for (std::size_t k = 0; k < loops[i].size(); k += 2) write(&loops[i][k]);
        if (!samePoint(firstOf(loops[i]), lastOf(loops[i]))) write(lastOf(loops[i]));
    }
    for (std::size_t i = loops.size(); i-- > 0;)
        if (!used[i]) write(firstOf(loops[i]));
    return ok;
}

int adRegionOutline(AdStore* sat, AdStream* out, std::int32_t setting) {
    if (!sat) return 1;
    AdStream* in = adStreamOpenRead(sat);
    if (!in) return 0;
    RegionLoops region;
    region.source = AdSatSource{in, adStreamLength(in)};
    AdAcisRequest request{readRegion, beginLoop, endLoop, addPoint, &region, setting, 4, 0, 0};
    adAcisRender(&request);
    adStreamCloseRead(in);
    if (region.failed) return 0;
    try {
        return adWriteRegionLoops(region.loops, out);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
