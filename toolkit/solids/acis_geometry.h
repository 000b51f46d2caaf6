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

class acis_Curve : public acis_Entity {
public:
    acis_Curve() = default;
    explicit acis_Curve(satParser& parser) : acis_Entity(parser) {}
    void print(std::ostream& out) const override;
    virtual const char* name() const { return "-curve"; }
    const aInterval& range() const { return range_; }

protected:
    aInterval range_;
};

class acis_Straight : public acis_Curve {
public:
    acis_Straight() = default;
    explicit acis_Straight(satParser& parser) : acis_Curve(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "straight"; }

    aPoint root;
    aVector direction;
};

class acis_Ellipse : public acis_Curve {
public:
    acis_Ellipse() = default;
    explicit acis_Ellipse(satParser& parser) : acis_Curve(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "ellipse"; }

    aPoint centre;
    aVector normal;
    aVector majorAxis;
    double ratio = 1;
};

class acis_Intcurve : public acis_Curve {
public:
    acis_Intcurve() = default;
    explicit acis_Intcurve(satParser& parser) : acis_Curve(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "intcurve"; }

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
    virtual const char* name() const { return "-surface"; }
    virtual bool isSurfaceOfRevolution() const { return false; }

    std::int32_t sense = kSenseUnread;
    aInterval uRange;
    aInterval vRange;

protected:
    // The sense and, from version 106, the u and v ranges.
    void readSenseAndRanges(satParser& parser);
};

class acis_Plane : public acis_Surface {
public:
    acis_Plane() = default;
    explicit acis_Plane(satParser& parser) : acis_Surface(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "plane"; }

    aPoint root;
    aVector normal;
    aVector uDirection;
};

class acis_Sphere : public acis_Surface {
public:
    acis_Sphere() = default;
    explicit acis_Sphere(satParser& parser) : acis_Surface(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "sphere"; }

    aPoint centre;
    double radius = 0;
    aVector uReference;
    aVector pole;
};

class acis_Torus : public acis_Surface {
public:
    acis_Torus() = default;
    explicit acis_Torus(satParser& parser) : acis_Surface(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "torus"; }

    aPoint centre;
    aVector normal;
    double majorRadius = 0;
    double minorRadius = 0;
    aVector reference;
};

class acis_Cone : public acis_Surface {
public:
    acis_Cone();
    explicit acis_Cone(satParser& parser);
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "cone"; }

    std::unique_ptr<acis_Ellipse> base;
    double sine = 0;
    double cosine = 1;
    double uScale = 1;
};

class acis_Spline : public acis_Surface {
public:
    acis_Spline() = default;
    explicit acis_Spline(satParser& parser) : acis_Surface(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    const char* name() const override { return "spline"; }
    bool isSurfaceOfRevolution() const override;

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
