// The linetype pattern applicator: the centred walk of a dashed line, when a
// pattern is drawn solid, dots, thickness risers, paper-space linetype
// scaling per viewport, and the guards that keep a walk short.
#include "dash_pattern.h"
#include "golden.h"
#include "render_fixture.h"

#include "toolkit/display/linetype.h"
#include "tools/renderhost/recording_host.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace {

AdLtypeRecord pattern(const std::vector<double>& dashes) { return dashPattern(dashes); }

AdMatrix4 scaled(double s) {
    AdMatrix4 m = adIdentityMatrix;
    adMatrixScaleAxes(s, s, s, &m);
    return m;
}

// Device lengths of the drawn pieces, from the recorded moves and lines.
std::vector<double> pieces(const std::string& stream) {
    std::istringstream in(stream);
    std::string word;
    double x = 0, y = 0;
    std::vector<double> out;
    while (in >> word) {
        if (word == "poll") continue;
        double nx, ny;
        in >> nx >> ny;
        if (word == "line") out.push_back(std::hypot(nx - x, ny - y));
        x = nx, y = ny;
    }
    return out;
}

class Linetype : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        entity.type = AD_ENTITY_LINE;
        entity.linetypeScale = 1.0;
        entity.extrusion[2] = 1.0;
        adDisplayGlobals->currentEntity = &entity;
    }
    void TearDown() override {
        adDisplayGlobals->currentEntity = nullptr;
        RenderTest::TearDown();
    }
    void line(const AdLtypeRecord* linetype, double x1, double y1, double x2, double y2, const AdMatrix4* matrices) {
        double a[3] = {x1, y1, 0.0}, b[3] = {x2, y2, 0.0};
        adApplyLinetype(&drawing, a, b, nullptr, matrices, linetype, &drawing, nullptr, ++displayState.curveCounter, 0.0);
    }
    std::string draw(const AdLtypeRecord& linetype, double length, double viewScale, double size = 1e9) {
        const AdMatrix4 view = scaled(viewScale);
        show(view, size);
        RecordingHost host;
        host.install();
        host.setUserData(&drawing);
        line(&linetype, 0.0, 0.0, length, 0.0, &view);
        return host.stream();
    }
    AdEntityHeader entity{};
};

}  // namespace

// A 10-unit line under (0.5 dash, 0.25 gap) at 100 device units per unit:
// a 0.375 dash, a gap, twelve whole patterns and a closing 0.375 dash.
TEST_F(Linetype, TheCentredWalkOfADashedLineGivesItsGoldenStream) {
    const std::string stream = draw(pattern({0.5, -0.25}), 10.0, 100.0, 2000.0);
    expectGoldenText("linetype_walk.stream", stream);
    const std::vector<double> lengths = pieces(stream);
    ASSERT_EQ(lengths.size(), 14u);
    EXPECT_NEAR(lengths.front(), 37.0, 1.0);
    EXPECT_NEAR(lengths.back(), 38.0, 1.0);
    for (std::size_t i = 1; i + 1 < lengths.size(); ++i) EXPECT_NEAR(lengths[i], 50.0, 1.0);
}

TEST_F(Linetype, WhenAPatternIsDrawnSolid) {
    const struct {
        const char* name;
        std::vector<double> dashes;
        double length;
        double viewScale;
        std::size_t pieces;
    } cases[] = {
        {"average entry below 2 device units", {0.5, -0.25}, 10.0, 1.0, 1},
        {"1000 repetitions or more", {0.5, -0.25}, 80000.0, 100.0, 1},
        {"below 1000 repetitions", {0.5, -0.25}, 70000.0, 0.001, 1},
        {"a dash and an empty entry", {0.5, 0.0}, 10.0, 100.0, 1},
        {"shorter than one pattern", {0.5, -0.25}, 0.5, 100.0, 1},
        {"dots and gaps are never too dense", {0.0, -0.25}, 10.0, 1.0, 40},
    };
    for (const auto& c : cases) {
        const std::string stream = draw(pattern(c.dashes), c.length, c.viewScale);
        EXPECT_EQ(pieces(stream).size(), c.pieces) << c.name;
    }
    // The same 70,000-unit line at a view where its dashes show is walked.
    const std::string walked = draw(pattern({0.5, -0.25}), 70000.0, 100.0);
    EXPECT_EQ(pieces(walked).size(), 93334u);
}

// Hostile or extreme patterns must end quickly: no entry of non-zero length,
// and a long dashed line zoomed in a millionfold.
TEST_F(Linetype, WalksThatWouldNotEndAreDrawnSolid) {
    AdLtypeRecord zero = pattern({0.0, 0.0, 0.0});
    zero.patternLength = 1.0;  // a file that claims a length its entries do not have
    EXPECT_EQ(pieces(draw(zero, 10.0, 100.0)).size(), 1u);
    EXPECT_EQ(pieces(draw(pattern({0.5, -0.25}), 1e6, 1e6)).size(), 1u);
}

// The standard patterns of the linetype files on lines of whole and odd
// lengths: the walk is centred (both ends get the same part of a dash), no
// inner piece is longer than the pattern's longest dash, and the ink covers
// the pattern's share of the line, give or take one pattern at the ends.
TEST_F(Linetype, StandardPatternsAreCentredAndInkTheirShare) {
    const struct {
        const char* name;
        std::vector<double> dashes;
    } linetypes[] = {
        {"DASHED", {0.5, -0.25}},
        {"HIDDEN", {0.25, -0.125}},
        {"CENTER", {1.25, -0.25, 0.25, -0.25}},
        {"PHANTOM", {1.25, -0.25, 0.25, -0.25, 0.25, -0.25}},
        {"DASHDOT", {0.5, -0.25, 0.0, -0.25}},
        {"DOT", {0.0, -0.25}},
    };
    for (const auto& lt : linetypes) {
        const AdLtypeRecord record = pattern(lt.dashes);
        double ink = 0.0, longest = 0.0;
        for (double d : lt.dashes) {
            if (d > 0) ink += d;
            longest = std::max(longest, d);
        }
        for (const double length : {10.0, 7.3}) {
            const std::vector<double> lengths = pieces(draw(record, length, 100.0));
            ASSERT_GT(lengths.size(), 2u) << lt.name << ' ' << length;
            EXPECT_NEAR(lengths.front(), lengths.back(), 1.5) << lt.name << ' ' << length;
            double drawn = 0.0;
            for (std::size_t i = 0; i < lengths.size(); ++i) {
                // The end dashes take up what is left over from whole patterns.
                const bool end = i == 0 || i + 1 == lengths.size();
                const double limit = (longest + (end ? record.patternLength / 2 : 0.0)) * 100.0 + 1.0;
                EXPECT_LE(lengths[i], limit) << lt.name << ' ' << length << " piece " << i;
                drawn += lengths[i];
            }
            EXPECT_NEAR(drawn / (length * 100.0), ink / record.patternLength, record.patternLength / length)
                << lt.name << ' ' << length;
        }
    }
}

// A pattern without a positive entry on a line shorter than the pattern
// marks its ends with dots.
TEST_F(Linetype, ACurveWithoutVisibleDashGetsDotsAtItsEnds) {
    EXPECT_EQ(draw(pattern({-0.5, -0.5}), 0.5, 100.0), "move 0 0\nline 0 0\nmove 50 0\nline 50 0\n");
}

TEST_F(Linetype, ThicknessAddsTheFarEdgeAndTwoRisers) {
    entity.thickness = 2.0;
    AdMatrix4 view = adIdentityMatrix;
    view.m[2][1] = 1.0;  // z shows as device y
    show(view);
    RecordingHost host;
    host.install();
    host.setUserData(&drawing);
    line(nullptr, 10.0, 10.0, 30.0, 10.0, &view);
    EXPECT_EQ(host.stream(), "move 10 10\nline 30 10\nline 30 12\nline 10 12\nline 10 10\n");
}

// With PSLTSCALE on, each paper-space window walks in its own device space:
// a window at 1:1 and one at 1:4 show dashes of the same paper length.
TEST_F(Linetype, PaperSpaceLinetypeScalingKeepsThePaperLengthInEveryWindow) {
    AdHeaderVars header{};
    header.ltscale = 1.0;
    drawing.header = &header;
    for (const std::int16_t psltscale : {1, 0}) {
        header.psltscale = psltscale;
        AdMatrix4 matrices[3] = {scaled(100.0), scaled(100.0), scaled(25.0)};
        matrices[2].m[3][1] = 50000.0;  // the second window lies higher on the sheet
        show(matrices[0], 1e5);
        displayState.paperSpace = 1;
        displayState.viewportCount = 3;
        for (int v = 1; v < 3; ++v) {
            displayState.viewports[v] = displayState.viewports[0];
            displayState.viewports[v].full = matrices[v];
        }
        RecordingHost host;
        host.install();
        host.setUserData(&drawing);
        const AdLtypeRecord dashed = pattern({1.0, -1.0});
        line(&dashed, 0.0, 0.0, 40.0, 0.0, matrices);
        std::vector<double> first, second;
        std::istringstream in(host.stream());
        std::string word;
        double x = 0, y = 0, nx, ny;
        while (in >> word) {
            if (word == "poll" || !(in >> nx >> ny)) continue;
            if (word == "line") (ny < 25000 ? first : second).push_back(std::hypot(nx - x, ny - y));
            x = nx, y = ny;
        }
        ASSERT_GT(first.size(), 3u);
        ASSERT_GT(second.size(), 3u);
        const double ratio = first[1] / second[1];
        EXPECT_NEAR(ratio, psltscale ? 1.0 : 4.0, 0.1) << "PSLTSCALE " << psltscale;
    }
    drawing.header = nullptr;
}

TEST(Intersections2D, LinesAndSegmentsInThePlane) {
    const struct {
        const char* name;
        double p0[2], p1[2], q0[2], q1[2];
        int meet, cross;
        double x, y;
    } cases[] = {
        {"perpendicular, touching at an end", {0, 0}, {2, 0}, {2, 0}, {2, 5}, 1, 1, 2, 0},
        {"collinear, sharing an end", {0, 0}, {1, 0}, {1, 0}, {3, 0}, 1, 1, 1, 0},
        {"parallel, apart", {0, 0}, {1, 0}, {0, 1}, {1, 1}, 0, 0, 0, 0},
        {"crossing 1e-13 beyond an end", {0, 0}, {1, 0}, {1 + 1e-13, -1}, {1 + 1e-13, 1}, 1, 1, 1 + 1e-13, 0},
        {"lines meet, segments do not", {0, 0}, {1, 0}, {3, -1}, {3, 1}, 1, 0, 3, 0},
    };
    for (const auto& c : cases) {
        double point[2] = {-7, -7};
        EXPECT_EQ(adLinesMeet2D(c.p0, c.p1, c.q0, c.q1, point), c.meet) << c.name;
        if (c.meet) {
            EXPECT_NEAR(point[0], c.x, 1e-12) << c.name;
            EXPECT_NEAR(point[1], c.y, 1e-12) << c.name;
        }
        EXPECT_EQ(adSegmentsCross2D(c.p0, c.p1, c.q0, c.q1, nullptr), c.cross) << c.name;
    }
}
