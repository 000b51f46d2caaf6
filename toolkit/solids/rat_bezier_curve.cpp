#include "toolkit/solids/rat_bezier_curve.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/legacy_predicates.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/tolerances.h"

namespace {

constexpr int kMaxDepth = 25;
constexpr double kSplitRatio = 1.1;
constexpr double kSizeFactor = 5e-5;
constexpr double kLegFactor = 500;
constexpr double kContainmentFactor = 2500;
// Overlapping curves would split four ways down to the full depth; past this
// many steps the search ends with what it has found.
constexpr long kStepBudget = 5000;

struct SavedTolerances {
    bool active = false;
    double distance = 0, distanceSquared = 0, point = 0;
} saved;

struct Search {
    aPoint* out;
    int capacity;
    int count = 0;
    int depth = 0;
    long steps = 0;
    double referenceSize;
};

double diagonal(const aBox& box) { return std::sqrt(box.diagonalSquared()); }

bool boxesTouch(const aBox& a, const aBox& b) {
    return a.xmin <= b.xmax && b.xmin <= a.xmax && a.ymin <= b.ymax && b.ymin <= a.ymax && a.zmin <= b.zmax &&
           b.zmin <= a.zmax;
}

void endGame(const c_RatBezierCurve& a, const c_RatBezierCurve& b, Search& s) {
    for (int i = 0; i < a.getDegree(); ++i) {
        for (int j = 0; j < b.getDegree(); ++j) {
            const double savedPlane = legacyPlaneTolerance;
            legacyPlaneTolerance *= kLegFactor;
            aPoint x;
            bool meet = intersectSegments(a.getControlPoint(i).toPoint(), a.getControlPoint(i + 1).toPoint(),
                                          b.getControlPoint(j).toPoint(), b.getControlPoint(j + 1).toPoint(), x);
            legacyPlaneTolerance = savedPlane;
            if (meet) addUniquePoint(x, s.out, s.count, s.capacity);
        }
    }
}

void step(const c_RatBezierCurve& a, const aBox& boxA, const c_RatBezierCurve& b, const aBox& boxB, Search& s) {
    if (s.count >= s.capacity || ++s.steps > kStepBudget) return;
    const double dA = diagonal(boxA), dB = diagonal(boxB);
    if (s.depth >= kMaxDepth || std::min(dA, dB) < kSizeFactor * s.referenceSize) {
        endGame(a, b, s);
        return;
    }
    ++s.depth;
    c_RatBezierCurve *a1 = nullptr, *a2 = nullptr, *b1 = nullptr, *b2 = nullptr;
    if (dB < dA) {
        a.split(0.5, a1, a2);
        if (kSplitRatio * dB >= dA) b.split(0.5, b1, b2);
    } else {
        b.split(0.5, b1, b2);
        if (kSplitRatio * dA >= dB) a.split(0.5, a1, a2);
    }
    std::unique_ptr<c_RatBezierCurve> own[4] = {std::unique_ptr<c_RatBezierCurve>(a1),
                                                std::unique_ptr<c_RatBezierCurve>(a2),
                                                std::unique_ptr<c_RatBezierCurve>(b1),
                                                std::unique_ptr<c_RatBezierCurve>(b2)};
    const c_RatBezierCurve* firstA = a1 ? a1 : &a;
    const c_RatBezierCurve* firstB = b1 ? b1 : &b;
    bool overlapped = false;
    for (const c_RatBezierCurve* pa : {firstA, static_cast<const c_RatBezierCurve*>(a2)}) {
        for (const c_RatBezierCurve* pb : {firstB, static_cast<const c_RatBezierCurve*>(b2)}) {
            if (!pa || !pb) continue;
            aBox ba = pa->controlBox(), bb = pb->controlBox();
            if (!boxesTouch(ba, bb)) continue;
            overlapped = true;
            step(*pa, ba, *pb, bb, s);
        }
    }
    if (!overlapped && s.depth > 2) {
        if (a2) {
            aHomogeneousPoint h = a2->getControlPoint(0);
            if (firstB->containsHomogeneous(h) || (b2 && b2->containsHomogeneous(h)))
                addUniquePoint(h.toPoint(), s.out, s.count, s.capacity);
        }
        if (b2) {
            aHomogeneousPoint h = b2->getControlPoint(0);
            if (firstA->containsHomogeneous(h) || (a2 && a2->containsHomogeneous(h)))
                addUniquePoint(h.toPoint(), s.out, s.count, s.capacity);
        }
    }
    --s.depth;
}

}  // namespace

void scaleCurveTolerances(double f) {
    if (saved.active || f < 0) return;
    saved = {true, BasicDistanceTol, BasicDistanceSquaredTol, getPointTolerance()};
    BasicDistanceTol *= f;
    BasicDistanceSquaredTol *= f;
    setPointTolerance(saved.point * f);
}

void restoreCurveTolerances() {
    if (!saved.active) return;
    BasicDistanceTol = saved.distance;
    BasicDistanceSquaredTol = saved.distanceSquared;
    setPointTolerance(saved.point);
    saved.active = false;
}

c_RatBezierCurve::c_RatBezierCurve(const aHomogeneousPoint* given, int degree_) {
    if (!given || degree_ < 0) return;
    degree = degree_;
    points.assign(given, given + degree + 1);
}

aHomogeneousPoint c_RatBezierCurve::subdivide(double x, aHomogeneousPoint* left, aHomogeneousPoint* right) const {
    if (points.empty()) return aHomogeneousPoint(0.0, 0.0, 0.0, 1.0);
    const int n = degree;
    std::vector<aHomogeneousPoint> level(points);
    if (left) left[0] = level[0];
    if (right) right[n] = level[n];
    for (int j = 0; j < n; ++j) {
        for (int f = 0; f < n - j; ++f) level[f] = (1 - x) * level[f] + x * level[f + 1];
        if (left) left[j + 1] = level[0];
        if (right) right[n - j - 1] = level[n - j - 1];
    }
    return level[0];
}

void c_RatBezierCurve::split(double x, c_RatBezierCurve*& first, c_RatBezierCurve*& second) const {
    std::vector<aHomogeneousPoint> left(points.size()), right(points.size());
    subdivide(x, left.data(), right.data());
    first = new c_RatBezierCurve(left.data(), degree);
    second = new c_RatBezierCurve(right.data(), degree);
}

aHomogeneousPoint c_RatBezierCurve::getControlPoint(int i) const {
    if (i < 0 || i > degree || points.empty()) return aHomogeneousPoint(0.0, 0.0, 0.0, 1.0);
    return points[static_cast<std::size_t>(i)];
}

aBox c_RatBezierCurve::controlBox() const {
    aBox box{-1, 1, -1, 1, -1, 1};
    if (points.empty()) return box;
    box.initFromPoint(points[0].toPoint());
    for (const auto& p : points) box.growWithPoint(p.toPoint());
    return box;
}

std::ostream& c_RatBezierCurve::print(std::ostream& os) const {
    const auto precision = os.precision(13);
    os << className() << ' ' << degree;
    for (const auto& p : points) {
        os << '\n';
        p.print(os);
    }
    os << '\n';
    os.precision(precision);
    return os;
}

bool c_RatBezierCurve::containsPoint(const aPoint& p) const {
    scaleCurveTolerances(kContainmentFactor);
    bool inside = c_NURBSCurve(*this).containsPoint(p);
    restoreCurveTolerances();
    return inside;
}

double c_RatBezierCurve::getParameterOf(const aPoint& p) const { return c_NURBSCurve(*this).getParameterOf(p); }

void c_RatBezierCurve::getPointAt(double t, aPoint& out) const {
    out = subdivide(t, nullptr, nullptr).toPoint();
}

aVector c_RatBezierCurve::tangentAt(const aPoint&) const {
    writeDiagnostic(DiagnosticStream::err, "*** c_RatBezierCurve::tangentAt(const aPoint& p) const called\n");
    return zeroVector;
}

int c_RatBezierCurve::intersectBezier(const c_RatBezierCurve& other, aPoint* out, int capacity) const {
    if (!out || capacity <= 0) return 0;
    const aBox boxA = controlBox(), boxB = other.controlBox();
    Search s{out, capacity, 0, 0, 0, std::min(diagonal(boxA), diagonal(boxB))};
    step(*this, boxA, other, boxB, s);
    return s.count;
}
