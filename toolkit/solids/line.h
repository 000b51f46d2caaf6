// The straight line: a point (parameter 0) and a unit direction; the
// parameter is the signed distance along it.
#pragma once

#include "toolkit/solids/curve.h"

class c_Line : public c_Curve {
public:
    c_Line() : point(origin), direction(zAxis) {}
    // A direction shorter than BasicDistanceTol becomes zAxis.
    c_Line(const aPoint& point, const aVector& direction);

    std::ostream& print(std::ostream& os) const override;
    bool containsPoint(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    void getPointAt(double t, aPoint& out) const override;
    void makeOldStyleEntity(LegacyEntityHandle& out) const override;
    bool isEqual(const c_Curve& other) const override;
    aVector tangentAt(const aPoint&) const override { return direction; }
    const char* className() const override { return kLineClass; }

    aPoint nearestPoint(const aPoint& p) const;
    const aPoint& getPoint() const { return point; }
    const aVector& getDirection() const { return direction; }

private:
    aPoint point;
    aVector direction;
};

// Whether the closed segments A0–A1 and B0–B1 meet; X receives the meeting
// point of their lines whenever the lines meet in one point.
bool intersectSegments(const aPoint& a0, const aPoint& a1, const aPoint& b0, const aPoint& b1, aPoint& x);
