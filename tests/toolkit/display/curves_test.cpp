// Circles, arcs and ellipses as chords: the chord counts, the linetype fitted
// a whole number of times along an arc (for that arc only), and the sweeps
// of ellipses.
#include "render_fixture.h"

#include "toolkit/display/curves.h"
#include "tools/renderhost/recording_host.h"

#include <cmath>
#include <numbers>
#include <sstream>

namespace {

constexpr double kPi = std::numbers::pi;

std::size_t count(const std::string& stream, const std::string& word) {
    std::size_t n = 0;
    std::istringstream in(stream);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(word + " ", 0) == 0) ++n;
    return n;
}

class Curves : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        showHundredfold(entity, AD_ENTITY_ARC);
        host.install();
        host.setUserData(&drawing);
    }
    void TearDown() override {
        adDisplayGlobals->currentEntity = nullptr;
        RenderTest::TearDown();
    }
    std::int32_t arc(double start, double end, double radius, const AdLtypeRecord* linetype = nullptr) {
        const double centre[3] = {0.0, 0.0, 0.0};
        return adDrawArc(&drawing, centre, start, end, radius, &adIdentityMatrix, &displayState.viewports[0].full, 1,
                         linetype, &drawing, nullptr);
    }
    AdEntityHeader entity{};
    RecordingHost host;
};

}  // namespace

TEST_F(Curves, ChordCounts) {
    const struct {
        const char* name;
        std::int32_t resolution;
        double sweep, radius, scale;
        std::int32_t chords;
    } cases[] = {
        {"a circle at the default resolution", 10, 2 * kPi, 1.0, 0.0, 40},
        {"half a circle", 10, kPi, 1.0, 0.0, 20},
        {"resolution 50", 50, 2 * kPi, 1.0, 0.0, 200},
        {"from the view: radius 1 at 100 units", 0, 2 * kPi, 1.0, 100.0, 60},
        {"from the view, capped at 64", 0, 2 * kPi, 100.0, 100.0, 64},
        {"from the view, at least 4 a circle", 0, 2 * kPi, 0.001, 1.0, 4},
        {"a tiny arc", 10, 1e-9, 1.0, 0.0, 2},
        {"a thousand turns are drawn once round", 10, 2000 * kPi, 1.0, 0.0, 40},
    };
    for (const auto& c : cases) {
        adSetCurveResolution(c.resolution);
        displayState.currentScale = c.scale;
        EXPECT_EQ(adArcSegments(&displayState, c.sweep, c.radius, adCurveSetting(&entity)), c.chords) << c.name;
    }
    entity.flags = 0x10;  // a boundary outline takes the segment count
    adSetSegmentCount(10);
    adSetCurveResolution(3);
    EXPECT_EQ(adArcSegments(&displayState, 2 * kPi, 1.0, adCurveSetting(&entity)), 40);
}

// A pattern of one unit (dash 0.5, gap 0.5) fitted along arcs of 10.2,
// 10.3 and 1.1 units: 10, 11 and 2 whole repetitions, which show as one
// dash more (the half dashes at both ends). The scale fitted for an arc
// does not carry over to the entity's next arc.
TEST_F(Curves, TheLinetypeFitsAWholeNumberOfTimesAlongAnArc) {
    AdLtypeRecord dashed{};
    dashed.handle.b[7] = 0x30;
    dashed.dashCount = 2;
    dashed.dashes[0].length = 0.5;
    dashed.dashes[1].length = -0.5;
    dashed.patternLength = 1.0;
    adSetCurveResolution(50);
    const struct {
        double length;
        std::size_t dashes;
    } cases[] = {{10.2, 11}, {10.3, 12}, {1.1, 3}};
    for (const auto& c : cases) {
        host.clear();
        const double radius = 10.0;
        arc(0.0, c.length / radius, radius, &dashed);
        EXPECT_EQ(count(host.stream(), "move"), c.dashes) << c.length;
        EXPECT_EQ(entity.linetypeScale, 1.0) << c.length;
    }
}

TEST_F(Curves, Ellipses) {
    adSetCurveResolution(10);
    entity.type = AD_ENTITY_ELLIPSE;
    const struct {
        const char* name;
        double start, end;
        std::size_t lines;
    } cases[] = {
        {"equal parameters: the whole ellipse", 1.0, 1.0, 40},
        {"a half", 0.0, kPi, 20},
        {"end before start: across parameter 0", 3 * kPi / 2, kPi / 2, 20},
    };
    for (const auto& c : cases) {
        host.clear();
        AdEllipseData ellipse{{0.0, 0.0, 0.0}, {4.0, 0.0, 0.0}, 0.5, c.start, c.end};
        ASSERT_EQ(adDrawEllipse(&drawing, &ellipse, &adIdentityMatrix, nullptr, &drawing), 1) << c.name;
        EXPECT_EQ(count(host.stream(), "line"), c.lines) << c.name;
    }
    // The chords of the half ellipse from 0 to pi end on the minor axis end
    // and the far major axis end.
    host.clear();
    AdEllipseData half{{0.0, 0.0, 0.0}, {4.0, 0.0, 0.0}, 0.5, 0.0, kPi};
    adDrawEllipse(&drawing, &half, &adIdentityMatrix, nullptr, &drawing);
    EXPECT_EQ(host.stream().rfind("move 5400 5000\n", 0), 0u) << host.stream().substr(0, 40);
    EXPECT_NE(host.stream().find("line 4600 5000\n"), std::string::npos);
    EXPECT_NE(host.stream().find("line 5000 5200\n"), std::string::npos);
}
