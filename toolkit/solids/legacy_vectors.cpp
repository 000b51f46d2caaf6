#include "toolkit/solids/legacy_vectors.h"

#include <cmath>

double vecNormalize(aVector& v) {
    double len = v.length();
    if (len <= 1e-7) return 0;
    v = v / len;
    return len;
}

double vecNormalizeInto(const aVector& v, aVector& out) {
    double len = v.length();
    if (len > 1e-7) out = v / len;
    return len;
}

aVector vecPerpendicular(const aVector& v) {
    double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    aVector out;
    if (ax < ay && ax <= az)
        out = ay > az ? aVector(0, v.z, -v.y) : aVector(0, -v.z, v.y);
    else if (ax >= ay && ay <= az)
        out = (ax > az || ax < 1e-8) ? aVector(v.z, 0, -v.x) : aVector(-v.z, 0, v.x);
    else
        out = ax > ay ? aVector(v.y, -v.x, 0) : aVector(-v.y, v.x, 0);
    vecNormalize(out);
    return out;
}

int vecFrame(const aVector& v, aVector& u, aVector& third, aVector& w) {
    if (vecNormalizeInto(v, w) <= 1e-7) return 0;
    u = vecPerpendicular(w);
    third = cross(w, u);
    vecNormalize(third);
    return 1;
}

bool pointsCoincide3(const aPoint& p, const aPoint& q) { return p.distanceSquaredTo(q) < 1e-14; }

double lawOfCosines(double a, double b, double k) { return (a * a + b * b - k * k) / (2 * a * b); }
