#include "toolkit/solids/vector.h"

#include <cmath>

#include "toolkit/solids/tolerances.h"

const aVector xAxis(1, 0, 0), yAxis(0, 1, 0), zAxis(0, 0, 1), zeroVector(0, 0, 0);
const aPoint origin(0, 0, 0);

aVector::aVector(const aPoint& p) : x(p.x), y(p.y), z(p.z) {}

double aVector::length() const { return std::sqrt(lengthSquared()); }

double aVector::normalize() {
    double len = length();
    if (len > BasicDistanceTol) {
        x /= len;
        y /= len;
        z /= len;
    }
    return len;
}

double aVector::unitVectorInto(aVector& out) const {
    out = *this;
    return out.normalize();
}

void aVector::perpendicular(aVector& out) const {
    double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    if (ax < ay && ax <= az) {
        out = ay > az ? aVector(0, z, -y) : aVector(0, -z, y);
    } else if (ax >= ay && ay <= az) {
        out = (ax > az || ax < BasicDistanceTol) ? aVector(z, 0, -x) : aVector(-z, 0, x);
    } else {
        out = ax > ay ? aVector(y, -x, 0) : aVector(-y, x, 0);
    }
}

void aVector::decompose(const aVector& v, aVector& along, aVector& across) const {
    along = dot(v, *this) * *this;
    across = v - along;
}

bool aVector::isParallelTo(const aVector& other) const {
    aVector a, b;
    unitVectorInto(a);
    other.unitVectorInto(b);
    return std::fabs(1 - std::fabs(dot(a, b))) < BasicUnitTol;
}

void aVector::snapComponents(double tol) {
    for (double* c : {&x, &y, &z}) {
        if (std::fabs(*c) < tol)
            *c = 0;
        else if (std::fabs(1 - std::fabs(*c)) < tol)
            *c = *c > 0 ? 1 : -1;
    }
}

double aVector::component(int i) const {
    switch (i) {
    case 0: return x;
    case 1: return y;
    case 2: return z;
    default: return 0;
    }
}

aVector aVector::operator+=(const aVector& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

aPoint::aPoint(float x_, float y_, float z_, float w) : x(x_), y(y_), z(z_) {
    if (std::fabs(w) > BasicDistanceTol) {
        x /= w;
        y /= w;
        z /= w;
    }
}

double aPoint::component(int i) const {
    switch (i) {
    case -1: return 1.0;
    case 0: return x;
    case 1: return y;
    case 2: return z;
    default: return 0;
    }
}

double aPoint::distanceSquaredTo(const aPoint& p) const { return (*this - p).lengthSquared(); }

double aPoint::distanceTo(const aPoint& p) const { return std::sqrt(distanceSquaredTo(p)); }

bool aPoint::coincidesWith(const aPoint& p) const { return distanceTo(p) < getPointTolerance(); }

void aPoint::toHomogeneousFloats(float w, float out[4]) const {
    out[0] = static_cast<float>(w * x);
    out[1] = static_cast<float>(w * y);
    out[2] = static_cast<float>(w * z);
    out[3] = w;
}

void aPoint::print(std::ostream& os) const { os << '(' << x << ',' << y << ',' << z << ')'; }

double aHomogeneousPoint::component(int i) const { return i == -1 ? w : aPoint(x, y, z).component(i); }

aPoint aHomogeneousPoint::toPoint() const { return w != 0 ? aPoint(x / w, y / w, z / w) : aPoint(x, y, z); }

void aHomogeneousPoint::toPoint(aPoint& out) const { out = toPoint(); }

void aHomogeneousPoint::toFloats(float out[4]) const {
    out[0] = static_cast<float>(x);
    out[1] = static_cast<float>(y);
    out[2] = static_cast<float>(z);
    out[3] = static_cast<float>(w);
}

void aHomogeneousPoint::print(std::ostream& os) const {
    os << '(' << x << ',' << y << ',' << z << ',' << w << ')';
}

double dot(const aVector& a, const aVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

aVector cross(const aVector& a, const aVector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

aVector operator+(const aVector& a, const aVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
aVector operator-(const aVector& a, const aVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
aVector operator-(const aVector& a) { return {-a.x, -a.y, -a.z}; }
aVector operator*(double s, const aVector& v) { return {s * v.x, s * v.y, s * v.z}; }
aVector operator/(const aVector& v, double s) { return {v.x / s, v.y / s, v.z / s}; }

aVector operator-(const aPoint& a, const aPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
aPoint operator+(const aPoint& p, const aVector& v) { return {p.x + v.x, p.y + v.y, p.z + v.z}; }
aPoint operator-(const aPoint& p, const aVector& v) { return {p.x - v.x, p.y - v.y, p.z - v.z}; }

aHomogeneousPoint operator+(const aHomogeneousPoint& a, const aHomogeneousPoint& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}

aHomogeneousPoint operator*(double s, const aHomogeneousPoint& p) { return {s * p.x, s * p.y, s * p.z, s * p.w}; }

void orthonormalFrame(aVector& u, aVector& v, aVector& w) {
    if (w.normalize() < BasicDistanceTol) {
        u = xAxis;
        v = yAxis;
        w = zAxis;
        return;
    }
    aVector along, across;
    w.decompose(u, along, across);
    u = across;
    if (u.normalize() < BasicDistanceTol) {
        w.perpendicular(u);
        u.normalize();
    }
    v = cross(w, u);
    v.normalize();
}

void addUniquePoint(const aPoint& p, aPoint* points, std::int32_t& count, std::int32_t capacity) {
    if (count >= capacity) return;
    for (std::int32_t i = 0; i < count; ++i)
        if (points[i].coincidesWith(p)) return;
    points[count++] = p;
}
