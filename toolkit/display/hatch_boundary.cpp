// HATCH boundaries into segment loops: polyline paths with their bulges, and
// edge paths of lines, circular and elliptic arcs either way round, and
// splines, each curve replaced by its chords. Then the loops are filled
// solid or hatched with the pattern. Every count read from the boundary is
// bounded by the bytes that follow it.
#include "toolkit/display/hatch.h"

#include "toolkit/display/curves.h"
#include "toolkit/display/spline.h"

#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <numbers>

namespace {

constexpr std::int32_t kPolylinePath = 0x2;
constexpr std::uint8_t kTextBox = 0x8;
constexpr std::uint16_t kLoopLimit = std::numeric_limits<std::uint16_t>::max();
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kFourPi = 4.0 * std::numbers::pi;

struct Reader {
    AdStream* in;
    bool ok = true;

    std::int32_t integer() {
        std::int32_t v = 0;
        ok = ok && adStreamReadLong(in, &v);
        return ok ? v : 0;
    }
    std::int16_t word() {
        std::int16_t v = 0;
        ok = ok && adStreamReadShort(in, &v);
        return ok ? v : 0;
    }
    double real() {
        double v = 0.0;
        ok = ok && adStreamReadDouble(in, &v);
        return ok ? v : 0.0;
    }
    std::int64_t left() const { return std::int64_t{adStreamLength(in)} - adStreamTell(in); }
    // A count of items of at least itemBytes each, no more than what is left.
    bool fits(std::int32_t count, std::int64_t itemBytes) {
        ok = ok && count >= 0 && static_cast<std::int64_t>(count) * itemBytes <= left();
        return ok;
    }
};

// The loops of one hatch: a store, a segment count and a flags byte each.
struct Loops {
    std::vector<AdStore*> stores;
    std::vector<std::uint16_t> counts;
    std::vector<std::uint8_t> flags;
    bool full = false;

    Loops() = default;
    Loops(const Loops&) = delete;
    Loops& operator=(const Loops&) = delete;
    ~Loops() {
        for (AdStore* store : stores) adStoreFree(store);
    }
};

void polylineLoop(Reader& r, std::int32_t curveSetting, AdLoopWriter* loop) {
    const bool bulges = r.word() != 0;
    const bool closed = r.word() != 0;
    const std::int32_t count = r.integer();
    if (!r.fits(count, bulges ? 24 : 16)) return;
    double first[2] = {}, previous[2] = {}, previousBulge = 0.0;
    for (std::int32_t i = 0; i < count && r.ok; ++i) {
        const double point[2] = {r.real(), r.real()};
        const double bulge = bulges ? r.real() : 0.0;
        if (!r.ok) return;
        if (i == 0) {
            first[0] = point[0], first[1] = point[1];
        } else {
            adHatchAddBulgeSpan(previous, point, previousBulge, curveSetting, loop);
        }
        previous[0] = point[0], previous[1] = point[1];
        previousBulge = bulge;
    }
    if (closed && count > 0) adHatchAddBulgeSpan(previous, first, previousBulge, curveSetting, loop);
}

// Clockwise arcs run from 4π minus their angles, so that the sweep is
// negative.
void orient(double* start, double* end, bool counterClockwise) {
    if (*end < *start) *end += kTwoPi * std::ceil((*start - *end) / kTwoPi);
    if (*end < *start) *end += kTwoPi;  // rounding in the line above
    if (!counterClockwise) {
        *start = kFourPi - *start;
        *end = kFourPi - *end;
    }
}

// The knots and control points of a spline edge as a spline's store: the
// chords go to the loop. A spline too long for the loop fills it.
void splineEdge(Reader& r, AdDrawing* drawing, std::int32_t curveSetting, AdLoopWriter* loop) {
    const std::int32_t degree = r.integer();
    const bool rational = r.word() != 0;
    const bool periodic = r.word() != 0;
    const std::int32_t knots = r.integer();
    const std::int32_t points = r.integer();
    if (!r.fits(knots, 8) || !r.fits(points, rational ? 24 : 16)) return;
    if (static_cast<std::int64_t>(knots) * 8 + static_cast<std::int64_t>(points) * (rational ? 24 : 16) > r.left()) {
        r.ok = false;
        return;
    }
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    bool written = out != nullptr;
    for (std::int32_t i = 0; i < knots; ++i) written = adStreamPutDouble(out, r.real()) && written;
    for (std::int32_t i = 0; i < points; ++i) {
        const double x = r.real(), y = r.real();
        written = adStreamPutPoint3D(out, x, y, 0.0) && written;
        if (rational) written = adStreamPutDouble(out, r.real()) && written;
    }
    if (out) adStreamCloseWrite(out);
    if (loop->full) {
        adStoreFree(store);
        return;
    }
    const std::int32_t perSpan = curveSetting > 0 ? curveSetting : 10;
    const std::int64_t most = static_cast<std::int64_t>(points) * perSpan;
    const bool fitsSpline = knots <= INT16_MAX && points <= INT16_MAX;
    if (written && r.ok && fitsSpline && *loop->count + most <= kLoopLimit) {
        AdSplineData spline{};
        spline.degree = static_cast<std::int16_t>(degree < 0 ? 0 : degree > INT16_MAX ? INT16_MAX : degree);
        spline.flags = static_cast<std::int16_t>((rational ? 4 : 0) | (periodic ? 2 : 0));
        spline.knotCount = static_cast<std::int16_t>(knots);
        spline.controlPointCount = static_cast<std::int16_t>(points);
        spline.points = store;
        if (!adDrawSpline(drawing, &spline, nullptr, nullptr, nullptr, nullptr, curveSetting, loop->out, loop->count))
            loop->full = true;
    } else if (r.ok && written) {
        loop->full = true;
    }
    if (store) adStoreFree(store);
}

void edgeLoop(Reader& r, AdDrawing* drawing, std::int32_t curveSetting, AdLoopWriter* loop) {
    const std::int32_t count = r.integer();
    if (!r.fits(count, 2)) return;
    for (std::int32_t i = 0; i < count && r.ok; ++i) {
        const std::int16_t type = r.word();
        switch (type) {
        case 1: {
            const double x0 = r.real(), y0 = r.real(), x1 = r.real(), y1 = r.real();
            if (r.ok) adHatchAddSegment(loop, x0, y0, x1, y1);
            break;
        }
        case 2: {
            const double centre[2] = {r.real(), r.real()};
            const double radius = r.real();
            double start = r.real(), end = r.real();
            const bool ccw = r.word() != 0;
            if (!r.ok) break;
            orient(&start, &end, ccw);
            adHatchFlattenArc(centre, radius, start, end, curveSetting, loop);
            break;
        }
        case 3: {
            const double centre[2] = {r.real(), r.real()};
            const double major[2] = {r.real(), r.real()};
            const double ratio = r.real();
            double start = r.real(), end = r.real();
            const bool ccw = r.word() != 0;
            if (!r.ok) break;
            orient(&start, &end, ccw);
            adHatchFlattenEllipse(centre, major, ratio, start, end, curveSetting, loop);
            break;
        }
        case 4: splineEdge(r, drawing, curveSetting, loop); break;
        default: break;  // an unknown edge adds nothing
        }
    }
}

using ReadStream = std::unique_ptr<AdStream, int (*)(AdStream*)>;
using WriteStream = std::unique_ptr<AdStream, int (*)(AdStream*)>;

// Reads every loop; a solid hatch keeps its text boxes empty.
void readLoops(AdDrawing* drawing, const AdEntityHeader* header, const AdHatchData* hatch, Loops* loops) {
    ReadStream in(hatch->paths ? adStreamOpenRead(hatch->paths) : nullptr, adStreamCloseRead);
    if (!in) return;
    Reader r{in.get()};
    const std::int32_t curveSetting = adCurveSetting(header);
    // Each loop takes at least its flags and its trailing count.
    const std::int32_t count = hatch->pathCount;
    if (!r.fits(count, 8)) return;
    loops->stores.reserve(static_cast<std::size_t>(count));
    for (std::int32_t l = 0; l < count && r.ok; ++l) {
        const std::int32_t flags = r.integer();
        loops->flags.push_back(static_cast<std::uint8_t>(flags));
        loops->counts.push_back(0);
        loops->stores.push_back(adStoreCreate(AD_STORE_BLOCK_SIZE));
        WriteStream out(adStreamOpenWrite(loops->stores.back()), adStreamCloseWrite);
        if (!out) throw std::bad_alloc();
        AdLoopWriter loop{out.get(), &loops->counts.back(), drawing->display, false};
        // A text box of a solid hatch is read and left empty.
        AdLoopWriter skipped{nullptr, nullptr, drawing->display, true};
        AdLoopWriter* target = hatch->solidFill && (flags & kTextBox) ? &skipped : &loop;
        if (flags & kPolylinePath)
            polylineLoop(r, curveSetting, target);
        else
            edgeLoop(r, drawing, curveSetting, target);
        r.integer();  // the count of source boundary objects
        loops->full = loops->full || loop.full;
    }
}

int drawHatch(AdDrawing* drawing, AdEntityHeader* header, AdHatchData* hatch, const AdMatrix4* block,
              const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing) {
    Loops loops;
    readLoops(drawing, header, hatch, &loops);
    // Crossings name their loop in 16 bits.
    if (loops.full || loops.stores.size() > static_cast<std::size_t>(INT16_MAX)) {
        adSetError(AD_ERR_FILL_TOO_LARGE);
        return 1;
    }
    const std::int32_t n = static_cast<std::int32_t>(loops.stores.size());
    const double elevation = hatch->elevation[2];
    if (!hatch->solidFill) {
        AdHatchPattern pattern{};
        if (!adHatchPatternUnpack(hatch, &pattern)) return 0;
        const AdHatchTarget target{drawing, matrices, block, linetype, linetypeDrawing, elevation};
        const int drawn = adHatchPatternFill(target, n, loops.counts.data(), loops.stores.data(), pattern,
                                             loops.flags.data());
        adHatchPatternFree(&pattern);
        if (drawn) return 1;
        adSetError(AD_ERR_HATCH_TOO_DENSE);
        // Text boxes stay out of the fill, as they do of the pattern.
        for (std::int32_t l = 0; l < n; ++l)
            if (loops.flags[static_cast<std::size_t>(l)] & kTextBox) loops.counts[static_cast<std::size_t>(l)] = 0;
    }
    adHatchSolidFill(drawing, matrices, n, loops.counts.data(), loops.stores.data(), hatch->style, elevation);
    return 1;
}

}  // namespace

void adHatchAddSegment(AdLoopWriter* loop, double x0, double y0, double x1, double y1) {
    if (loop->full) return;
    if (*loop->count == kLoopLimit) {
        loop->full = true;
        return;
    }
    const double a[2] = {x0, y0}, b[2] = {x1, y1};
    if (adStreamWritePoint2D(loop->out, a) && adStreamWritePoint2D(loop->out, b))
        ++*loop->count;
    else
        loop->full = true;
}

void adHatchAddBulgeSpan(const double start[2], const double end[2], double bulge, std::int32_t curveSetting,
                         AdLoopWriter* loop) {
    double cx = 0.0, cy = 0.0, radius = 0.0;
    if (bulge == 0.0 || !adBulgeArcCenter(start, end, 4.0 * std::atan(bulge), &cx, &cy, &radius) || radius == 0.0) {
        adHatchAddSegment(loop, start[0], start[1], end[0], end[1]);
        return;
    }
    const double dx = start[0] - cx, dy = start[1] - cy;
    double from = 0.0;
    if (dx == 0.0)
        from = dy >= 0.0 ? std::numbers::pi / 2.0 : -std::numbers::pi / 2.0;
    else
        from = std::atan(dy / dx) + (dx < 0.0 ? std::numbers::pi : 0.0);
    const double centre[2] = {cx, cy};
    adHatchFlattenArc(centre, radius, from, from + 4.0 * std::atan(bulge), curveSetting, loop);
}

void adHatchFlattenArc(const double centre[2], double radius, double start, double end, std::int32_t curveSetting,
                       AdLoopWriter* loop) {
    const double sweep = end - start;
    const std::int32_t n = adArcSegments(loop->state, sweep, radius, curveSetting);
    const double step = sweep / n, cs = std::cos(step), sn = std::sin(step);
    double x = centre[0] + radius * std::cos(start), y = centre[1] + radius * std::sin(start);
    for (std::int32_t i = 0; i < n && !loop->full; ++i) {
        const double dx = x - centre[0], dy = y - centre[1];
        const double nx = centre[0] + dx * cs - dy * sn, ny = centre[1] + dx * sn + dy * cs;
        adHatchAddSegment(loop, x, y, nx, ny);
        x = nx, y = ny;
    }
}

void adHatchFlattenEllipse(const double centre[2], const double major[2], double ratio, double start, double end,
                           std::int32_t curveSetting, AdLoopWriter* loop) {
    const double big = std::hypot(major[0], major[1]), small = big * ratio;
    double theta = 0.0;
    if (std::fabs(major[0]) < 1e-8)
        theta = major[1] >= 0.0 ? std::numbers::pi / 2.0 : -std::numbers::pi / 2.0;
    else
        theta = std::atan(major[1] / major[0]) + (major[0] < 0.0 ? std::numbers::pi : 0.0);
    const double sweep = end - start;
    const std::int32_t n = adArcSegments(loop->state, sweep, big, curveSetting);
    const double step = sweep / n, cs = std::cos(step), sn = std::sin(step);
    const double ct = std::cos(theta), st = std::sin(theta);
    double c = std::cos(start), s = std::sin(start);
    const auto x = [&] { return centre[0] + big * c * ct - small * s * st; };
    const auto y = [&] { return centre[1] + big * c * st + small * s * ct; };
    double px = x(), py = y();
    for (std::int32_t i = 0; i < n && !loop->full; ++i) {
        const double nc = c * cs - s * sn, ns = s * cs + c * sn;
        c = nc, s = ns;
        const double qx = x(), qy = y();
        adHatchAddSegment(loop, px, py, qx, qy);
        px = qx, py = qy;
    }
}

int adDrawHatch(AdDrawing* drawing, AdEntityHeader* header, AdHatchData* hatch, const AdMatrix4* block,
                const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing) {
    try {
        return drawHatch(drawing, header, hatch, block, matrices, linetype, linetypeDrawing);
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_FILL_MEMORY);
        return 0;
    }
}

void adDrawHatchEntity(AdDrawContext& entity) {
    const AdHeaderVars* header = entity.drawing->header;
    if (header && header->fillmode == 0) return;
    adDrawHatch(entity.drawing, entity.header, &entity.data->hatch, entity.block, entity.matrices, entity.linetype,
                entity.linetypeDrawing);
}
