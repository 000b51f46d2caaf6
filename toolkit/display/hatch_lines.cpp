// The pattern fill of a HATCH: each family of parallel lines is laid from the
// line nearest the centre of the boundary's extents outward both ways until
// the lines leave the extents, and each line is cut against the loops.
#include "toolkit/display/hatch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kVerticalSegment = 1e-7;
constexpr double kFlat = 1e-6;
constexpr double kNear = 1e-6;
// Spacing below this fraction of the offset's length: the offset runs along
// the lines.
constexpr double kNoSpacing = 1e-9;

using Loop = std::vector<AdSegment>;

// Where the line through a with slope m meets the line through b with slope
// -1/m.
void meetNormal(const double a[2], double m, const double b[2], double out[2]) {
    const double x = (m * a[0] - a[1] + b[0] / m + b[1]) / (m + 1.0 / m);
    out[0] = x;
    out[1] = m * (x - a[0]) + a[1];
}

bool between(double v, double a, double b) { return (v >= a && v <= b) || (v >= b && v <= a); }

// Signed distance of q from the line, 0 within kNear.
int side(const AdHatchLine& line, double qx, double qy) {
    const double d = line.vertical ? qx - line.px
                                   : (qy - line.py - line.m * (qx - line.px)) / std::sqrt(1.0 + line.m * line.m);
    return d > kNear ? 1 : d < -kNear ? -1 : 0;
}

// A crossing found at segment i's end vertex is a real one only when the
// boundary goes on to the other side of the line; it may first run along it.
bool grazes(const AdHatchLine& line, const AdSegment* segments, std::uint16_t count, std::uint16_t i) {
    const int before = side(line, segments[i].x0, segments[i].y0);
    if (before == 0) return false;
    for (std::uint16_t k = 1; k < count; ++k) {
        const AdSegment& next = segments[(i + k) % count];
        const int after = side(line, next.x1, next.y1);
        if (after != 0) return after == before;
    }
    return false;
}

class Family {
public:
    Family(const AdHatchTarget& target, const std::vector<Loop>& loops, const double box[4],
           const AdHatchPatternLine& family, const AdHatchPattern& pattern, const std::uint8_t* flags)
        : target_(target), loops_(loops), box_(box), family_(family), pattern_(pattern), flags_(flags) {
        const double a = family.angle;
        line_.vertical = adHatchAngleIsVertical(a) != 0;
        line_.m = line_.vertical ? 0.0 : std::tan(a);
        line_.ux = std::cos(a), line_.uy = std::sin(a);
        if (std::fabs(line_.ux) < 1e-5 && std::fabs(a - std::numbers::pi / 2.0) < 0.1) line_.ux = 0.0;
        const double* o = family.offset;
        const double origin[2] = {0.0, 0.0};
        double n[2] = {0.0, 0.0};
        if (line_.vertical)
            n[0] = o[0];
        else if (std::fabs(line_.m) < kFlat)
            n[1] = o[1];
        else
            meetNormal(o, line_.m, origin, n);
        spacing_ = std::hypot(n[0], n[1]);
        if (!(spacing_ > kNoSpacing * std::hypot(o[0], o[1]))) spacing_ = 0.0;
    }

    // Lines across the extents' diagonal; 0 when the family draws nothing.
    double lineCount() const {
        if (!(spacing_ > 0.0) || !std::isfinite(spacing_)) return 0.0;
        return std::hypot(box_[2] - box_[0], box_[3] - box_[1]) / spacing_;
    }

    void draw() {
        if (lineCount() == 0.0) return;
        const double* b = family_.base;
        const double* o = family_.offset;
        const double mid[2] = {(box_[0] + box_[2]) / 2.0, (box_[1] + box_[3]) / 2.0};
        const bool flat = !line_.vertical && std::fabs(line_.m) < kFlat;
        double f[2];
        if (line_.vertical)
            f[0] = mid[0], f[1] = b[1];
        else if (flat)
            f[0] = b[0], f[1] = mid[1];
        else
            meetNormal(mid, line_.m, b, f);
        const double d = std::hypot(f[0] - b[0], f[1] - b[1]);
        double k = std::floor(d / spacing_) + 1.0;
        double b1[2] = {b[0] + o[0], b[1] + o[1]};
        if (!line_.vertical && !flat) meetNormal(b1, line_.m, b, b1);
        if (std::hypot(f[0] - b1[0], f[1] - b1[1]) > d) k = -k;
        const double start[2] = {b[0] + k * o[0], b[1] + k * o[1]};
        pass(start, 1.0);
        pass(start, -1.0);
    }

private:
    // Lines from start (pass +1) or start - offset (pass -1) outward; the
    // first two are always tried.
    void pass(const double start[2], double way) {
        const double* o = family_.offset;
        const double limit = lineCount() + 3.0;
        for (double j = 0.0; j < limit; j += 1.0) {
            const double step = way > 0.0 ? j : -(j + 1.0);
            line_.px = start[0] + step * o[0];
            line_.py = start[1] + step * o[1];
            if (!adHatchLineHitsBox(line_, box_)) {
                if (j >= 2.0) return;
                continue;
            }
            cut();
        }
    }

    void cut() {
        crossings_.clear();
        for (std::size_t l = 0; l < loops_.size(); ++l)
            adHatchLineCrossings(line_, loops_[l].data(), static_cast<std::uint16_t>(loops_[l].size()),
                                 static_cast<std::int16_t>(l), &crossings_);
        if (crossings_.size() < 2) return;
        if (crossings_.size() % 2 != 0) crossings_.pop_back();
        adHatchSortCrossings(&crossings_, line_);
        adHatchDrawSpans(target_, line_, family_, crossings_, pattern_.style, flags_,
                         static_cast<std::int32_t>(loops_.size()));
    }

    const AdHatchTarget& target_;
    const std::vector<Loop>& loops_;
    const double* box_;
    const AdHatchPatternLine& family_;
    const AdHatchPattern& pattern_;
    const std::uint8_t* flags_;
    AdHatchLine line_{};
    double spacing_ = 0.0;
    std::vector<AdHatchCrossing> crossings_;
};

}  // namespace

int adHatchAngleIsVertical(double angle) {
    const double f = std::fabs(std::fmod((angle - std::numbers::pi / 2.0) / std::numbers::pi, 1.0));
    return f < 1e-6 || std::fabs(1.0 - f) < 1e-6;
}

int adHatchLineHitsBox(const AdHatchLine& line, const double box[4]) {
    if (line.vertical) return box[0] <= line.px && line.px <= box[2];
    if (std::fabs(line.m) < kFlat) return box[1] <= line.py && line.py <= box[3];
    const double c = line.py - line.m * line.px;
    const auto yAt = [&](double x) { return line.m * x + c; };
    const auto xAt = [&](double y) { return (y - c) / line.m; };
    return between(yAt(box[0]), box[1], box[3]) || between(yAt(box[2]), box[1], box[3]) ||
           between(xAt(box[1]), box[0], box[2]) || between(xAt(box[3]), box[0], box[2]);
}

void adHatchLineCrossings(const AdHatchLine& line, const AdSegment* segments, std::uint16_t count, std::int16_t loop,
                          std::vector<AdHatchCrossing>* crossings) {
    const double c = line.py - line.m * line.px;
    for (std::uint16_t i = 0; i < count; ++i) {
        const AdSegment& s = segments[i];
        const bool vertical = std::fabs(s.x1 - s.x0) < kVerticalSegment;
        double x = 0.0, y = 0.0;
        if (vertical && line.vertical) continue;
        if (line.vertical) {
            x = line.px;
            if (!between(x, s.x0, s.x1)) continue;
            const double slope = (s.y1 - s.y0) / (s.x1 - s.x0);
            y = slope * x + (s.y1 - s.x1 * slope);
        } else if (vertical) {
            x = s.x0;
            y = line.py + line.m * (s.x0 - line.px);
            if (!between(y, s.y0, s.y1)) continue;
        } else {
            const double slope = (s.y1 - s.y0) / (s.x1 - s.x0);
            if (std::fabs(line.m - slope) < kFlat) continue;
            x = ((s.y1 - s.x1 * slope) - c) / (line.m - slope);
            y = line.m * x + c;
            if (!between(x, s.x0, s.x1)) continue;
        }
        if (std::fabs(x - s.x0) < kNear && std::fabs(y - s.y0) < kNear) continue;
        if (std::fabs(x - s.x1) < kNear && std::fabs(y - s.y1) < kNear && grazes(line, segments, count, i)) continue;
        crossings->push_back(AdHatchCrossing{x, y, loop});
    }
}

void adHatchSortCrossings(std::vector<AdHatchCrossing>* crossings, const AdHatchLine& line) {
    const bool byY = line.vertical, ascending = line.ux >= 0.0;
    std::stable_sort(crossings->begin(), crossings->end(), [&](const AdHatchCrossing& a, const AdHatchCrossing& b) {
        const double ka = byY ? a.y : a.x, kb = byY ? b.y : b.x;
        return ascending ? ka < kb : ka > kb;
    });
}

int adHatchPatternFill(const AdHatchTarget& target, std::int32_t loopCount, const std::uint16_t* counts,
                       AdStore* const* stores, const AdHatchPattern& pattern, const std::uint8_t* loopFlags) {
    std::vector<Loop> loops(static_cast<std::size_t>(std::max<std::int32_t>(loopCount, 0)));
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    double segments = 0.0;
    for (std::int32_t l = 0; l < loopCount; ++l) {
        Loop& loop = loops[static_cast<std::size_t>(l)];
        if (!adReadSegments(stores[l], counts[l], &loop)) loop.clear();
        segments += static_cast<double>(loop.size());
        for (const AdSegment& s : loop) {
            box[0] = std::min({box[0], s.x0, s.x1}), box[1] = std::min({box[1], s.y0, s.y1});
            box[2] = std::max({box[2], s.x0, s.x1}), box[3] = std::max({box[3], s.y0, s.y1});
        }
    }
    for (const double v : box)
        if (!std::isfinite(v) || std::fabs(v) >= 1e300) return 1;
    std::vector<Family> families;
    for (std::uint16_t i = 0; i < pattern.lineCount; ++i) {
        families.emplace_back(target, loops, box, pattern.lines[i], pattern, loopFlags);
        const double lines = families.back().lineCount();
        if (lines > AD_HATCH_LINE_LIMIT || lines * segments > AD_HATCH_WORK_LIMIT) return 0;
    }
    for (Family& family : families) family.draw();
    return 1;
}
