// Triangle-strip output of the sweep: each strip grows a left and a right
// vertex list between two edges; its triangles alternate between them.
#include "toolkit/display/clip/clip_contour_store.h"
#include "toolkit/display/clip/clip_sweep.h"

namespace {

struct ListVertex {
    double x, y;
    std::int32_t next;
};

struct VertexList {
    std::int32_t first = kNoRecord;
    std::int32_t last = kNoRecord;
};

struct StripRecord {
    std::int64_t count;
    VertexList left;
    VertexList right;
};

enum class Pending : std::uint8_t { None, Class10, Class11, Class14 };

class StripBuilder final : public ClipOutput {
public:
    // A start for the common case of a result about the size of the operands;
    // the edge block stays the largest working allocation, which keeps the
    // host allocator from returning and refetching memory on every call.
    explicit StripBuilder(std::size_t edges) {
        strips_.reserve(edges / 8 + 1);
        vertices_.reserve(edges / 2 + 4);
    }

    void beginScanbeam() override {}

    void atScanline(int code, ClipEdge& edge, double x, double y) override {
        std::int32_t& above = edge.out[kAbove];
        const std::int32_t below = edge.out[kBelow];
        switch (code) {
        case 1:
            // The point closes the strip unless the left edge of the same
            // strip has just put it there.
            if (!pending_ || x != pending_->xb || pending_->out[kBelow] != below) appendRight(below, x, y);
            above = kNoRecord;
            pending_ = nullptr;
            break;
        case 2:
            appendLeft(below, x, y);
            above = kNoRecord;
            pending_ = &edge;
            break;
        case 4:
            above = pendingAbove();
            if (pending_ && x != pending_->xb) appendRight(above, x, y);
            pending_ = nullptr;
            break;
        case 5:
            above = pendingAbove();
            if (pendingClass_ == Pending::Class10 && pending_) {
                if (pending_->bottom.y == y) {
                    appendRight(below, x, y);
                } else if (edge.bottom.y == y) {
                    appendLeft(pending_->out[kBelow], pending_->xb, y);
                    appendRight(below, x, y);
                }
            } else {
                appendRight(below, x, y);
                appendRight(above, x, y);
            }
            pending_ = nullptr;
            break;
        case 6:
            appendLeft(below, x, y);
            above = pendingAbove();
            if (pending_ && x != pending_->xb) appendRight(pending_->out[kAbove], x, y);
            pending_ = &edge;
            break;
        case 7:
            splitAtPending(y);
            above = pendingAbove();
            appendRight(above, x, y);
            break;
        case 8:
            start(edge, x, y);
            pending_ = &edge;
            break;
        case 9:
            appendRight(below, x, y);
            above = kNoRecord;
            start(edge, x, y);
            pending_ = &edge;
            break;
        case 10:
            if (edge.bottom.y == y) appendLeft(below, x, y);
            above = below;
            pending_ = &edge;
            pendingClass_ = Pending::Class10;
            break;
        case 11:
            start(edge, x, y);
            pending_ = &edge;
            pendingClass_ = Pending::Class11;
            break;
        case 13:
            splitAtPending(y);
            appendRight(below, x, y);
            above = kNoRecord;
            break;
        case 14:
            appendLeft(below, x, y);
            above = kNoRecord;
            pendingClass_ = Pending::Class14;
            break;
        default: break;
        }
    }

    void atCrossing(int code, ClipEdge& e0, ClipEdge& e1, double x, double y) override {
        const std::int32_t p = e0.out[kAbove];
        const std::int32_t q = e1.out[kAbove];
        const bool both = p != kNoRecord && q != kNoRecord;
        switch (code) {
        case 1:
            if (!both) break;
            appendLeft(p, x, y);
            e0.out[kAbove] = e1.out[kAbove] = kNoRecord;
            break;
        case 2: {
            if (q == kNoRecord) break;
            const Neighbour r = right(e1, y);
            appendLeft(q, x, y);
            appendRight(r, r.x, y);
            e0.out[kAbove] = q;
            e1.out[kAbove] = kNoRecord;
            break;
        }
        case 4: {
            if (p == kNoRecord) break;
            const Neighbour l = left(e0, y);
            appendLeft(l, l.x, y);
            appendRight(p, x, y);
            e1.out[kAbove] = p;
            e0.out[kAbove] = kNoRecord;
            break;
        }
        case 6:
            if (!both) break;
            appendRight(p, x, y);
            appendLeft(q, x, y);
            splitAround(e0, e1, x, y);
            break;
        case 7:
            splitAround(e0, e1, x, y);
            break;
        case 8:
            start(e1, x, y);
            e0.out[kAbove] = e1.out[kAbove];
            break;
        case 9:
            if (!both) break;
            appendLeft(p, x, y);
            start(e1, x, y);
            e0.out[kAbove] = e1.out[kAbove];
            break;
        case 11: {
            if (p == kNoRecord) break;
            appendLeft(p, x, y);
            const Neighbour r = right(e1, y);
            appendRight(r, r.x, y);
            e1.out[kAbove] = p;
            e0.out[kAbove] = kNoRecord;
            break;
        }
        case 13: {
            if (q == kNoRecord) break;
            appendRight(q, x, y);
            const Neighbour l = left(e0, y);
            appendLeft(l, l.x, y);
            e0.out[kAbove] = q;
            e1.out[kAbove] = kNoRecord;
            break;
        }
        case 14: {
            if (!both) break;
            appendRight(p, x, y);
            appendLeft(q, x, y);
            e0.out[kAbove] = e1.out[kAbove] = kNoRecord;
            const Neighbour l = left(e0, y);
            appendLeft(l, l.x, y);
            start(l, l.x, y);
            const Neighbour r = right(e1, y);
            appendRight(r, r.x, y);
            if (r.edge) r.edge->out[kAbove] = l.edge ? l.edge->out[kAbove] : kNoRecord;
            appendRight(r, r.x, y);
            break;
        }
        default: break;
        }
    }

    // In creation order; each strip alternates left and right vertices until
    // one list runs out, then the rest of the other follows.
    void assemble(AdTriStrips& result) {
        std::size_t count = 0;
        for (const StripRecord& s : strips_) count += s.count >= 3;
        ClipContourStore store(count, false);
        std::size_t c = 0;
        for (const StripRecord& s : strips_) {
            if (s.count < 3) continue;
            AdClipPoint* points = store.contour(c++, static_cast<std::size_t>(s.count));
            std::int32_t l = s.left.first;
            std::int32_t r = s.right.first;
            while (l != kNoRecord || r != kNoRecord) {
                if (l != kNoRecord) {
                    *points++ = {vertices_[l].x, vertices_[l].y};
                    l = vertices_[l].next;
                }
                if (r != kNoRecord) {
                    *points++ = {vertices_[r].x, vertices_[r].y};
                    r = vertices_[r].next;
                }
            }
        }
        store.handOver(result);
    }

private:
    // The nearest edge beyond a crossing that carries a strip, with its x at
    // the crossing's height; none when the table ends first.
    struct Neighbour {
        ClipEdge* edge;
        double x;
        operator std::int32_t() const { return edge ? edge->out[kAbove] : kNoRecord; }
    };

    static Neighbour neighbour(ClipEdge* e, double y, bool forward) {
        while (e && e->out[kAbove] == kNoRecord) e = forward ? e->next : e->prev;
        if (!e) return {nullptr, 0};
        return {e, e->bottom.x + e->dx * (y - e->bottom.y)};
    }
    static Neighbour left(ClipEdge& e0, double y) { return neighbour(e0.prev, y, false); }
    static Neighbour right(ClipEdge& e1, double y) { return neighbour(e1.next, y, true); }

    std::int32_t pendingAbove() const { return pending_ ? pending_->out[kAbove] : kNoRecord; }

    // A strip running up the pending left edge ends where a region starts
    // inside it, and a new one starts from the same point.
    void splitAtPending(double y) {
        if (pendingClass_ != Pending::Class10 || !pending_) return;
        if (pending_->bottom.y != y) appendLeft(pending_->out[kBelow], pending_->xb, y);
        start(*pending_, pending_->xb, y);
    }

    // Crossing classes 6 and 7: the strips on either side are closed at the
    // crossing's height and new ones start between the neighbours and the
    // crossing.
    void splitAround(ClipEdge& e0, ClipEdge& e1, double x, double y) {
        const Neighbour l = left(e0, y);
        appendLeft(l, l.x, y);
        start(l, l.x, y);
        const Neighbour r = right(e1, y);
        appendRight(r, r.x, y);
        e1.out[kAbove] = l.edge ? l.edge->out[kAbove] : kNoRecord;
        appendRight(e1.out[kAbove], x, y);
        start(e0, x, y);
        if (r.edge) r.edge->out[kAbove] = e0.out[kAbove];
        appendRight(r, r.x, y);
    }

    void start(ClipEdge& edge, double x, double y) {
        if (strips_.size() >= INT32_MAX) throw std::bad_alloc();
        strips_.push_back({0, {}, {}});
        const auto s = static_cast<std::int32_t>(strips_.size() - 1);
        appendLeft(s, x, y);
        edge.out[kAbove] = s;
    }
    void start(const Neighbour& n, double x, double y) {
        if (n.edge) start(*n.edge, x, y);
    }

    void append(std::int32_t s, double x, double y, bool leftList) {
        if (s == kNoRecord) return;
        if (vertices_.size() >= INT32_MAX) throw std::bad_alloc();
        vertices_.push_back({x, y, kNoRecord});
        const auto v = static_cast<std::int32_t>(vertices_.size() - 1);
        VertexList& list = leftList ? strips_[s].left : strips_[s].right;
        if (list.last == kNoRecord) list.first = v;
        else vertices_[list.last].next = v;
        list.last = v;
        ++strips_[s].count;
    }
    void appendLeft(std::int32_t s, double x, double y) { append(s, x, y, true); }
    void appendRight(std::int32_t s, double x, double y) { append(s, x, y, false); }

    ClipVector<StripRecord> strips_;
    ClipVector<ListVertex> vertices_;
    ClipEdge* pending_ = nullptr;
    Pending pendingClass_ = Pending::None;
};

}  // namespace

void adClipSweepStrips(AdClipOp op, ClipTables& tables, AdTriStrips& result) {
    StripBuilder builder(tables.edges.size());
    adClipSweep(op, tables, builder);
    builder.assemble(result);
}
