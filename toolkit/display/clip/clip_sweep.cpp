// The scanbeam sweep: from the lowest y to the highest, edges enter the active
// table at their local minima, coincident edges are bundled, every edge is
// classified by the inside-state of its four quadrants at the scanline, and
// the crossings inside each scanbeam are classified the same way. The output
// builder turns the classes into contours or strips.
#include "toolkit/display/clip/clip_sweep.h"

#include <algorithm>
#include <cmath>

namespace {

// Horizontal state after an edge: row = current state, column =
// (presence - 1) * 2 + running state after the edge.
constexpr std::uint8_t kNextHorizontal[3][6] = {
    {1, 2, 2, 1, 0, 0},
    {0, 0, 0, 0, 2, 2},
    {0, 0, 0, 0, 1, 1},
};

struct Crossing {
    ClipEdge* e0;  // left below the crossing
    ClipEdge* e1;
    double x;
    double dy;  // above the scanbeam's bottom
};

// A node of the sorted edge list, kept from the rightmost top x down.
struct SortedEdge {
    ClipEdge* edge;
    std::int32_t next;
};

class Sweep {
public:
    Sweep(AdClipOp op, ClipTables& tables, ClipOutput& output) : op_(op), tables_(tables), output_(output) {
        sorted_.reserve(tables.edges.size());
    }

    void run() {
        // A difference reads the clip polygon inverted.
        parity_[kClipOwner] = op_ == AD_CLIP_DIFFERENCE ? 1 : 0;
        parity_[kSubjectOwner] = 0;
        const ClipVector<double>& beams = tables_.scanbeams;
        std::size_t minimum = 0;
        for (std::size_t s = 0; s < beams.size(); ++s) {
            const double yb = beams[s];
            const bool more = s + 1 < beams.size();
            const double yt = more ? beams[s + 1] : yb;
            minimum = insertMinima(minimum, yb);
            output_.beginScanbeam();
            bundleAbove(yb);
            classify(yb);
            removeEnded(yb, yt);
            if (!more) continue;
            findCrossings(yt - yb);
            crossInOrder(yb);
            advance(yt);
        }
    }

private:
    static bool combine(AdClipOp op, int cv, int sv) {
        switch (op) {
        case AD_CLIP_XOR: return cv ^ sv;
        case AD_CLIP_UNION: return cv | sv;
        default: return cv & sv;
        }
    }
    bool f(int cv, int sv) const { return combine(op_, cv, sv); }

    // The bounds of the local minima at yb enter the table in their order:
    // each goes before the first edge with a larger bottom x (then dx), after
    // its equals. The bounds come sorted, so each search starts where the
    // previous one ended.
    std::size_t insertMinima(std::size_t minimum, double yb) {
        const ClipVector<ClipBound>& minima = tables_.minima;
        ClipEdge* after = nullptr;
        for (; minimum < minima.size() && minima[minimum].y == yb; ++minimum) {
            ClipEdge* e = minima[minimum].first;
            ClipEdge* n = after ? after->next : aet_;
            while (n && !(e->xb < n->xb || (e->xb == n->xb && e->dx < n->dx))) {
                after = n;
                n = n->next;
            }
            e->prev = after;
            e->next = n;
            if (after) after->next = e;
            else aet_ = e;
            if (n) n->prev = e;
            after = e;
        }
        return minimum;
    }

    // Above the scanline, an edge that coincides with the one before it takes
    // over its flags; two coincident edges of one operand cancel.
    void bundleAbove(double yb) {
        ClipEdge* reference = aet_;
        for (ClipEdge* e = aet_; e; e = e->next) {
            const int own = e->owner;
            e->bundle[kAbove][own] = e->top.y != yb;
            e->bundle[kAbove][!own] = 0;
            e->state[kAbove] = kUnbundled;
            if (e == aet_ || !e->bundle[kAbove][own]) continue;
            if (std::fabs(reference->xb - e->xb) <= kClipEpsilon && std::fabs(reference->dx - e->dx) <= kClipEpsilon &&
                reference->top.y != yb) {
                e->bundle[kAbove][own] ^= reference->bundle[kAbove][own];
                e->bundle[kAbove][!own] = reference->bundle[kAbove][!own];
                e->state[kAbove] = kBundleHead;
                reference->bundle[kAbove][kClipOwner] = 0;
                reference->bundle[kAbove][kSubjectOwner] = 0;
                reference->state[kAbove] = kBundleTail;
            }
            reference = e;
        }
    }

    bool contributes(const int present[2], const int horizontal[2]) const {
        const int cv = parity_[kClipOwner];
        const int sv = parity_[kSubjectOwner];
        const bool clipPresent = present[kClipOwner] != 0;
        const bool subjectPresent = present[kSubjectOwner] != 0;
        const bool both = clipPresent && subjectPresent && cv == sv;
        switch (op_) {
        case AD_CLIP_XOR: return true;
        case AD_CLIP_UNION:
            return (clipPresent && (sv == 0 || horizontal[kSubjectOwner] != 0)) ||
                   (subjectPresent && (cv == 0 || horizontal[kClipOwner] != 0)) || both;
        default:
            return (clipPresent && (sv == 1 || horizontal[kSubjectOwner] != 0)) ||
                   (subjectPresent && (cv == 1 || horizontal[kClipOwner] != 0)) || both;
        }
    }

    void classify(double yb) {
        int horizontal[2] = {0, 0};
        for (ClipEdge* e = aet_; e; e = e->next) {
            int present[2];
            for (int k = 0; k < 2; ++k) present[k] = e->bundle[kAbove][k] + 2 * e->bundle[kBelow][k];
            if (!present[kClipOwner] && !present[kSubjectOwner]) continue;
            e->side[kClipOwner] = parity_[kClipOwner];
            e->side[kSubjectOwner] = parity_[kSubjectOwner];
            int al[2], ar[2], bl[2], br[2];
            for (int k = 0; k < 2; ++k) {
                const int p = parity_[k];
                const int h = horizontal[k] != 0;
                al[k] = p;
                ar[k] = p ^ e->bundle[kAbove][k];
                bl[k] = p ^ h;
                br[k] = p ^ h ^ e->bundle[kBelow][k];
            }
            const int code = f(bl[0], bl[1]) + 2 * f(br[0], br[1]) + 4 * f(al[0], al[1]) + 8 * f(ar[0], ar[1]);
            const bool contributing = contributes(present, horizontal);
            for (int k = 0; k < 2; ++k) parity_[k] ^= e->bundle[kAbove][k];
            for (int k = 0; k < 2; ++k)
                if (present[k]) horizontal[k] = kNextHorizontal[horizontal[k]][(present[k] - 1) * 2 + parity_[k]];
            if (contributing) output_.atScanline(code, *e, e->xb, yb);
        }
    }

    // Edges that end at the scanline leave; a bundle tail below an ending
    // head takes over its output. The others get their x at the next scanline.
    void removeEnded(double yb, double yt) {
        for (ClipEdge* e = aet_; e; e = e->next) {
            if (e->top.y == yb) {
                ClipEdge* before = e->prev;
                if (before) before->next = e->next;
                else aet_ = e->next;
                if (e->next) e->next->prev = before;
                if (e->state[kBelow] == kBundleHead && before && before->state[kBelow] == kBundleTail) {
                    before->out[kBelow] = e->out[kBelow];
                    before->state[kBelow] = kUnbundled;
                    if (before->prev && before->prev->state[kBelow] == kBundleTail) before->state[kBelow] = kBundleHead;
                }
            } else {
                e->xt = e->top.y == yt ? e->top.x : e->bottom.x + e->dx * (yt - e->bottom.y);
            }
        }
    }

    // Each edge that shows above the scanline is compared with the sorted
    // edges from the rightmost top down: every one it passes is a crossing.
    void findCrossings(double dy) {
        crossings_.clear();
        sorted_.clear();
        std::int32_t head = -1;
        for (ClipEdge* e = aet_; e; e = e->next) {
            if (e->state[kAbove] != kBundleHead && !e->bundle[kAbove][kClipOwner] && !e->bundle[kAbove][kSubjectOwner])
                continue;
            std::int32_t passed = -1;  // the last sorted edge that e crossed
            std::int32_t at = head;
            while (at >= 0) {
                const ClipEdge* kept = sorted_[at].edge;
                const double den = (kept->xt - kept->xb) - (e->xt - e->xb);
                if (e->xt >= kept->xt || e->dx == kept->dx || std::fabs(den) <= kClipEpsilon) break;
                const double r = (e->xb - kept->xb) / den;
                crossings_.push_back({sorted_[at].edge, e, kept->xb + r * (kept->xt - kept->xb), r * dy});
                passed = at;
                at = sorted_[at].next;
            }
            sorted_.push_back({e, at});
            const auto node = static_cast<std::int32_t>(sorted_.size() - 1);
            if (passed < 0) head = node;
            else sorted_[passed].next = node;
        }
        // By height; equal heights keep the order in which they were found.
        std::stable_sort(crossings_.begin(), crossings_.end(),
                         [](const Crossing& a, const Crossing& b) { return a.dy < b.dy || (!std::isnan(a.dy) && std::isnan(b.dy)); });
    }

    // Crossings are taken by height, but one whose edges are not neighbours
    // yet (three or more edges through one point, or heights that rounding
    // put out of order) waits for the first later one whose edges are:
    // swapping bundles that are not neighbours would tear the table apart.
    void crossInOrder(double yb) {
        for (std::size_t i = 0; i < crossings_.size(); ++i) {
            if (!neighbours(crossings_[i])) {
                std::size_t j = i + 1;
                while (j < crossings_.size() && !neighbours(crossings_[j])) ++j;
                if (j < crossings_.size()) std::rotate(crossings_.begin() + i, crossings_.begin() + j, crossings_.begin() + j + 1);
            }
            cross(crossings_[i], yb);
        }
    }

    static bool neighbours(const Crossing& c) { return bundleStart(c.e1)->prev == c.e0; }

    void cross(const Crossing& c, double yb) {
        ClipEdge& e0 = *c.e0;
        ClipEdge& e1 = *c.e1;
        const std::uint8_t* a0 = e0.bundle[kAbove];
        const std::uint8_t* a1 = e1.bundle[kAbove];
        if ((a0[0] || a0[1]) && (a1[0] || a1[1])) {
            int in[2];
            for (int k = 0; k < 2; ++k)
                in[k] = (a0[k] && !e0.side[k]) || (a1[k] && e1.side[k]) || (!a0[k] && !a1[k] && e0.side[k] && e1.side[k]);
            const int below = f(in[0], in[1]);
            const int right = f(in[0] ^ a1[0], in[1] ^ a1[1]);
            const int left = f(in[0] ^ a0[0], in[1] ^ a0[1]);
            const int above = f(in[0] ^ a0[0] ^ a1[0], in[1] ^ a0[1] ^ a1[1]);
            output_.atCrossing(below + 2 * right + 4 * left + 8 * above, e0, e1, c.x, yb + c.dy);
        }
        for (int k = 0; k < 2; ++k) {
            if (a0[k]) e1.side[k] ^= 1;
            if (a1[k]) e0.side[k] ^= 1;
        }
        swapBundles(e0, e1);
    }

    static ClipEdge* bundleStart(ClipEdge* e) {
        while (e->prev && e->prev->state[kAbove] == kBundleTail) e = e->prev;
        return e;
    }

    // e1's bundle (e1 and the tails just before it) moves in front of e0's.
    void swapBundles(ClipEdge& e0, ClipEdge& e1) {
        ClipEdge* first0 = bundleStart(&e0);
        ClipEdge* first1 = bundleStart(&e1);
        if (e1.next == first0) return;
        // Unlink first1..e1.
        if (first1->prev) first1->prev->next = e1.next;
        else aet_ = e1.next;
        if (e1.next) e1.next->prev = first1->prev;
        // Link it in before first0.
        first1->prev = first0->prev;
        if (first0->prev) first0->prev->next = first1;
        else aet_ = first1;
        e1.next = first0;
        first0->prev = &e1;
    }

    // The above side becomes the below side; an edge that ends at yt hands
    // its place and state to the next edge of its bound.
    void advance(double yt) {
        for (ClipEdge* e = aet_; e;) {
            ClipEdge* next = e->next;
            ClipEdge* target = e;
            if (e->top.y == yt && e->successor) {
                target = e->successor;
                target->prev = e->prev;
                target->next = next;
                if (e->prev) e->prev->next = target;
                else aet_ = target;
                if (next) next->prev = target;
            } else {
                e->xb = e->xt;
            }
            target->out[kBelow] = e->out[kAbove];
            target->state[kBelow] = e->state[kAbove];
            target->bundle[kBelow][kClipOwner] = e->bundle[kAbove][kClipOwner];
            target->bundle[kBelow][kSubjectOwner] = e->bundle[kAbove][kSubjectOwner];
            e->out[kAbove] = kNoRecord;
            e = next;
        }
    }

    AdClipOp op_;
    ClipTables& tables_;
    ClipOutput& output_;
    ClipEdge* aet_ = nullptr;
    int parity_[2] = {0, 0};
    ClipVector<Crossing> crossings_;
    ClipVector<SortedEdge> sorted_;
};

}  // namespace

void adClipSweep(AdClipOp op, ClipTables& tables, ClipOutput& output) { Sweep(op, tables, output).run(); }
