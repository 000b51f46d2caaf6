// The subtype objects that spline surfaces and intersection curves carry
// between braces: the B-spline data of their geometry, the surfaces and
// parameter-space curves of an intersection, the profile and axis of a
// surface of revolution. Kinds that cannot be rebuilt are read only far
// enough to keep the text in step.
#pragma once
#include "toolkit/solids/acis_subtype.h"
#include "toolkit/solids/vector.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class satParser;
class acis_Curve;
class acis_Surface;
class c_Circle;
class c_Curve;
class c_Line;
class c_NURBSCurve;
class c_NURBSSurface;

// B-spline data as the text gives it, in single precision: the knots
// expanded by their multiplicities, every control point as (x·w, y·w, z·w, w).
struct SatBsplineCurve {
    std::int32_t degree = 0;
    std::int32_t dimension = 3;
    bool rational = false;
    std::vector<float> knots;
    std::vector<float> points;  // four floats a point
    std::int32_t pointCount() const { return static_cast<std::int32_t>(points.size() / 4); }
};

struct SatBsplineSurface {
    std::int32_t uDegree = 0;
    std::int32_t vDegree = 0;
    bool rational = false;
    std::vector<float> uKnots;
    std::vector<float> vKnots;
    std::int32_t uCount = 0;  // control points along u
    std::int32_t vCount = 0;
    std::vector<float> points;  // four floats a point, u rows of v points, in the order of the text
};

// Reads B-spline data; false, with out left empty, for "nullbs" and for
// data that is cut short or out of range.
bool readBsplineCurve(satParser& parser, std::int32_t dimension, std::unique_ptr<SatBsplineCurve>& out);
bool readBsplineSurface(satParser& parser, std::unique_ptr<SatBsplineSurface>& out);
// The geometry-library objects of B-spline data; null for null data.
std::unique_ptr<c_NURBSCurve> makeNURBSCurve(const SatBsplineCurve* data);
std::unique_ptr<c_NURBSSurface> makeNURBSSurface(const SatBsplineSurface* data);

class acis_spl_sur : public acis_Subtype {
public:
    explicit acis_spl_sur(const char* kind);
    ~acis_spl_sur() override;
    const char* name() const override { return "spl_sur"; }
    void print(std::ostream& out) const override { out << "spl_sur"; }
    // Reads the kind's data and builds its geometry.
    void readData(satParser& parser);

    const std::string& kind() const { return kind_; }
    const SatBsplineSurface* bspline() const { return bspline_.get(); }
    // The surface the B-spline data describe, or null.
    c_NURBSSurface* nurbs() const { return nurbs_.get(); }
    // The revolution normal for a surface of revolution, else the NURBS
    // surface's, else (0, 0, 0).
    aVector normalAt(const aPoint& p) const;
    // A copy of the profile turned about the axis by angle; the caller owns
    // it. Null without a profile or a library curve of it.
    c_Curve* rotatedProfile(double angle) const;
    // The circle about the axis through p; null without a profile.
    c_Circle* circleThrough(const aPoint& p) const;
    // n profiles and n parallels into curves (room for 2n); answers how many
    // were made.
    std::int32_t makeIsolines(std::int32_t n, c_Curve** curves) const;
    // Only for "rotsur".
    const acis_Curve* profile() const { return profile_.get(); }
    const aPoint& axisRoot() const { return axisRoot_; }
    const aVector& axisDirection() const { return axisDirection_; }
    const aVector& uVector() const { return u_; }
    const aVector& vVector() const { return v_; }

private:
    void readFields(satParser& parser);
    void restoreCommonData(satParser& parser);
    void restoreRotSur(satParser& parser);
    void makeRevolutionFrame();
    void readNetSur(satParser& parser);
    void readBlendSur(satParser& parser);
    void readSkinSur(satParser& parser);
    void readSweepSur(satParser& parser);
    void readBlendSupport(satParser& parser);

    std::string kind_;
    std::unique_ptr<SatBsplineSurface> bspline_;
    std::unique_ptr<c_NURBSSurface> nurbs_;
    std::unique_ptr<acis_Curve> profile_;
    aPoint axisRoot_;
    aVector axisDirection_;
    std::unique_ptr<c_Line> axis_;
    aVector u_;
    aVector v_;
};

class acis_int_cur : public acis_Subtype {
public:
    explicit acis_int_cur(const char* kind);
    ~acis_int_cur() override;
    const char* name() const override { return "int_cur"; }
    void print(std::ostream& out) const override { out << "int_cur" << " <curve>"; }
    // Reads the kind's data and builds its curves.
    void readData(satParser& parser);

    const std::string& kind() const { return kind_; }
    // The 3D curve, or for "exppc" the curve in parameter space.
    const SatBsplineCurve* bspline() const { return bspline_.get(); }
    const acis_Surface* surface1() const { return surface1_.get(); }
    const acis_Surface* surface2() const { return surface2_.get(); }
    const SatBsplineCurve* pcurve1() const { return pcurve1_.get(); }
    const SatBsplineCurve* pcurve2() const { return pcurve2_.get(); }
    // The parameters of a summary.
    const std::vector<double>& parameters() const { return parameters_; }
    double fitTolerance() const { return fitTolerance_; }

    // The curve the B-spline data describe, or null.
    c_NURBSCurve* nurbs() const { return nurbs_.get(); }
    bool contains(const aPoint& p) const;
    double getParameterOf(const aPoint& p) const;
    aVector tangentAt(const aPoint& p) const;
    bool isClosed() const;
    bool paramInInterval(double t, double bound1, double bound2, bool forward) const;
    // The first parameter-space curve and its surface when both exist and
    // the surface has a NURBS surface, else the second pair; false when
    // neither qualifies.
    bool getParameterSpaceCurve(const c_NURBSCurve*& curve, const c_NURBSSurface*& surface) const;

private:
    void readFields(satParser& parser);
    // False after a syntax error, which ends the subtype.
    bool readSurface(satParser& parser, std::unique_ptr<acis_Surface>& out);

    std::string kind_;
    std::unique_ptr<SatBsplineCurve> bspline_;
    std::unique_ptr<acis_Surface> surface1_;
    std::unique_ptr<acis_Surface> surface2_;
    std::unique_ptr<SatBsplineCurve> pcurve1_;
    std::unique_ptr<SatBsplineCurve> pcurve2_;
    std::unique_ptr<c_NURBSCurve> nurbs_;
    std::unique_ptr<c_NURBSCurve> pnurbs1_;
    std::unique_ptr<c_NURBSCurve> pnurbs2_;
    std::vector<double> parameters_;
    double fitTolerance_ = 0;
};

// The subtype a name selects, reading its data; null, with a warning under
// the subtype switch, for a name of neither family.
acis_Subtype* createSubtype(satParser& parser, const char* name);
acis_int_cur* createCurveSubtype(satParser& parser, const char* name);
acis_spl_sur* createSurfaceSubtype(satParser& parser, const char* name);
