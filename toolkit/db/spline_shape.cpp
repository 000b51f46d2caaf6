// Whether a spline's defining points lie in a plane or on a line: the flags
// every reader of SPLINE entities works out from the points it stored.
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cmath>

namespace {
constexpr double kTolerance = 1e-12;
constexpr std::int16_t kPlanar = 0x8;
constexpr std::int16_t kLinear = 0x10;
constexpr std::int32_t kPointBytes = 3 * sizeof(double);

struct Vec {
    double x, y, z;
};

Vec minus(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec cross(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
bool nearZero(const Vec& v) { return std::fabs(v.x) < kTolerance && std::fabs(v.y) < kTolerance && std::fabs(v.z) < kTolerance; }

// The points of the store from offset on, stride bytes apart.
struct PointRun {
    AdStream* in;
    std::int32_t offset;
    std::int32_t stride;
    std::int32_t count;

    bool rewind() const { return adStreamSeek(in, offset) != 0; }
    bool next(Vec* p) const {
        double values[4] = {};
        if (!adStreamRead(in, values, stride)) return false;
        *p = {values[0], values[1], values[2]};
        return true;
    }
};

// The shape flags of the run; false when the store could not be read.
bool shapeOf(const PointRun& run, std::int16_t* shape) {
    *shape = kPlanar | kLinear;
    if (run.count <= 2) return true;
    Vec first{}, direction{}, off{};
    bool haveDirection = false;
    bool linear = true;
    if (!run.rewind()) return false;
    for (std::int32_t i = 0; i < run.count; ++i) {
        Vec p{};
        if (!run.next(&p)) return false;
        if (i == 0) {
            first = p;
        } else if (!haveDirection) {
            direction = minus(p, first);
            haveDirection = !nearZero(direction);
        } else if (linear && !nearZero(cross(minus(p, first), direction))) {
            linear = false;
            off = minus(p, first);
        }
    }
    if (linear) return true;
    const Vec normal = cross(direction, off);
    const double d = -dot(normal, first);
    *shape = kPlanar;
    if (!run.rewind()) return false;
    for (std::int32_t i = 0; i < run.count; ++i) {
        Vec p{};
        if (!run.next(&p)) return false;
        if (i >= 2 && std::fabs(dot(normal, p) + d) > kTolerance) {
            *shape = 0;
            return true;
        }
    }
    return true;
}
}  // namespace

int adSplineShapeFlags(AdSplineData* spline) {
    spline->flags = static_cast<std::int16_t>(spline->flags & ~(kPlanar | kLinear));
    const std::int32_t controlBytes = (spline->flags & 0x4) ? kPointBytes + 8 : kPointBytes;
    const std::int32_t knotBytes = spline->knotCount * static_cast<std::int32_t>(sizeof(double));
    const bool fit = spline->fitPointCount > 0;
    const std::int32_t count = fit ? spline->fitPointCount : spline->controlPointCount;
    std::int16_t shape = kPlanar | kLinear;
    if (count > 2) {
        AdStream* in = spline->points ? adStreamOpenRead(spline->points) : nullptr;
        if (!in) return 0;
        const PointRun run{in, fit ? knotBytes + spline->controlPointCount * controlBytes : knotBytes,
                           fit ? kPointBytes : controlBytes, count};
        const bool ok = shapeOf(run, &shape);
        adStreamCloseRead(in);
        if (!ok) return 0;
    }
    spline->flags = static_cast<std::int16_t>(spline->flags | shape);
    return 1;
}
