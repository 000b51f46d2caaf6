// Reading the geometry records and the header-less curves and surfaces of
// subtypes.
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/sat_parser.h"

#include <cstring>

namespace {

aBoundingBox gSatExtents;

void readPoint(satParser& parser, aPoint& p) {
    double xyz[3] = {};
    parser.readDoubles(xyz, 3);
    p = aPoint(xyz[0], xyz[1], xyz[2]);
}

void readVector(satParser& parser, aVector& v) {
    double xyz[3] = {};
    parser.readDoubles(xyz, 3);
    v = aVector(xyz);
}

}  // namespace

std::int32_t readSense(satParser& parser) {
    if (parser.version() < 200) {
        std::int32_t value = -1;
        if (!parser.readInt(value)) return kSenseInvalid;
        return value == 0 || value == 1 ? value : kSenseInvalid;
    }
    char* word = nullptr;
    parser.readWord(word);
    if (satWordIs(word, "forward") || satWordIs(word, "forward_v")) return kSenseForward;
    if (satWordIs(word, "reversed") || satWordIs(word, "reverse_v")) return kSenseReversed;
    return kSenseInvalid;
}

void readRange(satParser& parser, aInterval& range) {
    if (parser.version() >= 106) range.readFrom(parser);
}

aBoundingBox satPointExtents() { return gSatExtents; }

void resetSatPointExtents() {
    gSatExtents.valid = false;
    gSatExtents.box = aBox{-1, 1, -1, 1, -1, 1};
}

void acis_Point::readData(satParser& parser) {
    readPoint(parser, position_);
    if (gSatExtents.valid) {
        gSatExtents.box.growWithPoint(position_);
    } else {
        gSatExtents.box.initFromPoint(position_);
        gSatExtents.valid = true;
    }
}

acis_Transform::acis_Transform() {
    for (int i = 0; i < 16; ++i) matrix[i] = i % 5 == 0 ? 1 : 0;
}

void acis_Transform::readData(satParser& parser) {
    // Three columns of three, then the translation and the scale: the first
    // three groups closed by a 0, the last by the scale, make four columns.
    double values[13] = {};
    parser.readDoubles(values, 13);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 3; ++row) matrix[column * 4 + row] = values[column * 3 + row];
        matrix[column * 4 + 3] = column == 3 ? values[12] : 0;
    }
    char* word = nullptr;
    const char* names[3] = {"rotate", "reflect", "shear"};
    bool* flags[3] = {&rotate, &reflect, &shear};
    for (int i = 0; i < 3; ++i) {
        parser.readWord(word);
        *flags[i] = satWordIs(word, "1") || satWordIs(word, names[i]);
    }
}

void acis_Straight::readData(satParser& parser) {
    readPoint(parser, root);
    readVector(parser, direction);
    readRange(parser, range_);
    build();
}

void acis_Ellipse::readData(satParser& parser) {
    readPoint(parser, centre);
    readVector(parser, normal);
    readVector(parser, majorAxis);
    parser.readDouble(ratio);
    readRange(parser, range_);
    build();
}

void acis_Intcurve::readData(satParser& parser) {
    char* word = nullptr;
    parser.readWord(word);
    if (satWordIs(word, "reversed") || satWordIs(word, "1"))
        reversed = true;
    else if (satWordIs(word, "forward") || satWordIs(word, "0"))
        reversed = false;
    else
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Bad direction flag in acis_Intcurve::readData ("
                                          << (word ? word : "") << ")\n";
    acis_Subtype* subtype = nullptr;
    if (!parser.readBracedSubtype(subtype)) return;
    mIntCurve = dynamic_cast<acis_int_cur*>(subtype);
    if (subtype && !mIntCurve)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "acis_Intcurve::readData: expected " << "int_cur"
                                          << "; found " << subtype->name() << "\n";
    if (parser.recordClosed()) return;
    readRange(parser, range_);
}

acis_Pcurve::acis_Pcurve() = default;

acis_Pcurve::acis_Pcurve(satParser& parser) : acis_Entity(parser) { readData(parser); }

acis_Pcurve::~acis_Pcurve() {
    if (ownsCurve_) delete mIntCurve;
}

void acis_Pcurve::readData(satParser& parser) {
    char* word = nullptr;
    parser.readInt(kind);
    parser.readWord(word);
    if (kind == 0) {
        if (parser.version() >= 105) {
            acis_Subtype* subtype = nullptr;
            if (!parser.readBracedSubtype(subtype)) return;
            mIntCurve = dynamic_cast<acis_int_cur*>(subtype);
            if (parser.recordClosed()) return;
        } else {
            mIntCurve = createCurveSubtype(parser, "exppc");
            ownsCurve_ = true;
        }
    }
    parser.readDoubles(values, 2);
}

void acis_Surface::readSenseAndRanges(satParser& parser) {
    sense = readSense(parser);
    readRange(parser, uRange);
    readRange(parser, vRange);
}

void acis_Plane::readData(satParser& parser) {
    readPoint(parser, root);
    readVector(parser, normal);
    readVector(parser, uDirection);
    readSenseAndRanges(parser);
    build();
}

void acis_Sphere::readData(satParser& parser) {
    readPoint(parser, centre);
    parser.readDouble(radius);
    readVector(parser, uReference);
    readVector(parser, pole);
    readSenseAndRanges(parser);
    build();
}

void acis_Torus::readData(satParser& parser) {
    readPoint(parser, centre);
    readVector(parser, normal);
    parser.readDouble(majorRadius);
    parser.readDouble(minorRadius);
    readVector(parser, reference);
    readSenseAndRanges(parser);
    build();
}

void acis_Cone::readData(satParser& parser) {
    base->readData(parser);
    parser.readDouble(sine);
    parser.readDouble(cosine);
    if (parser.version() >= 400) parser.readDouble(uScale);
    readSenseAndRanges(parser);
    build();
}

void acis_Spline::readData(satParser& parser) {
    char* word = nullptr;
    parser.readWord(word);
    acis_Subtype* found = nullptr;
    if (!parser.readBracedSubtype(found)) return;
    subtype = dynamic_cast<acis_spl_sur*>(found);
    if (parser.recordClosed()) return;
    readRange(parser, uRange);
    readRange(parser, vRange);
}

bool acis_Spline::isSurfaceOfRevolution() const { return subtype && subtype->profile(); }

acis_Entity* readGeometricEntity(satParser& parser, const char* keyword) {
    if (satWordIs(keyword, "straight-curve")) return new acis_Straight(parser);
    if (satWordIs(keyword, "ellipse-curve")) return new acis_Ellipse(parser);
    if (satWordIs(keyword, "intcurve-curve")) return new acis_Intcurve(parser);
    if (satWordIs(keyword, "pcurve")) return new acis_Pcurve(parser);
    if (satWordIs(keyword, "cone-surface")) return new acis_Cone(parser);
    if (satWordIs(keyword, "plane-surface")) return new acis_Plane(parser);
    if (satWordIs(keyword, "point")) return new acis_Point(parser);
    if (satWordIs(keyword, "sphere-surface")) return new acis_Sphere(parser);
    if (satWordIs(keyword, "spline-surface")) return new acis_Spline(parser);
    if (satWordIs(keyword, "torus-surface")) return new acis_Torus(parser);
    if (satWordIs(keyword, "transform")) return new acis_Transform(parser);
    return nullptr;
}

template <class T>
static T* readHeaderless(satParser& parser) {
    T* object = new T;
    object->readData(parser);
    return object;
}

acis_Curve* readCurveByName(satParser& parser, const char* name) {
    if (satWordIs(name, "straight")) return readHeaderless<acis_Straight>(parser);
    if (satWordIs(name, "ellipse")) return readHeaderless<acis_Ellipse>(parser);
    if (satWordIs(name, "intcurve")) return readHeaderless<acis_Intcurve>(parser);
    return nullptr;
}

acis_Surface* readSurfaceByName(satParser& parser, const char* name) {
    if (satWordIs(name, "cone")) return readHeaderless<acis_Cone>(parser);
    if (satWordIs(name, "plane")) return readHeaderless<acis_Plane>(parser);
    if (satWordIs(name, "sphere")) return readHeaderless<acis_Sphere>(parser);
    if (satWordIs(name, "spline")) return readHeaderless<acis_Spline>(parser);
    if (satWordIs(name, "torus")) return readHeaderless<acis_Torus>(parser);
    return nullptr;
}
