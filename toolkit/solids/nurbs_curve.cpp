#include "toolkit/solids/nurbs_curve.h"

#include <algorithm>
#include <cmath>
#include <iomanip>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/float_rows.h"
#include "toolkit/solids/tolerances.h"

c_NURBSCurve::c_NURBSCurve(const c_NURBSCurve& other)
    : c_Curve(other), controlPointCount(other.controlPointCount),
      basis(other.basis ? std::make_unique<c_BSplineBasisFcns>(*other.basis) : nullptr) {
    allocateArrays();
    setControlPoints(other.getControlPoints());
}

c_NURBSCurve::c_NURBSCurve(const aPoint& a, const aPoint& b) {
    const float knots[4] = {0, 0, 1, 1};
    specifyNCtlPtsAndOrder(2, 2);
    std::copy(knots, knots + 4, basis->getKnots());
    storeControlPoint(0, a, 1);
    storeControlPoint(1, b, 1);
}

c_NURBSCurve::c_NURBSCurve(const float* points, int count, const float* knots, int knotCount) {
    if (count <= 0 || knotCount - count <= 0) return;
    controlPointCount = count;
    basis = std::make_unique<c_BSplineBasisFcns>(count - 1, knotCount - count, knots);
    allocateArrays();
    setControlPoints(points);
}

c_NURBSCurve::c_NURBSCurve(const c_NURBSCurve& s, double x) {
    if (!s.basis || s.controlPointCount <= 0 || !s.basis->getKnots()) return;
    const int k = s.getOrder();
    const int i = s.basis->findSpan(x);
    basis = std::make_unique<c_BSplineBasisFcns>(*s.basis, x);
    controlPointCount = s.controlPointCount + 1;
    allocateArrays();
    for (int j = 0; j < controlPointCount; ++j) {
        float* q = &controlPoints[static_cast<std::size_t>(4 * j)];
        if (i >= 0 && j <= i - k + 1) {
            std::copy_n(s.controlPoint(j), 4, q);
        } else if (i >= 0 && j <= i) {
            double span = s.basis->getKnot(j + k - 1) - s.basis->getKnot(j);
            float alpha = static_cast<float>(span != 0 ? (x - s.basis->getKnot(j)) / span : 0);
            for (int c = 0; c < 4; ++c) q[c] = (1 - alpha) * s.controlPoint(j - 1)[c] + alpha * s.controlPoint(j)[c];
        } else {
            // Beyond the span, or a value outside the range: the old points
            // shift by one and the curve keeps its shape at its ends.
            std::copy_n(s.controlPoint(std::max(j - 1, 0)), 4, q);
        }
    }
}

void c_NURBSCurve::allocateArrays() {
    if (controlPointCount <= 0)
        writeDiagnostic(DiagnosticStream::err, "*** Warning: c_NURBSCurve::allocateArrays: mNumberCtlPts=0.\n");
    else
        controlPoints.assign(static_cast<std::size_t>(4 * controlPointCount), 0.0f);
    if (getOrder() <= 0)
        writeDiagnostic(DiagnosticStream::err, "*** Warning: c_NURBSCurve::allocateArrays: order=0.\n");
    else
        basisValues.assign(static_cast<std::size_t>(getOrder()), 0.0f);
}

void c_NURBSCurve::freeArrays() {
    controlPoints.clear();
    basisValues.clear();
    controlPointCount = 0;
}

void c_NURBSCurve::specifyNCtlPtsAndOrder(int count, int order) {
    if (controlPointCount > 0)
        writeDiagnostic(DiagnosticStream::err,
                        "*** Warning: c_NURBSCurve::specifyNCtlPtsAndOrder: Overriding previous settings.\n");
    controlPointCount = count;
    basis = std::make_unique<c_BSplineBasisFcns>(count - 1, order, nullptr);
    controlPoints.clear();
    basisValues.clear();
    allocateArrays();
}

void c_NURBSCurve::setControlPoints(const float* points) {
    if (points && !controlPoints.empty()) std::copy_n(points, controlPoints.size(), controlPoints.begin());
}

void c_NURBSCurve::storeControlPoint(int i, const aPoint& p, double w) {
    float* q = &controlPoints[static_cast<std::size_t>(4 * i)];
    q[0] = static_cast<float>(w * p.x);
    q[1] = static_cast<float>(w * p.y);
    q[2] = static_cast<float>(w * p.z);
    q[3] = static_cast<float>(w);
}

bool c_NURBSCurve::getControlPoint(int i, aPoint& out) const {
    if (i < 0 || i >= controlPointCount || controlPoints.empty()) return false;
    const float* q = controlPoint(i);
    out = aPoint(q[0], q[1], q[2], q[3]);
    return true;
}

bool c_NURBSCurve::isClosed() const {
    aPoint first, last;
    return getControlPoint(0, first) && getControlPoint(controlPointCount - 1, last) && first.coincidesWith(last);
}

bool c_NURBSCurve::containsPoint(const aPoint& p) const {
    double t = getParameterOf(p);
    if (!isValidParameter(t)) return false;
    aPoint q;
    getPointAt(t, q);
    return q.coincidesWith(p);
}

void c_NURBSCurve::getPointAt(double t, aHomogeneousPoint& out) const {
    out = aHomogeneousPoint(0.0, 0.0, 0.0, 1.0);
    if (controlPoints.empty() || !basis) return;
    const int i = basis->Evaluate(t, basisValues.data());
    if (i < 0) {
        if (diagnosticSwitches.nurbs)
            Diagnostic(DiagnosticStream::err) << "*** c_NURBSCurve::getPointAt: Bad parameter: " << t << '\n';
        return;
    }
    const int k = getOrder();
    double sum[4] = {0, 0, 0, 0};
    for (int r = 0; r < k; ++r) {
        const float* q = controlPoint(i - k + 1 + r);
        for (int c = 0; c < 4; ++c) sum[c] += basisValues[static_cast<std::size_t>(r)] * q[c];
    }
    out = aHomogeneousPoint(sum[0], sum[1], sum[2], sum[3]);
}

void c_NURBSCurve::getPointAt(double t, aPoint& out) const {
    aHomogeneousPoint h;
    getPointAt(t, h);
    out = h.toPoint();
}

bool c_NURBSCurve::isParameterInRange(double t, double start, double end, bool forward) const {
    return forward ? (start <= t && t <= end) : (end <= t && t <= start);
}

void c_NURBSCurve::transform(const aTransform& m) {
    for (int i = 0; i < controlPointCount && !controlPoints.empty(); ++i) {
        aPoint p;
        getControlPoint(i, p);
        storeControlPoint(i, m.transformPoint(p), controlPoint(i)[3]);
    }
}

bool c_NURBSCurve::homogeneousDerivatives(double t, int d, aVector* A, double* w) const {
    if (controlPoints.empty() || !basis || d < 0) return false;
    for (int r = 0; r <= d; ++r) {
        A[r] = zeroVector;
        w[r] = 0;
    }
    const int k = getOrder();
    const int dd = std::min(d, k - 1);
    float** table = allocFloatRows(k, k);
    if (!table) return false;
    const int i = basis->evaluateDerivatives(t, dd, table);
    if (i >= 0) {
        for (int r = 0; r <= dd; ++r) {
            for (int j = 0; j < k; ++j) {
                const float* q = controlPoint(i - k + 1 + j);
                const double n = table[r][j];
                A[r] += aVector(n * q[0], n * q[1], n * q[2]);
                w[r] += n * q[3];
            }
        }
    }
    freeFloatRows(table);
    return i >= 0;
}

bool c_NURBSCurve::derivatives(double t, int d, aVector* D) const {
    static constexpr float kBinomial[5][5] = {
        {1, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {1, 2, 1, 0, 0}, {1, 3, 3, 1, 0}, {1, 4, 6, 4, 1}};
    if (d < 1 || d > 4) return false;
    aVector A[5];
    double w[5];
    if (!homogeneousDerivatives(t, d, A, w) || w[0] == 0) return false;
    for (int r = 0; r <= d; ++r) {
        aVector v = A[r];
        for (int i = 1; i <= r; ++i) v = v - (kBinomial[r][i] * w[i]) * D[r - i];
        D[r] = v / w[0];
    }
    return true;
}

aVector c_NURBSCurve::tangentAt(double t) const {
    aVector D[2];
    if (!derivatives(t, 1, D)) D[1] = zeroVector;
    if (D[1].normalize() < BasicDistanceTol && diagnosticSwitches.nurbs)
        writeDiagnostic(DiagnosticStream::err, "**** ERROR: c_NURBSCurve::tangentAt returning (0,0,0)\n");
    return D[1];
}

aBox c_NURBSCurve::boxOf(int first, int last) const {
    aBox box;
    aPoint p;
    if (!getControlPoint(first, p)) {
        box = {-1, 1, -1, 1, -1, 1};
        return box;
    }
    box.initFromPoint(p);
    for (int i = first + 1; i <= last; ++i)
        if (getControlPoint(i, p)) box.growWithPoint(p);
    return box;
}

aBox c_NURBSCurve::controlBox() const { return boxOf(0, controlPointCount - 1); }

aBox c_NURBSCurve::spanControlBox(int span) const { return boxOf(span - getOrder() + 1, span); }

void c_NURBSCurve::snapPoints(aPoint* points, int count) const {
    for (int i = 0; i < count; ++i) snapPoint(points[i]);
}

std::ostream& c_NURBSCurve::print(std::ostream& os) const {
    os << className() << ' ' << controlPointCount << ' ' << getOrder() << "\n\t";
    const auto precision = os.precision(14);
    for (int i = 0; i < controlPointCount && !controlPoints.empty(); ++i) {
        for (int c = 0; c < 4; ++c) os << controlPoint(i)[c] << ' ';
        os << "\n\t";
    }
    for (int i = 0; i < getKnotCount(); ++i) os << getKnots()[i] << ' ';
    os << '\n';
    os.precision(precision);
    return os;
}
