// Axis-aligned boxes: the SAT point extents, the NURBS and Bezier control
// boxes and a face's extents.
#pragma once

#include "toolkit/solids/vector.h"

struct aBox {
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0, zmin = 0, zmax = 0;

    void initFromPoint(const aPoint& p);
    aBox growWithPoint(const aPoint& p);
    double diagonalSquared() const;
    bool boxContains(const aPoint& p) const;
};

struct aBoundingBox {
    bool valid = false;
    aBox box;
};
