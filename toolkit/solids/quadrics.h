// Cones, cylinders and spheres. Silhouettes are the outline rulings or
// circle for a view direction; the renderer passes its fixed view direction
// (1, 1, 1) normalized, which the display engine relies on.
#pragma once

#include "toolkit/solids/surface.h"

class c_Circle;
class c_Plane;

// An elliptic cone: apex at origin, rulings at angle θ along
// tan(halfAngle)·(cos θ·xAxis + ratio·sin θ·yAxis) + axis.
class c_EllCone : public c_FramedQuadric {
public:
    // halfAngle below BasicAngleTol becomes π/4, ratio below
    // BasicDistanceTol becomes 1.
    c_EllCone(const aPoint& apex, const aVector& majorDirection, const aVector& axis, double halfAngle,
              double ratio);

    std::ostream& print(std::ostream& os) const override;
    std::int32_t silhouettes(const aVector& view, c_Curve** curves) const override;
    std::int32_t isoCurves(std::int32_t count, c_Curve** curves) const override;
    void makeOldStyleEntity(LegacyEntityHandle& out) const override;
    aVector normalAt(const aPoint& p) const override;
    std::int32_t curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const override;
    const char* className() const override { return kEllConeClass; }
    std::int32_t algebraicCoefficients(double c[10]) const override;

    double getHalfAngle() const { return halfAngle; }
    double getRatio() const { return ratio; }

protected:
    // A circular cone (ratio 1) about the axis.
    c_EllCone(const aPoint& apex, const aVector& axis, double halfAngle);
    aVector rulingDirection(double theta) const;
    c_Curve* ruling(double theta) const;
    std::int32_t rulings(double first, std::int32_t count, c_Curve** curves) const;
    LegacyCone legacyCone() const;

    double halfAngle;
    double ratio;
};

class c_Cone : public c_EllCone {
public:
    c_Cone(const aPoint& apex, const aVector& axis, double halfAngle) : c_EllCone(apex, axis, halfAngle) {}

    std::ostream& print(std::ostream& os) const override;
    std::int32_t isoCurves(std::int32_t count, c_Curve** curves) const override;
    aVector normalAt(const aPoint& p) const override;
    const char* className() const override { return kConeClass; }
    std::int32_t algebraicCoefficients(double c[10]) const override;
};

// An elliptic cylinder: points origin + major·cos θ·xAxis + minor·sin θ·yAxis
// along the axis.
class c_EllCylinder : public c_FramedQuadric {
public:
    // Radii that are not major ≥ minor ≥ BasicDistanceTol become 2 and 1.
    c_EllCylinder(const aPoint& origin, const aVector& majorDirection, const aVector& axis, double major,
                  double minor);

    std::ostream& print(std::ostream& os) const override;
    std::int32_t silhouettes(const aVector& view, c_Curve** curves) const override;
    std::int32_t isoCurves(std::int32_t count, c_Curve** curves) const override;
    // Lines only; answers 1 or 2.
    std::int32_t intersect(const c_Curve& curve, LegacyIntersectionList& list) const override;
    void makeOldStyleEntity(LegacyEntityHandle& out) const override;
    aVector normalAt(const aPoint& p) const override;
    const char* className() const override { return kEllCylinderClass; }
    std::int32_t algebraicCoefficients(double c[10]) const override;

    std::int32_t intersectCircle(const c_Circle& circle, LegacyIntersectionList& list) const;
    // The section ellipse or circle of a plane across the axis.
    std::int32_t intersectPlane(const c_Plane& plane, LegacyIntersectionList& list) const;
    double getMajorRadius() const { return major; }
    double getMinorRadius() const { return minor; }

protected:
    // A circular cylinder about the axis.
    c_EllCylinder(const aPoint& origin, const aVector& axis, double radius);
    aPoint pointAt(double theta) const;
    c_Curve* ruling(double theta) const;
    std::int32_t rulings(double first, std::int32_t count, c_Curve** curves) const;
    void cylinderCoefficients(double radius, double c[10]) const;

    double major;
    double minor;
};

class c_Cylinder : public c_EllCylinder {
public:
    c_Cylinder(const aPoint& origin, const aVector& axis, double radius) : c_EllCylinder(origin, axis, radius) {}

    std::ostream& print(std::ostream& os) const override;
    std::int32_t silhouettes(const aVector& view, c_Curve** curves) const override;
    std::int32_t isoCurves(std::int32_t count, c_Curve** curves) const override;
    std::int32_t intersect(const c_Curve&, LegacyIntersectionList&) const override { return 0; }
    aVector normalAt(const aPoint& p) const override;
    std::int32_t curvesThrough(const aPoint&, c_Curve**, std::int32_t) const override { return 0; }
    const char* className() const override { return kCylinderClass; }
    std::int32_t algebraicCoefficients(double c[10]) const override;

    double getRadius() const { return major; }
};

class c_Sphere : public c_Quadric {
public:
    c_Sphere() : centre(0, 0, 0), radius(1.0) {}
    // A radius below BasicDistanceTol becomes 1.
    c_Sphere(const aPoint& centre, double radius);

    std::ostream& print(std::ostream& os) const override;
    std::int32_t silhouettes(const aVector& view, c_Curve** curves) const override;
    void makeOldStyleEntity(LegacyEntityHandle& out) const override;
    aVector normalAt(const aPoint& p) const override;
    std::int32_t curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const override;
    const char* className() const override { return kSphereClass; }
    std::int32_t algebraicCoefficients(double c[10]) const override;

    const aPoint& getCentre() const { return centre; }
    double getRadius() const { return radius; }
    // Squared distance from the centre minus the squared radius.
    double pointPower(const aPoint& p) const { return p.distanceSquaredTo(centre) - radius * radius; }
    // n circles across each world axis; answers 3n.
    std::int32_t generateCircles(std::int32_t n, c_Curve** curves) const;

private:
    aPoint centre;
    double radius;
};
