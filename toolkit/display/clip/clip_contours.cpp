// Contour output of the sweep: vertex chains that grow at either end and are
// joined where two of them meet, then read back as closed contours with hole
// flags (outer boundaries clockwise, holes counter-clockwise, y up).
//
// A joined record hands its chain to the other record's holder. Records find
// their holder through a parent link (with path halving) instead of every
// record being redirected at each join, so that many contours stay linear;
// a record is live while it is its own holder.
#include "toolkit/display/clip/clip_contour_store.h"
#include "toolkit/display/clip/clip_sweep.h"

#include <cfloat>

namespace {

struct ChainVertex {
    double x, y;
    std::int32_t next;
};

struct ContourRecord {
    std::int32_t holder;  // itself while live
    std::int32_t first;   // chain ends, valid in the holder
    std::int32_t last;
    std::uint8_t hole;
};

class ContourBuilder final : public ClipOutput {
public:
    // A start for the common case of a result about the size of the operands;
    // the edge block stays the largest working allocation, which keeps the
    // host allocator from returning and refetching memory on every call.
    explicit ContourBuilder(std::size_t edges) {
        records_.reserve(edges / 8 + 1);
        vertices_.reserve(edges / 2 + 4);
    }

    void beginScanbeam() override { lastX_ = -DBL_MAX; }

    void atScanline(int code, ClipEdge& edge, double x, double y) override {
        std::int32_t& above = edge.out[kAbove];
        std::int32_t& below = edge.out[kBelow];
        switch (code) {
        case 1:  // below-left only
            addPendingAtStart(x, y);
            joinAfter(pending_, below);
            pending_ = kNoRecord;
            break;
        case 2:  // below-right only
            addAtStart(below, x, y);
            lastX_ = x;
            pending_ = below;
            break;
        case 4:  // above-left only
            addPendingAtEnd(x, y);
            above = pending_;
            pending_ = kNoRecord;
            break;
        case 5:  // both left quadrants
            if (edge.bottom.y == y) addAtEnd(below, x, y);
            above = below;
            lastX_ = x;
            break;
        case 6:  // below-right and above-left
            addPendingAtEnd(x, y);
            joinBefore(pending_, below);
            below = kNoRecord;
            start(edge, x, y);
            pending_ = above;
            break;
        case 7:  // all but above-right
        case 8:  // above-right only
            start(edge, x, y);
            lastX_ = x;
            pending_ = above;
            break;
        case 9:  // below-left and above-right
            addPendingAtStart(x, y);
            joinAfter(pending_, below);
            below = kNoRecord;
            start(edge, x, y);
            pending_ = above;
            break;
        case 10:  // both right quadrants
            if (edge.bottom.y == y) addAtStart(below, x, y);
            above = below;
            lastX_ = x;
            break;
        case 11:  // all but above-left
            addPendingAtStart(x, y);
            above = pending_;
            pending_ = kNoRecord;
            break;
        case 13:  // all but below-right
            addAtEnd(below, x, y);
            lastX_ = x;
            pending_ = below;
            below = kNoRecord;
            break;
        case 14:  // all but below-left
            addPendingAtEnd(x, y);
            joinBefore(pending_, below);
            pending_ = kNoRecord;
            below = kNoRecord;
            break;
        default: break;
        }
    }

    void atCrossing(int code, ClipEdge& e0, ClipEdge& e1, double x, double y) override {
        const std::int32_t p = e0.out[kAbove];
        const std::int32_t q = e1.out[kAbove];
        const bool both = p != kNoRecord && q != kNoRecord;
        switch (code) {
        case 1:  // below only
            if (!both) break;
            addAtStart(p, x, y);
            joinAfter(p, q);
            e0.out[kAbove] = e1.out[kAbove] = kNoRecord;
            break;
        case 2:  // right only
            if (q == kNoRecord) break;
            addAtStart(q, x, y);
            e0.out[kAbove] = q;
            e1.out[kAbove] = kNoRecord;
            break;
        case 4:  // left only
            if (p == kNoRecord) break;
            addAtEnd(p, x, y);
            e1.out[kAbove] = p;
            e0.out[kAbove] = kNoRecord;
            break;
        case 6:  // left and right
            if (!both) break;
            addAtEnd(p, x, y);
            joinBefore(p, q);
            start(e0, x, y);
            e1.out[kAbove] = e0.out[kAbove];
            break;
        case 7:  // all but above
        case 8:  // above only
            start(e0, x, y);
            e1.out[kAbove] = e0.out[kAbove];
            break;
        case 9:  // below and above
            if (!both) break;
            addAtStart(p, x, y);
            joinAfter(p, q);
            start(e0, x, y);
            e1.out[kAbove] = e0.out[kAbove];
            break;
        case 11:  // all but left
            if (p == kNoRecord) break;
            addAtStart(p, x, y);
            e1.out[kAbove] = p;
            e0.out[kAbove] = kNoRecord;
            break;
        case 13:  // all but right
            if (q == kNoRecord) break;
            addAtEnd(q, x, y);
            e0.out[kAbove] = q;
            e1.out[kAbove] = kNoRecord;
            break;
        case 14:  // all but below
            if (!both) break;
            addAtEnd(p, x, y);
            joinBefore(p, q);
            e0.out[kAbove] = e1.out[kAbove] = kNoRecord;
            break;
        default: break;
        }
    }

    // Most recently started first; each chain is read from its end.
    void assemble(AdClipPolygon& result) {
        ClipVector<std::int32_t> kept;
        kept.reserve(records_.size());
        for (auto r = static_cast<std::int32_t>(records_.size()); r-- > 0;) {
            if (records_[r].holder != r) continue;
            std::size_t n = 0;
            for (std::int32_t v = records_[r].first; v != kNoRecord && n < 3; v = vertices_[v].next) ++n;
            if (n >= 3) kept.push_back(r);
        }
        ClipContourStore store(kept.size(), true);
        for (std::size_t c = 0; c < kept.size(); ++c) {
            const ContourRecord& record = records_[kept[c]];
            std::size_t n = 0;
            for (std::int32_t v = record.first; v != kNoRecord; v = vertices_[v].next) ++n;
            AdClipPoint* points = store.contour(c, n, record.hole);
            for (std::int32_t v = record.first; v != kNoRecord; v = vertices_[v].next) points[--n] = {vertices_[v].x, vertices_[v].y};
        }
        store.handOver(result);
    }

private:
    std::int32_t holder(std::int32_t r) {
        while (records_[r].holder != r) {
            records_[r].holder = records_[records_[r].holder].holder;
            r = records_[r].holder;
        }
        return r;
    }

    std::int32_t newVertex(double x, double y) {
        if (vertices_.size() >= INT32_MAX) throw std::bad_alloc();
        vertices_.push_back({x, y, kNoRecord});
        return static_cast<std::int32_t>(vertices_.size() - 1);
    }

    void start(ClipEdge& edge, double x, double y) {
        const std::int32_t v = newVertex(x, y);
        if (records_.size() >= INT32_MAX) throw std::bad_alloc();
        records_.push_back({static_cast<std::int32_t>(records_.size()), v, v, 0});
        edge.out[kAbove] = static_cast<std::int32_t>(records_.size() - 1);
    }

    void addAtStart(std::int32_t r, double x, double y) {
        if (r == kNoRecord) return;
        const std::int32_t v = newVertex(x, y);
        ContourRecord& h = records_[holder(r)];
        vertices_[v].next = h.first;
        h.first = v;
    }

    void addAtEnd(std::int32_t r, double x, double y) {
        if (r == kNoRecord) return;
        const std::int32_t v = newVertex(x, y);
        ContourRecord& h = records_[holder(r)];
        vertices_[h.last].next = v;
        h.last = v;
    }

    // The pending contour grows only where the scanline has moved on.
    void addPendingAtStart(double x, double y) {
        if (x == lastX_) return;
        addAtStart(pending_, x, y);
        lastX_ = x;
    }
    void addPendingAtEnd(double x, double y) {
        if (x == lastX_) return;
        addAtEnd(pending_, x, y);
        lastX_ = x;
    }

    // P's chain goes in front of Q's, which becomes a hole.
    void joinBefore(std::int32_t p, std::int32_t q) { join(p, q, true); }
    // P's chain goes after Q's, which becomes an outer boundary.
    void joinAfter(std::int32_t p, std::int32_t q) { join(p, q, false); }

    void join(std::int32_t p, std::int32_t q, bool before) {
        if (p == kNoRecord || q == kNoRecord) return;
        const std::int32_t hp = holder(p);
        const std::int32_t hq = holder(q);
        records_[hq].hole = before ? 1 : 0;
        if (hp == hq) return;
        ContourRecord& a = records_[hp];
        ContourRecord& b = records_[hq];
        if (before) {
            vertices_[a.last].next = b.first;
            b.first = a.first;
        } else {
            vertices_[b.last].next = a.first;
            b.last = a.last;
        }
        a.holder = hq;
    }

    ClipVector<ContourRecord> records_;
    ClipVector<ChainVertex> vertices_;
    std::int32_t pending_ = kNoRecord;
    double lastX_ = -DBL_MAX;
};

}  // namespace

void adClipSweepContours(AdClipOp op, ClipTables& tables, AdClipPolygon& result) {
    ContourBuilder builder(tables.edges.size());
    adClipSweep(op, tables, builder);
    builder.assemble(result);
}
