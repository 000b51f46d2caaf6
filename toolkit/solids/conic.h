// Ellipses and circles: a right-handed frame (xAxis at angle 0, yAxis at
// π/2, normal) and radii; the angle parameter θ gives
// center + a·cos θ·xAxis + b·sin θ·yAxis.
#pragma once

#include "toolkit/solids/curve.h"

// The optional angle range of generateArcPoints.
struct ArcRange {
    bool present = false;
    double start = 0;
    double end = 0;
};

class c_Conic : public c_Curve {
public:
    void transform(const aTransform& m) override;

    const aPoint& getCenter() const { return center; }
    const aVector& getXAxis() const { return xAxis; }
    const aVector& getYAxis() const { return yAxis; }
    const aVector& getNormal() const { return normal; }
    // The first radius: a of an ellipse, r of a circle.
    virtual double getRadius() const = 0;
    bool isInPlane(const aPoint& p) const;
    // Up to maxCount points along the arc whose chords stay within chordTol
    // of the curve; reversed = 1 runs clockwise. Answers the number written.
    int generateArcPoints(double chordTol, aPoint* points, int maxCount, int reversed, const ArcRange* range) const;

protected:
    c_Conic() : center(origin), xAxis(::xAxis), yAxis(::yAxis), normal(zAxis) {}
    c_Conic(const aPoint& center, const aVector& xAxisSeed, const aVector& normal);
    c_Conic(const aPoint& center, const aVector& normal) : c_Conic(center, zeroVector, normal) {}

    // b of an ellipse, r of a circle.
    virtual double secondRadius() const = 0;

    aPoint center;
    aVector xAxis, yAxis, normal;
};

class c_Circle;

class c_Ellipse : public c_Conic {
public:
    c_Ellipse() : a(1.5), b(1.0) {}
    c_Ellipse(const aPoint& center, const aVector& xAxisSeed, const aVector& normal, double major, double minor);
    explicit c_Ellipse(const c_Circle& circle);

    std::ostream& print(std::ostream& os) const override;
    c_Curve* clone() const override { return new c_Ellipse(*this); }
    bool isClosed() const override { return true; }
    bool containsPoint(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    void getPointAt(double t, aPoint& out) const override;
    void makeOldStyleEntity(LegacyEntityHandle& out) const override;
    bool isParameterInRange(double t, double start, double end, bool forward) const override;
    bool isEqual(const c_Curve& other) const override;
    aVector tangentAt(const aPoint& p) const override { return tangentAtAngle(getParameterOf(p)); }
    const char* className() const override { return kEllipseClass; }
    double getRadius() const override { return a; }
    double secondRadius() const override { return b; }

    double getMinorRadius() const { return b; }
    void getFoci(aPoint& f1, aPoint& f2) const;
    aVector tangentAtAngle(double theta) const;

private:
    void validateEllipse();

    double a, b;
};

class c_Circle : public c_Conic {
public:
    c_Circle(const aPoint& center, const aVector& xAxisSeed, const aVector& normal, double radius);
    c_Circle(const aPoint& center, const aVector& normal, double radius);

    std::ostream& print(std::ostream& os) const override;
    bool isClosed() const override { return true; }
    bool containsPoint(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    void getPointAt(double t, aPoint& out) const override;
    void makeOldStyleEntity(LegacyEntityHandle& out) const override;
    bool isParameterInRange(double t, double start, double end, bool forward) const override;
    void snapPoint(aPoint& p) const override;
    bool isEqual(const c_Curve& other) const override;
    aVector tangentAt(const aPoint& p) const override;
    const char* className() const override { return kCircleClass; }
    double getRadius() const override { return r; }
    double secondRadius() const override { return r; }

private:
    double r;
};

// Brings an angle into [−π, π]; a non-finite angle becomes 0.
void normalizeAngle(double& angle);
// Whether t lies in the range from start to end, run forward
// (counter-clockwise) or backward; ranges may wrap through ±π.
bool isAngleInRange(double t, double start, double end, bool forward);
