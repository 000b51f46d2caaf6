// Display curves and point inversions per second for each surface kind.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "toolkit/solids/curve.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/torus.h"

namespace {

const aVector kView = aVector(1, 1, 1) / std::sqrt(3.0);

// Every display curve a renderer would ask for, made and freed.
template <class Make>
void displayCurves(benchmark::State& state, Make make) {
    c_Curve* curves[64];
    std::int64_t made = 0;
    for (auto _ : state) {
        const int n = make(curves);
        for (int i = 0; i < n; ++i) delete curves[i];
        made += n;
    }
    state.counters["curves/s"] = benchmark::Counter(double(made), benchmark::Counter::kIsRate);
}

void BM_ConeCurves(benchmark::State& state) {
    const c_Cone cone({0, 0, 0}, {0, 0, 1}, 0.3);
    displayCurves(state, [&](c_Curve** c) { return cone.isoCurves(4, c) + cone.silhouettes(kView, c + 4); });
}
BENCHMARK(BM_ConeCurves);

void BM_EllipticCylinderCurves(benchmark::State& state) {
    const c_EllCylinder cylinder({0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 3, 1);
    displayCurves(state, [&](c_Curve** c) { return cylinder.isoCurves(4, c) + cylinder.silhouettes(kView, c + 4); });
}
BENCHMARK(BM_EllipticCylinderCurves);

void BM_SphereCurves(benchmark::State& state) {
    const c_Sphere sphere({0, 0, 0}, 2);
    displayCurves(state, [&](c_Curve** c) { return sphere.generateCircles(4, c) + sphere.silhouettes(kView, c + 12); });
}
BENCHMARK(BM_SphereCurves);

void BM_TorusCurves(benchmark::State& state) {
    const c_Torus torus({0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 3, 1);
    displayCurves(state, [&](c_Curve** c) { return torus.generateCircles(4, c); });
}
BENCHMARK(BM_TorusCurves);

// A bicubic patch of 6 × 6 control points over [0, 1]².
std::unique_ptr<c_NURBSSurface> patch() {
    std::vector<float> points;
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 6; ++i) points.insert(points.end(), {float(i), float(j), float(std::sin(i + j)), 1.0f});
    const std::vector<float> knots = {0, 0, 0, 0, 1.0f / 3, 2.0f / 3, 1, 1, 1, 1};
    return std::make_unique<c_NURBSSurface>(points.data(), 6, 6, knots.data(), 10, knots.data(), 10);
}

void BM_NurbsSurfaceCurves(benchmark::State& state) {
    const auto surface = patch();
    displayCurves(state, [&](c_Curve** c) { return surface->isoCurves(4, c); });
}
BENCHMARK(BM_NurbsSurfaceCurves);

// Inversion of a point on the patch, and of one far off it, which runs every
// attempt to the end before answering the failure sentinels.
void BM_NurbsSurfaceInversion(benchmark::State& state) {
    const auto surface = patch();
    const aPoint p = state.range(0) ? surface->pointAt(0.37, 0.61) : aPoint(2.5, 2.5, 40);
    for (auto _ : state) {
        double u, v;
        surface->getParameterOf(p, u, v);
        benchmark::DoNotOptimize(u);
    }
    state.counters["inversions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NurbsSurfaceInversion)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_NurbsCurveInversion(benchmark::State& state) {
    const std::vector<float> points = {0, 0, 0, 1, 1, 2, 0, 1, 2, -2, 0, 1, 3, 2, 0, 1, 4, 0, 0, 1};
    const std::vector<float> knots = {0, 0, 0, 0, 1, 2, 2, 2, 2};
    const c_NURBSCurve curve(points.data(), 5, knots.data(), 9);
    aPoint p;
    curve.getPointAt(1.3, p);
    for (auto _ : state) benchmark::DoNotOptimize(curve.getParameterOf(p));
    state.counters["inversions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NurbsCurveInversion);

}  // namespace
