// The geometry the subtypes hand the renderer: the revolution frame, normal
// and iso-lines of a surface of revolution, and the answers of an
// intersection curve's NURBS curve.
#include "toolkit/solids/acis_subtypes.h"

#include <cmath>
#include <numbers>

#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/tolerances.h"
#include "toolkit/solids/transform.h"

namespace {

// The first profile of the iso-lines sits off the seam so that it rarely
// runs along an edge of the face.
constexpr double kFirstProfileAngle = -2.141382;

}  // namespace

void acis_spl_sur::makeRevolutionFrame() {
    axis_ = std::make_unique<c_Line>(axisRoot_, axisDirection_);
    aPoint middle = axisRoot_;
    profile_->getPointAt((profile_->minParam() + profile_->maxParam()) / 2, middle);
    aVector along, across;
    axisDirection_.decompose(middle - axisRoot_, along, across);
    if (across.length() >= BasicDistanceTol) {
        u_ = across;
        u_.normalize();
        v_ = cross(axisDirection_, u_);
        v_.normalize();
        return;
    }
    Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "zero U vector in acis_spl_sur::restore_rot_sur." << "\n";
    u_ = zeroVector;
    aVector w = axisDirection_;
    orthonormalFrame(u_, v_, w);
}

aVector acis_spl_sur::normalAt(const aPoint& p) const {
    if (profile_ && axis_) {
        aVector along, r;
        axisDirection_.decompose(p - axisRoot_, along, r);
        if (r.length() < BasicDistanceTol) return axisDirection_;
        std::unique_ptr<c_Curve> rotated(rotatedProfile(std::atan2(dot(r, v_), dot(r, u_))));
        if (!rotated) return zeroVector;
        const aVector t = rotated->tangentAt(p);
        aVector radial = p - axis_->nearestPoint(p);
        radial = radial - dot(radial, t) * t;
        radial.normalize();
        return -radial;
    }
    if (nurbs_) return nurbs_->normalAt(p);
    if (diagnosticSwitches.splineSubtypes)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "acis_spl_sur::normalAt returning (0,0,0)\n";
    return zeroVector;
}

c_Curve* acis_spl_sur::rotatedProfile(double angle) const {
    const c_Curve* curve = profile_ ? profile_->getCurve() : nullptr;
    if (!curve) return nullptr;
    double rotation[9];
    rotationMatrix3(axisDirection_, angle, rotation);
    const aTransform turn(rotation, axisRoot_);
    // Lines and circles cannot copy themselves; they are rebuilt turned.
    if (isClass(*curve, kLineClass)) {
        const auto& line = static_cast<const c_Line&>(*curve);
        return new c_Line(turn.transformPoint(line.getPoint()), turn.transformVector(line.getDirection()));
    }
    if (isClass(*curve, kCircleClass)) {
        const auto& circle = static_cast<const c_Circle&>(*curve);
        return new c_Circle(turn.transformPoint(circle.getCenter()), turn.transformVector(circle.getXAxis()),
                            turn.transformVector(circle.getNormal()), circle.getRadius());
    }
    c_Curve* copy = curve->clone();
    if (copy) copy->transform(turn);
    return copy;
}

c_Circle* acis_spl_sur::circleThrough(const aPoint& p) const {
    if (!profile_ || !axis_) return nullptr;
    const aPoint foot = axis_->nearestPoint(p);
    return new c_Circle(foot, p - foot, axisDirection_, p.distanceTo(foot));
}

std::int32_t acis_spl_sur::makeIsolines(std::int32_t n, c_Curve** curves) const {
    if (!profile_ || n < 1) return 0;
    std::int32_t made = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        c_Curve* profile = rotatedProfile(kFirstProfileAngle + i * 2 * std::numbers::pi / n);
        if (!profile) return made;
        curves[made++] = profile;
    }
    const double t0 = profile_->minParam(), t1 = profile_->maxParam();
    const double d = (t1 - t0) / 11;
    for (std::int32_t i = 0; i < n; ++i) {
        const double t = n == 1 ? t0 + d : t0 + d + i * (t1 - t0 - 2 * d) / (n - 1);
        aPoint p;
        profile_->getPointAt(t, p);
        curves[made++] = circleThrough(p);
    }
    return made;
}

bool acis_int_cur::contains(const aPoint& p) const { return nurbs_ && nurbs_->containsPoint(p); }

double acis_int_cur::getParameterOf(const aPoint& p) const { return nurbs_ ? nurbs_->getParameterOf(p) : 0; }

aVector acis_int_cur::tangentAt(const aPoint& p) const {
    if (nurbs_) return nurbs_->tangentAt(p);
    if (diagnosticSwitches.referenceErrors)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "acis_int_cur::tangentAt returning (0,0,0)\n";
    return zeroVector;
}

bool acis_int_cur::isClosed() const { return nurbs_ && nurbs_->isClosed(); }

bool acis_int_cur::paramInInterval(double t, double bound1, double bound2, bool forward) const {
    return nurbs_ && nurbs_->isParameterInRange(t, bound1, bound2, forward);
}

bool acis_int_cur::getParameterSpaceCurve(const c_NURBSCurve*& curve, const c_NURBSSurface*& surface) const {
    const std::pair<const c_NURBSCurve*, const acis_Surface*> pairs[2] = {{pnurbs1_.get(), surface1_.get()},
                                                                         {pnurbs2_.get(), surface2_.get()}};
    for (const auto& [pcurve, host] : pairs)
        if (pcurve && host && host->getNURBSSurface()) {
            curve = pcurve;
            surface = host->getNURBSSurface();
            return true;
        }
    curve = nullptr;
    surface = nullptr;
    return false;
}
