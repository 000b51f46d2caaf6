#include "toolkit/solids/box.h"

#include <algorithm>

void aBox::initFromPoint(const aPoint& p) {
    xmin = xmax = p.x;
    ymin = ymax = p.y;
    zmin = zmax = p.z;
}

aBox aBox::growWithPoint(const aPoint& p) {
    xmin = std::min(xmin, p.x);
    xmax = std::max(xmax, p.x);
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
    zmin = std::min(zmin, p.z);
    zmax = std::max(zmax, p.z);
    return *this;
}

double aBox::diagonalSquared() const {
    double dx = xmax - xmin, dy = ymax - ymin, dz = zmax - zmin;
    return dx * dx + dy * dy + dz * dz;
}

bool aBox::boxContains(const aPoint& p) const {
    return p.x >= xmin && p.x <= xmax && p.y >= ymin && p.y <= ymax && p.z >= zmin && p.z <= zmax;
}
