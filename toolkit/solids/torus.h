// The torus: a tube of radius minor around a spine circle of radius major
// about the axis. Drawn as two families of circles; not intersected.
#pragma once

#include "toolkit/solids/surface.h"

class c_Circle;

class c_Torus : public c_Surface {
public:
    enum Kind : std::int32_t { doughnut = 0, apple = 1, lemon = 2 };

    c_Torus() : centre(0, 0, 0), xAxis(::xAxis), yAxis(::yAxis), axis(zAxis), major(2.0), minor(1.0) {}
    // A negative minor radius makes the torus bound the outside; a negative
    // major radius makes a lemon.
    c_Torus(const aPoint& centre, const aVector& reference, const aVector& axis, double major, double minor);

    std::ostream& print(std::ostream& os) const override;
    // Lines only; torus intersections are not computed: answers 1.
    std::int32_t intersect(const c_Curve& curve, LegacyIntersectionList& list) const override;
    aVector normalAt(const aPoint& p) const override;
    std::int32_t curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const override;
    const char* className() const override { return kTorusClass; }

    std::int32_t intersectCircle(const c_Circle& circle, LegacyIntersectionList& list) const;
    // n circles of each family; answers 2n.
    std::int32_t generateCircles(std::int32_t n, c_Curve** curves) const;
    // The circle about the axis at tube angle θ (0 on the outer equator).
    c_Circle* majorCircle(double theta) const;
    // The meridian circle at angle φ about the axis.
    c_Circle* minorCircle(double phi) const;
    // The tube angle at which a spindle torus meets its axis; π otherwise.
    double thetaLimit() const;

    const aPoint& getCentre() const { return centre; }
    const aVector& getXAxis() const { return xAxis; }
    const aVector& getYAxis() const { return yAxis; }
    const aVector& getAxis() const { return axis; }
    double getMajorRadius() const { return major; }
    double getMinorRadius() const { return minor; }
    Kind getKind() const { return kind; }
    bool isInfiniteVolume() const { return infiniteVolume != 0; }

private:
    std::int32_t notIntersected(const c_Curve& curve, LegacyIntersectionList& list) const;

    aPoint centre;
    aVector xAxis, yAxis, axis;
    double major, minor;
    std::int32_t infiniteVolume = 0;
    Kind kind = doughnut;
};
