// Shapes for the clipper's tests and benchmark: rings of points, random
// operands on small integer grids (so that collinear and horizontal runs,
// coincident edges, touching boxes and self-crossings come up often), and
// clipper-independent geometry to judge results by. The generator is defined
// here (not by the standard library's distributions) so that a seed gives the
// same polygons on every platform.
#pragma once
#include "toolkit/display/clip/clip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using Ring = std::vector<AdClipPoint>;

inline bool operator==(const AdClipPoint& a, const AdClipPoint& b) { return a.x == b.x && a.y == b.y; }

inline Ring box(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

class ClipRandom {
public:
    explicit ClipRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t state_;
};

inline Ring randomRing(ClipRandom& r, int grid, int minVertices, int maxVertices) {
    Ring ring;
    const int n = minVertices + r.below(maxVertices - minVertices + 1);
    for (int i = 0; i < n; ++i) ring.push_back({double(r.below(grid + 1)), double(r.below(grid + 1))});
    return ring;
}

inline Ring randomBox(ClipRandom& r, int grid) {
    const int x0 = r.below(grid), y0 = r.below(grid);
    return box(x0, y0, x0 + 1 + r.below(grid - x0), y0 + 1 + r.below(grid - y0));
}

// One operand of a mix of shapes: free polygons (self-crossing), boxes,
// boxes with holes, and a contour given twice (which cancels) or shifted
// onto its own edges.
inline std::vector<Ring> randomOperand(ClipRandom& r) {
    std::vector<Ring> rings;
    switch (r.below(5)) {
    case 0:
        for (int c = 1 + r.below(3); c > 0; --c) rings.push_back(randomRing(r, 12, 3, 9));
        break;
    case 1:
        for (int c = 1 + r.below(3); c > 0; --c) rings.push_back(randomBox(r, 8));
        break;
    case 2: {
        const int x0 = r.below(4), y0 = r.below(4);
        rings.push_back(box(x0, y0, x0 + 6 + r.below(4), y0 + 6 + r.below(4)));
        rings.push_back(box(x0 + 1 + r.below(2), y0 + 1 + r.below(2), x0 + 4, y0 + 4));
        if (r.below(2)) rings.push_back({{x0 + 2.0, y0 + 5.0}, {x0 + 5.0, y0 + 5.0}, {x0 + 3.0, y0 + 6.0}});
        break;
    }
    case 3: {
        Ring a = randomRing(r, 10, 3, 7);
        Ring b = a;
        if (r.below(2)) std::reverse(b.begin(), b.end());
        rings.push_back(a);
        rings.push_back(b);
        rings.push_back(randomBox(r, 10));
        break;
    }
    default: {
        Ring a = randomRing(r, 8, 4, 8);
        Ring b = a;
        const double dx = r.below(3), dy = r.below(3);
        for (AdClipPoint& p : b) p = {p.x + dx, p.y + dy};
        rings.push_back(a);
        rings.push_back(b);
        break;
    }
    }
    return rings;
}

// Even-odd membership of a point in a set of rings.
inline bool insideEvenOdd(const std::vector<Ring>& rings, AdClipPoint p) {
    bool inside = false;
    for (const Ring& ring : rings) {
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const AdClipPoint& a = ring[i];
            const AdClipPoint& b = ring[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
    }
    return inside;
}

inline double distanceToSegment(AdClipPoint p, AdClipPoint a, AdClipPoint b) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double len = vx * vx + vy * vy;
    double t = len > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len : 0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return std::hypot(p.x - (a.x + t * vx), p.y - (a.y + t * vy));
}

inline double distanceToRings(const std::vector<Ring>& rings, AdClipPoint p) {
    double d = INFINITY;
    for (const Ring& ring : rings)
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) d = std::min(d, distanceToSegment(p, ring[j], ring[i]));
    return d;
}

// Shoelace area, positive counter-clockwise with y up.
inline double signedArea(const Ring& ring) {
    double twice = 0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) twice += (ring[j].x - ring[i].x) * (ring[j].y + ring[i].y);
    return twice / 2;
}

// The exact even-odd area of an operation over two ring sets, independent of
// any clipper: between consecutive heights of vertices and crossings no two
// edges cross, so the inside length varies linearly and its value at
// mid-height times the height is exact.
inline double exactArea(const std::vector<Ring>& subject, const std::vector<Ring>& clip, bool (*op)(bool s, bool c)) {
    struct Edge {
        AdClipPoint a, b;
        int owner;
    };
    std::vector<Edge> edges;
    std::vector<double> ys;
    auto add = [&](const std::vector<Ring>& rings, int owner) {
        for (const Ring& ring : rings) {
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                ys.push_back(ring[i].y);
                if (ring[i].y != ring[j].y) edges.push_back({ring[j], ring[i], owner});
            }
        }
    };
    add(subject, 0);
    add(clip, 1);
    for (std::size_t i = 0; i < edges.size(); ++i) {
        for (std::size_t j = i + 1; j < edges.size(); ++j) {
            const Edge& e = edges[i];
            const Edge& f = edges[j];
            const double rx = e.b.x - e.a.x, ry = e.b.y - e.a.y, sx = f.b.x - f.a.x, sy = f.b.y - f.a.y;
            const double den = rx * sy - ry * sx;
            if (den == 0) continue;
            const double t = ((f.a.x - e.a.x) * sy - (f.a.y - e.a.y) * sx) / den;
            const double u = ((f.a.x - e.a.x) * ry - (f.a.y - e.a.y) * rx) / den;
            if (t > 0 && t < 1 && u > 0 && u < 1) ys.push_back(e.a.y + t * ry);
        }
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    double area = 0;
    std::vector<std::pair<double, int>> xs;
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        const double ym = (ys[k] + ys[k + 1]) / 2;
        xs.clear();
        for (const Edge& e : edges)
            if ((e.a.y < ym) != (e.b.y < ym)) xs.push_back({e.a.x + (e.b.x - e.a.x) * (ym - e.a.y) / (e.b.y - e.a.y), e.owner});
        std::sort(xs.begin(), xs.end());
        bool in[2] = {false, false};
        double length = 0;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            in[xs[i].second] = !in[xs[i].second];
            if (op(in[0], in[1])) length += xs[i + 1].first - xs[i].first;
        }
        area += length * (ys[k + 1] - ys[k]);
    }
    return area;
}
