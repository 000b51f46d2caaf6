// Geometry records: their fields by version, the sense and range forms, the
// transform's flags and the subtype data of spline surfaces and
// intersection curves.
#include "sat_fixture.h"
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"

#include <string>

namespace {

class AcisGeometryTest : public SolidsTest {};

TEST_F(AcisGeometryTest, SenseForms) {
    const struct {
        int version;
        const char* word;
        std::int32_t sense;
    } cases[] = {
        {400, "forward", 0}, {400, "forward_v", 0}, {400, "reversed", 1}, {400, "reverse_v", 1}, {400, "0", 3},
        {106, "0", 0},       {106, "1", 1},         {106, "2", 3},        {106, "forward", 3},
    };
    for (const auto& c : cases) {
        const std::string ranges = c.version >= 106 ? " I I I I" : "";
        OneRecord<acis_Plane> plane(c.version, std::string("plane-surface $-1 0 0 0 0 0 1 1 0 0 ") + c.word + ranges +
                                                   " #");
        ASSERT_NE(plane.get(), nullptr);
        EXPECT_EQ(plane.get()->sense, c.sense) << c.version << " " << c.word;
    }
}

TEST_F(AcisGeometryTest, RangeForms) {
    const struct {
        int version;
        const char* range;
        bool lowFinite, highFinite;
        double low, high;
    } cases[] = {
        {400, "I I", false, false, 0, 0},
        {400, "F 0 I", true, false, 0, 0},
        {400, "F -2 F 3.5", true, true, -2, 3.5},
        {106, "0 0", false, false, 0, 0},
        {106, "1 0 1 1383.97", true, true, 0, 1383.97},  // the numeric form older texts write
        {106, "F 0 F 2", true, true, 0, 2},
        {105, "", false, false, 0, 0},  // no range before 106
    };
    for (const auto& c : cases) {
        OneRecord<acis_Straight> line(c.version, std::string("straight-curve $-1 0 0 0 1 0 0 ") + c.range + " #");
        SCOPED_TRACE(std::to_string(c.version) + " " + c.range);
        ASSERT_NE(line.get(), nullptr);
        const aInterval& range = line.get()->range();
        EXPECT_EQ(range.lowFinite, c.lowFinite);
        EXPECT_EQ(range.highFinite, c.highFinite);
        EXPECT_EQ(range.low, c.low);
        EXPECT_EQ(range.high, c.high);
        EXPECT_EQ(err, "");
    }
}

TEST_F(AcisGeometryTest, TransformColumnsAndFlags) {
    const struct {
        const char* flags;
        bool rotate, reflect, shear;
    } cases[] = {
        {"no_rotate no_reflect no_shear", false, false, false},
        {"1 0 0", true, false, false},
        {"rotate reflect shear", true, true, true},
        {"reflect rotate 1", false, false, true},
    };
    for (const auto& c : cases) {
        OneRecord<acis_Transform> transform(
            400, std::string("transform $-1 1 2 3 4 5 6 7 8 9 10 20 30 2 ") + c.flags + " #");
        acis_Transform* t = transform.get();
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->rotate, c.rotate) << c.flags;
        EXPECT_EQ(t->reflect, c.reflect) << c.flags;
        EXPECT_EQ(t->shear, c.shear) << c.flags;
        const double columns[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 20, 30, 2};
        for (int i = 0; i < 16; ++i) EXPECT_EQ(t->matrix[i], columns[i]) << i;
    }
    acis_Transform identity;
    EXPECT_EQ(identity.matrix[0], 1);
    EXPECT_EQ(identity.matrix[5], 1);
    EXPECT_EQ(identity.matrix[4], 0);
    EXPECT_EQ(identity.matrix[15], 1);
}

TEST_F(AcisGeometryTest, ConeReadsItsScaleFromVersion400) {
    OneRecord<acis_Cone> v300(300, "cone-surface $-1 1 2 3 0 0 1 2 0 0 0.5 I I 0.5 0.8660254 forward I I I I #");
    OneRecord<acis_Cone> v400(400, "cone-surface $-1 1 2 3 0 0 1 2 0 0 0.5 I I 0.5 0.8660254 3 reversed I I I I #");
    for (acis_Cone* cone : {v300.get(), v400.get()}) {
        ASSERT_NE(cone, nullptr);
        EXPECT_EQ(cone->base->centre.z, 3);
        EXPECT_EQ(cone->base->majorAxis.x, 2);
        EXPECT_EQ(cone->base->ratio, 0.5);
        EXPECT_EQ(cone->sine, 0.5);
        EXPECT_EQ(cone->cosine, 0.8660254);
    }
    EXPECT_EQ(v300.get()->uScale, 1);
    EXPECT_EQ(v300.get()->sense, kSenseForward);
    EXPECT_EQ(v400.get()->uScale, 3);
    EXPECT_EQ(v400.get()->sense, kSenseReversed);
    EXPECT_EQ(err, "");
}

TEST_F(AcisGeometryTest, IntcurveSenseWords) {
    const struct {
        const char* word;
        bool reversed;
        const char* err;
    } cases[] = {
        {"forward", false, ""},
        {"0", false, ""},
        {"reversed", true, ""},
        {"1", true, ""},
        {"2", false, "*** ERROR: Bad direction flag in acis_Intcurve::readData (2)\n"},
    };
    for (const auto& c : cases) {
        err.clear();
        OneRecord<acis_Intcurve> curve(
            400, std::string("intcurve-curve $-1 ") + c.word +
                     " { exactcur nubs 1 open 2 0 1 1 1 0 0 0 1 0 0 0 null_surface null_surface nullbs nullbs I I } "
                     "I I #");
        ASSERT_NE(curve.get(), nullptr);
        EXPECT_EQ(curve.get()->reversed, c.reversed) << c.word;
        EXPECT_EQ(err, c.err);
        ASSERT_NE(curve.get()->mIntCurve, nullptr);
        EXPECT_EQ(curve.get()->mIntCurve->bspline()->pointCount(), 2);
    }
}

TEST_F(AcisGeometryTest, ASubtypeOfTheWrongKindLeavesTheReferenceNull) {
    ParsedSat sat(satHeader(400) +
                  "spline-surface $-1 forward { exactsur nullbs } I I I I #\n"
                  "intcurve-curve $-1 forward { ref 0 } I I #\n"
                  "spline-surface $-1 forward { exactcur nullbs 0 null_surface null_surface nullbs nullbs I I } "
                  "I I I I #\n"
                  "body $-1 $-1 $-1 $-1 #\n");
    ASSERT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(sat.at<acis_Intcurve>(1)->mIntCurve, nullptr);
    EXPECT_EQ(sat.at<acis_Spline>(2)->subtype, nullptr);
    EXPECT_EQ(err, "*** ERROR: acis_Intcurve::readData: expected int_cur; found spl_sur\n");
}

TEST_F(AcisGeometryTest, BsplineKnotsAndWeights) {
    // A cubic with knots 0 and 1 of multiplicity 3 has eight knots and four
    // points; a rational curve keeps its points multiplied by their weights.
    OneRecord<acis_Intcurve> cubic(
        400,
        "intcurve-curve $-1 forward { exactcur nurbs 3 open 2 0 3 1 3 "
        "0 0 0 1  1 0 0 2  2 1 0 2  3 1 0 1 0 null_surface null_surface nullbs nullbs I I } I I #");
    ASSERT_NE(cubic.get(), nullptr);
    ASSERT_NE(cubic.get()->mIntCurve, nullptr);
    const SatBsplineCurve* curve = cubic.get()->mIntCurve->bspline();
    ASSERT_NE(curve, nullptr);
    EXPECT_TRUE(curve->rational);
    EXPECT_EQ(curve->knots, (std::vector<float>{0, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(curve->pointCount(), 4);
    EXPECT_EQ(curve->points[4 * 2 + 0], 4.0f);  // x 2 times weight 2
    EXPECT_EQ(curve->points[4 * 2 + 3], 2.0f);
    EXPECT_EQ(err, "");
}

TEST_F(AcisGeometryTest, BsplineDataOutOfRangeIsRefused) {
    const char* bad[] = {
        "nubs 0 open 2 0 1 1 1 0 0 0 1 0 0",              // degree 0
        "nubs 99 open 2 0 1 1 1 0 0 0 1 0 0",             // degree beyond any writer's
        "nubs 1 open 2 0 2000000000 1 1 0 0 0 1 0 0",     // a multiplicity that would demand gigabytes
        "nubs 1 open 2 0 -1 1 1 0 0 0 1 0 0",             // a negative multiplicity
        "nubs 1 open 0 0 0 0 1 0 0",                      // no knots
        "nubs 1 open 2147483647 0 1 1 1 0 0 0 1 0 0",     // more knots than the text holds
    };
    for (const char* data : bad) {
        OneRecord<acis_Intcurve> curve(400, std::string("intcurve-curve $-1 forward { exactcur ") + data +
                                                " 0 null_surface null_surface nullbs nullbs I I } I I #");
        ASSERT_NE(curve.get(), nullptr) << data;
        ASSERT_NE(curve.get()->mIntCurve, nullptr) << data;
        EXPECT_EQ(curve.get()->mIntCurve->bspline(), nullptr) << data;
        EXPECT_EQ(curve.sat.parser().bodyCount(), 1) << data;  // the next record is read normally
    }
}

TEST_F(AcisGeometryTest, SummaryAndOtherCurveForms) {
    OneRecord<acis_Intcurve> summary(
        600, "intcurve-curve $-1 forward { surfintcur summary 3 0 0.5 1 0.001 x null_surface null_surface nullbs "
             "nullbs F 0 F 1 } I I #");
    ASSERT_NE(summary.get()->mIntCurve, nullptr);
    EXPECT_EQ(summary.get()->mIntCurve->bspline(), nullptr);
    EXPECT_EQ(summary.get()->mIntCurve->parameters(), (std::vector<double>{0, 0.5, 1}));
    EXPECT_EQ(summary.get()->mIntCurve->fitTolerance(), 0.001);
    // A version-600 exact surface given as a summary has no B-spline surface.
    OneRecord<acis_Spline> spline(600, "spline-surface $-1 forward { exactsur summary 1 2 3 } I I I I #");
    ASSERT_NE(spline.get()->subtype, nullptr);
    EXPECT_EQ(spline.get()->subtype->bspline(), nullptr);
    EXPECT_EQ(err, "");
}

TEST_F(AcisGeometryTest, IntersectionCurveSurfaces) {
    OneRecord<acis_Intcurve> curve(
        400,
        "intcurve-curve $-1 forward { surfintcur nubs 1 open 2 0 1 1 1 0 0 0 1 0 0 0 "
        "plane 0 0 0 0 0 1 1 0 0 forward_v I I I I sphere 0 0 0 1 1 0 0 0 0 1 forward_v I I I I "
        "nubs 1 open 2 0 1 1 1 0 0 1 0 nullbs I I } I I #");
    acis_int_cur* sub = curve.get()->mIntCurve;
    ASSERT_NE(sub, nullptr);
    EXPECT_NE(dynamic_cast<const acis_Plane*>(sub->surface1()), nullptr);
    EXPECT_NE(dynamic_cast<const acis_Sphere*>(sub->surface2()), nullptr);
    ASSERT_NE(sub->pcurve1(), nullptr);
    EXPECT_EQ(sub->pcurve1()->dimension, 2);
    EXPECT_EQ(sub->pcurve1()->points[4], 1.0f);  // (1, 0) of the second point
    EXPECT_EQ(sub->pcurve2(), nullptr);
    EXPECT_EQ(err, "");
    // An unknown surface name ends the subtype with a syntax error; the next
    // record is still read.
    OneRecord<acis_Intcurve> bad(400, "intcurve-curve $-1 forward { surfintcur nullbs 0 blob 1 2 } I I #");
    EXPECT_NE(err.find("Syntax error at sequence number 0: blob"), std::string::npos);
    EXPECT_EQ(bad.sat.parser().bodyCount(), 1);
}

TEST_F(AcisGeometryTest, PcurveFormsByVersion) {
    OneRecord<acis_Pcurve> direct(104, "pcurve $-1 0 x nubs 1 open 2 0 1 1 1 0 0 1 1 0 plane 0 0 0 0 0 1 1 0 0 0 "
                                       "0.5 0.25 #");
    ASSERT_NE(direct.get(), nullptr);
    ASSERT_NE(direct.get()->mIntCurve, nullptr);
    EXPECT_EQ(direct.get()->mIntCurve->kind(), "exppc");
    EXPECT_EQ(direct.get()->mIntCurve->bspline()->dimension, 2);
    EXPECT_NE(direct.get()->mIntCurve->surface1(), nullptr);
    EXPECT_EQ(direct.get()->values[1], 0.25);
    OneRecord<acis_Pcurve> braced(400, "pcurve $-1 0 x { exppc nubs 1 open 2 0 1 1 1 0 0 1 1 0 null_surface } 1 2 #");
    ASSERT_NE(braced.get()->mIntCurve, nullptr);
    EXPECT_EQ(braced.get()->values[0], 1);
    OneRecord<acis_Pcurve> other(400, "pcurve $-1 3 x 1 2 #");
    EXPECT_EQ(other.get()->kind, 3);
    EXPECT_EQ(other.get()->mIntCurve, nullptr);
    EXPECT_EQ(err, "");
}

TEST_F(AcisGeometryTest, SurfaceSubtypeKinds) {
    const char* nurbs = "nubs 1 1 open open none none 2 2 0 1 1 1 0 1 1 1 0 0 0 1 0 0 0 1 0 1 1 0";
    const struct {
        int version;
        std::string subtype;
        bool hasSurface;
        bool revolution;
    } cases[] = {
        {400, std::string("exactsur ") + nurbs, true, false},
        {600, std::string("exactsur full ") + nurbs, true, false},
        {400, std::string("netsur 2 0 straight 0 0 0 1 0 0 I I 1 null_curve 1 0.5 null_curve 1 2 3 4 ") + nurbs, true,
         false},
        {400, "rotsur straight 1 0 0 0 0 1 I I 0 0 0 0 0 1 I I I I 0 0", false, true},
        {600, std::string("rotsur straight 1 0 0 0 0 1 I I 0 0 0 0 0 1 full ") + nurbs, true, true},
        {400, std::string("sweepsur w straight 0 0 0 1 0 0 I I null_curve w 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1 2 3 "
                          "4 5 6 8 null_law 8 null_law 8 null_law ") +
                  nurbs,
         true, false},
        {400, std::string("skinsur a b c 1 1 2 3 4 5 null_curve 1 2 3 null_surface 1 8 null_law 0 ") + nurbs, true,
         false},
        {400, "offsur anything at all", false, false},
    };
    for (const auto& c : cases) {
        err.clear();
        OneRecord<acis_Spline> spline(c.version, "spline-surface $-1 forward { " + c.subtype + " } I I I I #");
        SCOPED_TRACE(c.subtype);
        ASSERT_NE(spline.get(), nullptr);
        ASSERT_NE(spline.get()->subtype, nullptr);
        EXPECT_EQ(spline.get()->subtype->bspline() != nullptr, c.hasSurface);
        EXPECT_EQ(spline.get()->isSurfaceOfRevolution(), c.revolution);
        EXPECT_EQ(err, "");
        EXPECT_EQ(spline.sat.parser().bodyCount(), 1);
    }
}

TEST_F(AcisGeometryTest, RevolutionAxisIsUnit) {
    OneRecord<acis_Spline> spline(400, "spline-surface $-1 forward { rotsur straight 1 0 0 0 0 1 I I 5 0 0 0 0 3 "
                                       "I I I I 0 0 } I I I I #");
    const acis_spl_sur* sub = spline.get()->subtype;
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->axisRoot().x, 5);
    EXPECT_EQ(sub->axisDirection().z, 1);
    EXPECT_NE(dynamic_cast<const acis_Straight*>(sub->profile()), nullptr);
}

}  // namespace
