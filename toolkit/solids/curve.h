// The abstract curve of the geometry library. Intersection code tells the
// classes apart by className, so those strings are part of the interface.
#pragma once

#include <ostream>

#include "toolkit/solids/legacy_records.h"
#include "toolkit/solids/transform.h"
#include "toolkit/solids/vector.h"

class c_Curve {
public:
    virtual ~c_Curve() = default;
    virtual std::ostream& print(std::ostream& os) const = 0;
    // A new copy the caller owns, or null for classes that cannot copy.
    virtual c_Curve* clone() const;
    virtual bool isClosed() const { return false; }
    virtual bool containsPoint(const aPoint& p) const = 0;
    virtual double getParameterOf(const aPoint& p) const = 0;
    virtual void getPointAt(double t, aPoint& out) const = 0;
    // The legacy entity of the curve, kept in the legacy pools; the null
    // handle for curves without one.
    virtual void makeOldStyleEntity(LegacyEntityHandle& out) const;
    virtual bool isParameterInRange(double t, double start, double end, bool forward) const;
    // Moves p onto the curve at its own parameter.
    virtual void snapPoint(aPoint& p) const;
    virtual bool isEqual(const c_Curve& other) const;
    virtual aVector tangentAt(const aPoint& p) const = 0;
    virtual void transform(const aTransform& m);
    virtual const char* className() const = 0;
    virtual bool isValidParameter(double /*t*/) const { return true; }

protected:
    c_Curve() = default;
    c_Curve(const c_Curve&) = default;
    c_Curve& operator=(const c_Curve&) = default;
};

// The class names the dispatchers compare against.
inline constexpr const char* kLineClass = "c_Line";
inline constexpr const char* kEllipseClass = "c_Ellipse";
inline constexpr const char* kCircleClass = "c_Circle";
inline constexpr const char* kNURBSCurveClass = "c_NURBSCurve";
inline constexpr const char* kRatBezierClass = "c_RatBezierCurve";

bool isClass(const c_Curve& curve, const char* name);
