// The clipper's tables: the bounding-box pre-test, the edges of every bound,
// the local minima in sweep order and the scanbeam heights.
//
// The local minima and the scanbeams are sorted once (stably, so that equal
// keys keep the order in which the bounds were found) instead of being
// inserted one by one into sorted lists and a tree: the order is the same and
// large or monotone inputs stay n log n.
#include "toolkit/display/clip/clip_sweep.h"

#include <algorithm>
#include <cmath>

namespace {

// A contour as the sweep reads it: absent arrays, negative counts and
// non-finite coordinates make it a contour without vertices.
struct ContourView {
    std::int32_t count = 0;
    const AdClipPoint* points = nullptr;
};

std::int32_t contourCount(const AdClipPolygon* p) {
    return p && p->contours && p->contourCount > 0 ? p->contourCount : 0;
}

ContourView contourView(const AdClipPolygon* p, std::int32_t i) {
    const AdClipContour& c = p->contours[i];
    if (c.vertexCount <= 0 || !c.points) return {};
    for (std::int32_t v = 0; v < c.vertexCount; ++v)
        if (!std::isfinite(c.points[v].x) || !std::isfinite(c.points[v].y)) return {};
    return {c.vertexCount, c.points};
}

struct Box {
    double xmin, ymin, xmax, ymax;
    bool empty;
};

Box contourBox(ContourView c) {
    if (c.count == 0) return {0, 0, 0, 0, true};
    Box b{c.points[0].x, c.points[0].y, c.points[0].x, c.points[0].y, false};
    for (std::int32_t v = 1; v < c.count; ++v) {
        b.xmin = std::min(b.xmin, c.points[v].x);
        b.xmax = std::max(b.xmax, c.points[v].x);
        b.ymin = std::min(b.ymin, c.points[v].y);
        b.ymax = std::max(b.ymax, c.points[v].y);
    }
    return b;
}

// Touching boxes overlap; an empty box overlaps nothing.
bool overlap(const Box& a, const Box& b) {
    if (a.empty || b.empty) return false;
    return !(a.xmax < b.xmin || a.xmin > b.xmax || a.ymax < b.ymin || a.ymin > b.ymax);
}

// Contours that cannot contribute to an intersection or a difference: clip
// contours away from every subject contour, and for an intersection also
// subject contours away from every clip contour. skip holds the subject's
// flags, then the clip polygon's.
void markSkipped(AdClipOp op, const AdClipPolygon* subject, const AdClipPolygon* clip, ClipVector<std::uint8_t>& skip) {
    const std::int32_t ns = contourCount(subject);
    const std::int32_t nc = contourCount(clip);
    skip.assign(static_cast<std::size_t>(ns) + static_cast<std::size_t>(nc), 0);
    if ((op != AD_CLIP_INTERSECTION && op != AD_CLIP_DIFFERENCE) || ns == 0 || nc == 0) return;
    ClipVector<Box> boxes(skip.size());
    for (std::int32_t i = 0; i < ns; ++i) boxes[i] = contourBox(contourView(subject, i));
    for (std::int32_t j = 0; j < nc; ++j) boxes[ns + j] = contourBox(contourView(clip, j));
    if (op == AD_CLIP_INTERSECTION) std::fill(skip.begin(), skip.begin() + ns, 1);
    for (std::int32_t j = 0; j < nc; ++j) {
        bool hit = false;
        for (std::int32_t i = 0; i < ns; ++i) {
            if (overlap(boxes[i], boxes[ns + j])) {
                hit = true;
                skip[i] = 0;
            }
        }
        skip[ns + j] = !hit;
    }
}

// Vertices whose y differs from a neighbour's: a vertex inside a horizontal
// run carries no edge.
bool keptVertex(ContourView c, std::int32_t i) {
    const double y = c.points[i].y;
    return c.points[i == 0 ? c.count - 1 : i - 1].y != y || c.points[i + 1 == c.count ? 0 : i + 1].y != y;
}

std::size_t keptCount(ContourView c) {
    std::size_t n = 0;
    for (std::int32_t i = 0; i < c.count; ++i) n += keptVertex(c, i);
    return n;
}

class TableBuilder {
public:
    TableBuilder(AdClipOp op, ClipTables& tables, std::size_t longestContour) : op_(op), tables_(tables) {
        kept_.reserve(longestContour);
    }

    void addContour(ContourView c, std::uint8_t owner) {
        kept_.clear();
        for (std::int32_t i = 0; i < c.count; ++i)
            if (keptVertex(c, i)) kept_.push_back(c.points[i]);
        const std::size_t n = kept_.size();
        for (const AdClipPoint& p : kept_) tables_.scanbeams.push_back(p.y);
        auto y = [&](std::size_t i) { return kept_[i % n].y; };
        // Forward bounds run through the following vertices, reverse bounds
        // through the preceding ones, each while y strictly increases.
        for (std::size_t i = 0; i < n; ++i) {
            if (y(i + n - 1) >= y(i) && y(i + 1) > y(i)) {
                std::size_t steps = 0;
                while (steps < n && y(i + steps + 1) > y(i + steps)) ++steps;
                addBound(owner, [&](std::size_t k) { return kept_[(i + k) % n]; }, steps);
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (y(i + n - 1) > y(i) && y(i + 1) >= y(i)) {
                std::size_t steps = 0;
                while (steps < n && y(i + 2 * n - steps - 1) > y(i + 2 * n - steps)) ++steps;
                addBound(owner, [&](std::size_t k) { return kept_[(i + 2 * n - k) % n]; }, steps);
            }
        }
    }

private:
    template <class Vertex>
    void addBound(std::uint8_t owner, Vertex vertex, std::size_t steps) {
        ClipEdge* previous = nullptr;
        for (std::size_t k = 0; k < steps; ++k) {
            ClipEdge& e = tables_.edges.emplace_back();
            e.bottom = vertex(k);
            e.top = vertex(k + 1);
            e.xb = e.bottom.x;
            e.xt = e.bottom.x;
            e.dx = (e.top.x - e.bottom.x) / (e.top.y - e.bottom.y);
            e.owner = owner;
            // A difference starts with the clip polygon inverted.
            e.side[kClipOwner] = op_ == AD_CLIP_DIFFERENCE ? 1 : 0;
            e.out[kAbove] = kNoRecord;
            e.out[kBelow] = kNoRecord;
            if (previous) previous->successor = &e;
            else tables_.minima.push_back({e.bottom.y, &e});
            previous = &e;
        }
    }

    AdClipOp op_;
    ClipTables& tables_;
    ClipVector<AdClipPoint> kept_;
};

// NaN (from overflowing slopes) sorts last, so that the order stays strict.
bool before(double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); }

bool minimaOrder(const ClipBound& a, const ClipBound& b) {
    if (a.y != b.y) return a.y < b.y;
    if (a.first->xb != b.first->xb) return a.first->xb < b.first->xb;
    return before(a.first->dx, b.first->dx);
}

}  // namespace

void adClipBuildTables(AdClipOp op, const AdClipPolygon* subject, const AdClipPolygon* clip, ClipTables& tables) {
    ClipVector<std::uint8_t> skip;
    markSkipped(op, subject, clip, skip);
    const std::uint8_t* skipSubject = skip.data();
    const std::uint8_t* skipClip = skip.data() + contourCount(subject);

    // Edges are found once with the block sized to every kept vertex, so that
    // the links between them never move.
    std::size_t vertices = 0;
    std::size_t longest = 0;
    auto countOperand = [&](const AdClipPolygon* p, const std::uint8_t* skip) {
        for (std::int32_t i = 0; i < contourCount(p); ++i) {
            if (skip[i]) continue;
            const ContourView c = contourView(p, i);
            vertices += keptCount(c);
            longest = std::max(longest, static_cast<std::size_t>(c.count));
        }
    };
    countOperand(subject, skipSubject);
    countOperand(clip, skipClip);
    // A bound holds at least one edge, so there are no more minima than edges.
    tables.edges.reserve(vertices);
    tables.minima.reserve(vertices);
    tables.scanbeams.reserve(vertices);

    TableBuilder builder(op, tables, longest);
    for (std::int32_t i = 0; i < contourCount(subject); ++i)
        if (!skipSubject[i]) builder.addContour(contourView(subject, i), kSubjectOwner);
    for (std::int32_t i = 0; i < contourCount(clip); ++i)
        if (!skipClip[i]) builder.addContour(contourView(clip, i), kClipOwner);

    std::stable_sort(tables.minima.begin(), tables.minima.end(), minimaOrder);
    std::stable_sort(tables.scanbeams.begin(), tables.scanbeams.end());
    tables.scanbeams.erase(std::unique(tables.scanbeams.begin(), tables.scanbeams.end()), tables.scanbeams.end());
}
