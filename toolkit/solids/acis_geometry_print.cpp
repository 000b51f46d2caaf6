// The descriptions of the geometry records for the diagnostic dump.
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"

namespace {

void header(std::ostream& out, const acis_Entity& entity, const char* keyword) {
    entity.printSequence(out);
    out << keyword;
    entity.acis_Entity::print(out);
}

std::ostream& operator<<(std::ostream& out, const aPoint& p) {
    p.print(out);
    return out;
}

std::ostream& operator<<(std::ostream& out, const aVector& v) {
    return out << "(" << v.x << "," << v.y << "," << v.z << ")";
}

}  // namespace

void acis_Point::print(std::ostream& out) const {
    header(out, *this, "point");
    out << ' ' << position_;
}

void acis_Transform::print(std::ostream& out) const {
    header(out, *this, "transform");
    for (double value : matrix) out << ' ' << value;
    out << ' ' << rotate << ' ' << reflect << ' ' << shear;
}

void acis_Curve::print(std::ostream& out) const {
    header(out, *this, name());
    out << ' ';
    range_.print(out);
}

void acis_Straight::print(std::ostream& out) const {
    acis_Curve::print(out);
    out << ' ' << root << ' ' << direction;
}

void acis_Ellipse::print(std::ostream& out) const {
    acis_Curve::print(out);
    out << ' ' << centre << ' ' << normal << ' ' << majorAxis << ' ' << ratio;
}

void acis_Intcurve::print(std::ostream& out) const {
    acis_Curve::print(out);
    out << (reversed ? " reversed " : " forward ");
    if (mIntCurve) mIntCurve->print(out);
}

void acis_Pcurve::print(std::ostream& out) const {
    header(out, *this, "pcurve");
    out << ' ' << kind << ' ' << values[0] << ' ' << values[1];
}

void acis_Surface::print(std::ostream& out) const {
    header(out, *this, name());
    out << ' ' << sense << ' ';
    uRange.print(out);
    vRange.print(out);
}

void acis_Plane::print(std::ostream& out) const {
    acis_Surface::print(out);
    out << ' ' << root << ' ' << normal << ' ' << uDirection;
}

void acis_Sphere::print(std::ostream& out) const {
    acis_Surface::print(out);
    out << ' ' << centre << ' ' << radius << ' ' << uReference << ' ' << pole;
}

void acis_Torus::print(std::ostream& out) const {
    acis_Surface::print(out);
    out << ' ' << centre << ' ' << normal << ' ' << majorRadius << ' ' << minorRadius << ' ' << reference;
}

void acis_Cone::print(std::ostream& out) const {
    acis_Surface::print(out);
    out << ' ' << base->centre << ' ' << base->normal << ' ' << base->majorAxis << ' ' << base->ratio << ' ' << sine
        << ' ' << cosine << ' ' << uScale;
}

void acis_Spline::print(std::ostream& out) const {
    acis_Surface::print(out);
    out << " (Not saving spline data) ";
}
