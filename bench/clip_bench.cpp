// The polygon clipper against an independent one, timed in the same run:
// a many-vertex circle and a comb against a rectangle (few crossings, the
// engine's daily work), from 100 to 100,000 vertices, and two random star
// polygons (a crossing or more per spike, so both clippers grow as n squared:
// up to 10,000 vertices). Each size runs ours ("clip/...") and the oracle
// ("oracle/...") on the same operands.
#include "tests/toolkit/display/clip/clip_shapes.h"
#include "tests/toolkit/display/clip_oracle/clip_oracle.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

Ring circle(int n, double r, double cx, double cy) {
    Ring ring(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) ring[i] = {cx + r * std::cos(2 * std::numbers::pi * i / n), cy + r * std::sin(2 * std::numbers::pi * i / n)};
    return ring;
}

// Teeth of width 1 and height 10 every 2 units over a base: n vertices.
Ring comb(int n) {
    Ring ring;
    const int teeth = (n - 2) / 4;
    for (int t = 0; t < teeth; ++t) {
        ring.push_back({2.0 * t, 0});
        ring.push_back({2.0 * t + 1, 0});
        ring.push_back({2.0 * t + 1, 10});
        ring.push_back({2.0 * t + 2, 10});
    }
    ring.push_back({2.0 * teeth, -1});
    ring.push_back({0, -1});
    return ring;
}

Ring star(int n, std::uint64_t seed, double cx) {
    ClipRandom r(seed);
    Ring ring(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double radius = 0.5 + 0.5 * r.unit();
        ring[i] = {cx + radius * std::cos(2 * std::numbers::pi * i / n), radius * std::sin(2 * std::numbers::pi * i / n)};
    }
    return ring;
}

struct Operands {
    Ring subject;
    Ring clip;
};

Operands operands(int kind, int n) {
    switch (kind) {
    case 0: return {circle(n, 1, 0, 0), box(0.1, -0.7, 2, 0.8)};
    case 1: {
        Ring c = comb(n);
        const double width = c[c.size() - 2].x;
        return {c, box(0.5, -2, width - 0.5, 5)};
    }
    default: return {star(n, 1, 0), star(n, 2, 0.3)};
    }
}

class OwnedPolygon {
public:
    explicit OwnedPolygon(const Ring& ring) { adClipPolygonFromPoints(&p, static_cast<std::int32_t>(ring.size()), ring.data()); }
    ~OwnedPolygon() { adClipPolygonFree(&p); }
    AdClipPolygon p{};
};

void clip(benchmark::State& state, int kind) {
    const Operands o = operands(kind, static_cast<int>(state.range(0)));
    OwnedPolygon subject(o.subject), clipPolygon(o.clip);
    for (auto _ : state) {
        AdClipPolygon result{};
        adClipIntersect(&subject.p, &clipPolygon.p, &result);
        benchmark::DoNotOptimize(result.contourCount);
        adClipPolygonFree(&result);
    }
    state.SetComplexityN(state.range(0));
}

void oracle(benchmark::State& state, int kind) {
    const Operands o = operands(kind, static_cast<int>(state.range(0)));
    OwnedPolygon subject(o.subject), clipPolygon(o.clip);
    // The oracle's fast range: coordinates up to about 2^30 after scaling.
    double largest = 0;
    for (const Ring* ring : {&o.subject, &o.clip})
        for (const AdClipPoint& p : *ring) largest = std::max({largest, std::fabs(p.x), std::fabs(p.y)});
    const double scale = std::exp2(std::floor(std::log2(0x1.0p29 / largest)));
    const ClipperLib::Paths s = oraclePaths(&subject.p, scale), c = oraclePaths(&clipPolygon.p, scale);
    for (auto _ : state) {
        const ClipperLib::Paths out = oracleBoolean(AD_CLIP_INTERSECTION, s, c);
        benchmark::DoNotOptimize(out.size());
    }
    state.SetComplexityN(state.range(0));
}

void arguments(benchmark::internal::Benchmark* b) {
    for (int n : {100, 1000, 10000, 100000}) b->Arg(n);
    b->Unit(benchmark::kMicrosecond)->Complexity();
}

void crowded(benchmark::internal::Benchmark* b) {
    for (int n : {100, 1000, 10000}) b->Arg(n);
    b->Unit(benchmark::kMicrosecond)->Complexity();
}

}  // namespace

BENCHMARK_CAPTURE(clip, circle_rectangle, 0)->Apply(arguments);
BENCHMARK_CAPTURE(oracle, circle_rectangle, 0)->Apply(arguments);
BENCHMARK_CAPTURE(clip, comb_rectangle, 1)->Apply(arguments);
BENCHMARK_CAPTURE(oracle, comb_rectangle, 1)->Apply(arguments);
BENCHMARK_CAPTURE(clip, random_stars, 2)->Apply(crowded);
BENCHMARK_CAPTURE(oracle, random_stars, 2)->Apply(crowded);
