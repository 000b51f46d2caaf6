#include "toolkit/solids/nurbs_polyline.h"

#include <vector>

void rationalBasis(int k, double t, int m, const float* knots, const double* weights, double* R) {
    const int count = k + m - 1;
    std::vector<double> N(static_cast<std::size_t>(count), 0.0);
    for (int i = 0; i < count; ++i) N[i] = (knots[i] <= t && t < knots[i + 1]) ? 1 : 0;
    for (int j = 2; j <= k; ++j) {
        for (int i = 0; i + j < count + 1; ++i) {
            double value = 0;
            if (N[i] != 0) value += N[i] * (t - knots[i]) / (knots[i + j - 1] - knots[i]);
            if (i + 1 < count && N[i + 1] != 0) value += N[i + 1] * (knots[i + j] - t) / (knots[i + j] - knots[i + 1]);
            N[i] = value;
        }
    }
    if (t == knots[k + m - 1]) {
        for (int j = 0; j < m; ++j) N[j] = 0;
        N[m - 1] = 1;
    }
    double s = 0;
    for (int j = 0; j < m; ++j) s += N[j] * weights[j];
    for (int j = 0; j < m; ++j) R[j] = s != 0 ? N[j] * weights[j] / s : 0;
}

void drawNURBSPolyline(GL_Interface& target, int knotCount, const float* knots, const float* controlPoints,
                       int order) {
    if (!knots || knotCount <= 0 || !controlPoints) return;
    const int m = knotCount - order;
    if (m < 1 || order < 1) return;
    const int perSpan = target.segmentsPerSpan();
    int samples;
    if (order == 3)
        samples = perSpan <= 0 ? 3 * (m - 1) : (m - 1) * perSpan / 2;
    else if (order > 3 && perSpan != 0)
        samples = perSpan * (m - 1);
    else
        samples = order * (m - 1);
    // A density of zero or less still draws the curve, as one chord per step.
    if (samples < 1) samples = 1;

    std::vector<double> x(m), y(m), z(m), w(m), R(m);
    for (int j = 0; j < m; ++j) {
        const float* q = controlPoints + 4 * j;
        w[j] = q[3];
        const double d = w[j] != 0 ? w[j] : 1;
        x[j] = q[0] / d;
        y[j] = q[1] / d;
        z[j] = q[2] / d;
    }
    auto emit = [&](double g) {
        rationalBasis(order, g, m, knots, w.data(), R.data());
        double px = 0, py = 0, pz = 0;
        for (int j = 0; j < m; ++j) {
            px += R[j] * x[j];
            py += R[j] * y[j];
            pz += R[j] * z[j];
        }
        target.vertex(px, py, pz);
    };

    target.begin(3);
    const double a = knots[0], last = knots[knotCount - 1];
    const double delta = (last - a) / samples;
    if (a <= last + 1e-12) {
        if (!(delta > 0)) {
            emit(last);  // every knot equal: the curve is one point
        } else {
            for (int i = 0; i <= samples + 1; ++i) {
                double g = a + i * delta;
                const bool lastOne = g + delta > last + 1e-12;
                emit(lastOne ? last : g);
                if (lastOne) break;
            }
        }
    }
    target.end();
}
