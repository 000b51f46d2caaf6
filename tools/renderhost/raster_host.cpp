// The raster host's painting: square-pen lines and even-odd fills.
#include "tools/renderhost/raster_host.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

RasterHost& host(void* user) { return *static_cast<RasterHost*>(user); }

void moveTo(std::int32_t x, std::int32_t y, void* user) { host(user).moveTo(x, y); }
void lineTo(std::int32_t x, std::int32_t y, void* user) { host(user).lineTo(x, y); }
void colour(std::int16_t index, void* user) { host(user).setColour(index); }
void weight(std::int32_t width, void* user) { host(user).setWidth(width); }
void polygon(const std::int16_t range[2], const DevicePoint* points, void* user) {
    const std::int32_t count = range[1] - range[0] + 1;
    if (count > 0) host(user).fill(points + range[0], &count, 1);
}
void polyPolygon(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount, void* user) {
    host(user).fill(points, counts, contourCount);
}

// A line far outside the canvas is cut to a box a little larger than the
// canvas before it is walked, so a wild coordinate costs no time.
bool clipToBox(double& x0, double& y0, double& x1, double& y1, double low, double highX, double highY) {
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - low, highX - x0, y0 - low, highY - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, r);
        else t1 = std::min(t1, r);
        if (t0 > t1) return false;
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx, y1 = y0 + t1 * dy;
    x0 = ax, y0 = ay;
    return true;
}

}  // namespace

RasterHost::RasterHost(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), colour_(adPaletteRgb(7)) {
    rgba_.assign(static_cast<std::size_t>(width_) * height_ * 4, 0);
    for (std::size_t i = 3; i < rgba_.size(); i += 4) rgba_[i] = 255;
}

void RasterHost::install() {
    adSetMoveToHook(::moveTo);
    adSetLineToHook(::lineTo);
    adSetPolygonHook(polygon);
    adSetPolyPolygonHook(polyPolygon);
    adSetColorHook(colour);
    adSetLineWeightHook(weight);
}

std::uint32_t RasterHost::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const std::size_t i = (static_cast<std::size_t>(height_ - 1 - y) * width_ + x) * 4;
    return static_cast<std::uint32_t>(rgba_[i]) << 16 | rgba_[i + 1] << 8 | rgba_[i + 2];
}

void RasterHost::setColour(std::int16_t colourIndex) { colour_ = adPaletteRgb(colourIndex); }

void RasterHost::plot(std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const std::size_t i = (static_cast<std::size_t>(height_ - 1 - y) * width_ + static_cast<std::size_t>(x)) * 4;
    rgba_[i] = static_cast<std::uint8_t>(colour_ >> 16);
    rgba_[i + 1] = static_cast<std::uint8_t>(colour_ >> 8);
    rgba_[i + 2] = static_cast<std::uint8_t>(colour_);
}

// A square of the pen's width centred on the point; widths up to 1 are one pixel.
void RasterHost::stamp(std::int64_t x, std::int64_t y) {
    const std::int64_t w = std::max<std::int32_t>(penWidth_, 1);
    const std::int64_t from = -(w - 1) / 2;
    for (std::int64_t dy = from; dy < from + w; ++dy)
        for (std::int64_t dx = from; dx < from + w; ++dx) plot(x + dx, y + dy);
}

void RasterHost::moveTo(std::int32_t x, std::int32_t y) { pen_ = DevicePoint{x, y}; }

void RasterHost::lineTo(std::int32_t x, std::int32_t y) {
    const DevicePoint from = pen_;
    pen_ = DevicePoint{x, y};
    const double margin = std::max<std::int32_t>(penWidth_, 1) + 2.0;
    double x0 = from.x, y0 = from.y, x1 = x, y1 = y;
    if (!clipToBox(x0, y0, x1, y1, -margin, width_ + margin, height_ + margin)) return;
    std::int64_t ax = std::llround(x0), ay = std::llround(y0);
    const std::int64_t bx = std::llround(x1), by = std::llround(y1);
    const std::int64_t dx = std::llabs(bx - ax), dy = -std::llabs(by - ay);
    const std::int64_t sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    std::int64_t error = dx + dy;
    for (;;) {
        stamp(ax, ay);
        if (ax == bx && ay == by) break;
        const std::int64_t twice = 2 * error;
        if (twice >= dy) error += dy, ax += sx;
        if (twice <= dx) error += dx, ay += sy;
    }
}

// Each pixel whose centre lies inside an odd number of contours is filled.
void RasterHost::fill(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount) {
    struct Edge {
        double x0, y0, x1, y1;
    };
    std::vector<Edge> edges;
    double low = INFINITY, high = -INFINITY;
    std::int32_t at = 0;
    for (std::int32_t c = 0; c < contourCount; ++c) {
        const std::int32_t n = counts[c];
        for (std::int32_t i = 0; i < n; ++i) {
            const DevicePoint& a = points[at + i];
            const DevicePoint& b = points[at + (i + 1) % n];
            if (a.y == b.y) continue;
            edges.push_back(Edge{double(a.x), double(a.y), double(b.x), double(b.y)});
            low = std::min({low, double(a.y), double(b.y)});
            high = std::max({high, double(a.y), double(b.y)});
        }
        at += std::max(n, 0);
    }
    if (edges.empty()) return;
    const int firstRow = std::max(0, static_cast<int>(std::floor(low)));
    const int lastRow = std::min(height_ - 1, static_cast<int>(std::ceil(high)));
    std::vector<double> crossings;
    for (int y = firstRow; y <= lastRow; ++y) {
        const double centre = y + 0.5;
        crossings.clear();
        for (const Edge& e : edges) {
            if ((e.y0 <= centre) == (e.y1 <= centre)) continue;
            crossings.push_back(e.x0 + (centre - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int from = std::max(0, static_cast<int>(std::ceil(crossings[i] - 0.5)));
            const int to = std::min(width_ - 1, static_cast<int>(std::ceil(crossings[i + 1] - 0.5)) - 1);
            for (int x = from; x <= to; ++x) plot(x, y);
        }
    }
}
