// Wide polylines and splines drawn under a view of 10 device units a
// drawing unit through the recording host: joins, squared ends, widths
// limited on arcs, outlines without FILLMODE; spline chord ends against
// ezdxf's B-spline evaluation, chord counts, fit points, and data that does
// not hold what its counts say.
#include "dash_pattern.h"
#include "dispatch_fixture.h"
#include "render_fixture.h"
#include "store_values.h"

#include "toolkit/display/linetype_element.h"
#include "toolkit/display/polyline.h"
#include "toolkit/display/spline.h"
#include "toolkit/display/wide_dash.h"
#include "tools/renderhost/raster_host.h"
#include "tools/renderhost/recording_host.h"

#include <algorithm>
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

    std::string draw(const AdPolylineShape& shape, AdLtypeRecord* linetype = nullptr) {
        host.clear();
        const AdInherited inherited{7, nullptr, &drawing, nullptr, 0, 0, 0, 0, nullptr};
        AdEntityHeader entityHeader{};
        AdEntityData data{};
        AdDrawContext entity{&drawing,     nullptr, &block,   &displayState.viewports[0].full,
                             &inherited,   &entityHeader, &data, linetype ? linetype : &displayState.continuousRecord,
                             &drawing,     7,       nullptr, 0};
        displayState.drawingPolyline = 1;
        adDrawPolylineShape(entity, shape);
        displayState.drawingPolyline = 0;
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

// The corners of each filled polygon, in device units.
std::vector<std::vector<std::pair<int, int>>> polygonCorners(const std::string& stream) {
    std::vector<std::vector<std::pair<int, int>>> out;
    for (const std::string& polygon : lines(stream, "polygon ")) {
        std::istringstream in(polygon);
        std::string word;
        int count = 0;
        in >> word >> count;
        out.emplace_back();
        for (int i = 0; i < count; ++i) {
            int x = 0, y = 0;
            char comma = 0;
            in >> x >> comma >> y;
            out.back().emplace_back(x, y);
        }
    }
    return out;
}

// A straight segment followed by an arc, and an arc followed by a straight
// segment, are never mitred: the straight piece keeps its square end at the
// vertex (20, 10), corners (20, 9) and (20, 11).
TEST_F(Shapes, StraightAndArcPiecesAreNotMitred) {
    const struct {
        const char* name;
        AdPolylineShape shape;
        bool straightLast;  // the straight piece is the last polygon, else the first
    } cases[] = {
        {"straight, then arc", shape({{{10, 10, 0}, 2, 2, 0}, {{20, 10, 0}, 2, 2, 0.5}, {{24, 14, 0}, 2, 2, 0}}), false},
        {"arc, then straight", shape({{{16, 6, 0}, 2, 2, 0.5}, {{20, 10, 0}, 2, 2, 0}, {{30, 10, 0}, 2, 2, 0}}), true},
    };
    for (const auto& c : cases) {
        const auto quads = polygonCorners(draw(c.shape));
        ASSERT_GE(quads.size(), 3u) << c.name;
        const auto& straight = c.straightLast ? quads.back() : quads.front();
        for (const auto& corner : {std::make_pair(200, 90), std::make_pair(200, 110)})
            EXPECT_NE(std::find(straight.begin(), straight.end(), corner), straight.end()) << c.name;
    }
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


// A dashed linetype (dash 2, gap 1) on a polyline 2 wide: each dash is a
// filled quadrilateral as wide as the polyline; a dash that runs on across a
// right-angled vertex (one curve for the whole polyline) is mitred there,
// its outer corner at (21, 9); a tapered segment ends in a point; a dot
// becomes a line across the polyline as long as it is wide.
TEST_F(Shapes, WideDashes) {
    AdLtypeRecord dashed = dashPattern({2, -1});
    // 0..20 along x: the pattern centred, so dashes of 2 and their gaps.
    auto quads = polygonCorners(draw(shape({{{10, 10, 0}, 2, 2, 0}, {{30, 10, 0}, 2, 2, 0}}), &dashed));
    ASSERT_GE(quads.size(), 6u);
    for (const auto& quad : quads) {
        ASSERT_EQ(quad.size(), 4u);
        int low = 1000, high = -1000;
        for (const auto& corner : quad) low = std::min(low, corner.second), high = std::max(high, corner.second);
        EXPECT_EQ(low, 90);
        EXPECT_EQ(high, 110);
    }
    // Around a right angle, one curve: a dash crosses the vertex mitred.
    AdPolylineShape corner = shape({{{10, 10, 0}, 2, 2, 0}, {{20, 10, 0}, 2, 2, 0}, {{20, 20, 0}, 2, 2, 0}});
    corner.continuousPattern = true;
    const std::string mitred = draw(corner, &dashed);
    EXPECT_NE(mitred.find(" 210,90"), std::string::npos) << mitred;
    // A taper from 2 to 0, drawn solid: one quadrilateral ending in a point
    // (which the fill gives as a triangle).
    dashed = dashPattern({1000, -1});
    quads = polygonCorners(draw(shape({{{10, 10, 0}, 2, 0, 0}, {{30, 10, 0}, 0, 0, 0}}), &dashed));
    ASSERT_EQ(quads.size(), 1u);
    std::vector<std::pair<int, int>> sorted = quads[0];
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::pair<int, int>>{{100, 90}, {100, 110}, {300, 100}}));
    // Dots between gaps: lines across, 20 device units long.
    dashed = dashPattern({0, -2});
    const std::string dots = draw(shape({{{10, 10, 0}, 2, 2, 0}, {{30, 10, 0}, 2, 2, 0}}), &dashed);
    const std::vector<std::string> across = lines(dots, "line ");
    ASSERT_FALSE(across.empty()) << dots;
    EXPECT_EQ(lines(dots, "polygon ").size(), 0u) << dots;
}

// Separate curves of a dashed linetype, each too short for a dash and so
// drawn solid through the wide walk: a right angle is mitred; a near
// reversal (vertex angle below 0.5) and a width that drops to 0 at the
// vertex keep their square ends.
TEST_F(Shapes, WidePiecesJoinAcrossSegments) {
    AdLtypeRecord longDash = dashPattern({1000, -1});
    displayState.drawingPolyline = 1;
    const struct {
        const char* name;
        double a[3], b[3], c[3];
        double secondWidth;
        std::pair<int, int> corner;  // of the first quadrilateral at the vertex
    } cases[] = {
        {"right angle", {10, 10, 0}, {20, 10, 0}, {20, 20, 0}, 2, {210, 90}},
        {"near reversal", {10, 10, 0}, {30, 10, 0}, {10, 12, 0}, 2, {300, 90}},
        {"width drops to 0", {10, 10, 0}, {20, 10, 0}, {20, 20, 0}, 0, {200, 90}},
    };
    for (const auto& c : cases) {
        host.clear();
        adResetPatternStates();
        AdWideSegment first{2, 2, 0, AD_NO_JOINT, AD_NO_JOINT}, second{c.secondWidth, c.secondWidth, 0, AD_NO_JOINT, AD_NO_JOINT};
        double a[3] = {c.a[0], c.a[1], 0}, b[3] = {c.b[0], c.b[1], 0};
        adApplyLinetype(&drawing, a, b, &block, &displayState.viewports[0].full, &longDash, &drawing, &first, 10, 0.0);
        double d[3] = {c.b[0], c.b[1], 0}, e[3] = {c.c[0], c.c[1], 0};
        adApplyLinetype(&drawing, d, e, &block, &displayState.viewports[0].full, &longDash, &drawing, &second, 11, 0.0);
        adFlushWidePiece(&drawing, &displayState.viewports[0].full);
        adPatternStates()[0].widePending = 0;
        const auto quads = polygonCorners(host.stream());
        ASSERT_FALSE(quads.empty()) << c.name;
        EXPECT_NE(std::find(quads[0].begin(), quads[0].end(), c.corner), quads[0].end()) << c.name << "\n"
                                                                                         << host.stream();
    }
}

// Filled wide polylines cover their polygon's area: an L of width 2 with a
// mitred corner (80 square units), a taper from 4 to 0 over 20 (40), and a
// half ring of radius 10 and width 2 (20 pi), at 10 device units a unit.
TEST_F(Shapes, WideFillCoversThePolygonArea) {
    const struct {
        const char* name;
        AdPolylineShape shape;
        double area;
    } cases[] = {
        {"mitred L", shape({{{10, 10, 0}, 2, 2, 0}, {{30, 10, 0}, 2, 2, 0}, {{30, 30, 0}, 2, 2, 0}}), 80.0},
        {"taper", shape({{{10, 40, 0}, 4, 0, 0}, {{30, 40, 0}, 0, 0, 0}}), 40.0},
        {"half ring", shape({{{40, 20, 0}, 2, 2, 1.0}, {{60, 20, 0}, 2, 2, 0}}), 20.0 * 3.14159265358979},
    };
    for (const auto& c : cases) {
        RasterHost raster(1000, 1000);
        raster.install();
        drawing.userData = &raster;
        displayState.penColour = -1;
        draw(c.shape);
        std::size_t lit = 0;
        for (std::size_t i = 0; i < raster.rgba().size(); i += 4)
            lit += (raster.rgba()[i] | raster.rgba()[i + 1] | raster.rgba()[i + 2]) != 0;
        EXPECT_NEAR(static_cast<double>(lit), c.area * 100.0, c.area * 100.0 * 0.03) << c.name;
        host.install();
        drawing.userData = &host;
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
        const std::vector<double> values = storeDoubles(store);
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
    // Fit points with a degree below 2 (whose placement starts before the
    // arrays when taken from the degree) are interpolated as the cubic.
    for (const std::int16_t degree : {0, 1, -3}) {
        SplineRecord low(degree, 0, 0, 0, 3, {0, 0, 0, 2, 2, 0, 4, 0, 0});
        const std::vector<double> ends = chords(low, 10, &count);
        EXPECT_EQ(count, 20u) << degree;
        ASSERT_EQ(ends.size(), 80u) << degree;
        EXPECT_NEAR(ends[38], 2.0, 1e-9) << degree;
        EXPECT_NEAR(ends[39], 2.0, 1e-9) << degree;
    }
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
