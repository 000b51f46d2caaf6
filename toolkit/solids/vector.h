// Vectors, points and homogeneous points: the plain values every part of the
// geometry library computes with.
#pragma once

#include <cstdint>
#include <ostream>

struct aPoint;

struct aVector {
    double x = 0, y = 0, z = 0;

    aVector() = default;
    constexpr aVector(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    explicit aVector(const double xyz[3]) : x(xyz[0]), y(xyz[1]), z(xyz[2]) {}
    explicit aVector(const aPoint& p);

    double lengthSquared() const { return x * x + y * y + z * z; }
    double length() const;
    // Divides by the length only when it exceeds BasicDistanceTol, so a
    // near-zero vector stays as it is; answers the length either way.
    double normalize();
    double unitVectorInto(aVector& out) const;
    // A vector perpendicular to this one, not normalized; zero for zero.
    void perpendicular(aVector& out) const;
    // With this as a unit axis: along = (v·this)·this, across = v − along.
    void decompose(const aVector& v, aVector& along, aVector& across) const;
    // Parallel or antiparallel within BasicUnitTol.
    bool isParallelTo(const aVector& other) const;
    // Components within tol of 0 or ±1 become exactly that.
    void snapComponents(double tol);
    double component(int i) const;
    aVector operator+=(const aVector& v);
};

struct aPoint {
    double x = 0, y = 0, z = 0;

    aPoint() = default;
    constexpr aPoint(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    explicit aPoint(const aVector& v) : x(v.x), y(v.y), z(v.z) {}
    // A weighted point; the weight is divided out unless it is near zero.
    aPoint(float x_, float y_, float z_, float w);

    // 0, 1, 2 give x, y, z; −1 gives the homogeneous weight 1.
    double component(int i) const;
    double distanceSquaredTo(const aPoint& p) const;
    double distanceTo(const aPoint& p) const;
    // Strictly closer than the point tolerance.
    bool coincidesWith(const aPoint& p) const;
    // (w·x, w·y, w·z, w)
    void toHomogeneousFloats(float w, float out[4]) const;
    void print(std::ostream& os) const;
};

struct aHomogeneousPoint {
    double x = 0, y = 0, z = 0, w = 1;

    aHomogeneousPoint() = default;
    constexpr aHomogeneousPoint(double x_, double y_, double z_, double w_) : x(x_), y(y_), z(z_), w(w_) {}
    aHomogeneousPoint(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    double component(int i) const;
    // Divides by w; a zero weight (damaged data) leaves x, y, z as they are
    // rather than spreading infinities.
    aPoint toPoint() const;
    void toPoint(aPoint& out) const;
    void toFloats(float out[4]) const;
    void print(std::ostream& os) const;
};

double dot(const aVector& a, const aVector& b);
aVector cross(const aVector& a, const aVector& b);

aVector operator+(const aVector& a, const aVector& b);
aVector operator-(const aVector& a, const aVector& b);
aVector operator-(const aVector& a);
aVector operator*(double s, const aVector& v);
aVector operator/(const aVector& v, double s);

aVector operator-(const aPoint& a, const aPoint& b);  // from b to a
aPoint operator+(const aPoint& p, const aVector& v);
aPoint operator-(const aPoint& p, const aVector& v);

aHomogeneousPoint operator+(const aHomogeneousPoint& a, const aHomogeneousPoint& b);
aHomogeneousPoint operator*(double s, const aHomogeneousPoint& p);

// Builds the right-handed frame (u, v, w): w is normalized, u is the seed made
// perpendicular to w, v = w × u. Falls back to the world axes for a zero w.
void orthonormalFrame(aVector& u, aVector& v, aVector& w);

// Stores p at points[count] unless the array is full or p coincides with a
// stored point.
void addUniquePoint(const aPoint& p, aPoint* points, std::int32_t& count, std::int32_t capacity);

extern const aVector xAxis, yAxis, zAxis, zeroVector;
extern const aPoint origin;
