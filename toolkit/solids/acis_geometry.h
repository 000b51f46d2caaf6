// The geometry records of a SAT text: points, transforms, curves and
// surfaces. Each reads its fields through the parser; a curve or surface read
// inside a subtype has no record header and no attribute reference.
#pragma once
#include "toolkit/solids/acis_entity.h"
#include "toolkit/solids/box.h"
#include "toolkit/solids/interval.h"
#include "toolkit/solids/vector.h"

#include <cstdint>
#include <memory>

class acis_int_cur;
class acis_spl_sur;
class c_Curve;
class c_Conic;
class c_Line;
class c_NURBSCurve;
class c_NURBSSurface;
class c_Plane;
class c_Sphere;
class c_Surface;
class c_Torus;

// Forward, reversed, or 3 for anything else; 2 until read.
enum AcisSense : std::int32_t { kSenseForward = 0, kSenseReversed = 1, kSenseUnread = 2, kSenseInvalid = 3 };

// From version 200 a word ("forward", "forward_v", "reversed", "reverse_v"),
// before it an integer.
std::int32_t readSense(satParser& parser);
// A parameter range, present from version 106.
void readRange(satParser& parser, aInterval& range);

// The box of every SAT point read since the last reset.
aBoundingBox satPointExtents();
// Empty, and the box from (-1, -1, -1) to (1, 1, 1).
void resetSatPointExtents();

class acis_Point : public acis_Entity {
public:
    explicit acis_Point(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    aPoint position() const { return position_; }

private:
    aPoint position_;
};

class acis_Transform : public acis_Entity {
public:
    acis_Transform();
    explicit acis_Transform(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;

    // The four columns of the 4x4 matrix, each four values.
    double matrix[16];
    bool rotate = false;
    bool reflect = false;
    bool shear = false;
};

// The questions the topology and the renderer ask of an edge's curve; each
// answers a neutral value where the record has no geometry to ask.
class acis_Curve : public acis_Entity {
public:
    acis_Curve() = default;
    explicit acis_Curve(satParser& parser) : acis_Entity(parser) {}
    void print(std::ostream& out) const override;
    // The plane the curve lies in.
    virtual bool getPlane(c_Plane& plane) const { return getAnalyticPlane(plane); }
    virtual bool isClosed() const { return false; }
    virtual bool getAnalyticPlane(c_Plane&) const { return false; }
    virtual bool contains(const aPoint& p) const = 0;
    // The geometry-library curve, owned by the record; null when there is none.
    virtual c_Curve* getCurve() const = 0;
    virtual double getParameterOf(const aPoint& p) const = 0;
    virtual bool getPointAt(double t, aPoint& out) const = 0;
    virtual bool isStraight() const { return false; }
    virtual double maxParam() const = 0;
    virtual double minParam() const = 0;
    // t between the two bounds; forward tells their order.
    virtual bool paramInInterval(double t, double bound1, double bound2, bool forward) const = 0;
    virtual const char* name() const { return "-curve"; }
    virtual aVector tangentAt(const aPoint& p) const = 0;
    const aInterval& range() const { return range_; }

protected:
    aInterval range_;
};

// A curve record with an analytic library curve: its answers are the
// curve's own.
class acis_AnalyticCurve : public acis_Curve {
public:
    using acis_Curve::acis_Curve;
    bool contains(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    bool getPointAt(double t, aPoint& out) const override;
    bool paramInInterval(double t, double bound1, double bound2, bool forward) const override;
    aVector tangentAt(const aPoint& p) const override;
};

class acis_Straight : public acis_AnalyticCurve {
public:
    acis_Straight();
    explicit acis_Straight(satParser& parser);
    ~acis_Straight() override;
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "straight"; }
    c_Curve* getCurve() const override;
    bool isStraight() const override { return true; }
    double maxParam() const override { return 1; }
    double minParam() const override { return 0; }

    aPoint root;
    aVector direction;

private:
    // The library object of the fields read.
    void build();

    std::unique_ptr<c_Line> line_;
};

class acis_Ellipse : public acis_AnalyticCurve {
public:
    acis_Ellipse();
    explicit acis_Ellipse(satParser& parser);
    ~acis_Ellipse() override;
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "ellipse"; }
    bool isClosed() const override { return true; }
    bool getAnalyticPlane(c_Plane& plane) const override;
    // A circle when the ratio is 1, an ellipse otherwise.
    c_Curve* getCurve() const override;
    c_Conic* getConic() const { return conic_.get(); }
    double maxParam() const override;
    double minParam() const override;

    aPoint centre;
    aVector normal;
    aVector majorAxis;
    double ratio = 1;

private:
    // The library object of the fields read.
    void build();

    std::unique_ptr<c_Conic> conic_;
};

class acis_Vertex;

class acis_Intcurve : public acis_Curve {
public:
    acis_Intcurve() = default;
    explicit acis_Intcurve(satParser& parser) : acis_Curve(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "intcurve"; }
    bool getPlane(c_Plane& plane) const override;
    bool isClosed() const override;
    bool contains(const aPoint& p) const override;
    // The subtype's NURBS curve, or null.
    c_Curve* getCurve() const override;
    double getParameterOf(const aPoint& p) const override;
    bool getPointAt(double t, aPoint& out) const override;
    double maxParam() const override;
    double minParam() const override;
    bool paramInInterval(double t, double bound1, double bound2, bool forward) const override;
    aVector tangentAt(const aPoint& p) const override;

    // What the renderer can draw of the edge from start to end, and its
    // parameters: 1 the whole NURBS curve, 0 the piece between t0 and t1
    // (evaluated through getPointAt), 2 the subtype's parameter list, 3
    // nothing.
    std::int32_t edgeParameterRange(const acis_Vertex* start, const acis_Vertex* end, double& t0,
                                    double& t1) const;
    // Walks the subtype's parameter list: every value, then ten evenly spaced
    // points before the next.
    void beginSampling() const;
    bool nextSample(aPoint& out) const;

    acis_int_cur* mIntCurve = nullptr;  // owned by the parser's subtype table
    bool reversed = false;
};

class acis_Pcurve : public acis_Entity {
public:
    acis_Pcurve();
    explicit acis_Pcurve(satParser& parser);
    ~acis_Pcurve() override;
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;

    std::int32_t kind = 0;
    acis_int_cur* mIntCurve = nullptr;  // owned only when read directly (versions up to 104)
    double values[2] = {};

private:
    bool ownsCurve_ = false;
};

class acis_Surface : public acis_Entity {
public:
    acis_Surface() = default;
    explicit acis_Surface(satParser& parser) : acis_Entity(parser) {}
    void print(std::ostream& out) const override;
    // The geometry-library surface, owned by the record; null when there is none.
    virtual c_Surface* getSurface() const { return nullptr; }
    virtual bool getPointAt(double u, double v, aPoint& out) const;
    virtual bool isSurfaceOfRevolution() const { return false; }
    virtual c_NURBSSurface* getNURBSSurface() const { return nullptr; }
    virtual aVector normalAt(const aPoint& p) const = 0;
    virtual const char* name() const { return "-surface"; }

    std::int32_t sense = kSenseUnread;
    aInterval uRange;
    aInterval vRange;

protected:
    // The sense and, from version 106, the u and v ranges.
    void readSenseAndRanges(satParser& parser);
};

class acis_Plane : public acis_Surface {
public:
    acis_Plane();
    explicit acis_Plane(satParser& parser);
    ~acis_Plane() override;
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    c_Surface* getSurface() const override;
    aVector normalAt(const aPoint& p) const override;
    const char* name() const override { return "plane"; }

    aPoint root;
    aVector normal;
    aVector uDirection;

private:
    // The library object of the fields read.
    void build();

    std::unique_ptr<c_Plane> plane_;
};

class acis_Sphere : public acis_Surface {
public:
    acis_Sphere();
    explicit acis_Sphere(satParser& parser);
    ~acis_Sphere() override;
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    c_Surface* getSurface() const override;
    aVector normalAt(const aPoint& p) const override;
    const char* name() const override { return "sphere"; }

    aPoint centre;
    double radius = 0;
    aVector uReference;
    aVector pole;

private:
    // The library object of the fields read.
    void build();

    std::unique_ptr<c_Sphere> sphere_;
};

class acis_Torus : public acis_Surface {
public:
    acis_Torus();
    explicit acis_Torus(satParser& parser);
    ~acis_Torus() override;
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    c_Surface* getSurface() const override;
    aVector normalAt(const aPoint& p) const override;
    const char* name() const override { return "torus"; }

    aPoint centre;
    aVector normal;
    double majorRadius = 0;
    double minorRadius = 0;
    aVector reference;

private:
    // The library object of the fields read.
    void build();

    std::unique_ptr<c_Torus> torus_;
};

// A cone, cylinder or plane, elliptic or circular, by the half angle and
// the base ellipse.
class acis_Cone : public acis_Surface {
public:
    acis_Cone();
    explicit acis_Cone(satParser& parser);
    ~acis_Cone() override;
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "cone"; }
    // The quadric, else the plane.
    c_Surface* getSurface() const override;
    aVector normalAt(const aPoint& p) const override;

    std::unique_ptr<acis_Ellipse> base;
    double sine = 0;
    double cosine = 1;
    double uScale = 1;

private:
    void build();

    std::unique_ptr<c_Surface> quadric_;
    std::unique_ptr<c_Plane> plane_;
};

class acis_Spline : public acis_Surface {
public:
    acis_Spline() = default;
    explicit acis_Spline(satParser& parser) : acis_Surface(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "spline"; }
    c_Surface* getSurface() const override;
    bool getPointAt(double u, double v, aPoint& out) const override;
    bool isSurfaceOfRevolution() const override;
    c_NURBSSurface* getNURBSSurface() const override;
    aVector normalAt(const aPoint& p) const override;

    acis_spl_sur* subtype = nullptr;  // owned by the parser's subtype table
};

// The geometry class a keyword selects, reading the record; null when the
// keyword is not a geometry keyword.
acis_Entity* readGeometricEntity(satParser& parser, const char* keyword);
// A curve or surface named by a word inside a subtype ("straight", "cone"
// ...), read without a record header; null for another word.
acis_Curve* readCurveByName(satParser& parser, const char* name);
acis_Surface* readSurfaceByName(satParser& parser, const char* name);
// Reads and discards law data.
void readLawData(satParser& parser);
