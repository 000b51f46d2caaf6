// Whole bodies written in several versions of the text: each parses with the
// full answer into the object graph it describes.
#include "sat_graph.h"
#include "solids_fixture.h"
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/sat_parser.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

std::filesystem::path fixture(const char* name) { return std::filesystem::path(VT_TEST_DATA_DIR) / "sat" / name; }

class SatFixturesTest : public SolidsTest {};

struct FixtureCase {
    const char* file;
    std::int32_t version;
    BodyCounts counts;
    // Further checks of the first face's geometry.
    std::function<void(const acis_Face&)> check;
};

void expectCylinderSide(const acis_Face& first) {
    const acis_Face* side = first.next->next;
    auto* cone = dynamic_cast<const acis_Cone*>(side->surface);
    ASSERT_NE(cone, nullptr);
    EXPECT_EQ(cone->sine, 0);
    EXPECT_EQ(cone->cosine, 1);
    EXPECT_EQ(cone->base->majorAxis.x, 1);
    auto* circle = dynamic_cast<const acis_Ellipse*>(side->loop->coedge->edge->curve);
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(side->loop->coedge->edge->start, side->loop->coedge->edge->end);
}

void expectNurbsPatch(const acis_Face& face) {
    auto* spline = dynamic_cast<const acis_Spline*>(face.surface);
    ASSERT_NE(spline, nullptr);
    ASSERT_NE(spline->subtype, nullptr);
    const SatBsplineSurface* patch = spline->subtype->bspline();
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(patch->uCount, 2);
    EXPECT_EQ(patch->vCount, 2);
    EXPECT_EQ(patch->uKnots, (std::vector<float>{0, 0, 1, 1}));
    EXPECT_EQ(patch->points[3 * 4 + 2], 1.0f);  // the corner (1, 1, 1)
    auto* curve = dynamic_cast<const acis_Intcurve*>(face.loop->coedge->edge->curve);
    ASSERT_NE(curve, nullptr);
    ASSERT_NE(curve->mIntCurve, nullptr);
    const SatBsplineCurve* line = curve->mIntCurve->bspline();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->degree, 1);
    EXPECT_EQ(line->pointCount(), 2);
    EXPECT_EQ(line->points[4], 1.0f);  // the second point's x
}

TEST_F(SatFixturesTest, FixturesParseIntoTheirGraphs) {
    const FixtureCase cases[] = {
        {"square_103.sat", 103, {1, 1, 1, 1, 4, 4, 4}, nullptr},
        {"square_106.sat", 106, {1, 1, 1, 1, 4, 4, 4}, nullptr},
        {"box_200.sat", 200, {1, 1, 6, 6, 24, 12, 8}, nullptr},
        {"box_400.sat", 400, {1, 1, 6, 6, 24, 12, 8}, nullptr},
        {"cylinder_106.sat", 106, {1, 1, 3, 4, 4, 2, 2}, expectCylinderSide},
        {"cylinder_500.sat", 500, {1, 1, 3, 4, 4, 2, 2}, expectCylinderSide},
        {"sphere_400.sat", 400, {1, 1, 1, 0, 0, 0, 0},
         [](const acis_Face& face) {
             auto* sphere = dynamic_cast<const acis_Sphere*>(face.surface);
             ASSERT_NE(sphere, nullptr);
             EXPECT_EQ(sphere->radius, 2);
             EXPECT_EQ(sphere->centre.z, 3);
             EXPECT_TRUE(face.isUnbounded());
         }},
        {"sphere_600.sat", 600, {1, 1, 1, 0, 0, 0, 0}, nullptr},
        {"torus_300.sat", 300, {1, 1, 1, 0, 0, 0, 0},
         [](const acis_Face& face) {
             auto* torus = dynamic_cast<const acis_Torus*>(face.surface);
             ASSERT_NE(torus, nullptr);
             EXPECT_EQ(torus->majorRadius, 3);
             EXPECT_EQ(torus->minorRadius, 1);
             EXPECT_EQ(torus->sense, kSenseForward);
         }},
        {"torus_600.sat", 600, {1, 1, 1, 0, 0, 0, 0}, nullptr},
        {"nurbs_face_400.sat", 400, {1, 1, 1, 1, 4, 4, 4}, expectNurbsPatch},
        {"nurbs_face_600.sat", 600, {1, 1, 1, 1, 4, 4, 4}, expectNurbsPatch},
    };
    for (const FixtureCase& c : cases) {
        SCOPED_TRACE(c.file);
        std::filebuf file;
        ASSERT_TRUE(file.open(fixture(c.file), std::ios::in | std::ios::binary));
        satParser parser(&file);
        ASSERT_EQ(parser.parse(), SAT_DONE);
        EXPECT_EQ(parser.version(), c.version);
        acis_Body* body = parser.firstBody();
        ASSERT_NE(body, nullptr);
        EXPECT_EQ(parser.nextBody(), nullptr);
        const BodyCounts n = countBody(body);
        EXPECT_EQ(n.lumps, c.counts.lumps);
        EXPECT_EQ(n.shells, c.counts.shells);
        EXPECT_EQ(n.faces, c.counts.faces);
        EXPECT_EQ(n.loops, c.counts.loops);
        EXPECT_EQ(n.coedges, c.counts.coedges);
        EXPECT_EQ(n.edges, c.counts.edges);
        EXPECT_EQ(n.vertices, c.counts.vertices);
        // Every coedge's partner points back, every edge's ends have points.
        for (const acis_Face* face = body->lump->shell->face; face; face = face->next)
            for (const acis_Loop* loop = face->loop; loop; loop = loop->next) {
                EXPECT_EQ(loop->face, face);
                const acis_CoEdge* first = loop->coedge;
                for (const acis_CoEdge* e = first; e; e = e->nextInRing(first)) {
                    EXPECT_EQ(e->next->previous, e);
                    if (e->partner) {
                        EXPECT_EQ(e->partner->partner, e);
                    }
                    ASSERT_NE(e->edge, nullptr);
                    ASSERT_NE(e->edge->curve, nullptr);
                    ASSERT_TRUE(e->edge->start && e->edge->start->point);
                }
            }
        if (c.check) c.check(*body->lump->shell->face);
        EXPECT_EQ(err, "");
    }
}

TEST_F(SatFixturesTest, PointsWidenTheExtents) {
    std::filebuf file;
    ASSERT_TRUE(file.open(fixture("box_400.sat"), std::ios::in | std::ios::binary));
    satParser parser(&file);
    resetSatPointExtents();
    ASSERT_EQ(parser.parse(), SAT_DONE);
    const aBoundingBox extents = satPointExtents();
    EXPECT_TRUE(extents.valid);
    // The first point replaced the (-1, 1) box, although it lay inside it.
    EXPECT_EQ(extents.box.xmin, 0);
    EXPECT_EQ(extents.box.xmax, 1);
    EXPECT_EQ(extents.box.zmin, 0);
    EXPECT_EQ(extents.box.zmax, 1);
}

}  // namespace
