// Drawing a polyline shape: bulges become arc pieces, every piece gets its
// start and end width, consecutive wide pieces are joined at their common
// vertex (mitred where the turn allows, squared off where it does not), and
// each piece is drawn as a centre line through the linetype, as a filled
// quadrilateral, or (without FILLMODE) as the quadrilateral's outline.
#include "toolkit/display/polyline.h"

#include "toolkit/display/curves.h"
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/wide_dash.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kNoJoint = AD_NO_JOINT;
constexpr double kMiterBase = 0.50536052;
constexpr double kStraightTurn = 3.014240230182893;

// One straight piece of the polyline: a segment, or a chord of an arc.
struct Piece {
    double a[3];
    double b[3];
    double startWidth;
    double endWidth;
    double startJoint;  // direction of the corners' offset at a; kNoJoint: square to the piece
    double endJoint;
    bool arc;
    bool arcGoesOn;  // the next piece is the next chord of the same arc
    std::int32_t curve;  // the linetype's curve value
    double curveLength;  // of the whole arc or segment, for the pattern
    double radius;       // of the arc a chord belongs to; 0 on a straight segment
};

// The corners of a wide piece: left and right at its start and its end.
struct Edges {
    double startLeft[2], startRight[2], endLeft[2], endRight[2];
};

Edges edgesOf(const Piece& p) {
    const AdWideSegment joints{p.startWidth, p.endWidth, 0.0, p.startJoint, p.endJoint};
    AdWideEdge start{}, end{};
    adWidePieceCorners(&joints, p.a, p.b, p.startWidth, p.endWidth, &start, &end);
    Edges out{};
    std::copy(start.left, start.left + 2, out.startLeft);
    std::copy(start.right, start.right + 2, out.startRight);
    std::copy(end.left, end.left + 2, out.endLeft);
    std::copy(end.right, end.right + 2, out.endRight);
    return out;
}

bool wide(const Piece& p) { return p.startWidth != 0.0 || p.endWidth != 0.0; }

bool samePlace(const double* a, const double* b) {
    const double tx = 1e-9 * (std::fabs(a[0]) + std::fabs(b[0])) + 1e-10;
    const double ty = 1e-9 * (std::fabs(a[1]) + std::fabs(b[1])) + 1e-10;
    return std::fabs(a[0] - b[0]) <= tx && std::fabs(a[1] - b[1]) <= ty;
}

// One side of a mitred join: where the side of the piece ending at the
// vertex meets the side of the piece starting there.
void miterSide(const double* s1, const double* e1, const double* s2, const double* e2, double out[2]) {
    if (samePlace(s1, e1)) {
        out[0] = s1[0], out[1] = s1[1];
    } else if (samePlace(s2, e2)) {
        out[0] = e2[0], out[1] = e2[1];
    } else if (!adLinesMeet2D(s1, e1, s2, e2, out)) {
        out[0] = e1[0], out[1] = e1[1];  // parallel by rounding: the piece's own corner
    }
}

double distance3(const double a[3], const double b[3]) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// Whether the join of p (ending at the vertex) and q (starting there) is mitred.
bool mitred(const Piece& p, const Piece& q) {
    const bool lined = (p.a[0] == p.b[0] && p.b[0] == q.b[0]) || (p.a[1] == p.b[1] && p.b[1] == q.b[1]);
    if (lined && p.endWidth == q.startWidth) return true;
    const double angle = adAngleBetweenAtVertex(p.a, p.b, q.b);
    const AdPolyVertex u{{p.a[0], p.a[1], p.a[2]}, p.startWidth, p.endWidth, 0.0};
    const AdPolyVertex v{{q.a[0], q.a[1], q.a[2]}, q.startWidth, q.endWidth, 0.0};
    const AdPolyVertex w{{q.b[0], q.b[1], q.b[2]}, 0.0, 0.0, 0.0};
    if (angle < adMiterLimit(u, v, w)) return false;
    if (p.endWidth != 0.0 && q.startWidth == 0.0) return false;
    if (p.arc != q.arc) return false;
    return !(angle > kStraightTurn && p.endWidth != q.startWidth);
}

// Around one wide piece: its dashes are no shorter than the piece is wide
// (on an arc, measured along the centre line), and the pattern is walked
// only where its dashes show on the device.
struct WideLtscale {
    AdHeaderVars* header;
    AdDisplayState* state;
    double ltscale = 0.0;
    std::uint8_t generation = 0;
    bool active;

    WideLtscale(AdDrawing* drawing, const Piece& p)
        : header(drawing->header), state(drawing->display), active(header && header->psltscale != 1) {
        if (!active) return;
        ltscale = header->ltscale;
        generation = state->linetypeGeneration;
        if (p.startWidth != 0.0 && p.endWidth != 0.0 && header->ltscale > 0.0) {
            state->minimumDash = std::min(p.startWidth, p.endWidth) / header->ltscale;
            state->exactDash = state->minimumDash == 0.0;
        }
        const double m = state->minimumDash, r = p.radius;
        if (p.curveLength != 0.0 && r > 0.0) header->ltscale *= (r - (m / 2.0 - m * m / (8.0 * r))) / r;
        double a = state->viewports[0].scale * header->ltscale;
        if (m != 0.0) a *= 2.0 * m;
        state->linetypeGeneration = state->paperSpace == 1 || a > 4.0;
    }
    ~WideLtscale() {
        if (!active) return;
        header->ltscale = ltscale;
        state->linetypeGeneration = generation;
        state->minimumDash = 0.0;
        state->exactDash = 1;
    }
};

struct ShapeDrawer {
    AdDrawContext& entity;
    AdDisplayState* state;

    void thin(const Piece& p) {
        double a[3] = {p.a[0], p.a[1], p.a[2]}, b[3] = {p.b[0], p.b[1], p.b[2]};
        adApplyLinetype(entity.drawing, a, b, entity.block, entity.matrices, entity.linetype, entity.linetypeDrawing,
                        nullptr, p.curve, p.curveLength);
    }

    // A wide piece between its start edge and its end edge as joined.
    void quad(const Piece& p, const double sl[2], const double sr[2], double el[2], double er[2]) {
        // Sides that cross would make a bow tie: the end corners swap.
        double cross[2];
        if (adSegmentsCross2D(el, sl, er, sr, cross)) {
            std::swap(el[0], er[0]);
            std::swap(el[1], er[1]);
        }
        const double startLeft[3] = {sl[0], sl[1], p.a[2]}, startRight[3] = {sr[0], sr[1], p.a[2]};
        const double endLeft[3] = {el[0], el[1], p.b[2]}, endRight[3] = {er[0], er[1], p.b[2]};
        const std::int16_t fillmode = entity.drawing->header ? entity.drawing->header->fillmode : 1;
        if (fillmode == 0)
            adQuadOutline(entity.drawing, startRight, startLeft, endLeft, endRight, entity.matrices,
                          &state->continuousRecord, entity.drawing);
        else
            adFillQuad(entity.drawing, endLeft, endRight, startLeft, startRight, entity.matrices);
    }

    // The linetype walks the piece as wide dashes.
    bool dashed() const {
        const AdLtypeRecord* linetype = entity.linetype;
        return state->linetypeGeneration && adRenderValues.linetypeSwitch && linetype &&
               std::memcmp(&linetype->handle, &state->continuousLtype, sizeof(AdHandle)) != 0;
    }

    void wideDashes(const Piece& p) {
        AdWideSegment segment{p.startWidth, p.endWidth, 0.0, p.startJoint, p.endJoint};
        double a[3] = {p.a[0], p.a[1], p.a[2]}, b[3] = {p.b[0], p.b[1], p.b[2]};
        adApplyLinetype(entity.drawing, a, b, entity.block, entity.matrices, entity.linetype, entity.linetypeDrawing,
                        &segment, p.curve, p.curveLength);
    }

    // The dash held back after the last piece is filled, in the single walk
    // or in each viewport's own.
    void flushDashes() {
        AdPatternState* states = adPatternStates();
        const std::int16_t psltscale = entity.drawing->header ? entity.drawing->header->psltscale : 0;
        if (psltscale == 0) {
            if (states[0].widePending) adFlushWidePiece(entity.drawing, entity.matrices);
        } else {
            for (int v = 0; v < state->viewportCount && v < AD_VIEWPORT_LIMIT; ++v)
                if (states[v].widePending) adFlushWidePieceInViewport(entity.drawing, entity.matrices, v);
        }
        for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) states[v].widePending = 0;
    }

    void draw(const std::vector<Piece>& pieces, bool closed) {
        const std::size_t n = pieces.size();
        std::vector<Edges> edges(n);
        for (std::size_t i = 0; i < n; ++i) edges[i] = edgesOf(pieces[i]);
        // The start edge each wide piece begins with, and the end edge it
        // ends with, after the joins at both of its vertices.
        std::vector<Edges> joined = edges;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t next = i + 1 < n ? i + 1 : 0;
            if (next == i || (next == 0 && !closed)) continue;
            const Piece& p = pieces[i];
            const Piece& q = pieces[next];
            // Chords of one arc already share their radial edges.
            if (p.arcGoesOn || !wide(p) || !wide(q) || !mitred(p, q)) continue;
            const Edges& e = edges[i];
            const Edges& f = edges[next];
            double left[2], right[2];
            miterSide(e.startLeft, e.endLeft, f.startLeft, f.endLeft, left);
            miterSide(e.startRight, e.endRight, f.startRight, f.endRight, right);
            joined[i].endLeft[0] = joined[next].startLeft[0] = left[0];
            joined[i].endLeft[1] = joined[next].startLeft[1] = left[1];
            joined[i].endRight[0] = joined[next].startRight[0] = right[0];
            joined[i].endRight[1] = joined[next].startRight[1] = right[1];
        }
        bool anyDashes = false;
        for (std::size_t i = 0; i < n; ++i) {
            const Piece& p = pieces[i];
            if (!wide(p)) {
                thin(p);
                continue;
            }
            if (p.a[0] == p.b[0] && p.a[1] == p.b[1]) continue;
            const WideLtscale scale(entity.drawing, p);
            if (dashed()) {
                wideDashes(p);
                anyDashes = true;
                continue;
            }
            Edges& e = joined[i];
            quad(p, e.startLeft, e.startRight, e.endLeft, e.endRight);
        }
        if (anyDashes && adRenderValues.linetypeSwitch) flushDashes();
    }
};

// The pieces of the segment from u to v: one, or the chords of its arc.
void addPieces(AdDrawContext& entity, const AdPolyVertex& u, const AdPolyVertex& v, std::int32_t curve,
               std::vector<Piece>& out) {
    const AdDisplayState* state = entity.drawing->display;
    if (u.bulge == 0.0 || (std::fabs(u.point[0] - v.point[0]) < 1e-6 && std::fabs(u.point[1] - v.point[1]) < 1e-6)) {
        out.push_back(Piece{{u.point[0], u.point[1], u.point[2]}, {v.point[0], v.point[1], v.point[2]}, u.startWidth,
                            u.endWidth, kNoJoint, kNoJoint, false, false, curve, 0.0, 0.0});
        return;
    }
    const double included = 4.0 * std::atan(u.bulge);
    double cx = 0.0, cy = 0.0, r = 0.0;
    if (!adBulgeArcCenter(u.point, v.point, included, &cx, &cy, &r) || !(r > 0.0)) {
        out.push_back(Piece{{u.point[0], u.point[1], u.point[2]}, {v.point[0], v.point[1], v.point[2]}, u.startWidth,
                            u.endWidth, kNoJoint, kNoJoint, false, false, curve, 0.0, 0.0});
        return;
    }
    const std::int32_t n = adArcSegments(state, std::fabs(included), r, adCurveSetting(entity.header));
    const double step = included / n;
    // A width wider than the arc's diameter is drawn as wide as the diameter.
    const double startWidth = std::min(u.startWidth, 2.0 * r), endWidth = std::min(u.endWidth, 2.0 * r);
    const double widthStep = (endWidth - startWidth) / n;
    const double length = r * std::fabs(included);
    double angle = std::atan2(u.point[1] - cy, u.point[0] - cx);
    double from[3] = {u.point[0], u.point[1], u.point[2]};
    double width = startWidth;
    for (std::int32_t i = 0; i < n; ++i) {
        const double next = angle + step;
        double to[3] = {cx + r * std::cos(next), cy + r * std::sin(next), u.point[2]};
        if (i == n - 1) to[0] = v.point[0], to[1] = v.point[1];
        const double nextWidth = i == n - 1 ? endWidth : width + widthStep;
        out.push_back(Piece{{from[0], from[1], from[2]}, {to[0], to[1], to[2]}, width, nextWidth, angle, next, true,
                            i + 1 < n, curve, length, r});
        std::copy(to, to + 3, from);
        angle = next;
        width = nextWidth;
    }
}

}  // namespace

double adMiterLimit(const AdPolyVertex& u, const AdPolyVertex& v, const AdPolyVertex& w) {
    const double d = (std::fabs(u.startWidth - u.endWidth) + std::fabs(v.startWidth - v.endWidth)) / 2.0;
    const double l1 = distance3(u.point, v.point), l2 = distance3(v.point, w.point);
    if (d == 0.0 || l1 < 1e-13 || l2 < 1e-13) return kMiterBase;
    const double longer = std::max(l1, l2), shorter = std::min(l1, l2);
    return kMiterBase + (d / longer) * std::sqrt(longer / shorter);
}

void adDrawPolylineShape(AdDrawContext& entity, const AdPolylineShape& shape) {
    std::vector<AdPolyVertex> vertices = shape.vertices;
    // A closed polyline whose last vertex is its first closes on it.
    if (shape.closed && vertices.size() > 1) {
        const AdPolyVertex& first = vertices.front();
        const AdPolyVertex& last = vertices.back();
        if (last.point[0] == first.point[0] && last.point[1] == first.point[1] && last.point[2] == first.point[2] &&
            last.bulge == 0.0)
            vertices.pop_back();
    }
    const std::size_t n = vertices.size();
    if (n < 2) return;
    AdDisplayState* state = entity.drawing->display;
    std::vector<Piece> pieces;
    const std::size_t segments = shape.closed ? n : n - 1;
    std::int32_t curve = ++state->curveCounter;
    for (std::size_t i = 0; i < segments; ++i) {
        if (i > 0 && !shape.continuousPattern) curve = ++state->curveCounter;
        addPieces(entity, vertices[i], vertices[(i + 1) % n], curve, pieces);
    }
    ShapeDrawer{entity, state}.draw(pieces, shape.closed);
}
