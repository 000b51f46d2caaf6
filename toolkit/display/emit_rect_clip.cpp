// The rectangle clipper of filled quads: the polygon is clipped against the
// four edges of the current viewport's clip rectangle in turn.
#include "toolkit/display/emit.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kWorkPoints = AD_DEVICE_OUTLINE_LIMIT;

// Module state: the rectangle of the viewport whose polygons are clipped.
struct ClipRect {
    int viewport;
    double xmin, ymin, xmax, ymax;
} gRect;

struct Point {
    double x, y;
};

// Twice the signed area: the orientation of the whole polygon, so that
// collinear first points still give one.
double signedArea(const Point* p, int n) {
    double area = 0.0;
    for (int i = 0; i < n; ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    return area;
}

}  // namespace

void adSetClipRect(const AdDisplayState* state, int v) {
    const double* r = state->viewports[v].clipRect;
    gRect = ClipRect{v, r[0], r[1], r[2] - 0.5, r[3] - 0.5};
}

int adClipPolygonToRect(std::int16_t count, double* points, std::int16_t* outCount, DevicePoint* out) {
    *outCount = 0;
    const int n = count;
    if (n < 3 || n > kWorkPoints / 5) return 0;
    Point work[2][kWorkPoints];
    std::memcpy(work[0], points, sizeof(Point) * n);
    const Point* p = work[0];
    bool allRight = true, allLeft = true, allAbove = true, allBelow = true;
    for (int i = 0; i < n; ++i) {
        allRight = allRight && p[i].x >= gRect.xmax;
        allLeft = allLeft && p[i].x <= gRect.xmin;
        allAbove = allAbove && p[i].y >= gRect.ymax;
        allBelow = allBelow && p[i].y <= gRect.ymin;
    }
    if (allRight || allLeft || allAbove || allBelow) return 0;
    int orientation = adSignTol(signedArea(work[0], n));
    if (orientation == -1) {
        for (int i = 0; i < n / 2; ++i) std::swap(work[0][i], work[0][n - 1 - i]);
        orientation = 1;
    }
    std::memcpy(points, work[0], sizeof(Point) * n);
    // A polygon without area covers nothing.
    if (orientation == 0) return 0;
    int size = n;
    int from = 0;
    {
        const Point corners[4] = {{gRect.xmin, gRect.ymin}, {gRect.xmax, gRect.ymin}, {gRect.xmax, gRect.ymax},
                                  {gRect.xmin, gRect.ymax}};
        Point a = corners[3];
        for (const Point& b : corners) {
            const Point* in = work[from];
            Point* result = work[1 - from];
            auto side = [&](const Point& q) { return (b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x); };
            auto sign = [&](double l) { return std::fabs(l) < 1e-10 ? 0 : orientation * adSignTol(l); };
            int m = 0;
            Point s = in[size - 1];
            for (int i = 0; i < size && m < kWorkPoints - 1; ++i) {
                const Point& e = in[i];
                const double ls = side(s), le = side(e);
                const int ss = sign(ls), se = sign(le);
                if (ss >= 0) result[m++] = s;
                if (ss != 0 && se != 0 && ss != se) {
                    const double ws = std::fabs(ls), we = std::fabs(le);
                    result[m++] = Point{(we * s.x + ws * e.x) / (ws + we), (we * s.y + ws * e.y) / (ws + we)};
                }
                s = e;
            }
            if (m < 3) return 0;
            size = m;
            from = 1 - from;
            a = b;
        }
    }
    for (int i = 0; i < size; ++i)
        out[i] = DevicePoint{adDeviceCoord(work[from][i].x + 0.1), adDeviceCoord(work[from][i].y + 0.1)};
    *outCount = static_cast<std::int16_t>(size);
    return 1;
}
