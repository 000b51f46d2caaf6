// The abstract surface of the geometry library and the two bases of the
// quadrics. Curves handed out by silhouettes, isoCurves and curvesThrough are
// new heap objects the caller owns.
#pragma once

#include <cstdint>
#include <ostream>

#include "toolkit/solids/geometry_fwd.h"
#include "toolkit/solids/legacy_records.h"
#include "toolkit/solids/vector.h"

class c_Surface {
public:
    virtual ~c_Surface() = default;
    virtual std::ostream& print(std::ostream& os) const = 0;
    virtual std::int32_t silhouettes(const aVector& /*view*/, c_Curve** /*curves*/) const { return 0; }
    virtual std::int32_t isoCurves(std::int32_t /*count*/, c_Curve** /*curves*/) const { return 0; }
    // 0 not handled by this surface, 1 no intersection, 2 points added.
    virtual std::int32_t intersect(const c_Curve& curve, LegacyIntersectionList& list) const;
    virtual void makeOldStyleEntity(LegacyEntityHandle& out) const;
    virtual aVector normalAt(const aPoint& p) const;
    virtual std::int32_t curvesThrough(const aPoint& /*p*/, c_Curve** /*curves*/, std::int32_t /*max*/) const {
        return 0;
    }
    virtual const char* className() const = 0;

protected:
    c_Surface() = default;
    c_Surface(const c_Surface&) = default;
    c_Surface& operator=(const c_Surface&) = default;
};

inline constexpr const char* kPlaneClass = "c_Plane";
inline constexpr const char* kSphereClass = "c_Sphere";
inline constexpr const char* kConeClass = "c_Cone";
inline constexpr const char* kEllConeClass = "c_EllCone";
inline constexpr const char* kCylinderClass = "c_Cylinder";
inline constexpr const char* kEllCylinderClass = "c_EllCylinder";
inline constexpr const char* kTorusClass = "c_Torus";
inline constexpr const char* kNURBSSurfaceClass = "c_NURBSSurface";

bool isClass(const c_Surface& surface, const char* name);

// Surfaces of the implicit form c0·x² + c1·y² + c2·z² + c3·xy + c4·yz +
// c5·zx + c6·x + c7·y + c8·z + c9 = 0.
class c_Quadric : public c_Surface {
public:
    virtual std::int32_t algebraicCoefficients(double c[10]) const = 0;
};

// Quadrics placed by a right-handed frame: origin (apex or a point of the
// axis), xAxis (angle 0), yAxis = axis × xAxis, axis.
class c_FramedQuadric : public c_Quadric {
public:
    const aPoint& getOrigin() const { return origin; }
    const aVector& getXAxis() const { return xAxis; }
    const aVector& getYAxis() const { return yAxis; }
    const aVector& getAxis() const { return axis; }

protected:
    c_FramedQuadric(const aPoint& origin, const aVector& reference, const aVector& axis);
    c_FramedQuadric(const aPoint& origin, const aVector& axis) : c_FramedQuadric(origin, zeroVector, axis) {}
    void updateFrame() { orthonormalFrame(xAxis, yAxis, axis); }
    // The class name, "( " and the frame, ready for the class's own values.
    std::ostream& printFrame(std::ostream& os) const;

    aPoint origin;
    aVector xAxis, yAxis, axis;
};
