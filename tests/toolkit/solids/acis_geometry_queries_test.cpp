// The geometry the records hand on: library curves and surfaces of the
// curve and surface records, the cone's construction, an intersection curve's
// ranges and samples, the revolution frame and its iso-lines, and the
// questions the topology answers from them.
#include "sat_fixture.h"
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/plane.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/tolerances.h"

#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double pi = std::numbers::pi;

class AcisGeometryQueriesTest : public SolidsTest {};

TEST_F(AcisGeometryQueriesTest, ConeBecomesTheSurfaceItsAnglesAndRadiiGive) {
    const double r3 = std::sqrt(3.0);
    const struct {
        double sine, cosine, ratio;
        const char* className;
    } cases[] = {
        {0, 1, 1, "c_Cylinder"},     {0, 1, 0.5, "c_EllCylinder"}, {0.005, -1, 1, "c_Cylinder"},
        {1, 0.001, 1, "c_Plane"},    {0.5, r3 / 2, 1, "c_Cone"},  {0.5, r3 / 2, 0.5, "c_EllCone"},
        {0.5, r3 / 2, 0.9995, "c_Cone"},
    };
    for (const auto& c : cases) {
        const std::string text = "cone-surface $-1 0 0 0 0 0 1 1 0 0 " + std::to_string(c.ratio) + " I I " +
                                 std::to_string(c.sine) + " " + std::to_string(c.cosine) + " 1 forward I I I I #";
        OneRecord<acis_Cone> cone(400, text);
        SCOPED_TRACE(text);
        ASSERT_NE(cone.get()->getSurface(), nullptr);
        EXPECT_STREQ(cone.get()->getSurface()->className(), c.className);
    }
    OneRecord<acis_Cone> circular(400, "cone-surface $-1 0 0 0 0 0 1 1 0 0 1 I I 0.5 " + std::to_string(r3 / 2) +
                                           " 1 forward I I I I #");
    const auto* cone = dynamic_cast<const c_Cone*>(circular.get()->getSurface());
    ASSERT_NE(cone, nullptr);
    expectNear(cone->getOrigin(), aPoint(0, 0, -r3), 1e-6);
    EXPECT_NEAR(cone->getHalfAngle(), pi / 6, 1e-6);
}

TEST_F(AcisGeometryQueriesTest, AnalyticCurvesAnswerFromTheirLibraryCurve) {
    OneRecord<acis_Straight> line(400, "straight-curve $-1 1 2 3 0 0 2 F -5 F 5 #");
    ASSERT_NE(line.get()->getCurve(), nullptr);
    EXPECT_STREQ(line.get()->getCurve()->className(), "c_Line");
    EXPECT_EQ(line.get()->minParam(), 0);
    EXPECT_EQ(line.get()->maxParam(), 1);
    aPoint p;
    EXPECT_TRUE(line.get()->getPointAt(2, p));
    expectNear(p, aPoint(1, 2, 5));
    EXPECT_TRUE(line.get()->contains(aPoint(1, 2, -40)));
    EXPECT_FALSE(line.get()->contains(aPoint(1, 3, 0)));
    expectNear(line.get()->tangentAt(p), aVector(0, 0, 1));
    c_Plane plane;
    EXPECT_FALSE(line.get()->getAnalyticPlane(plane));

    const struct {
        const char* ratio;
        const char* className;
    } conics[] = {{"1", "c_Circle"}, {"0.5", "c_Ellipse"}};
    for (const auto& c : conics) {
        OneRecord<acis_Ellipse> ellipse(400, std::string("ellipse-curve $-1 0 0 1 0 0 1 2 0 0 ") + c.ratio +
                                                 " F 0 F 1 #");
        ASSERT_NE(ellipse.get()->getCurve(), nullptr);
        EXPECT_STREQ(ellipse.get()->getCurve()->className(), c.className);
        EXPECT_EQ(ellipse.get()->minParam(), -pi);
        EXPECT_EQ(ellipse.get()->maxParam(), pi);
        EXPECT_TRUE(ellipse.get()->isClosed());
        EXPECT_TRUE(ellipse.get()->getAnalyticPlane(plane));
        expectNear(plane.getNormal(), aVector(0, 0, 1));
        EXPECT_TRUE(ellipse.get()->getPointAt(pi / 2, p));
        EXPECT_NEAR(p.y, 2 * std::atof(c.ratio), 1e-12);
    }
}

TEST_F(AcisGeometryQueriesTest, SurfaceRecordsHoldTheirLibrarySurface) {
    OneRecord<acis_Sphere> sphere(400, "sphere-surface $-1 1 2 3 -2 1 0 0 0 0 1 forward_v I I I I #");
    const auto* s = dynamic_cast<const c_Sphere*>(sphere.get()->getSurface());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getRadius(), 2);  // a negative radius is the same sphere
    expectNear(sphere.get()->normalAt(aPoint(1, 2, 5)), aVector(0, 0, 1));
    OneRecord<acis_Torus> torus(400, "torus-surface $-1 0 0 0 0 0 1 3 1 1 0 0 forward_v I I I I #");
    ASSERT_NE(torus.get()->getSurface(), nullptr);
    EXPECT_STREQ(torus.get()->getSurface()->className(), "c_Torus");
    OneRecord<acis_Plane> plane(400, "plane-surface $-1 0 0 2 0 0 -1 1 0 0 forward_v I I I I #");
    expectNear(plane.get()->normalAt(origin), aVector(0, 0, -1));
    aPoint p;
    EXPECT_FALSE(plane.get()->getPointAt(3, 4, p));
    expectNear(p, aPoint(3, 4, 0));

    const char* nurbs = "exactsur nubs 1 1 open open none none 2 2 0 1 1 1 0 1 1 1 0 0 0 1 0 0 0 1 0 1 1 1";
    OneRecord<acis_Spline> spline(400, std::string("spline-surface $-1 forward { ") + nurbs + " } I I I I #");
    ASSERT_NE(spline.get()->getNURBSSurface(), nullptr);
    EXPECT_EQ(spline.get()->getSurface(), static_cast<c_Surface*>(spline.get()->getNURBSSurface()));
    EXPECT_TRUE(spline.get()->getPointAt(1, 1, p));
    expectNear(p, aPoint(1, 1, 1), 1e-6);
    OneRecord<acis_Spline> summary(600, "spline-surface $-1 forward { exactsur summary } I I I I #");
    EXPECT_EQ(summary.get()->getNURBSSurface(), nullptr);
    EXPECT_FALSE(summary.get()->getPointAt(0, 0, p));
}

// An intersection curve from (0, 0, 0) to (2, 0, 0) in two spans.
const char* kNurbsIntcurve =
    "intcurve-curve $-1 forward { exactcur nubs 1 open 3 0 1 1 1 2 1 0 0 0 1 0 0 2 0 0 null_surface null_surface "
    "nullbs nullbs I I } I I #";

TEST_F(AcisGeometryQueriesTest, IntersectionCurveRangesByItsVertices) {
    const std::string text = satHeader(400) + kNurbsIntcurve +
                             "\npoint $-1 0 0 0 #\npoint $-1 2 0 0 #\npoint $-1 0.5 0 0 #\nvertex $-1 $-1 $1 #\n"
                             "vertex $-1 $-1 $2 #\nvertex $-1 $-1 $3 #\nbody $-1 $-1 $-1 $-1 #\n";
    ParsedSat sat(text);
    auto* curve = sat.at<acis_Intcurve>(0);
    auto *start = sat.at<acis_Vertex>(4), *end = sat.at<acis_Vertex>(5), *middle = sat.at<acis_Vertex>(6);
    ASSERT_NE(curve->getCurve(), nullptr);
    EXPECT_EQ(curve->minParam(), 0);
    EXPECT_EQ(curve->maxParam(), 2);
    const struct {
        const acis_Vertex *start, *end;
        std::int32_t kind;
        double t0, t1;
    } cases[] = {
        {start, end, 1, 0, 2}, {start, start, 1, 0, 2}, {nullptr, nullptr, 1, 0, 2},
        {middle, end, 0, 0.5, 2}, {start, middle, 0, 0, 0.5},
    };
    for (const auto& c : cases) {
        double t0 = -1, t1 = -1;
        EXPECT_EQ(curve->edgeParameterRange(c.start, c.end, t0, t1), c.kind);
        EXPECT_NEAR(t0, c.t0, 1e-6);
        EXPECT_NEAR(t1, c.t1, 1e-6);
    }
    c_Plane plane;
    EXPECT_TRUE(curve->getPlane(plane));  // three collinear points: any plane through them
    EXPECT_FALSE(curve->isClosed());
}

TEST_F(AcisGeometryQueriesTest, IntersectionCurveWithoutGeometryAnswersNeutralValues) {
    OneRecord<acis_Intcurve> curve(600, "intcurve-curve $-1 forward { surfintcur other I I x null_surface null_surface "
                                        "nullbs nullbs I I } I I #");
    ASSERT_NE(curve.get()->mIntCurve, nullptr);
    EXPECT_EQ(curve.get()->getCurve(), nullptr);
    EXPECT_EQ(curve.get()->minParam(), 999999);
    EXPECT_EQ(curve.get()->maxParam(), -999999);
    aPoint p;
    EXPECT_FALSE(curve.get()->getPointAt(0, p));
    EXPECT_FALSE(curve.get()->contains(origin));
    expectNear(curve.get()->tangentAt(origin), zeroVector);
    double t0 = 0, t1 = 0;
    EXPECT_EQ(curve.get()->edgeParameterRange(nullptr, nullptr, t0, t1), 3);
}

TEST_F(AcisGeometryQueriesTest, SummaryCurveIsSampledThroughItsParameterSpaceCurve) {
    // The parameter-space line u = v = t on the plane patch z = 0 from (0, 0)
    // to (2, 2): a summary of three parameters.
    const std::string patch = "spline forward { exactsur full nubs 1 1 open open none none 2 2 0 1 1 1 0 1 1 1 "
                              "0 0 0 2 0 0 0 2 0 2 2 0 } I I I I";
    OneRecord<acis_Intcurve> curve(600, "intcurve-curve $-1 forward { surfintcur summary 3 0 0.5 1 0.001 x " + patch +
                                            " null_surface nubs 1 open 2 0 1 1 1 0 0 1 1 nullbs I I } I I #");
    ASSERT_NE(curve.get()->mIntCurve, nullptr);
    EXPECT_EQ(curve.get()->getCurve(), nullptr);
    double t0 = -1, t1 = -1;
    EXPECT_EQ(curve.get()->edgeParameterRange(nullptr, nullptr, t0, t1), 2);
    EXPECT_EQ(t0, 0);
    EXPECT_EQ(t1, 1);
    aPoint p;
    ASSERT_TRUE(curve.get()->getPointAt(0.25, p));
    expectNear(p, aPoint(0.5, 0.5, 0), 1e-6);
    curve.get()->beginSampling();
    std::vector<aPoint> samples;
    while (curve.get()->nextSample(p)) samples.push_back(p);
    // Every parameter, with ten points between each two.
    ASSERT_EQ(samples.size(), 23u);
    expectNear(samples[0], aPoint(0, 0, 0), 1e-6);
    expectNear(samples[1], aPoint(2 * 0.5 / 11, 2 * 0.5 / 11, 0), 1e-6);
    expectNear(samples[11], aPoint(1, 1, 0), 1e-6);
    expectNear(samples[22], aPoint(2, 2, 0), 1e-6);
}

TEST_F(AcisGeometryQueriesTest, RevolutionFrameIsolinesAndNormal) {
    // A line parallel to the z axis at distance 2, turned about the z axis: a
    // cylinder of radius 2.
    OneRecord<acis_Spline> spline(400, "spline-surface $-1 forward { rotsur straight 2 0 0 0 0 1 I I 0 0 0 0 0 5 "
                                       "I I I I 0 0 } I I I I #");
    const acis_spl_sur* sub = spline.get()->subtype;
    ASSERT_NE(sub, nullptr);
    expectNear(sub->uVector(), aVector(1, 0, 0));
    expectNear(sub->vVector(), aVector(0, 1, 0));
    c_Curve* curves[8] = {};
    ASSERT_EQ(sub->makeIsolines(4, curves), 8);
    Curves owned = take(curves, 8);
    for (int i = 0; i < 4; ++i) {
        const double angle = -2.141382 + i * pi / 2;
        ASSERT_STREQ(owned[i]->className(), "c_Line");
        expectNear(static_cast<const c_Line&>(*owned[i]).getPoint(), aPoint(2 * std::cos(angle), 2 * std::sin(angle), 0),
                   1e-12);
        ASSERT_STREQ(owned[4 + i]->className(), "c_Circle");
        const auto& circle = static_cast<const c_Circle&>(*owned[4 + i]);
        EXPECT_NEAR(circle.getRadius(), 2, 1e-12);
        EXPECT_NEAR(circle.getCenter().z, (1 + 3.0 * i) / 11, 1e-12);
    }
    EXPECT_EQ(sub->makeIsolines(0, curves), 0);
    // The revolution normal points towards the axis.
    expectNear(sub->normalAt(aPoint(0, 2, 0.3)), aVector(0, -1, 0), 1e-9);
    expectNear(sub->normalAt(aPoint(0, 0, 0.3)), aVector(0, 0, 1));
    EXPECT_EQ(err, "");

    OneRecord<acis_Spline> onAxis(400, "spline-surface $-1 forward { rotsur straight 0 0 0 0 0 1 I I 0 0 0 0 0 1 "
                                       "I I I I 0 0 } I I I I #");
    EXPECT_NE(err.find("zero U vector in acis_spl_sur::restore_rot_sur."), std::string::npos);
    const acis_spl_sur* degenerate = onAxis.get()->subtype;
    EXPECT_NEAR(dot(degenerate->uVector(), degenerate->vVector()), 0, 1e-12);
    EXPECT_NEAR(degenerate->uVector().length(), 1, 1e-12);
}

// A hemisphere of radius 1 above z = 0, bounded by the equator.
std::string hemisphere(const char* sense) {
    return satHeader(400) +
           "body $-1 $1 $-1 $-1 #\nlump $-1 $-1 $2 $0 #\nshell $-1 $-1 $-1 $3 $-1 $1 #\n"
           "face $-1 $-1 $4 $2 $-1 $5 forward single #\nloop $-1 $-1 $6 $3 #\n"
           "sphere-surface $-1 0 0 0 1 1 0 0 0 0 1 forward_v I I I I #\n"
           "coedge $-1 $6 $6 $-1 $7 " + sense + " $4 $-1 #\nedge $-1 $8 $8 $6 $10 forward #\n"
           "vertex $-1 $7 $9 #\npoint $-1 1 0 0 #\nellipse-curve $-1 0 0 0 0 0 1 1 0 0 1 I I #\n";
}

TEST_F(AcisGeometryQueriesTest, FaceClassificationOnAHemisphere) {
    ParsedSat sat(hemisphere("forward"));
    auto* face = sat.at<acis_Face>(3);
    ASSERT_NE(face, nullptr);
    const double r = std::sqrt(0.5);
    const struct {
        aPoint p;
        FaceClass want;
    } cases[] = {
        {{0, 0, 1}, fcIn}, {{0, 0, -1}, fcOut}, {{r, 0, r}, fcIn}, {{0, -r, -r}, fcOut}, {{1, 0, 0}, fcIn},
    };
    const double before[5] = {BasicAngleTol, BasicDistanceTol, BasicDistanceSquaredTol, BasicUnitTol,
                              getPointTolerance()};
    for (const auto& c : cases) {
        EXPECT_EQ(face->classify(c.p), c.want) << c.p.x << " " << c.p.y << " " << c.p.z;
        const double after[5] = {BasicAngleTol, BasicDistanceTol, BasicDistanceSquaredTol, BasicUnitTol,
                                 getPointTolerance()};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(after[i], before[i]) << i;
    }
    // The boundary run the other way round bounds the other half.
    ParsedSat lower(hemisphere("reversed"));
    EXPECT_EQ(lower.at<acis_Face>(3)->classify(aPoint(0, 0, -1)), fcIn);
    EXPECT_EQ(lower.at<acis_Face>(3)->classify(aPoint(0, 0, 1)), fcOut);
}

TEST_F(AcisGeometryQueriesTest, FacesWithoutBoundaryOrSurface) {
    ParsedSat sphere(satHeader(400) + "body $-1 $1 $-1 $-1 #\nlump $-1 $-1 $2 $0 #\nshell $-1 $-1 $-1 $3 $-1 $1 #\n"
                                      "face $-1 $-1 $-1 $2 $-1 $4 forward single #\n"
                                      "sphere-surface $-1 0 0 0 1 1 0 0 0 0 1 forward_v I I I I #\n");
    EXPECT_EQ(sphere.at<acis_Face>(3)->classify(aPoint(0, 0, -1)), fcIn);
    // A plane gives no ray through a point, so nothing decides.
    ParsedSat square(satHeader(400) + "face $-1 $-1 $1 $-1 $-1 $4 forward single #\nloop $-1 $-1 $2 $0 #\n"
                                      "coedge $-1 $2 $2 $-1 $3 forward $1 $-1 #\nedge $-1 $-1 $-1 $2 $5 forward #\n"
                                      "plane-surface $-1 0 0 0 0 0 1 1 0 0 forward_v I I I I #\n"
                                      "straight-curve $-1 0 0 0 1 0 0 I I #\nbody $-1 $-1 $-1 $-1 #\n");
    EXPECT_EQ(square.at<acis_Face>(0)->classify(aPoint(0.5, 0.5, 0)), fcUnknown);
    expectNear(square.at<acis_Face>(0)->faceNormal(origin), aVector(0, 0, 1));
}

TEST_F(AcisGeometryQueriesTest, EdgeClassesAndMidPoints) {
    // A circle edge from angle 0 round to π/2 and a straight edge with one vertex.
    ParsedSat sat(satHeader(400) + "edge $-1 $1 $2 $-1 $5 forward #\nvertex $-1 $0 $3 #\nvertex $-1 $0 $4 #\n"
                                   "point $-1 1 0 0 #\npoint $-1 0 1 0 #\nellipse-curve $-1 0 0 0 0 0 1 1 0 0 1 I I #\n"
                                   "edge $-1 $1 $-1 $-1 $7 forward #\nstraight-curve $-1 0 0 0 1 0 0 I I #\n"
                                   "edge $-1 $1 $1 $-1 $5 forward #\nbody $-1 $-1 $-1 $-1 #\n");
    const acis_Edge* arc = sat.at<acis_Edge>(0);
    const acis_Edge* half = sat.at<acis_Edge>(6);
    const acis_Edge* loop = sat.at<acis_Edge>(8);
    const double r = std::sqrt(0.5);
    const struct {
        const acis_Edge* edge;
        aPoint p;
        EdgeClass want;
    } cases[] = {
        {arc, {1, 0, 0}, ecOnStartV},  {arc, {0, 1, 0}, ecOnEndV},      {arc, {r, r, 0}, ecIn},
        {arc, {-r, -r, 0}, ecOut},     {arc, {2, 2, 0}, ecOut},         {half, {1, 0, 0}, ecOnStartV},
        {half, {-7, 0, 0}, ecIn},      {loop, {1, 0, 0}, ecOnStartAndEndV}, {loop, {-1, 0, 0}, ecIn},
    };
    for (const auto& c : cases) EXPECT_EQ(c.edge->classifyPoint(c.p), c.want) << c.p.x << " " << c.p.y;
    expectNear(arc->getMidPoint(), aPoint(r, r, 0), 1e-12);
    // From π/2 back round to 0 the edge runs across the seam at ±π; of its
    // two pieces there, [−π, 0] is the longer.
    ParsedSat across(satHeader(400) + "edge $-1 $1 $2 $-1 $5 forward #\nvertex $-1 $0 $3 #\nvertex $-1 $0 $4 #\n"
                                      "point $-1 0 1 0 #\npoint $-1 1 0 0 #\nellipse-curve $-1 0 0 0 0 0 1 1 0 0 1 I I #\n"
                                      "body $-1 $-1 $-1 $-1 #\n");
    expectNear(across.at<acis_Edge>(0)->getMidPoint(), aPoint(0, -1, 0), 1e-12);
    ParsedSat bare(satHeader(400) + "vertex $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n");
    expectNear(bare.at<acis_Vertex>(0)->getPoint(), origin);
}

}  // namespace
