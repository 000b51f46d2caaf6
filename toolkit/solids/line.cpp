#include "toolkit/solids/line.h"

#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/tolerances.h"

c_Line::c_Line(const aPoint& point_, const aVector& direction_) : point(point_), direction(direction_) {
    if (direction.normalize() < BasicDistanceTol) direction = zAxis;
}

std::ostream& c_Line::print(std::ostream& os) const {
    os << className() << "( ";
    point.print(os);
    os << " , ";
    aPoint(direction).print(os);
    return os << " )";
}

aPoint c_Line::nearestPoint(const aPoint& p) const { return point + dot(p - point, direction) * direction; }

bool c_Line::containsPoint(const aPoint& p) const { return nearestPoint(p).coincidesWith(p); }

double c_Line::getParameterOf(const aPoint& p) const { return dot(p - point, direction); }

void c_Line::getPointAt(double t, aPoint& out) const { out = point + t * direction; }

void c_Line::makeOldStyleEntity(LegacyEntityHandle& out) const { newLegacyLine({point, direction}, out); }

bool c_Line::isEqual(const c_Curve& other) const {
    if (!c_Curve::isEqual(other)) return false;
    const auto& line = static_cast<const c_Line&>(other);
    return containsPoint(line.point) && direction.isParallelTo(line.direction);
}

bool intersectSegments(const aPoint& a0, const aPoint& a1, const aPoint& b0, const aPoint& b1, aPoint& x) {
    aVector dA = a1 - a0, dB = b1 - b0;
    dA.normalize();
    dB.normalize();
    c_IntersectionResult result(c_Line(a0, dA), c_Line(b0, dB));
    if (result.getStatus() != 2 || result.getCount() != 1) return false;
    if (!c_IntersectionItem(result, 0).getPoint(x)) return false;
    return dot(x - a0, dA) >= 0 && dot(x - a1, dA) <= 0 && dot(x - b0, dB) >= 0 && dot(x - b1, dB) <= 0;
}
