// Wide pieces: corners from the interpolated widths and joint angles, the
// pending quadrilateral of each viewport, and the mitre that joins it to
// the next piece where the two meet.
#include "toolkit/display/wide_dash.h"

#include "toolkit/display/emit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Beyond this vertex angle the pieces run on almost straight.
constexpr double kStraightTurn = 3.014240230182893;
constexpr double kNearReversal = 0.5;

struct Pending {
    AdWideEdge start;
    AdWideEdge end;
};

Pending gPending[AD_VIEWPORT_LIMIT];
double gPreviousEndWidth[AD_VIEWPORT_LIMIT];
double gPrevious[3];

double normalAngle(double angle) {
    angle = std::fmod(angle, kTwoPi);
    return angle < 0.0 ? angle + kTwoPi : angle;
}

double direction(const double a[3], const double b[3]) {
    if (a[0] == b[0]) return b[1] > a[1] ? kPi / 2.0 : -kPi / 2.0;
    return std::atan2(b[1] - a[1], b[0] - a[0]);
}

// A joint angle on the side of the piece's own left normal.
double sideAngle(double joint, double normal) {
    if (joint == AD_NO_JOINT) return normal;
    double j = normalAngle(joint);
    const double d = std::fabs(j - normal);
    if (d >= kPi / 2.0 && d <= 1.5 * kPi) j = normalAngle(j + kPi);
    return j;
}

void offsetEdge(const double p[3], double angle, double width, AdWideEdge* edge) {
    const double h = width / 2.0, c = std::cos(angle) * h, s = std::sin(angle) * h;
    edge->left[0] = p[0] + c, edge->left[1] = p[1] + s, edge->left[2] = p[2];
    edge->right[0] = p[0] - c, edge->right[1] = p[1] - s, edge->right[2] = p[2];
}

bool inBox(const double p[3], const double a[3], const double b[3]) {
    return p[0] >= std::min(a[0], b[0]) && p[0] <= std::max(a[0], b[0]) && p[1] >= std::min(a[1], b[1]) &&
           p[1] <= std::max(a[1], b[1]);
}

void swapPoints(double a[3], double b[3]) {
    for (int i = 0; i < 3; ++i) std::swap(a[i], b[i]);
}

// The quadrilateral start-left, start-right, end-left, end-right in the
// walk's viewports.
void fill(const AdWideWalk& walk, const double sl[3], const double sr[3], const double el[3], const double er[3]) {
    const AdDisplayState* state = walk.drawing->display;
    for (int v = walk.first; v < walk.end; ++v)
        if (adViewportDrawable(state, v)) adFillQuadOneViewport(walk.drawing, sl, sr, el, er, walk.matrices, v);
}

// A held-back piece whose long sides cross is turned back into a proper
// quadrilateral before it is filled.
void untwist(Pending& p) {
    double cross[2];
    if (adSegmentsCross2D(p.start.left, p.end.left, p.start.right, p.end.right, cross))
        swapPoints(p.start.left, p.start.right);
}

bool joins(const AdWideWalk& walk, const AdPatternState& s, const double a[3], const double b[3], double ws) {
    if (!s.joinCheck || walk.curveLength != 0.0) return true;
    if (walk.patterned) return false;
    const double previousWidth = gPreviousEndWidth[walk.viewport];
    const double beta = adAngleBetweenAtVertex(gPrevious, a, b);
    return !((previousWidth != 0.0 && ws == 0.0) || beta < kNearReversal ||
             (beta > kStraightTurn && previousWidth != ws));
}

}  // namespace

void adWidePieceCorners(const AdWideSegment* wide, const double start[3], const double end[3], double startWidth,
                        double endWidth, AdWideEdge* startEdge, AdWideEdge* endEdge) {
    const double normal = normalAngle(direction(start, end) + kPi / 2.0);
    offsetEdge(start, sideAngle(wide->startJoint, normal), startWidth, startEdge);
    offsetEdge(end, sideAngle(wide->endJoint, normal), endWidth, endEdge);
}

AdWideWalk adWideWalkOf(AdDrawing* drawing, const AdMatrix4* matrices, AdWideSegment* wide, const double start[3],
                        const double end[3], double length) {
    AdWideWalk walk{};
    walk.drawing = drawing;
    walk.matrices = matrices;
    walk.wide = wide;
    walk.startWidth = wide->startWidth;
    walk.startJoint = wide->startJoint;
    if (length > 0.0) {
        walk.widthSlope = (wide->endWidth - wide->startWidth) / length;
        double a0 = wide->startJoint < 0.0 ? wide->startJoint + kTwoPi : wide->startJoint;
        double a1 = wide->endJoint < 0.0 ? wide->endJoint + kTwoPi : wide->endJoint;
        if (std::fabs(a0 - a1) > kPi) (a0 < a1 ? a0 : a1) += kTwoPi;
        walk.jointSlope = wide->startJoint == AD_NO_JOINT && wide->endJoint == AD_NO_JOINT ? 0.0 : (a1 - a0) / length;
    }
    walk.direction = adWalkDirection(start, end);
    for (int i = 0; i < 3; ++i) walk.step[i] = length > 0.0 ? (end[i] - start[i]) / length : 0.0;
    return walk;
}

void adWideSetPrevious(const double point[3]) { std::memcpy(gPrevious, point, sizeof gPrevious); }

void adWidePiece(const AdWideWalk& walk, AdPatternState& s, const double from[3], const double to[3], double s0,
                 double s1) {
    AdWideSegment* wide = walk.wide;
    const double ws = walk.startWidth + s0 * walk.widthSlope, we = walk.startWidth + s1 * walk.widthSlope;
    wide->startJoint = walk.startJoint + s0 * walk.jointSlope;
    wide->endJoint = walk.startJoint + s1 * walk.jointSlope;
    double a[3] = {from[0], from[1], from[2]}, b[3] = {to[0], to[1], to[2]};
    AdWideSegment piece = *wide;
    const bool dot = a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
    if (dot && walk.single) {
        // A dot is a line across the segment, as wide as the segment there.
        if (wide->startJoint == AD_NO_JOINT) piece.startJoint = piece.endJoint = walk.direction;
    } else if (dot) {
        b[0] += walk.step[0], b[1] += walk.step[1];
    }
    Pending next{};
    adWidePieceCorners(&piece, a, b, ws, we, &next.start, &next.end);
    Pending& p = gPending[walk.viewport];
    if (!s.widePending) {
        p = next;
        s.widePending = 1;
    } else {
        if (inBox(p.start.left, next.start.left, next.end.left)) std::memcpy(p.start.left, next.start.left, sizeof p.start.left);
        if (inBox(p.start.right, next.start.right, next.end.right))
            std::memcpy(p.start.right, next.start.right, sizeof p.start.right);
        double left[3] = {0.0, 0.0, p.start.left[2]}, right[3] = {0.0, 0.0, p.start.left[2]};
        // Side lines that do not meet (parallel by rounding) are not joined:
        // the held piece keeps its own end rather than losing its area.
        const bool joined = joins(walk, s, a, b, ws) && adLinesMeet2D(p.start.left, p.end.left, next.start.left, next.end.left, left) &&
                            adLinesMeet2D(p.start.right, p.end.right, next.start.right, next.end.right, right);
        if (joined) {
            double cross[2];
            if (adSegmentsCross2D(p.start.left, left, p.start.right, right, cross)) swapPoints(p.start.left, p.start.right);
            if (walk.single && adSegmentsCross2D(p.start.left, p.start.right, left, right, cross))
                swapPoints(p.start.left, left);
            fill(walk, p.start.left, p.start.right, left, right);
            std::memcpy(p.start.left, left, sizeof left);
            std::memcpy(p.start.right, right, sizeof right);
            p.end = next.end;
        } else {
            fill(walk, p.start.left, p.start.right, p.end.left, p.end.right);
            p = next;
        }
    }
    s.joinCheck = 0;
    gPreviousEndWidth[walk.viewport] = we;
}

void adFlushWidePiece(AdDrawing* drawing, const AdMatrix4* matrices) {
    Pending& p = gPending[0];
    untwist(p);
    adFillQuad(drawing, p.start.left, p.start.right, p.end.left, p.end.right, matrices);
}

void adFlushWidePieceInViewport(AdDrawing* drawing, const AdMatrix4* matrices, int v) {
    Pending& p = gPending[v];
    untwist(p);
    if (adViewportDrawable(drawing->display, v))
        adFillQuadOneViewport(drawing, p.start.left, p.start.right, p.end.left, p.end.right, matrices, v);
    adPatternStates()[v].widePending = 0;
}
