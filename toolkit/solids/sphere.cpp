#include <cmath>
#include <numbers>

#include "toolkit/solids/conic.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/tolerances.h"
#include "toolkit/solids/transform.h"

c_Sphere::c_Sphere(const aPoint& centre_, double radius_) : centre(centre_), radius(radius_) {
    if (radius < BasicDistanceTol) radius = 1.0;
}

std::ostream& c_Sphere::print(std::ostream& os) const {
    os << className() << "( ";
    centre.print(os);
    return os << " , " << radius << " )";
}

std::int32_t c_Sphere::silhouettes(const aVector& view, c_Curve** curves) const {
    curves[0] = new c_Circle(centre, view, radius);
    return 1;
}

void c_Sphere::makeOldStyleEntity(LegacyEntityHandle& out) const { newLegacySphere({centre, radius}, out); }

aVector c_Sphere::normalAt(const aPoint& p) const {
    aVector n = p - centre;
    n.normalize();
    return n;
}

std::int32_t c_Sphere::curvesThrough(const aPoint& p, c_Curve** curves, std::int32_t max) const {
    if (max <= 0) return 0;
    const aVector r = p - centre;
    double turn[9];
    aVector n;
    r.perpendicular(n);
    rotationMatrix3(r, 0.21552, turn);
    n = multiply3(turn, n);
    curves[0] = new c_Circle(centre, r, n, radius);
    if (max < 2) return 1;
    const double step = 2 * std::numbers::pi / max;
    double alpha = 0.31124;
    for (std::int32_t k = 1; k < max; ++k, alpha += step) {
        rotationMatrix3(r, alpha, turn);
        n = multiply3(turn, n);
        curves[k] = new c_Circle(centre, r, n, radius);
    }
    return max;
}

std::int32_t c_Sphere::generateCircles(std::int32_t n, c_Curve** curves) const {
    if (n <= 0) return 0;
    const double s = 2 * radius / (n + 1);
    for (std::int32_t i = 0; i < n; ++i) {
        const double d = -radius + (0.93 + i) * s;
        const double rho = std::sqrt(std::fmax(radius * radius - d * d, 0.0));
        curves[3 * i] = new c_Circle(centre + d * xAxis, xAxis, rho);
        curves[3 * i + 1] = new c_Circle(centre + d * yAxis, yAxis, rho);
        curves[3 * i + 2] = new c_Circle(centre + d * zAxis, zAxis, rho);
    }
    return 3 * n;
}

std::int32_t c_Sphere::algebraicCoefficients(double c[10]) const {
    const aVector q(centre);
    const double values[10] = {1, 1, 1, 0, 0, 0, -2 * q.x, -2 * q.y, -2 * q.z, dot(q, q) - radius * radius};
    for (int i = 0; i < 10; ++i) c[i] = values[i];
    return 1;
}
