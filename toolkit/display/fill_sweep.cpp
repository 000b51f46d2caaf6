// Solid hatches: the loops the island rules keep are cut by a vertical sweep
// into trapezoids and triangles between pairs of active edges, each handed
// to the quad fill. The active edges live in a table of fixed size; a fill
// that would need more of them at once is refused before anything is drawn.
#include "toolkit/display/emit.h"
#include "toolkit/display/fill.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <queue>

namespace {

constexpr double kClosure = 1e-5;
constexpr double kVertical = 1e-12;

// Each segment starts where the one before ended and the last ends where the
// first starts; coordinates that are not finite make no loop either.
bool closedLoop(const std::vector<AdSegment>& segments) {
    for (const AdSegment& s : segments)
        if (!std::isfinite(s.x0) || !std::isfinite(s.y0) || !std::isfinite(s.x1) || !std::isfinite(s.y1))
            return false;
    const std::size_t n = segments.size();
    for (std::size_t i = 0; i < n; ++i) {
        const AdSegment& before = segments[(i + n - 1) % n];
        if (std::fabs(segments[i].x0 - before.x1) > kClosure || std::fabs(segments[i].y0 - before.y1) > kClosure)
            return false;
    }
    return true;
}

// The events of one closed loop; false when an edge's line is not finite.
bool loopEvents(const std::vector<AdSegment>& segments, std::int32_t* edge, std::vector<AdEdgeEvent>* events) {
    std::vector<AdEdgeEvent> own;
    for (const AdSegment& s : segments) {
        if (std::fabs(s.x1 - s.x0) <= kVertical) continue;
        const bool forward = s.x0 < s.x1;
        const double lx = forward ? s.x0 : s.x1, ly = forward ? s.y0 : s.y1;
        const double rx = forward ? s.x1 : s.x0, ry = forward ? s.y1 : s.y0;
        const double slope = (ry - ly) / (rx - lx);
        const double intercept = ly - lx * slope;
        if (!std::isfinite(slope) || !std::isfinite(intercept)) return false;
        if (*edge == INT32_MAX) return false;
        const std::int32_t n = ++*edge;
        own.push_back(AdEdgeEvent{lx, ly, slope, intercept, n});
        own.push_back(AdEdgeEvent{rx, ry, slope, intercept, -n});
    }
    events->insert(events->end(), own.begin(), own.end());
    return true;
}

// The most edges active at once: every left end precedes its right end.
std::int32_t mostActive(const std::vector<AdEdgeEvent>& events) {
    std::int32_t active = 0, most = 0;
    for (const AdEdgeEvent& e : events) {
        active += e.edge > 0 ? 1 : -1;
        most = std::max(most, active);
    }
    return most;
}

class Sweep {
public:
    Sweep(AdDrawing* drawing, const AdMatrix4* matrices, double elevation)
        : drawing_(drawing), matrices_(matrices), z_(elevation) {
        table_.reserve(AD_ACTIVE_EDGE_LIMIT);
    }

    void run(const std::vector<AdEdgeEvent>& events, double tolerance) {
        std::size_t e = 0;
        double x = events.front().x;
        while (e < events.size()) {
            const AdEdgeEvent& event = events[e];
            if (std::fabs(event.x - x) >= tolerance) {
                x = event.x;
                advance(x);
                continue;
            }
            if (event.edge < 0)
                remove(-event.edge);
            else
                insert(event);
            ++e;
        }
    }

private:
    void remove(std::int32_t edge) {
        const auto at = std::find_if(table_.begin(), table_.end(), [&](const AdEdgeEvent& a) { return a.edge == edge; });
        if (at != table_.end()) table_.erase(at);
    }
    void insert(const AdEdgeEvent& event) {
        const auto at = std::find_if(table_.begin(), table_.end(), [&](const AdEdgeEvent& a) {
            return !(a.y > event.y || (a.y == event.y && a.slope > event.slope));
        });
        table_.insert(at, event);
    }
    // The piece between each pair of active edges from their last position
    // to x; a pair that starts from one point gives a triangle.
    void advance(double x) {
        for (std::size_t i = 0; i + 1 < table_.size(); i += 2) {
            AdEdgeEvent& a = table_[i];
            AdEdgeEvent& b = table_[i + 1];
            const double p1[3] = {a.x, a.y, z_}, p2[3] = {b.x, b.y, z_};
            a.x = b.x = x;
            a.y = a.slope * x + a.intercept;
            b.y = b.slope * x + b.intercept;
            const double p4[3] = {x, a.y, z_}, p3[3] = {x, b.y, z_};
            if (p1[0] == p2[0] && p1[1] == p2[1])
                adFillQuad(drawing_, p4, p3, p2, p1, matrices_);
            else
                adFillQuad(drawing_, p2, p1, p3, p4, matrices_);
        }
    }

    AdDrawing* drawing_;
    const AdMatrix4* matrices_;
    double z_;
    std::vector<AdEdgeEvent> table_;
};

void solidFill(AdDrawing* drawing, const AdMatrix4* matrices, std::int32_t loopCount, std::uint16_t* counts,
               AdStore* const* stores, std::int16_t style, double elevation) {
    Sweep sweep(drawing, matrices, elevation);
    if (loopCount > 1) adHatchDropIslands(loopCount, counts, stores, style);
    std::vector<AdEdgeEvent> events;
    std::vector<AdSegment> segments;
    std::int32_t edge = 0;
    for (std::int32_t l = 0; l < loopCount; ++l) {
        // An open loop, or one whose edges have no finite line, is left out.
        if (counts[l] != 0 && adReadSegments(stores[l], counts[l], &segments) && closedLoop(segments))
            loopEvents(segments, &edge, &events);
    }
    if (events.empty()) return;
    double range = 0.0;
    if (!adHatchSortEdgeEvents(&events, AD_ACTIVE_EDGE_LIMIT, &range)) return;
    if (mostActive(events) > AD_ACTIVE_EDGE_LIMIT) {
        adSetError(AD_ERR_FILL_TOO_LARGE);
        return;
    }
    sweep.run(events, range / 100000.0);
}

struct RunHead {
    double x;
    std::size_t run;
    std::size_t at;
};

// The smallest x first; among equal x the lowest run.
struct Later {
    bool operator()(const RunHead& a, const RunHead& b) const { return a.x > b.x || (a.x == b.x && a.run > b.run); }
};

}  // namespace

bool adReadSegments(AdStore* store, std::uint16_t count, std::vector<AdSegment>* out) {
    out->clear();
    if (!store) return count == 0;
    if (static_cast<std::int64_t>(adStoreSize(store)) < static_cast<std::int64_t>(count) * 32) return false;
    AdStream* in = adStreamOpenRead(store);
    if (!in) return false;
    out->resize(count);
    bool ok = true;
    for (AdSegment& s : *out) {
        double v[4] = {};
        for (double& value : v) ok = ok && adStreamReadDouble(in, &value);
        s = AdSegment{v[0], v[1], v[2], v[3]};
    }
    adStreamCloseRead(in);
    return ok;
}

int adHatchCompareEdgeEvents(const AdEdgeEvent* a, const AdEdgeEvent* b) {
    if (a->x != b->x) return a->x < b->x ? -1 : 1;
    if (a->y != b->y) return a->y > b->y ? -1 : 1;
    if (a->slope != b->slope) return a->slope > b->slope ? -1 : 1;
    return 0;
}

// Runs sorted in place, then merged through a heap: the merge costs
// log(runs) per event, not the number of runs.
int adHatchSortEdgeEvents(std::vector<AdEdgeEvent>* events, std::int32_t capacity, double* range) {
    std::vector<AdEdgeEvent>& all = *events;
    *range = 0.0;
    if (all.empty()) return 1;
    const std::size_t run = static_cast<std::size_t>(std::max<std::int32_t>(capacity, 1));
    const auto before = [](const AdEdgeEvent& a, const AdEdgeEvent& b) { return adHatchCompareEdgeEvents(&a, &b) < 0; };
    try {
        for (std::size_t first = 0; first < all.size(); first += run)
            std::sort(all.begin() + static_cast<std::ptrdiff_t>(first),
                      all.begin() + static_cast<std::ptrdiff_t>(std::min(first + run, all.size())), before);
        if (all.size() > run) {
            std::priority_queue<RunHead, std::vector<RunHead>, Later> heads;
            for (std::size_t first = 0, r = 0; first < all.size(); first += run, ++r)
                heads.push(RunHead{all[first].x, r, first});
            std::vector<AdEdgeEvent> merged;
            merged.reserve(all.size());
            while (!heads.empty()) {
                RunHead head = heads.top();
                heads.pop();
                merged.push_back(all[head.at]);
                const std::size_t end = std::min((head.run + 1) * run, all.size());
                if (++head.at < end) {
                    head.x = all[head.at].x;
                    heads.push(head);
                }
            }
            all.swap(merged);
        }
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_FILL_MEMORY);
        return 0;
    }
    *range = all.back().x - all.front().x;
    return 1;
}

void adHatchSolidFill(AdDrawing* drawing, const AdMatrix4* matrices, std::int32_t loopCount, std::uint16_t* counts,
                      AdStore* const* stores, std::int16_t style, double elevation) {
    try {
        solidFill(drawing, matrices, loopCount, counts, stores, style, elevation);
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_FILL_MEMORY);
    }
}
