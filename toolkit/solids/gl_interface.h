// The abstract target the wireframe renderer draws on, in the manner of an
// immediate-mode graphics library. Every operation does nothing by default.
#pragma once

#include <cstdint>

#include "toolkit/solids/geometry_fwd.h"

class GL_Interface {
public:
    virtual ~GL_Interface() = default;
    // A circle or ellipse between two parameters.
    virtual void drawArc(c_Conic* /*curve*/, double /*t0*/, double /*t1*/, GL_Renderer* /*renderer*/) {}
    // A whole NURBS curve; answers whether it was drawn.
    virtual bool drawNURBS(c_NURBSCurve* /*curve*/, GL_Renderer* /*renderer*/) { return false; }
    virtual void begin(std::int32_t /*mode*/) {}  // 1 vertex pairs, 3 one polyline
    virtual void end() {}
    virtual void vertex(double /*x*/, double /*y*/, double /*z*/) {}
    virtual void normal(double /*x*/, double /*y*/, double /*z*/) {}
    virtual void color(float /*red*/, float /*green*/, float /*blue*/) {}
    virtual void colorD(double /*red*/, double /*green*/, double /*blue*/) {}
    virtual void colorv(const double* /*rgb*/) {}
    virtual void pushMatrix() {}
    virtual void popMatrix() {}
    virtual void multMatrix(const double* /*columnMajor16*/) {}
    virtual void translate(double /*x*/, double /*y*/, double /*z*/) {}
    virtual void pushAttrib(std::int32_t /*mask*/) {}
    virtual void popAttrib() {}
    virtual void newList(std::int32_t /*list*/, std::int32_t /*mode*/) {}
    virtual void endList() {}
    virtual void sphere(double /*radius*/, std::int32_t /*slices*/, std::int32_t /*stacks*/) {}
    // Samples per span that the NURBS tessellator asks for.
    virtual std::int32_t segmentsPerSpan() { return 10; }
};
