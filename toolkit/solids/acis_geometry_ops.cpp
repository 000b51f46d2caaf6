// The geometry records' library objects and the answers the topology and the
// renderer take from them.
#include <cmath>
#include <numbers>

#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/plane.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/torus.h"

namespace {

void missing(const char* message) {
    if (diagnosticSwitches.referenceErrors) Diagnostic(DiagnosticStream::err) << "*** ERROR: " << message;
}

// A cone this close to flat is a plane, this close to straight a cylinder.
constexpr double kFlatCone = 0.006;
// Radii this close (relative) make a circular cone or cylinder.
constexpr double kCircularRatio = 0.001;

}  // namespace

bool acis_AnalyticCurve::contains(const aPoint& p) const {
    const c_Curve* curve = getCurve();
    return curve && curve->containsPoint(p);
}

double acis_AnalyticCurve::getParameterOf(const aPoint& p) const {
    const c_Curve* curve = getCurve();
    return curve ? curve->getParameterOf(p) : 0;
}

bool acis_AnalyticCurve::getPointAt(double t, aPoint& out) const {
    const c_Curve* curve = getCurve();
    if (!curve) return false;
    curve->getPointAt(t, out);
    return true;
}

bool acis_AnalyticCurve::paramInInterval(double t, double bound1, double bound2, bool forward) const {
    const c_Curve* curve = getCurve();
    return curve && curve->isParameterInRange(t, bound1, bound2, forward);
}

aVector acis_AnalyticCurve::tangentAt(const aPoint& p) const {
    const c_Curve* curve = getCurve();
    return curve ? curve->tangentAt(p) : zeroVector;
}

acis_Straight::acis_Straight() = default;
acis_Straight::acis_Straight(satParser& parser) : acis_AnalyticCurve(parser) { readData(parser); }
acis_Straight::~acis_Straight() = default;

c_Curve* acis_Straight::getCurve() const { return line_.get(); }

void acis_Straight::build() { line_ = std::make_unique<c_Line>(root, direction); }

acis_Ellipse::acis_Ellipse() = default;
acis_Ellipse::acis_Ellipse(satParser& parser) : acis_AnalyticCurve(parser) { readData(parser); }
acis_Ellipse::~acis_Ellipse() = default;

c_Curve* acis_Ellipse::getCurve() const { return conic_.get(); }

void acis_Ellipse::build() {
    const double major = majorAxis.length();
    // Circles meet circles and lines in closed form; an ellipse of equal
    // radii would not.
    if (std::abs(ratio - 1) < 1e-9)
        conic_ = std::make_unique<c_Circle>(centre, majorAxis, normal, major);
    else
        conic_ = std::make_unique<c_Ellipse>(centre, majorAxis, normal, major, ratio * major);
}

bool acis_Ellipse::getAnalyticPlane(c_Plane& plane) const {
    plane = c_Plane(centre, normal);
    return true;
}

double acis_Ellipse::maxParam() const { return std::numbers::pi; }
double acis_Ellipse::minParam() const { return -std::numbers::pi; }

bool acis_Intcurve::getPlane(c_Plane& plane) const {
    const double t0 = minParam(), t1 = maxParam();
    aPoint p[3];
    const double at[3] = {t0, t0 + 0.33 * (t1 - t0), t0 + 0.66 * (t1 - t0)};
    for (int i = 0; i < 3; ++i)
        if (!getPointAt(at[i], p[i])) return false;
    aVector normal = cross(p[0] - p[1], p[2] - p[1]);
    plane = c_Plane(p[1], normal);
    return true;
}

bool acis_Intcurve::isClosed() const { return mIntCurve && mIntCurve->isClosed(); }

bool acis_Intcurve::contains(const aPoint& p) const {
    if (!mIntCurve) missing("acis_Intcurve::contains has no mIntCurve\n");
    return mIntCurve && mIntCurve->contains(p);
}

c_Curve* acis_Intcurve::getCurve() const { return mIntCurve ? mIntCurve->nurbs() : nullptr; }

double acis_Intcurve::getParameterOf(const aPoint& p) const {
    if (!mIntCurve) missing("acis_Intcurve::getParameterOf has no mIntCurve\n");
    return mIntCurve ? mIntCurve->getParameterOf(p) : 0;
}

bool acis_Intcurve::getPointAt(double t, aPoint& out) const {
    if (!mIntCurve) {
        missing("acis_Intcurve::getPointAt has no mIntCurve\n");
        return false;
    }
    if (const c_NURBSCurve* curve = mIntCurve->nurbs()) {
        curve->getPointAt(t, out);
        return true;
    }
    const c_NURBSCurve* pcurve = nullptr;
    const c_NURBSSurface* surface = nullptr;
    if (!mIntCurve->getParameterSpaceCurve(pcurve, surface)) return false;
    aPoint uv;
    pcurve->getPointAt(t, uv);
    out = surface->pointAt(uv.x, uv.y);
    return true;
}

namespace {

// The NURBS curve an intersection curve is drawn from: its own, else its
// parameter-space curve.
const c_NURBSCurve* parameterCurve(const acis_int_cur* subtype) {
    if (!subtype) return nullptr;
    if (subtype->nurbs()) return subtype->nurbs();
    const c_NURBSCurve* pcurve = nullptr;
    const c_NURBSSurface* surface = nullptr;
    return subtype->getParameterSpaceCurve(pcurve, surface) ? pcurve : nullptr;
}

}  // namespace

double acis_Intcurve::maxParam() const {
    const c_NURBSCurve* curve = parameterCurve(mIntCurve);
    if (!curve) missing("acis_Intcurve::maxParam has no 'nC'\n");
    return curve ? curve->getEndParameter() : -999999;
}

double acis_Intcurve::minParam() const {
    const c_NURBSCurve* curve = parameterCurve(mIntCurve);
    if (!curve) missing("acis_Intcurve::minParam has no 'nC'\n");
    return curve ? curve->getStartParameter() : 999999;
}

bool acis_Intcurve::paramInInterval(double t, double bound1, double bound2, bool forward) const {
    if (!mIntCurve) {
        missing("acis_Intcurve::paramInInterval has no mIntCurve\n");
        return false;
    }
    return reversed ? mIntCurve->paramInInterval(t, bound2, bound1, forward)
                    : mIntCurve->paramInInterval(t, bound1, bound2, forward);
}

aVector acis_Intcurve::tangentAt(const aPoint& p) const {
    if (!mIntCurve) {
        missing("acis_Intcurve::tangentAt returning (0,0,0)\n");
        return zeroVector;
    }
    const aVector t = mIntCurve->tangentAt(p);
    return reversed ? -t : t;
}

std::int32_t acis_Intcurve::edgeParameterRange(const acis_Vertex* start, const acis_Vertex* end, double& t0,
                                               double& t1) const {
    if (const c_NURBSCurve* curve = mIntCurve ? mIntCurve->nurbs() : nullptr) {
        t0 = curve->getStartParameter();
        t1 = curve->getEndParameter();
        if (start == end) return 1;
        std::int32_t answer = 1;
        aPoint first, last;
        curve->getPointAt(t0, first);
        curve->getPointAt(t1, last);
        // A vertex inside the curve cuts the piece the edge uses.
        const auto cut = [&](const acis_Vertex* vertex, double& t) {
            if (!vertex) return;
            const aPoint p = vertex->getPoint();
            if (p.coincidesWith(first) || p.coincidesWith(last)) return;
            const double at = curve->getParameterOf(p);
            if (curve->isValidParameter(at)) {
                t = at;
                answer = 0;
            }
        };
        cut(start, t0);
        cut(end, t1);
        return answer;
    }
    const c_NURBSCurve* pcurve = nullptr;
    const c_NURBSSurface* surface = nullptr;
    if (!mIntCurve || !mIntCurve->getParameterSpaceCurve(pcurve, surface)) return 3;
    t0 = pcurve->getStartParameter();
    t1 = pcurve->getEndParameter();
    return mIntCurve->parameters().empty() ? 0 : 2;
}

namespace {

// The sampler of an intercurve's parameter list.
struct Sampler {
    const std::vector<double>* values = nullptr;
    std::size_t position = 0;
    const c_NURBSCurve* pcurve = nullptr;
    const c_NURBSSurface* surface = nullptr;
    int counter = 0;
    double step = 0;
};

constexpr int kSamplesBetween = 10;
Sampler gSampler;

}  // namespace

void acis_Intcurve::beginSampling() const {
    gSampler = Sampler{};
    gSampler.counter = kSamplesBetween;
    if (!mIntCurve) return;
    gSampler.values = &mIntCurve->parameters();
    mIntCurve->getParameterSpaceCurve(gSampler.pcurve, gSampler.surface);
}

bool acis_Intcurve::nextSample(aPoint& out) const {
    Sampler& s = gSampler;
    if (!s.values || !s.pcurve || !s.surface) return false;
    double t = 0;
    if (s.counter == kSamplesBetween) {
        if (s.position >= s.values->size()) return false;
        t = (*s.values)[s.position++];
        if (s.position < s.values->size()) {
            s.counter = 0;
            s.step = ((*s.values)[s.position] - t) / (kSamplesBetween + 1);
        }
    } else {
        ++s.counter;
        t = (*s.values)[s.position - 1] + s.counter * s.step;
    }
    aPoint uv;
    s.pcurve->getPointAt(t, uv);
    out = s.surface->pointAt(uv.x, uv.y);
    return true;
}

bool acis_Surface::getPointAt(double u, double v, aPoint& out) const {
    missing("Using default acis_Surface::getPointAt\n");
    out = aPoint(u, v, 0);
    return false;
}

acis_Plane::acis_Plane() = default;
acis_Plane::acis_Plane(satParser& parser) : acis_Surface(parser) { readData(parser); }
acis_Plane::~acis_Plane() = default;

c_Surface* acis_Plane::getSurface() const { return plane_.get(); }

void acis_Plane::build() { plane_ = std::make_unique<c_Plane>(root, normal); }

aVector acis_Plane::normalAt(const aPoint& p) const { return plane_ ? plane_->normalAt(p) : zeroVector; }

acis_Sphere::acis_Sphere() = default;
acis_Sphere::acis_Sphere(satParser& parser) : acis_Surface(parser) { readData(parser); }
acis_Sphere::~acis_Sphere() = default;

c_Surface* acis_Sphere::getSurface() const { return sphere_.get(); }

// A negative radius marks a sphere whose material lies outside; the geometry
// is the same sphere.
void acis_Sphere::build() { sphere_ = std::make_unique<c_Sphere>(centre, std::abs(radius)); }

aVector acis_Sphere::normalAt(const aPoint& p) const { return sphere_ ? sphere_->normalAt(p) : zeroVector; }

acis_Torus::acis_Torus() = default;
acis_Torus::acis_Torus(satParser& parser) : acis_Surface(parser) { readData(parser); }
acis_Torus::~acis_Torus() = default;

c_Surface* acis_Torus::getSurface() const { return torus_.get(); }

void acis_Torus::build() { torus_ = std::make_unique<c_Torus>(centre, reference, normal, majorRadius, minorRadius); }

aVector acis_Torus::normalAt(const aPoint& p) const { return torus_ ? torus_->normalAt(p) : zeroVector; }

acis_Cone::acis_Cone() : base(std::make_unique<acis_Ellipse>()) {}

acis_Cone::acis_Cone(satParser& parser) : acis_Surface(parser), base(std::make_unique<acis_Ellipse>()) {
    readData(parser);
}

acis_Cone::~acis_Cone() = default;

void acis_Cone::build() {
    quadric_.reset();
    plane_.reset();
    const aPoint P = base->centre;
    aVector A = base->normal;
    A.normalize();
    const double R = base->majorAxis.length();
    const double r = base->ratio * R;
    const bool circular = !(std::abs(R - r) > R * kCircularRatio);
    if (std::abs(cosine) < kFlatCone) {
        plane_ = std::make_unique<c_Plane>(P, A);
    } else if (std::abs(sine) < kFlatCone) {
        if (circular)
            quadric_ = std::make_unique<c_Cylinder>(P, A, R);
        else
            quadric_ = std::make_unique<c_EllCylinder>(P, base->majorAxis, A, R, r);
    } else {
        const aPoint apex = P - (R * cosine / sine) * A;
        const double halfAngle = std::atan2(std::abs(sine), std::abs(cosine));
        if (circular)
            quadric_ = std::make_unique<c_Cone>(apex, A, halfAngle);
        else
            quadric_ = std::make_unique<c_EllCone>(apex, base->majorAxis, A, halfAngle, r / R);
    }
}

c_Surface* acis_Cone::getSurface() const {
    if (quadric_) return quadric_.get();
    return plane_.get();
}

aVector acis_Cone::normalAt(const aPoint& p) const {
    const c_Surface* surface = getSurface();
    return surface ? surface->normalAt(p) : zeroVector;
}

c_Surface* acis_Spline::getSurface() const { return getNURBSSurface(); }

bool acis_Spline::getPointAt(double u, double v, aPoint& out) const {
    const c_NURBSSurface* surface = getNURBSSurface();
    if (!surface) return false;
    out = surface->pointAt(u, v);
    return true;
}

c_NURBSSurface* acis_Spline::getNURBSSurface() const {
    c_NURBSSurface* surface = subtype ? subtype->nurbs() : nullptr;
    if (!surface && isSurfaceOfRevolution() && diagnosticSwitches.splineRecords)
        Diagnostic(DiagnosticStream::err) << "Ignoring RotSur in acis_Spline::getNURBSSurface()" << " (maybe OK)\n";
    return surface;
}

aVector acis_Spline::normalAt(const aPoint& p) const { return subtype ? subtype->normalAt(p) : zeroVector; }
