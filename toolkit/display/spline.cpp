// SPLINE as chords: from its control points and knots as a B-spline or a
// rational one, or, when it has only fit points, from the C2 cubic that
// interpolates them (centripetal parameters, Bessel end conditions). Every
// array is sized from the data; a spline whose store does not hold what its
// counts say is not drawn.
#include "toolkit/display/spline.h"

#include "toolkit/display/curves.h"
#include "toolkit/display/linetype.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr std::int16_t kRational = 4;
constexpr std::int32_t kDefaultChords = 10;

struct Curve {
    int degree = 0;
    std::vector<double> knots;   // control count + degree + 1 values
    std::vector<double> points;  // x, y, z, w per control point
};

// The point at u on span k (knots[k] <= u <= knots[k+1], degree <= k < n):
// de Boor's recurrence on homogeneous coordinates.
void evaluate(const Curve& c, int k, double u, double out[3]) {
    const int p = c.degree;
    double d[32][4];
    for (int j = 0; j <= p; ++j) {
        const double* q = &c.points[4 * static_cast<std::size_t>(k - p + j)];
        for (int i = 0; i < 3; ++i) d[j][i] = q[i] * q[3];
        d[j][3] = q[3];
    }
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            const int i = k - p + j;
            const double left = c.knots[static_cast<std::size_t>(i)];
            const double right = c.knots[static_cast<std::size_t>(i + p - r + 1)];
            const double a = right > left ? (u - left) / (right - left) : 0.0;
            for (int m = 0; m < 4; ++m) d[j][m] = (1.0 - a) * d[j - 1][m] + a * d[j][m];
        }
    }
    const double w = d[p][3] != 0.0 ? d[p][3] : 1.0;
    for (int i = 0; i < 3; ++i) out[i] = d[p][i] / w;
}

// Where the chords go: the linetype, or the outline stream as 2D points.
struct ChordSink {
    AdDrawing* drawing;
    const AdMatrix4* block;
    const AdMatrix4* matrices;
    const AdLtypeRecord* linetype;
    AdDrawing* linetypeDrawing;
    AdStream* outline;
    std::uint16_t* chords;
    std::int32_t curve;

    void chord(const double a[3], const double b[3]) const {
        if (outline) {
            adStreamWritePoint2D(outline, a);
            adStreamWritePoint2D(outline, b);
            if (chords) ++*chords;
            return;
        }
        double from[3] = {a[0], a[1], a[2]}, to[3] = {b[0], b[1], b[2]};
        adApplyLinetype(drawing, from, to, block, matrices, linetype, linetypeDrawing, nullptr, curve, 0.0);
    }
};

void drawCurve(const Curve& c, std::int32_t chordsPerSpan, const ChordSink& sink) {
    const int n = static_cast<int>(c.points.size() / 4);
    if (n < 2) return;
    if (c.degree <= 1) {
        for (int i = 1; i < n; ++i) sink.chord(&c.points[4 * static_cast<std::size_t>(i - 1)], &c.points[4 * static_cast<std::size_t>(i)]);
        return;
    }
    const int s = chordsPerSpan > 0 ? chordsPerSpan : kDefaultChords;
    // The spline's defined range: spans degree .. n - 1.
    for (int k = c.degree; k < n; ++k) {
        const double t0 = c.knots[static_cast<std::size_t>(k)], t1 = c.knots[static_cast<std::size_t>(k + 1)];
        if (!(t1 > t0)) continue;
        const double du = (t1 - t0) / s;
        double previous[3];
        evaluate(c, k, t0, previous);
        for (int i = 1; i <= s; ++i) {
            double point[3];
            evaluate(c, k, i == s ? t1 : t0 + i * du, point);
            sink.chord(previous, point);
            std::copy(point, point + 3, previous);
        }
    }
}

bool readDoubles(AdStream* in, double* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!adStreamReadDouble(in, &out[i]) || !std::isfinite(out[i])) return false;
    return true;
}

// The control-point path. A degree above the control points' reach is
// lowered to what they carry; stored knots must number control points +
// degree + 1 and not decrease.
bool controlCurve(const AdSplineData& spline, AdStream* in, Curve& c) {
    const int n = static_cast<std::uint16_t>(spline.controlPointCount);
    if (n < 1) return false;
    const bool rational = (spline.flags & kRational) != 0;
    int p = std::clamp<int>(spline.degree, 1, AD_SPLINE_DEGREE_LIMIT);
    const int knotCount = spline.knotCount;
    if (knotCount < 0) return false;
    std::vector<double> stored(static_cast<std::size_t>(knotCount));
    if (!readDoubles(in, stored.data(), stored.size())) return false;
    c.points.resize(4 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double* q = &c.points[4 * static_cast<std::size_t>(i)];
        if (!readDoubles(in, q, 3)) return false;
        q[3] = 1.0;
        if (rational && (!readDoubles(in, &q[3], 1) || !(q[3] > 0.0))) return false;
    }
    if (p == 1) {  // the control polygon, whatever the knots
        c.degree = 1;
        return true;
    }
    if (knotCount == 0) {
        p = std::min(p, n - 1 > 0 ? n - 1 : 1);
        // Uniform and clamped.
        for (int i = 0; i <= p; ++i) c.knots.push_back(0.0);
        for (int i = 1; i < n - p; ++i) c.knots.push_back(static_cast<double>(i) / (n - p));
        for (int i = 0; i <= p; ++i) c.knots.push_back(1.0);
    } else {
        if (n <= p || knotCount < n + p + 1) return false;
        c.knots.assign(stored.begin(), stored.begin() + n + p + 1);
        if (!std::is_sorted(c.knots.begin(), c.knots.end())) return false;
    }
    c.degree = p;
    return true;
}

// Farin's C2 cubic through the fit points x0 .. xL: control points x0,
// d0 .. dL, xL over the knots u0 x 4, u1 .. uL-1, uL x 4.
bool interpolate(const std::vector<double>& x, Curve& c) {
    const int L = static_cast<int>(x.size() / 3) - 1;
    std::vector<double> u(static_cast<std::size_t>(L + 1), 0.0);
    for (int i = 1; i <= L; ++i) {
        const double* a = &x[3 * static_cast<std::size_t>(i - 1)];
        const double* b = &x[3 * static_cast<std::size_t>(i)];
        u[static_cast<std::size_t>(i)] =
            u[static_cast<std::size_t>(i - 1)] +
            std::sqrt(std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) + (b[2] - a[2]) * (b[2] - a[2])));
    }
    const auto delta = [&](int i) { return i < 0 || i >= L ? 0.0 : u[static_cast<std::size_t>(i + 1)] - u[static_cast<std::size_t>(i)]; };
    const std::size_t rows = static_cast<std::size_t>(L + 1);
    std::vector<double> alpha(rows, 0.0), beta(rows, 1.0), gamma(rows, 0.0), l(rows, 0.0), m(rows, 0.0);
    for (int i = 1; i < L; ++i) {
        const double d2 = delta(i - 2), d1 = delta(i - 1), d0 = delta(i), dn = delta(i + 1);
        const double s = d1 + d0;
        const std::size_t r = static_cast<std::size_t>(i);
        alpha[r] = d0 * d0 / (d2 + d1 + d0) / s;
        beta[r] = (d0 * (d2 + d1) / (d2 + d1 + d0) + d1 * (d0 + dn) / (d1 + d0 + dn)) / s;
        gamma[r] = d1 * d1 / (d1 + d0 + dn) / s;
    }
    m[0] = beta[0];
    for (std::size_t i = 1; i < rows; ++i) {
        l[i] = alpha[i] / m[i - 1];
        m[i] = beta[i] - l[i] * gamma[i - 1];
        if (!(std::fabs(m[i]) > 0.0)) return false;
    }
    std::vector<double> d(3 * rows);
    for (int axis = 0; axis < 3; ++axis) {
        const auto at = [&](int i) { return x[3 * static_cast<std::size_t>(i) + static_cast<std::size_t>(axis)]; };
        std::vector<double> r(rows);
        for (std::size_t i = 0; i < rows; ++i) r[i] = at(static_cast<int>(i));
        if (L >= 2) {
            const double b = (u[2] - u[1]) / (u[2] - u[0]), e1 = 1.0 - b;
            const double e = (at(1) - b * b * at(0) - e1 * e1 * at(2)) / (2.0 * b * e1);
            r[0] = (b * at(0) + e1 * e) * 2.0 / 3.0 + at(0) / 3.0;
            const double a = (u[static_cast<std::size_t>(L)] - u[static_cast<std::size_t>(L - 1)]) /
                             (u[static_cast<std::size_t>(L)] - u[static_cast<std::size_t>(L - 2)]);
            const double a1 = 1.0 - a;
            const double f = (at(L - 1) - a * a * at(L) - a1 * a1 * at(L - 2)) / (2.0 * a * a1);
            r[rows - 1] = (a * at(L) + a1 * f) * 2.0 / 3.0 + at(L) / 3.0;
        } else {
            r[0] = (2.0 * at(0) + at(1)) / 3.0;
            r[1] = (at(0) + 2.0 * at(1)) / 3.0;
        }
        std::vector<double> y(rows);
        y[0] = r[0];
        for (std::size_t i = 1; i < rows; ++i) y[i] = r[i] - l[i] * y[i - 1];
        d[3 * (rows - 1) + static_cast<std::size_t>(axis)] = y[rows - 1] / m[rows - 1];
        for (std::size_t i = rows - 1; i-- > 0;)
            d[3 * i + static_cast<std::size_t>(axis)] =
                (y[i] - gamma[i] * d[3 * (i + 1) + static_cast<std::size_t>(axis)]) / m[i];
    }
    const auto addPoint = [&](const double* q) { c.points.insert(c.points.end(), {q[0], q[1], q[2], 1.0}); };
    addPoint(&x[0]);
    for (std::size_t i = 0; i < rows; ++i) addPoint(&d[3 * i]);
    addPoint(&x[3 * static_cast<std::size_t>(L)]);
    for (int k = 0; k < 4; ++k) c.knots.push_back(u[0]);
    for (int i = 1; i < L; ++i) c.knots.push_back(u[static_cast<std::size_t>(i)]);
    for (int k = 0; k < 4; ++k) c.knots.push_back(u[static_cast<std::size_t>(L)]);
    c.degree = 3;
    for (double value : c.points)
        if (!std::isfinite(value)) return false;
    return true;
}

// The fit-point path: repeats of the last kept point are dropped (and
// taken off the record's count).
bool fitCurve(AdSplineData& spline, AdStream* in, Curve& c) {
    const int count = spline.fitPointCount;
    if (count < 2) return false;
    std::vector<double> x;
    for (int i = 0; i < count; ++i) {
        double q[3];
        if (!readDoubles(in, q, 3)) return false;
        const std::size_t k = x.size();
        if (k >= 3 && x[k - 3] == q[0] && x[k - 2] == q[1] && x[k - 1] == q[2]) continue;
        x.insert(x.end(), q, q + 3);
    }
    spline.fitPointCount = static_cast<std::int16_t>(x.size() / 3);
    return x.size() >= 6 && interpolate(x, c);
}

}  // namespace

int adDrawSpline(AdDrawing* drawing, AdSplineData* spline, const AdMatrix4* block, const AdMatrix4* matrices,
                 const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing, std::int32_t chordsPerSpan,
                 AdStream* outline, std::uint16_t* chords) {
    if (!spline->points) return 1;
    AdStream* in = adStreamOpenRead(spline->points);
    if (!in) return 1;
    AdDisplayState* state = drawing->display;
    Curve curve;
    bool ok = false;
    try {
        const bool fitOnly = spline->fitPointCount > 0 && spline->knotCount == 0 && spline->controlPointCount == 0;
        ok = fitOnly ? fitCurve(*spline, in, curve) : controlCurve(*spline, in, curve);
    } catch (const std::bad_alloc&) {
        adStreamCloseRead(in);
        adNoMemory(AD_ERR_SPLINE_MEMORY);
        return 0;
    }
    adStreamCloseRead(in);
    if (!ok) return 1;
    const std::int32_t counter = ++state->curveCounter;
    const std::uint8_t restart = state->restartAtVertex;
    state->restartAtVertex = 0;
    drawCurve(curve, chordsPerSpan, ChordSink{drawing, block, matrices, linetype, linetypeDrawing, outline, chords, counter});
    state->restartAtVertex = restart;
    return 1;
}

void adDrawSplineEntity(AdDrawContext& entity) {
    adDrawSpline(entity.drawing, &entity.data->spline, entity.block, entity.matrices, entity.linetype,
                 entity.linetypeDrawing, adCurveSetting(entity.header), nullptr, nullptr);
}
