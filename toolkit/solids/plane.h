#pragma once

#include "toolkit/solids/surface.h"

class c_Plane : public c_Surface {
public:
    c_Plane() : point(0, 0, 0), normal(0, 0, 1) {}
    // A zero normal becomes (0, 0, 1).
    c_Plane(const aPoint& point, const aVector& normal);
    // Through three points; collinear points give the normal (0, 0, 1).
    c_Plane(const aPoint& p0, const aPoint& p1, const aPoint& p2);

    std::ostream& print(std::ostream& os) const override;
    void makeOldStyleEntity(LegacyEntityHandle& out) const override;
    aVector normalAt(const aPoint&) const override { return normal; }
    const char* className() const override { return kPlaneClass; }

    const aPoint& getPoint() const { return point; }
    const aVector& getNormal() const { return normal; }
    double signedDistance(const aPoint& p) const { return dot(p - point, normal); }

private:
    void validateData();

    aPoint point;
    aVector normal;
};
