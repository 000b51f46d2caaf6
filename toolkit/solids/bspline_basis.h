// The knot vector of a B-spline and its basis functions. Knots are stored as
// floats; evaluation runs in doubles.
#pragma once

#include <vector>

class c_BSplineBasisFcns {
public:
    // lastIndex n = control points − 1, order k = degree + 1; n ≤ 0 or k ≤ 0
    // leaves an empty basis. knots holds n + k + 1 values, or null for zeros.
    c_BSplineBasisFcns(int lastIndex, int order, const float* knots);
    // The basis with x inserted once more.
    c_BSplineBasisFcns(const c_BSplineBasisFcns& basis, double x);
    c_BSplineBasisFcns(const c_BSplineBasisFcns&) = default;

    int getLastIndex() const { return lastIndex; }
    int getOrder() const { return order; }
    const float* getKnots() const { return knots.empty() ? nullptr : knots.data(); }
    float* getKnots() { return knots.empty() ? nullptr : knots.data(); }
    // −9999.0 outside the knot vector.
    double getKnot(int i) const;
    int getKnotCount() const { return static_cast<int>(knots.size()); }
    double getStartParameter() const;
    double getEndParameter() const;
    bool containsParameter(double x) const;
    int knotMultiplicity(double x) const;
    void clear();

    // The span i with t(i) ≤ x < t(i+1), the end of the range in the last
    // span; −1 outside the range.
    int findSpan(double x) const;
    // The k non-zero basis values at x; answers the span or −1.
    int Evaluate(double x, float* N) const;
    // Rows 0..d of a k × k table: the basis values and their derivatives.
    int evaluateDerivatives(double x, int d, float** table) const;

private:
    int lastIndex = 0;
    int order = 0;
    std::vector<float> knots;
};
