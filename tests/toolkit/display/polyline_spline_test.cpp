// Wide polylines and splines drawn under a view of 10 device units a
// drawing unit through the recording host: joins, squared ends, widths
// limited on arcs, outlines without FILLMODE; spline chord ends against
// ezdxf's B-spline evaluation, chord counts, fit points, and data that does
// not hold what its counts say.
#include "dispatch_fixture.h"
#include "render_fixture.h"

#include "toolkit/display/polyline.h"
#include "toolkit/display/spline.h"
#include "tools/renderhost/recording_host.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Shapes : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        AdMatrix4 view = adIdentityMatrix;
        adMatrixScaleAxes(10.0, 10.0, 10.0, &view);
        show(view);
        displayState.planViewports = 1;  // fills are filled when seen square on
        header.fillmode = 1;
        header.ltscale = 1.0;
        drawing.header = &header;
        host.install();
        drawing.userData = &host;
    }

    std::string draw(const AdPolylineShape& shape) {
        host.clear();
        const AdInherited inherited{7, nullptr, &drawing, nullptr, 0, 0, 0, 0, nullptr};
        AdEntityHeader entityHeader{};
        AdEntityData data{};
        AdDrawContext entity{&drawing,     nullptr, &block,   &displayState.viewports[0].full,
                             &inherited,   &entityHeader, &data, &displayState.continuousRecord,
                             &drawing,     7,       nullptr, 0};
        adDrawPolylineShape(entity, shape);
        return host.stream();
    }

    static AdPolylineShape shape(std::initializer_list<AdPolyVertex> vertices, bool closed = false) {
        AdPolylineShape out;
        out.vertices = vertices;
        out.closed = closed;
        return out;
    }

    AdHeaderVars header{};
    AdMatrix4 block = adIdentityMatrix;
    RecordingHost host;
};


}  // namespace

TEST_F(Shapes, ThinPolylinesRestartTheirPatternAtEachVertex) {
    EXPECT_EQ(draw(shape({{{10, 10, 0}, 0, 0, 0}})), "") << "one vertex draws nothing";
    const AdPolylineShape thin = shape({{{10, 10, 0}, 0, 0, 0}, {{20, 10, 0}, 0, 0, 0}, {{20, 20, 0}, 0, 0, 0}});
    const std::int32_t before = displayState.curveCounter;
    EXPECT_EQ(lines(draw(thin), "line ").size(), 2u);
    EXPECT_EQ(displayState.curveCounter, before + 2) << "one curve value per segment";
    AdPolylineShape running = thin;
    running.continuousPattern = true;
    draw(running);
    EXPECT_EQ(displayState.curveCounter, before + 3) << "one curve value for the whole polyline";
}

// Width 2 around a right angle at (20, 10): mitred, the outer corner at
// (21, 9); a hairpin back to (10, 11) gets square ends at x = 30; a width
// dropping to 0 at the vertex squares the end too.
TEST_F(Shapes, JoinsOfWideSegments) {
    const struct {
        const char* name;
        AdPolylineShape shape;
        const char* corner;  // a polygon corner that shows the join
    } cases[] = {
        {"right angle", shape({{{10, 10, 0}, 2, 2, 0}, {{20, 10, 0}, 2, 2, 0}, {{20, 20, 0}, 2, 2, 0}}), " 210,90"},
        {"hairpin", shape({{{10, 10, 0}, 2, 2, 0}, {{30, 10, 0}, 2, 2, 0}, {{10, 11, 0}, 2, 2, 0}}), " 300,90"},
        {"width to 0", shape({{{10, 10, 0}, 2, 2, 0}, {{20, 10, 0}, 0, 2, 0}, {{20, 20, 0}, 2, 2, 0}}), " 200,90"},
    };
    for (const auto& c : cases) {
        const std::string stream = draw(c.shape);
        const std::vector<std::string> polygons = lines(stream, "polygon ");
        ASSERT_EQ(polygons.size(), 2u) << c.name << "\n" << stream;
        EXPECT_NE(polygons[0].find(c.corner), std::string::npos) << c.name << "\n" << stream;
    }
}

// A closed wide square is joined at its first vertex as at the others: all
// four outer corners are mitred.
TEST_F(Shapes, ClosedWidePolylineJoinsAtItsFirstVertex) {
    const std::string stream =
        draw(shape({{{10, 10, 0}, 2, 2, 0}, {{30, 10, 0}, 2, 2, 0}, {{30, 30, 0}, 2, 2, 0}, {{10, 30, 0}, 2, 2, 0}},
                   true));
    ASSERT_EQ(lines(stream, "polygon ").size(), 4u) << stream;
    for (const char* corner : {" 90,90", " 310,90", " 310,310", " 90,310"})
        EXPECT_NE(stream.find(corner), std::string::npos) << corner << "\n" << stream;
}

// A half circle (bulge 1) of radius 1 drawn 3 wide: the width is limited to
// the diameter, so no corner lies beyond radius 2 of its centre (20, 10).
TEST_F(Shapes, AWideArcIsNoWiderThanItsDiameter) {
    const std::string stream = draw(shape({{{19, 10, 0}, 3, 3, 1.0}, {{21, 10, 0}, 3, 3, 0}}));
    const std::vector<std::string> polygons = lines(stream, "polygon ");
    ASSERT_GE(polygons.size(), 4u) << stream;
    for (const std::string& polygon : polygons) {
        std::istringstream in(polygon);
        std::string word;
        int count = 0;
        in >> word >> count;
        for (int i = 0; i < count; ++i) {
            int x = 0, y = 0;
            char comma = 0;
            in >> x >> comma >> y;
            EXPECT_LE(std::hypot(x - 200.0, y - 100.0), 20.0 + 1.5) << polygon;
        }
    }
}

TEST_F(Shapes, WithoutFillmodeAWideSegmentIsOutlined) {
    header.fillmode = 0;
    const std::string stream = draw(shape({{{10, 10, 0}, 2, 2, 0}, {{30, 10, 0}, 2, 2, 0}}));
    EXPECT_EQ(lines(stream, "polygon ").size(), 0u);
    EXPECT_EQ(lines(stream, "line ").size(), 4u) << stream;
}

namespace {

// A SPLINE record over a store of the given doubles.
struct SplineRecord {
    AdSplineData data{};
    SplineRecord(std::int16_t degree, std::int16_t flags, std::int16_t knots, std::int16_t controls,
                 std::int16_t fits, const std::vector<double>& values) {
        data.degree = degree;
        data.flags = flags;
        data.knotCount = knots;
        data.controlPointCount = controls;
        data.fitPointCount = fits;
        data.points = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(data.points);
        for (double v : values) adStreamWriteDouble(out, &v);
        adStreamCloseWrite(out);
    }
    ~SplineRecord() { adStoreFree(data.points); }
};

}  // namespace

class Splines : public Shapes {
protected:
    // The chord ends (x, y) of the spline in outline mode; the chord count.
    std::vector<double> chords(SplineRecord& spline, std::int32_t perSpan, std::uint16_t* count) {
        AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(store);
        *count = 0;
        EXPECT_EQ(adDrawSpline(&drawing, &spline.data, &block, &displayState.viewports[0].full, nullptr, &drawing,
                               perSpan, out, count),
                  1);
        adStreamCloseWrite(out);
        std::vector<double> values;
        AdStream* in = adStreamOpenRead(store);
        for (double v = 0.0; adStreamReadDouble(in, &v);) values.push_back(v);
        adStreamCloseRead(in);
        adStoreFree(store);
        return values;
    }
};

// Chord ends against ezdxf.math.BSpline.point at the same parameters: a
// clamped cubic over five points (knots generated: 0,0,0,0,0.5,1,1,1,1) and
// the same with weights 1, 2, 0.5, 1, 3. Ten chords per span, so chord i
// ends at u = (i + 1) / 20.
TEST_F(Splines, ChordEndsMatchBSplineEvaluation) {
    const std::vector<double> points = {0, 0, 0, 1, 3, 0, 4, -1, 0, 6, 2, 0, 8, 0, 0};
    const std::vector<double> weighted = {0, 0, 0, 1, 1, 3, 0, 2, 4, -1, 0, 0.5, 6, 2, 0, 1, 8, 0, 0, 3};
    const struct {
        bool rational;
        int chord;
        double x, y;
    } cases[] = {
        {false, 0, 0.31425000000000003, 0.75675000000000003},
        {false, 6, 2.57775, 1.2652500000000002},
        {false, 9, 3.75, 0.75},
        {false, 15, 6, 1.056},
        {false, 19, 8, 0},
        {true, 0, 0.43448689737947593, 1.2274454890978195},
        {true, 6, 1.7617856455647487, 2.2682316721185298},
        {true, 9, 3, 1.75},
        {true, 15, 6.7058823529411766, 0.87647058823529389},
    };
    for (const auto& c : cases) {
        SplineRecord spline(3, c.rational ? 4 : 0, 0, 5, 0, c.rational ? weighted : points);
        std::uint16_t count = 0;
        const std::vector<double> ends = chords(spline, 10, &count);
        ASSERT_EQ(count, 20u);
        ASSERT_EQ(ends.size(), 80u);
        EXPECT_NEAR(ends[4 * c.chord + 2], c.x, 1e-9) << c.chord;
        EXPECT_NEAR(ends[4 * c.chord + 3], c.y, 1e-9) << c.chord;
    }
}

TEST_F(Splines, ChordCountsAndShapes) {
    std::uint16_t count = 0;
    // Degree 1: the control polygon, whatever the knots.
    SplineRecord polygon(1, 0, 0, 5, 0, {0, 0, 0, 1, 1, 0, 2, 0, 0, 3, 1, 0, 4, 0, 0});
    chords(polygon, 10, &count);
    EXPECT_EQ(count, 4u);
    // Four points, no knots: one span of the default 10 chords.
    SplineRecord cubic(3, 0, 0, 4, 0, {0, 0, 0, 1, 2, 0, 3, 2, 0, 4, 0, 0});
    chords(cubic, 0, &count);
    EXPECT_EQ(count, 10u);
    // A right-angled control triangle with weights 1, sqrt(2)/2, 1: a quarter
    // circle, every chord end at radius 1.
    const double w = std::sqrt(0.5);
    SplineRecord quarter(2, 4, 6, 3, 0, {0, 0, 0, 1, 1, 1, 1, 0, 0, 1, 1, 1, 0, w, 0, 1, 0, 1});
    const std::vector<double> arc = chords(quarter, 10, &count);
    ASSERT_EQ(count, 10u);
    for (std::size_t i = 0; i + 1 < arc.size(); i += 2) EXPECT_NEAR(std::hypot(arc[i], arc[i + 1]), 1.0, 1e-12);
    // Two distinct fit points (and a repeat of the first): a straight line.
    SplineRecord fit(3, 0, 0, 0, 3, {0, 0, 0, 0, 0, 0, 4, 2, 0});
    const std::vector<double> line = chords(fit, 10, &count);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(fit.data.fitPointCount, 2) << "the repeat is dropped";
    for (std::size_t i = 0; i + 1 < line.size(); i += 2) EXPECT_NEAR(line[i + 1], line[i] / 2.0, 1e-12);
    // Fit points: the curve passes through every one of them.
    SplineRecord through(3, 0, 0, 0, 4, {0, 0, 0, 1, 2, 0, 3, 1, 0, 5, 3, 0});
    const std::vector<double> curve = chords(through, 10, &count);
    for (const double p : {0.0, 1.0, 3.0, 5.0}) {
        bool met = false;
        for (std::size_t i = 0; i + 1 < curve.size(); i += 2) met = met || std::fabs(curve[i] - p) < 1e-9;
        EXPECT_TRUE(met) << p;
    }
}

// Counts that promise more than the store holds, a control count of -1
// (65535 as it is read), stored knots too few for the points, knots that
// decrease: nothing is drawn and nothing is read or written out of bounds.
TEST_F(Splines, DataThatDoesNotFitDrawsNothing) {
    const std::vector<double> four = {0, 0, 0, 1, 1, 0, 2, 0, 0, 3, 1, 0};
    const struct {
        const char* name;
        std::int16_t degree, knots, controls, fits;
        std::vector<double> values;
    } cases[] = {
        {"knot count beyond the store", 3, 200, 4, 0, four},
        {"control count -1", 3, 0, -1, 0, four},
        {"too few knots", 3, 3, 4, 0, {0, 0.5, 1, 0, 0, 0, 1, 1, 0, 2, 0, 0, 3, 1, 0}},
        {"decreasing knots", 2, 7, 4, 0, {0, 0, 0, 1, 0.5, 1, 1, 0, 0, 0, 1, 1, 0, 2, 0, 0, 3, 1, 0}},
        {"fit count beyond the store", 3, 0, 0, 90, four},
        {"no control points", 3, 0, 0, 0, four},
    };
    for (const auto& c : cases) {
        SplineRecord spline(c.degree, 0, c.knots, c.controls, c.fits, c.values);
        std::uint16_t count = 0;
        chords(spline, 10, &count);
        EXPECT_EQ(count, 0u) << c.name;
    }
}
