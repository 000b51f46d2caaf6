// The wireframe of a SAT text through the display engine's request: every
// edge once, the display curves of each face cut to the face, the body
// transform applied, and the same picture whatever the read chunks.
#include "acis_request_recorder.h"
#include "sat_fixture.h"
#include "toolkit/solids/acis_bridge.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/tolerances.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(VT_TEST_DATA_DIR) + "/sat/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// "mode/vertices" of every primitive, in order.
std::string shape(const RecordingRequest& r) {
    std::string s;
    for (const auto& p : r.primitives) s += (s.empty() ? "" : " ") + std::to_string(p.mode) + "/" + std::to_string(p.vertices.size());
    return s;
}

class AcisRenderTest : public SolidsTest {};

TEST_F(AcisRenderTest, FixtureWireframes) {
    const std::string circle = "3/41", circles2 = circle + " " + circle;
    const std::string pair = "1/2", pairs4 = pair + " " + pair + " " + pair + " " + pair;
    const struct {
        const char* file;
        std::string shape;
        int segments;
    } cases[] = {
        {"square_103.sat", pairs4, 4},
        {"square_106.sat", pairs4, 4},
        {"box_200.sat", pairs4 + " " + pairs4 + " " + pairs4, 12},
        {"box_400.sat", pairs4 + " " + pairs4 + " " + pairs4, 12},
        // Two circles, then the side's four rulings and two silhouettes as
        // segments between the circles.
        {"cylinder_106.sat", circles2 + " 1/12", 86},
        {"cylinder_500.sat", circles2 + " 1/12", 86},
        {"tube_400.sat", circles2 + " " + circles2 + " 1/12 1/12", 172},
        // Four circles about each axis and the silhouette.
        {"sphere_400.sat", circles2 + " " + circles2 + " " + circles2 + " " + circles2 + " " + circles2 + " " + circles2 + " " + circle, 520},
        {"torus_300.sat", circles2 + " " + circles2 + " " + circles2 + " " + circles2, 320},
        {"nurbs_face_400.sat", "3/3 3/3 3/3 3/3", 8},
        {"nurbs_face_600.sat", "3/3 3/3 3/3 3/3", 8},
    };
    for (const auto& c : cases) {
        RecordingRequest r(fixture(c.file));
        EXPECT_EQ(r.render(), 0);
        EXPECT_EQ(shape(r), c.shape) << c.file;
        EXPECT_EQ(r.segments(), c.segments) << c.file;
        for (const auto& p : r.primitives) EXPECT_TRUE(p.ended) << c.file;
    }
    EXPECT_EQ(err, "");
}

TEST_F(AcisRenderTest, BoxEdgesComeOnceEach) {
    RecordingRequest r(fixture("box_400.sat"));
    r.render();
    std::set<std::pair<std::tuple<double, double, double>, std::tuple<double, double, double>>> edges;
    for (const auto& p : r.primitives) {
        ASSERT_EQ(p.vertices.size(), 2u);
        auto a = std::make_tuple(p.vertices[0].x, p.vertices[0].y, p.vertices[0].z);
        auto b = std::make_tuple(p.vertices[1].x, p.vertices[1].y, p.vertices[1].z);
        EXPECT_NEAR(p.vertices[0].distanceTo(p.vertices[1]), 1, 1e-12);
        edges.insert({std::min(a, b), std::max(a, b)});
    }
    EXPECT_EQ(edges.size(), 12u);
}

TEST_F(AcisRenderTest, CylinderCirclesAndRulingsLieOnTheSolid) {
    RecordingRequest r(fixture("cylinder_500.sat"));
    r.render();
    ASSERT_EQ(r.primitives.size(), 3u);
    for (int i = 0; i < 2; ++i)
        for (const aPoint& p : r.primitives[i].vertices) {
            EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-6);
            EXPECT_NEAR(p.z, 2.0 * i, 1e-12);
        }
    const auto& rulings = r.primitives[2].vertices;
    for (std::size_t i = 0; i + 1 < rulings.size(); i += 2) {
        EXPECT_NEAR(std::hypot(rulings[i].x, rulings[i].y), 1, 1e-6);
        EXPECT_NEAR(rulings[i].distanceTo(rulings[i + 1]), 2, 1e-6);
    }
}

TEST_F(AcisRenderTest, HemisphereCirclesAreCutAtTheEquator) {
    // Circles that cross the boundary, some leaving the face at their first
    // crossing, are drawn on the face only.
    const std::string text = satHeader(400) +
                             "body $-1 $1 $-1 $-1 #\nlump $-1 $-1 $2 $0 #\nshell $-1 $-1 $-1 $3 $-1 $1 #\n"
                             "face $-1 $-1 $4 $2 $-1 $5 forward single #\nloop $-1 $-1 $6 $3 #\n"
                             "sphere-surface $-1 0 0 0 1 1 0 0 0 0 1 forward_v I I I I #\n"
                             "coedge $-1 $6 $6 $-1 $7 forward $4 $-1 #\nedge $-1 $8 $8 $6 $10 forward #\n"
                             "vertex $-1 $7 $9 #\npoint $-1 1 0 0 #\nellipse-curve $-1 0 0 0 0 0 1 1 0 0 1 I I #\n"
                             "End-of-ACIS-data\n";
    RecordingRequest r(text);
    r.render();
    ASSERT_GT(r.primitives.size(), 1u);
    int below = 0, above = 0;
    for (const auto& p : r.primitives)
        for (const aPoint& v : p.vertices) {
            EXPECT_NEAR(v.distanceTo(origin), 1, 1e-6);
            (v.z < -1e-6 ? below : above) += 1;
        }
    EXPECT_EQ(below, 0);
    EXPECT_GT(above, 0);
}

TEST_F(AcisRenderTest, ReadChunksDoNotChangeThePicture) {
    for (const char* file : {"box_400.sat", "cylinder_106.sat", "tube_400.sat", "nurbs_face_600.sat"}) {
        RecordingRequest whole(fixture(file), 512), bytes(fixture(file), 1), odd(fixture(file), 37);
        whole.render();
        bytes.render();
        odd.render();
        ASSERT_EQ(shape(whole), shape(bytes)) << file;
        ASSERT_EQ(shape(whole), shape(odd)) << file;
        for (std::size_t i = 0; i < whole.primitives.size(); ++i)
            for (std::size_t k = 0; k < whole.primitives[i].vertices.size(); ++k) {
                EXPECT_EQ(whole.primitives[i].vertices[k].x, bytes.primitives[i].vertices[k].x) << file;
                EXPECT_EQ(whole.primitives[i].vertices[k].z, odd.primitives[i].vertices[k].z) << file;
            }
    }
}

TEST_F(AcisRenderTest, TextsThatDrawNothing) {
    const std::string cases[] = {
        "",                                                // a read that answers 0 at once
        "700 0 1 0\n" + fixture("box_400.sat").substr(9),  // a version not read
        "102 0 1 0\nbody $-1 $-1 $-1 $-1 #\n",
        satHeader(400),  // no body
    };
    for (const auto& text : cases) {
        RecordingRequest r(text);
        EXPECT_EQ(r.render(), 0);
        EXPECT_EQ(r.callbacks(), 0) << text.substr(0, 12);
    }
    AdAcisRequest none{};
    EXPECT_EQ(adAcisRender(&none), 0);
    EXPECT_EQ(adAcisRender(nullptr), 0);
}

TEST_F(AcisRenderTest, TheBodyWrittenLastComesFirst) {
    RecordingRequest r(fixture("two_squares_400.sat"));
    r.render();
    ASSERT_EQ(r.primitives.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i)
        for (const aPoint& v : r.primitives[i].vertices) EXPECT_EQ(v.z, i < 4 ? 5 : 0);
}

TEST_F(AcisRenderTest, AMovedBodyIsDrawnWhereItStands) {
    RecordingRequest r(fixture("moved_box_400.sat"));
    r.render();
    ASSERT_EQ(r.segments(), 12);
    std::set<std::tuple<double, double, double>> corners;
    for (const auto& p : r.primitives)
        for (const aPoint& v : p.vertices) corners.insert({std::round(v.x), std::round(v.y), std::round(v.z)});
    // A quarter turn about z, then 10 along x: x in [9, 10], y in [0, 1].
    const std::set<std::tuple<double, double, double>> want = {{10, 0, 0}, {10, 1, 0}, {9, 1, 0}, {9, 0, 0},
                                                              {10, 0, 1}, {10, 1, 1}, {9, 1, 1}, {9, 0, 1}};
    EXPECT_EQ(corners, want);
}

TEST_F(AcisRenderTest, ToleranceHintAndSolidSizeSetTheTolerances) {
    // The box's points span a cube of side 1: radius √3/2.
    const double R = std::sqrt(3.0) / 2;
    const struct {
        std::int32_t hint;
        double distance;
    } cases[] = {
        {0, R * 0.00025},  {-3, R * 0.00025}, {11, R * 0.00025}, {5, R * 0.00025},
        {1, R * 1e-6},     {10, 25 * R * 0.00025}, {3, R * 1e-6 + 2 * (R * 0.00025 - R * 1e-6) / 4},
    };
    for (const auto& c : cases) {
        RecordingRequest r(fixture("box_400.sat"));
        r.request.toleranceHint = c.hint;
        r.render();
        EXPECT_NEAR(BasicDistanceTol, c.distance, 1e-15) << c.hint;
        EXPECT_NEAR(getPointTolerance(), c.distance, 1e-15) << c.hint;
        EXPECT_NEAR(BasicDistanceSquaredTol, c.distance * (c.distance + 2 * R), 1e-15) << c.hint;
    }
    // Points 40 apart: radius 20, and the larger factor from radius 10 on.
    RecordingRequest wide(satHeader(400) + "point $-1 -20 0 0 #\npoint $-1 20 0 0 #\nbody $-1 $-1 $-1 $-1 #\n");
    wide.render();
    EXPECT_NEAR(BasicDistanceTol, 0.008, 1e-15);
    // One point: a radius below 0.1 counts as 1.
    RecordingRequest tiny(satHeader(400) + "point $-1 0 0 0 #\nbody $-1 $-1 $-1 $-1 #\n");
    tiny.render();
    EXPECT_NEAR(BasicAngleTol, 0.001, 1e-15);
    EXPECT_NEAR(BasicDistanceTol, 0.00025, 1e-15);
    EXPECT_NEAR(BasicUnitTol, 1e-6, 1e-15);
    EXPECT_NEAR(BasicDistanceSquaredTol, 0.0005000625, 1e-15);
}

TEST_F(AcisRenderTest, AnArcWithEqualEndsIsTheWholeConic) {
    RecordingRequest r("");
    GL_CallbackInterface target(&r.request);
    c_Circle circle(aPoint(0, 0, 0), aVector(0, 0, 1), 2);
    target.drawArc(&circle, 0.5, 0.5, nullptr);
    ASSERT_EQ(r.primitives.size(), 1u);
    const auto& v = r.primitives[0].vertices;
    ASSERT_EQ(v.size(), 41u);
    expectNear(v.front(), v.back(), 1e-6);
    for (const aPoint& p : v) EXPECT_NEAR(p.distanceTo(origin), 2, 1e-6);
}

TEST_F(AcisRenderTest, StreamBufferPutsBackAcrossRefills) {
    RecordingRequest r("abc", 1);
    satStreamBuf text(&r.request);
    EXPECT_EQ(text.sbumpc(), 'a');
    EXPECT_EQ(text.sbumpc(), 'b');  // a refill; 'a' stays in front
    EXPECT_EQ(text.sungetc(), 'b');
    EXPECT_EQ(text.sungetc(), 'a');
    EXPECT_EQ(text.sungetc(), std::char_traits<char>::eof());
    EXPECT_EQ(text.sbumpc(), 'a');
    EXPECT_EQ(text.sbumpc(), 'b');
    EXPECT_EQ(text.sbumpc(), 'c');
    EXPECT_EQ(text.sbumpc(), std::char_traits<char>::eof());
    EXPECT_EQ(text.sputc('x'), std::char_traits<char>::eof());
    // A read that claims more than it was asked for is held to the buffer.
    AdAcisRequest greedy{};
    greedy.read = [](void* buffer, std::int32_t size, void*) {
        std::memset(buffer, 'z', static_cast<std::size_t>(size));
        return size + 100;
    };
    satStreamBuf bounded(&greedy);
    std::streamsize n = 0;
    while (n < 600 && bounded.sbumpc() == 'z') ++n;
    EXPECT_EQ(n, 600);
}

TEST_F(AcisRenderTest, HostileAndDegenerateTextsRenderAndEnd) {
    const std::string square = fixture("square_106.sat");
    const std::string cases[] = {
        // A face list and a coedge ring that lead back into themselves.
        [&] {
            std::string s = square;
            s.replace(s.find("face $-1 $-1"), 12, "face $-1 $11");
            s.replace(s.find("coedge $-1 $14 $16"), 18, "coedge $-1 $15 $16");
            return s;
        }(),
        // A surface of revolution whose profile is missing.
        satHeader(400) + "body $-1 $1 $-1 $-1 #\nlump $-1 $-1 $2 $0 #\nshell $-1 $-1 $-1 $3 $-1 $1 #\n"
                         "face $-1 $-1 $-1 $2 $-1 $4 forward single #\n"
                         "spline-surface $-1 forward { rotsur null_curve 0 0 0 0 0 1 I I I I 0 0 } I I I I #\n",
        // Silhouettes only, and a torus has none.
        fixture("torus_600.sat"),
    };
    for (const auto& text : cases) {
        RecordingRequest r(text);
        r.request.surfaceCurveCount = 0;
        EXPECT_EQ(r.render(), 0);
        for (const auto& p : r.primitives) EXPECT_TRUE(p.ended);
    }
}

}  // namespace
